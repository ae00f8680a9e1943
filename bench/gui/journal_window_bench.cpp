// The undo journal in the main window on the largest configuration (five trees of 111 menus, 555 in
// all): recording a step (target under 5 ms) and going to a step, which reloads the tree file, rebuilds
// the tree view and redisplays the recorded node in the window's detail panels (target under 50 ms).
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "model/example_tree.h"
#include "model/tree_file.h"

#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct LargestWindow {
    QTemporaryDir dir;
    AppContext ctx;
    ScriptedPrompts prompts;
    std::unique_ptr<frmMain> window;

    LargestWindow() {
        // The user's own settings (recent files, last folder) stay out of it.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir.filePath(QStringLiteral("settings")));
        example::setUpContext(ctx, 5);
        ctx.programDir = dir.path();
        ctx.repTMP = dir.path() + QStringLiteral("/TMP/");
        QDir().mkpath(ctx.repTMP);
        Configuration source;
        example::maximalTrees(source, ctx);
        ctx.fileAOuvrir = dir.filePath(QStringLiteral("largest.maa"));
        SaveArbre(source, ctx.fileAOuvrir, true, ctx);

        window = std::make_unique<frmMain>(ctx, prompts);
        window->resize(1100, 760);
        window->show();
        window->Form_Load();
    }
};

void BM_WindowJournalRecordStep(benchmark::State& state) {
    LargestWindow l;
    l.window->treeV_NodeClick(QStringLiteral("E-M555-1"));
    int steps = 0;
    for (auto _ : state) {
        if (++steps % 100 == 0) { // a session's journal, not an ever-growing folder
            state.PauseTiming();
            l.window->journal().clearCancel(0);
            l.window->addCancel(QStringLiteral("Start"), true);
            state.ResumeTiming();
        }
        l.window->addCancel(QStringLiteral("Action"), true);
    }
    state.counters["nodes"] = l.window->config().nodes.count();
}
BENCHMARK(BM_WindowJournalRecordStep)->Unit(benchmark::kMillisecond);

void BM_WindowJournalTypedCharacter(benchmark::State& state) {
    LargestWindow l;
    for (auto _ : state)
        l.window->addCancel(QStringLiteral("$$LAST_ACTION$$"), true);
}
BENCHMARK(BM_WindowJournalTypedCharacter)->Unit(benchmark::kMillisecond);

void BM_WindowJournalRestoreStep(benchmark::State& state) {
    LargestWindow l;
    l.window->treeV_NodeClick(QStringLiteral("E-M555-1"));
    l.window->addCancel(QStringLiteral("Action"), true);
    for (auto _ : state)
        l.window->journal().goTo(l.window->journal().cancelPosition() == 0 ? 1 : 0);
    state.counters["nodes"] = l.window->config().nodes.count();
}
BENCHMARK(BM_WindowJournalRestoreStep)->Unit(benchmark::kMillisecond);

} // namespace
