#include "startup/server_info.h"

#include "startup/app_context.h"
#include "startup/profile_file.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

ProfileFile infoWith(const QString& body) {
    return ProfileFile::parse("[General]\r\nversion=900.2\r\n" + body);
}

QString describe(const Announcement& a) {
    return QStringLiteral("%1|%2|%3%4%5%6")
        .arg(a.number)
        .arg(a.name)
        .arg(a.flags[0])
        .arg(a.flags[1])
        .arg(a.flags[2])
        .arg(a.flags[3]);
}

TEST(ServerInfo, GenerationFlagsFromTheVersion) {
    const struct {
        const char* version;
        bool v500, v900;
    } cases[] = {
        {"820.5", true, false}, {"821.0", true, true}, {"900.1", true, true},  {"1000.0", true, true},
        {"1", true, true},      {"4.2", false, false}, {"", false, false},     {"900", true, false}, // no "."
        {"5.0", true, false},   {"X.2", true, false},  {"V900.", true, false}, {"999.", true, true},
        {"0.9", false, false},
    };
    for (const auto& c : cases) {
        AppContext ctx;
        ctx.modeLocal = false;
        ctx.VERSION_generel = c.version;
        deriveGenerationFlags(ctx);
        EXPECT_EQ(ctx.VERSION_500, c.v500) << c.version;
        EXPECT_EQ(ctx.VERSION_900, c.v900) << c.version;
    }
    AppContext local; // the local mode is never generation 900
    local.VERSION_generel = "900.1";
    deriveGenerationFlags(local);
    EXPECT_TRUE(local.VERSION_500);
    EXPECT_FALSE(local.VERSION_900);
}

TEST(ServerInfo, AnnouncementsKeepInnerSemicolonsAndStopAtTheFirstGap) {
    AppContext ctx;
    ASSERT_EQ(loadAnnouncements(ctx, infoWith("[Annonces]\r\n1=12;Hall; east;1;0;0;1\r\n2=7;Short;1\r\n"
                                              "3=8;Plain;0;1;1;0\r\n5=9;After gap;1;1;1;1\r\n")),
              3);
    EXPECT_EQ(describe(ctx.Announcements[0]), "12|Hall; east|1001");
    EXPECT_EQ(describe(ctx.Announcements[1]), "0||0000") << "a short line counts, as an empty record";
    EXPECT_EQ(describe(ctx.Announcements[2]), "8|Plain|0110");
}

TEST(ServerInfo, StationsWithAndWithoutVoiceBox) {
    const QString body =
        "[Postes]\r\n1=201;Accueil;1\r\n2=202;Dupont; Jean;2;8202\r\n3=203;Martin;3;\r\n4=204;X\r\n";
    const QStringList expected[] = {
        {"201|Accueil|1|", "202|Dupont; Jean;2|8202|", "203|Martin;3|0|", "||0|"},
        {"||0|", "202|Dupont; Jean|2|8202", "203|Martin|3|", "||0|"}}; // before and from generation 500
    for (bool v500 : {false, true}) {
        AppContext ctx;
        ctx.VERSION_500 = v500;
        ASSERT_EQ(loadStations(ctx, infoWith(body)), 4);
        QStringList stations;
        for (const Station& s : ctx.Stations)
            stations << QStringLiteral("%1|%2|%3|%4").arg(s.number, s.name).arg(s.kind).arg(s.voiceBox);
        EXPECT_EQ(stations, expected[v500]);
    }
}

TEST(ServerInfo, ListValuesAreUtf8AndCutAt254Bytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("qavo_general.txt");
    testing_support::writeBytes(path,
                                "[General]\r\nNb_arbre=2\r\nversion=821.3\r\nStandard=9\r\n[Annonces]\r\n"
                                "1=3;Caf\xc3\xa9 \xe2\x82\xac;1;1;0;0\r\n2=4;" +
                                    QByteArray(244, 'n') + ";1;1;1;1\r\n3=5;" + QByteArray(245, 'n') +
                                    ";1;1;1;1\r\n[Postes]\r\n1=10;R\xc3\xa9"
                                    "ception;1;\r\n");
    AppContext ctx;
    ASSERT_TRUE(loadServerInformation(ctx, path));
    EXPECT_EQ(ctx.Nb_arbre, 2);
    EXPECT_EQ(ctx.VERSION_generel, "821.3");
    EXPECT_EQ(ctx.numStandard, "9");
    EXPECT_TRUE(ctx.VERSION_500);
    EXPECT_TRUE(ctx.VERSION_900);
    ASSERT_EQ(ctx.NbAnnonces(), 3);
    EXPECT_EQ(ctx.Announcements[0].name, QStringLiteral("Café €"));
    // 254 characters survive: a 255th is the last flag.
    EXPECT_EQ(describe(ctx.Announcements[1]), "4|" + QString(244, 'n') + "|1111");
    EXPECT_EQ(describe(ctx.Announcements[2]), "5|" + QString(245, 'n') + "|1110");
    ASSERT_EQ(ctx.NbPostes(), 1);
    EXPECT_EQ(ctx.Stations[0].name, QStringLiteral("Réception"));

    AppContext forced;
    ASSERT_TRUE(loadServerInformation(forced, path, "4.1"));
    EXPECT_EQ(forced.VERSION_generel, "4.1");
    EXPECT_FALSE(forced.VERSION_500);
}

TEST(ServerInfo, ReadServerInfoByMode) {
    QTemporaryDir dir;
    const QString path = dir.filePath("info.txt"), none = dir.filePath("none.txt");
    testing_support::writeBytes(path, "[general]\r\nNB_ARBRE=x\r\nVersion=900.2\r\n");
    const struct {
        bool local;
        QString file;
        bool ok;
        const char* version;
    } cases[] = {
        {true, QString(), true, "Version locale"},
        {false, QString(), false, ""},
        {false, none, false, ""},
        {false, path, true, "900.2"}, // a count that is not a number keeps all trees
        {true, path, true, "900.2"},
    };
    for (const auto& c : cases) {
        AppContext ctx;
        ctx.modeLocal = c.local;
        ctx.fileLecture = c.file;
        EXPECT_EQ(readServerInfo(ctx), c.ok) << c.file.toStdString();
        if (c.ok) {
            EXPECT_EQ(QStringLiteral("%1 %2").arg(ctx.Nb_arbre).arg(ctx.VERSION_generel),
                      "5 " + QString(c.version));
        }
    }
    AppContext missing;
    missing.fileLecture = none;
    EXPECT_EQ(loadAnnouncements(missing) + loadStations(missing), 0);
}

TEST(ServerInfo, DigitsOnly) {
    const std::pair<const char*, const char*> cases[] = {{"10", "10"}, {"a1b2c3", "123"}, {"", "0"},
                                                         {"abc", "0"}, {"-5.5", "55"},    {" 0 ", "0"}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(digitsOnly(in), out) << in;
}

} // namespace
