// The main window's server commands and the online start-up, against qavo-sim over HTTP.
#include "window_fixture.h"

#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "server/server_transfers.h"
#include "startup/server_info.h"
#include "startup/startup.h"
#include "support/sim_process.h"

#include <optional>

using namespace editor_testing;
using testing_support::readBytes;
using testing_support::SimProcess;

namespace {

// The worked example as the demonstration server holds it, with its closed exit made complete so
// that it passes the check.
QByteArray passingTree(const QString& m1Name = QStringLiteral("Main menu")) {
    return workedExample()
        .replace("exit_fer=ann;12;;", "exit_fer=ann;12;2;2")
        .replace("lib=Main menu", "lib=" + m1Name.toLatin1());
}

class WindowServer : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        sim.emplace();
        ASSERT_NE(sim->port(), 0) << "qavo-sim did not start";
        ctx.translation.setText(
            windowLabels() +
            "ErrTransfert=$NBERREURS$ errors.\r\nMsgTransfert=Send to $IPSERVEUR$?\r\n"
            "MsgRecup=Fetch from $IPSERVEUR$?\r\nMsgReset=Reset the server?\r\nErrRecup=Not fetched: "
            "$RAISON$\r\nErrEnvoi=Not sent: $RAISON$\r\nRaisonRefus=login refused\r\n");
        connectTo(ctx);
        // The check reads the server's lists.
        ctx.fileLecture = sim->root() + QStringLiteral("/qavo_general.txt");
        loadServerLists(ctx, ctx.fileLecture);
    }
    void connectTo(AppContext& c) {
        c.modeLocal = false;
        c.HADDR = QStringLiteral("127.0.0.1");
        c.HPORT = QString::number(sim->port());
        c.USER = QStringLiteral("u");
        c.PASS = QStringLiteral("p");
        auto gateway = std::make_unique<HttpGateway>();
        gateway->setTimeouts(3000, 3000);
        passerelleOf(c).setGateway(std::move(gateway));
    }
    // The simulator's log since the last call: "METHOD PATH STATUS" per request.
    QStringList requests() {
        QStringList all = QString::fromUtf8(sim->log()).split(u'\n', Qt::SkipEmptyParts);
        const QStringList fresh = all.mid(seen);
        seen = all.size();
        return fresh;
    }
    QByteArray serverTree() const { return readBytes(sim->root() + QStringLiteral("/arbre.maa")); }
    QStringList tmpFiles() const { return QDir(ctx.repTMP).entryList(QDir::Files, QDir::Name); }

    std::optional<SimProcess> sim;
    qsizetype seen = 0;
};

TEST_F(WindowServer, OnlineStartUpOpensTheServersTreeANewOneOrEndsOnTheConnectionError) {
    const QString program = dir.filePath(QStringLiteral("prog"));
    QDir().mkpath(program);
    for (const char* name : {"/qavo_lg00.txt", "/qavo_lg01.txt"})
        QFile::copy(testing_support::resourcesDir() + name, program + name);
    const QByteArray savedAppData = qgetenv("APPDATA");
    qputenv("APPDATA", dir.filePath(QStringLiteral("appdata")).toLocal8Bit());
    const struct {
        const char* name;
        const char* missingFile;
        StartupResult result;
        bool serverTreeShown;
    } cases[] = {
        {"tree on the server", "", StartupResult::Ok, true},
        {"no tree on the server", "arbre.maa", StartupResult::Ok, false},
        {"no information file", "qavo_general.txt", StartupResult::ConnectionError, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(sim->root() + QLatin1Char('/') + QLatin1String(c.missingFile));
        ctx = AppContext();
        connectTo(ctx);
        prompts.shown.clear();
        platform::NoPacing pacing;
        StartupHooks hooks;
        hooks.fetchServerInfo = [&pacing](AppContext& online) {
            return server_transfers::fetchServerInfo(online, pacing);
        };
        const QString commandLine =
            QStringLiteral("/HADDR:127.0.0.1 /HPORT:%1 /USER:u /PASS:p /LANG:1").arg(sim->port());
        ASSERT_EQ(runStartup(ctx, commandLine, program, prompts, hooks), c.result);
        if (c.result != StartupResult::Ok) {
            ASSERT_EQ(prompts.shown.size(), 1);
            EXPECT_EQ(prompts.shown[0].text, "Error n°9148 KZ - Connection Error");
            EXPECT_EQ(prompts.shown[0].title, "Connection Error");
            EXPECT_TRUE(ctx.fileLecture.isEmpty());
            continue;
        }
        EXPECT_TRUE(prompts.shown.isEmpty());
        EXPECT_EQ(ctx.Nb_arbre, 2) << "read from the server's information file";
        load(ctx.fileAOuvrir);
        EXPECT_EQ(indexOf("M1").isValid(), c.serverTreeShown);
        EXPECT_EQ(window->windowTitle(), ctx.translation.getLabel(QStringLiteral("Titre")) + " - 127.0.0.1");
        EXPECT_EQ(nodeColour("A3"), Grey) << "trees past the server's count are grey";
    }
    qputenv("APPDATA", savedAppData);
}

TEST_F(WindowServer, SendWithErrorsIsRefusedWithTheirCountAndNothingMoves) {
    open(passingTree().replace("rep=2\r\nsil=2\r\n0=\r\n1=trf;201", "rep=x\r\nsil=y\r\n0=\r\n1=trf;201"));
    const QStringList files = tmpFiles(); // the journal's
    action("mnuEnvoi")->trigger();
    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_EQ(prompts.shown.last().text, "2 errors.");
    EXPECT_TRUE(requests().isEmpty());
    EXPECT_EQ(tmpFiles(), files);
}

TEST_F(WindowServer, ConfirmedSendKeepsTheServersTreeStoresThenOpensWhatTheServerHolds) {
    const QByteArray before = serverTree();
    open(passingTree(QStringLiteral("To send")));
    requests();
    prompts.answers << Prompts::Answer::Yes;
    action("mnuEnvoi")->trigger();
    EXPECT_EQ(prompts.shown.last().text, "Send to 127.0.0.1?");
    EXPECT_EQ(requests(), QStringList({"GET /qavo/files/arbre.maa 200", "PUT /qavo/files/arbre.maa 200",
                                       "GET /qavo/files/arbre.maa 200"}));
    EXPECT_EQ(readBytes(ctx.repTMP + "transfertTMP.tmp"), before);
    EXPECT_EQ(serverTree(), readBytes(ctx.repTMP + "arbreToTransfert.maa"));
    EXPECT_EQ(readBytes(ctx.fileServeur), serverTree());
    EXPECT_EQ(menuName(), "To send");
    EXPECT_EQ(window->windowTitle(), "QAVO Editor - 127.0.0.1");
}

TEST_F(WindowServer, FetchAsksFirstThenOpensTheServersTreeOrKeepsTheCurrentOneAndSaysWhy) {
    open();
    testing_support::writeBytes(ctx.fileServeur, "kept");
    requests();
    action("mnuRecup")->trigger(); // answered No
    EXPECT_EQ(prompts.shown.last().text, "Fetch from 127.0.0.1?");
    EXPECT_TRUE(requests().isEmpty());
    EXPECT_EQ(readBytes(ctx.fileServeur), "kept") << "nothing deleted";

    prompts.answers << Prompts::Answer::Yes;
    action("mnuRecup")->trigger();
    EXPECT_EQ(readBytes(ctx.fileServeur), serverTree());
    EXPECT_TRUE(serverTree().contains("\r\nlib=" + menuName().toLatin1() + "\r\n"));

    changeAndRecord("Edited here");
    ASSERT_TRUE(sim->fault("login"));
    prompts.answers << Prompts::Answer::Yes;
    action("mnuRecup")->trigger();
    EXPECT_TRUE(prompts.shown.last().text.startsWith("Not fetched: login refused ("))
        << prompts.shown.last().text.toStdString();
    EXPECT_EQ(menuName(), "Edited here") << "the tree being edited stays";
    EXPECT_TRUE(debugLines().last().contains("Not fetched: login refused"));
}

TEST_F(WindowServer, ResetLeavesTheDefaultTreeOnTheServerAndInTheEditor) {
    open(passingTree());
    changeAndRecord("Edited");
    bool blinking = false;
    window->setResetVoies([&] {
        blinking = find<QWidget>("picReset")->isVisible() && !window->isEnabled() &&
                   find<QTimer>("tmrReset")->isActive();
    });
    prompts.answers << Prompts::Answer::Yes;
    action("mnuReset")->trigger();

    EXPECT_TRUE(blinking) << "the panel blinks in front while the window waits";
    EXPECT_FALSE(serverTree().contains("[M1]")) << "the server holds the default tree";
    EXPECT_TRUE(serverTree().contains("[A1]"));
    EXPECT_FALSE(indexOf("M1").isValid());
    EXPECT_EQ(selectedKey(), "A1");
    EXPECT_FALSE(titleMarked());
    EXPECT_FALSE(action("toolAnnuler")->isEnabled()) << "the journal starts again";
    EXPECT_TRUE(debugLines().last().endsWith(" - " + action("mnuReset")->text()));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(find<QWidget>("picReset")->isVisible());
}

} // namespace
