// qavo-cli test, and send held back by failing scenarios, run as scripts run them.
#include "cli/cli_run.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

using testing_support::readBytes;

QString resource(const QString& name) {
    return testing_support::resourcesDir() + '/' + name;
}
cli_testing::CliRun runCli(const QStringList& args) {
    return cli_testing::runCli(args + QStringList{"--translation", resource("qavo_lg01.txt")});
}
QString scenarioFile(const QTemporaryDir& dir, const QByteArray& lines) {
    testing_support::writeBytes(dir.filePath("s.csv"), "name;tree;moment;keys;expected\n" + lines);
    return dir.filePath("s.csv");
}

// The shipped example passes on the demo tree; a failing scenario shows its steps; a file that cannot be
// read says where. --json gives the same verdict.
TEST(ScenariosCli, ExitStatusSaysWhetherEveryScenarioPassed) {
    QTemporaryDir dir;
    const QString demo = resource("examples/demo.maa");
    const struct {
        QString scenarios;
        int exitCode, count;
        QString said; // on stdout when the file was read, else on stderr
    } cases[] = {
        {resource("examples/demo-scenarios.csv"), 0, 11, "\n11 of 11 scenarios passed\n"},
        {"Sales;1;mon 10:00;1,1,1;transfer 211\nDesk;1;mon 10:00;1,4;transfer 201\n", 1, 2,
         "FAIL  Sales: expected transfer 211, got transfer 210\n    Call to tree 1 'Standard général'\n"},
        {"Desk;1;mon 10:00;1,4;transfer 201\n\nx;1;mon;1;operator\n", 2, 0,
         "s.csv: line 4: moment 'mon' is neither yyyy-MM-dd HH:mm nor a weekday and a time"},
        {dir.filePath("none.csv"), 2, 0, "none.csv: cannot be read ("},
    };
    for (const auto& c : cases) {
        const QString file =
            c.scenarios.contains(';') ? scenarioFile(dir, c.scenarios.toUtf8()) : c.scenarios;
        const cli_testing::CliRun run = runCli({"test", demo, file}),
                                  json = runCli({"test", demo, file, "--json"});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE((c.exitCode == 2 ? run.err : run.out).contains(c.said))
            << run.out.toStdString() << run.err.toStdString();
        const QJsonObject doc = QJsonDocument::fromJson(json.out.toUtf8()).object();
        EXPECT_EQ(QList<int>({json.exitCode, doc["rc"].toInt(-1), int(doc["scenarios"].toArray().size())}),
                  QList<int>({c.exitCode, c.exitCode, c.count}));
    }
}

// Scenarios that fail hold the send back after the check: the simulator sees fetches only.
TEST(ScenariosCli, SendStoresNothingWhenAScenarioFails) {
    const struct {
        QByteArray scenario;
        int exitCode;
        const char* said;
        QStringList options = {};
    } cases[] = {
        {"Desk;1;mon 10:00;1;transfer 201\n", 0, ""},
        {"Desk;1;mon 10:00;1;transfer 202\n", 6, "qavo-cli: scenarios failed, nothing sent\n"},
        {"Desk;1;mon 10:00;1;transfer 202\n", 6, "qavo-cli: scenarios failed, nothing sent\n", {"--check"}},
    };
    for (const auto& c : cases) {
        testing_support::CliServer sim;
        const QString tree = sim.scratchFile("sent.maa");
        testing_support::writeBytes(tree, testing_support::passingTree());
        QTemporaryDir dir;
        const cli_testing::CliRun run =
            runCli(QStringList{"send", tree, "--scenarios", scenarioFile(dir, c.scenario)} + sim.switches() +
                   c.options);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
        EXPECT_EQ(run.out.contains("FAIL  Desk: expected transfer 202, got transfer 201\n"), c.exitCode == 6);
        EXPECT_EQ(sim.stores("arbre.maa"), c.exitCode == 0);
    }
}

} // namespace
