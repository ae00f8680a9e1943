// The main window's call window and "Compare with...".
#include "window_fixture.h"

#include "dialogs/frm_appel.h"
#include "dialogs/frm_changes.h"

using namespace editor_testing;

namespace {

struct WindowFlow : WindowTest {
    FrmAppel* callWindow() const { return window->findChild<FrmAppel*>(); }
    void press(const QString& caption) {
        for (auto* b : callWindow()->findChildren<QPushButton*>())
            if (b->text() == caption) return QTest::mouseClick(b, Qt::LeftButton);
        ADD_FAILURE() << "no button " << caption.toStdString();
    }
    QStringList shown() const {
        QStringList out;
        for (auto* list = callWindow()->findChild<QListWidget*>(); out.size() < list->count();)
            out << list->item(int(out.size()))->text();
        return out;
    }
    // The steps of the walk of these moves, as the call window should list them.
    QStringList walked(const char* moves, const QDateTime& at) const {
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
    const struct {
        QStringList buttons;
        const char* moves;
        QDateTime at;
    } cases[] = {
        {{"2", "*", "3"}, "2,*,3", morning},
        {{"#", "4", "5"}, "#,4,5", morning},
        {{"1", "Transfer fails"}, "1,fail", morning},
        {{"Silence", "Silence", "Silence"}, "s,s,s", morning},
        {{"2", "0"}, "2,0", noon},
    };
    auto* moment = callWindow()->findChild<QDateTimeEdit*>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moves);
        moment->setDateTime(c.at);
        press("Restart the call");
        for (const QString& b : c.buttons)
            press(b);
        EXPECT_EQ(shown(), walked(c.moves, c.at));
        EXPECT_EQ(selectedKey(), callWindow()->steps().back().nodeKey);
        EXPECT_EQ(callWindow()->findChild<QLabel*>("lblTouches")->text(),
                  "Caller's moves: " + c.buttons.join(", "));
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
    const std::pair<const char*, int> cases[] = {{"A2", 2}, {"M2", 1}, {"E-M1-1", 1}};
    for (const auto& [selected, tree] : cases) {
        clickNode(selected);
        action("mnuSimuler")->trigger();
        ASSERT_TRUE(callWindow() && callWindow()->isVisible());
        EXPECT_EQ(callWindow()->tree(), tree) << selected;
        EXPECT_EQ(selectedKey(), selected) << "opening the window moves nothing";
    }
    // A chosen step shows its node.
    press("1");
    auto* steps = callWindow()->findChild<QListWidget*>();
    QStringList chosen, expected;
    for (int row = 0; row < steps->count(); ++row) {
        clickRow(steps, row);
        chosen << selectedKey();
        expected << callWindow()->steps()[row].nodeKey;
    }
    EXPECT_EQ(chosen, expected);
    EXPECT_TRUE(chosen.contains("A1") && chosen.contains("M1") && chosen.contains("E-M1-1"));
    EXPECT_EQ(shownPanel(), 2) << "the key's panel";
    action("mnuClose")->trigger();
    EXPECT_FALSE(callWindow()->isVisible()) << "no tree, no call";
}

TEST_F(WindowFlow, CompareWithListsWhatTheOpenTreeChangesFromTheFile) {
    open();
    QDir(dir.path()).mkdir("kept");
    const struct {
        QByteArray bytes;
        const char* heading;
        QStringList parts; // of the lines, one a line
    } cases[] = {
        {workedExample(), "No difference in behaviour between other.maa and the open trees.", {}},
        {workedExample().replace("3=ann;15;2;2", "3=trf;201").replace("=Service", "=Sales"),
         "From other.maa to the open trees: 2 changes.",
         {"key 3", "Sales"}},
    };
    for (const auto& c : cases) {
        prompts.fileNames << writeFile("kept/other.maa", c.bytes);
        action("mnuComparer")->trigger();
        EXPECT_EQ(prompts.shown.last().text, dir.path()); // beside the open file, not the last folder
        auto* shown = window->findChild<FrmChanges*>();
        ASSERT_TRUE(shown && shown->isVisible());
        EXPECT_EQ(shown->heading(), c.heading);
        ASSERT_EQ(shown->lines().size(), c.parts.size()) << shown->lines().join('\n').toStdString();
        for (const QString& part : c.parts)
            EXPECT_TRUE(shown->lines().join('\n').contains(part)) << part.toStdString();
    }
    prompts.fileNames << writeFile("notes.maa", "just text");
    action("mnuComparer")->trigger();
    EXPECT_EQ(prompts.shown.last().text, "notes.maa could not be opened as a tree file.");
}

} // namespace
