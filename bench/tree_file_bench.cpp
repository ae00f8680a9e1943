#include "core/app_context.h"
#include "model/tree_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kLabels =
    QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[LABELS]\r\nNoeudArbre=Tree\r\nactVide=No action\r\n"
                   "actTransfert=Transfer\r\nactAnn=Announcement\r\nactStd=Operator\r\n");

// Appends one menu section whose keys either open the given sub-menus or hold ordinary actions.
void appendMenu(QString& text, int number, const QList<int>& subMenus) {
    text += QStringLiteral("[M%1]\r\nlib=Menu number %1\r\nhor=1\r\nann=%2\r\nrep=2\r\nsil=2\r\n")
                .arg(number)
                .arg(number % 97);
    for (int d = 0; d <= 9; ++d) {
        if (d < subMenus.size())
            text += QStringLiteral("%1=men;M%2\r\n").arg(d).arg(subMenus[d]);
        else
            text += QStringLiteral("%1=trf;2%2\r\n").arg(d).arg(number % 100, 2, 10, QLatin1Char('0'));
    }
}

// A tree file with five trees; the first menuTrees of them carry a full three-level menu tree
// (1 + 10 + 100 menus, every key of the third level an action).
QByteArray maximalTree(int menuTrees) {
    QString text = QStringLiteral("[general]\r\ncode_retour=*\r\ncode_dialing=#\r\ntp_inter_digit=10\r\n");
    for (int h = 1; h <= 10; ++h)
        text +=
            QStringLiteral(
                "[H%1]\r\nlun=08:00-12:00/14:00-18:00\r\nmar=\r\nmer=\r\njeu=\r\nven=\r\nsam=\r\ndim=\r\n")
                .arg(h);
    int next = 1;
    for (int t = 1; t <= 5; ++t) {
        const int root = t <= menuTrees ? next : 0;
        text +=
            QStringLiteral("[A%1]\r\nlib=Tree %1\r\nann1=1\r\nann2=\r\nrep2=2\r\nlangue=1;2\r\nmenu=%2\r\n"
                           "exit_trf=std\r\nexit_fer=ann;3;;\r\nexit_nac=std\r\n")
                .arg(t)
                .arg(root ? QStringLiteral("M%1").arg(root) : QString());
        if (!root) continue;
        ++next;
        QList<int> level2;
        for (int i = 0; i < 10; ++i)
            level2 << next++;
        appendMenu(text, root, level2);
        for (int m2 : level2) {
            QList<int> level3;
            for (int i = 0; i < 10; ++i)
                level3 << next++;
            appendMenu(text, m2, level3);
            for (int m3 : level3)
                appendMenu(text, m3, {});
        }
    }
    text += QStringLiteral("\r\n");
    return text.toLatin1();
}

struct Fixture {
    QTemporaryDir dir;
    AppContext ctx;
    QString path;

    explicit Fixture(int menuTrees) {
        ctx.translation.setText(kLabels);
        path = dir.filePath(QStringLiteral("tree.maa"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(maximalTree(menuTrees));
    }

    Configuration configuration() const {
        Configuration c;
        c.actionTypes = makeActionTypes(ctx.translation);
        c.schedules = makeSchedules(ctx.translation);
        return c;
    }
};

// Target: under 20 ms for the maximal tree (555 menus, 5 trees).
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
