#include "flow/scenarios.h"

#include "flow/flow_fixture.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace {

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

} // namespace
