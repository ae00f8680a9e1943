// The gateways: the call sequence of the server link, and HTTP against a listener that answers as told.
#include "core/app_context.h"
#include "core/version.h"
#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

namespace {

AppContext contexte(const QString& paddr, const QString& pport) {
    AppContext ctx;
    ctx.HADDR = QStringLiteral("10.0.0.5");
    ctx.HPORT = QStringLiteral("8080");
    ctx.USER = QStringLiteral("admin");
    ctx.PASS = QStringLiteral("secret");
    ctx.PADDR = paddr;
    ctx.PPORT = pport;
    ctx.PLOGIN = QStringLiteral("plog");
    ctx.PPASS = QStringLiteral("ppass");
    return ctx;
}

enum class Appel { Get, Put, Info };

const QString kProxy = QStringLiteral("SetProxyParameters(proxy, 3128, plog, ppass)");
const QString kFichiers = QStringLiteral("SetFtpConnectionParameters(10.0.0.5, 8080, qavo, admin, secret)");
const QString kInfos = QStringLiteral("SetConnectionParameters(10.0.0.5, 8080, acd_config, admin, secret)");
const QString kGet = QStringLiteral("GetFileHTTP_QAVO(arbre.maa, /tmp/a.maa)");
const QString kPut = QStringLiteral("PutFileHTTP_QAVO(/tmp/a.maa, arbre.maa)");
const QString kInfo = QStringLiteral("GetIhmInfo(512)");

struct CasOrdre {
    const char* nom;
    const char* paddr;
    const char* pport;
    Appel appel;
    QStringList attendu; // for one call; two calls repeat it
};

TEST(Passerelle, EachCallFollowsItsParameterStep) {
    const CasOrdre cas[] = {
        {"fetch, no proxy", "", "", Appel::Get, {kFichiers, kGet}},
        {"fetch, proxy", "proxy", "3128", Appel::Get, {kProxy, kFichiers, kGet}},
        {"store, proxy port only", "", "3128", Appel::Put, {kFichiers, kPut}},
        {"information, proxy address only", "proxy", "", Appel::Info, {kInfos, kInfo}},
        {"information, proxy", "proxy", "3128", Appel::Info, {kProxy, kInfos, kInfo}},
    };
    for (const CasOrdre& c : cas) {
        SCOPED_TRACE(c.nom);
        const AppContext ctx = contexte(QString::fromLatin1(c.paddr), QString::fromLatin1(c.pport));
        auto owned = std::make_unique<RecordingGateway>();
        RecordingGateway& g = *owned;
        g.fileResults = {7, 0};
        Passerelle p(std::move(owned));
        QList<int> resultats;
        for (int i = 0; i < 2; ++i) {
            QByteArray buffer(Passerelle::BufferSize, '\0');
            if (c.appel == Appel::Get)
                resultats << p.GetFileHTTP_QAVO(ctx, QStringLiteral("arbre.maa"),
                                                QStringLiteral("/tmp/a.maa"));
            else if (c.appel == Appel::Put)
                resultats << p.PutFileHTTP_QAVO(ctx, QStringLiteral("/tmp/a.maa"),
                                                QStringLiteral("arbre.maa"));
            else
                p.GetIhmInfo(ctx, buffer, 512);
        }
        EXPECT_EQ(g.calls, c.attendu + c.attendu);
        if (c.appel != Appel::Info) {
            EXPECT_EQ(resultats, (QList<int>{7, 0})); // the gateway's results come back unchanged
        }
    }
}

QByteArray reponse(qsizetype taille, quint32 statut, quint32 compte) {
    QByteArray r(taille, '\0');
    for (qsizetype i = 0; i < taille; ++i)
        r[i] = char(0x40 + i % 31);
    if (taille >= 260) qToLittleEndian<quint32>(statut, r.data() + 256);
    if (taille >= 276) qToLittleEndian<quint32>(compte, r.data() + 272);
    return r;
}

struct CasInfo {
    const char* nom;
    qsizetype tailleBuffer;
    qint16 longueur;
    QByteArray reponse;
    qint16 compte;
};

TEST(Passerelle, InformationRequestHeaderReadBackAndCount) {
    const CasInfo cas[] = {
        {"status 2 gives the count", 8704, 512, reponse(600, 2, 40), 40},
        {"other status gives 0", 8704, 512, reponse(600, 1, 40), 0},
        {"status 2 without a count field", 8704, 512, reponse(274, 2, 0), 0},
        {"reply longer than the buffer", 8704, 512, reponse(9000, 2, 157), 157},
        {"request as long as the buffer", 600, 600, reponse(700, 0, 0), 0},
        {"no reply", 8704, 36, QByteArray(), 0},
    };
    for (const CasInfo& c : cas) {
        SCOPED_TRACE(c.nom);
        auto owned = std::make_unique<RecordingGateway>();
        RecordingGateway& g = *owned;
        g.replies = {c.reponse};
        Passerelle p(std::move(owned));
        QByteArray buffer(c.tailleBuffer, '\0');
        for (qsizetype i = 0; i < buffer.size(); ++i)
            buffer[i] = char(i % 251);
        const QByteArray avant = buffer;
        bool repondu = false;
        qsizetype longueurReponse = -1;

        EXPECT_EQ(p.GetIhmInfo(contexte({}, {}), buffer, c.longueur, &repondu, &longueurReponse), c.compte);
        EXPECT_EQ(longueurReponse, c.reponse.size());

        // The caller's buffer gets the header, is sent as length + 1 bytes, then holds the reply.
        QByteArray marque = avant;
        marque.replace(0, 8, QByteArray::fromHex("cafecafe") + QByteArray(4, '\0'));
        qToLittleEndian<quint32>(quint32(c.longueur), marque.data() + 4);
        QByteArray requete = marque.left(c.longueur + 1);
        requete.resize(c.longueur + 1, '\0');
        EXPECT_EQ(g.requestsSeen, QList<QByteArray>{requete});
        EXPECT_EQ(repondu, !c.reponse.isEmpty());
        const qsizetype copie = qMin(c.reponse.size(), c.tailleBuffer);
        EXPECT_EQ(buffer, c.reponse.left(copie) + marque.mid(copie));
    }
}

using testing_support::headerValue;

// What the listener does with one complete request.
struct Reponse {
    QByteArray octets; // written as is, then the connection is closed
    int delaiMs = 0;   // answer after this delay
};

// A one-thread HTTP listener: it parses each request (headers and a Content-Length body), records it and
// answers through `repondre`. It runs while the gateway's own event loop waits.
class Ecoute {
public:
    QList<QByteArray> requetes;
    std::function<Reponse(const QByteArray& requete)> repondre;

    Ecoute() {
        serveur_->listen(QHostAddress::LocalHost);
        QObject::connect(serveur_.get(), &QTcpServer::pendingConnectionAvailable, serveur_.get(), [this] {
            while (QTcpSocket* s = serveur_->nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { lire(s); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString port() const { return QString::number(serveur_->serverPort()); }

private:
    void lire(QTcpSocket* s) {
        QByteArray& tampon = tampons_[s];
        tampon += s->readAll();
        const qsizetype fin = tampon.indexOf("\r\n\r\n");
        if (fin < 0) return;
        const qsizetype longueur = headerValue(tampon, "Content-Length").toLongLong();
        if (tampon.size() < fin + 4 + longueur) return;
        const QByteArray requete = tampon.left(fin + 4 + longueur);
        tampon.remove(0, requete.size());
        requetes << requete;
        const Reponse r = repondre(requete);
        QPointer<QTcpSocket> p(s);
        QTimer::singleShot(r.delaiMs, s, [p, octets = r.octets] {
            if (!p) return;
            p->write(octets);
            p->disconnectFromHost();
        });
    }

    std::unique_ptr<QTcpServer> serveur_ = std::make_unique<QTcpServer>();
    QHash<QTcpSocket*, QByteArray> tampons_;
};

QByteArray http(const QByteArray& statut, const QByteArray& corps, const QByteArray& entetes = {}) {
    return "HTTP/1.1 " + statut + "\r\nContent-Length: " + QByteArray::number(corps.size()) +
           "\r\nConnection: close\r\n" + entetes + "\r\n" + corps;
}

QByteArray corps(const QByteArray& requete) {
    return requete.mid(requete.indexOf("\r\n\r\n") + 4);
}

class HttpGatewayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        gateway.setTimeouts(2000, 2000);
        gateway.SetFtpConnectionParameters(QStringLiteral("127.0.0.1"), ecoute.port(), QStringLiteral("qavo"),
                                           QStringLiteral("admin"), QStringLiteral("s3cret"));
    }
    QString chemin(const char* nom) const { return dir.filePath(QString::fromLatin1(nom)); }

    QTemporaryDir dir;
    Ecoute ecoute;
    HttpGateway gateway;
};

TEST_F(HttpGatewayTest, FetchWritesTheWholeFileOrNothing) {
    const QByteArray fichier = QByteArray("[General]\r\nversion=900.1\r\n").repeated(20);
    const QByteArray autre = QCryptographicHash::hash("autre", QCryptographicHash::Sha256).toBase64();
    // A refused login, a late reply and a server that is down are each met against qavo-sim's faults at
    // every step of the editor's exchanges; nginx and squid have their own tests.
    const struct {
        const char* nom;
        QByteArray reponse;
        int raison;
        const char* message; // in lastError()
    } cas[] = {
        {"whole file", http("200 OK", fichier), HttpGateway::Ok, ""},
        {"missing file", http("404 Not Found", "none"), HttpGateway::Absent, "HTTP 404 Not Found"},
        {"too large, no length", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(3000, 'x'),
         HttpGateway::TooLarge, "> 2048"},
        {"no length, ended by closing", "HTTP/1.0 200 OK\r\n\r\n" + fichier, HttpGateway::Incomplete,
         "no Content-Length"},
        {"cut short", "HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n" + fichier.left(100),
         HttpGateway::Incomplete, "100 / 900"},
        {"digest differs", http("200 OK", fichier, "Digest: sha-256=" + autre + "\r\n"),
         HttpGateway::Incomplete, "Digest"},
        {"compressed", http("200 OK", fichier, "Content-Encoding: gzip\r\n"), HttpGateway::Encoding, "gzip"},
        {"redirect", http("302 Found", {}, "Location: /ailleurs/arbre.maa\r\n"), HttpGateway::Redirect,
         "HTTP 302 Found -> http://127.0.0.1:"},
    };
    gateway.setLimits(2048, 2048);
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        ecoute.requetes.clear();
        ecoute.repondre = [&](const QByteArray&) { return Reponse{c.reponse}; };

        const int r =
            gateway.GetFileHTTP_QAVO(QStringLiteral("qavo_general.txt"), chemin("qavo_general.txt"));

        EXPECT_EQ(r, c.raison) << qPrintable(gateway.lastError());
        EXPECT_TRUE(gateway.lastError().contains(QLatin1String(c.message)))
            << qPrintable(gateway.lastError());
        const QStringList restes = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (c.raison == HttpGateway::Ok) {
            EXPECT_EQ(restes, QStringList{QStringLiteral("qavo_general.txt")});
            EXPECT_EQ(testing_support::readBytes(chemin("qavo_general.txt")), fichier);
            QFile::remove(chemin("qavo_general.txt"));
        } else {
            EXPECT_TRUE(restes.isEmpty()) << qPrintable(restes.join(' '));
            EXPECT_FALSE(gateway.lastError().contains(QLatin1String("s3cret")));
        }
        ASSERT_EQ(ecoute.requetes.size(), 1);
        const QByteArray& requete = ecoute.requetes[0];
        EXPECT_TRUE(requete.startsWith("GET /qavo/files/qavo_general.txt HTTP/1.1\r\n"));
        EXPECT_EQ(headerValue(requete, "Authorization"), "Basic " + QByteArray("admin:s3cret").toBase64());
        EXPECT_EQ(headerValue(requete, "User-Agent"), "QAVO/" QAVO_VERSION);
        EXPECT_EQ(headerValue(requete, "Accept-Encoding"), "identity");
    }
}

TEST_F(HttpGatewayTest, StoreAndInformationRequestSendTheirBytes) {
    const QByteArray fichier("[Arbre1]\r\nM1=1\r\n\x01\xff", 18);
    testing_support::writeBytes(chemin("envoi.maa"), fichier);
    QByteArray reponse = http("201 Created", {});
    ecoute.repondre = [&](const QByteArray&) { return Reponse{reponse}; };
    EXPECT_EQ(gateway.PutFileHTTP_QAVO(chemin("envoi.maa"), QStringLiteral("arbre.maa")), HttpGateway::Ok)
        << qPrintable(gateway.lastError());
    EXPECT_EQ(gateway.PutFileHTTP_QAVO(chemin("envoi.maa"), QStringLiteral("../arbre.maa")),
              HttpGateway::NotConfigured);
    reponse = http("401 Unauthorized", {});
    EXPECT_EQ(gateway.PutFileHTTP_QAVO(chemin("envoi.maa"), QStringLiteral("arbre.maa")),
              HttpGateway::Refused);

    gateway.SetConnectionParameters(QStringLiteral("127.0.0.1"), ecoute.port(), QStringLiteral("acd_config"),
                                    QStringLiteral("admin"), QStringLiteral("s3cret"));
    gateway.setLimits(4096, 1024);
    QByteArray requete(513, '\0');
    for (int i = 0; i < requete.size(); ++i)
        requete[i] = char(i);
    qint16 longueur = 512;
    const QByteArray info(1024, 'r');
    reponse = http("200 OK", info);
    EXPECT_EQ(gateway.GetIhmInfo(requete, longueur), info);
    reponse = http("200 OK", info + 'r'); // one byte over the limit
    EXPECT_EQ(gateway.GetIhmInfo(requete, longueur), QByteArray());
    EXPECT_EQ(gateway.lastReason(), HttpGateway::TooLarge);

    ASSERT_EQ(ecoute.requetes.size(), 4);
    EXPECT_TRUE(ecoute.requetes[0].startsWith("PUT /qavo/files/arbre.maa HTTP/1.1\r\n"));
    EXPECT_EQ(corps(ecoute.requetes[0]), fichier);
    EXPECT_EQ(headerValue(ecoute.requetes[0], "Digest"),
              "sha-256=" + QCryptographicHash::hash(fichier, QCryptographicHash::Sha256).toBase64());
    EXPECT_EQ(headerValue(ecoute.requetes[0], "Content-Type"), "application/octet-stream");
    // The body follows its headers at once.
    EXPECT_EQ(headerValue(ecoute.requetes[0], "Expect"), "");
    EXPECT_TRUE(ecoute.requetes[2].startsWith("POST /acd_config/ihm HTTP/1.1\r\n"));
    EXPECT_EQ(corps(ecoute.requetes[2]), requete.left(512));
}

TEST_F(HttpGatewayTest, SlowReplyUnderTheLimitKeepsEventsFlowingAndRefusesASecondCall) {
    ecoute.repondre = [](const QByteArray&) { return Reponse{http("200 OK", "lent"), 300}; };
    int battements = 0;
    int secondAppel = -1;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++battements;
        if (secondAppel < 0)
            secondAppel = gateway.GetFileHTTP_QAVO(QStringLiteral("autre.txt"), chemin("autre.txt"));
    });
    timer.start(20);

    EXPECT_EQ(gateway.GetFileHTTP_QAVO(QStringLiteral("lent.txt"), chemin("lent.txt")), HttpGateway::Ok)
        << qPrintable(gateway.lastError());
    EXPECT_GE(battements, 3);
    EXPECT_EQ(secondAppel, HttpGateway::Busy);
    EXPECT_EQ(ecoute.requetes.size(), 1);
}

// Trust in certificates is met against nginx and, through qavo-cli, against qavo-sim.
TEST_F(HttpGatewayTest, AHandshakeThatNeverEndsCountsAsNoConnection) {
    gateway.setTimeouts(200, 5000);
    gateway.SetFtpConnectionParameters(QStringLiteral("https://127.0.0.1"), ecoute.port(),
                                       QStringLiteral("qavo"), QStringLiteral("admin"),
                                       QStringLiteral("s3cret"));
    EXPECT_EQ(gateway.GetFileHTTP_QAVO(QStringLiteral("b.maa"), chemin("b.maa")),
              HttpGateway::ConnectTimeout);
}

} // namespace
