#include "lines/application_table.h"

#include "lines/scripted_server.h"

#include <gtest/gtest.h>

namespace {

struct Serveur : ServeurScripte {
    Serveur()
        : ServeurScripte(QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[VOIES]\r\nFAX=Fax server\r\n"
                                        "STANDARD=Operator\r\n[LABELS]\r\nFAX=wrong section\r\n")) {}
};

// A page of the application table: records first..last-1, codes from `code`.
QByteArray pageApplications(int first, int last, int code, int status = 0) {
    QByteArray bloc(Bloc::Taille, '\0');
    ecrireEnteteReponse(bloc, quint32(status), first, last);
    for (int k = 0; k < last - first; ++k)
        Wr_Application(bloc, k,
                       {QString::number(code + k), QStringLiteral("App%1").arg(code + k), "C2", "F4"});
    return bloc;
}

TEST(ApplicationTable, PagesUntilAShortPageOrAFailure) {
    struct Cas {
        const char* nom;
        QList<QByteArray> replies;
        int requetes;
        qsizetype lues;
        bool ok;
    };
    const Cas cas[] = {
        {"157 then 156", {pageApplications(0, 157, 1), pageApplications(157, 313, 158)}, 2, 313, true},
        {"one short page", {pageApplications(0, 3, 1)}, 1, 3, true},
        {"empty table", {pageApplications(0, 0, 1)}, 1, 0, true},
        {"second page not answered", {pageApplications(0, 157, 1)}, 2, 157, false},
        {"second page bad status",
         {pageApplications(0, 157, 1), pageApplications(157, 160, 158, 1)},
         2,
         157,
         false},
        {"first page cut", {pageApplications(0, 157, 1).left(600)}, 1, 0, false},
        {"server repeats its page",
         {pageApplications(0, 157, 1), pageApplications(0, 157, 158)},
         2,
         314,
         false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        Serveur s;
        s.gateway->replies = c.replies;
        const ChargementApplications r = loadApplications(s.ctx);
        EXPECT_EQ(r.ok, c.ok);
        ASSERT_EQ(r.entrees.size(), c.lues);
        for (qsizetype i = 0; i < r.entrees.size(); ++i)
            ASSERT_EQ(r.entrees[i].code, QString::number(i + 1));
        ASSERT_EQ(s.gateway->requestsSeen.size(), c.requetes);
        for (int i = 0; i < c.requetes; ++i) {
            EXPECT_EQ(s.gateway->requestsSeen[i].size(),
                      513); // 512 bytes and one more, as the gateway takes them
            EXPECT_EQ(QList<quint32>({s.champ(i, 8), s.champ(i, 12), s.champ(i, 32), s.champ(i, 36)}),
                      QList<quint32>({0, 2, i == 0 ? 0u : 157u, 157})); // from the first page's last index
        }
    }
}

TEST(ApplicationTable, ListsAndDisplayNames) {
    Serveur s;
    const QList<EnregApplication> entrees = {
        {"300", "  Messagerie ", "M", "x"}, {"451", "$ FAX", "A", "1"}, {"455", "$STANDARD", "B", "2"},
        {"489", "$INCONNU", "", ""},        {"490", "Limite", "", ""},  {"456", "Hors SVI", "", ""},
        {"000452", "Zeros", "", ""},
    };
    const auto items = [](const QList<ApplicationListe>& liste) {
        QStringList out;
        for (const ApplicationListe& a : liste)
            out << a.item();
        return out;
    };
    const QList<ApplicationListe> liste = applicationsToutes(entrees, s.ctx.translation);
    EXPECT_EQ(items(liste), QStringList({"300|Messagerie|M|x", "451|Fax server|A|1", "455|Operator|B|2",
                                         "489|*||", "456|Hors SVI||", "000452|Zeros||"}));
    EXPECT_EQ(items(applicationsChoisissables(entrees, s.ctx.translation)),
              QStringList({"451|Fax server|A|1", "455|Operator|B|2", "00452|Zeros||"}));
    EXPECT_EQ(applicationName(liste, 455), QStringLiteral("Operator"));
    EXPECT_EQ(applicationName(liste, 452), QStringLiteral("Zeros"));
    EXPECT_EQ(applicationName(liste, 490), QString());
}

TEST(ApplicationTable, SingleApplicationRequests) {
    Serveur s;
    QByteArray une(Bloc::Taille, '\0');
    Wr_Application(une, 0, {"452", "Standard", "", ""});
    QByteArray nom(Bloc::Taille, '\0');
    ecrireNomApplication(nom, QStringLiteral("Nuit"));
    QByteArray sansNom(Bloc::Taille, '\0');
    QByteArray refus(Bloc::Taille, '\0');
    ecrireEnteteReponse(refus, 1, 0, 0);
    s.gateway->replies = {une, refus, nom, sansNom, refus};

    const std::optional<EnregApplication> app = lireApplication(s.ctx, 452);
    ASSERT_TRUE(app);
    EXPECT_EQ(app->code + QLatin1Char('|') + app->nom, QStringLiteral("452|Standard"));
    EXPECT_FALSE(lireApplication(s.ctx, 453));
    EXPECT_EQ(lireNomApplication(s.ctx, 300), QStringLiteral("Nuit"));
    EXPECT_EQ(lireNomApplication(s.ctx, 301), NomApplicationInconnue);
    EXPECT_EQ(lireNomApplication(s.ctx, 302), NomApplicationInconnue);
    EXPECT_EQ(s.codes(), QList<quint32>({5, 5, 1, 1, 1})); // the codes asked: the simulator's test
}

} // namespace
