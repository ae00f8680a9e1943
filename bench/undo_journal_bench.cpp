// Recording and restoring journal steps on the largest configuration the server accepts: five active
// trees, each with a full three-level menu tree (1 + 10 + 100 menus, 555 in all). Targets: recording a
// step under 5 ms, restoring one under 50 ms.
#include "core/app_context.h"
#include "model/configuration.h"
#include "model/journal_host.h"
#include "model/tree_file.h"
#include "model/undo_journal.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>

namespace {

QString menuSection(int number, const std::function<QString(int digit)>& keyValue) {
    QString s = QStringLiteral("[M%1]\r\nlib=Menu %1\r\nhor=1\r\nann=11\r\nrep=2\r\nsil=2\r\n").arg(number);
    for (int d = 0; d <= 9; ++d)
        s += QStringLiteral("%1=%2\r\n").arg(d).arg(keyValue(d));
    return s;
}

QString subMenuOf(int first, int digit) {
    return QStringLiteral("men;M%1").arg(first + digit);
}

// Tree file text with every tree active and every menu level full.
QByteArray maximalTreeFile() {
    QString text = QStringLiteral("[general]\r\ncode_retour=*\r\ncode_dialing=#\r\ntp_inter_digit=10\r\n");
    int next = 1;
    for (int tree = 1; tree <= 5; ++tree) {
        const int root = next++;
        text +=
            QStringLiteral("[A%1]\r\nlib=Tree %1\r\nann1=10\r\nann2=\r\nrep2=2\r\nlangue=1\r\nmenu=M%2\r\n"
                           "exit_trf=std\r\nexit_fer=std\r\nexit_nac=std\r\n")
                .arg(tree)
                .arg(root);
        const int level2 = next;
        next += 10;
        text += menuSection(root, [&](int d) { return subMenuOf(level2, d); });
        for (int i = 0; i < 10; ++i) {
            const int level3 = next;
            next += 10;
            text += menuSection(level2 + i, [&](int d) { return subMenuOf(level3, d); });
            for (int d = 0; d <= 9; ++d)
                text += menuSection(level3 + d, [](int key) { return QStringLiteral("trf;20%1").arg(key); });
        }
    }
    return text.toLatin1();
}

class BenchHost : public ConfigurationJournalHost {
public:
    using ConfigurationJournalHost::ConfigurationJournalHost;
    QString selectedNodeKey() const override { return QStringLiteral("A1"); }
    void showNode(const QString&) override {}
    void setBoolSave(bool saved) override { m_config.boolSave = saved; }
};

AppContext contextIn(const QTemporaryDir& dir) {
    AppContext ctx;
    ctx.repTMP = dir.path() + QLatin1Char('/');
    ctx.Nb_arbre = 5;
    return ctx;
}

struct Fixture {
    Fixture() {
        const QString source = dir.filePath(QStringLiteral("maximal.maa"));
        QFile file(source);
        if (file.open(QIODevice::WriteOnly)) file.write(maximalTreeFile());
        file.close();
        ChargementArbres(config, source, ctx);
        QFile::remove(source);
    }
    QTemporaryDir dir;
    AppContext ctx = contextIn(dir); // before the journal, which keeps its folder
    Configuration config;
    BenchHost host{config, ctx};
    UndoJournal journal{host, ctx.repTMP, ctx.translation};
};

int menuCount(const Configuration& config) {
    int menus = 0;
    for (int id : config.nodes.insertionOrder())
        menus += config.nodes.node(id).key.startsWith(QLatin1Char('M')) ? 1 : 0;
    return menus;
}

void BM_JournalRecordStep(benchmark::State& state) {
    Fixture f;
    f.journal.addCancel(QStringLiteral("HistoDeb"), true);
    int steps = 0;
    for (auto _ : state) {
        if (++steps % 100 == 0) { // keep the folder small, as a user's session would
            state.PauseTiming();
            f.journal.clearCancel(0);
            f.journal.addCancel(QStringLiteral("HistoDeb"), true);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(f.journal.addCancel(QStringLiteral("HistoAction"), true));
    }
    state.counters["menus"] = menuCount(f.config);
}
BENCHMARK(BM_JournalRecordStep)->Unit(benchmark::kMillisecond);

void BM_JournalRecordTyping(benchmark::State& state) {
    Fixture f;
    f.journal.addCancel(QStringLiteral("HistoDeb"), true);
    for (auto _ : state)
        benchmark::DoNotOptimize(f.journal.addCancel(UndoJournal::LastAction, true));
}
BENCHMARK(BM_JournalRecordTyping)->Unit(benchmark::kMillisecond);

void BM_JournalRestoreStep(benchmark::State& state) {
    Fixture f;
    f.journal.addCancel(QStringLiteral("HistoDeb"), true);
    f.journal.addCancel(QStringLiteral("HistoAction"), true);
    for (auto _ : state) {
        f.journal.goTo(f.journal.cancelPosition() == 0 ? 1 : 0);
    }
    state.counters["menus"] = menuCount(f.config);
}
BENCHMARK(BM_JournalRestoreStep)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The formatting part of a step alone, to tell it from the disk's share.
void BM_JournalStepBytes(benchmark::State& state) {
    Fixture f;
    for (auto _ : state)
        benchmark::DoNotOptimize(treeFileBytes(f.config));
}
BENCHMARK(BM_JournalStepBytes)->Unit(benchmark::kMillisecond);

} // namespace
