#pragma once

// qavo-sim as qavo-cli meets it in the tests: the check fixtures' information file, a password that must
// never show, faults from the start, HTTPS when asked; the switches that reach it.

#include "support/sim_process.h"
#include "support/test_support.h"

#include <QFileInfo>

namespace testing_support {

inline const QString kCliPassword = QStringLiteral("s3cr3t-word");

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
    return readBytes(dataDir() + "/check_example.maa").replace("exit_fer=ann;12;;", "exit_fer=ann;12;2;2");
}

class CliServer : public SimProcess {
public:
    explicit CliServer(const QStringList& faults = {}, bool https = false, const QByteArray& info = {})
        : SimProcess(arguments(faults, https)), https_(https) {
        writeBytes(file("qavo_general.txt"),
                   info.isEmpty() ? readBytes(dataDir() + "/server_info_check.txt") : info);
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
