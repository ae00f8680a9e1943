#include "startup/server_info.h"

#include "startup/app_context.h"
#include "startup/profile_file.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

AppContext onlineWithVersion(const char* version) {
    AppContext ctx;
    ctx.modeLocal = false;
    ctx.VERSION_generel = QString::fromUtf8(version);
    return ctx;
}

ProfileFile infoWith(const QString& body) {
    return ProfileFile::parse(QStringLiteral("[General]\r\nversion=900.2\r\n") + body);
}

} // namespace

TEST(ServerInfo, GenerationFlagsFromTheVersion) {
    struct Case {
        const char* version;
        bool v500, v900;
    } cases[] = {
        {"820.5", true, false}, {"821.0", true, true}, {"900.1", true, true},  {"1000.0", true, true},
        {"1", true, true},      {"4.2", false, false}, {"", false, false},     {"900", true, false}, // no "."
        {"5.0", true, false},   {"X.2", true, false},  {"V900.", true, false}, {"999.", true, true},
        {"0.9", false, false},
    };
    for (const Case& c : cases) {
        AppContext ctx = onlineWithVersion(c.version);
        deriveGenerationFlags(ctx);
        EXPECT_EQ(ctx.VERSION_500, c.v500) << c.version;
        EXPECT_EQ(ctx.VERSION_900, c.v900) << c.version;
    }
    AppContext local;
    local.modeLocal = true;
    local.VERSION_generel = QStringLiteral("900.1");
    deriveGenerationFlags(local);
    EXPECT_TRUE(local.VERSION_500);
    EXPECT_FALSE(local.VERSION_900);
}

TEST(ServerInfo, AnnouncementsKeepInnerSemicolonsAndStopAtTheFirstGap) {
    AppContext ctx;
    const int n = loadAnnouncements(ctx, infoWith(QStringLiteral("[Annonces]\r\n"
                                                                 "1=12;Hall; east;1;0;0;1\r\n"
                                                                 "2=7;Short;1\r\n"
                                                                 "3=8;Plain;0;1;1;0\r\n"
                                                                 "5=9;After gap;1;1;1;1\r\n")));
    ASSERT_EQ(n, 3);
    EXPECT_EQ(ctx.Announcements[0].number, 12);
    EXPECT_EQ(ctx.Announcements[0].name, QStringLiteral("Hall; east"));
    EXPECT_EQ((std::array<qint16, 4>{ctx.Announcements[0].flags[0], ctx.Announcements[0].flags[1],
                                     ctx.Announcements[0].flags[2], ctx.Announcements[0].flags[3]}),
              (std::array<qint16, 4>{1, 0, 0, 1}));
    // A short line still counts, as an empty record.
    EXPECT_EQ(ctx.Announcements[1].number, 0);
    EXPECT_EQ(ctx.Announcements[1].name, QString());
    EXPECT_EQ(ctx.Announcements[2].name, QStringLiteral("Plain"));
    EXPECT_EQ(ctx.Announcements[2].flags[1], 1);
}

TEST(ServerInfo, StationsWithAndWithoutVoiceBox) {
    const QString body = QStringLiteral("[Postes]\r\n"
                                        "1=201;Accueil;1\r\n"
                                        "2=202;Dupont; Jean;2;8202\r\n"
                                        "3=203;Martin;3;\r\n"
                                        "4=204;X\r\n");
    struct Expect {
        const char* number;
        const char* name;
        qint16 kind;
        const char* voiceBox;
    };
    const Expect without500[] = {{"201", "Accueil", 1, ""},
                                 {"202", "Dupont; Jean;2", 8202, ""},
                                 {"203", "Martin;3", 0, ""},
                                 {"", "", 0, ""}};
    const Expect with500[] = {{"", "", 0, ""}, // too short for four fields
                              {"202", "Dupont; Jean", 2, "8202"},
                              {"203", "Martin", 3, ""},
                              {"", "", 0, ""}};
    for (bool v500 : {false, true}) {
        AppContext ctx;
        ctx.VERSION_500 = v500;
        ASSERT_EQ(loadStations(ctx, infoWith(body)), 4);
        const Expect* expected = v500 ? with500 : without500;
        for (int i = 0; i < 4; ++i) {
            const Station& s = ctx.Stations[i];
            EXPECT_EQ(s.number, QString::fromUtf8(expected[i].number)) << v500 << i;
            EXPECT_EQ(s.name, QString::fromUtf8(expected[i].name)) << v500 << i;
            EXPECT_EQ(s.kind, expected[i].kind) << v500 << i;
            EXPECT_EQ(s.voiceBox, QString::fromUtf8(expected[i].voiceBox)) << v500 << i;
        }
    }
}

TEST(ServerInfo, ListValuesAreUtf8AndCutAt254Bytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qavo_general.txt"));
    const QByteArray longName(300, 'n');
    testing_support::writeBytes(path, QByteArray("[General]\r\nNb_arbre=2\r\nversion=821.3\r\nStandard=9\r\n"
                                                 "[Annonces]\r\n1=3;Caf\xc3\xa9"
                                                 " \xe2\x82\xac;1;1;0;0\r\n"
                                                 "2=4;") +
                                          longName +
                                          ";1;1;1;1\r\n"
                                          "[Postes]\r\n1=10;R\xc3\xa9"
                                          "ception;1;\r\n");
    AppContext ctx;
    ASSERT_TRUE(loadServerInformation(ctx, path));
    EXPECT_EQ(ctx.Nb_arbre, 2);
    EXPECT_EQ(ctx.VERSION_generel, QStringLiteral("821.3"));
    EXPECT_EQ(ctx.numStandard, QStringLiteral("9"));
    EXPECT_TRUE(ctx.VERSION_500);
    EXPECT_TRUE(ctx.VERSION_900);
    ASSERT_EQ(ctx.NbAnnonces(), 2);
    EXPECT_EQ(ctx.Announcements[0].name, QString::fromUtf8("Café €"));
    // 254 characters survive: "4;" + 252 letters, so the fields after the name are lost.
    EXPECT_EQ(ctx.Announcements[1].number, 0);
    ASSERT_EQ(ctx.NbPostes(), 1);
    EXPECT_EQ(ctx.Stations[0].name, QString::fromUtf8("Réception"));

    AppContext forced;
    ASSERT_TRUE(loadServerInformation(forced, path, QStringLiteral("4.1")));
    EXPECT_EQ(forced.VERSION_generel, QStringLiteral("4.1"));
    EXPECT_FALSE(forced.VERSION_500);
}

TEST(ServerInfo, ReadServerInfoByMode) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("info.txt"));
    testing_support::writeBytes(path, "[general]\r\nNB_ARBRE=x\r\nVersion=900.2\r\n");
    struct Case {
        bool local;
        QString file;
        bool ok;
        int trees;
        const char* version;
    } cases[] = {
        {true, QString(), true, 5, "Version locale"},
        {false, QString(), false, 0, ""},
        {false, dir.filePath(QStringLiteral("none.txt")), false, 0, ""},
        {false, path, true, 5, "900.2"}, // a count that is not a number keeps all trees
        {true, path, true, 5, "900.2"},
    };
    for (const Case& c : cases) {
        AppContext ctx;
        ctx.modeLocal = c.local;
        ctx.fileLecture = c.file;
        EXPECT_EQ(readServerInfo(ctx), c.ok) << c.file.toStdString();
        if (c.ok) {
            EXPECT_EQ(ctx.Nb_arbre, c.trees);
            EXPECT_EQ(ctx.VERSION_generel, QString::fromUtf8(c.version));
            EXPECT_EQ(ctx.numStandard, QString());
        }
    }
    AppContext missing;
    missing.fileLecture = dir.filePath(QStringLiteral("none.txt"));
    EXPECT_EQ(loadAnnouncements(missing), 0);
    EXPECT_EQ(loadStations(missing), 0);
}

TEST(ServerInfo, DigitsOnly) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"10", "10"}, {"a1b2c3", "123"}, {"", "0"}, {"abc", "0"}, {"-5.5", "55"}, {" 0 ", "0"}};
    for (const Case& c : cases)
        EXPECT_EQ(digitsOnly(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}
