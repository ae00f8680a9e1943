#include "flow/plan_text.h"

#include "cli/cli_run.h"
#include "flow/flow_fixture.h"
#include "support/qt_print.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// The plans of every active tree of the demo, one of them renamed with characters both syntaxes quote.
std::vector<flow::FlowLayout> demoPlans() {
    static auto o = plan_test::open(plan_test::kDemo, plan_test::kInfo);
    o->config.sections.setValue("M2", MenuValue::lib, "Sales \"A&B\" <#1>\\");
    return flow::layoutTrees(o->config, o->ctx, 0);
}

} // namespace

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
