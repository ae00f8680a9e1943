#include "lines/lines500.h"

#include "lines/scripted_server.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct Serveur : ServeurScripte {
    Serveur()
        : ServeurScripte(
              QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nVoiesDeb= Début \r\n"
                             "VoiesFin=Fin\r\nVoiesApp=Application\r\n[VOIES]\r\nSTANDARD=Standard\r\n")) {}
};

void scripterLecture(Serveur& s, const QList<VoieT2cs>& voies) {
    s.gateway->replies << lectureVoies(voies);
}

// The rows as texts: first;last;application, and whether greyed.
QStringList texte(const Voies500& v) {
    QStringList out;
    for (const LigneVoie500& l : v.lignes())
        out << l.premier + ';' + l.dernier + ';' + l.texteApplication() + (l.grise ? ";grey" : "");
    return out;
}

TEST(Voies500, ReadsInPagesOf96AndResolvesNamesOnce) {
    Serveur s;
    scripterLecture(s, tableServeur(200));
    Voies500 v(s.ctx);
    QList<std::pair<int, int>> progres;

    ASSERT_TRUE(v.lire([&](int lues, int total) { progres.append({lues, total}); }));

    // Each page's first line and count (the simulator's test reads them from its log), then the names.
    EXPECT_EQ(s.codes(), QList<quint32>({101, 103, 103, 103, 5, 5}));
    EXPECT_EQ(QList<quint32>({s.champ(2, 32), s.champ(3, 36), s.champ(4, 16), s.champ(5, 16)}),
              QList<quint32>({96, 8, 451, 300}));
    EXPECT_EQ(progres, (QList<std::pair<int, int>>{{96, 200}, {192, 200}, {200, 200}}));

    ASSERT_EQ(v.lignes().size(), 200);
    EXPECT_EQ(texte(v).mid(0, 5), QStringList({"0140;0149;451   Standard", "0200;0299;300   Messagerie;grey",
                                               "0300;0300;", "0400;;451   Standard", ";;"}));
}

TEST(Voies500, AFailedRequestEndsTheReadAndNothingIsWritten) {
    const QList<VoieT2cs> table = tableServeur(200);
    QByteArray refus = pageVoies(table, 96, 96);
    ecrireEnteteReponse(refus, 1, 96, 192);
    struct Cas {
        const char* nom;
        QList<QByteArray> replies;
    };
    const Cas cas[] = {
        {"general record refused", {reponseGeneral(200).left(700)}},
        {"second page bad status", {reponseGeneral(200), pageVoies(table, 0, 96), refus}},
        {"second page not answered", {reponseGeneral(200), pageVoies(table, 0, 96)}},
        {"name not answered",
         {reponseGeneral(200), pageVoies(table, 0, 96), pageVoies(table, 96, 96), pageVoies(table, 192, 8)}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        Serveur s;
        s.gateway->replies = c.replies;
        Voies500 v(s.ctx);
        EXPECT_FALSE(v.ResetVoies());
        EXPECT_FALSE(v.estLu());
        EXPECT_FALSE(v.ecrire().isEmpty());
        for (quint32 code : s.codes())
            EXPECT_TRUE(code == 101 || code == 103 || code == 5) << code;
    }
}

TEST(Voies500, EditsFollowTheRowRules) {
    Serveur s;
    scripterLecture(s, tableServeur(10));
    Voies500 v(s.ctx);
    ASSERT_TRUE(v.lire());
    struct Cas {
        int ligne, colonne;
        QString texte;
        bool accepte;
        QString resultat;
    };
    const Cas cas[] = {
        {0, 1, " 12A*#x ", true, "12A*#x"}, {0, 2, "0150", true, "0150"}, {0, 1, "", true, ""},
        {0, 2, "12-3", false, "0150"},      {0, 2, "1.5", false, "0150"}, {4, 1, "abcd", true, "abcd"},
        {1, 1, "0201", false, "0200"}, // greyed: application 300
        {1, 2, "", false, "0299"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.texte.toStdString());
        EXPECT_EQ(v.setNumero(c.ligne, c.colonne, c.texte), c.accepte);
        const LigneVoie500& l = v.lignes()[c.ligne];
        EXPECT_EQ(c.colonne == 1 ? l.premier : l.dernier, c.resultat);
    }

    const ApplicationListe app{"00452", "Accueil ", "", ""};
    EXPECT_TRUE(v.setApplication(2, &app));
    EXPECT_EQ(v.lignes()[2].texteApplication(), QStringLiteral("452   Accueil"));
    EXPECT_FALSE(v.effacer(1, 3));
    EXPECT_EQ(v.lignes()[1].code, QStringLiteral("300"));
    EXPECT_TRUE(v.effacer(3, 3));
    EXPECT_EQ(v.lignes()[3].texteApplication(), QString());
    EXPECT_FALSE(v.setNumero(10, 1, "1"));
}

TEST(Voies500, ResetVoiesWritesPagesThenTheGeneralRecord) {
    Serveur s;
    const QList<VoieT2cs> table = tableServeur(100);
    scripterLecture(s, table);
    for (int i = 0; i < 3; ++i)
        s.gateway->replies << blocVide();
    Voies500 v(s.ctx);

    ASSERT_TRUE(v.ResetVoies());

    EXPECT_EQ(s.codes(), QList<quint32>({101, 103, 103, 5, 5, 102, 102, 100}));
    EXPECT_EQ(s.gateway->requestsSeen[5].size(), 8705);
    EXPECT_EQ(s.gateway->requestsSeen[7].mid(512, 800), reponseGeneral(100).mid(512, 800));

    // 451: no first number, no application; 300 unchanged; none: no first number; the rest free.
    QList<VoieT2cs> attendues(100);
    attendues[0] = voie("", "0149", VoieT2cs::Aucun), attendues[1] = table[1];
    attendues[2] = voie("", "0300", VoieT2cs::Aucun);
    EXPECT_EQ(voiesEcrites(s, 100), attendues);
}

TEST(Voies500, CsvExportAndImport) {
    Serveur s;
    scripterLecture(s, tableServeur(8));
    Voies500 v(s.ctx);
    ASSERT_TRUE(v.lire());
    EXPECT_TRUE(v.setNumero(5, 1, "0600"));

    EXPECT_EQ(v.exporterCsv(), QByteArray("D\xE9"
                                          "but;Fin;Application\r\n0140;0149;451\r\n0200;0299;300\r\n"
                                          "0300;0300;\r\n0400;;451\r\n;;\r\n0600;;\r\n"));

    struct Cas {
        const char* nom;
        QByteArray fichier;
        QStringList lignes; // first;last;application text of the rows in use
        bool nomConnu;      // the server knows the one name asked
        int requetesNom;
    };
    const Cas cas[] = {
        {"title line dropped",
         "Debut;Fin;App\r\n/ comment\r\n\r\n0140 ; 0149 ; 453\r\n0150;;\r\n0160;0169;451;extra\r\n",
         {"0140;0149;453   ****************", "0200;0299;300   Messagerie;grey", "0150;;"}, // not 4 fields
         false,
         1},
        {"no header",
         "0140;0149;300\r\n;0159;455\n",
         {"0140;0149;300   Messagerie;grey", "0200;0299;300   Messagerie;grey", ";0159;455   Nuit"},
         true,
         1},
        {"first field empty", ";;\r\n7;;\r\n", {"0200;0299;300   Messagerie;grey", "7;;"}, false, 0},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        Voies500 w(s.ctx);
        s.gateway->replies.clear();
        scripterLecture(s, tableServeur(8));
        ASSERT_TRUE(w.lire());
        s.gateway->requestsSeen.clear();
        QByteArray nom = blocVide();
        if (c.nomConnu) ecrireNomApplication(nom, "Nuit");
        s.gateway->replies = {nom};

        w.importerCsv(c.fichier);

        EXPECT_EQ(texte(w).filter(QRegularExpression("[^;]")), c.lignes);
        EXPECT_EQ(s.codes(), QList<quint32>(c.requetesNom, 1));
    }
}

// Any table exported then imported comes back record by record, each at its index, greyed rows
// included, without asking the server anything.
TEST(Voies500, ExportThenImportGivesBackEveryRecordAtItsIndex) {
    QRandomGenerator random(5);
    for (const int nombre : {5000, 7, 130, 300}) {
        SCOPED_TRACE(nombre);
        QList<VoieT2cs> table = tableServeur(nombre);
        const quint16 apps[] = {451, 300, VoieT2cs::Aucun};
        for (int k = 4; k < nombre; ++k)
            if (random.bounded(3) > 0)
                table[k] = voie(random.bounded(2) ? QString::number(random.bounded(900)) : QString(),
                                QString::number(random.bounded(90)), apps[random.bounded(3)]);
        Serveur s;
        scripterLecture(s, table);
        Voies500 v(s.ctx);
        ASSERT_TRUE(v.lire());
        const QStringList lues = texte(v);
        s.gateway->requestsSeen.clear();
        v.importerCsv(v.exporterCsv());
        EXPECT_FALSE(v.estModifie());
        EXPECT_EQ(texte(v), lues);
        EXPECT_TRUE(s.codes().isEmpty());
    }
}

} // namespace
