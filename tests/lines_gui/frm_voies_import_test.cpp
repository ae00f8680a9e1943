#include "lines_gui/frm_voies.h"

#include "core/prompts.h"
#include "lines/line_test_support.h"
#include "lines/scripted_server.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QStringList kReadRows = {"0140;0149;451", "0200;0299;300", "0300;0300;", "0400;;451", ";;", ";;"};

// The window on a server of 6 lines (451, 300 greyed, no application, 451, two free), English labels.
class FrmVoiesImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.ctx.translation = line_testing::englishLabels();
        s.gateway->replies = lineReads(serverTable(6));
        w = std::make_unique<FrmVoies>(s.ctx, prompts);
        w->setPacing(pacing);
        w->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->isLoaded(); }));
        grid = w->findChild<QTableWidget*>("Grille");
    }
    // Imports file through the dialogs, answering the preview (if shown) with reply.
    void applyImport(const QByteArray& file, Prompts::Answer reply) {
        testing_support::writeBytes(csv, file);
        prompts.shown.clear();
        prompts.fileNames = {csv};
        prompts.answers = {reply};
        w->findChild<QPushButton*>("cmdImport")->click();
    }
    // Rows 1 to 6 as first;last;application code.
    QStringList rows() const {
        QStringList out;
        for (int row = 1; row <= 6; ++row)
            out << grid->item(row, 1)->text() + ';' + grid->item(row, 2)->text() + ';' +
                       grid->item(row, 3)->text().left(3);
        return out;
    }

    ScriptedServer s{QString()};
    ScriptedPrompts prompts;
    platform::NoPacing pacing;
    std::unique_ptr<FrmVoies> w;
    QTableWidget* grid = nullptr;
    QTemporaryDir dir;
    const QString csv = dir.filePath("voies.csv");
};

// A file that is not this server's line table is refused with the line that shows it, the table kept;
// any other shows what it changes, lines skipped included, and changes nothing unless accepted.
TEST_F(FrmVoiesImportTest, RefusesOtherFilesAndShowsChangesFirst) {
    const QByteArray mixed = "D\xE9"
                             "but;Fin;Application\r\n0140;0149;451\r\n0200;0299;300\r\n0350;0359;451\r\n"
                             "0400;;451;note\r\n;;\r\n;;\r\n0700;;\r\n0800;;\r\n";
    const QString mixedChanges = "Lines added: 1 (0700)\nLines removed: 1 (0400 / 451)\n"
                                 "Lines changed: 1 (0350 / 0359 / 451)\n"
                                 "Lines of other applications, kept as they are: 1\n"
                                 "2 line(s) of the file were not imported (not 3 fields, or past the 6 "
                                 "lines): line(s) 5, 9.";
    const QStringList mixedRows = {"0140;0149;451", "0200;0299;300", "0350;0359;451", ";;", ";;", "0700;;"};
    struct Case {
        const char* name;
        QByteArray file;
        Prompts::Answer reply;
        QString shown; // the refusal's reason, or the preview's remark
        QStringList rows;
    };
    const Case tc[] = {
        {"newer server's export",
         "N\xB0 appelant;N\xB0 appel\xE9;Code;Planning;VP;Si ouvert;;;;Libell\xE9;Trace\r\n"
         "201;;;0;0;451;;0;;Accueil;0\r\n",
         Prompts::Answer::Yes, "line 2: 11 fields, 3 expected", kReadRows},
        {"commas",
         "D\xE9"
         "but,Fin,Application\r\n0140,0149,451\r\n",
         Prompts::Answer::Yes, "line 2: 1 field, 3 expected", kReadRows},
        {"a header alone, with commas",
         "D\xE9"
         "but,Fin,Application\r\n",
         Prompts::Answer::Yes, "line 1: 1 field, 3 expected", kReadRows},
        {"own export",
         "D\xE9"
         "but;Fin;Application\r\n0140;0149;451\r\n0200;0299;300\r\n0300;0300;\r\n0400;;451\r\n",
         Prompts::Answer::Yes,
         "The file holds the same lines as the table.\nLines of other applications, kept as they are: 1",
         kReadRows},
        {"cancelled", mixed, Prompts::Answer::No, mixedChanges, kReadRows},
        {"accepted", mixed, Prompts::Answer::Yes, mixedChanges, mixedRows},
    };
    for (const Case& c : tc) {
        SCOPED_TRACE(c.name);
        applyImport(c.file, c.reply);
        ASSERT_EQ(prompts.shown.size(), 2); // the file dialog, then one box
        const ScriptedPrompts::Shown& box = prompts.shown[1];
        if (box.kind == "critical")
            EXPECT_EQ(box.text, "The file " + csv + " is not a line table (" + c.shown +
                                    ").\r\nThe table is unchanged.");
        else
            EXPECT_EQ(QStringList({box.kind, box.text, box.remark}),
                      QStringList({"question", "Replace the table by the lines of this file?", c.shown}));
        EXPECT_EQ(rows(), c.rows);
    }
}

// A greyed row tells why it takes no edit; the others show their text alone.
TEST_F(FrmVoiesImportTest, AGreyedRowSaysWhyInItsTooltip) {
    const QString why = "This line belongs to another application: it cannot be changed here.";
    EXPECT_EQ(grid->item(2, 1)->toolTip(), "0200\n" + why);
    EXPECT_EQ(grid->item(2, 0)->toolTip(), "2\n" + why);
    EXPECT_EQ(grid->item(1, 1)->toolTip(), "");
}

} // namespace
