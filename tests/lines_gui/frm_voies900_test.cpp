#include "lines_window_fixture.h"

namespace {

using namespace lines_gui_testing;

TEST_F(LinesWindowTest, TypedEntriesAreKeptOrDroppedAndApplyStoresThemOnTheServer) {
    // Typed into rows 5, 6... in turn; what each column refuses is the line rules' test. The column, the
    // text typed, the cell afterwards, and the line the server's file then holds, if any.
    const std::tuple<int, const char*, const char*, const char*> cases[] = {
        {1, "12ab*#X", "12ab*#X", "12ab*#X;;;;;;;;;0;"},
        {2, "0612", "0612", ";0612;;;;;;;;0;"},
        {3, "x", "x", ";;x;;;;;;;0;"},
        {5, "8", "8", nullptr},
        {6, "12#", "12#", nullptr}, // a transfer number makes the line another's
        {7, "Nuit", "", nullptr},   // no application of that name on this server
        {8, " a;b ", "ab", nullptr},
    };
    open();
    QByteArray expected = serverLines();
    for (int row = 5; const auto& [column, typed, shown, fileLine] : cases) {
        SCOPED_TRACE(typed);
        type(row, column, QLatin1String(typed));
        EXPECT_FALSE(editor()->isVisible());
        EXPECT_EQ(cell(row, column), QLatin1String(shown));
        EXPECT_EQ(line(row++).contains('~'), column == 6);
        if (fileLine) expected += QByteArray(fileLine) + "\r\n";
    }

    QTest::mouseClick(find<QPushButton>("cmdAppliquer"), Qt::LeftButton);
    EXPECT_EQ(served("rcm.cfg"), expected);
    EXPECT_TRUE(window->isVisible() && rows() == 25);
    EXPECT_EQ(prompts.shown.last().text, "The line table was written to the server.");

    // A store the server refuses is told, and OK keeps the window and its lines.
    ASSERT_TRUE(sim->fault("login@rcm.cfg"));
    type(20, 8, QStringLiteral("kept"));
    prompts.shown.clear();
    QTest::mouseClick(find<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(std::pair(prompts.shown.size(), prompts.shown.value(0).kind),
              std::pair(qsizetype(1), QString("critical")));
    EXPECT_TRUE(window->isVisible() && window->table().line(20).libelle == "kept");
    EXPECT_EQ(served("rcm.cfg"), expected);
}

TEST_F(LinesWindowTest, GreyedLinesRefuseEditorDeleteAndRemoval) {
    open();
    for (const int row : {2, 3}) {
        SCOPED_TRACE(row);
        enterCell(row, 1);
        EXPECT_FALSE(editor()->isVisible());
        QTest::keyClick(grid(), Qt::Key_Delete);
        popup(row, QStringLiteral("mnuDel"));
        EXPECT_EQ(menuItems, QStringList({"mnuDel(off)", "mnuInsert"}));
    }
    // A greyed row says why; Delete on a transfer when open takes it back, and the row with it. An
    // editable line's cell is emptied by Delete, its record with it.
    const auto tip = [this](int row, int column) { return at(row, column).data(Qt::ToolTipRole).toString(); };
    EXPECT_TRUE(tip(2, 1).endsWith("belongs to another application: it cannot be changed here."));
    EXPECT_TRUE(tip(3, 6).startsWith("0601\nThis line transfers to a number"));
    const QStringList before = {line(1), line(2), line(3), line(4)};
    for (const auto& [row, column] : {std::pair{3, 6}, {4, 3}}) {
        grid()->setCurrentIndex(at(row, column));
        QTest::keyClick(grid(), Qt::Key_Delete);
    }
    EXPECT_EQ(before + QStringList({line(3), line(4)}),
              QStringList({"1|201|||||Auto-attendant - tree 1|Accueil soir|Accueil|None",
                           "2|~202|~|~|~|~|~Messagerie|~|~Fax|~None", "3|~203|~|~|~|~|~0601|~|~Renvoi|~None",
                           "4|||12|||||Code|Normal", "3|203|||||||Renvoi|None", "4||||||||Code|Normal"}));
}

// How many rows the grid keeps is the line rules' test; here the pop-up and the add button reach them.
TEST_F(LinesWindowTest, PopupDeletesAndInsertsLinesAndAddPutsOneAtTheEnd) {
    QByteArray lines;
    for (int i = 1001; i <= 1030; ++i)
        lines += QByteArray::number(i) + ";;;451;;;;;;0;\r\n";
    serve("rcm.cfg", lines);
    open();
    popup(3, QStringLiteral("mnuDel"));
    QStringList shown = {cell(3, 1), cell(rows(), 0), cell(rows(), 1)};
    popup(3, QStringLiteral("mnuInsert"));
    shown << cell(3, 1) << cell(4, 1) << cell(rows(), 0);
    QTest::mouseClick(find<QToolButton>("cmdAddLigne2"), Qt::LeftButton);
    EXPECT_EQ(shown << line(rows()) << QString::number(grid()->currentIndex().row() + 1),
              QStringList({"1004", "29", "1030", "", "1004", "30", "31|||||||||None", "31"}));
}

TEST_F(LinesWindowTest, FindingsFollowTheTableAndAChosenOneShowsItsLine) {
    open();
    auto* list = find<QListWidget>("lstDebug");
    ASSERT_EQ(texts("lstDebug"), QStringList{"Line #4 : code without VP"});
    EXPECT_EQ(
        std::pair(list->item(0)->foreground().color(), list->item(0)->data(Qt::UserRole + 1).toString()),
        std::pair(QColor(0xAD, 0, 0), QString("Erreur")));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    const QColor chosen(255, 128, 128);
    EXPECT_EQ(std::tuple(grid()->currentIndex().row() + 1, back(4, 0), back(3, 0) == chosen),
              std::tuple(4, chosen, false));

    type(4, 5, QStringLiteral("2"));
    type(6, 1, QStringLiteral("300"));
    EXPECT_EQ(texts("lstDebug"), QStringList{"Line #6 : no application or transfer when open"});
    EXPECT_NE(back(4, 0), chosen) << "a new check drops the highlight";

    // The fold toggle hides the list and says what it will do next.
    auto* picF = find<QToolButton>("picF");
    const QString tip = picF->toolTip();
    QTest::mouseClick(picF, Qt::LeftButton);
    EXPECT_EQ(QStringList({tip, picF->toolTip()}),
              QStringList({"Shrink the message list", "Enlarge the message list"}));
    EXPECT_FALSE(list->isVisible());
}

TEST_F(LinesWindowTest, EscapeChangesNothingAndTheCursorStaysOnItsCell) {
    open();
    QApplication::setActiveWindow(window.get());
    const LineTable before = window->table();
    type(1, 1, QStringLiteral("999"), Qt::Key_Escape);
    EXPECT_EQ(std::pair(editor()->isVisible(), grid()->currentIndex()), std::pair(false, at(1, 1)));
    type(4, 2, QStringLiteral("77"));
    EXPECT_EQ(grid()->currentIndex(), at(4, 2)) << "the next Delete clears the cell just typed";
    QTest::keyClick(grid(), Qt::Key_Delete);
    for (const auto& [column, combo] : {std::pair{4, "cboPlanning"}, std::pair{9, "cboTrace"}}) {
        enterCell(1, column);
        auto* box = find<QComboBox>(combo);
        ASSERT_TRUE(box->isVisible()) << combo;
        box->setCurrentIndex(2);
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_FALSE(box->isVisible()) << combo;
    }
    QTest::keyClick(grid(), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible()) << "Esc never closes the window";
    EXPECT_EQ(window->table(), before);

    // A choice in a list is kept, and shown.
    enterCell(1, 4);
    auto* planning = find<QComboBox>("cboPlanning");
    planning->setCurrentIndex(4);
    emit planning->activated(4);
    EXPECT_EQ(std::pair(cell(1, 4), window->table().line(1).planing),
              std::pair(QString("Plan 3"), qint16(4)));
}

// However the window is closed, edits not written to the server are only dropped once the user says so;
// with nothing to lose it closes at once.
TEST_F(LinesWindowTest, ClosingWithEditsNotAppliedAsksFirst) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Cancel", [this] { QTest::mouseClick(find<QPushButton>("cmdCancel"), Qt::LeftButton); }},
        {"title bar", [this] { window->close(); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        open();
        prompts.shown.clear();
        close();
        EXPECT_FALSE(window->isVisible());
        open();
        enterCell(5, 1);
        QTest::keyClicks(editor(), "555"); // still in its editor
        prompts.answers = {Prompts::Answer::No, Prompts::Answer::Yes};
        close();
        EXPECT_TRUE(window->isVisible());
        close();
        EXPECT_FALSE(window->isVisible());
        ASSERT_EQ(prompts.shown.size(), 2);
        EXPECT_EQ(prompts.shown[0].text.left(58),
                  "The changes to the line table have not been written to the");
    }
}

// Which file is missing is the line files' test; the window shows any of them alike.
TEST_F(LinesWindowTest, AFailedFetchShowsTheErrorAndLeavesOnlyCancel) {
    QFile::remove(onServer("rcm.txt"));
    open();
    EXPECT_EQ(std::pair(find("picErreur")->isVisible(), rows()), std::pair(true, 0));
    for (const char* off :
         {"cmdOK", "cmdAppliquer", "cmdExport", "cmdImport", "picIcon_0", "cmdAddLigne", "cmdAddLigne2"})
        EXPECT_FALSE(find(off)->isEnabled()) << off;
    QTest::mouseClick(find<QPushButton>("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
