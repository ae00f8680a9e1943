// The undo journal of the main window: its list, its files and the undo and redo buttons.
#include "window_fixture.h"

#include "dialogs/frm_horaires.h"
#include "model/undo_journal.h"
#include "startup/session_folder.h"

#include <QSignalSpy>

using namespace editor_testing;

namespace {

TEST_F(WindowTest, TypedCharactersRewriteTheCurrentStepAndUndoGoesBackPastThem) {
    open();
    clickNode("E-M1-4");
    choose(find<QComboBox>("cboTypesActions"), "Transfer");
    const QByteArray first = journalFile("0001.can");

    clickNode("M1");
    QLineEdit* name = find<QLineEdit>("txtLib_1");
    name->selectAll();
    QTest::keyClicks(name, "Welcome!");
    EXPECT_EQ(journalFiles() << QString::number(journalItems().size()),
              (QStringList{"0001.can", "0002.can", "2"}));
    EXPECT_TRUE(journalFile("0002.can").contains("lib=Welcome!\r\n"));
    EXPECT_EQ(journalFile("0001.can"), first);

    QTest::keyClicks(name, "?"); // not yet written when undo reads the journal
    action("toolAnnuler")->trigger();
    EXPECT_EQ(menuName() + '|' + value("M1", MenuValue::forDigit(4)), "Main menu|");
    action("toolRetablir")->trigger();
    EXPECT_EQ(menuName(), "Welcome!?");

    // Typing after an undo ends the redo branch: a redo would hide what was typed.
    action("toolAnnuler")->trigger();
    QTest::keyClicks(find<QLineEdit>("txtLib_0"), "!");
    EXPECT_EQ(journalFiles() + enabledOf({"toolRetablir"}), QStringList{"0001.can"});

    // A click after typing writes the typed step before the click can change the tree: undoing the
    // change the click led to keeps what was typed.
    clickNode("M1");
    QTest::keyClicks(name, "#");
    clickNode("E-M1-5");
    choose(find<QComboBox>("cboTypesActions"), "Transfer");
    action("toolAnnuler")->trigger();
    EXPECT_EQ(menuName() + '|' + value("M1", MenuValue::forDigit(5)), "Main menu#|");
}

TEST_F(WindowTest, JournalItemsAndButtonsGoBetweenStepsAndANewStepEndsTheRedoBranch) {
    open();
    clickNode("M2");
    changeAndRecord("B");
    clickNode("E-M1-3");
    changeAndRecord("C");
    changeAndRecord("D");
    config().sections.setValue("M1", MenuValue::lib, "Typed but not recorded");
    QSignalSpy shown(window.get(), &frmMain::nodeClicked);
    QListView* list = find<QListView>("lstCancel");
    // The views redraw a restored tree once, around the node the step shows.
    QStringList replacedAround;
    QObject::connect(document.get(), &TreeDocument::treeReplaced, list,
                     [&] { replacedAround << document->currentNode(); });

    clickRow(list, 3); // the current item: nothing happens
    EXPECT_EQ(menuName() + '|' + QString::number(shown.count()), "Typed but not recorded|0");

    clickRow(list, 1);
    EXPECT_EQ(menuName() + '|' + selectedKey() + '|' + replacedAround.join(' '), "B|M2|M2");
    for (const auto& [command, after] : {std::pair{"toolAnnuler", "Main menu|toolRetablir"},
                                         {"toolRetablir", "B|toolAnnuler toolRetablir"}}) {
        action(command)->trigger();
        EXPECT_EQ(menuName() + '|' + enabledOf({"toolAnnuler", "toolRetablir"}).join(' '), after);
    }

    changeAndRecord("E");
    EXPECT_EQ(journalFiles() + enabledOf({"toolRetablir"}),
              (QStringList{"0001.can", "0002.can", "0005.can"}));
}

TEST_F(WindowTest, ReplacingAnUnsavedTreeAsksFirstAndOpeningStartsTheJournalAgain) {
    open();
    changeAndRecord("Unsaved");
    const QStringList items = journalItems();
    for (const QString command : {"mnuNew", "mnuOpen", "mnuFile1", "mnuQuit"}) {
        SCOPED_TRACE(command.toStdString());
        prompts.shown.clear();
        action(command)->trigger(); // answered No
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].text, command == "mnuQuit" ? "Quit anyway?" : "Discard the changes?");
        EXPECT_EQ(menuName() + (window->isVisible() ? "" : " closed"), "Unsaved");
        EXPECT_EQ(journalItems(), items);
    }

    prompts.answers << Prompts::Answer::Yes;
    action("mnuFile1")->trigger();
    EXPECT_EQ(QStringList({menuName(), journalItems().join('|').section(" -> ", 1)}) +
                  enabledOf({"toolAnnuler"}),
              QStringList({"Main menu", "Opening : 1 - Reception"}));
}

TEST_F(WindowTest, SchedulesWindowAddsAStepOnlyForAChange) {
    open();
    for (const int hourIndex : {-1, 9}) { // no change, then "08"
        EXPECT_TRUE(
            onModal<FrmHoraires>([&] { action("mnuHoraires")->trigger(); },
                                 [&](FrmHoraires& d) {
                                     if (hourIndex >= 0)
                                         d.findChild<QComboBox*>("cboHeureDeb_0")->setCurrentIndex(hourIndex);
                                     d.cmdFermer();
                                 }));
        EXPECT_EQ(journalItems().size(), hourIndex < 0 ? 1 : 2);
    }
    EXPECT_TRUE(journalItems().last().endsWith(" -> Schedules changed"));
    EXPECT_TRUE(journalFile("0002.can").contains("lun=08:"));
}

TEST_F(WindowTest, AJournalLeftByAnEditorThatDiedIsOfferedWhereItBelongsThenRestoredKeptOrDeleted) {
    enum { Restore, Later, Delete, NotAsked };
    const QString file = QDir::toNativeSeparators(dir.filePath("accueil.maa"));
    const QByteArray local = JournalOwner{file, {}, {}, {}, true}.toBytes();
    const QByteArray server = JournalOwner{{}, "srv", "80", "admin", true}.toBytes();
    // The journal's owner, "address port login" this editor starts with (local mode when empty), the answer.
    const std::tuple<QByteArray, QString, int> cases[] = {{local, "", Restore},
                                                          {local, "", Later},
                                                          {local, "", Delete},
                                                          {server, "", NotAsked},
                                                          {server, "other 80 admin", NotAsked},
                                                          {server, "srv 80 guest", NotAsked},
                                                          {server, "srv 80 admin", Restore}};
    const QString root = ctx.RepData + "TMP/", dead = root + "dead";
    const QByteArray recovered =
        workedExample().replace("lib=Main menu", "lib=Recovered") + UndoJournal::stepEnd();
    for (const auto& [owner, online, answer] : cases) {
        SCOPED_TRACE(online.toStdString() + " answer " + std::to_string(answer));
        testing_support::leaveJournal(dead, owner, {recovered, "[A1]\r\nlib=cut sh"});
        QFile step(dead + "/0001.can");
        ASSERT_TRUE(step.open(QIODevice::ReadWrite));
        step.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)), QFileDevice::FileModificationTime);
        // This editor starting: the others' folders looked at, then its own made.
        QList<LeftOverJournal> leftOvers = SessionFolder::collectLeftOvers(root);
        ctx.session = std::make_shared<SessionFolder>(root);
        ctx.session->leftOvers() = leftOvers;
        ctx.repTMP = ctx.session->path();
        ctx.fileServeur = ctx.repTMP + "ArbreSERVEUR.maa";
        testing_support::writeBytes(ctx.fileServeur, workedExample());
        const QStringList address = online.split(' ');
        ctx.modeLocal = online.isEmpty();
        ctx.HADDR = address.value(0);
        ctx.HPORT = address.value(1);
        ctx.USER = address.value(2);
        prompts.shown.clear();
        prompts.choices = {answer};
        load(ctx.modeLocal ? writeFile("accueil.maa", workedExample()) : ctx.fileServeur);
        window->offerLeftOverJournals();

        const QString where = ctx.modeLocal ? file : ctx.HADDR;
        QStringList asked;
        for (const auto& p : prompts.shown)
            asked << p.text + '|' + p.remark;
        EXPECT_EQ(asked, answer == NotAsked
                             ? QStringList()
                             : QStringList{"Unsaved changes to " + where +
                                           " from 3/5/24 2:07 PM were found:|Restore|Later|Delete"});
        // What is kept is offered again at the next start; what was restored lives on in this journal.
        EXPECT_EQ(QStringList({window->windowTitle(), menuName(), QString::number(journalItems().size()),
                               QString::number(SessionFolder::collectLeftOvers(root).size())}),
                  QStringList({"QAVO Editor - " + where + (answer == Restore ? "*" : ""),
                               answer == Restore ? "Recovered" : "Main menu", "1",
                               answer == Later || answer == NotAsked ? "1" : "0"}));
        if (answer == Restore) {
            EXPECT_TRUE(journalItems()[0].contains(" -> Recovered changes : "));
            EXPECT_TRUE(journalFile("0001.can").contains("lib=Recovered\r\n"));
            EXPECT_EQ(JournalOwner::fromBytes(testing_support::readBytes(ctx.repTMP + "owner.ini")),
                      JournalOwner::fromBytes(owner));
        }
        window.reset();
        document.reset();
        ctx.session.reset();
        QDir(dead).removeRecursively();
    }
}

} // namespace
