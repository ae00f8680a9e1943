// What start-up reads: the command line, the server's information file, and Qt's own catalog.
#include "core/app_context.h"
#include "core/profile_file.h"
#include "core/translation.h"
#include "platform/codepage.h"
#include "startup/command_line.h"
#include "startup/qt_catalog.h"
#include "startup/server_info.h"
#include "support/qt_print.h"

#include <QCoreApplication>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

TEST(CommandLine, SwitchValues) {
    const char* const servers = "/HADDR:s1 /HPORT:8080 /USER:u1 /LANG:2";
    const struct {
        const char *line, *key, *expected;
    } cases[] = {
        {servers, "LANG", "2"}, // the last switch ends at the appended " /"
        {servers, "PASS", ""},
        {"/PPASS:proxy /PASS:server", "PASS", "server"},      // "/PASS:" is not found inside "/PPASS:"
        {"/USER:Jean Dupont /PASS:x", "USER", "Jean Dupont"}, // inner spaces kept
        {"/USER: padded  /PASS:x", "USER", " padded "},       // only the separator is cut
        {"/USER:a/b /PASS:x", "USER", "a/b"},                 // a slash without a blank before it is data
        {"/haddr:s1", "HADDR", ""},                           // keys are case-sensitive
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandLineSwitch(c.line, c.key), c.expected) << c.line << " / " << c.key;
}

TEST(CommandLine, ModeAndLocalFile) {
    const struct {
        const char* line;
        bool online;
        const char* file;
    } cases[] = {
        {"", false, ""},
        {"C:\\Arbres\\tree.maa", false, "C:\\Arbres\\tree.maa"},
        {"\"C:\\My Trees\\tree one.maa\"", false, "C:\\My Trees\\tree one.maa"}, // quotes removed
        {"/LANG:2", false, ""},                  // a slash but no server: no file
        {"dir/tree.maa", false, "dir/tree.maa"}, // a Unix path is no switch
        {"/HADDR:", true, ""},                   // online even with an empty address
        {"/LANG:1 /HADDR:srv", true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isOnlineCommandLine(c.line), c.online) << c.line;
        if (!c.online) {
            EXPECT_EQ(localFileFromCommandLine(c.line), c.file) << c.line;
        }
    }
}

Translation withLangId(const char* id) {
    Translation t;
    t.setText(QStringLiteral("\r\n[LANGID]\r\n1=%1\r\n[LABELS]\r\nTitre=x\r\n").arg(QLatin1String(id)));
    return t;
}

TEST(QtCatalog, LanguageComesFromTheLocaleIdentifierOfTheTranslationFile) {
    const struct {
        const char* id;
        QLocale::Language language;
    } cases[] = {
        {"1033", QLocale::English}, {"2057", QLocale::English}, {"3082", QLocale::Spanish},
        {"1031", QLocale::German},  {"abc", QLocale::French},   {"9999", QLocale::French},
    };
    for (const auto& c : cases)
        EXPECT_EQ(languageOfTranslation(withLangId(c.id)), c.language) << c.id;
}

TEST(QtCatalog, FrenchTranslationGivesQtsOwnButtonsInFrench) {
    ASSERT_TRUE(installQtCatalog(*QCoreApplication::instance(), withLangId("1036")))
        << "Qt's translations are installed with the build's packages";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Oui");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), "&Non");
    for (QTranslator* catalog : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(catalog);
        delete catalog;
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");
}

TEST(ServerInfo, GenerationFlagsFromTheVersion) {
    const struct {
        const char* version;
        bool local, v500, v900;
    } cases[] = {
        {"820.5", false, true, false}, {"821.0", false, true, true},
        {"4.2", false, false, false},  {"900", false, true, false},  // no "."
        {"5.0", false, true, false},   {"900.1", true, true, false}, // the local mode is never generation 900
    };
    for (const auto& c : cases) {
        AppContext ctx;
        ctx.modeLocal = c.local;
        ctx.VERSION_generel = c.version;
        deriveGenerationFlags(ctx);
        EXPECT_EQ(ctx.VERSION_500, c.v500) << c.version;
        EXPECT_EQ(ctx.VERSION_900, c.v900) << c.version;
    }
}

TEST(ServerInfo, AnnouncementsKeepInnerSemicolonsAndUtf8NamesAndStopAtTheFirstGap) {
    // "Í" is C3 8D in UTF-8; 8D has no character in Windows-1252 and must still come back.
    const QString name = QString::fromUtf8("Été à l'accueil Í");
    const QByteArray bytes = "[Annonces]\r\n1=12;Hall; east;1;0;0;1\r\n2=7;Short;1\r\n3=8;" + name.toUtf8() +
                             ";0;1;1;0\r\n5=9;After gap;1;1;1;1\r\n";
    AppContext ctx;
    ASSERT_EQ(loadAnnouncements(ctx, ProfileFile::parse(platform::decodeAnsi(bytes))), 3);
    QStringList read;
    for (const Announcement& a : ctx.Announcements) {
        read << QString::number(a.number) + '|' + a.name + '|';
        for (short flag : a.flags)
            read.last() += QString::number(flag);
    }
    // A short line counts, as an empty record.
    EXPECT_EQ(read, (QStringList{"12|Hall; east|1001", "0||0000", "8|" + name + "|0110"}));
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
        ASSERT_EQ(loadStations(ctx, ProfileFile::parse(body)), 4);
        QStringList stations;
        for (const Station& s : ctx.Stations)
            stations << QStringLiteral("%1|%2|%3|%4").arg(s.number, s.name).arg(s.kind).arg(s.voiceBox);
        EXPECT_EQ(stations, expected[v500]);
    }
}

} // namespace
