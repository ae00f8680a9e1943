// Start-up: what it reads (the command line, the server's information file, Qt's own catalog) and what it
// makes of it.
#include "core/app_context.h"
#include "core/prompts.h"
#include "core/translation.h"
#include "model/undo_journal.h"
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
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

Translation withLangId(const QString& id) {
    Translation t;
    t.setText(QStringLiteral("\r\n[LANGID]\r\n1=%1\r\n[LABELS]\r\nTitre=x\r\n").arg(id));
    return t;
}

// Start-up's rules on what it reads, each result as text: a switch of a command line ("line|KEY"), the mode
// and local file of a command line, Qt's language from a translation file's LANGID, the generation flags of
// a server version ("local " first in the local mode), the translation file of a /LANG: value.
TEST(StartupRules, EachInputGivesItsValue) {
    const std::map<std::string, std::function<QString(const QString&)>> rules = {
        {"switch",
         [](const QString& in) { return commandLineSwitch(in.section('|', 0, 0), in.section('|', 1)); }},
        {"mode",
         [](const QString& in) {
             return (isOnlineCommandLine(in) ? "online:" : "local:") + localFileFromCommandLine(in);
         }},
        {"qt",
         [](const QString& in) { return QLocale::languageToString(languageOfTranslation(withLangId(in))); }},
        {"flags",
         [](const QString& in) {
             AppContext ctx;
             ctx.modeLocal = in.startsWith("local ");
             ctx.VERSION_generel = in.section(' ', -1);
             deriveGenerationFlags(ctx);
             return QString(ctx.VERSION_500 ? "500" : "-") + (ctx.VERSION_900 ? " 900" : "");
         }},
        {"lang", [](const QString& in) { return translationFileFor("/p", in); }},
    };
    const struct {
        const char *rule, *input, *expected;
    } cases[] = {
        {"switch", "/HADDR:s1 /USER:u1 /LANG:2|LANG", "2"}, // the last switch ends at the appended " /"
        {"switch", "/HADDR:s1 /USER:u1 /LANG:2|PASS", ""},
        {"switch", "/PPASS:proxy /PASS:server|PASS", "server"},      // "/PASS:" is not found inside "/PPASS:"
        {"switch", "/USER:Jean Dupont /PASS:x|USER", "Jean Dupont"}, // inner spaces kept
        {"switch", "/USER: padded  /PASS:x|USER", " padded "},       // only the separator is cut
        {"switch", "/USER:a/b /PASS:x|USER", "a/b"}, // a slash without a blank before it is data
        {"switch", "/haddr:s1|HADDR", ""},           // keys are case-sensitive
        {"mode", "", "local:"},
        {"mode", "C:\\Arbres\\tree.maa", "local:C:\\Arbres\\tree.maa"},
        {"mode", "\"C:\\My Trees\\tree one.maa\"", "local:C:\\My Trees\\tree one.maa"}, // quotes removed
        {"mode", "/LANG:2", "local:"},                  // a slash but no server: no file
        {"mode", "dir/tree.maa", "local:dir/tree.maa"}, // a Unix path is no switch
        {"mode", "/HADDR:", "online:"},                 // online even with an empty address
        {"mode", "/LANG:1 /HADDR:srv", "online:"},
        {"qt", "1033", "English"},
        {"qt", "2057", "English"},
        {"qt", "3082", "Spanish"},
        {"qt", "1031", "German"},
        {"qt", "abc", "French"},
        {"qt", "9999", "French"},
        {"flags", "820.5", "500"},
        {"flags", "821.0", "500 900"},
        {"flags", "4.2", "-"},
        {"flags", "900", "500"}, // no "."
        {"flags", "5.0", "500"},
        {"flags", "local 900.1", "500"}, // the local mode is never generation 900
        {"lang", "1", "/p/qavo_lg01.txt"},
        {"lang", "123", "/p/qavo_lg123.txt"},
        {"lang", "-1", "/p/qavo_lg-01.txt"},
        {"lang", "2.5", "/p/qavo_lg03.txt"},
        {"lang", "-2.5", "/p/qavo_lg-03.txt"},
        {"lang", "-0.2", "/p/qavo_lg00.txt"},
        {"lang", "fr", "/p/qavo_lgfr.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rules.at(c.rule)(QString::fromUtf8(c.input)), c.expected) << c.rule << ": " << c.input;
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

using testing_support::readBytes;
using testing_support::writeBytes;

// Announcements keep inner semicolons and UTF-8 names ("Í" is C3 8D in UTF-8, and 8D has no character in
// Windows-1252), count a short line as an empty record and stop at the first gap; stations have a voice box
// from generation 500 on.
const QByteArray kInfo = "[General]\r\nNb_arbre=3\r\nversion=900.2\r\nStandard=9\r\n[Annonces]\r\n"
                         "1=12;Hall; east;1;0;0;1\r\n2=7;Short;1\r\n3=8;" +
                         QString::fromUtf8("Été à l'accueil Í").toUtf8() +
                         ";0;1;1;0\r\n5=9;After gap;1;1;1;1\r\n[Postes]\r\n1=201;Accueil;1\r\n"
                         "2=202;Dupont; Jean;2;8202\r\n3=203;Martin;3;\r\n4=204;X\r\n";

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
    // The log's lines without their "date - time - " prefix.
    QStringList logTexts() const {
        QStringList texts;
        for (const QString& line :
             QString::fromLatin1(readBytes(debugLog())).split("\r\n", Qt::SkipEmptyParts))
            texts << line.section(" - ", 2);
        return texts;
    }
    // What start-up made of a command line: its result, each prompt shown ("kind|title|text") and, when it
    // went on, the mode, the trees, the version and its flags, the voice boxes and a label as the user reads
    // it.
    std::pair<StartupResult, QStringList> run(const QString& commandLine, const StartupHooks& hooks = {}) {
        ctx = AppContext();
        prompts.shown.clear();
        const StartupResult result = runStartup(ctx, commandLine, program(), prompts, hooks);
        QStringList seen;
        for (const auto& p : prompts.shown)
            seen << p.kind + '|' + p.title + '|' + p.text;
        QStringList announcements, stations;
        for (const Announcement& a : ctx.Announcements) {
            announcements << QString::number(a.number) + '|' + a.name + '|';
            for (short flag : a.flags)
                announcements.last() += QString::number(flag);
        }
        for (const Station& s : ctx.Stations)
            stations << QStringLiteral("%1|%2|%3|%4").arg(s.number, s.name).arg(s.kind).arg(s.voiceBox);
        if (result == StartupResult::Ok)
            seen << QStringLiteral("%1 trees=%2 version=%3%4%5 %6")
                        .arg(ctx.modeLocal ? "local" : "online")
                        .arg(ctx.Nb_arbre)
                        .arg(ctx.VERSION_generel, ctx.VERSION_500 ? " 500" : "",
                             ctx.VERSION_900 ? " 900" : "", ctx.getLabel("NoeudArbre"))
                 << announcements.join(", ") << stations.join(", ");
        return {result, seen};
    }
    // A fetch that "downloads" an information file.
    static StartupHooks fetching(const QByteArray& info) {
        StartupHooks hooks;
        hooks.fetchServerInfo = [info](AppContext& c) {
            c.fileLecture = c.repTMP + "qavo_general.txt";
            if (!info.isNull()) writeBytes(c.fileLecture, info);
            c.fileAOuvrir = "$$NEW$$";
            return true;
        };
        return hooks;
    }

    QTemporaryDir dir;
    QByteArray savedAppData = qgetenv("APPDATA");
    AppContext ctx;
    ScriptedPrompts prompts;
};

TEST_F(Startup, EachCommandLineStartsItsModeOrSaysWhyNot) {
    using enum StartupResult;
    const QString language = "critical|Unknow Language|Error n°9111 KZ - Unknow Language",
                  announcements = QString::fromUtf8("12|Hall; east|1001, 0||0000, 8|Été à l'accueil Í|0110");
    const struct {
        const char* line;
        QByteArray info; // fetched from the server (null: no such file)
        StartupResult result;
        QStringList seen;
        bool noTranslations = false; // the program's folder lost them (from this case on)
    } cases[] = {
        {"", {}, Ok, {"local trees=5 version=Version locale 500 Arbre", "", ""}},
        {"/HADDR:srv /LANG:1",
         kInfo,
         Ok,
         {"online trees=3 version=900.2 500 900 Tree", announcements,
          "||0|, 202|Dupont; Jean|2|8202, 203|Martin|3|, ||0|"}},
        {"/HADDR:srv /LANG:2 /FORCEVERSION:4.2",
         kInfo,
         Ok,
         {"online trees=3 version=4.2 Arbre", announcements,
          "201|Accueil|1|, 202|Dupont; Jean;2|8202|, 203|Martin;3|0|, ||0|"}},
        {"/HADDR:s", {}, SettingsError, {"critical|Settings Error|Error n°9899 KZ - Settings Error"}},
        {"", {}, UnknownLanguage, {language}, true},
        {"/HADDR:s /LANG:1", {}, UnknownLanguage, {language}, true},
    };
    for (const auto& c : cases) {
        if (c.noTranslations)
            for (const char* name : {"/qavo_lg00.txt", "/qavo_lg01.txt"})
                QFile::remove(program() + name);
        EXPECT_EQ(run(c.line, fetching(c.info)), std::pair(c.result, c.seen)) << c.line;
    }
}

// Only into a log that already exists; no password reaches it, not even in the command line.
TEST_F(Startup, TheDebugLogNamesTheModeButNoPassword) {
    ASSERT_EQ(run("tree.maa").first, StartupResult::Ok);
    EXPECT_FALSE(QFile::exists(debugLog()));
    QDir().mkpath(repData());
    writeBytes(debugLog(), QByteArray());
    ASSERT_EQ(run("tree.maa").first, StartupResult::Ok);
    EXPECT_TRUE(logTexts().contains("Ligne de commande : tree.maa") && logTexts().contains("MODE LOCAL"));

    QStringList connecting;
    StartupHooks hooks;
    hooks.showConnecting = [&](const QString& caption, const QString& text) {
        connecting << caption << text;
    };
    hooks.closeConnecting = [&] { connecting << "closed"; };
    writeBytes(debugLog(), QByteArray());
    EXPECT_EQ(run("/HADDR:10.1.2.3 /USER:admin /PASS:secret /PPASS:pp /LANG:1", hooks),
              std::pair(StartupResult::ConnectionError,
                        QStringList{"critical|Connection Error|Error n°9148 KZ - Connection Error"}));
    EXPECT_EQ(connecting,
              QStringList({"QAVO editor - 10.1.2.3", "Connecting to server 10.1.2.3...", "closed"}));
    EXPECT_EQ(logTexts().mid(3, 1),
              QStringList{"Ligne de commande : /HADDR:10.1.2.3 /USER:admin /PASS:**** /PPASS:**** /LANG:1"});
    EXPECT_EQ(logTexts().mid(5), QStringList({"MODE ONLINE", "PARAM:10.1.2.3, , , , , ****",
                                              "Fichier de traduction : " + program() + "/qavo_lg01.txt"}));
}

// The parameters are dumped only into a "param.txt" that already exists.
TEST_F(Startup, OnlineDumpsItsParametersIntoAnExistingFile) {
    const QString param = program() + "/param.txt";
    const QString line =
        "/PPORT:3128 /HADDR:srv /HPORT:80 /USER:u /PASS:p /PADDR:px /PLOGIN:pl /PPASS:pp /LANG:1";
    ASSERT_EQ(run(line, fetching(kInfo)).first, StartupResult::Ok);
    EXPECT_FALSE(QFile::exists(param));
    writeBytes(param, "old content that is longer than nothing\r\n");
    ASSERT_EQ(run(line, fetching(kInfo)).first, StartupResult::Ok);
    const QString tmp = ctx.repTMP;
    EXPECT_EQ(QString::fromLatin1(readBytes(param)),
              "Ligne de commande : " + line +
                  " /\r\nLANG : 1\r\nHADDR : srv\r\nHPORT : 80\r\nUSER : u\r\nPASS : p\r\nPADDR : px\r\n"
                  "PPORT : 3128\r\nPLOGIN : pl\r\nPPASS : pp\r\nrepTMP : " +
                  tmp + "\r\nRepData : " + repData() + "\r\nfileLecture : " + tmp +
                  "qavo_general.txt\r\nNbAnnonces : 3\r\nNbPostes : 4\r\n");
}

TEST_F(Startup, EachEditorHasAFolderOfItsOwnAndLeavesTheOthersAlone) {
    ASSERT_EQ(run(QString()).first, StartupResult::Ok);
    const AppContext first = ctx; // still running
    const QString step = first.repTMP + "0001.can";
    writeBytes(step, "[A1]\r\nlib=First\r\n" + UndoJournal::stepEnd());
    ASSERT_TRUE(first.session->recordOwner({"/x/first.maa", {}, {}, {}, true}));

    ASSERT_EQ(run("second.maa").first, StartupResult::Ok);
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
        const char* offered;    // nullptr: the folder is removed
        bool staleLock = false; // a lock file a power cut left empty
    } cases[] = {
        {"both whole", unsaved, {whole, whole}, "0002.can"},
        {"last cut", unsaved, {whole, whole.chopped(3)}, "0001.can"},
        {"last empty", unsaved, {whole, ""}, "0001.can"},
        {"saved", JournalOwner{"/x/t.maa", {}, {}, {}, false}.toBytes(), {whole}, nullptr},
        {"only step cut", unsaved, {whole.left(9)}, nullptr},
        {"no owner record", QByteArray(), {whole}, nullptr},
        {"stale lock", unsaved, {whole}, "0001.can", true},
    };
    const QString folder = repData() + "TMP/dead";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::leaveJournal(folder, c.owner, c.steps);
        if (QFile lock(folder + ".lock"); c.staleLock && lock.open(QIODevice::WriteOnly))
            lock.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
        ASSERT_EQ(run(QString()).first, StartupResult::Ok);
        QStringList offered; // "last step|tree file" of each folder offered
        for (const LeftOverJournal& found : ctx.session->leftOvers())
            offered << found.lastStep + '|' + found.owner.file;
        EXPECT_EQ(std::pair(QDir(folder).exists(), offered),
                  c.offered ? std::pair(true, QStringList{folder + '/' + c.offered + "|/x/t.maa"})
                            : std::pair(false, QStringList()));
        ctx = AppContext();
        QDir(folder).removeRecursively();
        QFile::remove(folder + ".lock");
    }
}

} // namespace
