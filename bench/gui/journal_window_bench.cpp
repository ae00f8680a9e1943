// What a user waits for in the main window on the largest configuration (five trees of 111 menus, 555
// in all), each timed until the events it causes are processed and the window is painted again.
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "editor/tree_document.h"
#include "model/example_tree.h"
#include "model/tree_file.h"
#include "model/undo_journal.h"

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct LargestWindow {
    QTemporaryDir dir;
    AppContext ctx;
    ScriptedPrompts prompts;
    platform::NoPacing noPacing;
    std::unique_ptr<TreeDocument> document;
    std::unique_ptr<frmMain> window;
    QString file;

    LargestWindow() {
        // The user's own settings (recent files, last folder) stay out of it.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir.filePath(QStringLiteral("settings")));
        example::setUpContext(ctx, 5);
        // The captions a user sees: the plan and the journal write them out.
        ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg01.txt"));
        ctx.programDir = dir.path();
        ctx.repTMP = dir.path() + QStringLiteral("/TMP/");
        QDir().mkpath(ctx.repTMP);
        Configuration source;
        example::maximalTrees(source, ctx);
        file = dir.filePath(QStringLiteral("largest.maa"));
        SaveArbre(source, file, true, ctx);
        ctx.fileAOuvrir = file;

        document = std::make_unique<TreeDocument>(ctx);
        document->setPacing(noPacing);
        window = std::make_unique<frmMain>(*document, prompts);
        window->resize(1100, 760);
        window->show();
        window->Form_Load();
        settle();
    }
    ~LargestWindow() { window.reset(); }

    // The events the operation caused, the repaint of what it changed among them.
    void settle() {
        QApplication::processEvents();
        QApplication::processEvents(); // updates requested while the first events ran
    }
};

void BM_WindowOpensTreeFileUntilPainted(benchmark::State& state) {
    LargestWindow l;
    for (auto _ : state) {
        l.window->OuvertureFichierArbre(l.file);
        l.settle();
    }
    state.counters["nodes"] = l.document->config().nodes.count();
}
BENCHMARK(BM_WindowOpensTreeFileUntilPainted)->Unit(benchmark::kMillisecond);

void BM_WindowCheckCommandWithoutPausesUntilPainted(benchmark::State& state) {
    LargestWindow l;
    for (auto _ : state) {
        l.window->mnuValide_Click();
        l.settle();
        state.PauseTiming();
        l.document->diagnostics().clear(); // a session's list, not an ever-growing one
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowCheckCommandWithoutPausesUntilPainted)->Unit(benchmark::kMillisecond);

void BM_WindowRecordsJournalStepUntilPainted(benchmark::State& state) {
    LargestWindow l;
    l.window->treeV_NodeClick(QStringLiteral("E-M555-1"));
    int steps = 0;
    for (auto _ : state) {
        if (++steps % 100 == 0) { // a session's journal, not an ever-growing folder
            state.PauseTiming();
            l.document->journal().clearCancel(0);
            l.document->recordStep(QStringLiteral("Start"), true);
            state.ResumeTiming();
        }
        l.document->recordStep(QStringLiteral("Action"), true);
        l.settle();
    }
}
BENCHMARK(BM_WindowRecordsJournalStepUntilPainted)->Unit(benchmark::kMillisecond);

void BM_WindowRestoresJournalStepUntilPainted(benchmark::State& state) {
    LargestWindow l;
    l.window->treeV_NodeClick(QStringLiteral("E-M555-1"));
    l.document->recordStep(QStringLiteral("Action"), true);
    UndoJournal& journal = l.document->journal();
    for (auto _ : state) {
        journal.goTo(journal.cancelPosition() == 0 ? 1 : 0);
        l.settle();
    }
}
BENCHMARK(BM_WindowRestoresJournalStepUntilPainted)->Unit(benchmark::kMillisecond);

void BM_WindowTypedCharacterWithJournalUntilPainted(benchmark::State& state) {
    LargestWindow l;
    l.window->treeV_NodeClick(QStringLiteral("M555"));
    l.settle();
    auto* name = l.window->findChild<QLineEdit*>(QStringLiteral("txtLib_1"));
    name->setFocus();
    int typed = 0;
    for (auto _ : state) {
        if (++typed % 20 == 0) name->clear();
        QTest::keyClick(name, Qt::Key_A);
        l.settle();
    }
}
BENCHMARK(BM_WindowTypedCharacterWithJournalUntilPainted)->Unit(benchmark::kMicrosecond);

} // namespace
