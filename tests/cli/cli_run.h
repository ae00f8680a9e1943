#pragma once

// qavo-cli run as a separate process, as scripts run it.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

namespace cli_testing {

struct CliRun {
    int exitCode = -1; // -1: it did not finish in time
    QString out, err;
};

// Sets up a child so that the disk refuses its writes past `bytes` of any one file, as a full disk
// would: the size limit makes writes fail with EFBIG instead of killing the process.
inline void limitFileSize(QProcess& p, qint64 bytes) {
    if (bytes <= 0) return;
    p.setChildProcessModifier([bytes] {
        const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    });
}

// caFile, when given, is the only extra certificate the run trusts; a QAVO_CA_FILE of the test's own
// environment never leaks in. fileSizeLimit > 0 makes every write past that size fail.
inline CliRun runCli(const QStringList& args, const QString& caFile = {}, qint64 fileSizeLimit = 0) {
    QProcess p;
    limitFileSize(p, fileSizeLimit);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QAVO_CA_FILE"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR")); // as over ssh or from cron
    if (!caFile.isEmpty()) env.insert(QStringLiteral("QAVO_CA_FILE"), caFile);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QAVO_CLI), args);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace cli_testing
