// qavo-cli test, and send held back by failing scenarios, run as scripts run them.
#include "cli/cli_run.h"
#include "support/qt_print.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testing_support::readBytes;
using testing_support::writeBytes;

const QByteArray kHeader = "name;tree;moment;keys;expected\n";

QString resource(const QString& name) {
    return testing_support::resourcesDir() + '/' + name;
}

cli_testing::CliRun runCli(const QStringList& args) {
    return cli_testing::runCli(args + QStringList{"--translation", resource("qavo_lg01.txt")});
}

struct ScenariosCli : testing::Test {
    QTemporaryDir dir;
    QString write(const char* name, const QByteArray& bytes) {
        writeBytes(dir.filePath(name), bytes);
        return dir.filePath(name);
    }
};

// The shipped example passes on the demo tree; a failing scenario shows its steps; a file that cannot be
// read says where. --json gives the same verdict as one document.
TEST_F(ScenariosCli, ExitStatusSaysWhetherEveryScenarioPassed) {
    const QString demo = resource("examples/demo.maa");
    const QString failing = write("failing.csv", kHeader + "Sales;1;mon 10:00;1,1,1;transfer 211\n"
                                                           "Desk;1;mon 10:00;1,4;transfer 201\n");
    const QString bad =
        write("bad.csv", kHeader + "Desk;1;mon 10:00;1,4;transfer 201\n\nx;1;mon;1;operator\n");
    const struct {
        QStringList args;
        int exitCode, scenarios;
        QString said; // on stdout when the file was read, else on stderr
    } cases[] = {
        {{demo, resource("examples/demo-scenarios.csv")}, 0, 11, "\n11 of 11 scenarios passed\n"},
        {{demo, failing},
         1,
         2,
         "FAIL  Sales: expected transfer 211, got transfer 210\n    Call to tree 1 'Standard général'\n"},
        {{demo, failing}, 1, 2, "\n    Transfer to 210\npass  Desk\n1 of 2 scenarios passed\n"},
        {{demo, bad},
         2,
         0,
         "qavo-cli: " + bad + ": line 4: moment 'mon' is neither yyyy-MM-dd HH:mm nor a weekday and a time"},
        {{demo, dir.filePath("none.csv")}, 2, 0, ": cannot be read ("},
        {{dir.filePath("none.maa"), failing}, 2, 0, "cannot read " + dir.filePath("none.maa")},
        {{demo}, 2, 0, "usage: qavo-cli test TREE SCENARIOS"},
    };
    for (const auto& c : cases) {
        const cli_testing::CliRun run = runCli(QStringList{"test"} + c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE((c.exitCode == 2 ? run.err : run.out).contains(c.said))
            << run.out.toStdString() << run.err.toStdString();
        const cli_testing::CliRun json = runCli(QStringList{"test", "--json"} + c.args);
        EXPECT_EQ(json.exitCode, c.exitCode);
        QJsonParseError error;
        const QJsonObject doc = QJsonDocument::fromJson(json.out.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out.toStdString();
        EXPECT_EQ(doc["rc"].toInt(), c.exitCode);
        EXPECT_EQ(doc["failed"].toBool(), c.exitCode != 0);
        const QJsonArray scenarios = doc["scenarios"].toArray();
        ASSERT_EQ(scenarios.size(), c.scenarios);
        for (const auto& s : scenarios) // the steps of the failing ones only
            EXPECT_EQ(s.toObject().contains("steps"), !s.toObject()["passed"].toBool());
    }
}

// Scenarios that fail hold the send back after the check: nothing reaches the simulator but fetches.
TEST_F(ScenariosCli, SendStoresNothingWhenAScenarioFails) {
    const struct {
        QByteArray scenario;
        int exitCode;
        const char* said;
    } cases[] = {
        {"Desk;1;mon 10:00;1;transfer 201\n", 0, ""},
        {"Desk;1;mon 10:00;1;transfer 202\n", 6, "qavo-cli: scenarios failed, nothing sent\n"},
        {"Desk;1;mon 10:00;1;transfer 202;\n", 2, "line 2: 6 fields instead of 5"},
    };
    for (const auto& c : cases) {
        testing_support::SimProcess sim;
        ASSERT_NE(sim.port(), 0);
        writeBytes(sim.root() + "/qavo_general.txt",
                   readBytes(testing_support::dataDir() + "/server_info_check.txt"));
        const QByteArray before = readBytes(sim.root() + "/arbre.maa");
        const QString tree = write("sent.maa", readBytes(testing_support::dataDir() + "/check_example.maa")
                                                   .replace("exit_fer=ann;12;;", "exit_fer=ann;12;2;2"));
        const QStringList send{"send",
                               tree,
                               "--scenarios",
                               write("s.csv", kHeader + c.scenario),
                               "/HADDR:127.0.0.1",
                               "/HPORT:" + QString::number(sim.port()),
                               "/USER:u",
                               "/PASS:p"};
        const cli_testing::CliRun run = runCli(send);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
        EXPECT_EQ(run.out.contains("FAIL  Desk: expected transfer 202, got transfer 201\n"), c.exitCode == 6);
        EXPECT_EQ(readBytes(sim.root() + "/arbre.maa"), c.exitCode == 0 ? readBytes(tree) : before);
        const QStringList requests = QString::fromUtf8(sim.log()).split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(requests.filter(QRegularExpression("^GET ")).size() < requests.size(), c.exitCode == 0)
            << requests.join('\n').toStdString();
    }
}

} // namespace
