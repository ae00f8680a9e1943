#include "flow/flow_layout.h"

#include "flow/flow_fixture.h"
#include "model/action_value.h"

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

} // namespace

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
