// The line window's application table, CSV files and its place in the main window.
#include "lines_window_fixture.h"

#include "editor/window_fixture.h"
#include "lines/line_files.h"
#include "server/recording_gateway.h"

namespace {

using namespace lines_gui_testing;

TEST_F(LinesWindowTest, ApplicationsOfTheServerAreNamedAndChosenByName) {
    serve("applications.txt", "451;$ARBRE1\r\n300;Fax\r\n452;Nuit\r\n495;Hidden\r\n453;Soir\r\n");
    open();
    EXPECT_EQ(texts("lstInfosApp"),
              QStringList({"", "451|Auto-attendant - tree 1||", "452|Nuit||", "453|Soir||"}));
    // 300 is named from the list of all the server's applications, not from those offered.
    EXPECT_EQ(QStringList({cell(1, 6), cell(2, 6)}), QStringList({"Auto-attendant - tree 1", "Fax"}));
    type(1, 7, "Soir"); // its code is written below

    // The picker offers the applications, then the stations, starting on what the cell holds.
    enterCell(1, 6);
    QTest::mouseClick(find<QToolButton>("cmdPostes"), Qt::LeftButton);
    auto* picker = find<QTreeWidget>("lstPostesAPP");
    ASSERT_EQ(std::tuple(find("picPostes")->isVisible(), picker->topLevelItemCount(), picker->currentItem()),
              std::tuple(true, 5, picker->topLevelItem(0)));
    picker->setCurrentItem(picker->topLevelItem(3));
    QTest::keyClick(picker, Qt::Key_Return);
    EXPECT_EQ(std::pair(find("picPostes")->isVisible(), editor()->text()), std::pair(false, QString("101")));
    QTest::keyClick(editor(), Qt::Key_Return);

    // OK stores the table (the transfer picked, the application typed), then has the server take its five
    // lines into account, and closes the window.
    type(5, 1, "555");
    QTest::mouseClick(find<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(served("rcm.cfg").contains("\r\n201;;;;101;453;;;;0;Accueil\r\n"));
    EXPECT_TRUE(sim->log().contains(" #105 200 lines=5"));
}

TEST_F(LinesWindowTest, CsvExportAndImportGoThroughTheFileDialogs) {
    open();
    const QString csv = work.filePath("lines.csv");
    const LineTable loaded = window->table();

    // A blank line inserted before a greyed one, exported: the file gives back the same lines.
    popup(1, "mnuInsert");
    prompts.fileNames = {csv};
    QTest::mouseClick(find<QPushButton>("cmdExport"), Qt::LeftButton);
    type(6, 1, "555");
    // What the import changes is shown first; No keeps the table, Yes takes the file.
    for (const Prompts::Answer answer : {Prompts::Answer::No, Prompts::Answer::Yes}) {
        prompts.fileNames = {csv};
        prompts.answers = {answer};
        QTest::mouseClick(find<QPushButton>("cmdImport"), Qt::LeftButton);
        EXPECT_EQ(prompts.shown.last().text, "Replace the table by the lines of this file?");
        EXPECT_EQ(prompts.shown.last().remark, "Lines removed: 1 (555)\n"
                                               "Lines of other applications, kept as they are: 1");
        EXPECT_EQ(cell(6, 1), answer == Prompts::Answer::Yes ? "" : "555");
    }
    EXPECT_EQ(lineTableBytes(window->table()), lineTableBytes(loaded)) << "the exported table comes back";
    EXPECT_TRUE(line(2).startsWith("2|~202|~"));

    // Cancelled dialogs change nothing; a file that cannot be written or read, or is not a line table, is
    // reported while the commands wait; the table stays.
    testing_support::writeBytes(csv, "a,b,c\r\n555,,\r\n");
    QStringList enabledDuring;
    prompts.onCritical = [&] {
        for (const char* b : {"cmdOK", "cmdAppliquer", "cmdExport", "cmdImport"})
            if (find(b)->isEnabled()) enabledDuring << QLatin1String(b);
    };
    type(5, 1, "555");
    const LineTable edited = window->table();
    prompts.shown.clear();
    prompts.fileNames = {QString(), QString(), work.filePath("missing/lines.csv"), work.path(), csv};
    for (const char* button : {"cmdExport", "cmdImport", "cmdExport", "cmdImport", "cmdImport"})
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    QStringList kinds;
    for (const ScriptedPrompts::Shown& box : prompts.shown)
        kinds << box.kind + ' ' + box.title;
    const QString failed = "critical Line configuration";
    EXPECT_EQ(kinds, QStringList({"save Export", "open Import", "save Export", failed, "open Import", failed,
                                  "open Import", failed}));
    EXPECT_TRUE(prompts.shown.last().text.contains("(line 2: 1 field, 11 expected)"));
    EXPECT_EQ(std::pair(enabledDuring, find("cmdImport")->isEnabled()), std::pair(QStringList(), true));
    EXPECT_EQ(window->table(), edited);
}

class LineMenuTest : public editor_testing::WindowTest {};

TEST_F(LineMenuTest, OpensTheWindowOfTheServersGenerationModallyOnlyOnline) {
    ctx.translation.setText(editor_testing::windowLabels() +
                            "MenuVoie=Line configuration...\r\n[frmVoies900]\r\nTitre=Lines\r\n");
    passerelleOf(ctx).setGateway(std::make_unique<RecordingGateway>()); // a server that answers nothing
    ctx.HADDR = "10.0.0.9";
    // Local, generation 900: the window shown and its title.
    const std::tuple<bool, bool, const char*> cases[] = {
        {true, true, ""},
        {false, true, "FrmVoies900 Lines - 10.0.0.9"},
        {false, false, "FrmVoies Line configuration - 10.0.0.9"}};
    for (const auto& [local, version900, window] : cases) {
        ctx.modeLocal = local;
        ctx.VERSION_900 = version900;
        open();
        QString shown;
        onModal<QDialog>([&] { action("mnuVoies")->trigger(); },
                         [&](QDialog& w) { shown = w.metaObject()->className() + (' ' + w.windowTitle()); });
        EXPECT_EQ(std::pair(action("mnuVoies")->isEnabled(), shown), std::pair(!local, QString(window)));
    }
}

} // namespace
