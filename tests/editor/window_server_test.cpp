// The main window's server commands and the online start-up, against qavo-sim over HTTP.
#include "window_fixture.h"

#include "history/transfer_recorder.h"
#include "server/server_transfers.h"

#include <QScopeGuard>

using namespace editor_testing;
using testing_support::goOnline;
using testing_support::readBytes;
using enum Prompts::Answer;

namespace {

TEST_F(WindowServer, ASendWithErrorsIsRefusedAndTheConfirmationCountsTheChangesFromTheTreeLastFetched) {
    open(passingTree().replace("rep=2\r\nsil=2\r\n0=\r\n1=trf;201", "rep=x\r\nsil=y\r\n0=\r\n1=trf;201"));
    const QStringList files = QDir(ctx.repTMP).entryList(QDir::Files); // the journal's
    action("mnuEnvoi")->trigger();
    EXPECT_TRUE(lastMessage().startsWith("The trees contain 2 error(s).")) << lastMessage().toStdString();
    EXPECT_EQ(requests() + QDir(ctx.repTMP).entryList(QDir::Files), files) << "no request, no file written";

    testing_support::writeBytes(sim->root() + "/arbre.maa", passingTree());
    open(passingTree());
    // The question answered, as "text|remark|details".
    const auto askToSend = [&](Prompts::Answer answer) {
        prompts.answers << answer;
        action("mnuEnvoi")->trigger();
        return QStringList({lastMessage(), prompts.shown.last().remark, prompts.shown.last().details})
            .join('|');
    };
    const QString question = "Send the trees to server 127.0.0.1?|";
    const QString same = question + "No difference in behaviour from the server's current trees.|";
    EXPECT_EQ(askToSend(No),
              question + "The server's current trees are not known here: the changes cannot be counted.|");
    prompts.answers << Yes;
    action("mnuRecup")->trigger();
    EXPECT_EQ(readBytes(ctx.fileServeur), serverTree());
    EXPECT_EQ(askToSend(No), same);

    // Saving writes over the local copy of the server's tree: the count still goes by what was fetched.
    changeAndRecord("Edited");
    config().sections.setValue("M1", MenuValue::key0 + 3, "trf;201");
    action("mnuSave")->trigger();
    const QByteArray before = serverTree();
    requests();
    EXPECT_EQ(askToSend(Yes), question +
                                  "2 changes against the server's current trees.|• Tree 1 > Edited, name: "
                                  "Main menu -> Edited\n• Tree 1 > Edited > key 3: Announcement 15, 2 "
                                  "repetitions, 2 silences -> Transfer to 201");
    // The server's tree is kept, the new one stored, then what the server holds is opened.
    EXPECT_EQ(requests(), QStringList({"GET /qavo/files/arbre.maa 200", "PUT /qavo/files/arbre.maa 200",
                                       "GET /qavo/files/arbre.maa 200"}));
    EXPECT_EQ(readBytes(ctx.repTMP + "transfertTMP.tmp"), before);
    EXPECT_EQ(serverTree(), readBytes(ctx.repTMP + "arbreToTransfert.maa"));
    EXPECT_EQ(readBytes(ctx.fileServeur), serverTree());
    EXPECT_EQ(journalItems().size(), 1) << "the server's tree opened afresh";
    EXPECT_EQ(askToSend(No), same) << "what was sent is the server's tree now";
}

TEST_F(WindowServer, ResetLeavesTheDefaultTreeOnTheServerAndInTheEditor) {
    open(passingTree());
    changeAndRecord("Edited");
    bool blinking = false;
    window->setResetVoies([&] {
        blinking = find<QWidget>("picReset")->isVisible() && !window->isEnabled() &&
                   find<QTimer>("tmrReset")->isActive();
        return true;
    });
    prompts.answers << Yes;
    action("mnuReset")->trigger();

    EXPECT_TRUE(blinking) << "the panel blinks in front while the window waits";
    EXPECT_TRUE(serverTree().contains("[A1]") && !serverTree().contains("[M1]")) << "the default tree";
    // The default tree opened afresh, its journal started again.
    EXPECT_EQ(QStringList({selectedKey(), rowTexts(treeV()->model(), indexOf("A1")).join(' '),
                           window->windowTitle(), enabledOf({"toolAnnuler"}).join(' ')}),
              QStringList({"A1", "", "QAVO Editor - 127.0.0.1", ""}));
    EXPECT_TRUE(debugLines().last().endsWith(" - " + action("mnuReset")->text()));
    EXPECT_TRUE(window->isEnabled() && !find<QWidget>("picReset")->isVisible());
}

enum class Edits { None, Unsaved, SavedNotSent };

const QString kNoBackup = "Send cancelled: the server's trees could not be backed up before sending: ";
const QString kNotSent = "The trees were not sent to the server: ";
const QString kNotFetched = "The trees were sent to the server but not fetched back: ";
const QString kRefused = "the server refused the login";

class ServerFaults : public WindowServer {
protected:
    // The editor on the server's tree as the start-up fetched it, in the given state, then the faults
    // taken by the server ("down": it stops); the gateway gives up after 300 ms without a reply so that a
    // slow server counts as a failure.
    void start(Edits edits, const QList<QByteArray>& faults = {}) {
        sim.emplace();
        goOnline(ctx, sim->port(), 1000, 300);
        testing_support::writeBytes(ctx.fileServeur, serverBefore = serverTree());
        load(ctx.fileServeur);
        window->setResetVoies([] { return true; });
        if (edits != Edits::None) changeAndRecord(QStringLiteral("Edited"));
        if (edits == Edits::SavedNotSent) action("mnuSave")->trigger();
        prompts.shown.clear();
        seen = 0;
        editorBefore = editorState();
        for (const QByteArray& fault : faults)
            if (fault == "down")
                sim->stop();
            else
                ASSERT_TRUE(sim->fault(fault)) << fault.toStdString();
    }
    // What the user has: the tree, its title and journal, and the local copy of the server's tree.
    QStringList editorState() {
        return {QString::fromLatin1(treeFileBytes(config())), window->windowTitle(),
                QString::number(journalItems().size()), QString::fromLatin1(readBytes(ctx.fileServeur))};
    }
    QByteArray serverBefore;
    QStringList editorBefore;
};

TEST_F(ServerFaults, AFailedCommandLeavesTheEditorAndTheServerAsTheyWereAndSaysWhy) {
    const QByteArray faults[] = {"login", "drop@arbre.maa", "truncate@arbre.maa", "slow:900@arbre.maa",
                                 "down"};
    const std::pair<const char*, QString> commands[] = {
        {"mnuRecup", "The server's trees were not fetched: "},
        {"mnuEnvoi", kNoBackup},
        {"mnuReset", "The reset failed.\r\nThe server's line table was reset.\r\n" + kNoBackup}};
    for (const Edits edits : {Edits::None, Edits::Unsaved, Edits::SavedNotSent}) {
        for (const auto& [command, message] : commands) {
            for (const QByteArray& fault : faults) {
                SCOPED_TRACE(std::string(command) + ", " + fault.data() + ", edits " +
                             std::to_string(int(edits)));
                start(edits, {fault});
                prompts.answers = {Yes, Yes, Yes};
                action(command)->trigger();
                EXPECT_TRUE(lastMessage().startsWith(message)) << lastMessage().toStdString();
                EXPECT_EQ(editorState() << serverTree() << debugLines().last().section(" - ", 1)
                                        << (window->isEnabled() ? "enabled" : ""),
                          editorBefore + QStringList({serverBefore, lastMessage(), "enabled"}));
            }
        }
    }
}

// What could lose someone's work is asked first, or refused; a store that fails is followed by a look at what
// the server holds, which the message tells.
TEST_F(ServerFaults, WhatCouldLoseWorkIsAskedOrRefusedAndAFailedStoreSaysWhatTheServerHoldsNow) {
    const QByteArray theirs = // someone else sent a tree meanwhile
        readBytes(testing_support::SimProcess::defaultServer() + "/arbre.maa")
            .replace("ann1=10", "ann1=14")
            .replace("ann=11", "ann=16");
    using enum Edits;
    // The editor's state, the server's faults ("once" on arbre.maa in turn: backup fetch, store, fetches;
    // "*": on every request), the tree written on the server first, the command (none: closing the window),
    // the questions answered Yes before a No, what changes (1: the server holds what was sent, 2: and the
    // editor opened it: a store whose reply is lost), and how the last message goes on and ends.
    const struct {
        Edits edits;
        QByteArray faults, onServer;
        const char* command;
        int yes, changed;
        QString message, messageEnd;
    } cases[] = {
        {Unsaved, "", theirs, "mnuEnvoi", 1, 0, "changed since they were fetched (2 change(s))", ""},
        {SavedNotSent, "", "", "mnuRecup", 0, 0, "The local copy holds saved changes that were not sent", ""},
        {SavedNotSent, "", "", nullptr, 0, 0, "saved changes were not sent to the server and will be", ""},
        {Unsaved, "", "<html>Log in</html>", "mnuRecup", 1, 0, "not fetched: The file arbre.maa is not", ""},
        {Unsaved, "slow:1 login", "", "mnuEnvoi", 1, 0, kNotSent + kRefused, "keeps its previous trees."},
        {Unsaved, "slow:1 drop", "", "mnuEnvoi", 1, 2, "Send the trees to server 127.0.0.1?", ""},
        {Unsaved, "slow:1 slow:1 login*", "", "mnuEnvoi", 1, 1, kNotFetched + kRefused, "keeps its own."},
        {Unsaved, "slow:1 drop login*", "", "mnuEnvoi", 1, 1, kNotSent, "a fetch will tell."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        QList<QByteArray> faults;
        for (const QByteArray& f : c.faults.split(' '))
            if (!f.isEmpty())
                faults << (f.endsWith('*') ? f.chopped(1) + "@arbre.maa" : f + "@arbre.maa,once");
        start(c.edits, faults);
        if (!c.onServer.isEmpty())
            testing_support::writeBytes(sim->root() + "/arbre.maa", serverBefore = c.onServer);
        prompts.answers = QList<Prompts::Answer>(c.yes, Yes);
        if (c.command)
            action(c.command)->trigger();
        else
            EXPECT_FALSE(window->close());
        EXPECT_TRUE(lastMessage().contains(c.message) && lastMessage().endsWith(c.messageEnd))
            << lastMessage().toStdString();
        EXPECT_EQ(std::pair(serverTree() != serverBefore, editorState() != editorBefore),
                  std::pair(c.changed > 0, c.changed > 1));
        EXPECT_TRUE(c.changed < 2 || readBytes(ctx.fileServeur) == serverTree());
        EXPECT_EQ(requests().isEmpty(), c.yes == 0) << "nothing is fetched before the answer";
    }
}

// A history that cannot be written (a file stands where its folder should be) never holds a transfer back:
// in each state of the editor, the fetch and the send go through, and the list says why nothing was recorded.
TEST_F(ServerFaults, AHistoryThatCannotBeWrittenLetsEachTransferThroughAndSaysWhy) {
    history::installTransferRecorder([this] { return &document->diagnostics(); });
    const auto uninstall = qScopeGuard([] { server_transfers::setTransferRecorder({}); });
    for (const Edits edits : {Edits::None, Edits::Unsaved, Edits::SavedNotSent}) {
        for (const char* command : {"mnuRecup", "mnuEnvoi"}) {
            SCOPED_TRACE(std::string(command) + ", edits " + std::to_string(int(edits)));
            start(edits);
            testing_support::writeBytes(dir.filePath("history"), "a file, not a folder");
            const qsizetype before = debugLines().filter("The history was not recorded: ").size();
            prompts.answers = {Yes, Yes};
            action(command)->trigger();
            const bool sent = command == std::string("mnuEnvoi");
            EXPECT_EQ(serverTree().contains("Edited"), sent && edits != Edits::None);
            EXPECT_TRUE(sent || serverTree() == serverBefore);
            EXPECT_EQ(readBytes(ctx.fileServeur), serverTree());
            EXPECT_EQ(editorState().first() == editorBefore.first(), sent || edits == Edits::None);
            EXPECT_GT(debugLines().filter("The history was not recorded: ").size(), before);
        }
    }
}

TEST_F(ServerFaults, WhatIsTypedDuringATransferIsDropped) {
    start(Edits::None, {"slow:200@arbre.maa,once"});
    goOnline(ctx, sim->port(), 1000, 3000);
    QLineEdit* txtLib = find<QLineEdit>("txtLib_0"); // the tree's name: A1 is selected
    QTimer::singleShot(50, txtLib, [&] { QTest::keyClicks(txtLib, "XYZ"); });
    prompts.answers = {Yes};
    action("mnuRecup")->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(txtLib->text().contains("XYZ") || titleMarked());
}

TEST_F(ServerFaults, AStartUpThatCouldNotFetchTheTreeSaysSoAndTheSendAsksFirst) {
    for (const char* fault : {"truncate", "drop", "slow:900", "login"}) {
        SCOPED_TRACE(fault);
        sim.emplace();
        ASSERT_TRUE(sim->fault(fault + QByteArray("@arbre.maa,once")));
        ctx.fileLecture.clear();
        goOnline(ctx, sim->port(), 1000, 300);
        ASSERT_TRUE(server_transfers::fetchServerInfo(ctx, noPacing));
        EXPECT_EQ(ctx.fileAOuvrir, "$$NEW$$");
        prompts.shown.clear();
        load(ctx.fileAOuvrir);
        // Said in front of the window once it shows.
        EXPECT_TRUE(QTest::qWaitFor([&] { return lastMessage().contains("The editor opens on new trees"); }))
            << lastMessage().toStdString();
        EXPECT_TRUE(debugLines().last().contains("The editor opens on new trees"));
        // Even a tree that passes its check is not sent over the unseen one unasked.
        window->OuvertureFichierArbre(writeFile(QStringLiteral("p.maa"), passingTree()));
        const QByteArray server = serverTree();
        action("mnuEnvoi")->trigger(); // answered No
        EXPECT_TRUE(lastMessage().startsWith("The server's current trees were never fetched"));
        EXPECT_EQ(serverTree(), server);
        ctx.serverTreeFailure.clear();
    }
}

} // namespace
