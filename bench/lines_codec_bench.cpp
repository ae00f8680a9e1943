#include "lines/record_codec.h"

#include <benchmark/benchmark.h>

namespace {

// A full page of line records as a server sends them: numbers, applications, a few free records.
QList<VoieT2cs> pagePleine() {
    QList<VoieT2cs> records(MaxLinesPerPage);
    for (int i = 0; i < records.size(); ++i) {
        if (i % 10 == 9) continue;
        records[i].setFirst(QString::number(1000 + i * 10));
        records[i].setLast(QString::number(1009 + i * 10));
        records[i].application = quint16(451 + i % 5);
    }
    return records;
}

// Packing a write request of 96 lines and unpacking a reply of 96 lines (target: under 20 µs).
void BM_PageDe96VoiesPackUnpack(benchmark::State& state) {
    const QList<VoieT2cs> records = pagePleine();
    QList<VoieT2cs> read(MaxLinesPerPage);
    QByteArray block;
    for (auto _ : state) {
        requestWriteLines(block, records, 0, MaxLinesPerPage);
        writeReplyHeader(block, 0, 0, MaxLinesPerPage);
        ReplyPage page;
        benchmark::DoNotOptimize(Rd_Par_voie_T2cs(block, read, page));
        benchmark::DoNotOptimize(read.constData());
    }
}
BENCHMARK(BM_PageDe96VoiesPackUnpack)->Unit(benchmark::kMicrosecond);

// The same page with the numbers turned into text and back, as a read and a write of the grid do.
void BM_PageDe96VoiesAvecTextes(benchmark::State& state) {
    const QList<VoieT2cs> records = pagePleine();
    QList<VoieT2cs> read(MaxLinesPerPage);
    QByteArray block;
    for (auto _ : state) {
        requestWriteLines(block, records, 0, MaxLinesPerPage);
        writeReplyHeader(block, 0, 0, MaxLinesPerPage);
        ReplyPage page;
        Rd_Par_voie_T2cs(block, read, page);
        for (VoieT2cs& v : read) {
            v.setFirst(v.firstText());
            v.setLast(v.lastText());
        }
        benchmark::DoNotOptimize(read.constData());
    }
}
BENCHMARK(BM_PageDe96VoiesAvecTextes)->Unit(benchmark::kMicrosecond);

} // namespace
