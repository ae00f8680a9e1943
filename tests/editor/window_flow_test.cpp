// The main window's call window, its scenarios, and "Compare with...".
#include "window_fixture.h"

#include "dialogs/frm_changes.h"
#include "editor/plan_view.h"

using namespace editor_testing;

namespace {

struct WindowFlow : WindowTest {
    QStringList shown() const { return rowTexts(callWindow()->findChild<QListWidget*>()->model()); }
    // The steps of the walk of these moves, as the call window should list them.
    QStringList walked(const QString& moves, const QDateTime& at) const {
        QStringList out;
        for (const auto& s : flow::CallWalker(config(), ctx).walk(1, at, *flow::parseCallEvents(moves)))
            out << s.text;
        return out;
    }
};

TEST_F(WindowFlow, EachMoveOfTheCallerGoesOnWithTheCallAndSelectsTheNodeItLedTo) {
    open(workedExample().replace("[H1]\r\nlun=", "[H1]\r\nlun=08:30-12:00")); // M2 opens Monday mornings
    action("mnuSimuler")->trigger();
    const QDateTime morning({2026, 12, 7}, {10, 0}), noon({2026, 12, 7}, {13, 0});
    // The moves, their moment and the plan's box selected where the call ends: its node's, or a tree's exit.
    const std::tuple<QString, QDateTime, QString> cases[] = {{"2,*,3", morning, "E-M1-3"},
                                                             {"#,4,5", morning, "A1"},
                                                             {"1,fail", morning, "A1:exit_trf"},
                                                             {"s,s,s", morning, "A1:exit_nac"},
                                                             {"2,0", noon, "A1:exit_fer"}};
    auto* moment = callWindow()->findChild<QDateTimeEdit*>();
    for (const auto& [moves, at, box] : cases) {
        SCOPED_TRACE(moves.toStdString());
        const QStringList buttons = moves.split(',')
                                        .replaceInStrings(QRegularExpression("^s$"), "Silence")
                                        .replaceInStrings("fail", "Transfer fails");
        moment->setDateTime(at);
        press(QStringList{"Restart the call"} + buttons);
        EXPECT_EQ(shown() << selectedKey() << window->findChild<PlanView*>()->selectedBox()
                          << callWindow()->findChild<QLabel*>("lblTouches")->text(),
                  walked(moves, at) << callWindow()->steps().back().nodeKey << box
                                    << "Caller's moves: " + buttons.join(", "));
    }
    // Another moment walks the same moves again; so does an edit, without moving the tree view.
    moment->setDateTime(morning);
    EXPECT_EQ(shown(), walked("2,0", morning));
    clickNode("A2");
    config().sections.setValue("M1", MenuValue::key0 + 2, "trf;201");
    callWindow()->refresh();
    EXPECT_EQ(shown(), walked("2,0", morning));
    EXPECT_EQ(selectedKey(), "A2");
}

TEST_F(WindowFlow, TheCallStartsInTheSelectedNodesTreeAndItsStepsSelectTheirNodes) {
    load(QString());
    EXPECT_FALSE(action("mnuSimuler")->isEnabled()) << "no tree open";
    open();
    for (const auto& [selected, tree] : {std::pair{"A2", 2}, {"M2", 1}, {"E-M1-1", 1}}) {
        clickNode(selected);
        action("mnuSimuler")->trigger();
        ASSERT_TRUE(callWindow() && callWindow()->isVisible());
        EXPECT_EQ(QString::number(callWindow()->tree()) + ' ' + selectedKey(),
                  QString::number(tree) + ' ' + selected)
            << "the call in the node's tree; opening the window moves nothing";
    }
    press({"1"}); // then each step chosen shows its node

    QStringList chosen;
    for (int row = 0; row < int(callWindow()->steps().size()); ++row) {
        clickRow(callWindow()->findChild<QListWidget*>(), row);
        chosen << selectedKey();
    }
    EXPECT_EQ(chosen, QStringList({"A1", "A1", "M1", "M1", "M1", "E-M1-1", "E-M1-1"}));
    EXPECT_EQ(shownPanel(), 2) << "the key's panel";
    action("mnuClose")->trigger();
    EXPECT_FALSE(callWindow()->isVisible()) << "no tree, no call";
}

// The call made kept in a file, the file run on the tree as it is edited.
TEST_F(WindowFlow, CallsSavedFromTheCallWindowFailOnceTheTreeChangesAndReplayWhenChosen) {
    open();
    action("mnuSimuler")->trigger();
    const auto child = [this](const char* name) { return callWindow()->findChild<QWidget*>(name); };
    const auto click = [&](const char* name) {
        prompts.fileNames << dir.filePath("calls.csv");
        QTest::mouseClick(child(name), Qt::LeftButton);
    };
    callWindow()->findChild<QDateTimeEdit*>()->setDateTime(QDateTime({2026, 12, 7}, {10, 0}));
    press({"Restart the call", "1"});
    QTest::keyClicks(child("txtScenario"), "Desk");
    click("cmdEnregistrerScenario");
    press({"Restart the call", "2", "0"}); // M2 is closed: the tree's closed exit plays announcement 12
    click("cmdEnregistrerScenario");
    EXPECT_EQ(testing_support::readBytes(dir.filePath("calls.csv")),
              "name;tree;moment;keys;expected\r\nDesk;1;mon 10:00;1;transfer 201\r\n"
              "Tree 1, mon 10:00, keys 2,0;1;mon 10:00;2,0;announcement 12\r\n");

    config().sections.setValue("M1", MenuValue::key0 + 1, "trf;202");
    clickNode("A2");
    click("cmdLancerScenarios");
    auto* results = qobject_cast<QListWidget*>(child("lstResultats"));
    EXPECT_EQ(rowTexts(results->model()), QStringList({"FAIL  Desk: expected transfer 201, got transfer 202",
                                                       "pass  Tree 1, mon 10:00, keys 2,0"}));
    EXPECT_EQ(qobject_cast<QLabel*>(child("lblResultats"))->text(), "1 of 2 scenarios passed");
    EXPECT_EQ(selectedKey(), "A2") << "running moves nothing in the tree";
    // A result chosen makes its call again in the window and selects the node where it ended.
    for (const auto& [row, node] : {std::pair{1, "A1"}, {0, "E-M1-1"}}) {
        clickRow(results, row);
        EXPECT_EQ(selectedKey(), node);
    }
    EXPECT_EQ(shown().last(), "Transfer to 202");
}

TEST_F(WindowFlow, CompareWithListsWhatTheOpenTreeChangesFromTheFile) {
    open();
    QDir(dir.path()).mkdir("kept");
    const std::tuple<QByteArray, QString, QStringList> cases[] = {
        // the file, the heading and lines shown
        {workedExample(), "No difference in behaviour between other.maa and the open trees.", {}},
        {workedExample().replace("3=ann;15;2;2", "3=trf;201").replace("=Service", "=Sales"),
         "From other.maa to the open trees: 2 changes.",
         {"Tree 1 > Main menu > key 3: Transfer to 201 -> Announcement 15, 2 repetitions, 2 silences",
          "Tree 1 > Main menu > Service, name: Sales -> Service"}},
    };
    for (const auto& [bytes, heading, lines] : cases) {
        prompts.fileNames << writeFile("kept/other.maa", bytes);
        action("mnuComparer")->trigger();
        EXPECT_EQ(lastMessage(), dir.path()); // beside the open file, not the last folder
        auto* shown = window->findChild<FrmChanges*>();
        ASSERT_TRUE(shown && shown->isVisible());
        EXPECT_EQ(shown->lines() << shown->heading(), QStringList(lines) << heading);
    }
    prompts.fileNames << writeFile("notes.maa", "just text");
    action("mnuComparer")->trigger();
    EXPECT_EQ(prompts.shown.last().text, "notes.maa could not be opened as a tree file.");
}

} // namespace
