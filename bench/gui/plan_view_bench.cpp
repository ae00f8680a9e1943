// The plan dock on the largest configuration: one typed character in a menu's name until the plan shows
// it, against drawing the whole tree again.
#include "editor/plan_view.h"
#include "model/example_tree.h"

#include <QApplication>
#include <QGraphicsView>
#include <benchmark/benchmark.h>

namespace {

struct LargestPlan {
    AppContext ctx;
    Configuration config;
    std::unique_ptr<PlanView> view;
    LargestPlan() {
        example::setUpContext(ctx, 5);
        ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg01.txt"));
        example::maximalTrees(config, ctx);
        view = std::make_unique<PlanView>(config, ctx);
        view->resize(460, 700);
        view->show();
        view->showTree(1);
        view->showNode(QStringLiteral("M3")); // a leaf menu in the middle of the view
        QApplication::processEvents();
    }
    // Paints what is waiting, as the event loop would before the next input.
    void paint() {
        QApplication::processEvents();
        QApplication::processEvents();
    }
};

void BM_PlanRedrawAfterOneEdit(benchmark::State& state) {
    LargestPlan p;
    const QString names[2] = {QStringLiteral("Leaf 3"), QStringLiteral("Leaf 3x")};
    int i = 0;
    for (auto _ : state) {
        p.config.sections.setValue(QStringLiteral("M3"), MenuValue::lib, names[++i % 2]);
        p.view->refresh();
        p.paint();
    }
    if (p.view->lastRedrawn() != QStringList{QStringLiteral("M3")}) state.SkipWithError("not one box");
    state.counters["boxes"] = double(p.view->plan().boxes().size());
}
BENCHMARK(BM_PlanRedrawAfterOneEdit)->Unit(benchmark::kMillisecond);

// What the edit would cost if the plan were drawn afresh each time: another tree of the same size, where
// no box is kept and the whole view is painted.
void BM_PlanRedrawWholeTree(benchmark::State& state) {
    LargestPlan p;
    int tree = 1;
    for (auto _ : state) {
        tree = 3 - tree;
        p.view->showTree(tree);
        p.paint();
    }
}
BENCHMARK(BM_PlanRedrawWholeTree)->Unit(benchmark::kMillisecond);

} // namespace
