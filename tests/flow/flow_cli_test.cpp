#include "cli/cli_run.h"
#include "flow_fixture.h"
#include "model/tree_file.h"
#include "support/qt_print.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

cli_testing::CliRun runCli(const QStringList& args) {
    return cli_testing::runCli(
        args + QStringList{"--translation", testing_support::resourcesDir() + "/qavo_lg01.txt"});
}

struct FlowCli : testing::Test {
    QTemporaryDir dir;
    QString tree, changed;
    void SetUp() override {
        AppContext ctx;
        flow_fixture::setUpContext(ctx);
        tree = dir.filePath("tree.maa");
        changed = dir.filePath("changed.maa");
        testing_support::writeBytes(tree, treeFileBytes(flow_fixture::build(ctx)));
        flow_fixture::Input in;
        in.menus["M1"][8] = "trf;201";
        testing_support::writeBytes(changed, treeFileBytes(flow_fixture::build(ctx, in)));
    }
};

TEST_F(FlowCli, CallPrintsOneStepALineOrAJsonArray) {
    const QStringList call{"call", tree, "--tree", "1", "--at", "2026-12-07 10:15", "--keys", "1,fail"};
    const cli_testing::CliRun text = runCli(call);
    ASSERT_EQ(text.exitCode, 0);
    const QStringList lines = text.out.trimmed().split('\n');
    EXPECT_EQ(lines.first(), "Call to tree 1 'Reception'");
    EXPECT_EQ(lines.last(), "Transfer to 300");
    const cli_testing::CliRun json = runCli(call + QStringList{"--json"});
    ASSERT_EQ(json.exitCode, 0);
    const QJsonArray steps = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(steps.size(), lines.size());
    EXPECT_EQ(steps.last().toObject().value("kind").toString(), "destination");
    EXPECT_EQ(steps.last().toObject().value("station").toString(), "300");
}

TEST_F(FlowCli, ExitStatusSaysWhetherTheTreesBehaveAlikeOrTheUseWasWrong) {
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{"diff", tree, tree}, 0},
        {{"diff", tree, changed}, 1},
        {{"diff", tree}, 2},
        {{"diff", tree, dir.filePath("absent.maa")}, 2},
        {{"call", tree, "--tree", "6"}, 2},
        {{"call", tree, "--at", "tomorrow"}, 2},
        {{"call", tree, "--keys", "1,x"}, 2},
        {{"call", dir.filePath("absent.maa")}, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(runCli(c.args).exitCode, c.exitCode) << c.args.join(' ').toStdString();
    EXPECT_EQ(runCli({"diff", tree, changed}).out,
              "Tree 1 > Main > key 3: Announcement 15, 2 repetitions, 2 silences -> Transfer to 201\n");
}

} // namespace
