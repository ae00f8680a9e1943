// Sending and fetching a tree-sized file (64 KiB) through cFTP against a local pyftpdlib server,
// over the connection kept since Connect and with a new login each time, in both data modes.
#include "server/ftp_client.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Serveur {
    QTemporaryDir racine;
    QProcess processus;
    int port = 0;

    Serveur() {
        const QString script =
            QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../tests/server/ftp_server.py";
        processus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processus.start(QStringLiteral("/usr/bin/python3"), {script, racine.path(), "bench", "bench"});
        const QDeadlineTimer limite(20000);
        while (!limite.hasExpired() && port == 0 && processus.state() != QProcess::NotRunning) {
            if (processus.canReadLine()) {
                const QByteArray ligne = processus.readLine().trimmed();
                if (ligne.startsWith("PORT ")) port = ligne.mid(5).toInt();
            } else {
                processus.waitForReadyRead(100);
            }
        }
    }
    ~Serveur() {
        processus.kill();
        processus.waitForFinished(5000);
    }
};

Serveur& serveur() {
    static Serveur s;
    return s;
}

void allerRetour(benchmark::State& state, bool connexionGardee) {
    Serveur& s = serveur();
    if (s.port == 0) {
        state.SkipWithError("no FTP server (python3-pyftpdlib for /usr/bin/python3)");
        return;
    }
    const bool passive = state.range(0) != 0;
    QTemporaryDir local;
    const QString envoi = local.filePath(QStringLiteral("arbre.maa"));
    const QString retour = local.filePath(QStringLiteral("retour.maa"));
    QFile f(envoi);
    if (!f.open(QIODevice::WriteOnly) || f.write(QByteArray(64 * 1024, 'x')) != 64 * 1024) {
        state.SkipWithError("cannot write the local file");
        return;
    }
    f.close();
    cFTP ftp;
    const auto connecter = [&] { return ftp.Connect("127.0.0.1", "bench", "bench", passive, s.port); };
    if (connexionGardee && !connecter()) {
        state.SkipWithError("login refused");
        return;
    }
    for (auto _ : state) {
        if (!connexionGardee && !connecter()) state.SkipWithError("login refused");
        if (!ftp.PutFile(envoi, "arbre.maa", cFTP::TransferBinary) ||
            !ftp.GetFile("arbre.maa", retour, cFTP::TransferBinary)) {
            state.SkipWithError("transfer failed");
            break;
        }
        if (!connexionGardee) ftp.Disconnect();
    }
}

void BM_FtpAllerRetourConnexionGardee(benchmark::State& state) {
    allerRetour(state, true);
}
void BM_FtpAllerRetourNouvelleConnexion(benchmark::State& state) {
    allerRetour(state, false);
}

// A 10 MiB file (a recording, a large export) each way over the kept connection, timed apart.
void transfertGros(benchmark::State& state, bool envoi) {
    Serveur& s = serveur();
    if (s.port == 0) {
        state.SkipWithError("no FTP server (python3-pyftpdlib for /usr/bin/python3)");
        return;
    }
    constexpr qint64 taille = 10 * 1024 * 1024;
    QTemporaryDir local;
    const QString source = local.filePath(QStringLiteral("gros.bin"));
    const QString retour = local.filePath(QStringLiteral("retour.bin"));
    QFile f(source);
    QByteArray octets(taille, '\0');
    for (qint64 i = 0; i < taille; ++i)
        octets[i] = char(i * 7 + i / 251);
    if (!f.open(QIODevice::WriteOnly) || f.write(octets) != taille) {
        state.SkipWithError("cannot write the local file");
        return;
    }
    f.close();
    cFTP ftp;
    if (!ftp.Connect("127.0.0.1", "bench", "bench", state.range(0) != 0, s.port) ||
        !ftp.PutFile(source, "gros.bin", cFTP::TransferBinary)) {
        state.SkipWithError("login or first store refused");
        return;
    }
    for (auto _ : state) {
        const bool ok = envoi ? ftp.PutFile(source, "gros.bin", cFTP::TransferBinary)
                              : ftp.GetFile("gros.bin", retour, cFTP::TransferBinary);
        if (!ok) {
            state.SkipWithError("transfer failed");
            break;
        }
    }
    if (!envoi && QFileInfo(retour).size() != taille)
        state.SkipWithError("the file came back with another size");
    state.SetBytesProcessed(state.iterations() * taille);
}

void BM_FtpPutFile10MiB(benchmark::State& state) {
    transfertGros(state, true);
}
void BM_FtpGetFile10MiB(benchmark::State& state) {
    transfertGros(state, false);
}

} // namespace

BENCHMARK(BM_FtpPutFile10MiB)
    ->ArgName("passive")
    ->Arg(1)
    ->Arg(0)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FtpGetFile10MiB)
    ->ArgName("passive")
    ->Arg(1)
    ->Arg(0)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FtpAllerRetourConnexionGardee)
    ->ArgName("passive")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FtpAllerRetourNouvelleConnexion)
    ->ArgName("passive")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);
