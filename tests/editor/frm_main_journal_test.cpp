#include "window_files_fixture.h"

#include "dialogs/frm_general.h"
#include "dialogs/frm_horaires.h"
#include "editor/node_panels.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>

using namespace editor_testing;

namespace {

class WindowJournal : public WindowFilesTest {
protected:
    frmMain& open() { return load(writeFile(QStringLiteral("accueil.maa"), workedExample())); }
};

QStringList fileNames(std::initializer_list<const char*> names) {
    QStringList out;
    for (const char* n : names)
        out << QString::fromLatin1(n);
    return out;
}

} // namespace

TEST_F(WindowJournal, OpeningOrCreatingATreeStartsAVisibleJournalWithOneStep) {
    const struct {
        const char* how;
        std::function<void()> act;
    } cases[] = {
        {"start file", [this] { open(); }},
        {"New", [this] { window->mnuNew->trigger(); }},
        {"Open",
         [this] {
             prompts.fileNames << writeFile(QStringLiteral("other.maa"), workedExample());
             window->mnuOpen->trigger();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        open();
        changeAndRecord(QStringLiteral("Earlier"));
        window->setBoolSave(true); // nothing to confirm
        c.act();

        EXPECT_TRUE(window->lstCancel->isVisible());
        ASSERT_EQ(journalItems().size(), 1);
        EXPECT_TRUE(journalItems()[0].endsWith(QStringLiteral(" -> Start : 1 - Reception")) ||
                    journalItems()[0].endsWith(QStringLiteral(" -> Start : 1 - Tree 1")))
            << journalItems()[0].toStdString();
        EXPECT_EQ(journalFiles(), fileNames({"0001.can"}));
        EXPECT_EQ(currentJournalRow(), 0);
        EXPECT_FALSE(undoEnabled());
        EXPECT_FALSE(redoEnabled());
    }
}

TEST_F(WindowJournal, TenTypedCharactersRewriteTheCurrentStepWithoutANewOne) {
    open();
    window->treeV_NodeClick(QStringLiteral("M1"));
    changeAndRecord(QStringLiteral("X"));
    const QByteArray first = journalFile(QStringLiteral("0001.can"));

    QString typed;
    for (QChar c : QStringLiteral("Reception!")) {
        typed += c;
        setMenuName(typed);
        window->addCancel(QStringLiteral("$$LAST_ACTION$$"), true);
        EXPECT_EQ(journalFiles(), fileNames({"0001.can", "0002.can"}));
        EXPECT_EQ(journalItems().size(), 2);
        EXPECT_TRUE(journalFile(QStringLiteral("0002.can")).contains("lib=" + typed.toLatin1() + "\r\n"))
            << typed.toStdString();
    }
    EXPECT_EQ(journalFile(QStringLiteral("0001.can")), first);
    EXPECT_TRUE(journalItems()[1].endsWith(QStringLiteral(" -> Action : 1 - Main menu")));
    EXPECT_TRUE(undoEnabled());
    EXPECT_FALSE(redoEnabled());
}

TEST_F(WindowJournal, UndoTwiceThenAChangeDropsTheLaterStepsAndTakesTheNextNumber) {
    open();
    for (const char* name : {"B", "C", "D"})
        changeAndRecord(QString::fromLatin1(name));
    EXPECT_EQ(journalFiles(), fileNames({"0001.can", "0002.can", "0003.can", "0004.can"}));

    window->toolButton(QStringLiteral("Annuler"))->trigger();
    window->toolButton(QStringLiteral("Annuler"))->trigger();
    EXPECT_EQ(menuName(), QStringLiteral("B"));
    EXPECT_EQ(currentJournalRow(), 1);
    EXPECT_TRUE(undoEnabled());
    EXPECT_TRUE(redoEnabled());
    EXPECT_TRUE(window->windowTitle().endsWith(QLatin1Char('*')));

    window->toolButton(QStringLiteral("Rétablir"))->trigger();
    EXPECT_EQ(menuName(), QStringLiteral("C"));
    window->toolButton(QStringLiteral("Annuler"))->trigger();

    changeAndRecord(QStringLiteral("E"));
    EXPECT_EQ(journalFiles(), fileNames({"0001.can", "0002.can", "0005.can"}));
    EXPECT_EQ(journalItems().size(), 3);
    EXPECT_EQ(currentJournalRow(), 2);
    EXPECT_TRUE(journalFile(QStringLiteral("0005.can")).contains("lib=E\r\n"));
    EXPECT_TRUE(undoEnabled());
    EXPECT_FALSE(redoEnabled());
}

TEST_F(WindowJournal, ClickingTheCurrentItemDoesNothingAndAnotherRestoresIt) {
    open();
    changeAndRecord(QStringLiteral("B"));
    setMenuName(QStringLiteral("Typed but not recorded"));

    clickJournalItem(1);
    EXPECT_EQ(menuName(), QStringLiteral("Typed but not recorded"));

    clickJournalItem(0);
    EXPECT_EQ(menuName(), QStringLiteral("Main menu"));
    EXPECT_EQ(currentJournalRow(), 0);
    EXPECT_FALSE(undoEnabled());
    EXPECT_TRUE(redoEnabled());
}

TEST_F(WindowJournal, RestoringSelectsTheRecordedNodeAndRedisplaysIt) {
    open();
    window->treeV_NodeClick(QStringLiteral("M2"));
    changeAndRecord(QStringLiteral("B"));
    window->treeV_NodeClick(QStringLiteral("E-M1-3"));
    changeAndRecord(QStringLiteral("C"));
    window->setBoolSave(true);
    QSignalSpy shown(window.get(), &frmMain::nodeClicked);

    clickJournalItem(1);
    EXPECT_EQ(selectedKey(), QStringLiteral("M2"));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.constLast().at(0).toString(), QStringLiteral("M2"));
    EXPECT_TRUE(window->windowTitle().endsWith(QLatin1Char('*')));

    clickJournalItem(2);
    EXPECT_EQ(selectedKey(), QStringLiteral("E-M1-3"));
    EXPECT_EQ(shown.constLast().at(0).toString(), QStringLiteral("E-M1-3"));
    // The rebuilt view shows the recorded node's text of that step.
    EXPECT_EQ(window->treeV->currentIndex().parent().data().toString(), QStringLiteral("1 - C"));
}

TEST_F(WindowJournal, AnsweringNoToTheGuardLeavesTreeAndJournalUntouched) {
    const struct {
        const char* command;
        std::function<void(frmMain&)> act;
    } cases[] = {
        {"New", [](frmMain& w) { w.mnuNew->trigger(); }},
        {"Open", [](frmMain& w) { w.mnuOpen->trigger(); }},
        {"Close", [](frmMain& w) { w.mnuClose->trigger(); }},
        {"recent file", [](frmMain& w) { w.mnuFileN[0]->trigger(); }},
        {"toolbar New", [](frmMain& w) { w.toolButton(QStringLiteral("Nouveau"))->trigger(); }},
        {"Quit", [](frmMain& w) { w.mnuQuit->trigger(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        open();
        changeAndRecord(QStringLiteral("Unsaved"));
        const QStringList items = journalItems();
        prompts.shown.clear();
        ASSERT_TRUE(window->mnuFileN[0]->isVisible());

        c.act(*window);

        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].kind, QStringLiteral("question"));
        EXPECT_TRUE(prompts.shown[0].text == QStringLiteral("Discard the changes?") ||
                    prompts.shown[0].text == QStringLiteral("Quit anyway?"));
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->picClose->isVisible());
        EXPECT_EQ(menuName(), QStringLiteral("Unsaved"));
        EXPECT_EQ(journalItems(), items);
        EXPECT_EQ(journalFiles(), fileNames({"0001.can", "0002.can"}));
        EXPECT_TRUE(window->windowTitle().endsWith(QLatin1Char('*')));
        EXPECT_TRUE(undoEnabled());
    }
}

TEST_F(WindowJournal, SchedulesClosedWithAChangeMarkTheTreeAndAddAStep) {
    open();
    onModal<FrmHoraires>(window->mnuHoraires, [](FrmHoraires& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Schedules"));
        dialog.findChild<QComboBox*>(QStringLiteral("cboHeureDeb_0"))->setCurrentIndex(9); // "08"
        dialog.cmdFermer();
    });
    EXPECT_TRUE(window->config().schedules[0].days[0].value.startsWith(QStringLiteral("08:")));
    ASSERT_EQ(journalItems().size(), 2);
    EXPECT_TRUE(journalItems()[1].endsWith(QStringLiteral(" -> Schedules changed")));
    EXPECT_TRUE(journalFile(QStringLiteral("0002.can")).contains("lun=08:"));
    EXPECT_TRUE(window->windowTitle().endsWith(QLatin1Char('*')));
    EXPECT_TRUE(undoEnabled());
}

TEST_F(WindowJournal, GeneralParametersThroughTheMenu) {
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
        onModal<FrmGeneral>(window->mnuParam, [&](FrmGeneral& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Parameters"));
            if (c.typed) {
                auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("txtParam_3"));
                field->selectAll();
                QTest::keyClicks(field, QString::fromLatin1(c.typed));
            }
            dialog.cmdFermer();
        });
        EXPECT_EQ(window->config().general[2].value, QString::fromLatin1(c.stored));
        EXPECT_EQ(journalItems().size(), c.steps);
        EXPECT_EQ(window->windowTitle().endsWith(QLatin1Char('*')), c.steps == 2);
        if (c.steps == 2) {
            EXPECT_TRUE(journalItems()[1].endsWith(QStringLiteral(" -> Parameters changed")));
            EXPECT_TRUE(journalFile(QStringLiteral("0002.can"))
                            .contains("tp_inter_digit=" + QByteArray(c.stored) + "\r\n"));
        }
    }
}

TEST_F(WindowJournal, TypingInTheRealPanelFoldsIntoTheStepAndAnActionTypeAddsOne) {
    open();
    window->treeV_NodeClick(QStringLiteral("M1"));
    QLineEdit* name = window->panels().txtLib[1];
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Welcome!!!")); // ten characters

    EXPECT_EQ(journalItems().size(), 1);
    EXPECT_EQ(journalFiles(), fileNames({"0001.can"}));
    EXPECT_TRUE(journalFile(QStringLiteral("0001.can")).contains("lib=Welcome!!!\r\n"));

    window->treeV_NodeClick(QStringLiteral("E-M1-4"));
    QComboBox* types = window->panels().cboTypesActions;
    const int transfer = types->findText(QStringLiteral("Transfer"));
    ASSERT_GE(transfer, 0);
    types->setCurrentIndex(transfer);
    emit types->activated(transfer);
    ASSERT_EQ(journalItems().size(), 2);
    EXPECT_TRUE(journalItems()[1].endsWith(QStringLiteral(" -> Action : 4 - Transfer ()")))
        << journalItems()[1].toStdString();
    EXPECT_TRUE(undoEnabled());

    window->toolButton(QStringLiteral("Annuler"))->trigger();
    EXPECT_EQ(window->config().sections.value(QStringLiteral("M1"), MenuValue::forDigit(4)), QString());
    // The first step was recorded with the tree selected; the typing folded into it is kept.
    EXPECT_EQ(selectedKey(), QStringLiteral("A1"));
    EXPECT_EQ(menuName(), QStringLiteral("Welcome!!!"));
    EXPECT_EQ(window->panels().txtLib[0]->text(), QStringLiteral("Reception"));
}
