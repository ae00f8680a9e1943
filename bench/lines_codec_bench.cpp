#include "lines/record_codec.h"

#include <benchmark/benchmark.h>

namespace {

// A full page of line records as a server sends them: numbers, applications, a few free records.
QList<VoieT2cs> pagePleine() {
    QList<VoieT2cs> voies(MaxVoiesParPage);
    for (int i = 0; i < voies.size(); ++i) {
        if (i % 10 == 9) continue;
        voies[i].setPremier(QString::number(1000 + i * 10));
        voies[i].setDernier(QString::number(1009 + i * 10));
        voies[i].application = quint16(451 + i % 5);
    }
    return voies;
}

// Packing a write request of 96 lines and unpacking a reply of 96 lines (target: under 20 µs).
void BM_PageDe96VoiesPackUnpack(benchmark::State& state) {
    const QList<VoieT2cs> voies = pagePleine();
    QList<VoieT2cs> lues(MaxVoiesParPage);
    QByteArray bloc;
    for (auto _ : state) {
        requeteEcritureVoies(bloc, voies, 0, MaxVoiesParPage);
        ecrireEnteteReponse(bloc, 0, 0, MaxVoiesParPage);
        PageReponse page;
        benchmark::DoNotOptimize(Rd_Par_voie_T2cs(bloc, lues, page));
        benchmark::DoNotOptimize(lues.constData());
    }
}
BENCHMARK(BM_PageDe96VoiesPackUnpack)->Unit(benchmark::kMicrosecond);

// The same page with the numbers turned into text and back, as a read and a write of the grid do.
void BM_PageDe96VoiesAvecTextes(benchmark::State& state) {
    const QList<VoieT2cs> voies = pagePleine();
    QList<VoieT2cs> lues(MaxVoiesParPage);
    QByteArray bloc;
    for (auto _ : state) {
        requeteEcritureVoies(bloc, voies, 0, MaxVoiesParPage);
        ecrireEnteteReponse(bloc, 0, 0, MaxVoiesParPage);
        PageReponse page;
        Rd_Par_voie_T2cs(bloc, lues, page);
        for (VoieT2cs& v : lues) {
            v.setPremier(v.premierTexte());
            v.setDernier(v.dernierTexte());
        }
        benchmark::DoNotOptimize(lues.constData());
    }
}
BENCHMARK(BM_PageDe96VoiesAvecTextes)->Unit(benchmark::kMicrosecond);

} // namespace
