#include "flow/flow_layout.h"

#include "flow/plan_fixture.h"
#include "model/action_value.h"
#include "model/example_tree.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

using flow::BoxKind;
using flow::BoxState;
using flow::FlowLayout;
using flow::PlanBox;

namespace {

std::unique_ptr<plan_test::Opened> maximal() {
    auto o = std::make_unique<plan_test::Opened>();
    o->ctx.translation.loadFile(plan_test::resource(QStringLiteral("qavo_lg01.txt")));
    o->ctx.Nb_arbre = 5;
    o->config = makeConfiguration(o->ctx);
    example::maximalTrees(o->config, o->ctx);
    return o;
}

struct Case {
    const char* name;
    std::function<std::unique_ptr<plan_test::Opened>()> open;
    int tree;
};

std::vector<Case> cases() {
    return {
        {"example", [] { return plan_test::open(plan_test::kExample, plan_test::kInfo); }, 1},
        {"demo tree 1", [] { return plan_test::open(plan_test::kDemo, plan_test::kInfo); }, 1},
        {"demo tree 2", [] { return plan_test::open(plan_test::kDemo, plan_test::kInfo); }, 2},
        {"maximal tree 1", maximal, 1},
        {"maximal tree 5", maximal, 5},
    };
}

// Arrows leaving a box with this label.
int arrowsFrom(const FlowLayout& plan, int box, const QString& label) {
    int n = 0;
    for (const flow::PlanArrow& a : plan.arrows())
        n += a.from == box && a.label == label;
    return n;
}

double centre(const PlanBox& b) {
    return b.y + b.height / 2;
}

} // namespace

TEST(FlowLayout, BoxesNeverOverlapAndParentsSitInTheMiddleOfTheirChildrenInKeyOrder) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const auto o = c.open();
        ASSERT_TRUE(o);
        FlowLayout plan;
        plan.build(o->config, o->ctx, c.tree);
        const auto& boxes = plan.boxes();
        ASSERT_GT(boxes.size(), 4u);
        std::vector<std::vector<int>> children(boxes.size());
        for (size_t i = 0; i < boxes.size(); ++i) {
            const PlanBox& a = boxes[i];
            EXPECT_GE(a.x, 0);
            EXPECT_GE(a.y, 0);
            EXPECT_LE(a.x + a.width, plan.width());
            EXPECT_LE(a.y + a.height, plan.height());
            for (size_t j = i + 1; j < boxes.size(); ++j) {
                const PlanBox& b = boxes[j];
                const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                                   b.y + b.height <= a.y;
                EXPECT_TRUE(apart) << a.id.toStdString() << " overlaps " << b.id.toStdString();
            }
            if (a.parent >= 0) children[size_t(a.parent)].push_back(int(i));
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
    }
}

TEST(FlowLayout, EveryKeyWithAnActionHasOneArrowAndEveryMenuOneBox) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const auto o = c.open();
        FlowLayout plan;
        plan.build(o->config, o->ctx, c.tree);
        QStringList ids;
        int menus = 0;
        for (const PlanBox& b : plan.boxes()) {
            ids << b.id;
            if (b.kind != BoxKind::Menu) continue;
            ++menus;
            const int box = plan.indexOf(b.id);
            for (int d = 0; d <= 9; ++d) {
                const bool hasAction = !o->config.sections.value(b.id, MenuValue::forDigit(d)).isEmpty();
                EXPECT_EQ(arrowsFrom(plan, box, QString::number(d)), hasAction ? 1 : 0)
                    << b.id.toStdString() << " key " << d;
            }
        }
        EXPECT_EQ(ids.removeDuplicates(), 0);
        int menuNodes = 0;
        std::function<void(int)> count = [&](int id) {
            menuNodes += o->config.nodes.node(id).key.startsWith('M');
            for (int child : o->config.nodes.childrenOf(id))
                count(child);
        };
        count(o->config.nodes.find(QStringLiteral("A%1").arg(c.tree)));
        EXPECT_EQ(menus, menuNodes);
    }
}

TEST(FlowLayout, AJumpPointsAtItsTargetAndTheExitsAreDashedAndLabelled) {
    const auto o = plan_test::open(plan_test::kDemo, plan_test::kInfo);
    FlowLayout plan;
    plan.build(o->config, o->ctx, 1);
    // M2's key 9 goes back to M1: an arrow to M1's box, no second M1.
    const int m1 = plan.indexOf("M1"), m2 = plan.indexOf("M2");
    bool jumpFound = false;
    for (const flow::PlanArrow& a : plan.arrows())
        if (a.from == m2 && a.label == "9") jumpFound = a.to == m1 && a.jump;
    EXPECT_TRUE(jumpFound);
    // A jump to another tree is a box that says so.
    EXPECT_EQ(plan.boxes()[size_t(plan.indexOf("E-M1-8"))].title, "Jump to Tree 2 – Ligne directe");

    const int tree = plan.indexOf("A1");
    const struct {
        const char* label;
        const char* title;
    } exits[] = {{"Transfer fails", "Operator (200)"},
                 {"Closed", "Announcement 12 (Fermé)"},
                 {"No reaction", "Operator (200)"}};
    for (const auto& e : exits) {
        SCOPED_TRACE(e.label);
        int found = 0;
        for (const flow::PlanArrow& a : plan.arrows())
            if (a.from == tree && a.label == e.label) {
                ++found;
                EXPECT_TRUE(a.dashed);
                EXPECT_EQ(plan.boxes()[size_t(a.to)].title, e.title);
            }
        EXPECT_EQ(found, 1);
    }
}

TEST(FlowLayout, BoxesSayWhereTheCallGoesAndTakeTheColoursOfTheLastVerification) {
    const auto o = plan_test::open(plan_test::kDemo, plan_test::kInfo);
    FlowLayout plan;
    plan.build(o->config, o->ctx, 1);
    const struct {
        const char* id;
        const char* title;
        QStringList lines;
    } expected[] = {
        {"A1",
         "Tree 1 – Standard général",
         {"Welcome: Announcement 10 (Bienvenue)", "Language choice: Announcement 14",
          "Languages: Language 1, Language 2", "Repetitions: 2"}},
        {"M1",
         "M1 – Accueil",
         {"Announcement 11 (Menu principal)", "Schedule H1", "Repetitions: 2, silences: 2"}},
        {"E-M1-3", "Announcement 15 (Attente; musique)", {"Repetitions: 2, silences: 2"}},
        {"E-M1-4", "Transfer to 201 (Accueil)", {}},
        {"E-M1-7", "Voice box of 202 (Comptabilité)", {}},
        {"E-M1-0", "Operator (200)", {}},
        {"E-M5-3", "Free dialling", {}},
    };
    for (const auto& e : expected) {
        const int i = plan.indexOf(e.id);
        ASSERT_GE(i, 0) << e.id;
        EXPECT_EQ(plan.boxes()[size_t(i)].title, e.title);
        EXPECT_EQ(plan.boxes()[size_t(i)].lines, e.lines);
    }
    int marked = 0;
    for (const PlanBox& b : plan.boxes()) {
        const TreeNode* node = o->config.nodes.nodeByKey(b.id);
        if (!node) continue;
        const BoxState state = node->colour == NodeColour::Red      ? BoxState::Error
                               : node->colour == NodeColour::Orange ? BoxState::Warning
                                                                    : BoxState::Normal;
        EXPECT_EQ(b.state, state) << b.id.toStdString();
        marked += state != BoxState::Normal;
    }
    EXPECT_GT(marked, 2);
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
