#include "flow/scenarios.h"

#include "flow/flow_fixture.h"
#include "platform/codepage.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace {

const QString kHeader = QStringLiteral("name;tree;moment;keys;expected\n");

struct ScenarioTest : testing::Test {
    std::unique_ptr<plan_test::Opened> demo = plan_test::open(plan_test::kDemo);
    const Translation& t = demo->ctx.translation;
    flow::ScenarioFile parse(const QString& text) const { return flow::parseScenarios(text, t); }
};

// A line that cannot be read stops the reading there and names its line, counted with comments and blanks.
TEST_F(ScenarioTest, ABadLineIsToldWithItsNumber) {
    const struct {
        QString text;
        int line;
        const char* says;
    } cases[] = {
        {"a;1;mon 10:00;;operator\n", 1, "line 1: the first line must be the header name;tree;moment"},
        {"# scenarios\n\nname;tree;moment;keys\n", 3, "line 3: the first line must be the header"},
        {kHeader + "# one\nx;1;mon 10:00;1\n", 3, "line 3: 4 fields instead of 5"},
        {kHeader + "x;1;mon 10:00;1;operator;more\n", 2, "line 2: 6 fields instead of 5"},
        {kHeader + " ;1;mon 10:00;1;operator\n", 2, "line 2: the scenario has no name"},
        {kHeader + "x;6;mon 10:00;1;operator\n", 2, "line 2: tree '6' is not a number from 1 to 5"},
        {kHeader + "x;one;mon 10:00;1;operator\n", 2, "tree 'one'"},
        {kHeader + "x;1;someday 10:00;1;operator\n", 2, "line 2: moment 'someday 10:00' is neither"},
        {kHeader + "x;1;mon 25:00;1;operator\n", 2, "moment 'mon 25:00'"},
        {kHeader + "x;1;2026-13-01 10:00;1;operator\n", 2, "moment '2026-13-01 10:00'"},
        {kHeader + "x;1;mon 10:00;1,x;operator\n", 2, "line 2: keys '1,x' are not 0-9"},
        {kHeader + "ok;1;mon 10:00;1;operator\nx;1;mon 10:00;1;station 201\n", 3,
         "line 3: destination 'station 201' is none of"},
        {kHeader + "x;1;mon 10:00;1;exit open\n", 2, "destination 'exit open'"},
        {kHeader + "x;1;mon 10:00;1;language 2\n", 2, "destination 'language 2'"},
        {kHeader + "x;1;mon 10:00;1;transfer 201 202\n", 2, "destination 'transfer 201 202'"},
        {kHeader + "# none yet\n", 0, "no scenario in the file"},
    };
    for (const auto& c : cases) {
        const flow::ScenarioFile file = parse(c.text);
        EXPECT_EQ(file.errorLine, c.line) << c.text.toStdString();
        EXPECT_TRUE(file.error.contains(c.says)) << file.error.toStdString();
    }
    // As an administrator writes it: a byte-order mark, CR LF, a header in capitals, spaces around fields.
    const flow::ScenarioFile good =
        parse(QChar(0xfeff) + QString("Name;Tree;Moment;Keys;Expected\r\n#\r\n a ; 2 ; Sat 8:05 ; 1, s ; "
                                      "EXIT closed \r\nb;1;2026-12-07 10:00;;voicebox\r\n"));
    ASSERT_TRUE(good.ok()) << good.error.toStdString();
    ASSERT_EQ(good.scenarios.size(), 2);
    const flow::Scenario& a = good.scenarios[0];
    EXPECT_EQ(QStringList({a.name, QString::number(a.line), QString::number(a.tree),
                           a.moment.toString("ddd HH:mm"), flow::eventsText(a.events), a.expected.text()}),
              QStringList({"a", "3", "2", "Sat 08:05", "1,silence", "exit closed"}));
}

// Where each call of the demo tree ends, and whether that is where it was expected: a word alone takes
// any number; events after the end are ignored; a weekday falls on that day.
TEST_F(ScenarioTest, EachCallPassesOnlyWhereItEnds) {
    const struct {
        const char *moment, *keys, *expected;
        bool passed;
        const char *got, *node;
    } cases[] = {
        {"mon 10:00", "1,1,1", "transfer 210", true, "transfer 210", "E-M2-1"},
        {"mon 10:00", "1,1,1", "transfer 211", false, "transfer 210", "E-M2-1"},
        {"mon 10:00", "1,1,1", "transfer", true, "transfer 210", "E-M2-1"},
        {"mon 10:00", "1,1,1", "operator", false, "transfer 210", "E-M2-1"},
        {"mon 10:00", "1,4,1,2", "transfer 201", true, "transfer 201", "E-M1-4"},
        {"mon 10:00", "1,1", "menu m2", true, "menu M2", "M2"},
        {"mon 10:00", "", "language", true, "language", "A1"},
        {"mon 10:00", "1,9", "undefined", true, "undefined", "E-M1-9"},
        {"mon 10:00", "1,6", "voicebox", true, "voicebox", "E-M1-6"},
        {"mon 10:00", "1,7", "voicebox 202", true, "voicebox 202", "E-M1-7"},
        {"mon 10:00", "1,3", "announcement 15", true, "announcement 15", "E-M1-3"},
        {"mon 10:00", "1,5,2", "free-dialling", true, "free-dialling", "A1"},
        {"mon 10:00", "1,5,2,2,1,s", "transfer 221", true, "transfer 221", "A1"},
        {"mon 10:00", "1,4,fail", "exit transfer-failed", true, "operator, through exit transfer-failed",
         "A1"},
        {"mon 10:00", "1,s,s,s", "exit closed", false, "operator, through exit no-reaction", "A1"},
        {"mon 12:30", "1", "exit closed", true, "announcement 12, through exit closed", "A1"},
        {"2026-12-07 12:30", "1", "announcement 12", true, "announcement 12, through exit closed", "A1"},
        {"sun 10:00", "1", "menu M1", false, "announcement 12, through exit closed", "A1"},
    };
    const flow::CallWalker walker(demo->config, demo->ctx);
    for (const auto& c : cases) {
        const flow::ScenarioFile file =
            parse(kHeader + QString("x;1;%1;%2;%3\n").arg(c.moment, c.keys, c.expected));
        ASSERT_TRUE(file.ok()) << file.error.toStdString();
        const flow::ScenarioResult r = flow::runScenario(walker, file.scenarios[0]);
        EXPECT_EQ(r.passed, c.passed) << c.keys << " " << c.expected;
        EXPECT_EQ(r.gotText(t), c.got) << c.keys;
        EXPECT_EQ(r.nodeKey, c.node) << c.keys;
    }
}

// The call window's save: a new file gets the header and the ANSI code page, a UTF-8 file stays UTF-8, and
// each saved call passes when read back.
TEST_F(ScenarioTest, SavedCallsReadBackAndPass) {
    QTemporaryDir dir;
    const QString ansi = dir.filePath("new.csv"), utf8 = dir.filePath("utf8.csv");
    testing_support::writeBytes(utf8,
                                "# à l'accueil\n" + kHeader.chopped(1).toUtf8()); // no line end at its end
    const flow::CallWalker walker(demo->config, demo->ctx);
    const std::pair<const char*, const char*> calls[] = {{"Ventes; l'étranger", "1,1,3,2"}, {"Fermé", "1,2"}};
    for (const auto& [name, keys] : calls) {
        const auto events = *flow::parseCallEvents(keys);
        const QDateTime at({2026, 12, 10}, {9, 5});
        const QString line =
            flow::scenarioLine(name, 1, at, events, flow::destinationOf(walker.walk(1, at, events)));
        for (const QString& path : {ansi, utf8})
            ASSERT_EQ(flow::appendScenario(path, line), "");
    }
    EXPECT_EQ(testing_support::readBytes(ansi),
              platform::encodeAnsi("name;tree;moment;keys;expected\r\nVentes, l'étranger;1;thu 09:05;1,1,3,2;"
                                   "voicebox 212\r\nFermé;1;thu 09:05;1,2;announcement 12\r\n"));
    EXPECT_TRUE(testing_support::readBytes(utf8).endsWith("\nFermé;1;thu 09:05;1,2;announcement 12\r\n"));
    for (const QString& path : {ansi, utf8}) {
        const flow::ScenarioFile file = flow::readScenarioFile(path, t);
        ASSERT_TRUE(file.ok()) << file.error.toStdString();
        EXPECT_EQ(file.scenarios[0].name, "Ventes, l'étranger");
        for (const flow::ScenarioResult& r : flow::runScenarios(walker, file.scenarios))
            EXPECT_TRUE(r.passed) << flow::resultLine(r, t).toStdString();
    }
}

} // namespace
