#include "maximal_tree.h"

#include "core/app_context.h"
#include "flow/flow_layout.h"
#include "model/configuration.h"
#include "model/tree_file.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The maximal file (five trees of 111 menus) opened as the editor opens it, with English captions.
struct Maximal {
    Maximal() {
        ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg01.txt"));
        const QString path = dir.filePath(QStringLiteral("max.maa"));
        bench::writeMaximalTree(path);
        config = makeConfiguration(ctx);
        openTreeFile(config, path, ctx);
    }
    QTemporaryDir dir;
    AppContext ctx;
    Configuration config;
};

// Every tree of the file laid out from scratch, as an export does.
void BM_PlanLayoutMaximalFile(benchmark::State& state) {
    Maximal m;
    for (auto _ : state)
        benchmark::DoNotOptimize(flow::layoutTrees(m.config, m.ctx, 0));
    state.counters["boxes"] = double(flow::layoutTrees(m.config, m.ctx, 0).front().boxes().size() * 5);
}
BENCHMARK(BM_PlanLayoutMaximalFile)->Unit(benchmark::kMillisecond);

// The editor's plan view after one field edit: the tree laid out again and compared with what is shown.
void BM_PlanRelayoutAfterOneEdit(benchmark::State& state) {
    Maximal m;
    flow::FlowLayout plan;
    plan.build(m.config, m.ctx, 1);
    int n = 0;
    for (auto _ : state) {
        m.config.sections.setValue(QStringLiteral("M5"), 7, QStringLiteral("trf;2%1").arg(++n % 90 + 10));
        const flow::PlanChange change = plan.relayout(m.config, m.ctx);
        benchmark::DoNotOptimize(change.changed.data());
    }
}
BENCHMARK(BM_PlanRelayoutAfterOneEdit)->Unit(benchmark::kMillisecond);

} // namespace
