// The generation-500 line table read by the editor's own client from qavo-sim over loopback: the general
// record, the line records in pages of 96 and the application names, as the line window loads them.
#include "core/app_context.h"
#include "lines/lines500.h"
#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "support/sim_process.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "qavo_bench";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) static QCoreApplication app(argc, argv);
}

// 2,000 lines in pages of 96: 21 requests 103.
void BM_Read2000Lines500(benchmark::State& state) {
    ensureApplication();
    QTemporaryDir seed;
    QFile::copy(QStringLiteral(QAVO_RESOURCES "/server-example-500/applications.txt"),
                seed.filePath(QStringLiteral("applications.txt")));
    if (QProcess::execute(QStringLiteral(QAVO_SIM),
                          {QStringLiteral("--make-500"), seed.filePath(QStringLiteral("voies500.bin")),
                           QString::number(state.range(0))}) != 0) {
        state.SkipWithError("qavo-sim --make-500 failed");
        return;
    }
    testing_support::SimProcess sim(QStringList{}, seed.path());
    AppContext ctx;
    ctx.modeLocal = false;
    ctx.HADDR = QStringLiteral("127.0.0.1");
    ctx.HPORT = QString::number(sim.port());
    ctx.USER = QStringLiteral("u");
    ctx.PASS = QStringLiteral("p");
    passerelleOf(ctx).setGateway(std::make_unique<HttpGateway>());
    int lines = 0;
    for (auto _ : state) {
        // A new table each time: the names are looked up again, as when the window opens.
        Lines500 records(ctx);
        if (!records.read()) {
            state.SkipWithError("read failed");
            return;
        }
        lines = records.lineCount();
    }
    state.counters["lines"] = lines;
}
BENCHMARK(BM_Read2000Lines500)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
