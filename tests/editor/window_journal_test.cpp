// The undo journal of the main window: its list, its files and the undo and redo buttons.
#include "window_fixture.h"

#include "dialogs/frm_horaires.h"

#include <QSignalSpy>

using namespace editor_testing;

namespace {

TEST_F(WindowTest, OpeningATreeStartsTheJournalAgainWithOneStep) {
    open();
    changeAndRecord("Earlier");
    window->setBoolSave(true); // nothing to confirm
    prompts.fileNames << writeFile("other.maa", workedExample());
    window->mnuOpen->trigger();

    ASSERT_EQ(journalItems().size(), 1);
    EXPECT_TRUE(journalItems()[0].endsWith(" -> Start : 1 - Reception")) << journalItems()[0].toStdString();
    EXPECT_EQ(journalFiles(), QStringList{"0001.can"});
    EXPECT_FALSE(undoEnabled());
    EXPECT_FALSE(redoEnabled());
}

TEST_F(WindowTest, TypedCharactersRewriteTheCurrentStepAndUndoGoesBackPastThem) {
    frmMain& w = open();
    clickNode("E-M1-4");
    choose(panel<QComboBox>("cboTypesActions"), "Transfer");
    ASSERT_EQ(journalItems().size(), 2);
    const QByteArray first = journalFile("0001.can");

    clickNode("M1");
    QLineEdit* name = panel<QLineEdit>("txtLib_1");
    name->selectAll();
    QString typed;
    for (const QChar c : QStringLiteral("Welcome!!!")) {
        typed += c;
        QTest::keyClicks(name, c);
        EXPECT_EQ(journalFiles(), (QStringList{"0001.can", "0002.can"}));
        EXPECT_EQ(journalItems().size(), 2);
        EXPECT_TRUE(journalFile("0002.can").contains("lib=" + typed.toLatin1() + "\r\n"))
            << typed.toStdString();
    }
    EXPECT_EQ(journalFile("0001.can"), first);

    w.toolButton("Annuler")->trigger();
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "");
    EXPECT_EQ(menuName(), "Main menu");
    EXPECT_EQ(selectedKey(), "A1") << "the first step was recorded with the tree selected";
}

TEST_F(WindowTest, UndoTwiceThenAChangeDropsTheLaterStepsAndTakesTheNextNumber) {
    open();
    for (const char* name : {"B", "C", "D"})
        changeAndRecord(name);
    window->toolButton("Annuler")->trigger();
    window->toolButton("Annuler")->trigger();
    EXPECT_EQ(menuName(), "B");
    EXPECT_TRUE(redoEnabled());

    changeAndRecord("E");
    EXPECT_EQ(journalFiles(), (QStringList{"0001.can", "0002.can", "0005.can"}));
    EXPECT_EQ(journalItems().size(), 3);
    EXPECT_EQ(currentJournalRow(), 2);
    EXPECT_TRUE(journalFile("0005.can").contains("lib=E\r\n"));
    EXPECT_FALSE(redoEnabled());
}

TEST_F(WindowTest, ClickingAJournalItemRestoresItsTreeAndSelection) {
    open();
    clickNode("M2");
    changeAndRecord("B");
    clickNode("E-M1-3");
    changeAndRecord("C");
    setMenuName("Typed but not recorded");
    QSignalSpy shown(window.get(), &frmMain::nodeClicked);

    clickRow(window->lstCancel, 2); // the current item: nothing happens
    EXPECT_EQ(menuName(), "Typed but not recorded");
    EXPECT_TRUE(shown.isEmpty());

    clickRow(window->lstCancel, 1);
    EXPECT_EQ(menuName(), "B");
    EXPECT_EQ(selectedKey(), "M2");
    EXPECT_EQ(shownPanel(), 1);
    EXPECT_TRUE(redoEnabled());
}

TEST_F(WindowTest, AnsweringNoToTheGuardLeavesTreeAndJournalUntouched) {
    const struct {
        const char* command;
        std::function<void(frmMain&)> act;
        const char* question;
    } cases[] = {
        {"New", [](frmMain& w) { w.mnuNew->trigger(); }, "Discard the changes?"},
        {"recent file", [](frmMain& w) { w.mnuFileN[0]->trigger(); }, "Discard the changes?"},
        {"Quit", [](frmMain& w) { w.mnuQuit->trigger(); }, "Quit anyway?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        open();
        changeAndRecord("Unsaved");
        const QStringList items = journalItems();
        prompts.shown.clear();
        ASSERT_TRUE(window->mnuFileN[0]->isVisible());

        c.act(*window);

        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].text, c.question);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(menuName(), "Unsaved");
        EXPECT_EQ(journalItems(), items);
        EXPECT_EQ(journalFiles(), (QStringList{"0001.can", "0002.can"}));
        EXPECT_TRUE(titleMarked());
    }
}

TEST_F(WindowTest, SchedulesWindowAddsAStepOnlyForAChange) {
    open();
    auto closeWith = [&](int hourIndex) {
        EXPECT_TRUE(
            onModal<FrmHoraires>([&] { window->mnuHoraires->trigger(); },
                                 [&](FrmHoraires& d) {
                                     if (hourIndex >= 0)
                                         d.findChild<QComboBox*>("cboHeureDeb_0")->setCurrentIndex(hourIndex);
                                     d.cmdFermer();
                                 }));
    };
    closeWith(-1);
    EXPECT_EQ(journalItems().size(), 1) << "closed without a change";
    closeWith(9); // "08"
    ASSERT_EQ(journalItems().size(), 2);
    EXPECT_TRUE(journalItems()[1].endsWith(" -> Schedules changed"));
    EXPECT_TRUE(journalFile("0002.can").contains("lun=08:"));
}

} // namespace
