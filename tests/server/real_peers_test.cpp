// The gateway against real peers: nginx (WebDAV PUT, TLS with a private authority) and squid (Basic proxy
// login), each started here as a private process on loopback with its own configuration and folders.
#include "server/http_gateway.h"

#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

quint16 freePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost);
    return s.serverPort();
}

bool listening(quint16 port) {
    for (int i = 0; i < 50; ++i) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, port);
        if (s.waitForConnected(100)) return true;
        QThread::msleep(100);
    }
    return false;
}

bool run(const QString& program, const QStringList& args, QByteArray* out = nullptr) {
    QProcess p;
    p.start(program, args);
    const bool ok = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (out) *out = p.readAllStandardOutput().trimmed();
    return ok;
}

// A configuration of tests/server/peers with its blanks filled.
QByteArray configuration(const char* name, const QStringList& values) {
    QString text =
        QString::fromUtf8(testing_support::readBytes(QAVO_SOURCE_DIR "/tests/server/peers/" + QString(name)));
    for (const QString& value : values)
        text = text.arg(value);
    return text.toUtf8();
}

// The peers of the whole suite, started once: folders, certificates, passwords, then the processes.
struct Peers {
    QTemporaryDir dir;
    QString root = dir.path();
    quint16 plain = freePort(), tls = freePort(), proxy = freePort(), dead = freePort();
    QProcess nginx, squid;
    QString noNginx, noSquid; // why a peer is missing

    Peers() {
        // squid's login helper runs as squid's own user when the tests run as root.
        QFile(root).setPermissions(QFile::permissions(root) | QFile::ReadOther | QFile::ExeOther);
        QDir(root).mkpath(QStringLiteral("www/qavo/files"));
        QDir(root).mkpath(QStringLiteral("tmp"));
        testing_support::writeBytes(root + "/www/qavo/files/arbre.maa", "[General]\r\nversion=900.1\r\n");
        testing_support::writeBytes(root + "/www/qavo/files/page.gz", "\x1f\x8b\x08 not the file");
        noNginx =
            !makeCertificates() || !users("users", "admin", "s3cret")
                ? "openssl could not make the certificates"
                : start(nginx, "nginx",
                        configuration("nginx.conf", {root, QString::number(plain), QString::number(tls)}),
                        {"-p", root, "-c", path("nginx.conf"), "-e", path("nginx.log")}, {plain, tls});
        noSquid = !QFile::exists("/usr/lib/squid/basic_ncsa_auth") ? "squid's login helper is not installed"
                  : !users("proxy-users", "plog", "ppass")
                      ? "openssl passwd failed"
                      : start(squid, "squid", configuration("squid.conf", {root, QString::number(proxy)}),
                              {"-N", "-f", path("squid.conf")}, {proxy});
    }
    ~Peers() {
        for (QProcess* p : {&nginx, &squid}) {
            p->terminate();
            if (!p->waitForFinished(3000)) p->kill();
            p->waitForFinished(1000);
        }
    }
    QString path(const QString& name) const { return root + u'/' + name; }
    // A password file as nginx and squid's helper read it.
    bool users(const char* file, const char* user, const char* secret) {
        QByteArray hash;
        if (!run("openssl", {"passwd", "-apr1", secret}, &hash)) return false;
        testing_support::writeBytes(path(file), user + (':' + hash) + '\n');
        return true;
    }

    // A private root, an intermediate under it, and the server's certificate for 127.0.0.1 under that.
    bool makeCertificates() {
        const QString ext = path("ext");
        testing_support::writeBytes(ext, "[ca]\nbasicConstraints=critical,CA:TRUE\nkeyUsage=keyCertSign\n"
                                         "[leaf]\nsubjectAltName=IP:127.0.0.1\n");
        auto sign = [&](const QString& name, const char* cn, const QString& issuer, const char* section) {
            QStringList x509{"x509",     "-req", "-in",         path(name) + ".csr",
                             "-days",    "1",    "-out",        path(name) + ".pem",
                             "-extfile", ext,    "-extensions", section};
            x509 += issuer.isEmpty() ? QStringList{"-signkey", path(name) + ".key"}
                                     : QStringList{"-CA", path(issuer) + ".pem", "-CAkey",
                                                   path(issuer) + ".key", "-CAcreateserial"};
            return run("openssl", {"req", "-new", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                   "-nodes", "-keyout", path(name) + ".key", "-out", path(name) + ".csr",
                                   "-subj", QStringLiteral("/CN=") + cn}) &&
                   run("openssl", x509);
        };
        if (!sign("root", "QAVO test root", {}, "ca") ||
            !sign("inter", "QAVO test intermediate", "root", "ca") ||
            !sign("leaf", "127.0.0.1", "inter", "leaf"))
            return false;
        testing_support::writeBytes(path("chain.pem"), testing_support::readBytes(path("leaf.pem")) +
                                                           testing_support::readBytes(path("inter.pem")));
        return true;
    }

    // Starts `name` on its configuration: why it is missing, or nothing once it listens on its ports.
    QString start(QProcess& process, const QString& name, const QByteArray& conf, const QStringList& args,
                  const QList<quint16>& ports) {
        const QString program = QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/local/sbin"});
        if (program.isEmpty()) return name + " is not installed (scripts/install-deps.sh)";
        testing_support::writeBytes(path(name + ".conf"), conf);
        process.start(program, args);
        for (const quint16 port : ports)
            if (!listening(port))
                return name + " did not start: " + testing_support::readBytes(path(name + ".log"));
        return {};
    }
};

struct Case {
    const char* name;
    int reason;
    const char* message;    // in lastError(); %P: nginx's plain port, %D: a closed port
    const char* url = "";   // "s": https, "s+": https to nginx's plain port
    const char* ca = "";    // QAVO_CA_FILE in the peers' folder
    const char* proxy = ""; // "squid", "squid:wrong" (a wrong password) or "closed"
    const char* remote = "arbre.maa";
};

class RealPeers : public ::testing::Test {
protected:
    static void SetUpTestSuite() { peers = std::make_unique<Peers>(); }
    static void TearDownTestSuite() { peers.reset(); }
    void SetUp() override {
        if (!peers->noNginx.isEmpty()) GTEST_SKIP() << qPrintable(peers->noNginx);
        gateway.setTimeouts(2000, 5000);
    }
    void TearDown() override {
        caBefore.isNull() ? qunsetenv("QAVO_CA_FILE") : qputenv("QAVO_CA_FILE", caBefore);
    }

    void configure(const Case& c) {
        const QString url(c.url);
        gateway.SetFtpConnectionParameters(url.isEmpty() ? "127.0.0.1" : "https://127.0.0.1",
                                           QString::number(url == "s" ? peers->tls : peers->plain), "qavo",
                                           "admin", "s3cret");
        *c.ca ? qputenv("QAVO_CA_FILE", QFile::encodeName(peers->path(c.ca))) : qunsetenv("QAVO_CA_FILE");
        const QString proxy(c.proxy);
        if (proxy.isEmpty()) return gateway.SetProxyParameters({}, {}, {}, {});
        gateway.SetProxyParameters("127.0.0.1",
                                   QString::number(proxy == "closed" ? peers->dead : peers->proxy), "plog",
                                   proxy.endsWith(":wrong") ? "wrong" : "ppass");
    }

    // Fetches each remote file, or stores `sent` under its name; what nginx or the work folder then
    // holds is the whole file or nothing.
    void check(std::initializer_list<Case> cases, const QByteArray& sent = {}) {
        const QString local = work.filePath("local.maa");
        if (!sent.isNull()) testing_support::writeBytes(local, sent);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            if (QByteArray(c.proxy).startsWith("squid") && !peers->noSquid.isEmpty())
                GTEST_SKIP() << qPrintable(peers->noSquid);
            configure(c);
            const QString remote = QString::fromLatin1(c.remote);
            const int r = sent.isNull() ? gateway.GetFileHTTP_QAVO(remote, local)
                                        : gateway.PutFileHTTP_QAVO(local, remote);
            const QString error = gateway.lastError(),
                          expected = QString::fromLatin1(c.message)
                                         .replace("%P", QString::number(peers->plain))
                                         .replace("%D", QString::number(peers->dead));
            EXPECT_TRUE(r == c.reason && error.contains(expected) && !error.contains("s3cret") &&
                        !error.contains("ppass"))
                << r << ": " << qPrintable(error);
            const QByteArray whole =
                sent.isNull() ? testing_support::readBytes(peers->path("www/qavo/files/arbre.maa")) : sent;
            const QString landed = sent.isNull() ? local : peers->path("www/qavo/files/") + remote;
            EXPECT_EQ(testing_support::readBytes(landed), r == HttpGateway::Ok ? whole : QByteArray());
            if (!sent.isNull()) continue;
            QFile::remove(local);
            EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        }
    }

    static inline std::unique_ptr<Peers> peers;
    QTemporaryDir work;
    HttpGateway gateway;
    QByteArray caBefore = qgetenv("QAVO_CA_FILE");
};

// Fetches say what went wrong; a proxy that is not there is named with the reason, squid asks for its own
// login (its cases last: they are skipped without squid).
TEST_F(RealPeers, FetchFromNginxDirectlyOrThroughAProxySaysWhatWentWrong) {
    check({
        {"plain", HttpGateway::Ok, ""},
        {"redirect", HttpGateway::Redirect, "-> http://127.0.0.1:%P/qavo/files/arbre.maa", "", "", "",
         "ancien.maa"},
        {"compressed", HttpGateway::Encoding, "gzip", "", "", "", "page.gz"},
        {"private authority unknown", HttpGateway::Tls, "certificate", "s"},
        {"intermediate trusted", HttpGateway::Ok, "", "s", "inter.pem"},
        {"root trusted", HttpGateway::Ok, "", "s", "root.pem"},
        {"certificate file missing", HttpGateway::CaFile, "absent.pem: no such file", "s", "absent.pem"},
        {"https to a plain port", HttpGateway::NotTls, "plain HTTP", "s+", "root.pem"},
        {"proxy refuses connections", HttpGateway::Proxy, "via proxy 127.0.0.1:%D: Connection refused", "",
         "", "closed"},
        {"plain through squid", HttpGateway::Ok, "", "", "", "squid"},
        {"tunnel", HttpGateway::Ok, "", "s", "leaf.pem", "squid"},
        {"login refused", HttpGateway::ProxyRefused, "407", "", "", "squid:wrong"},
        {"tunnel login refused", HttpGateway::ProxyRefused, "407", "s", "leaf.pem", "squid:wrong"},
    });
}

// A store lands byte for byte in nginx's folder, directly and through squid.
TEST_F(RealPeers, StoreLandsWholeOnNginx) {
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += char(i * 7 % 256);
    check({{"plain", HttpGateway::Ok, "", "", "", "", "s1.maa"},
           {"squid", HttpGateway::Ok, "", "", "", "squid", "s3.maa"}},
          bytes);
}

} // namespace
