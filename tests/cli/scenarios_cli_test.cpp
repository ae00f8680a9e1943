// qavo-cli test, and send held back by failing scenarios, run as scripts run them.
#include "cli/cli_run.h"
#include "support/sim_process.h"
#include "support/test_support.h"

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
    } cases[] = {
        {"Desk;1;mon 10:00;1;transfer 201\n", 0, ""},
        {"Desk;1;mon 10:00;1;transfer 202\n", 6, "qavo-cli: scenarios failed, nothing sent\n"},
    };
    for (const auto& c : cases) {
        testing_support::SimProcess sim;
        ASSERT_NE(sim.port(), 0);
        testing_support::writeBytes(sim.root() + "/qavo_general.txt",
                                    readBytes(testing_support::dataDir() + "/server_info_check.txt"));
        const QString tree = sim.scratch() + "/sent.maa";
        testing_support::writeBytes(tree, readBytes(testing_support::dataDir() + "/check_example.maa")
                                              .replace("exit_fer=ann;12;;", "exit_fer=ann;12;2;2"));
        QTemporaryDir dir;
        const cli_testing::CliRun run =
            runCli({"send", tree, "--scenarios", scenarioFile(dir, c.scenario), "/HADDR:127.0.0.1",
                    "/HPORT:" + QString::number(sim.port()), "/USER:u", "/PASS:p"});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
        EXPECT_EQ(run.out.contains("FAIL  Desk: expected transfer 202, got transfer 201\n"), c.exitCode == 6);
        EXPECT_EQ(readBytes(sim.root() + "/arbre.maa"),
                  readBytes(c.exitCode == 0 ? tree : sim.defaultServer() + "/arbre.maa"));
        const QStringList requests = QString::fromUtf8(sim.log()).split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(requests.filter(QRegularExpression("^GET ")).size() < requests.size(), c.exitCode == 0);
    }
}

} // namespace
