#pragma once

// The simulator as qavo-cli's server commands meet it, shared by the command-line tests.

#include "support/sim_process.h"
#include "support/test_support.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace cli_testing {

// A password that must never show on stderr, in a message or in the process list.
inline const QString kPassword = QStringLiteral("s3cr3t-word");

inline QString testData(const QString& name) {
    return testing_support::dataDir() + '/' + name;
}

// The simulator serving the demo tree and the check fixtures' information file (over HTTPS with a
// certificate when given), with kPassword.
class Server {
public:
    explicit Server(const QStringList& faults = {}, const QByteArray& info = {}, const QString& cert = {})
        : sim_(arguments(faults, cert)), scheme_(cert.isEmpty() ? "" : "https://") {
        testing_support::writeBytes(
            file("qavo_general.txt"),
            info.isEmpty() ? testing_support::readBytes(testData("server_info_check.txt")) : info);
    }
    static QByteArray originalTree() {
        return testing_support::readBytes(testing_support::SimProcess::defaultServer() + "/arbre.maa");
    }
    // The address switches, without the password.
    QStringList address() const {
        return {"/HADDR:" + scheme_ + "127.0.0.1", "/HPORT:" + QString::number(sim_.port()), "/USER:u"};
    }
    QStringList switches() const { return address() + QStringList{"/PASS:" + kPassword}; }
    QString file(const QString& name) const { return sim_.root() + '/' + name; }
    QString scratch(const QString& name) const { return sim_.scratch() + '/' + name; }
    bool started() const { return sim_.port() != 0; }
    // The requests served so far, one line each ("PUT /qavo/files/arbre.maa 200").
    QByteArray log() const { return sim_.log(); }
    // The line files: no schedules, one application, and table.
    void serveLines(const QByteArray& table) const {
        testing_support::writeBytes(file("planning.cfg"), QByteArray(1536, '\0'));
        testing_support::writeBytes(file("rcm.txt"), "P1=201;Accueil;1;1\r\n");
        testing_support::writeBytes(file("rcm.cfg"), table);
    }

private:
    static QStringList arguments(const QStringList& faults, const QString& cert) {
        QStringList args{"--control", "--password", kPassword};
        for (const QString& f : faults)
            args << "--fault" << f;
        if (!cert.isEmpty())
            args << "--tls-cert" << cert << "--tls-key" << QFileInfo(cert).path() + "/key.pem";
        return args;
    }
    testing_support::SimProcess sim_;
    QString scheme_;
};

} // namespace cli_testing
