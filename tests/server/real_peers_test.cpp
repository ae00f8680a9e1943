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

const char* const kNginx = R"(daemon off;
master_process off;
pid %1/nginx.pid;
error_log %1/nginx.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path %1/tmp; proxy_temp_path %1/tmp; fastcgi_temp_path %1/tmp;
  uwsgi_temp_path %1/tmp; scgi_temp_path %1/tmp;
  root %1/www;
  auth_basic qavo; auth_basic_user_file %1/users;
  dav_methods PUT; client_max_body_size 20m;
  server { listen 127.0.0.1:%2; %4 }
  server { listen 127.0.0.1:%3 ssl; ssl_certificate %1/chain.pem; ssl_certificate_key %1/leaf.key; %4 }
}
)";
const char* const kLocations = "location = /qavo/files/ancien.maa { return 301 /qavo/files/arbre.maa; } "
                               "location = /qavo/files/page.gz { add_header Content-Encoding gzip; }";

const char* const kSquid = R"(http_port 127.0.0.1:%2
pid_filename %1/squid.pid
cache_log %1/squid.log
access_log none
cache_store_log none
cache deny all
coredump_dir %1
pinger_enable off
shutdown_lifetime 0 seconds
visible_hostname qavo-test
auth_param basic program /usr/lib/squid/basic_ncsa_auth %1/proxy-users
auth_param basic realm qavo
acl authed proxy_auth REQUIRED
http_access allow authed
http_access deny all
)";

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
        noNginx = startNginx();
        noSquid = startSquid();
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

    QString startNginx() {
        const QString program = QStandardPaths::findExecutable("nginx", {"/usr/sbin", "/usr/local/sbin"});
        if (program.isEmpty()) return QStringLiteral("nginx is not installed (scripts/install-deps.sh)");
        if (!makeCertificates() || !users("users", "admin", "s3cret"))
            return QStringLiteral("openssl could not make the certificates");
        testing_support::writeBytes(path("nginx.conf"), QString::fromLatin1(kNginx)
                                                            .arg(root)
                                                            .arg(plain)
                                                            .arg(tls)
                                                            .arg(QLatin1String(kLocations))
                                                            .toUtf8());
        nginx.start(program, {"-p", root, "-c", path("nginx.conf"), "-e", path("nginx.log")});
        if (!listening(plain) || !listening(tls))
            return QStringLiteral("nginx did not start: ") + testing_support::readBytes(path("nginx.log"));
        return {};
    }

    QString startSquid() {
        const QString program = QStandardPaths::findExecutable("squid", {"/usr/sbin", "/usr/local/sbin"});
        if (program.isEmpty() || !QFile::exists("/usr/lib/squid/basic_ncsa_auth"))
            return QStringLiteral("squid is not installed (scripts/install-deps.sh)");
        if (!users("proxy-users", "plog", "ppass")) return QStringLiteral("openssl passwd failed");
        testing_support::writeBytes(path("squid.conf"),
                                    QString::fromLatin1(kSquid).arg(root).arg(proxy).toUtf8());
        squid.start(program, {"-N", "-f", path("squid.conf")});
        if (!listening(proxy))
            return QStringLiteral("squid did not start: ") + testing_support::readBytes(path("squid.log"));
        return {};
    }
};

enum class Scheme { Http, Https, HttpsOnHttp };
enum class Trust { System, ServerCert, Intermediate, Root, MissingFile };
enum class Via { Direct, Squid, SquidRefusing, Closed };
using enum Scheme;
using enum Trust;
using enum Via;

struct Case {
    const char* name;
    int reason;
    const char* message; // in lastError(); %P: nginx's plain port, %D: a closed port
    Scheme scheme = Http;
    Trust trust = System;
    Via via = Direct;
    const char* remote = "arbre.maa";
};

class RealPeers : public ::testing::Test {
protected:
    static void SetUpTestSuite() { peers = new Peers; }
    static void TearDownTestSuite() {
        delete peers;
        peers = nullptr;
    }
    void SetUp() override {
        if (!peers->noNginx.isEmpty()) GTEST_SKIP() << qPrintable(peers->noNginx);
        ASSERT_TRUE(work.isValid());
        gateway.setTimeouts(2000, 5000);
    }
    void TearDown() override {
        if (caBefore.isNull())
            qunsetenv("QAVO_CA_FILE");
        else
            qputenv("QAVO_CA_FILE", caBefore);
    }

    void configure(const Case& c) {
        const bool https = c.scheme != Http;
        gateway.SetFtpConnectionParameters(https ? "https://127.0.0.1" : "127.0.0.1",
                                           QString::number(c.scheme == Https ? peers->tls : peers->plain),
                                           "qavo", "admin", "s3cret");
        static const char* const caFiles[] = {"", "leaf.pem", "inter.pem", "root.pem", "absent.pem"};
        if (c.trust == System)
            qunsetenv("QAVO_CA_FILE");
        else
            qputenv("QAVO_CA_FILE", QFile::encodeName(peers->path(caFiles[int(c.trust)])));
        const QString proxy = QString::number(peers->proxy);
        const QStringList proxies[] = {{{}, {}, {}, {}},
                                       {"127.0.0.1", proxy, "plog", "ppass"},
                                       {"127.0.0.1", proxy, "plog", "wrong"},
                                       {"127.0.0.1", QString::number(peers->dead), "p", "q"}};
        const QStringList& r = proxies[int(c.via)];
        gateway.SetProxyParameters(r[0], r[1], r[2], r[3]);
    }

    // Fetches each remote file, or stores `sent` under its name; what nginx or the work folder then
    // holds is the whole file or nothing.
    void check(std::initializer_list<Case> cases, const QByteArray& sent = {}) {
        const QString local = work.filePath("local.maa");
        if (!sent.isNull()) testing_support::writeBytes(local, sent);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            if ((c.via == Squid || c.via == SquidRefusing) && !peers->noSquid.isEmpty())
                GTEST_SKIP() << qPrintable(peers->noSquid);
            configure(c);
            const QString remote = QString::fromLatin1(c.remote);
            const int r = sent.isNull() ? gateway.GetFileHTTP_QAVO(remote, local)
                                        : gateway.PutFileHTTP_QAVO(local, remote);
            EXPECT_EQ(r, c.reason) << qPrintable(gateway.lastError());
            const QString expected = QString::fromLatin1(c.message)
                                         .replace("%P", QString::number(peers->plain))
                                         .replace("%D", QString::number(peers->dead));
            EXPECT_TRUE(gateway.lastError().contains(expected)) << qPrintable(gateway.lastError());
            EXPECT_FALSE(gateway.lastError().contains("s3cret") || gateway.lastError().contains("ppass"));
            const QByteArray whole =
                sent.isNull() ? testing_support::readBytes(peers->path("www/qavo/files/arbre.maa")) : sent;
            const QString landed = sent.isNull() ? local : peers->path("www/qavo/files/") + remote;
            EXPECT_EQ(testing_support::readBytes(landed), r == HttpGateway::Ok ? whole : QByteArray());
            if (!sent.isNull()) continue;
            QFile::remove(local);
            EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        }
    }

    static inline Peers* peers = nullptr;
    QTemporaryDir work;
    HttpGateway gateway;
    QByteArray caBefore = qgetenv("QAVO_CA_FILE");
};

TEST_F(RealPeers, FetchFromNginxSaysWhatWentWrong) {
    check({
        {"plain", HttpGateway::Ok, ""},
        {"redirect", HttpGateway::Redirect, "-> http://127.0.0.1:%P/qavo/files/arbre.maa", Http, System,
         Direct, "ancien.maa"},
        {"compressed", HttpGateway::Encoding, "gzip", Http, System, Direct, "page.gz"},
        {"private authority unknown", HttpGateway::Tls, "certificate", Https},
        {"intermediate trusted", HttpGateway::Ok, "", Https, Intermediate},
        {"root trusted", HttpGateway::Ok, "", Https, Root},
        {"certificate file missing", HttpGateway::CaFile, "absent.pem: no such file", Https, MissingFile},
        {"https to a plain port", HttpGateway::NotTls, "plain HTTP", HttpsOnHttp, Root},
    });
}

// A proxy that is not there is named with the reason; squid asks for its own login.
TEST_F(RealPeers, ThroughAProxyWithItsLogin) {
    check({
        {"proxy refuses connections", HttpGateway::Proxy, "via proxy 127.0.0.1:%D: Connection refused", Http,
         System, Closed},
        {"plain", HttpGateway::Ok, "", Http, System, Squid},
        {"tunnel", HttpGateway::Ok, "", Https, ServerCert, Squid},
        {"login refused", HttpGateway::ProxyRefused, "407", Http, System, SquidRefusing},
        {"tunnel login refused", HttpGateway::ProxyRefused, "407", Https, ServerCert, SquidRefusing},
    });
}

// A store lands byte for byte in nginx's folder, directly and through squid.
TEST_F(RealPeers, StoreLandsWholeOnNginx) {
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += char(i * 7 % 256);
    check({{"plain", HttpGateway::Ok, "", Http, System, Direct, "s1.maa"},
           {"squid", HttpGateway::Ok, "", Http, System, Squid, "s3.maa"}},
          bytes);
}

} // namespace
