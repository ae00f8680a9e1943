#include "startup/startup.h"

#include "core/app_context.h"
#include "core/prompts.h"
#include "model/undo_journal.h"
#include "startup/debug_log.h"
#include "startup/session_folder.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

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
