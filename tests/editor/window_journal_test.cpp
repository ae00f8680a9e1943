// The undo journal of the main window: its list, its files and the undo and redo buttons.
#include "window_fixture.h"

#include "dialogs/frm_about.h"
#include "dialogs/frm_general.h"
#include "dialogs/frm_horaires.h"

#include <QSignalSpy>

using namespace editor_testing;

namespace {

TEST_F(WindowTest, OpeningOrCreatingATreeStartsAVisibleJournalWithOneStep) {
    const struct {
        const char* how;
        std::function<void()> act;
        const char* start;
    } cases[] = {
        {"start file", [this] { open(); }, "1 - Reception"},
        {"New", [this] { window->mnuNew->trigger(); }, "1 - Tree 1"},
        {"Open",
         [this] {
             prompts.fileNames << writeFile("other.maa", workedExample());
             window->mnuOpen->trigger();
         },
         "1 - Reception"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        open();
        changeAndRecord("Earlier");
        window->setBoolSave(true); // nothing to confirm
        c.act();

        EXPECT_TRUE(window->lstCancel->isVisible());
        ASSERT_EQ(journalItems().size(), 1);
        EXPECT_TRUE(journalItems()[0].endsWith(QStringLiteral(" -> Start : ") + c.start))
            << journalItems()[0].toStdString();
        EXPECT_EQ(journalFiles(), QStringList{"0001.can"});
        EXPECT_EQ(currentJournalRow(), 0);
        EXPECT_FALSE(undoEnabled());
        EXPECT_FALSE(redoEnabled());
    }
}

TEST_F(WindowTest, TypedCharactersRewriteTheCurrentStepAndUndoGoesBackPastThem) {
    frmMain& w = open();
    clickNode("E-M1-4");
    choose(w.panels().cboTypesActions, "Transfer");
    ASSERT_EQ(journalItems().size(), 2);
    EXPECT_TRUE(journalItems()[1].endsWith(" -> Action : 4 - Transfer ()"))
        << journalItems()[1].toStdString();
    const QByteArray first = journalFile("0001.can");

    clickNode("M1");
    QLineEdit* name = w.panels().txtLib[1];
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
    EXPECT_TRUE(undoEnabled());
    EXPECT_FALSE(redoEnabled());

    w.toolButton("Annuler")->trigger();
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "");
    EXPECT_EQ(menuName(), "Main menu");
    EXPECT_EQ(selectedKey(), "A1") << "the first step was recorded with the tree selected";
    EXPECT_EQ(w.panels().txtLib[0]->text(), "Reception");
    w.toolButton("Rétablir")->trigger();
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "trf;");
    EXPECT_EQ(menuName(), "Welcome!!!");
}

TEST_F(WindowTest, UndoTwiceThenAChangeDropsTheLaterStepsAndTakesTheNextNumber) {
    open();
    for (const char* name : {"B", "C", "D"})
        changeAndRecord(name);
    EXPECT_EQ(journalFiles(), (QStringList{"0001.can", "0002.can", "0003.can", "0004.can"}));

    window->toolButton("Annuler")->trigger();
    window->toolButton("Annuler")->trigger();
    EXPECT_EQ(menuName(), "B");
    EXPECT_EQ(currentJournalRow(), 1);
    EXPECT_TRUE(undoEnabled());
    EXPECT_TRUE(redoEnabled());
    EXPECT_TRUE(titleMarked());
    window->toolButton("Rétablir")->trigger();
    EXPECT_EQ(menuName(), "C");
    window->toolButton("Annuler")->trigger();

    changeAndRecord("E");
    EXPECT_EQ(journalFiles(), (QStringList{"0001.can", "0002.can", "0005.can"}));
    EXPECT_EQ(journalItems().size(), 3);
    EXPECT_EQ(currentJournalRow(), 2);
    EXPECT_TRUE(journalFile("0005.can").contains("lib=E\r\n"));
    EXPECT_TRUE(undoEnabled());
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
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.constLast().at(0).toString(), "M2");
    EXPECT_EQ(shownPanel(), 1);
    EXPECT_TRUE(titleMarked());

    clickRow(window->lstCancel, 2);
    EXPECT_EQ(selectedKey(), "E-M1-3");
    EXPECT_EQ(window->treeV->currentIndex().parent().data().toString(), "1 - C") << "the view is rebuilt";
    clickRow(window->lstCancel, 0);
    EXPECT_EQ(menuName(), "Main menu");
    EXPECT_FALSE(undoEnabled());
    EXPECT_TRUE(redoEnabled());
}

TEST_F(WindowTest, AnsweringNoToTheGuardLeavesTreeAndJournalUntouched) {
    const struct {
        const char* command;
        std::function<void(frmMain&)> act;
        const char* question;
    } cases[] = {
        {"New", [](frmMain& w) { w.mnuNew->trigger(); }, "Discard the changes?"},
        {"Open", [](frmMain& w) { w.mnuOpen->trigger(); }, "Discard the changes?"},
        {"Close", [](frmMain& w) { w.mnuClose->trigger(); }, "Discard the changes?"},
        {"recent file", [](frmMain& w) { w.mnuFileN[0]->trigger(); }, "Discard the changes?"},
        {"toolbar New", [](frmMain& w) { w.toolButton("Nouveau")->trigger(); }, "Discard the changes?"},
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
        EXPECT_EQ(prompts.shown[0].kind, "question");
        EXPECT_EQ(prompts.shown[0].text, c.question);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->picClose->isVisible());
        EXPECT_EQ(menuName(), "Unsaved");
        EXPECT_EQ(journalItems(), items);
        EXPECT_EQ(journalFiles(), (QStringList{"0001.can", "0002.can"}));
        EXPECT_TRUE(titleMarked());
        EXPECT_TRUE(undoEnabled());
    }
}

TEST_F(WindowTest, OtherWindowsOpenModallyAndOnlyAChangeAddsAStep) {
    open();
    EXPECT_TRUE(onModal<FrmAPropos>([&] { window->mnuVersion->trigger(); },
                                    [](FrmAPropos& d) { EXPECT_EQ(d.windowTitle(), "About"); }));
    EXPECT_TRUE(onModal<FrmHoraires>([&] { window->mnuHoraires->trigger(); },
                                     [](FrmHoraires& d) {
                                         EXPECT_EQ(d.windowTitle(), "Schedules");
                                         d.cmdFermer();
                                     }));
    EXPECT_EQ(journalItems().size(), 1) << "closed without a change";
    EXPECT_FALSE(titleMarked());

    EXPECT_TRUE(onModal<FrmHoraires>([&] { window->mnuHoraires->trigger(); },
                                     [](FrmHoraires& d) {
                                         d.findChild<QComboBox*>("cboHeureDeb_0")->setCurrentIndex(9); // "08"
                                         d.cmdFermer();
                                     }));
    EXPECT_TRUE(window->config().schedules[0].days[0].value.startsWith("08:"));
    ASSERT_EQ(journalItems().size(), 2);
    EXPECT_TRUE(journalItems()[1].endsWith(" -> Schedules changed"));
    EXPECT_TRUE(journalFile("0002.can").contains("lun=08:"));
    EXPECT_TRUE(titleMarked());
}

TEST_F(WindowTest, GeneralParametersThroughTheMenu) {
    const struct {
        const char* typed; // nullptr: OK without typing
        const char* stored;
        int steps;
    } cases[] = {
        {"1a5", "15", 2},
        {"abc", "0", 2},
        {nullptr, "10", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : "no typing");
        open();
        EXPECT_TRUE(onModal<FrmGeneral>([&] { window->mnuParam->trigger(); },
                                        [&](FrmGeneral& dialog) {
                                            EXPECT_EQ(dialog.windowTitle(), "Parameters");
                                            if (c.typed) {
                                                auto* field = dialog.findChild<QLineEdit*>("txtParam_3");
                                                field->selectAll();
                                                QTest::keyClicks(field, c.typed);
                                            }
                                            dialog.cmdFermer();
                                        }));
        EXPECT_EQ(window->config().general[2].value, c.stored);
        EXPECT_EQ(journalItems().size(), c.steps);
        EXPECT_EQ(titleMarked(), c.steps == 2);
        if (c.steps == 2) {
            EXPECT_TRUE(journalItems()[1].endsWith(" -> Parameters changed"));
            EXPECT_TRUE(journalFile("0002.can").contains("tp_inter_digit=" + QByteArray(c.stored) + "\r\n"));
        }
    }
}

} // namespace
