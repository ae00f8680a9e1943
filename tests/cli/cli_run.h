#pragma once

// qavo-cli run as a separate process, as scripts run it.

#include "support/cli_server.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace cli_testing {

struct CliRun {
    int exitCode = -1; // -1: it did not finish in time
    QString out = {}, err = {};
};

// env ("NAME=value") is added to the test's environment, from which QAVO_CA_FILE never leaks in.
// fileSizeLimit > 0 makes the disk refuse writes past that size of any one file, as a full disk would:
// the size limit makes writes fail with EFBIG instead of killing the process.
inline CliRun runCli(const QStringList& args, const QStringList& env = {}, qint64 fileSizeLimit = 0,
                     const QString& program = QStringLiteral(QAVO_CLI)) {
    QProcess p;
    if (fileSizeLimit > 0)
        p.setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::signal(SIGXFSZ, SIG_IGN);
        });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QAVO_CA_FILE"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR")); // as over ssh or from cron
    for (const QString& e : env)
        environment.insert(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(environment);
    p.start(program, args);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// One run and what its user sees: the exit status, a text stdout holds and the start of stderr ("": the
// stream stays empty). stderr is one line unless the expected start has several.
struct CliCase {
    QStringList args;
    int exitCode;
    QString out = {}, err = {};
    QString program = QStringLiteral(QAVO_CLI);
};

inline void expectRuns(const std::vector<CliCase>& cases, const QStringList& env = {}) {
    for (const CliCase& c : cases) {
        const CliRun r = runCli(c.args, env, 0, c.program);
        const QString run =
            c.program.section('/', -1) + ' ' + c.args.join(' ') + "\nout: " + r.out + "\nerr: " + r.err;
        EXPECT_EQ(r.exitCode, c.exitCode) << qPrintable(run);
        EXPECT_TRUE(c.out.isEmpty() ? r.out.isEmpty() : r.out.contains(c.out)) << qPrintable(run);
        EXPECT_TRUE(c.err.isEmpty()
                        ? r.err.isEmpty()
                        : r.err.startsWith(c.err) && (c.err.contains('\n') || r.err.count('\n') == 1))
            << qPrintable(run);
        EXPECT_FALSE(r.err.contains(testing_support::kCliPassword)) << qPrintable(run);
    }
}

} // namespace cli_testing
