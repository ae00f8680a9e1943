// Exchanges with qavo-sim over loopback, with no pauses: what the gateway and the transfers cost. The
// times are wall-clock ones, the simulator working in its own process.
#include "maximal_tree.h"

#include "core/app_context.h"
#include "model/configuration.h"
#include "model/tree_file.h"
#include "platform/pacing.h"
#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "server/server_transfers.h"
#include "support/sim_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The network classes need an application object; benchmark_main gives none.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "qavo_bench";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) static QCoreApplication app(argc, argv);
}

// A simulator whose tree is the maximal one, and a context connected to it.
struct Online {
    QTemporaryDir seed, work;
    std::unique_ptr<testing_support::SimProcess> sim;
    AppContext ctx;
    platform::NoPacing pacing;

    Online() {
        ensureApplication();
        QFile tree(seed.filePath(QStringLiteral("arbre.maa")));
        tree.open(QIODevice::WriteOnly);
        tree.write(bench::maximalTree(5));
        tree.close();
        sim = std::make_unique<testing_support::SimProcess>(QStringList{}, seed.path());
        ctx.modeLocal = false;
        ctx.HADDR = QStringLiteral("127.0.0.1");
        ctx.HPORT = QString::number(sim->port());
        ctx.USER = QStringLiteral("u");
        ctx.PASS = QStringLiteral("p");
        ctx.RepData = work.path() + QStringLiteral("/");
        ctx.repTMP = ctx.RepData;
        ctx.fileServeur = ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa");
        passerelleOf(ctx).setGateway(std::make_unique<HttpGateway>());
    }
};

// The server's maximal tree (555 menus, about 100 KB) fetched into fileServeur.
void BM_FetchMaximalTree(benchmark::State& state) {
    Online o;
    for (auto _ : state)
        if (server_transfers::fetchTree(o.ctx, o.ctx.fileServeur, o.pacing) !=
            server_transfers::FetchResult::Fetched)
            state.SkipWithError(server_transfers::lastReason(o.ctx).toUtf8().constData());
    state.counters["bytes"] = double(QFile(o.ctx.fileServeur).size());
}
BENCHMARK(BM_FetchMaximalTree)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole send of the maximal tree (written, the previous one fetched, stored), then fetched back.
void BM_SendMaximalTreeAndFetchBack(benchmark::State& state) {
    Online o;
    Configuration config = makeConfiguration(o.ctx);
    ChargementArbres(config, o.sim->root() + QStringLiteral("/arbre.maa"), o.ctx);
    for (auto _ : state) {
        if (server_transfers::sendTree(o.ctx, config, o.pacing) != server_transfers::StoreResult::Stored ||
            server_transfers::fetchTree(o.ctx, o.ctx.fileServeur, o.pacing) !=
                server_transfers::FetchResult::Fetched)
            state.SkipWithError(server_transfers::lastReason(o.ctx).toUtf8().constData());
    }
    state.counters["nodes"] = double(config.nodes.count());
}
BENCHMARK(BM_SendMaximalTreeAndFetchBack)->Unit(benchmark::kMillisecond)->UseRealTime();

// The maximal tree stored alone: one PUT of about 100 KB, the part of the send that waits on the
// network rather than on the disk.
void BM_StoreMaximalTree(benchmark::State& state) {
    Online o;
    const QString local = o.ctx.repTMP + QStringLiteral("envoi.maa");
    QFile::copy(o.sim->root() + QStringLiteral("/arbre.maa"), local);
    Passerelle& link = passerelleOf(o.ctx);
    for (auto _ : state)
        if (link.PutFileHTTP_QAVO(o.ctx, local, QStringLiteral("arbre.maa")) != 0)
            state.SkipWithError(link.lastError().toUtf8().constData());
}
BENCHMARK(BM_StoreMaximalTree)->Unit(benchmark::kMillisecond)->UseRealTime();

// 1,000 information requests one after the other, as the line tables make them.
void BM_ThousandInformationRequests(benchmark::State& state) {
    Online o;
    Passerelle& link = passerelleOf(o.ctx);
    QByteArray buffer(Passerelle::BufferSize, '\0');
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            bool replied = false;
            link.GetIhmInfo(o.ctx, buffer, 512, &replied);
            if (!replied) {
                state.SkipWithError(link.lastError().toUtf8().constData());
                return;
            }
        }
    }
    state.counters["per_request_s"] = benchmark::Counter(
        double(state.iterations()) * 1000, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ThousandInformationRequests)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
