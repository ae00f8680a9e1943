#include "flow/call_walk.h"
#include "flow/scenarios.h"
#include "flow/tree_diff.h"

#include "flow/flow_fixture.h"

#include <functional>

namespace {

using K = flow::CallStep::Kind;

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
    static std::string said(const QList<flow::CallStep>& steps) {
        QStringList texts;
        for (const flow::CallStep& s : steps)
            texts << s.text;
        return texts.join('\n').toStdString();
    }
};

// Monday 2026-12-07 has two ranges, Tuesday one, Wednesday and Thursday none; an end is not open. A
// closed menu takes the closed exit (announcement 12); an exit back to the closed menu stops the walk.
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
        const auto steps = walk("", QDateTime({2026, 12, c.day}, {c.hour, c.minute}));
        EXPECT_EQ(steps.back().kind, c.open ? K::Waiting : K::Destination) << said(steps);
        EXPECT_EQ(steps.back().announcement, c.open ? "" : "12") << said(steps);
        // A range that ends before it starts is said to be unclear.
        EXPECT_EQ(said(steps).find("ends before it starts") != std::string::npos, c.day == 13) << said(steps);
    }
    config.sections.setValue("A1", TreeValue::exit_fer, "sau;M1"); // round in circles: the walk stops
    const auto circle = walk("", QDateTime({2026, 12, 9}, {10, 0}));
    EXPECT_TRUE(circle.back().kind == K::Undefined && circle.size() < 100) << said(circle);
}

// Where the caller's moves lead: the last step, the number it dials or plays and its name, the action of
// the last step that takes one, and words said on the way ("21" is 2 then 1). On several languages the first
// key n is taken to choose the n-th language offered, and the walk says that this is assumed.
TEST_F(CallTest, EachMoveLeadsWhereTheConfigurationSays) {
    const struct {
        const char *languages, *keys;
        K kind;
        const char *node, *number, *name, *action, *said;
    } cases[] = {
        {"1", "1", K::Destination, "E-M1-1", "201", "Reception desk", "transfer", "Transfer to 201 (Rec"},
        {"1", "3", K::Destination, "E-M1-3", "15", "Closed for holidays", "announcement",
         "1 repetition, 2 silences"},
        {"1", "4", K::Destination, "E-M1-4", "100", "Operator desk", "operator", "Transfer to the operator"},
        {"1", "5,2,0,1, Silence ", K::Destination, "A1", "201", "Reception desk", "transfer", "dialled: 201"},
        {"1", "#,2,0,2,s", K::Destination, "A1", "202", "", "transfer", "Dialling key #"},
        {"1", "#,2", K::Dialling, "A1", "", "", "free-dialling", "Number dialled: 2"},
        {"1", "6", K::Destination, "E-M1-6", "", "", "voicebox", "Voice box"},
        {"1", "7", K::Destination, "E-M1-7", "201", "Reception desk", "voicebox", "Voice box of station"},
        {"1", "2", K::Waiting, "M2", "", "", "menu", "then 1 silence, repeated up to 1 time\n"},
        {"1", "8", K::Waiting, "M2", "", "", "jump", "Jump to menu M2"},
        {"1", "2,*", K::Waiting, "M1", "", "", "return", "Return key *"}, // back one menu
        {"1", "1,fail", K::Destination, "A1", "300", "", "transfer", "Transfer to 300"},
        {"1", "2,0,fail", K::Destination, "A1", "300", "", "transfer", "Transfer to 300"},
        {"1", "0", K::Undefined, "E-M1-0", "", "", "none", "Key 0 has no action"},
        {"1", "9", K::Undefined, "E-M1-9", "", "", "jump", "M99 is not in the tree"},
        {"1", "*", K::Undefined, "M1", "", "", "", "Return key * in the tree's first menu"},
        {"1", "3,1", K::Ignored, "M1", "", "", "announcement", "1: ignored"},
        {"1", "fail", K::Waiting, "M1", "", "", "", "No transfer"},
        // Silences repeat the announcement, then the no-reaction exit (the operator) is taken.
        {"1", "s,s", K::Waiting, "M1", "", "", "", "(2 of 2)"},
        {"1", "s,s,s", K::Destination, "A1", "100", "Operator desk", "operator", "No key after the last"},
        {"1", "2,s,s", K::Destination, "A1", "100", "Operator desk", "operator", "(1 of 1)"},
        {"1;2", "21", K::Destination, "E-M1-1", "201", "Reception desk", "transfer", "language 2 (assumed"},
        {"2;4", "2,,1", K::Destination, "E-M1-1", "201", "Reception desk", "transfer", "language 4 (assumed"},
        {"1;2;3", "3", K::Waiting, "M1", "", "", "language", "key n is taken here to choose"},
        {"1;2", "3", K::Undefined, "A1", "", "", "", "Key 3 chooses none of the languages offered (1, 2)"},
        {"1;2", "#", K::Undefined, "A1", "", "", "", "Key # chooses none"},
        {"1;2", "", K::Waiting, "A1", "", "", "", "Waiting for the caller to choose a language"},
        {"1;2", "s,s,s", K::Destination, "A1", "100", "Operator desk", "operator", "(2 of 2)"},
    };
    for (const auto& c : cases) {
        config.sections.setValue("A1", TreeValue::langue, c.languages);
        const auto steps = walk(c.keys);
        const flow::CallStep& last = steps.back();
        const auto acting =
            std::find_if(steps.rbegin(), steps.rend(), [](auto& s) { return !s.action.isEmpty(); });
        const std::string where = c.languages + std::string(" ") + c.keys + ":\n" + said(steps);
        EXPECT_EQ(last.kind, c.kind) << where;
        EXPECT_EQ(last.nodeKey, c.node) << where;
        EXPECT_EQ(last.station + last.announcement, c.number) << where;
        EXPECT_EQ(last.stationName + last.announcementName, c.name) << where;
        EXPECT_EQ(acting == steps.rend() ? QString() : acting->action, c.action) << where;
        EXPECT_NE(said(steps).find(c.said), std::string::npos) << where;
        EXPECT_EQ(said(steps).find('%'), std::string::npos) << where; // every caption filled in
    }
}

// French takes the singular for 0 and 1.
TEST(FlowTexts, CountsAgreeWithTheirNumberInFrenchToo) {
    Translation french;
    ASSERT_TRUE(french.loadFile(testing_support::resourcesDir() + "/qavo_lg00.txt"));
    EXPECT_EQ(flow::describeAction("ann;15;1;0", flow::FlowTexts(french), nullptr, {}),
              "Annonce 15, 1 répétition, 0 silence");
    EXPECT_EQ(flow::describeAction("ann;15;2;3", flow::FlowTexts(french), nullptr, {}),
              "Annonce 15, 2 répétitions, 3 silences");
}

const QString kHeader = QStringLiteral("name;tree;moment;keys;expected\n");

struct ScenarioTest : testing::Test {
    std::unique_ptr<plan_test::Opened> demo = plan_test::open(plan_test::kDemo);
    flow::ScenarioFile parse(const QString& text) const {
        return flow::parseScenarios(text, demo->ctx.translation);
    }
};

// Reading stops at the first bad line and names it, counted with comments and blank lines.
TEST_F(ScenarioTest, ABadLineIsToldWithItsNumber) {
    const struct {
        QString text;
        int line;
        const char* says;
    } cases[] = {
        {"# calls\n\na;1;mon 10:00;;operator\n", 3,
         "line 3: the first line must be the header name;tree;moment"},
        {kHeader + "# one\nx;1;mon 10:00;1\n", 3, "line 3: 4 fields instead of 5"},
        {kHeader + "x;6;mon 10:00;1;operator\n", 2, "line 2: tree '6' is not a number from 1 to 5"},
        {kHeader + "x;1;mon 25:00;1;operator\n", 2, "line 2: moment 'mon 25:00' is neither"},
        {kHeader + "x;1;mon 10:00;1,x;operator\n", 2, "line 2: keys '1,x' are not 0-9"},
        {kHeader + "a;1;mon 10:00;1;operator\nx;1;mon 10:00;1;exit open\n", 3,
         "destination 'exit open' is none"},
        {kHeader + "# none yet\n", 0, "no scenario in the file"},
    };
    for (const auto& c : cases) {
        const flow::ScenarioFile file = parse(c.text);
        EXPECT_EQ(file.errorLine, c.line) << c.text.toStdString();
        EXPECT_TRUE(file.error.contains(c.says)) << file.error.toStdString();
    }
}

// Where each call of the demo tree ends, and whether that is where it was expected: a word alone takes any
// number; keys after the end are ignored.
TEST_F(ScenarioTest, EachCallPassesOnlyWhereItEnds) {
    const struct {
        const char *moment, *keys, *expected;
        bool passed;
        const char *got, *node;
    } cases[] = {
        {"mon 10:00", "1,1,1", "transfer 210", true, "transfer 210", "E-M2-1"},
        {"mon 10:00", "1,4,1,2", "transfer 201", true, "transfer 201", "E-M1-4"},
        {"Mon 10:00", "1, 1", "MENU m2", true, "menu M2", "M2"},
        {"mon 10:00", "1,9", "undefined", true, "undefined", "E-M1-9"},
        {"mon 10:00", "1,5,2", "free-dialling", true, "free-dialling", "A1"},
        {"mon 10:00", "1,s,silence,s", "exit closed", false, "operator, through exit no-reaction", "A1"},
        {"2026-12-07 12:30", "1", "exit closed", true, "announcement 12, through exit closed", "A1"},
        {"sun 10:00", "1", "menu M1", false, "announcement 12, through exit closed", "A1"},
    };
    const flow::CallWalker walker(demo->config, demo->ctx);
    for (const auto& c : cases) {
        // As typed by hand: a byte-order mark, CR LF, capitals, spaces around the fields.
        const auto file = parse(QString("\ufeffName;Tree;Moment;Keys;Expected\r\n x ; 1 ;%1 ; %2 ;%3\r\n")
                                    .arg(c.moment, c.keys, c.expected));
        ASSERT_TRUE(file.ok()) << file.error.toStdString();
        const flow::ScenarioResult r = flow::runScenario(walker, file.scenarios[0]);
        EXPECT_EQ(r.passed, c.passed) << c.keys << " " << c.expected;
        EXPECT_EQ(r.gotText(demo->ctx.translation) + ' ' + r.nodeKey, QString(c.got) + ' ' + c.node);
    }
}

using flow_fixture::build;
using flow_fixture::Input;

struct DiffTest : testing::Test {
    AppContext ctx;
    void SetUp() override { flow_fixture::setUpContext(ctx); }
    // The lines from before to after; none reads the same on both sides.
    QStringList diff(const Input& before, const Input& after) {
        const auto lines = flow::compareConfigurations(build(ctx, before), build(ctx, after), ctx).lines;
        for (const QString& line : lines) {
            const QStringList sides = line.mid(line.indexOf(": ") + 2).split(" -> ");
            EXPECT_TRUE(sides.size() != 2 || sides[0] != sides[1]) << line.toStdString();
        }
        return lines;
    }
};

// One line per change a caller meets, by path and in words.
TEST_F(DiffTest, EachChangeIsOneLineByPathAndInWords) {
    const auto support = [](Input& in) {
        in.menus["M1"][5] = "men;M3";
        in.menus["M3"] = example::menuValues("Support", "", "14", {{1, "std"}});
    };
    const struct {
        std::function<void(Input&)> change;
        QStringList lines;
    } cases[] = {
        {[](Input& in) { in.menus["M1"][8] = "trf;201"; },
         {"Tree 1 > Main > key 3: Announcement 15, 1 repetition, 2 silences -> Transfer to 201"}},
        {support, {"Tree 1 > Main: Menu M3 'Support' added under key 0"}},
        {[](Input& in) { in.menus["M1"][7] = ""; },
         {"Tree 1 > Main: Menu M2 'Service' removed from key 2",
          "Tree 1 > Main > key 8: Jump to menu M2 'Service' -> Jump to menu M2 (not in the tree)"}},
        // No menu uses H8.
        {[](Input& in) {
             in.schedules[2][1] += "/13:00-17:00", in.schedules[2][5] = "", in.schedules[8] = {"8:00-9:00"};
         },
         {"Schedule H2, Tuesday: 08:30-12:00 -> 08:30-12:00/13:00-17:00",
          "Schedule H2, Saturday: 08:30-12:00 -> closed"}},
        {[](Input& in) { in.trees[1][1] = "", in.trees[1][7] = "std"; },
         {"Tree 1, welcome announcement: 10 -> none",
          "Tree 1, Outside opening hours: Announcement 12 -> Transfer to the operator"}},
        {[](Input& in) { in.menus["M1"][1] = "", in.menus["M2"][2] = "16"; },
         {"Tree 1 > Main, schedule: H2 -> none", "Tree 1 > Main > Service, announcement: 13 -> 16"}},
        {[](Input& in) { in.menus["M1"][13] = "sau;M1"; },
         {"Tree 1 > Main > key 8: Jump to menu M2 'Service' -> Jump to menu M1 'Main'"}},
        {[](Input& in) { in.trees[1][5] = ""; }, {"Tree 1: menu M1 'Main' removed"}},
        {[](Input& in) { in.general[2] = "5"; }, {"General parameter tp_inter_digit: 10 -> 5"}},
        // The same actions written another way.
        {[](Input& in) { in.trees[1][7] = "ann;12", in.menus["M1"][8] += ";", in.menus["M1"][9] = "std;"; },
         {}},
        // Menus and schedules renumbered together, a blank day written the other way.
        {[](Input& in) {
             in.trees[1][5] = "M5";
             in.menus = {{"M5", in.menus["M1"]}, {"M9", in.menus["M2"]}};
             in.menus["M5"][1] = "7", in.menus["M5"][7] = "men;M9", in.menus["M5"][13] = "sau;M9";
             in.schedules = {{7, in.schedules[2]}};
             std::swap(in.schedules[7][2], in.schedules[7][3]);
         },
         {}},
        // A menu that moves is told by the keys that lead elsewhere; the jump to it still reaches it.
        {[](Input& in) { std::swap(in.menus["M1"][5], in.menus["M1"][7]); },
         {"Tree 1 > Main > key 0: No action -> Sub-menu M2 'Service'",
          "Tree 1 > Main > key 2: Sub-menu M2 'Service' -> No action"}},
    };
    for (const auto& c : cases) {
        Input in;
        c.change(in);
        EXPECT_EQ(diff({}, in), c.lines);
    }
    Input before, swapped; // two keys swap their sub-menus
    support(before), support(swapped);
    std::swap(swapped.menus["M1"][5], swapped.menus["M1"][7]);
    EXPECT_EQ(diff(before, swapped),
              QStringList({"Tree 1 > Main > key 0: Sub-menu M3 'Support' -> Sub-menu M2 'Service'",
                           "Tree 1 > Main > key 2: Sub-menu M2 'Service' -> Sub-menu M3 'Support'"}));
}

} // namespace
