#pragma once

// qavo-cli run as a separate process, as scripts run it, and qavo-sim as qavo-cli meets it in the tests: the
// check fixtures' information file, a password that must never show, faults from the start, HTTPS when
// asked; the switches that reach it.

#include "support/sim_process.h"
#include "support/test_support.h"

#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/resource.h>

namespace testing_support {

inline const QString kCliPassword = QStringLiteral("s3cr3t-word");
// The option that makes qavo-cli speak English from the shipped translation.
inline const QStringList kEnglish = {"--translation", resource("qavo_lg01.txt")};

// A throwaway self-signed certificate for 127.0.0.1, made once (key.pem beside it); empty when openssl
// cannot.
inline QString testCertificate() {
    static const QTemporaryDir keys;
    static const bool made = [] {
        QProcess openssl;
        openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                                  keys.filePath("key.pem"), "-out", keys.filePath("cert.pem"), "-days", "1",
                                  "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
        return openssl.waitForFinished(20000) && openssl.exitCode() == 0;
    }();
    return made ? keys.filePath("cert.pem") : QString();
}

// The check fixtures' tree with its one error mended: it passes the check with one warning.
inline QByteArray passingTree() {
    return readBytes(dataFile("check_example.maa")).replace("exit_fer=ann;12;;", "exit_fer=ann;12;2;2");
}

class CliServer : public SimProcess {
public:
    // initFrom: the server's files (a generation-500 server: resources/server-example-500).
    explicit CliServer(const QStringList& faults = {}, bool https = false, const QByteArray& info = {},
                       const QString& initFrom = defaultServer())
        : SimProcess(arguments(faults, https), initFrom), https_(https) {
        writeBytes(file("qavo_general.txt"),
                   info.isEmpty() ? readBytes(dataFile("server_info_check.txt")) : info);
    }
    QStringList switches() const {
        return {"/HADDR:" + QString(https_ ? "https://" : "") + "127.0.0.1",
                "/HPORT:" + QString::number(port()), "/USER:u", "/PASS:" + kCliPassword};
    }
    QString file(const QString& name) const { return root() + '/' + name; }
    QString scratchFile(const QString& name) const { return scratch() + '/' + name; }
    // The times the log shows `name` stored.
    int stores(const QString& name) const { return int(log().count("PUT /qavo/files/" + name.toUtf8())); }

private:
    static QStringList arguments(const QStringList& faults, bool https) {
        QStringList args{"--control", "--password", kCliPassword};
        for (const QString& f : faults)
            args << "--fault" << f;
        if (https)
            args << "--tls-cert" << testCertificate() << "--tls-key"
                 << QFileInfo(testCertificate()).path() + "/key.pem";
        return args;
    }
    bool https_;
};

} // namespace testing_support

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
