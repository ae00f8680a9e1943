// The plan as Mermaid and Graphviz text, and qavo-cli's call, diff and plan commands, run as scripts run
// them.
#include "flow/flow_fixture.h"
#include "flow/flow_layout.h"
#include "flow/plan_text.h"
#include "support/cli_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace {

using testing_support::readBytes;

cli_testing::CliRun runCli(const QStringList& args) {
    return cli_testing::runCli(args + testing_support::kEnglish);
}

int pdfPages(const QByteArray& pdf) {
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "));
}

// The plans of every active tree of the demo, one of them renamed with characters both syntaxes quote.
std::vector<flow::FlowLayout> demoPlans() {
    static auto o = plan_test::open(plan_test::kDemo, plan_test::kInfo);
    o->config.sections.setValue("M2", MenuValue::lib, "Sales \"A&B\" <#1>\\");
    return flow::layoutTrees(o->config, o->ctx, 0);
}

TEST(PlanText, MermaidFollowsTheFlowchartGrammarAndDefinesEveryBoxItLinks) {
    const auto plans = demoPlans();
    ASSERT_EQ(plans.size(), 2u);
    const QStringList lines = flow::planMermaid(plans).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "flowchart LR");
    // Labels are quoted and hold no quote, bracket or unescaped entity start of their own.
    const QString label = R"("(?:[^"<>&]|<br/>)*")";
    const QRegularExpression node(R"(^\s*(\w+)\[)" + label + R"(\]$)");
    const QRegularExpression edge(R"(^\s*(\w+) (-->|-\.->)(?:\|)" + label + R"(\|)? (\w+)$)");
    const QRegularExpression other(R"(^\s*(subgraph \w+\[)" + label +
                                   R"(\]|end|classDef \w+ .*|class [\w,]+ \w+)$)");
    QSet<QString> defined;
    int edges = 0, dashed = 0, boxes = 0, arrows = 0;
    for (const auto& p : plans) {
        boxes += int(p.boxes().size());
        arrows += int(p.arrows().size());
    }
    for (const QString& line : lines.mid(1)) {
        if (const auto m = node.match(line); m.hasMatch()) {
            defined << m.captured(1);
        } else if (const auto e = edge.match(line); e.hasMatch()) {
            EXPECT_TRUE(defined.contains(e.captured(1)) && defined.contains(e.captured(3)))
                << line.toStdString();
            ++edges;
            dashed += e.captured(2) == "-.->";
        } else {
            EXPECT_TRUE(other.match(line).hasMatch()) << line.toStdString();
        }
    }
    EXPECT_EQ(defined.size(), boxes);
    EXPECT_EQ(edges, arrows);
    EXPECT_EQ(dashed, 6); // three exits of each tree
}

TEST(PlanText, GraphvizDrawsTheDotOutputWithEveryBox) {
    const QString dot = QStandardPaths::findExecutable("dot");
    if (dot.isEmpty()) GTEST_SKIP() << "Graphviz (dot) is not installed";
    const auto plans = demoPlans();
    QProcess p;
    p.start(dot, {"-Tsvg"});
    p.write(flow::planDot(plans).toUtf8());
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardError(), QByteArray());
    const QString svg = QString::fromUtf8(p.readAllStandardOutput());
    int boxes = 0;
    for (const auto& plan : plans)
        boxes += int(plan.boxes().size());
    EXPECT_EQ(svg.count("class=\"node\""), boxes);
    EXPECT_TRUE(svg.contains("Sales &quot;A&amp;B&quot; &lt;#1&gt;\\")) << "the quoted name survives";
}

// The largest configuration cannot be a legible PNG: qavo-cli refuses it in the user's language and points
// to PDF or SVG; its Mermaid text is written one tree a file, with a word on Mermaid's limit.
TEST(PlanText, QavoCliSplitsOrRefusesAPlanTooLargeToReadWhole) {
    QTemporaryDir dir;
    const QString tree = dir.filePath("max.maa");
    const auto largest = plan_test::maximal(5);
    ASSERT_TRUE(SaveArbre(largest->config, tree, true, largest->ctx));
    const struct {
        const char* language;
        const char* out;
        int exitCode;
        const char* said;
        int files;
    } cases[] = {
        {"qavo_lg01.txt", "x.png", 2, "in a PNG picture the plan's text would be under 8 pixels", 0},
        {"qavo_lg00.txt", "y.png", 2, "dans une image PNG, le texte du plan ferait moins de 8 pixels", 0},
        {"qavo_lg01.txt", "x.mmd", 0, "the plan is too large for one legible file, one file a tree: ", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        const auto run = cli_testing::runCli(
            {"plan", tree, dir.filePath(c.out), "--translation", plan_test::resource(c.language)});
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.err.contains(QStringLiteral("qavo-cli: ") + c.said)) << run.err.toStdString();
        const QStringList files = QDir(dir.path()).entryList({QString(c.out).section('.', 0, 0) + "*"});
        EXPECT_EQ(files.size(), c.files);
        const bool over = std::any_of(files.begin(), files.end(), [&](const QString& f) {
            return testing_support::readBytes(dir.filePath(f)).size() > 50000;
        });
        EXPECT_EQ(run.err.contains("maxTextSize"), over);
    }
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
    const QStringList en = testing_support::kEnglish;
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
