// The server commands of the main window on the largest configuration (five trees of 111 menus)
// against qavo-sim over loopback, each timed from the command to the window painted with the
// server's tree: the whole wait of the user once the question is answered.
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "editor/tree_document.h"
#include "model/example_tree.h"
#include "model/tree_file.h"
#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "support/sim_process.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct OnlineWindow {
    QTemporaryDir dir;
    testing_support::SimProcess sim;
    AppContext ctx;
    ScriptedPrompts prompts;
    platform::NoPacing noPacing;
    std::unique_ptr<TreeDocument> document;
    std::unique_ptr<frmMain> window;

    OnlineWindow() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir.filePath(QStringLiteral("settings")));
        example::setUpContext(ctx, 5);
        // The captions a user sees: the plan and the journal write them out.
        ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg01.txt"));
        ctx.programDir = dir.path();
        ctx.RepData = dir.path() + QStringLiteral("/");
        ctx.repTMP = dir.path() + QStringLiteral("/TMP/");
        QDir().mkpath(ctx.repTMP);
        ctx.fileServeur = ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa");
        ctx.modeLocal = false;
        ctx.HADDR = QStringLiteral("127.0.0.1");
        ctx.HPORT = QString::number(sim.port());
        ctx.USER = QStringLiteral("u");
        ctx.PASS = QStringLiteral("p");
        passerelleOf(ctx).setGateway(std::make_unique<HttpGateway>());

        // The server's lists name what the tree uses, so that it passes the check.
        for (int n = 1; n <= 30; ++n) {
            Announcement a;
            a.number = n;
            a.flags[0] = 1;
            ctx.Announcements.append(a);
        }
        for (const char* number : {"201", "300"}) {
            Station s;
            s.number = QString::fromLatin1(number);
            ctx.Stations.append(s);
        }
        // The server holds the largest tree, complete; the editor starts on its copy.
        Configuration largest;
        example::maximalTrees(largest, ctx);
        const QString onServer = sim.root() + QStringLiteral("/arbre.maa");
        SaveArbre(largest, onServer, true, ctx);
        QFile file(onServer);
        file.open(QIODevice::ReadOnly);
        const QByteArray complete = file.readAll().replace("exit_fer=ann;12;;", "exit_fer=ann;12;2;2");
        file.close();
        file.open(QIODevice::WriteOnly);
        file.write(complete);
        file.close();
        QFile::copy(onServer, ctx.fileServeur);
        ctx.fileAOuvrir = ctx.fileServeur;

        document = std::make_unique<TreeDocument>(ctx);
        document->setPacing(noPacing);
        window = std::make_unique<frmMain>(*document, prompts);
        window->resize(1100, 760);
        window->show();
        window->Form_Load();
        settle();
    }
    ~OnlineWindow() { window.reset(); }

    bool ready() const { return sim.port() != 0 && document->config().nodes.count() > 500; }
    void settle() {
        QApplication::processEvents();
        QApplication::processEvents();
    }
    void run(const char* command) {
        prompts.answers << Prompts::Answer::Yes;
        window->findChild<QAction*>(QLatin1String(command))->trigger();
        settle();
    }
};

void BM_WindowFetchCommandWithReopenUntilPainted(benchmark::State& state) {
    OnlineWindow w;
    if (!w.ready()) return state.SkipWithError("the simulator or the largest tree is missing");
    for (auto _ : state)
        w.run("mnuRecup");
    if (!w.prompts.shown.isEmpty() && w.prompts.shown.last().kind != QLatin1String("question"))
        state.SkipWithError("the fetch failed");
}
BENCHMARK(BM_WindowFetchCommandWithReopenUntilPainted)->Unit(benchmark::kMillisecond);

// Check, write, backup fetch, store, fetch back and reopen.
void BM_WindowSendCommandWithCheckStoreAndReopenUntilPainted(benchmark::State& state) {
    OnlineWindow w;
    if (!w.ready()) return state.SkipWithError("the simulator or the largest tree is missing");
    for (auto _ : state) {
        w.run("mnuEnvoi");
        state.PauseTiming();
        w.document->diagnostics().clear();
        state.ResumeTiming();
    }
    const QString lastKind = w.prompts.shown.isEmpty() ? QString() : w.prompts.shown.last().kind;
    if (lastKind != QLatin1String("question"))
        state.SkipWithError(
            qPrintable(QStringLiteral("the send was refused or failed: ") + w.prompts.shown.last().text));
}
BENCHMARK(BM_WindowSendCommandWithCheckStoreAndReopenUntilPainted)->Unit(benchmark::kMillisecond);

} // namespace
