// The local history: recording one event, listing a thousand revisions, and the disk a thousand
// revisions of the maximal tree take.
#include "history/history.h"
#include "history/transfer_recorder.h"
#include "maximal_tree.h"

#include "core/app_context.h"
#include "server/server_transfers.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The maximal tree with one menu renamed: each revision differs from the last as an edit would.
QByteArray revisionOfMaximalTree(int n) {
    static const QByteArray tree = bench::maximalTree(5);
    QByteArray bytes = tree;
    const QByteArray name = "lib=Menu number " + QByteArray::number(1 + n % 500) + "\r\n";
    return bytes.replace(name, "lib=Revision " + QByteArray::number(n) + "\r\n");
}

bool recordRevision(const QString& root, int n) {
    QString revision;
    return history::recordAt(root, QStringLiteral("127.0.0.1_8080"), QStringLiteral("send"),
                             {{QStringLiteral("arbre.maa"), revisionOfMaximalTree(n)}},
                             {QStringLiteral("Arbre 1 > Menu, nom : a -> b")}, QStringLiteral("bench"),
                             QStringLiteral("u@127.0.0.1_8080"), &revision)
               .isEmpty() &&
           !revision.isEmpty();
}

qint64 folderBytes(const QString& root) {
    qint64 total = 0;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        total += QFileInfo(it.next()).size();
    return total;
}

// A history of 1,000 revisions of the maximal tree, made once for the benchmarks that read it.
const QString& thousandRevisions() {
    static QTemporaryDir dir;
    static const QString root = [] {
        const QString path = dir.filePath(QStringLiteral("history"));
        for (int n = 0; n < 1000; ++n)
            recordRevision(path, n);
        return path;
    }();
    return root;
}

void BM_HistoryRecordOneEventOfTheMaximalTree(benchmark::State& state) {
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("history"));
    int n = 0;
    for (auto _ : state)
        if (!recordRevision(root, n++)) state.SkipWithError("not recorded");
}
BENCHMARK(BM_HistoryRecordOneEventOfTheMaximalTree)->Unit(benchmark::kMillisecond)->Iterations(300);

// The whole of what a transfer adds: the server's last revision read, both trees compared for the change
// lines, then the commit.
void BM_HistoryRecordTransferWithChangeLinesOfTheMaximalTree(benchmark::State& state) {
    QTemporaryDir dir;
    qputenv("QAVO_HISTORY_DIR", QFile::encodeName(dir.filePath(QStringLiteral("history"))));
    history::installTransferRecorder();
    AppContext ctx;
    ctx.HADDR = QStringLiteral("127.0.0.1");
    ctx.HPORT = QStringLiteral("8080");
    int n = 0;
    for (auto _ : state) {
        ctx.lastRevision.clear();
        server_transfers::recordTransfer(ctx, QStringLiteral("send"),
                                         {{QStringLiteral("arbre.maa"), revisionOfMaximalTree(n++)}}, true);
        if (ctx.lastRevision.isEmpty()) state.SkipWithError("not recorded");
    }
    server_transfers::setTransferRecorder({});
    qunsetenv("QAVO_HISTORY_DIR");
}
BENCHMARK(BM_HistoryRecordTransferWithChangeLinesOfTheMaximalTree)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

void BM_HistoryListThousandRevisions(benchmark::State& state) {
    const QString& root = thousandRevisions();
    for (auto _ : state) {
        const history::Repository repo(root);
        const qsizetype listed = repo.revisions(QStringLiteral("127.0.0.1_8080")).size();
        if (listed != 1000) state.SkipWithError("not 1000 revisions");
    }
}
BENCHMARK(BM_HistoryListThousandRevisions)->Unit(benchmark::kMillisecond);

// Not a time: the counter MB is what the history folder holds after 1,000 revisions.
void BM_HistoryDiskOfThousandMaximalTrees(benchmark::State& state) {
    const QString& root = thousandRevisions();
    for (auto _ : state)
        benchmark::DoNotOptimize(folderBytes(root));
    state.counters["MB"] = double(folderBytes(root)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_HistoryDiskOfThousandMaximalTrees)->Iterations(1);

} // namespace
