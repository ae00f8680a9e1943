#include "model/tree_file.h"
#include "startup/app_context.h"
#include "startup/diagnostics_sink.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using testing_support::dataDir;
using testing_support::readBytes;
using testing_support::resourcesDir;
using testing_support::writeBytes;

namespace {

class Writer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ctx.translation.loadFile(dataDir() + QStringLiteral("/labels_en.txt")));
        config.actionTypes = makeActionTypes(ctx.translation);
        config.schedules = makeSchedules(ctx.translation);
        ChargementArbres(config, QString(), ctx);
    }

    QTemporaryDir dir;
    AppContext ctx;
    Configuration config;
};

class Recorder : public DiagnosticsSink {
public:
    void AjouteInfo(const QString& message, short level, const QString&) override {
        lines << QString::number(level) + QLatin1Char('|') + message;
    }
    QStringList lines;
};

TEST_F(Writer, NewModelHasGeneralSchedulesAndFiveTreesEndingWithAnEmptyLine) {
    const QByteArray bytes = treeFileBytes(config);
    EXPECT_TRUE(
        bytes.startsWith("[general]\r\ncode_retour=*\r\ncode_dialing=#\r\ntp_inter_digit=10\r\n[H1]\r\n"
                         "lun=\r\nmar=\r\nmer=\r\njeu=\r\nven=\r\nsam=\r\ndim=\r\n[H2]\r\n"));
    EXPECT_TRUE(bytes.contains("dim=\r\n[A1]\r\nlib=Tree 1\r\n"));
    EXPECT_TRUE(bytes.endsWith("[A5]\r\nlib=Tree 5\r\nann1=\r\nann2=\r\nrep2=2\r\nlangue=1\r\nmenu=\r\n"
                               "exit_trf=\r\nexit_fer=\r\nexit_nac=\r\n\r\n"));
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count("[H"), 10);
}

TEST_F(Writer, SectionsFollowNodeInsertionOrderNotDisplayOrder) {
    // A menu added while editing goes after the five trees, though it shows under A1.
    config.sections.ensureSection("M7", -1, "A1");
    config.nodes.CreerNoeud("1 - New", "M7", "A1", "Menu");
    const QString text = QString::fromLatin1(treeFileBytes(config));
    EXPECT_GT(text.indexOf("[M7]"), text.indexOf("[A5]"));
    // Key nodes and stand-in keys are not sections.
    config.nodes.CreerNoeud("x", "E-M7-1", "M7", "NoAction");
    config.nodes.CreerNoeud("y", "", "M7", "NoAction");
    EXPECT_EQ(treeFileBytes(config).count("["), 11 + 5 + 1);
}

TEST_F(Writer, DeletedMenuKeepsItsRecordButIsNotWritten) {
    config.sections.ensureSection("M3", -1, "A1");
    config.nodes.CreerNoeud("1 - Gone", "M3", "A1", "Menu");
    config.nodes.removeNode("M3");
    EXPECT_NE(config.sections.findSection("M3"), 0);
    EXPECT_FALSE(treeFileBytes(config).contains("[M3]"));
}

TEST_F(Writer, SavingTwiceGivesIdenticalFiles) {
    ChargementArbres(config, resourcesDir() + QStringLiteral("/examples/demo.maa"), ctx);
    const QString a = dir.filePath("a.maa"), b = dir.filePath("b.maa");
    ASSERT_TRUE(SaveArbre(config, a, true, ctx));
    ChargementArbres(config, a, ctx);
    ASSERT_TRUE(SaveArbre(config, b, true, ctx));
    EXPECT_EQ(readBytes(a), readBytes(b));
    EXPECT_FALSE(readBytes(a).isEmpty());
}

TEST_F(Writer, SaveReplacesTheFileAndIsReportedUnlessSilentOrJournal) {
    Recorder diagnostics;
    QStringList recent;
    const TreeFileHooks hooks{&diagnostics, [&](const QString& p) { recent << p; },
                              [](const QString& p) { return p.endsWith(QLatin1String(".cancel")); }};
    const QString path = dir.filePath("out.maa");
    writeBytes(path, QByteArray(100000, 'z'));

    ASSERT_TRUE(SaveArbre(config, dir.filePath("quiet.maa"), true, ctx, hooks));
    ASSERT_TRUE(SaveArbre(config, dir.filePath("step.cancel"), false, ctx, hooks));
    ASSERT_TRUE(SaveArbre(config, path, false, ctx, hooks));
    EXPECT_EQ(readBytes(path), treeFileBytes(config));
    EXPECT_EQ(diagnostics.lines, QStringList{"0|Saved \"" + path + "\""});
    EXPECT_EQ(recent, QStringList{path});
}

TEST_F(Writer, UnwritableTargetFailsQuietlyAndLeavesNoFile) {
    Recorder diagnostics;
    const QString path = dir.filePath("missing/folder/out.maa");
    EXPECT_FALSE(SaveArbre(config, path, false, ctx, {&diagnostics, {}, {}}));
    EXPECT_TRUE(diagnostics.lines.isEmpty());
    EXPECT_TRUE(readBytes(path).isEmpty());
    // A folder in the way is not replaced.
    EXPECT_FALSE(SaveArbre(config, dir.path(), true, ctx));
}

TEST_F(Writer, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    config.sections.setValue("A1", TreeValue::lib, QStringLiteral("Caf\u00e9 \u4e2d"));
    EXPECT_TRUE(treeFileBytes(config).contains("lib=Caf\xe9 ?\r\n"));
}

} // namespace
