#include "maximal_tree.h"

#include "core/app_context.h"
#include "flow/call_walk.h"
#include "flow/tree_diff.h"
#include "model/tree_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    QTemporaryDir dir;
    AppContext ctx;
    Configuration config;

    Fixture() {
        ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg01.txt"));
        for (int i = 0; i < 200; ++i)
            ctx.Stations.append(
                {QStringLiteral("2%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("Desk"), 0, {}});
        const QString path = dir.filePath(QStringLiteral("tree.maa"));
        bench::writeMaximalTree(path);
        config = makeConfiguration(ctx);
        ChargementArbres(config, path, ctx);
    }
};

// Target: under 0.1 ms for a call through three menu levels of the maximal tree, with a repetition and a
// return on the way.
void BM_CallWalk(benchmark::State& state) {
    Fixture f;
    const flow::CallWalker walker(f.config, f.ctx);
    const QDateTime monday(QDate(2026, 12, 7), QTime(10, 15));
    const auto events = flow::parseCallEvents(QStringLiteral("silence,3,4,*,4,silence,1"));
    qsizetype steps = 0;
    for (auto _ : state) {
        const QList<flow::CallStep> walk = walker.walk(1, monday, *events);
        steps = walk.size();
        benchmark::DoNotOptimize(steps);
    }
    state.counters["steps"] = double(steps);
}
BENCHMARK(BM_CallWalk)->Unit(benchmark::kMicrosecond);

// Target: under 10 ms to compare two maximal trees (5 x 111 menus) that differ by one key.
void BM_DiffMaximalTrees(benchmark::State& state) {
    Fixture f;
    Configuration after = f.config;
    after.sections.setValue(QStringLiteral("M250"), MenuValue::forDigit(4), QStringLiteral("std"));
    const flow::FlowTexts texts(f.ctx.translation);
    int changes = 0;
    for (auto _ : state) {
        changes = flow::compareConfigurations(f.config, after, texts).count();
        benchmark::DoNotOptimize(changes);
    }
    state.counters["changes"] = changes;
}
BENCHMARK(BM_DiffMaximalTrees)->Unit(benchmark::kMillisecond);

} // namespace
