#pragma once

// qavo-cli run as a separate process, as scripts run it.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace cli_testing {

struct CliRun {
    int exitCode = -1; // -1: it did not finish in time
    QString out, err;
};

// caFile, when given, is the only extra certificate the run trusts; a QAVO_CA_FILE of the test's own
// environment never leaks in.
inline CliRun runCli(const QStringList& args, const QString& caFile = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QAVO_CA_FILE"));
    if (!caFile.isEmpty()) env.insert(QStringLiteral("QAVO_CA_FILE"), caFile);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QAVO_CLI), args);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace cli_testing
