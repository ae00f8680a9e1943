#include "core/app_context.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"

#include <QtEndian>
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

} // namespace
