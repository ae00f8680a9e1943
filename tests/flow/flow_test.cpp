// The plan: its layout, its Mermaid and Graphviz texts, and qavo-cli's call, diff and plan commands, run as
// scripts run them.
#include "flow/flow_fixture.h"
#include "flow/flow_layout.h"
#include "flow/plan_text.h"
#include "model/action_value.h"
#include "support/cli_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <numeric>

using flow::BoxState;
using flow::FlowLayout;
using flow::PlanBox;

namespace {

// Arrows leaving a box with this label.
int arrowsFrom(const FlowLayout& plan, int box, const QString& label) {
    return int(std::count_if(plan.arrows().begin(), plan.arrows().end(),
                             [&](const flow::PlanArrow& a) { return a.from == box && a.label == label; }));
}

double centre(const PlanBox& b) {
    return b.y + b.height / 2;
}

// Whether segment p-q runs through the inside of the rectangle (its edges excluded).
bool crossesInside(QPointF p, QPointF q, const PlanBox& b) {
    const double x1 = std::min(p.x(), q.x()), x2 = std::max(p.x(), q.x());
    const double y1 = std::min(p.y(), q.y()), y2 = std::max(p.y(), q.y());
    return x1 < b.x + b.width - 0.5 && x2 > b.x + 0.5 && y1 < b.y + b.height - 0.5 && y2 > b.y + 0.5;
}

// Length two axis-aligned segments share.
double shared(QPointF a1, QPointF a2, QPointF b1, QPointF b2) {
    const auto overlap = [](double p1, double p2, double q1, double q2) {
        return std::min(std::max(p1, p2), std::max(q1, q2)) - std::max(std::min(p1, p2), std::min(q1, q2));
    };
    if (a1.x() == a2.x() && b1.x() == b2.x() && std::abs(a1.x() - b1.x()) < 1)
        return overlap(a1.y(), a2.y(), b1.y(), b2.y());
    if (a1.y() == a2.y() && b1.y() == b2.y() && std::abs(a1.y() - b1.y()) < 1)
        return overlap(a1.x(), a2.x(), b1.x(), b2.x());
    return 0;
}

int menuNodesBelow(const Configuration& config, int id) {
    int n = config.nodes.node(id).key.startsWith('M');
    for (int child : config.nodes.childrenOf(id))
        n += menuNodesBelow(config, child);
    return n;
}

// Each menu has one box and each of its keys with an action one arrow; boxes stay on the plan and never
// overlap; a parent sits in the middle of its children, which follow key order. A jump is drawn from its
// key's box to the menu it reaches on lanes of its own: axis-aligned segments from the right edge of one box
// to the right edge of the other that pass through no box and share no stretch with an arrow going
// elsewhere (jumps to one menu may run together).
TEST(FlowLayout, BoxesNeitherOverlapNorLieUnderAJumpAndParentsSitInTheMiddleOfTheirChildren) {
    const auto demo = [] { return plan_test::open(plan_test::kDemo, plan_test::kInfo); };
    const auto maximal = [] { return plan_test::maximal(5); };
    const auto withJumps = [] {
        auto o = plan_test::maximal(1);
        // Back to the root, across the tree both ways, to a menu two keys already reach, and from an exit.
        const char* const jumps[][3] = {{"M111", "9", "sau;M1"}, {"M3", "0", "sau;M1"},
                                        {"M40", "1", "sau;M75"}, {"M90", "2", "sau;M12"},
                                        {"M12", "3", "men;M40"}, {"M5", "4", "sau;M40"}};
        for (const auto& j : jumps)
            o->config.sections.setValue(j[0], MenuValue::forDigit(QString(j[1]).toInt()), j[2]);
        o->config.sections.setValue("A1", TreeValue::exit_nac, "sau;M1");
        return o;
    };
    const struct {
        const char* name;
        std::function<std::unique_ptr<plan_test::Opened>()> open;
        int tree, jumps;
        bool edited = false; // the node tree no longer follows: no menu count
    } cases[] = {
        {"example", [] { return plan_test::open(plan_test::kExample, plan_test::kInfo); }, 1, 0},
        {"demo tree 1", demo, 1, 1},
        {"demo tree 2", demo, 2, 0},
        {"maximal tree 1", maximal, 1, 100},
        {"maximal tree 5", maximal, 5, 100},
        {"maximal tree with jumps", withJumps, 1, 106, true}, // 99 leaves jump back to the root
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto o = c.open();
        ASSERT_TRUE(o);
        FlowLayout plan;
        plan.build(o->config, o->ctx, c.tree);
        const auto& boxes = plan.boxes();
        ASSERT_GT(boxes.size(), 4u);
        std::vector<std::vector<int>> children(boxes.size());
        QStringList ids;
        int menus = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            const PlanBox& a = boxes[i];
            ids << a.id;
            EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.width <= plan.width() &&
                        a.y + a.height <= plan.height())
                << a.id.toStdString();
            for (size_t j = i + 1; j < boxes.size(); ++j) {
                const PlanBox& b = boxes[j];
                const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                                   b.y + b.height <= a.y;
                EXPECT_TRUE(apart) << a.id.toStdString() << " overlaps " << b.id.toStdString();
            }
            if (a.parent >= 0) children[size_t(a.parent)].push_back(int(i));
            if (a.kind != flow::BoxKind::Menu) continue;
            ++menus;
            for (int d = 0; d <= 9; ++d) {
                const bool hasAction = !o->config.sections.value(a.id, MenuValue::forDigit(d)).isEmpty();
                EXPECT_EQ(arrowsFrom(plan, int(i), QString::number(d)), hasAction ? 1 : 0)
                    << a.id.toStdString() << " key " << d;
            }
        }
        EXPECT_EQ(ids.removeDuplicates(), 0);
        if (!c.edited) {
            EXPECT_EQ(menus,
                      menuNodesBelow(o->config, o->config.nodes.find(QStringLiteral("A%1").arg(c.tree))));
        }
        for (size_t i = 0; i < boxes.size(); ++i) {
            const auto& kids = children[i];
            if (kids.empty()) continue;
            EXPECT_NEAR(centre(boxes[i]),
                        (centre(boxes[size_t(kids.front())]) + centre(boxes[size_t(kids.back())])) / 2, 1.0)
                << boxes[i].id.toStdString();
            for (size_t k = 1; k < kids.size(); ++k)
                EXPECT_LT(boxes[size_t(kids[k - 1])].y, boxes[size_t(kids[k])].y);
        }
        const auto& arrows = plan.arrows();
        int jumps = 0;
        for (const flow::PlanArrow& a : arrows) {
            if (!a.jump) continue;
            ++jumps;
            const PlanBox &from = boxes[size_t(a.from)], &to = boxes[size_t(a.to)];
            const std::string name = (from.id + " -> " + to.id).toStdString();
            // Listed among its menu's keys: a tree edge with the key leads to the box it leaves from.
            EXPECT_EQ(arrowsFrom(plan, from.parent, a.label), 1) << name;
            ASSERT_GE(a.points.size(), 4u) << name;
            EXPECT_EQ(a.points.front(), QPointF(from.x + from.width, from.y + from.height / 2)) << name;
            EXPECT_EQ(a.points.back().x(), to.x + to.width) << name;
            EXPECT_TRUE(a.points.back().y() > to.y && a.points.back().y() < to.y + to.height) << name;
            for (size_t k = 1; k < a.points.size(); ++k) {
                const QPointF p = a.points[k - 1], q = a.points[k];
                EXPECT_TRUE(p.x() == q.x() || p.y() == q.y()) << name << " segment " << k;
                EXPECT_TRUE(p.x() >= 0 && p.y() >= 0 && q.x() <= plan.width() && q.y() <= plan.height())
                    << name;
                for (const PlanBox& b : boxes)
                    EXPECT_FALSE(crossesInside(p, q, b)) << name << " passes through " << b.id.toStdString();
                for (const flow::PlanArrow& other : arrows) {
                    if (other.to == a.to) continue;
                    for (size_t m = 1; m < other.points.size(); ++m)
                        EXPECT_LE(shared(p, q, other.points[m - 1], other.points[m]), 0.0)
                            << name << " runs along the arrow from "
                            << boxes[size_t(other.from)].id.toStdString();
                }
            }
        }
        EXPECT_EQ(jumps, c.jumps);
    }
}

// A jump back is an arrow to its target's box, a jump to another tree a box that says so; the tree's exits
// are dashed and labelled; boxes take the colours of the last check.
TEST(FlowLayout, BoxesSayWhereTheCallGoesAndTakeTheColoursOfTheLastVerification) {
    const auto o = plan_test::open(plan_test::kDemo, plan_test::kInfo);
    FlowLayout plan;
    plan.build(o->config, o->ctx, 1);
    // "id: title | line | line".
    const QStringList expected = {
        "A1: Tree 1 – Standard général | Welcome: Announcement 10 (Bienvenue) | Language choice: "
        "Announcement 14 "
        "| Languages: Language 1, Language 2 | Repetitions: 2",
        "M1: M1 – Accueil | Announcement 11 (Menu principal) | Schedule H1 | Repetitions: 2, silences: 2",
        "E-M1-3: Announcement 15 (Attente; musique) | Repetitions: 2, silences: 2",
        "E-M1-4: Transfer to 201 (Accueil)",
        "E-M1-7: Voice box of 202 (Comptabilité)",
        "E-M1-0: Operator (200)",
        "E-M5-3: Free dialling",
        "E-M1-8: Jump to Tree 2 – Ligne directe",
        "E-M2-9: Jump to M1 – Accueil",
        "A1:exit_trf: Operator (200)",
        "A1:exit_fer: Announcement 12 (Fermé)",
        "A1:exit_nac: Operator (200)",
    };
    QStringList shown;
    for (const QString& e : expected) {
        const QString id = e.section(": ", 0, 0);
        const int i = plan.indexOf(id);
        shown << (i < 0 ? id
                        : id + ": " +
                              (QStringList{plan.boxes()[size_t(i)].title} + plan.boxes()[size_t(i)].lines)
                                  .join(" | "));
    }
    EXPECT_EQ(shown, expected);
    QStringList arrows; // "label|dashed|jump|target" of the arrows leaving A1, M2's key 9 and its box
    for (const flow::PlanArrow& a : plan.arrows())
        if (a.from == plan.indexOf("A1") || (a.from == plan.indexOf("M2") && a.label == "9") ||
            a.from == plan.indexOf("E-M2-9"))
            arrows << QStringLiteral("%1|%2|%3|").arg(a.label).arg(a.dashed).arg(a.jump) +
                          plan.boxes()[size_t(a.to)].id;
    EXPECT_EQ(arrows, (QStringList{"|0|0|M1", "9|0|0|E-M2-9", "Transfer fails|1|0|A1:exit_trf",
                                   "Closed|1|0|A1:exit_fer", "No reaction|1|0|A1:exit_nac", "9|0|1|M1"}))
        << "M2's key 9 is listed with M2's keys, and its box points back to M1's";
    for (const PlanBox& b : plan.boxes()) {
        if (const TreeNode* node = o->config.nodes.nodeByKey(b.id)) {
            EXPECT_EQ(b.state, node->colour == NodeColour::Red      ? BoxState::Error
                               : node->colour == NodeColour::Orange ? BoxState::Warning
                                                                    : BoxState::Normal)
                << b.id.toStdString();
        }
    }
}

TEST(FlowLayout, AnUpdateReportsOnlyWhatChanged) {
    const auto o = plan_test::open(plan_test::kDemo, plan_test::kInfo);
    FlowLayout plan;
    plan.build(o->config, o->ctx, 1);
    EXPECT_TRUE(plan.relayout(o->config, o->ctx).isEmpty());

    o->config.sections.setValue("M3", MenuValue::rep, "3");
    flow::PlanChange change = plan.relayout(o->config, o->ctx);
    ASSERT_EQ(change.changed.size(), 1u);
    EXPECT_EQ(plan.boxes()[size_t(change.changed.front())].id, "M3");
    EXPECT_FALSE(change.arrowsChanged);

    o->config.sections.setValue("M1", MenuValue::forDigit(9), "std");
    change = plan.relayout(o->config, o->ctx);
    EXPECT_TRUE(change.arrowsChanged);
    EXPECT_GE(plan.indexOf("E-M1-9"), 0);
    EXPECT_TRUE(std::count(change.changed.begin(), change.changed.end(), plan.indexOf("E-M1-9")));

    o->config.sections.setValue("M1", MenuValue::forDigit(9), "");
    change = plan.relayout(o->config, o->ctx);
    EXPECT_EQ(change.removed, QStringList{"E-M1-9"});
}

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
// The boxes or arrows of every plan.
template <class Part> int total(const std::vector<flow::FlowLayout>& plans, Part part) {
    return std::accumulate(plans.begin(), plans.end(), 0,
                           [&](int n, auto& p) { return n + int((p.*part)().size()); });
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
    int edges = 0, dashed = 0;
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
    EXPECT_EQ(defined.size(), total(plans, &flow::FlowLayout::boxes));
    EXPECT_EQ(edges, total(plans, &flow::FlowLayout::arrows));
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
    EXPECT_EQ(svg.count("class=\"node\""), total(plans, &flow::FlowLayout::boxes));
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
