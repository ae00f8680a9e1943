// The whole qavo-cli process, start-up and exit included: what a script pays per call.
#include "maximal_tree.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void runCliProcess(benchmark::State& state, const QString& command, int menuTrees = 5,
                   const QString& program = QStringLiteral(QAVO_CLI)) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tree.maa"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bench::maximalTree(menuTrees)) < 0) {
        state.SkipWithError("cannot write the tree file");
        return;
    }
    file.close();
    for (auto _ : state) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, {command, path});
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() == 2) {
            state.SkipWithError("qavo-cli failed");
            return;
        }
    }
}

// Targets, wall: 5 ms for a tree without menus (a process with Qt Core alone takes about 3), 10 ms for
// the maximal tree. The floor: a process that loads Qt Core and exits, on the same machine.
void BM_ProcessQtCoreAloneStartAndExit(benchmark::State& state) {
    runCliProcess(state, QStringLiteral("nodes"), 0, QStringLiteral(QT_CORE_PROCESS));
}
BENCHMARK(BM_ProcessQtCoreAloneStartAndExit)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliProcessNodesEmptyTree(benchmark::State& state) {
    runCliProcess(state, QStringLiteral("nodes"), 0);
}
BENCHMARK(BM_CliProcessNodesEmptyTree)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliProcessNodesMaximalTree(benchmark::State& state) {
    runCliProcess(state, QStringLiteral("nodes"));
}
BENCHMARK(BM_CliProcessNodesMaximalTree)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliProcessCheckMaximalTree(benchmark::State& state) {
    runCliProcess(state, QStringLiteral("check"));
}
BENCHMARK(BM_CliProcessCheckMaximalTree)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
