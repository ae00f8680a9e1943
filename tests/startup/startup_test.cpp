// Start-up: what it reads (the command line, the server's information file, Qt's own catalog) and what it
// makes of it.
#include "core/app_context.h"
#include "core/profile_file.h"
#include "core/prompts.h"
#include "core/translation.h"
#include "model/undo_journal.h"
#include "platform/codepage.h"
#include "startup/command_line.h"
#include "startup/debug_log.h"
#include "startup/qt_catalog.h"
#include "startup/server_info.h"
#include "startup/session_folder.h"
#include "startup/startup.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
        EXPECT_EQ(std::pair(ctx.VERSION_500, ctx.VERSION_900), std::pair(c.v500, c.v900)) << c.version;
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

using testing_support::readBytes;
using testing_support::writeBytes;

const QByteArray kInfo =
    "[General]\r\nNb_arbre=3\r\nversion=900.2\r\nStandard=9\r\n"
    "[Annonces]\r\n1=12;Hall;1;1;0;0\r\n2=13;Menu;1;0;0;0\r\n[Postes]\r\n1=201;Accueil;1;8201\r\n";

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("APPDATA", appData().toLocal8Bit());
        QDir().mkpath(program());
        for (const char* name : {"/qavo_lg00.txt", "/qavo_lg01.txt"})
            QFile::copy(testing_support::resourcesDir() + name, program() + name);
    }
    void TearDown() override { qputenv("APPDATA", savedAppData); }

    QString appData() const { return dir.filePath("appdata"); }
    QString program() const { return dir.filePath("prog"); }
    QString repData() const { return appData() + "/A.A/"; }
    QString debugLog() const { return repData() + kDebugLogName; }
    void switchDebugLogOn() {
        QDir().mkpath(repData());
        writeBytes(debugLog(), QByteArray());
    }
    // The log's lines without their "date - time - " prefix.
    QStringList logTexts() const {
        QStringList texts;
        for (const QString& line :
             QString::fromLatin1(readBytes(debugLog())).split("\r\n", Qt::SkipEmptyParts))
            texts << line.section(" - ", 2);
        return texts;
    }
    StartupResult run(const QString& commandLine, const StartupHooks& hooks = {}) {
        ctx = AppContext();
        prompts.shown.clear();
        return runStartup(ctx, commandLine, program(), prompts, hooks);
    }
    // A fetch that "downloads" an information file.
    static StartupHooks fetching(const QByteArray& info) {
        StartupHooks hooks;
        hooks.fetchServerInfo = [info](AppContext& c) {
            c.fileLecture = c.repTMP + "qavo_general.txt";
            writeBytes(c.fileLecture, info);
            c.fileAOuvrir = "$$NEW$$";
            return true;
        };
        return hooks;
    }
    // "kind|title|text" of each prompt shown.
    QStringList shown() const {
        QStringList out;
        for (const auto& p : prompts.shown)
            out << p.kind + '|' + p.title + '|' + p.text;
        return out;
    }

    QTemporaryDir dir;
    QByteArray savedAppData = qgetenv("APPDATA");
    AppContext ctx;
    ScriptedPrompts prompts;
};

TEST_F(Startup, LocalModeAndItsDebugLog) {
    ASSERT_EQ(run(QString()), StartupResult::Ok);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_TRUE(ctx.modeLocal);
    EXPECT_TRUE(QDir(ctx.repTMP).exists());
    EXPECT_EQ(ctx.getLabel("NoeudArbre"), "Arbre");
    EXPECT_EQ(ctx.Nb_arbre, 5);
    EXPECT_FALSE(QFile::exists(debugLog())); // never created by the program
    EXPECT_FALSE(QFile::exists(program() + "/param.txt"));

    switchDebugLogOn();
    ASSERT_EQ(run("tree.maa"), StartupResult::Ok);
    const QStringList log = logTexts();
    EXPECT_TRUE(log.contains("Ligne de commande : tree.maa"));
    EXPECT_TRUE(log.contains("MODE LOCAL"));
}

TEST_F(Startup, OnlineWithoutServerLinkEndsWithConnectionError) {
    switchDebugLogOn();
    QStringList connecting;
    StartupHooks hooks;
    hooks.showConnecting = [&](const QString& caption, const QString& text) {
        connecting << caption << text;
    };
    hooks.closeConnecting = [&] { connecting << "closed"; };
    EXPECT_EQ(run("/HADDR:10.1.2.3 /USER:admin /PASS:secret /PPASS:pp /LANG:1", hooks),
              StartupResult::ConnectionError);
    EXPECT_EQ(shown(), QStringList{"critical|Connection Error|Error n°9148 KZ - Connection Error"});
    EXPECT_EQ(connecting,
              QStringList({"QAVO editor - 10.1.2.3", "Connecting to server 10.1.2.3...", "closed"}));
    // No password reaches the log, not even in the command line.
    EXPECT_EQ(logTexts().mid(3, 1),
              QStringList{"Ligne de commande : /HADDR:10.1.2.3 /USER:admin /PASS:**** /PPASS:**** /LANG:1"});
    EXPECT_EQ(logTexts().mid(5), QStringList({"MODE ONLINE", "PARAM:10.1.2.3, , , , , ****",
                                              "Fichier de traduction : " + program() + "/qavo_lg01.txt"}));
}

// The parameters are dumped only into a "param.txt" that already exists.
TEST_F(Startup, OnlineReadsTheServerInformationDumpsTheParametersAndMayForceTheVersion) {
    const QString param = program() + "/param.txt";
    const QString line =
        "/PPORT:3128 /HADDR:srv /HPORT:80 /USER:u /PASS:p /PADDR:px /PLOGIN:pl /PPASS:pp /LANG:1";
    ASSERT_EQ(run(line, fetching(kInfo)), StartupResult::Ok);
    EXPECT_FALSE(QFile::exists(param));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(ctx.Nb_arbre, 3);
    EXPECT_TRUE(ctx.VERSION_900);
    ASSERT_EQ(ctx.NbPostes(), 1);
    EXPECT_EQ(ctx.Stations[0].voiceBox, "8201"); // read with the flags already set

    writeBytes(param, "old content that is longer than nothing\r\n");
    ASSERT_EQ(run(line, fetching(kInfo)), StartupResult::Ok);
    const QString tmp = ctx.repTMP;
    EXPECT_EQ(QString::fromLatin1(readBytes(param)),
              "Ligne de commande : " + line +
                  " /\r\nLANG : 1\r\nHADDR : srv\r\nHPORT : 80\r\nUSER : u\r\nPASS : p\r\nPADDR : px\r\n"
                  "PPORT : 3128\r\nPLOGIN : pl\r\nPPASS : pp\r\nrepTMP : " +
                  tmp + "\r\nRepData : " + repData() + "\r\nfileLecture : " + tmp +
                  "qavo_general.txt\r\nNbAnnonces : 2\r\nNbPostes : 1\r\n");

    ASSERT_EQ(run("/HADDR:srv /LANG:2 /FORCEVERSION:4.2", fetching(kInfo)), StartupResult::Ok);
    EXPECT_EQ(ctx.translationFile, program() + "/qavo_lg00.txt"); // no qavo_lg02.txt
    EXPECT_EQ(ctx.VERSION_generel, "4.2");
    EXPECT_FALSE(ctx.VERSION_500);
}

TEST_F(Startup, FatalErrors) {
    StartupHooks noFile;
    noFile.fetchServerInfo = [](AppContext& c) {
        c.fileLecture = c.repTMP + "absent.txt";
        return true;
    };
    const QString language = "critical|Unknow Language|Error n°9111 KZ - Unknow Language";
    EXPECT_EQ(run("/HADDR:s", noFile), StartupResult::SettingsError);
    EXPECT_EQ(shown(), QStringList{"critical|Settings Error|Error n°9899 KZ - Settings Error"});
    QFile::remove(program() + "/qavo_lg00.txt");
    QFile::remove(program() + "/qavo_lg01.txt");
    for (const char* line : {"", "/HADDR:s /LANG:1"}) {
        EXPECT_EQ(run(line), StartupResult::UnknownLanguage) << line;
        EXPECT_EQ(shown(), QStringList{language});
    }
}

TEST_F(Startup, EachEditorHasAFolderOfItsOwnAndLeavesTheOthersAlone) {
    ASSERT_EQ(run(QString()), StartupResult::Ok);
    const AppContext first = ctx; // still running
    const QString step = first.repTMP + "0001.can";
    writeBytes(step, "[A1]\r\nlib=First\r\n" + UndoJournal::stepEnd());
    ASSERT_TRUE(first.session->recordOwner({"/x/first.maa", {}, {}, {}, true}));

    ASSERT_EQ(run("second.maa"), StartupResult::Ok);
    const QString second = ctx.repTMP;
    EXPECT_NE(second, first.repTMP);
    EXPECT_EQ(QFileInfo(QDir::cleanPath(second)).path() + '/', repData() + "TMP/");
    EXPECT_EQ(ctx.fileServeur, second + "ArbreSERVEUR.maa");
    EXPECT_TRUE(ctx.session->leftOvers().isEmpty());
    ctx = AppContext(); // the second ends normally and leaves nothing behind
    EXPECT_FALSE(QDir(second).exists());
    EXPECT_EQ(readBytes(step), "[A1]\r\nlib=First\r\n" + UndoJournal::stepEnd());
}

TEST_F(Startup, ALeftOverFolderIsKeptOnlyForUnsavedChangesAndOffersItsLastWholeStep) {
    const QByteArray whole = "[A1]\r\nlib=Whole\r\n" + UndoJournal::stepEnd();
    const QByteArray unsaved = JournalOwner{"/x/t.maa", {}, {}, {}, true}.toBytes();
    const struct {
        const char* name;
        QByteArray owner;
        QList<QByteArray> steps;
        const char* offered; // nullptr: the folder is removed
    } cases[] = {
        {"both whole", unsaved, {whole, whole}, "0002.can"},
        {"last cut", unsaved, {whole, whole.chopped(3)}, "0001.can"},
        {"last empty", unsaved, {whole, ""}, "0001.can"},
        {"saved", JournalOwner{"/x/t.maa", {}, {}, {}, false}.toBytes(), {whole}, nullptr},
        {"only step cut", unsaved, {whole.left(9)}, nullptr},
        {"no owner record", QByteArray(), {whole}, nullptr},
        {"lock file a power cut left empty", unsaved, {whole}, "0001.can"},
    };
    const QString folder = repData() + "TMP/dead";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::leaveJournal(folder, c.owner, c.steps);
        if (c.name == std::string_view("lock file a power cut left empty")) {
            QFile lock(folder + ".lock");
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
            lock.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
        }
        ASSERT_EQ(run(QString()), StartupResult::Ok);
        const QList<LeftOverJournal>& found = ctx.session->leftOvers();
        EXPECT_EQ(QDir(folder).exists(), c.offered != nullptr);
        EXPECT_EQ(found.size(), qsizetype(c.offered != nullptr));
        if (c.offered && !found.isEmpty()) {
            EXPECT_EQ(found[0].lastStep, folder + '/' + c.offered);
            EXPECT_EQ(found[0].owner.file, "/x/t.maa");
        }
        ctx = AppContext();
        QDir(folder).removeRecursively();
        QFile::remove(folder + ".lock");
    }
}

TEST(LanguageFile, ANumberIsRoundedAndWrittenWithAtLeastTwoDigits) {
    const std::pair<const char*, const char*> cases[] = {
        {"1", "01"},     {"123", "123"}, {"-1", "-01"}, {"2.5", "03"},
        {"-2.5", "-03"}, {"-0.2", "00"}, {"fr", "fr"},
    };
    for (const auto& [lang, digits] : cases)
        EXPECT_EQ(translationFileFor("/prog", lang), QString("/prog/qavo_lg") + digits + ".txt") << lang;
}

} // namespace
