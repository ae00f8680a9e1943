// qavo-cli's call, diff and plan commands, run as scripts run them.
#include "cli/cli_run.h"
#include "flow/flow_fixture.h"
#include "flow/flow_layout.h"
#include "support/qt_print.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

using testing_support::readBytes;

cli_testing::CliRun runCli(const QStringList& args) {
    return cli_testing::runCli(args + QStringList{"--translation", plan_test::resource("qavo_lg01.txt")});
}

int pdfPages(const QByteArray& pdf) {
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "));
}

struct FlowCli : testing::Test {
    QTemporaryDir dir;
    QString tree = dir.filePath("tree.maa"), changed = dir.filePath("b.maa"), same = dir.filePath("c.maa");
    const QString example = plan_test::resource(plan_test::kExample);
    const QString demo = plan_test::resource(plan_test::kDemo);
    const QStringList info = {"--info", plan_test::resource(plan_test::kInfo)};
    void SetUp() override {
        AppContext ctx;
        flow_fixture::setUpContext(ctx);
        const QString text = QString::fromLatin1(treeFileBytes(flow_fixture::build(ctx)));
        testing_support::writeBytes(tree, text.toLatin1());
        testing_support::writeBytes(changed, QString(text).replace("3=ann;15;1;2", "3=trf;201").toLatin1());
        // The same tree, its trees before its schedules and the closed exit's "ann;12;;" written "ann;12".
        const qsizetype at = text.indexOf("[A1]");
        testing_support::writeBytes(same,
                                    text.mid(at).append(text.left(at)).replace(";12;;", ";12").toLatin1());
    }
};

TEST_F(FlowCli, ExitStatusSaysWhetherTheTreesBehaveAlikeOrTheUseWasWrong) {
    const QString error = "qavo-cli: "; // one line, no notes of Qt's
    const QStringList en{"--translation", plan_test::resource("qavo_lg01.txt")};
    cli_testing::expectRuns({
        {QStringList{"diff", tree, same} + en, 0, "", ""},
        {QStringList{"diff", tree, changed} + en, 1,
         "Tree 1 > Main > key 3: Announcement 15, 1 repetition, 2 silences -> Transfer to 201\n", ""},
        {QStringList{"diff", tree} + en, 2, "", error},
        {QStringList{"diff", tree, dir.filePath("absent.maa")} + en, 2, "", error},
        {QStringList{"call", tree, "--tree", "6"} + en, 2, "", error},
        {QStringList{"call", tree, "--at", "tomorrow"} + en, 2, "", error},
        {QStringList{"call", tree, "--keys", "1,x"} + en, 2, "", error},
        {QStringList{"call", dir.filePath("absent.maa")} + en, 2, "", error},
        {QStringList{"plan", example} + en, 2, "", error}, // no output
        {QStringList{"plan", example, dir.filePath("plan.txt")} + en, 2, "", error},
        {QStringList{"plan", example, dir.filePath("plan.svg"), "--tree", "6"} + en, 2, "", error},
        {QStringList{"plan", dir.filePath("none.maa"), dir.filePath("plan.svg")} + en, 2, "", error},
        {QStringList{"plan", example, dir.filePath("plan.mmd"), "--tree", "2"} + en, 0, "", ""},
    });
}

TEST_F(FlowCli, CallPrintsOneStepALineOrAJsonReportOfSteps) {
    const QStringList call{"call", tree, "--tree", "1", "--at", "2026-12-07 10:15", "--keys", "1,fail"};
    const cli_testing::CliRun text = runCli(call), json = runCli(call + QStringList{"--json"});
    ASSERT_EQ(text.exitCode + json.exitCode, 0);
    const QStringList lines = text.out.trimmed().split('\n');
    EXPECT_EQ(lines.first(), "Call to tree 1 'Reception'");
    const QJsonArray steps = QJsonDocument::fromJson(json.out.toUtf8()).object()["steps"].toArray();
    ASSERT_EQ(steps.size(), lines.size());
    const QJsonObject last = steps.last().toObject();
    EXPECT_EQ(QStringList({lines.last(), last["text"].toString(), last["kind"].toString(),
                           last["station"].toString(), last["action"].toString()}),
              QStringList({"Transfer to 300", "Transfer to 300", "destination", "300", "transfer"}));
}

TEST_F(FlowCli, TheSvgPlanOfTheExampleIsValidAndHoldsEveryBoxText) {
    const QString out = dir.filePath("plan.svg");
    ASSERT_EQ(runCli(QStringList{"plan", example, out, "--tree", "1"} + info).exitCode, 0);
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QSet<QString> texts;
    bool svgRoot = false;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"svg") svgRoot = true;
        if (xml.isCharacters() && !xml.isWhitespace()) texts << xml.text().toString().trimmed();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(svgRoot);
    const auto o = plan_test::open(plan_test::kExample, plan_test::kInfo);
    flow::FlowLayout plan;
    plan.build(o->config, o->ctx, 1);
    EXPECT_TRUE(texts.contains("Transfer to 201 (Accueil)"));
    for (const flow::PlanBox& b : plan.boxes())
        for (const QString& text : QStringList{b.title} + b.lines)
            EXPECT_TRUE(texts.contains(text)) << text.toStdString();
}

// One page per active tree; a tree too large to read on one page is cut into several.
TEST_F(FlowCli, PdfPagesFollowTheTreesAndPngIsAPicture) {
    ASSERT_EQ(runCli(QStringList{"plan", demo, dir.filePath("plan.pdf")} + info).exitCode, 0);
    ASSERT_EQ(runCli(QStringList{"plan", demo, dir.filePath("plan.png"), "--tree", "1"} + info).exitCode, 0);
    const QByteArray pdf = readBytes(dir.filePath("plan.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_TRUE(readBytes(dir.filePath("plan.png")).startsWith("\x89PNG"));

    const auto largest = plan_test::maximal(1);
    ASSERT_TRUE(SaveArbre(largest->config, tree, true, largest->ctx));
    ASSERT_EQ(runCli({"plan", tree, dir.filePath("plan.pdf"), "--tree", "1"}).exitCode, 0);
    EXPECT_GT(pdfPages(readBytes(dir.filePath("plan.pdf"))), 1);
}

} // namespace
