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

enum class Adresse { Http, Https, HttpsSurHttp };
enum class Ca { Aucun, Serveur, Intermediaire, Racine, Absent };
enum class Relais { Direct, Squid, SquidRefus, Ferme, Inconnu };
using enum Adresse;
using enum Ca;
using enum Relais;

struct Cas {
    const char* nom;
    int raison;
    const char* message; // in lastError(); %P: nginx's plain port, %D: a closed port
    Adresse adresse = Http;
    Ca ca = Aucun;
    Relais relais = Direct;
    const char* fichier = "arbre.maa"; // remote name
    const char* motDePasse = "s3cret";
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
        if (caAvant.isNull())
            qunsetenv("QAVO_CA_FILE");
        else
            qputenv("QAVO_CA_FILE", caAvant);
    }

    void configurer(const Cas& c) {
        const bool https = c.adresse != Http;
        gateway.SetFtpConnectionParameters(https ? "https://127.0.0.1" : "127.0.0.1",
                                           QString::number(c.adresse == Https ? peers->tls : peers->plain),
                                           "qavo", "admin", c.motDePasse);
        static const char* const fichiersCa[] = {"", "leaf.pem", "inter.pem", "root.pem", "absent.pem"};
        if (c.ca == Aucun)
            qunsetenv("QAVO_CA_FILE");
        else
            qputenv("QAVO_CA_FILE", QFile::encodeName(peers->path(fichiersCa[int(c.ca)])));
        const QString proxy = QString::number(peers->proxy);
        const QStringList relais[] = {{{}, {}, {}, {}},
                                      {"127.0.0.1", proxy, "plog", "ppass"},
                                      {"127.0.0.1", proxy, "plog", "wrong"},
                                      {"127.0.0.1", QString::number(peers->dead), "p", "q"},
                                      {"proxy.invalid", "3128", "p", "q"}};
        const QStringList& r = relais[int(c.relais)];
        gateway.SetProxyParameters(r[0], r[1], r[2], r[3]);
    }

    // Fetches each remote file, or stores `envoi` under its name; what nginx or the work folder then
    // holds is the whole file or nothing.
    void check(std::initializer_list<Cas> cas, const QByteArray& envoi = {}) {
        const QString local = work.filePath("local.maa");
        if (!envoi.isNull()) testing_support::writeBytes(local, envoi);
        for (const Cas& c : cas) {
            SCOPED_TRACE(c.nom);
            if ((c.relais == Squid || c.relais == SquidRefus) && !peers->noSquid.isEmpty())
                GTEST_SKIP() << qPrintable(peers->noSquid);
            configurer(c);
            const QString distant = QString::fromLatin1(c.fichier);
            const int r = envoi.isNull() ? gateway.GetFileHTTP_QAVO(distant, local)
                                         : gateway.PutFileHTTP_QAVO(local, distant);
            EXPECT_EQ(r, c.raison) << qPrintable(gateway.lastError());
            const QString attendu = QString::fromLatin1(c.message)
                                        .replace("%P", QString::number(peers->plain))
                                        .replace("%D", QString::number(peers->dead));
            EXPECT_TRUE(gateway.lastError().contains(attendu)) << qPrintable(gateway.lastError());
            EXPECT_FALSE(gateway.lastError().contains("s3cret") || gateway.lastError().contains("ppass"));
            const QByteArray entier =
                envoi.isNull() ? testing_support::readBytes(peers->path("www/qavo/files/arbre.maa")) : envoi;
            const QString arrivee = envoi.isNull() ? local : peers->path("www/qavo/files/") + distant;
            EXPECT_EQ(testing_support::readBytes(arrivee), r == HttpGateway::Ok ? entier : QByteArray());
            if (!envoi.isNull()) continue;
            QFile::remove(local);
            EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        }
    }

    static inline Peers* peers = nullptr;
    QTemporaryDir work;
    HttpGateway gateway;
    QByteArray caAvant = qgetenv("QAVO_CA_FILE");
};

TEST_F(RealPeers, FetchFromNginxSaysWhatWentWrong) {
    check({
        {"plain", HttpGateway::Ok, ""},
        {"missing file", HttpGateway::Absent, "404", Http, Aucun, Direct, "absent.maa"},
        {"redirect", HttpGateway::Redirect, "-> http://127.0.0.1:%P/qavo/files/arbre.maa", Http, Aucun,
         Direct, "ancien.maa"},
        {"compressed", HttpGateway::Encoding, "gzip", Http, Aucun, Direct, "page.gz"},
        {"private authority unknown", HttpGateway::Tls, "certificate", Https},
        {"server's own certificate trusted", HttpGateway::Ok, "", Https, Serveur},
        {"intermediate trusted", HttpGateway::Ok, "", Https, Intermediaire},
        {"root trusted", HttpGateway::Ok, "", Https, Racine},
        {"certificate file missing", HttpGateway::CaFile, "absent.pem: no such file", Https, Absent},
        {"https to a plain port", HttpGateway::NotTls, "plain HTTP", HttpsSurHttp, Racine},
    });
}

// A proxy that is not there is named with the reason; squid asks for its own login.
TEST_F(RealPeers, ThroughAProxyWithItsLogin) {
    check({
        {"proxy refuses connections", HttpGateway::Proxy, "via proxy 127.0.0.1:%D: Connection refused", Http,
         Aucun, Ferme},
        {"proxy name unknown", HttpGateway::Proxy,
         "via proxy proxy.invalid:3128: Could not resolve proxy: proxy.invalid", Http, Aucun, Inconnu},
        {"plain", HttpGateway::Ok, "", Http, Aucun, Squid},
        {"tunnel", HttpGateway::Ok, "", Https, Serveur, Squid},
        {"tunnel, authority unknown", HttpGateway::Tls, "certificate", Https, Aucun, Squid},
        {"login refused", HttpGateway::ProxyRefused, "407", Http, Aucun, SquidRefus},
        {"tunnel login refused", HttpGateway::ProxyRefused, "407", Https, Serveur, SquidRefus},
    });
}

// A store lands byte for byte in nginx's folder, directly, over TLS and through squid; a wrong password
// stores nothing.
TEST_F(RealPeers, StoreLandsWholeOnNginx) {
    QByteArray octets;
    for (int i = 0; i < 100000; ++i)
        octets += char(i * 7 % 256);
    check({{"plain", HttpGateway::Ok, "", Http, Aucun, Direct, "s1.maa"},
           {"tls", HttpGateway::Ok, "", Https, Intermediaire, Direct, "s2.maa"},
           {"wrong password", HttpGateway::Refused, "401", Http, Aucun, Direct, "s4.maa", "x"},
           {"squid", HttpGateway::Ok, "", Http, Aucun, Squid, "s3.maa"}},
          octets);
}

} // namespace
