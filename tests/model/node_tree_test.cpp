#include "model/node_tree.h"
#include "model/section_store.h"
#include "support/qt_print.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QStringList displayed(const NodeTree& tree) {
    QStringList out;
    for (int id : tree.displayOrder())
        out << tree.node(id).key;
    return out;
}

TEST(NodeTree, TakenOrEmptyKeyGetsARandomStandIn) {
    NodeTree tree;
    tree.CreerNoeud("1 - One", "A1", "", "Arbre");
    for (const QString& requested : {QStringLiteral("A1"), QString()}) {
        const QString key = tree.CreerNoeud("text", requested, "A1", "Menu");
        EXPECT_TRUE(QRegularExpression("^K[0-9]+$").match(key).hasMatch()) << key.toStdString();
        ASSERT_NE(tree.nodeByKey(key), nullptr);
        EXPECT_EQ(tree.node(tree.nodeByKey(key)->parent).key, "A1");
    }
    EXPECT_EQ(tree.nodeByKey("A1")->text, "1 - One");
    EXPECT_EQ(tree.count(), 3);
}

TEST(NodeTree, RekeyKeepsPlaceAndChildrenAndRefusesTakenKeys) {
    NodeTree tree;
    tree.CreerNoeud("", "A1", "", "");
    tree.CreerNoeud("k0", "E-M1-0", "A1", "");
    tree.CreerNoeud("k1", "E-M1-1", "A1", "");
    tree.CreerNoeud("leaf", "E-M9-0", "E-M1-0", "");
    ASSERT_TRUE(tree.rekey("E-M1-0", "M2"));
    EXPECT_EQ(displayed(tree), QStringList({"A1", "M2", "E-M9-0", "E-M1-1"}));
    EXPECT_FALSE(tree.rekey("M2", "E-M1-1"));
    EXPECT_FALSE(tree.rekey("nope", "X"));
    EXPECT_EQ(tree.nodeByKey("M2")->text, "k0");
    tree.removeNode("M2");
    EXPECT_EQ(displayed(tree), QStringList({"A1", "E-M1-1"}));
    EXPECT_EQ(tree.CreerNoeud("", "E-M9-0", "A1", ""), "E-M9-0") << "a removed child's key is free again";
}

TEST(SectionStore, FindsNamesExactlyAndNeverTheEmptyNameAndFollowsRenames) {
    SectionStore s;
    s.ensureSection("M1", -1, "A1");
    s.ensureSection("M2", 1, "M1");
    s.ensureSection("M3", 1, "M1");
    const std::pair<const char*, int> before[] = {{"M1", 1}, {"m1", 0}, {"M2", 2}, {"", 0}, {"M4", 0}};
    for (const auto& [name, index] : before)
        EXPECT_EQ(s.findSection(name), index) << name;
    s.renameSection(2, "E-M1-1");
    s.renameSection(3, "E-M1-1");
    EXPECT_EQ(s.findSection("M2"), 0);
    EXPECT_EQ(s.findSection("E-M1-1"), 2) << "the first of a name is found";
    s.renameSection(2, "");
    EXPECT_EQ(s.findSection("E-M1-1"), 3);
    EXPECT_EQ(s.findSection(""), 0);
}

TEST(SectionStore, EnsureSectionResetsAnExistingMenuButKeepsItsMarks) {
    SectionStore store;
    const int index = store.ensureSection("M4", 3, "M1");
    for (int i = 1; i <= MenuValue::Count; ++i)
        store.setValue("M4", i, "v");
    store.at(index).errorFields = "03;";
    EXPECT_EQ(store.ensureSection("M4", 5, "M2"), index);
    EXPECT_EQ(store.size(), 1);
    EXPECT_EQ(store.at(index).values, QStringList(15, QString()));
    EXPECT_EQ(store.at(index).parentDigit, 5);
    EXPECT_EQ(store.at(index).parentKey, "M2");
    EXPECT_EQ(store.at(index).errorFields, "03;");
}

TEST(SectionStore, WritesToAbsentSectionsOrIndexesDoNothing) {
    SectionStore store;
    store.ensureSection("A1", -1, "");
    for (const auto& [name, index] : {std::pair{"A9", 1}, {"A1", 10}, {"A1", 0}})
        store.setValue(name, index, "x");
    EXPECT_EQ(store.size(), 1);
    EXPECT_EQ(store.at(1).values, QStringList(9, QString()));
    EXPECT_EQ(store.value("A9", 1), "");
}

} // namespace
