#include "../maximal_tree.h"

#include "core/app_context.h"
#include "flow/render/plan_picture.h"
#include "model/configuration.h"
#include "model/tree_file.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// SVG of one tree of the maximal file (111 menus, 500 destinations), measured fonts included.
void BM_PlanSvgExportMaximalTree(benchmark::State& state) {
    QTemporaryDir dir;
    AppContext ctx;
    ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg01.txt"));
    const QString path = dir.filePath(QStringLiteral("max.maa"));
    bench::writeMaximalTree(path);
    Configuration config = makeConfiguration(ctx);
    openTreeFile(config, path, ctx);
    const QString out = dir.filePath(QStringLiteral("plan.svg"));
    for (auto _ : state) {
        const auto trees = flow::layoutTrees(config, ctx, 1, flow::pictureMetrics());
        if (flow::writePlan(out, trees, QStringLiteral("max.maa")).outcome != flow::PlanOutcome::Written)
            state.SkipWithError("not written");
    }
}
BENCHMARK(BM_PlanSvgExportMaximalTree)->Unit(benchmark::kMillisecond);

} // namespace
