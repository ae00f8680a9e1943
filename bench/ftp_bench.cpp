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

struct Server {
    QTemporaryDir root;
    QProcess process;
    int port = 0;

    Server() {
        const QString script =
            QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../tests/server/ftp_server.py";
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral("/usr/bin/python3"), {script, root.path(), "bench", "bench"});
        const QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() && port == 0 && process.state() != QProcess::NotRunning) {
            if (process.canReadLine()) {
                const QByteArray line = process.readLine().trimmed();
                if (line.startsWith("PORT ")) port = line.mid(5).toInt();
            } else {
                process.waitForReadyRead(100);
            }
        }
    }
    ~Server() {
        process.kill();
        process.waitForFinished(5000);
    }
};

Server& server() {
    static Server s;
    return s;
}

void roundTrip(benchmark::State& state, bool keepConnection) {
    Server& s = server();
    if (s.port == 0) {
        state.SkipWithError("no FTP server (python3-pyftpdlib for /usr/bin/python3)");
        return;
    }
    const bool passive = state.range(0) != 0;
    QTemporaryDir local;
    const QString sending = local.filePath(QStringLiteral("arbre.maa"));
    const QString back = local.filePath(QStringLiteral("retour.maa"));
    QFile f(sending);
    if (!f.open(QIODevice::WriteOnly) || f.write(QByteArray(64 * 1024, 'x')) != 64 * 1024) {
        state.SkipWithError("cannot write the local file");
        return;
    }
    f.close();
    cFTP ftp;
    const auto connect = [&] { return ftp.Connect("127.0.0.1", "bench", "bench", passive, s.port); };
    if (keepConnection && !connect()) {
        state.SkipWithError("login refused");
        return;
    }
    for (auto _ : state) {
        if (!keepConnection && !connect()) state.SkipWithError("login refused");
        if (!ftp.PutFile(sending, "arbre.maa", cFTP::TransferBinary) ||
            !ftp.GetFile("arbre.maa", back, cFTP::TransferBinary)) {
            state.SkipWithError("transfer failed");
            break;
        }
        if (!keepConnection) ftp.Disconnect();
    }
}

void BM_FtpRoundTripKeptConnection(benchmark::State& state) {
    roundTrip(state, true);
}
void BM_FtpRoundTripNewConnection(benchmark::State& state) {
    roundTrip(state, false);
}

// A 10 MiB file (a recording, a large export) each way over the kept connection, timed apart.
void largeTransfer(benchmark::State& state, bool sending) {
    Server& s = server();
    if (s.port == 0) {
        state.SkipWithError("no FTP server (python3-pyftpdlib for /usr/bin/python3)");
        return;
    }
    constexpr qint64 size = 10 * 1024 * 1024;
    QTemporaryDir local;
    const QString source = local.filePath(QStringLiteral("gros.bin"));
    const QString back = local.filePath(QStringLiteral("retour.bin"));
    QFile f(source);
    QByteArray bytes(size, '\0');
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != size) {
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
        const bool ok = sending ? ftp.PutFile(source, "gros.bin", cFTP::TransferBinary)
                                : ftp.GetFile("gros.bin", back, cFTP::TransferBinary);
        if (!ok) {
            state.SkipWithError("transfer failed");
            break;
        }
    }
    if (!sending && QFileInfo(back).size() != size)
        state.SkipWithError("the file came back with another size");
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_FtpPutFile10MiB(benchmark::State& state) {
    largeTransfer(state, true);
}
void BM_FtpGetFile10MiB(benchmark::State& state) {
    largeTransfer(state, false);
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
BENCHMARK(BM_FtpRoundTripKeptConnection)->ArgName("passive")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FtpRoundTripNewConnection)->ArgName("passive")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
