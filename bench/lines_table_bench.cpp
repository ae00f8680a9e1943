#include "core/translation.h"
#include "lines/line_csv.h"
#include "lines/line_files.h"
#include "lines/line_rules.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kLabels = QStringLiteral(
    "\r\n[LANGID]\r\n1=1033\r\n[frmVoies900]\r\nDebugLigne=Line #\r\nDebugErr1=no destination\r\n"
    "DebugErr2=code without VP\r\nDebugErr3=planning without destination\r\nGrille_1=Calling\r\n");

struct Fixture {
    QTemporaryDir dir;
    Translation labels;
    LineNames names;

    Fixture() {
        labels.setText(kLabels);
        names.applications = ApplicationDirectory({{300, "Fax", "", ""}, {451, "Accueil", "", ""}});
    }
    QString write(const QString& name, const QByteArray& bytes) const {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
};

// A server file of count lines, every third one with a fault the checks report, some labels accented.
QByteArray serverFile(int count) {
    QByteArray bytes = "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n";
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(100000 + i);
        bytes += n + ";" + n + ";" + (i % 3 == 0 ? "12" : "") + ";" + (i % 5 == 0 ? "300" : "451") +
                 ";;451;;" + QByteArray::number(i % 10) + ";" +
                 (i % 3 == 0 ? QByteArray() : QByteArray::number(i % 8)) + ";1;Ligne " +
                 (i % 2 ? "d\xC3\xA9tail" : "d\xE9tail") + "\r\n";
    }
    return bytes;
}

// Target: under 50 ms to read "rcm.cfg" of 10,000 lines from disk (5,000 kept) and check the table.
void BM_ReadRcmCfg10000LinesFromDiskAndVerifDebug(benchmark::State& state) {
    Fixture f;
    const QString path = f.write(QStringLiteral("rcm.cfg"), serverFile(10000));
    LineTable table;
    qsizetype findings = 0;
    for (auto _ : state) {
        loadLineFile(table, f.names, path);
        findings = verifDebug(table, f.labels).size();
        benchmark::DoNotOptimize(findings);
    }
    state.counters["lines"] = table.lineCount();
    state.counters["findings"] = double(findings);
}
BENCHMARK(BM_ReadRcmCfg10000LinesFromDiskAndVerifDebug)->Unit(benchmark::kMillisecond);

// Target: under 30 ms to export 5,000 lines to a CSV file on disk and import that file again.
void BM_ExportCsv5000LinesToDiskThenImport(benchmark::State& state) {
    Fixture f;
    LineTable table;
    readLineTable(table, f.names, serverFile(lineCapacity));
    const QString path = f.dir.filePath(QStringLiteral("lines.csv"));
    for (auto _ : state) {
        exportCsv(table, path, f.labels);
        importCsv(table, f.names, path, f.labels);
        benchmark::DoNotOptimize(table.lineCount());
    }
    state.counters["lines"] = table.lineCount();
}
BENCHMARK(BM_ExportCsv5000LinesToDiskThenImport)->Unit(benchmark::kMillisecond);

} // namespace
