#include "lines/record_codec.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Expected blocks are built byte by byte from the field positions, not with the codec's helpers.
void put32(QByteArray& b, int offset, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[offset + i] = char((v >> (8 * i)) & 0xFF);
}

void putBytes(QByteArray& b, int offset, const QByteArray& bytes) {
    b.replace(offset, bytes.size(), bytes);
}

QByteArray ff(int n) {
    return QByteArray(n, char(0xFF));
}

QByteArray padded(const QByteArray& text, int n) {
    return text + QByteArray(n - text.size(), '\0');
}

// A line record as the server stores it.
QByteArray lineRecordBytes(const QByteArray& first, const QByteArray& last, quint16 app, quint16 code2,
                           quint16 code3, const QByteArray& rest) {
    QByteArray r =
        (first.isEmpty() ? ff(20) : padded(first, 20)) + (last.isEmpty() ? ff(20) : padded(last, 20));
    for (quint16 v : {app, code2, code3})
        r += char(v & 0xFF), r += char(v >> 8);
    return r + rest;
}

VoieT2cs voie(const QString& first, const QString& last, quint16 app) {
    VoieT2cs v;
    v.setPremier(first);
    v.setDernier(last);
    v.application = app;
    return v;
}

QByteArray packedLine(const VoieT2cs& v) {
    QByteArray bloc;
    Clear_Bloc_Entete(bloc);
    Wr_Par_voie_T2cs(bloc, {v}, 0, 1);
    return bloc.mid(Bloc::DebutData, VoieT2cs::Taille);
}

QByteArray replyHeader(quint32 status, quint32 first, quint32 last, int size = Bloc::Taille) {
    QByteArray b(size, '\0');
    put32(b, 256, status);
    put32(b, 264, first);
    put32(b, 268, last);
    return b;
}

TEST(RecordCodec, RequestBlocksHoldTheirFields) {
    QList<VoieT2cs> voies(100);
    voies[4] = voie(QStringLiteral("0140"), QStringLiteral("0149"), 451);
    ParVoieT2c t2c;
    for (int i = 0; i < ParVoieT2c::Taille; ++i)
        t2c.octets[i] = char(i * 7);
    t2c.setNombreVoies(300);

    struct Cas {
        const char* nom;
        std::function<void(QByteArray&)> build;
        std::vector<std::pair<int, quint32>> champs; // offset, value; byte 8 included
        QByteArray data;                             // expected data part start
        qint16 longueur;
    };
    QByteArray t2cBytes(reinterpret_cast<const char*>(t2c.octets.data()), ParVoieT2c::Taille);
    t2cBytes[0] = char(300 & 0xFF), t2cBytes[1] = char(300 >> 8);
    const Cas cas[] = {
        {"0 application table",
         [](QByteArray& b) { requeteTableApplications(b, 157); },
         {{8, 0}, {12, 2}, {32, 157}, {36, 157}},
         {},
         512},
        {"1 application name",
         [](QByteArray& b) { requeteNomApplication(b, 452); },
         {{8, 1}, {12, 2}, {16, 452}},
         {},
         512},
        {"5 one application",
         [](QByteArray& b) { requeteApplication(b, 300); },
         {{8, 5}, {12, 2}, {16, 300}},
         {},
         512},
        {"100 write general",
         [&](QByteArray& b) { requeteEcritureGeneral(b, t2c); },
         {{8, 100}, {12, 0}, {32, 1}, {36, 16}},
         t2cBytes,
         8704},
        {"101 read general", [](QByteArray& b) { requeteLectureGeneral(b); }, {{8, 101}, {32, 1}}, {}, 512},
        {"102 write lines",
         [&](QByteArray& b) { requeteEcritureVoies(b, voies, 3, 2); },
         {{8, 102}, {12, 1}, {32, 3}, {36, 2}},
         ff(50) + lineRecordBytes("0140", "0149", 451, 0xFFFF, 0xFFFF, ff(4)),
         8704},
        {"103 read lines",
         [](QByteArray& b) { requeteLectureVoies(b, 192, 8); },
         {{8, 103}, {32, 192}, {36, 8}},
         {},
         512},
        {"105 reload lines", [](QByteArray& b) { requeteRechargeLignes(b); }, {{8, 105}}, {}, 8704},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        // A used block: the header is prepared again, and write requests empty the data part.
        QByteArray bloc(Bloc::Taille, char(0x5A));
        c.build(bloc);
        QByteArray attendu(Bloc::Taille, '\0');
        if (c.data.isEmpty()) attendu.replace(512, 8704 - 512, QByteArray(8704 - 512, char(0x5A)));
        for (const auto& [offset, value] : c.champs)
            put32(attendu, offset, value);
        putBytes(attendu, 512, c.data);
        EXPECT_EQ(bloc.size(), 8704);
        EXPECT_EQ(bloc, attendu);
        EXPECT_EQ(longueurRequete(lireU32(bloc, 8)), c.longueur);
    }
    // The general record reads back whole from where it is written.
    QByteArray bloc;
    requeteEcritureGeneral(bloc, t2c);
    ParVoieT2c lu;
    ASSERT_EQ(Rd_Par_voie_T2c(bloc, lu), ErreurReponse::Aucune);
    EXPECT_EQ(lu.octets, t2c.octets);
}

TEST(RecordCodec, RecordsUnpackFromTheirServerBytes) {
    // Line records: numbers, codes (0xFFFF = none), the rest carried.
    QByteArray reply = replyHeader(0, 2, 5);
    putBytes(reply, 512, lineRecordBytes("0140", "0149", 451, 0xFFFF, 7, "\x01\x02\x03\x04"));
    putBytes(reply, 562, ff(50));
    putBytes(reply, 612, lineRecordBytes("", "\xE9t\xE9", 0xFFFF, 12, 0xFFFF, ff(4)));
    QList<VoieT2cs> voies(6);
    PageReponse page;
    ASSERT_EQ(Rd_Par_voie_T2cs(reply, voies, page), ErreurReponse::Aucune);
    EXPECT_EQ(page.premier, 2);
    EXPECT_EQ(page.nombre(), 3);
    const auto texte = [&](int i) {
        const VoieT2cs& v = voies[i];
        return QStringList({v.premierTexte(), v.dernierTexte(), QString::number(v.application),
                            QString::number(v.code2), QString::number(v.code3)});
    };
    EXPECT_EQ(texte(2), QStringList({"0140", "0149", "451", "65535", "7"}));
    EXPECT_EQ(texte(4), QStringList({"", QStringLiteral("été"), "65535", "12", "65535"}));
    EXPECT_EQ(packedLine(voies[2]), reply.mid(512, 50));
    EXPECT_TRUE(voies[3].estLibre() && !voies[3].estUtilisee());
    EXPECT_TRUE(voies[4].estUtilisee());
    EXPECT_TRUE(voies[1].estLibre()); // outside the page: untouched

    // Application records, 52 bytes each.
    QByteArray apps = replyHeader(0, 157, 159);
    putBytes(apps, 512,
             padded("451", 6) + padded("Accueil", 16) + QByteArray(14, 'x') + padded("A1", 6) +
                 padded("quatre", 10));
    putBytes(apps, 564, padded("300", 6) + padded("$Fax", 16) + QByteArray(14, 'x') + ff(6) + ff(10));
    QList<EnregApplication> lues;
    ASSERT_EQ(Rd_Applications(apps, lues, page), ErreurReponse::Aucune);
    ASSERT_EQ(lues.size(), 2);
    EXPECT_EQ(QStringList({lues[0].code, lues[0].nom, lues[0].code2, lues[0].champ4}),
              QStringList({"451", "Accueil", "A1", "quatre"}));
    EXPECT_EQ(QStringList({lues[1].code, lues[1].nom, lues[1].code2, lues[1].champ4}),
              QStringList({"300", "$Fax", "", ""}));

    // One application (request 5) and an application name (request 1).
    QByteArray une = replyHeader(0, 0, 0);
    putBytes(une, 512, padded("452", 6) + padded("Standard", 16));
    putBytes(une, 40, padded("Nuit", 16));
    EnregApplication app;
    ASSERT_EQ(Rd_Application(une, app), ErreurReponse::Aucune);
    EXPECT_EQ(app.code + QLatin1Char('|') + app.nom, QStringLiteral("452|Standard"));
    QString nom;
    ASSERT_EQ(Rd_NomApplication(une, nom), ErreurReponse::Aucune);
    EXPECT_EQ(nom, QStringLiteral("Nuit"));
}

TEST(RecordCodec, ServerCharactersAndNoneMarks) {
    struct Lu {
        QByteArray champ;
        QString texte;
    };
    const Lu lus[] = {
        {padded("0140", 20), "0140"},
        {QByteArray("12") + ff(18), "12"},
        {ff(20), ""},
        {QByteArray(20, '7'), QString(20, '7')},
        {padded("\xE9\x80", 20), QStringLiteral("é€")},
        {QByteArray("\00099", 3), ""}, // NUL, 9, 9
    };
    for (const Lu& l : lus)
        EXPECT_EQ(conv_wexa_string(l.champ), l.texte) << l.champ.toHex().constData();

    struct Ecrit {
        QString texte;
        QByteArray champ;
    };
    const Ecrit ecrits[] = {
        {"", ff(6)},
        {"45", padded("45", 6)},
        {"1234567890", "123456"},
        {QStringLiteral("é€"), padded("\xE9\x80", 6)},
    };
    for (const Ecrit& e : ecrits) {
        QByteArray champ(8, 'z');
        conv_string_wexa(e.texte, champ.data(), 6);
        EXPECT_EQ(champ, e.champ + "zz") << e.texte.toStdString();
    }

    // Free takes bytes 0-45 all 0xFF; in use looks at the numbers, the application and the second code.
    struct Etat {
        const char* nom;
        std::function<void(VoieT2cs&)> change;
        bool libre, utilisee;
    };
    const Etat etats[] = {
        {"new record", [](VoieT2cs&) {}, true, false},
        {"rest only", [](VoieT2cs& v) { v.reste = {}; }, true, false},
        {"third code", [](VoieT2cs& v) { v.code3 = 1; }, false, false},
        {"second code", [](VoieT2cs& v) { v.code2 = 0; }, false, true},
        {"application", [](VoieT2cs& v) { v.application = 451; }, false, true},
        {"last number", [](VoieT2cs& v) { v.setDernier("9"); }, false, true},
        {"byte after an empty number", [](VoieT2cs& v) { v.premier[5] = 'x'; }, false, false},
    };
    for (const Etat& e : etats) {
        VoieT2cs v;
        e.change(v);
        EXPECT_EQ(v.estLibre(), e.libre) << e.nom;
        EXPECT_EQ(v.estUtilisee(), e.utilisee) << e.nom;
    }
}

// Each bad reply is refused and nothing is read from it. The reply is held in an allocation of exactly
// its length, so that a read past its end is caught when this runs under AddressSanitizer.
TEST(RecordCodec, BadRepliesAreRefused) {
    enum Lecteur { Apps, Voies, General, Une, Nom };
    struct Cas {
        const char* nom;
        Lecteur lecteur;
        QByteArray reponse;
        ErreurReponse erreur;
    };
    const auto page = replyHeader;
    std::vector<Cas> cas = {
        {"header cut", Voies, page(0, 0, 0, 511), ErreurReponse::TropCourte},
        {"header cut before status", Nom, QByteArray(200, '\0'), ErreurReponse::TropCourte},
        {"status 1", Apps, page(1, 0, 1, 8704), ErreurReponse::Statut},
        {"status 2", Voies, page(2, 0, 1, 8704), ErreurReponse::Statut},
        {"status 2", General, page(2, 0, 0, 8704), ErreurReponse::Statut},
        {"status 3", Une, page(3, 0, 0, 8704), ErreurReponse::Statut},
        {"status 3", Nom, page(3, 0, 0, 8704), ErreurReponse::Statut},
        {"last below first", Apps, page(0, 10, 9, 8704), ErreurReponse::IndexInverses},
        {"last below first", Voies, page(0, 10, 9, 8704), ErreurReponse::IndexInverses},
        {"158 applications", Apps, page(0, 0, 158, 8704), ErreurReponse::TropDEnregistrements},
        {"97 lines", Voies, page(0, 0, 97, 8704), ErreurReponse::TropDEnregistrements},
        {"extreme indexes", Apps, page(0, 0x80000000u, 0x7FFFFFFFu, 8704),
         ErreurReponse::TropDEnregistrements},
        {"last application cut", Apps, page(0, 0, 10, 512 + 10 * 52 - 1), ErreurReponse::HorsReponse},
        {"last line cut", Voies, page(0, 0, 96, 512 + 96 * 50 - 1), ErreurReponse::HorsReponse},
        {"lines without data", Voies, page(0, 0, 1, 512), ErreurReponse::HorsReponse},
        {"general record cut", General, page(0, 0, 0, 512 + 799), ErreurReponse::HorsReponse},
        {"application cut", Une, page(0, 0, 0, 512 + 21), ErreurReponse::HorsReponse},
        {"lines past the table", Voies, page(0, 95, 101, 8704), ErreurReponse::HorsTableau},
        {"negative first line", Voies, page(0, 0xFFFFFFFFu, 1, 8704), ErreurReponse::HorsTableau},
    };
    for (const Lecteur l : {Apps, Voies, General, Une, Nom})
        cas.push_back({"empty", l, {}, ErreurReponse::TropCourte});
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::vector<char> exact(c.reponse.begin(), c.reponse.end());
        const QByteArrayView reponse(exact.data(), qsizetype(exact.size()));
        QList<EnregApplication> apps;
        QList<VoieT2cs> voies(100);
        ParVoieT2c t2c;
        EnregApplication app{"x", "y", "z", "w"};
        QString nom = QStringLiteral("avant");
        PageReponse p{-1, -1};
        ErreurReponse e = ErreurReponse::Aucune;
        switch (c.lecteur) {
        case Apps:
            e = Rd_Applications(reponse, apps, p);
            break;
        case Voies:
            e = Rd_Par_voie_T2cs(reponse, voies, p);
            break;
        case General:
            e = Rd_Par_voie_T2c(reponse, t2c);
            break;
        case Une:
            e = Rd_Application(reponse, app);
            break;
        case Nom:
            e = Rd_NomApplication(reponse, nom);
            break;
        }
        EXPECT_EQ(e, c.erreur);
        EXPECT_TRUE(apps.isEmpty());
        EXPECT_TRUE(std::all_of(voies.begin(), voies.end(), [](const VoieT2cs& v) { return v.estLibre(); }));
        EXPECT_EQ(t2c.nombreVoies(), 0);
        EXPECT_EQ(app.code + app.nom, QStringLiteral("xy"));
        EXPECT_EQ(nom, QStringLiteral("avant"));
        EXPECT_EQ(p.premier, -1);
    }
}

} // namespace
