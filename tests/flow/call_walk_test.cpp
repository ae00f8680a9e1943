#include "flow/call_walk.h"

#include "flow/flow_fixture.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace {

struct CallTest : testing::Test {
    AppContext ctx;
    Configuration config;
    void SetUp() override {
        flow_fixture::setUpContext(ctx);
        config = flow_fixture::build(ctx);
    }
    QList<flow::CallStep> walk(const QString& keys, const QDateTime& at = QDateTime({2026, 12, 7}, {10, 0})) {
        return flow::CallWalker(config, ctx).walk(1, at, *flow::parseCallEvents(keys));
    }
};

// Monday 2026-12-07 has two ranges, Tuesday one, Wednesday and Thursday none; an end is not open.
TEST_F(CallTest, ScheduleOpensOnEitherRangeOfTheDayAndABlankDayIsClosed) {
    const struct {
        int day, hour, minute;
        bool open;
    } cases[] = {
        {7, 8, 30, true},   {7, 11, 59, true}, {7, 12, 0, false}, {7, 13, 0, false},  {7, 14, 0, true},
        {7, 17, 59, true},  {7, 18, 0, false}, {7, 8, 29, false}, {8, 10, 0, true},   {8, 15, 0, false},
        {8, 23, 59, false}, {9, 0, 0, false},  {9, 10, 0, false}, {10, 10, 0, false}, {12, 10, 0, true},
        {13, 23, 0, false}, {13, 5, 0, false},
    };
    for (const auto& c : cases) {
        const QDateTime at({2026, 12, c.day}, {c.hour, c.minute});
        const auto steps = walk("", at);
        const std::string where = at.toString("ddd HH:mm").toStdString();
        ASSERT_GE(steps.size(), 2) << where;
        // A range that ends before it starts is said to be unclear.
        const auto scheduleSteps = std::count_if(steps.begin(), steps.end(), [](const flow::CallStep& s) {
            return s.kind == flow::CallStep::Schedule && s.nodeKey == "M1";
        });
        EXPECT_EQ(scheduleSteps, c.day == 13 ? 2 : 1) << where;
        if (c.open) {
            EXPECT_EQ(steps.back().kind, flow::CallStep::Waiting) << where;
        } else {
            EXPECT_EQ(steps[steps.size() - 2].kind, flow::CallStep::Exit) << where;
            EXPECT_EQ(steps.back().announcement, "12") << where; // the closed exit
        }
    }
}

TEST_F(CallTest, EachActionLeadsWhereTheConfigurationSays) {
    using K = flow::CallStep::Kind;
    const struct {
        const char* keys;
        K kind;
        const char *node, *station, *stationName, *announcement;
    } cases[] = {
        {"1", K::Destination, "E-M1-1", "201", "Reception desk", ""},
        {"3", K::Destination, "E-M1-3", "", "", "15"},
        {"4", K::Destination, "E-M1-4", "100", "Operator desk", ""},
        {"5,2,0,1,silence", K::Destination, "A1", "201", "Reception desk", ""},
        {"#,2,0,2,s", K::Destination, "A1", "202", "", ""}, // the dialling key
        {"6", K::Destination, "E-M1-6", "", "", ""},
        {"7", K::Destination, "E-M1-7", "201", "Reception desk", ""},
        {"2", K::Waiting, "M2", "", "", ""},
        {"8", K::Waiting, "M2", "", "", ""},   // a jump
        {"2,*", K::Waiting, "M1", "", "", ""}, // the return key goes back one menu
        {"1,fail", K::Destination, "A1", "300", "", ""},
        {"2,0,fail", K::Destination, "A1", "300", "", ""},
        {"0", K::Undefined, "E-M1-0", "", "", ""}, // a key without action
        {"9", K::Undefined, "E-M1-9", "", "", ""}, // a jump to a menu that is not in the tree
        {"*", K::Undefined, "M1", "", "", ""},     // return from the first menu
        {"3,1", K::Ignored, "M1", "", "", ""},
        {"fail", K::Waiting, "M1", "", "", ""},
    };
    for (const auto& c : cases) {
        const auto steps = walk(c.keys);
        const flow::CallStep& last = steps.back();
        EXPECT_EQ(last.kind, c.kind) << c.keys << ": " << last.text.toStdString();
        EXPECT_EQ(last.nodeKey, c.node) << c.keys;
        EXPECT_EQ(last.station, c.station) << c.keys;
        EXPECT_EQ(last.stationName, c.stationName) << c.keys;
        EXPECT_EQ(last.announcement, c.announcement) << c.keys;
        EXPECT_TRUE(last.text.size() > 3 && !last.text.contains('%')) << c.keys; // a caption, filled in
    }
    EXPECT_EQ(walk("3").back().announcementName, "Closed for holidays");
}

// Each silence repeats the menu's announcement until its repetitions are used up; the next one takes
// the no-reaction exit (the operator here).
TEST_F(CallTest, SilencesCountDownTheMenusRepetitionsToTheNoReactionExit) {
    const struct {
        const char *keys, *menu;
        int repetitions;
    } cases[] = {{"", "M1", 2}, {"2,", "M2", 1}};
    for (const auto& c : cases) {
        QString keys = c.keys;
        for (int i = 0; i < c.repetitions; ++i)
            keys += "silence,";
        auto steps = walk(keys);
        EXPECT_EQ(std::count_if(steps.begin(), steps.end(),
                                [](const flow::CallStep& s) { return s.kind == flow::CallStep::Silence; }),
                  c.repetitions)
            << c.menu;
        EXPECT_EQ(steps.back().kind, flow::CallStep::Waiting) << c.menu;
        steps = walk(keys + "silence");
        EXPECT_EQ(steps[steps.size() - 2].kind, flow::CallStep::Exit) << c.menu;
        EXPECT_EQ(steps[steps.size() - 2].nodeKey, c.menu);
        EXPECT_EQ(steps.back().station, "100") << c.menu;
    }
}

TEST_F(CallTest, ExitsThatLeadBackInACircleStopTheWalk) {
    config.sections.setValue("A1", TreeValue::exit_fer, "sau;M1");
    const auto steps = walk("", QDateTime({2026, 12, 9}, {10, 0}));
    EXPECT_EQ(steps.back().kind, flow::CallStep::Undefined);
    EXPECT_LT(steps.size(), 100);
}

TEST(CallEvents, KeysWordsAndRejects) {
    const struct {
        const char* text;
        int count; // -1: refused
    } cases[] = {{"1,3", 2},  {"13*#", 4}, {"silence, s ,fail", 3}, {"", 0}, {"1,x", -1},
                 {"1,,2", 2}, {"a", -1}};
    for (const auto& c : cases) {
        const auto events = flow::parseCallEvents(c.text);
        EXPECT_EQ(events ? int(events->size()) : -1, c.count) << c.text;
    }
}

} // namespace
