#include "model/section_store.h"

#include <gtest/gtest.h>

namespace {

TEST(SectionStore, FindsNamesExactlyAndNeverTheEmptyName) {
    SectionStore store;
    store.ensureSection("A1", -1, "");
    store.ensureSection("M1", -1, "A1");
    EXPECT_EQ(store.findSection(""), 0);
    EXPECT_EQ(store.findSection("m1"), 0);
    EXPECT_EQ(store.findSection("M1"), 2);
    EXPECT_EQ(store.findSection("A1"), 1);
    EXPECT_EQ(store.findSection("M2"), 0);
}

TEST(SectionStore, EnsureSectionResetsAnExistingMenuButKeepsItsMarks) {
    SectionStore store;
    const int index = store.ensureSection("M4", 3, "M1");
    for (int i = 1; i <= MenuValue::Count; ++i)
        store.setValue("M4", i, "v");
    store.at(index).errorFields = "ann";
    EXPECT_EQ(store.ensureSection("M4", 5, "M2"), index);
    EXPECT_EQ(store.size(), 1);
    const Section& s = store.at(index);
    EXPECT_EQ(s.count(), 15);
    EXPECT_EQ(s.values, QStringList(15, QString()));
    EXPECT_EQ(s.parentDigit, 5);
    EXPECT_EQ(s.parentKey, "M2");
    EXPECT_EQ(s.errorFields, "ann");
}

TEST(SectionStore, SectionTextListsEveryKeyOfItsTemplate) {
    SectionStore store;
    store.ensureSection("A2", -1, "");
    store.setValue("A2", TreeValue::menu, "M9");
    EXPECT_EQ(store.sectionText("A2"), "[A2]\r\nlib=\r\nann1=\r\nann2=\r\nrep2=\r\nlangue=\r\nmenu=M9\r\n"
                                       "exit_trf=\r\nexit_fer=\r\nexit_nac=\r\n");
    store.ensureSection("M1", -1, "A2");
    store.setValue("M1", MenuValue::forDigit(9), "std");
    EXPECT_TRUE(store.sectionText("M1").endsWith("8=\r\n9=std\r\n"));
    EXPECT_EQ(store.sectionText("M2"), "");
}

TEST(SectionStore, WritesToAbsentSectionsOrIndexesDoNothing) {
    SectionStore store;
    store.ensureSection("A1", -1, "");
    store.setValue("A9", 1, "x");
    store.setValue("A1", 10, "x");
    store.setValue("A1", 0, "x");
    EXPECT_EQ(store.size(), 1);
    EXPECT_EQ(store.at(1).values, QStringList(9, QString()));
    EXPECT_EQ(store.value("A9", 1), "");
}

} // namespace
