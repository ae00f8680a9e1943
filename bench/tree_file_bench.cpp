#include "maximal_tree.h"

#include "core/app_context.h"
#include "model/tree_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kLabels =
    QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[LABELS]\r\nNoeudArbre=Tree\r\nactVide=No action\r\n"
                   "actTransfert=Transfer\r\nactAnn=Announcement\r\nactStd=Operator\r\n");

struct Fixture {
    QTemporaryDir dir;
    AppContext ctx;
    QString path;

    explicit Fixture(int menuTrees) {
        ctx.translation.setText(kLabels);
        path = dir.filePath(QStringLiteral("tree.maa"));
        bench::writeMaximalTree(path, menuTrees);
    }

    Configuration configuration() const { return makeConfiguration(ctx); }
};

// Target: under 3 ms for the maximal tree (555 menus, 5 trees).
void BM_LoadMaximalTree(benchmark::State& state) {
    Fixture f(5);
    Configuration config = f.configuration();
    for (auto _ : state) {
        ChargementArbres(config, f.path, f.ctx);
        benchmark::DoNotOptimize(config.nodes.count());
    }
    state.counters["nodes"] = config.nodes.count();
}
BENCHMARK(BM_LoadMaximalTree)->Unit(benchmark::kMillisecond);

// Target: under 5 ms to write the maximal tree to disk.
void BM_SaveMaximalTree(benchmark::State& state) {
    Fixture f(5);
    Configuration config = f.configuration();
    ChargementArbres(config, f.path, f.ctx);
    const QString out = f.dir.filePath(QStringLiteral("out.maa"));
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveArbre(config, out, true, f.ctx));
    state.counters["bytes"] = double(QFile(out).size());
}
BENCHMARK(BM_SaveMaximalTree)->Unit(benchmark::kMillisecond);

// The text of the maximal tree without the file system (the save above adds the safe replace and its sync).
void BM_MaximalTreeBytes(benchmark::State& state) {
    Fixture f(5);
    Configuration config = f.configuration();
    ChargementArbres(config, f.path, f.ctx);
    for (auto _ : state)
        benchmark::DoNotOptimize(treeFileBytes(config));
}
BENCHMARK(BM_MaximalTreeBytes)->Unit(benchmark::kMillisecond);

// Loading grows linearly with the number of menus: 1, 2 and 4 trees of 111 menus each.
void BM_LoadScaling(benchmark::State& state) {
    Fixture f(int(state.range(0)));
    Configuration config = f.configuration();
    for (auto _ : state) {
        ChargementArbres(config, f.path, f.ctx);
        benchmark::DoNotOptimize(config.nodes.count());
    }
    state.SetComplexityN(state.range(0));
    state.counters["bytes"] = double(QFile(f.path).size());
}
BENCHMARK(BM_LoadScaling)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

} // namespace
