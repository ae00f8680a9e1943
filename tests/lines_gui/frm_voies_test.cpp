#include "lines_gui/frm_voies.h"

#include "core/prompts.h"
#include "lines/line_test_support.h"
#include "lines/scripted_server.h"
#include "support/online_context.h"
#include "support/qt_print.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace {

// The window in English on a scripted server, or on qavo-sim.
class FrmVoiesTest : public ::testing::Test {
protected:
    // The window shown on these replies of the scripted server (none: on the server given to s.ctx).
    void open(const QList<QByteArray>& replies = {}) {
        if (!replies.isEmpty()) s.gateway->replies = replies;
        s.ctx.translation = line_testing::englishLabels();
        w = std::make_unique<FrmVoies>(s.ctx, prompts);
        w->setPacing(pacing);
        w->show();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return w->isLoaded() || child<QWidget>("picErreur")->isVisible(); }));
        grid = child<QTableWidget>("Grille");
    }
    template <class T = QPushButton> T* child(const char* name) const { return w->findChild<T*>(name); }
    QString cell(int row, int column) const { return grid->item(row, column)->text(); }
    void doubleClick(int row, int column) {
        // A double click starts with a click, which also commits an open editor.
        const QPoint at = grid->visualRect(grid->model()->index(row, column)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
    // Types text into the cell's editor, then key (none: the editor stays open).
    void type(int row, int column, const char* text, Qt::Key key = Qt::Key_unknown) {
        doubleClick(row, column);
        QTest::keyClicks(child<QLineEdit>("txtNumCall"), text);
        if (key != Qt::Key_unknown) QTest::keyClick(child<QLineEdit>("txtNumCall"), key);
    }

    ScriptedServer s;
    ScriptedPrompts prompts;
    platform::NoPacing pacing;
    std::unique_ptr<FrmVoies> w;
    QTableWidget* grid = nullptr;
};

// The window on qavo-sim's 200-line example: read in pages of 96, greyed rows, choosable applications;
// a write the server refuses or drops is said in words, and the window keeps its edits and OK, Import
// and Export to try again or keep the lines in a file.
TEST_F(FrmVoiesTest, ReadsTheSimulatorsTableAndSaysWhyAWriteFailed) {
    testing_support::SimProcess sim({QStringLiteral("--control")},
                                    QStringLiteral(QAVO_RESOURCES "/server-example-500"));
    testing_support::goOnline(s.ctx, sim.port()); // s.gateway is gone from here on
    open();
    ASSERT_EQ(std::pair(child<QLabel>("lblProgress")->text(), grid->rowCount()),
              std::pair(QString("200 / 200"), 201));
    // Rows ("~" after a greyed one), the line's code, then the choices.
    QStringList rows;
    for (const int r : {0, 1, 8, 10})
        rows << QStringList({cell(r, 0), cell(r, 1), cell(r, 2), cell(r, 3)}).join(';') +
                    (grid->item(r, 2)->background().color() == QColor(224, 224, 224) ? "~" : "");
    auto* apps = child<QComboBox>("cboListeApp");
    EXPECT_EQ(rows << child<QListWidget>("lstCodesVoies")->item(7)->text() << apps->itemText(3)
                   << QString::number(apps->count()),
              QStringList({";First number;Last number;Application",
                           "1;0140000000;0140000009;451   Auto-attendant - tree 1",
                           "8;0140000070;0140000070;300   Voice mail~", "10;;;", "300",
                           "453   Auto-attendant - tree 3", "6"}));

    type(1, 1, "0999", Qt::Key_Return);
    const std::pair<const char*, const char*> faults[] = {
        {"status:3@#100,once", "server: the server refused it (status 3)\nThe server already holds part"},
        {"drop@#102,once", "The line table was not written to the server: "}};
    for (const auto& [fault, said] : faults) {
        ASSERT_TRUE(sim.fault(fault));
        prompts.shown.clear();
        child("cmdOK")->click();
        ASSERT_EQ(prompts.shown.size(), 1) << fault;
        EXPECT_TRUE(prompts.shown[0].text.contains(said)) << prompts.shown[0].text.toStdString();
        EXPECT_EQ(prompts.shown[0].text.contains("part of it"), fault[0] == 's') << fault;
        for (const char* button : {"cmdOK", "cmdExport", "cmdImport", "cmdCancel"})
            EXPECT_TRUE(child(button)->isEnabled()) << button;
        EXPECT_EQ(cell(1, 1), "0999");
    }
    child("cmdOK")->click();
    EXPECT_FALSE(w->isVisible());
}

// Edits are written by OK; Esc and Enter leave the cursor on the cell just edited, Esc never closes the
// window, and closing with edits not written asks first.
TEST_F(FrmVoiesTest, EditsInEachColumnAreWrittenByOkAndGreyedRowsRefuseThem) {
    open(lineReads(serverTable(100), true));
    QApplication::setActiveWindow(w.get());
    for (int column : {1, 3}) { // row 2: application 300
        doubleClick(2, column);
        EXPECT_FALSE(child<QWidget>("txtNumCall")->isVisible() || child<QWidget>("cboListeApp")->isVisible());
        grid->setCurrentCell(2, column);
        QTest::keyClick(grid, Qt::Key_Delete);
    }
    type(3, 1, "0999", Qt::Key_Escape); // Esc belongs to the editor
    EXPECT_TRUE(w->isVisible() && !child<QLineEdit>("txtNumCall")->isVisible());
    EXPECT_EQ(std::pair(grid->currentRow(), grid->currentColumn()), std::pair(3, 1));
    type(1, 1, "0150", Qt::Key_Return);
    EXPECT_EQ(std::pair(grid->currentRow(), grid->currentColumn()), std::pair(1, 1));
    type(3, 2, "12-3", Qt::Key_Return); // refused
    type(1, 2, "0159");                 // committed by the click on the grid
    doubleClick(3, 3);
    child<QComboBox>("cboListeApp")->setCurrentIndex(2);
    QTest::keyClick(child<QComboBox>("cboListeApp"), Qt::Key_Return);
    grid->setCurrentCell(4, 3);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(cell(3, 3), "452   Music on hold");
    QTest::keyClick(grid, Qt::Key_Escape);
    prompts.answers = {Prompts::Answer::No};
    child("cmdCancel")->click();
    EXPECT_EQ(std::tuple(w->isVisible(), prompts.shown.size(), prompts.shown.value(0).kind),
              std::tuple(true, 1, QString("question")))
        << "Esc on the grid asks nothing";
    s.gateway->requestsSeen.clear();
    s.gateway->replies = {emptyBlock(), emptyBlock(), emptyBlock()};

    child("cmdOK")->click();

    EXPECT_EQ(s.codes(), QList<quint32>({102, 102, 100}));
    EXPECT_EQ(writtenRecords(s, 100).mid(0, 5),
              QList<VoieT2cs>({record("0150", "0159", 451), serverTable(4)[1], record("0300", "0300", 452),
                               record("0400", "", VoieT2cs::Unset), VoieT2cs()}));
    EXPECT_FALSE(w->isVisible());
}

TEST_F(FrmVoiesTest, AFailedRequestShowsTheErrorAndWritesNothing) {
    const QList<QByteArray> good = lineReads(serverTable(150), true);
    QByteArray refusal = good[2];
    writeReplyHeader(refusal, 1, 96, 150);
    // Where the read may stop is the line table's test; the window shows any of them alike.
    open({good[0], good[1], refusal});
    EXPECT_TRUE(
        child<QWidget>("picErreur")->isVisible() &&
        child<QLabel>("lblErreur")->text().startsWith("The line table could not be read from the server."));
    for (const char* button : {"cmdOK", "cmdExport", "cmdImport"})
        EXPECT_FALSE(child(button)->isEnabled()) << button;
    w->cmdOK();
    EXPECT_EQ(s.codes(),
              QList<quint32>({RequestCode::ReadGeneral, RequestCode::ReadLines, RequestCode::ReadLines}));
}

// The lines themselves are Lines500's; here: the reset reads, then writes, with no window.
TEST(FrmVoiesReset, RemovesTheAutoAttendantWithoutShowingAWindow) {
    ScriptedServer s(lineReads(serverTable(5), true).mid(0, 4) << emptyBlock() << emptyBlock());
    ASSERT_TRUE(FrmVoies::ResetVoies(s.ctx));
    EXPECT_EQ(s.codes().mid(4), QList<quint32>({RequestCode::WriteLines, RequestCode::WriteGeneral}));
}

// A file that is not this server's line table is refused with the line that shows it, the table kept;
// any other shows what it changes, lines skipped included, and changes nothing unless accepted.
TEST_F(FrmVoiesTest, ImportRefusesOtherFilesAndShowsChangesFirst) {
    open(lineReads(serverTable(6))); // 451, 300 greyed, no application, 451, two free
    // A greyed row tells why it takes no edit; the others show their text alone.
    const QString why = "This line belongs to another application: it cannot be changed here.";
    EXPECT_EQ(
        QStringList({grid->item(2, 1)->toolTip(), grid->item(2, 0)->toolTip(), grid->item(1, 1)->toolTip()}),
        QStringList({"0200\n" + why, "2\n" + why, ""}));
    const QTemporaryDir dir;
    const QString csv = dir.filePath("voies.csv");
    // The rows as read, then as the mixed file below leaves them: first;last;application.
    const QStringList read =
        QString("0140;0149;451   Operator|0200;0299;300   Messagerie|0300;0300;|0400;;451   Operator|;;|;;")
            .split('|');
    const QStringList taken = QString("0140;0149;451   Operator|0200;0299;300   Messagerie|0350;0359;451   "
                                      "Operator|;;|;;|0700;;452   Nuit")
                                  .split('|');
    const QByteArray debut = "D\xE9"
                             "but";
    const QByteArray mixed = debut + ";Fin;Application\r\n0140;0149;451\r\n0200;0299;300\r\n0350;0359;451\r\n"
                                     "0400;;451;note\r\n;;\r\n;;\r\n0700;;452\r\n0800;;\r\n";
    const QString kept = "Lines of other applications, kept as they are: 1";
    const QString mixedChanges =
        "Lines added: 1 (0700 / 452)\nLines removed: 1 (0400 / 451)\nLines changed: 1 (0350 / 0359 / 451)\n" +
        kept + "\n2 line(s) of the file were not imported (not 3 fields, or past the 6 lines): line(s) 5, 9.";
    // The file written (none: kept), whether the preview is accepted, the refusal's reason (after "line") or
    // the preview's remark, and the rows afterwards.
    const std::tuple<const char*, QByteArray, bool, QString, QStringList> tc[] = {
        {"own export", QByteArray(), true, "The file holds the same lines as the table.\n" + kept, read},
        {"newer server's export",
         "N\xB0 appelant;N\xB0 appel\xE9;Code;Planning;VP;Si ouvert;;;;Libell\xE9;Trace\r\n"
         "201;;;0;0;451;;0;;Accueil;0\r\n",
         true, "line 2: 11 fields, 3 expected", read},
        {"commas", debut + ",Fin,Application\r\n0140,0149,451\r\n", true, "line 2: 1 field, 3 expected",
         read},
        {"a header alone, with commas", debut + ",Fin,Application\r\n", true, "line 1: 1 field, 3 expected",
         read},
        {"choice cancelled", QByteArray(), true, "", read},
        {"cancelled", mixed, false, mixedChanges, read},
        {"accepted", mixed, true, mixedChanges, taken},
    };
    prompts.fileNames = {csv};
    child("cmdExport")->click(); // the first file imported: the window's own export
    for (const auto& [name, file, reply, said, rows] : tc) {
        SCOPED_TRACE(name);
        if (!file.isEmpty()) testing_support::writeBytes(csv, file);
        prompts.fileNames = {said.isEmpty() ? QString() : csv}; // nothing said: the choice cancelled
        prompts.shown.clear();
        prompts.answers = {reply ? Prompts::Answer::Yes : Prompts::Answer::No};
        s.gateway->replies = {emptyBlock()};
        writeApplicationName(s.gateway->replies[0], "Nuit");
        child("cmdImport")->click();
        QStringList boxes, shown;
        for (const ScriptedPrompts::Shown& box : prompts.shown.mid(1)) // after the file dialog
            boxes << box.kind + ": " + box.text + '\n' + box.remark;
        const QString refusal =
            "critical: The file " + csv + " is not a line table (" + said + ").\r\nThe table is unchanged.\n";
        const QString question = "question: Replace the table by the lines of this file?\n" + said;
        EXPECT_EQ(boxes, said.isEmpty() ? QStringList()
                                        : QStringList(said.startsWith("line ") ? refusal : question));
        for (int row = 1; row <= 6; ++row)
            shown << cell(row, 1) + ';' + cell(row, 2) + ';' + cell(row, 3);
        EXPECT_EQ(shown, rows);
    }
}

} // namespace
