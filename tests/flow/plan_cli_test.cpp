#include "flow/flow_layout.h"

#include "cli/cli_run.h"
#include "flow/plan_fixture.h"
#include "model/example_tree.h"
#include "model/tree_file.h"
#include "support/qt_print.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

int runPlan(const QStringList& args) {
    return cli_testing::runCli(QStringList{"plan"} + args).exitCode;
}

const QStringList kEnglishWithInfo = {"--translation", plan_test::resource("qavo_lg01.txt"), "--info",
                                      plan_test::resource(plan_test::kInfo)};

} // namespace

TEST(PlanCli, ExitStatuses) {
    QTemporaryDir dir;
    const QString example = plan_test::resource(plan_test::kExample);
    const struct {
        const char* name;
        QStringList args;
        int exit;
    } cases[] = {
        {"no output", {example}, 2},
        {"unknown format", {example, dir.filePath("plan.txt")}, 2},
        {"tree out of range", {example, dir.filePath("plan.svg"), "--tree", "6"}, 2},
        {"tree not a number", {example, dir.filePath("plan.svg"), "--tree", "x"}, 2},
        {"missing file", {dir.filePath("none.maa"), dir.filePath("plan.svg")}, 2},
        {"folder not there", {example, dir.filePath("no/such/plan.png")}, 2},
        {"svg", {example, dir.filePath("plan.svg")}, 0},
        {"mermaid of tree 2", {example, dir.filePath("plan.mmd"), "--tree", "2"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(runPlan(c.args), c.exit);
    }
}

TEST(PlanCli, TheSvgOfTheExampleIsValidAndHoldsEveryBoxText) {
    QTemporaryDir dir;
    const QString out = dir.filePath("plan.svg");
    ASSERT_EQ(
        runPlan(QStringList{plan_test::resource(plan_test::kExample), out, "--tree", "1"} + kEnglishWithInfo),
        0);
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

TEST(PlanCli, PdfHasOnePagePerActiveTreeAndPngIsAPicture) {
    QTemporaryDir dir;
    const QString demo = plan_test::resource(plan_test::kDemo);
    ASSERT_EQ(runPlan(QStringList{demo, dir.filePath("plan.pdf")} + kEnglishWithInfo), 0);
    ASSERT_EQ(runPlan(QStringList{demo, dir.filePath("plan.png"), "--tree", "1"} + kEnglishWithInfo), 0);
    const QByteArray pdf = testing_support::readBytes(dir.filePath("plan.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 2);
    EXPECT_TRUE(testing_support::readBytes(dir.filePath("plan.png")).startsWith("\x89PNG"));
}

// A tree too large to read on one page is cut into several, each at a size that reads on paper.
TEST(PlanCli, PdfCutsALargeTreeIntoPages) {
    QTemporaryDir dir;
    plan_test::Opened o;
    o.ctx.Nb_arbre = 1;
    o.config = makeConfiguration(o.ctx);
    example::maximalTrees(o.config, o.ctx);
    const QString file = dir.filePath("largest.maa");
    ASSERT_TRUE(SaveArbre(o.config, file, true, o.ctx));
    ASSERT_EQ(runPlan(QStringList{file, dir.filePath("plan.pdf"), "--tree", "1"}), 0);
    const QByteArray pdf = testing_support::readBytes(dir.filePath("plan.pdf"));
    EXPECT_GT(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
}
