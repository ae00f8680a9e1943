#include "startup/startup.h"

#include "startup/app_context.h"
#include "startup/debug_log.h"
#include "startup/prompts.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testing_support::readBytes;
using testing_support::writeBytes;

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        savedAppData = qgetenv("APPDATA");
        qputenv("APPDATA", appData().toLocal8Bit());
        QDir().mkpath(program());
        for (const char* name : {"qavo_lg00.txt", "qavo_lg01.txt"})
            QFile::copy(testing_support::resourcesDir() + QLatin1Char('/') + QLatin1String(name),
                        program() + QLatin1Char('/') + QLatin1String(name));
    }
    void TearDown() override { qputenv("APPDATA", savedAppData); }

    QString appData() const { return dir.filePath(QStringLiteral("appdata")); }
    QString program() const { return dir.filePath(QStringLiteral("prog")); }
    QString repData() const { return appData() + QStringLiteral("/A.A/"); }
    QString debugLog() const { return repData() + QString::fromLatin1(kDebugLogName); }

    void switchDebugLogOn() {
        QDir().mkpath(repData());
        writeBytes(debugLog(), QByteArray());
    }

    // The log's lines without their "date - time - " prefix.
    QStringList logTexts() const {
        QStringList texts;
        const QString all = QString::fromLatin1(readBytes(debugLog()));
        for (QString line : all.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            texts << line.section(QStringLiteral(" - "), 2);
        return texts;
    }

    StartupResult run(const QString& commandLine, const StartupHooks& hooks = {}) {
        return runStartup(ctx, commandLine, program(), prompts, hooks);
    }

    // A fetch that "downloads" an information file.
    StartupHooks fetchingInfo(const QByteArray& info) {
        StartupHooks hooks;
        hooks.fetchServerInfo = [this, info](AppContext& c) {
            c.fileLecture = c.repTMP + QStringLiteral("qavo_general.txt");
            writeBytes(c.fileLecture, info);
            c.fileAOuvrir = QStringLiteral("$$NEW$$");
            return true;
        };
        return hooks;
    }

    QTemporaryDir dir;
    QByteArray savedAppData;
    AppContext ctx;
    ScriptedPrompts prompts;
};

const QByteArray kInfo = "[General]\r\nNb_arbre=3\r\nversion=900.2\r\nStandard=9\r\n"
                         "[Annonces]\r\n1=12;Hall;1;1;0;0\r\n2=13;Menu;1;0;0;0\r\n"
                         "[Postes]\r\n1=201;Accueil;1;8201\r\n";

} // namespace

TEST_F(Startup, LocalModeWithoutCommandLine) {
    ASSERT_EQ(run(QString()), StartupResult::Ok);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_TRUE(ctx.modeLocal);
    EXPECT_FALSE(ctx.usePasserelle);
    EXPECT_EQ(ctx.fileAOuvrir, QString());
    EXPECT_EQ(ctx.RepData, repData());
    EXPECT_EQ(ctx.repTMP, repData() + QStringLiteral("TMP/"));
    EXPECT_TRUE(QDir(ctx.repTMP).exists());
    EXPECT_EQ(ctx.fileServeur, ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa"));
    EXPECT_EQ(ctx.LANG, QStringLiteral("0"));
    EXPECT_EQ(ctx.translationFile, program() + QStringLiteral("/qavo_lg00.txt"));
    EXPECT_EQ(ctx.getLabel(QStringLiteral("NoeudArbre")), QStringLiteral("Arbre"));
    EXPECT_EQ(ctx.Nb_arbre, 5);
    EXPECT_EQ(ctx.VERSION_generel, QStringLiteral("Version locale"));
    EXPECT_TRUE(ctx.VERSION_500);
    EXPECT_FALSE(ctx.VERSION_900);
    EXPECT_EQ(ctx.NbAnnonces(), 0);
    EXPECT_EQ(ctx.NbPostes(), 0);
    EXPECT_FALSE(ctx.fileDebugActive);
    EXPECT_FALSE(QFile::exists(debugLog())); // never created by the program
    EXPECT_FALSE(QFile::exists(program() + QStringLiteral("/param.txt")));
}

TEST_F(Startup, LocalCommandLines) {
    struct Case {
        const char* line;
        const char* file;
    } cases[] = {{"\"C:\\My Trees\\a b.maa\"", "C:\\My Trees\\a b.maa"},
                 {"tree.maa", "tree.maa"},
                 {"/LANG:1", ""}, // a switch without a server: no file, and LANG is not read
                 {"/LANG:1 /FORCEVERSION:900.1", ""}};
    for (const Case& c : cases) {
        ctx = AppContext();
        ASSERT_EQ(run(QString::fromUtf8(c.line)), StartupResult::Ok) << c.line;
        EXPECT_TRUE(ctx.modeLocal);
        EXPECT_EQ(ctx.fileAOuvrir, QString::fromUtf8(c.file)) << c.line;
        EXPECT_EQ(ctx.LANG, QStringLiteral("0")) << c.line;
        EXPECT_EQ(ctx.VERSION_generel, QStringLiteral("Version locale")) << c.line;
        EXPECT_FALSE(ctx.VERSION_900) << c.line;
    }
}

TEST_F(Startup, LocalModeDebugLogSequence) {
    switchDebugLogOn();
    ASSERT_EQ(run(QStringLiteral("tree.maa")), StartupResult::Ok);
    const QString rule(60, QLatin1Char('-'));
    const QStringList expected = {
        rule,
        QStringLiteral("Lancement du QAVO v3.8"),
        rule,
        QStringLiteral("Ligne de commande : tree.maa"),
        QStringLiteral("Fichier Serveur local : ") + repData() + QStringLiteral("TMP/ArbreSERVEUR.maa"),
        QStringLiteral("MODE LOCAL"),
        QStringLiteral("Fichier de traduction : ") + program() + QStringLiteral("/qavo_lg00.txt"),
        QString::fromUtf8("Récupèration des infos générales"),
        QStringLiteral("VERSION_generel=Version locale, VERSION_500=True, VERSION_900=False"),
        QString::fromUtf8("Récupèration des annonces"),
        QString::fromUtf8("Récupèration des postes"),
    };
    EXPECT_EQ(logTexts(), expected);
}

TEST_F(Startup, OnlineWithoutServerLinkEndsWithConnectionError) {
    switchDebugLogOn();
    QStringList connecting;
    int closed = 0;
    StartupHooks hooks;
    hooks.showConnecting = [&](const QString& caption, const QString& text) {
        connecting << caption << text;
    };
    hooks.closeConnecting = [&] { ++closed; };
    EXPECT_EQ(run(QStringLiteral("/HADDR:10.1.2.3 /USER:admin /PASS:secret /PPASS:pp /LANG:1"), hooks),
              StartupResult::ConnectionError);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, QStringLiteral("critical"));
    EXPECT_EQ(prompts.shown[0].text, QString::fromUtf8("Error n°9148 KZ - Connection Error"));
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Connection Error"));
    EXPECT_EQ(connecting, (QStringList{QStringLiteral("QAVO editor - 10.1.2.3"),
                                       QStringLiteral("Connecting to server 10.1.2.3...")}));
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(ctx.modeLocal);
    EXPECT_TRUE(ctx.usePasserelle);
    const QStringList log = logTexts();
    ASSERT_GE(log.size(), 8);
    EXPECT_EQ(log[5], QStringLiteral("MODE ONLINE"));
    EXPECT_EQ(log[6], QStringLiteral("PARAM:10.1.2.3, , , , , pp")); // user and server password left out
    EXPECT_EQ(log[7],
              QStringLiteral("Fichier de traduction : ") + program() + QStringLiteral("/qavo_lg01.txt"));
    EXPECT_EQ(log.size(), 8);
}

TEST_F(Startup, OnlineReadsTheServerInformation) {
    ASSERT_EQ(run(QStringLiteral("/HADDR:srv /LANG:1"), fetchingInfo(kInfo)), StartupResult::Ok);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(ctx.LANG, QStringLiteral("1"));
    EXPECT_EQ(ctx.Nb_arbre, 3);
    EXPECT_EQ(ctx.numStandard, QStringLiteral("9"));
    EXPECT_EQ(ctx.VERSION_generel, QStringLiteral("900.2"));
    EXPECT_TRUE(ctx.VERSION_500);
    EXPECT_TRUE(ctx.VERSION_900);
    EXPECT_EQ(ctx.NbAnnonces(), 2);
    ASSERT_EQ(ctx.NbPostes(), 1);
    EXPECT_EQ(ctx.Stations[0].voiceBox, QStringLiteral("8201")); // read with the flags already set
    EXPECT_EQ(ctx.fileAOuvrir, QStringLiteral("$$NEW$$"));
}

TEST_F(Startup, ForcedVersionAndLanguageFallbackOnline) {
    ASSERT_EQ(run(QStringLiteral("/HADDR:srv /LANG:2 /FORCEVERSION:4.2"), fetchingInfo(kInfo)),
              StartupResult::Ok);
    EXPECT_EQ(ctx.LANG, QStringLiteral("0")); // no qavo_lg02.txt
    EXPECT_EQ(ctx.translationFile, program() + QStringLiteral("/qavo_lg00.txt"));
    EXPECT_EQ(ctx.VERSION_generel, QStringLiteral("4.2"));
    EXPECT_FALSE(ctx.VERSION_500);
    EXPECT_FALSE(ctx.VERSION_900);
}

TEST_F(Startup, FatalErrors) {
    StartupHooks noFile;
    noFile.fetchServerInfo = [](AppContext& c) {
        c.fileLecture = c.repTMP + QStringLiteral("absent.txt");
        return true;
    };
    StartupHooks emptyPath;
    emptyPath.fetchServerInfo = [](AppContext&) { return true; };
    struct Case {
        const char* line;
        bool removeLanguages;
        StartupHooks hooks;
        StartupResult result;
        const char* text;
        const char* title;
    } cases[] = {
        {"",
         true,
         {},
         StartupResult::UnknownLanguage,
         "Error n°9111 KZ - Unknow Language",
         "Unknow Language"},
        {"/HADDR:s /LANG:1",
         true,
         {},
         StartupResult::UnknownLanguage,
         "Error n°9111 KZ - Unknow Language",
         "Unknow Language"},
        {"/HADDR:s", false, noFile, StartupResult::SettingsError, "Error n°9899 KZ - Settings Error",
         "Settings Error"},
        {"/HADDR:s", false, emptyPath, StartupResult::SettingsError, "Error n°9899 KZ - Settings Error",
         "Settings Error"},
    };
    for (const Case& c : cases) {
        if (c.removeLanguages) {
            QFile::remove(program() + QStringLiteral("/qavo_lg00.txt"));
            QFile::remove(program() + QStringLiteral("/qavo_lg01.txt"));
        } else {
            SetUp();
        }
        ctx = AppContext();
        prompts.shown.clear();
        EXPECT_EQ(run(QString::fromUtf8(c.line), c.hooks), c.result) << c.line;
        ASSERT_EQ(prompts.shown.size(), 1) << c.line;
        EXPECT_EQ(prompts.shown[0].kind, QStringLiteral("critical"));
        EXPECT_EQ(prompts.shown[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(prompts.shown[0].title, QString::fromUtf8(c.title));
    }
}

TEST_F(Startup, ParameterDumpOnlyWhenTheFileExists) {
    const QString param = program() + QStringLiteral("/param.txt");
    ASSERT_EQ(run(QStringLiteral("/HADDR:srv /HPORT:80 /USER:u /PASS:p /LANG:1"), fetchingInfo(kInfo)),
              StartupResult::Ok);
    EXPECT_FALSE(QFile::exists(param));

    writeBytes(param, "old content that is longer than nothing\r\n");
    ctx = AppContext();
    ASSERT_EQ(run(QStringLiteral("/HADDR:srv /HPORT:80 /USER:u /PASS:p /LANG:1"), fetchingInfo(kInfo)),
              StartupResult::Ok);
    const QString tmp = repData() + QStringLiteral("TMP/");
    const QString expected =
        QStringLiteral("Ligne de commande : /HADDR:srv /HPORT:80 /USER:u /PASS:p /LANG:1 /\r\n"
                       "LANG : 1\r\nHADDR : srv\r\nHPORT : 80\r\nUSER : u\r\nPASS : p\r\n"
                       "PADDR : \r\nPPORT : \r\nPLOGIN : \r\nPPASS : \r\n"
                       "repTMP : ") +
        tmp + QStringLiteral("\r\nRepData : ") + repData() + QStringLiteral("\r\nfileLecture : ") + tmp +
        QStringLiteral("qavo_general.txt\r\nNbAnnonces : 2\r\nNbPostes : 1\r\n");
    EXPECT_EQ(QString::fromLatin1(readBytes(param)), expected);

    ctx = AppContext();
    ASSERT_EQ(run(QStringLiteral("tree.maa")), StartupResult::Ok);
    EXPECT_TRUE(QString::fromLatin1(readBytes(param))
                    .startsWith(QStringLiteral("Ligne de commande : \r\nLANG : 0\r\n")));
}
