// The main window's server commands and the online start-up, against qavo-sim over HTTP.
#include "server_fixture.h"

#include "server/server_transfers.h"
#include "support/online_context.h"

using namespace editor_testing;
using testing_support::goOnline;
using testing_support::readBytes;
using testing_support::SimProcess;

namespace {

TEST_F(WindowServer, SendWithErrorsIsRefusedWithTheirCountAndNothingMoves) {
    open(passingTree().replace("rep=2\r\nsil=2\r\n0=\r\n1=trf;201", "rep=x\r\nsil=y\r\n0=\r\n1=trf;201"));
    const QStringList files = tmpFiles(); // the journal's
    action("mnuEnvoi")->trigger();
    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_TRUE(prompts.shown.last().text.startsWith("The trees contain 2 error(s)."));
    EXPECT_TRUE(requests().isEmpty());
    EXPECT_EQ(tmpFiles(), files);
}

TEST_F(WindowServer, TheSendConfirmationCountsTheChangesFromTheTreeLastFetched) {
    testing_support::writeBytes(sim->root() + "/arbre.maa", passingTree());
    open(passingTree());
    const auto askToSend = [&](Prompts::Answer answer) {
        prompts.answers << answer;
        action("mnuEnvoi")->trigger();
        return prompts.shown.last();
    };
    ScriptedPrompts::Shown asked = askToSend(Prompts::Answer::No);
    EXPECT_EQ(asked.text, "Send the trees to server 127.0.0.1?");
    EXPECT_EQ(asked.remark, "The server's current trees are not known here: the changes cannot be counted.");
    EXPECT_TRUE(asked.details.isEmpty());

    prompts.answers << Prompts::Answer::Yes;
    action("mnuRecup")->trigger();
    EXPECT_EQ(readBytes(ctx.fileServeur), serverTree());
    EXPECT_EQ(askToSend(Prompts::Answer::No).remark,
              "No difference in behaviour from the server's current trees.");

    // Saving writes over the local copy of the server's tree: the count still goes by what was fetched.
    changeAndRecord("Edited");
    config().sections.setValue("M1", MenuValue::key0 + 3, "trf;201");
    action("mnuSave")->trigger();
    const QByteArray before = serverTree();
    requests();
    asked = askToSend(Prompts::Answer::Yes);
    // The server's tree is kept, the new one stored, then what the server holds is opened.
    EXPECT_EQ(requests(), QStringList({"GET /qavo/files/arbre.maa 200", "PUT /qavo/files/arbre.maa 200",
                                       "GET /qavo/files/arbre.maa 200"}));
    EXPECT_EQ(readBytes(ctx.repTMP + "transfertTMP.tmp"), before);
    EXPECT_EQ(serverTree(), readBytes(ctx.repTMP + "arbreToTransfert.maa"));
    EXPECT_EQ(readBytes(ctx.fileServeur), serverTree());
    EXPECT_EQ(journalItems().size(), 1) << "the server's tree opened afresh";
    EXPECT_EQ(asked.remark, "2 changes against the server's current trees.");
    EXPECT_EQ(asked.details.count('\n'), 1) << asked.details.toStdString();
    EXPECT_TRUE(asked.details.contains("Edited") && asked.details.contains("key 3"))
        << asked.details.toStdString();
    EXPECT_EQ(askToSend(Prompts::Answer::No).remark,
              "No difference in behaviour from the server's current trees.")
        << "what was sent is the server's tree now";
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

// ---- faults met in each state the user can be in ---------------------------------------------------

enum class Edits { None, Unsaved, SavedNotSent };

const QString kNoBackup = "Send cancelled: the server's trees could not be backed up before sending: ";
const QString kNotSent = "The trees were not sent to the server: ";
const QString kRefused = "the server refused the login";

// The editor on the server's tree as the start-up fetched it, in the given state; the gateway gives up
// after 300 ms without a reply so that a slow server counts as a failure.
class ServerFaults : public WindowServer {
protected:
    void start(Edits edits) {
        sim.emplace();
        ASSERT_NE(sim->port(), 0);
        goOnline(ctx, sim->port(), 1000, 300);
        testing_support::writeBytes(ctx.fileServeur, serverTree());
        load(ctx.fileServeur);
        window->setResetVoies([] { return true; });
        if (edits != Edits::None) changeAndRecord(QStringLiteral("Edited"));
        if (edits == Edits::SavedNotSent) action("mnuSave")->trigger();
        prompts.shown.clear();
        seen = 0;
    }
    // What the user has: the tree, its title and journal, and the local copy of the server's tree.
    QStringList editorState() {
        return {QString::fromLatin1(treeFileBytes(config())), window->windowTitle(),
                QString::number(journalItems().size()), QString::fromLatin1(readBytes(ctx.fileServeur))};
    }
    QString lastMessage() const { return prompts.shown.isEmpty() ? QString() : prompts.shown.last().text; }
};

TEST_F(ServerFaults, AFailedCommandLeavesTheEditorAndTheServerAsTheyWereAndSaysWhy) {
    const struct {
        const char* name;
        QByteArray spec; // empty: the server is down
    } faults[] = {
        {"refused login", "login"},
        {"dropped", "drop@arbre.maa"},
        {"truncated", "truncate@arbre.maa"},
        {"slow", "slow:900@arbre.maa"},
        {"down", ""},
    };
    const struct {
        const char* action;
        QString message; // how the last message starts
    } commands[] = {
        {"mnuRecup", "The server's trees were not fetched: "},
        {"mnuEnvoi", kNoBackup},
        {"mnuReset", "The reset failed.\r\nThe server's line table was reset.\r\n" + kNoBackup},
    };
    for (const Edits edits : {Edits::None, Edits::Unsaved, Edits::SavedNotSent}) {
        for (const auto& command : commands) {
            for (const auto& fault : faults) {
                SCOPED_TRACE(std::string(command.action) + ", " + fault.name + ", edits " +
                             std::to_string(int(edits)));
                start(edits);
                const QByteArray server = serverTree();
                const QStringList before = editorState();
                if (fault.spec.isEmpty())
                    sim->stop();
                else
                    ASSERT_TRUE(sim->fault(fault.spec));
                prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes, Prompts::Answer::Yes};
                action(command.action)->trigger();
                EXPECT_EQ(editorState(), before);
                EXPECT_EQ(serverTree(), server);
                EXPECT_TRUE(lastMessage().startsWith(command.message)) << lastMessage().toStdString();
                EXPECT_EQ(debugLines().last().section(QStringLiteral(" - "), 1), lastMessage());
                EXPECT_TRUE(window->isEnabled());
            }
        }
    }
}

// A store that fails is followed by a look at what the server holds, which the message tells.
TEST_F(ServerFaults, AFailedStoreSaysWhatTheServerHoldsNow) {
    const struct {
        const char* name;
        QByteArray faults; // "once" faults on arbre.maa used in turn: backup fetch, store, then fetches
        bool serverHoldsSent, editorOnServerTree;
        QString message, messageEnd;
    } cases[] = {
        {"store refused", "slow:1 login", false, false, kNotSent + kRefused, "keeps its previous trees."},
        {"reply to the store lost", "slow:1 drop", true, true, "", ""},
        {"not fetched back", "slow:1 slow:1 login*", true, false,
         "The trees were sent to the server but not fetched back: " + kRefused, "the editor keeps its own."},
        {"store lost, server silent", "slow:1 drop login*", true, false, kNotSent, "a fetch will tell."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start(Edits::Unsaved);
        const QByteArray server = serverTree();
        const QStringList before = editorState();
        for (const QByteArray& f : c.faults.split(' ')) // "*": on every request
            ASSERT_TRUE(sim->fault(f.endsWith('*') ? f.chopped(1) + "@arbre.maa" : f + "@arbre.maa,once"));
        prompts.answers = {Prompts::Answer::Yes};
        action("mnuEnvoi")->trigger();
        EXPECT_EQ(serverTree() != server, c.serverHoldsSent);
        EXPECT_EQ(editorState() == before, !c.editorOnServerTree);
        if (c.editorOnServerTree) {
            EXPECT_EQ(readBytes(ctx.fileServeur), serverTree());
        }
        if (c.message.isEmpty()) {
            EXPECT_EQ(prompts.shown.last().kind, "question") << "no failure shown";
            EXPECT_EQ(debugLines().last().section(QStringLiteral(" - "), 1),
                      "Trees sent to server 127.0.0.1");
        } else {
            EXPECT_TRUE(lastMessage().startsWith(c.message)) << lastMessage().toStdString();
        }
        EXPECT_TRUE(lastMessage().endsWith(c.messageEnd)) << lastMessage().toStdString();
    }
}

// What could lose someone's work is asked first, or refused; the editor and the server stay as they were.
TEST_F(ServerFaults, WhatCouldLoseWorkIsAskedOrRefused) {
    using enum Prompts::Answer;
    const QByteArray theirs = // someone else sent a tree meanwhile
        readBytes(SimProcess::defaultServer() + "/arbre.maa")
            .replace("ann1=10", "ann1=14")
            .replace("ann=11", "ann=16");
    const struct {
        Edits edits;
        QByteArray onServer;            // written on the server first, when given
        const char* command;            // nullptr: closing the window
        QList<Prompts::Answer> answers; // then No
        QString message;
    } cases[] = {
        {Edits::Unsaved, theirs, "mnuEnvoi", {Yes, No}, "changed since they were fetched (2 change(s))"},
        {Edits::SavedNotSent, "", "mnuRecup", {}, "The local copy holds saved changes that were not sent"},
        {Edits::SavedNotSent, "", nullptr, {}, "The saved changes were not sent to the server and will be"},
        {Edits::Unsaved, "<html>Log in</html>", "mnuRecup", {Yes}, "not fetched: The file arbre.maa is not"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        start(c.edits);
        if (!c.onServer.isEmpty()) testing_support::writeBytes(sim->root() + "/arbre.maa", c.onServer);
        const QByteArray server = serverTree();
        const QStringList before = editorState();
        prompts.answers = c.answers;
        if (c.command)
            action(c.command)->trigger();
        else
            EXPECT_FALSE(window->close());
        EXPECT_TRUE(lastMessage().contains(c.message)) << lastMessage().toStdString();
        EXPECT_EQ(editorState(), before);
        EXPECT_EQ(serverTree(), server);
        EXPECT_EQ(requests().isEmpty(), c.answers.isEmpty()) << "nothing is fetched before the answer";
    }
}

TEST_F(ServerFaults, WhatIsTypedDuringATransferIsDropped) {
    start(Edits::None);
    ASSERT_TRUE(sim->fault("slow:200@arbre.maa,once"));
    goOnline(ctx, sim->port(), 1000, 3000);
    QLineEdit* txtLib = find<QLineEdit>("txtLib_0"); // the tree's name: A1 is selected
    ASSERT_NE(txtLib, nullptr);
    QTimer::singleShot(50, txtLib, [&] { QTest::keyClicks(txtLib, "XYZ"); });
    prompts.answers = {Prompts::Answer::Yes};
    action("mnuRecup")->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(txtLib->text().contains("XYZ"));
    EXPECT_FALSE(titleMarked());
}

TEST_F(ServerFaults, AStartUpThatCouldNotFetchTheTreeSaysSoAndTheSendAsksFirst) {
    const QByteArray faults[] = {"truncate@arbre.maa,once", "drop@arbre.maa,once", "slow:900@arbre.maa,once",
                                 "login@arbre.maa,once"};
    for (const QByteArray& fault : faults) {
        SCOPED_TRACE(fault.toStdString());
        sim.emplace();
        ASSERT_TRUE(sim->fault(fault));
        ctx.fileLecture.clear();
        goOnline(ctx, sim->port(), 1000, 300);
        platform::NoPacing pacing;
        ASSERT_TRUE(server_transfers::fetchServerInfo(ctx, pacing));
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
