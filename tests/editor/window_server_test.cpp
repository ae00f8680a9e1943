// The server commands of the main window, against a recording gateway.
#include "window_fixture.h"

#include "server/passerelle.h"
#include "server/recording_gateway.h"

using namespace editor_testing;
using testing_support::readBytes;

namespace {

class WindowServer : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ctx.translation.setText(
            windowLabels() +
            "ErrTransfert=$NBERREURS$ errors.\r\nMsgTransfert=Send to $IPSERVEUR$?\r\n"
            "MsgRecup=Fetch from $IPSERVEUR$?\r\nMsgReset=Reset the server?\r\nErrRecup=Not fetched: "
            "$RAISON$\r\nErrEnvoi=Not sent: $RAISON$\r\n");
        ctx.modeLocal = false;
        ctx.HADDR = QStringLiteral("10.0.0.5");
        auto owned = std::make_unique<RecordingGateway>();
        gateway = owned.get();
        passerelleOf(ctx).setGateway(std::move(owned));
        // The server holds the worked example with M1 renamed.
        gateway->onGet = [](const QString& remote, const QString& local) {
            if (remote != QLatin1String("arbre.maa")) return;
            testing_support::writeBytes(local, workedExample().replace("lib=Main menu", "lib=On the server"));
        };
    }
    QStringList calls(const char* member) const {
        QStringList out;
        for (const QString& c : gateway->calls)
            if (c.startsWith(QLatin1String(member))) out << c;
        return out;
    }
    RecordingGateway* gateway = nullptr;
};

TEST_F(WindowServer, SendWithErrorsIsRefusedWithTheirCountAndNothingIsWritten) {
    open(workedExample().replace("rep=2\r\nsil=2\r\n0=\r\n1=trf;201", "rep=x\r\nsil=y\r\n0=\r\n1=trf;201"));
    action("mnuEnvoi")->trigger();
    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_TRUE(prompts.shown.last().text.endsWith(" errors.")) << prompts.shown.last().text.toStdString();
    EXPECT_TRUE(gateway->calls.isEmpty());
}

TEST_F(WindowServer, FetchAsksFirstThenOpensTheServersTreeOrKeepsTheCurrentOneAndSaysWhy) {
    open();
    action("mnuRecup")->trigger(); // answered No
    EXPECT_EQ(prompts.shown.last().text, "Fetch from 10.0.0.5?");
    EXPECT_TRUE(gateway->calls.isEmpty());

    prompts.answers << Prompts::Answer::Yes;
    action("mnuRecup")->trigger();
    EXPECT_EQ(menuName(), "On the server");
    EXPECT_EQ(window->windowTitle(), "QAVO Editor - 10.0.0.5");

    changeAndRecord("Edited here");
    gateway->fileResults = {1};
    gateway->error = QStringLiteral("login refused");
    prompts.answers << Prompts::Answer::Yes;
    action("mnuRecup")->trigger();
    EXPECT_EQ(prompts.shown.last().text, "Not fetched: login refused");
    EXPECT_EQ(menuName(), "Edited here") << "the tree being edited stays";
}

TEST_F(WindowServer, SendWritesKeepsTheServersTreeThenStoresIt) {
    open();
    changeAndRecord("To send");
    ASSERT_EQ(document->sendToServer(), server_transfers::SendResult::Sent);
    EXPECT_TRUE(readBytes(ctx.repTMP + "transfertTMP.tmp").contains("lib=On the server\r\n"));
    const QStringList puts = calls("PutFile");
    ASSERT_EQ(puts.size(), 1);
    EXPECT_TRUE(puts[0].contains("arbre.maa"));

    gateway->fileResults = {0, 7};
    EXPECT_EQ(document->sendToServer(), server_transfers::SendResult::StoreFailed);
    EXPECT_EQ(menuName(), "To send");
}

TEST_F(WindowServer, ResetLeavesTheDefaultTreeOnTheServerAndInTheEditor) {
    open();
    changeAndRecord("Edited");
    // The server gives back what it was last sent.
    gateway->onGet = [this](const QString& remote, const QString& local) {
        const QString sent = ctx.repTMP + "arbreToTransfert.maa";
        if (remote == QLatin1String("arbre.maa") && QFile::exists(sent)) QFile::copy(sent, local);
    };
    bool blinking = false;
    window->setResetVoies([&] {
        blinking = find<QWidget>("picReset")->isVisible() && !window->isEnabled() &&
                   find<QTimer>("tmrReset")->isActive();
    });
    prompts.answers << Prompts::Answer::Yes;
    action("mnuReset")->trigger();

    EXPECT_TRUE(blinking) << "the panel blinks in front while the window waits";
    EXPECT_FALSE(indexOf("M1").isValid());
    EXPECT_FALSE(readBytes(ctx.fileServeur).contains("[M1]")) << "the server holds the default tree";
    EXPECT_FALSE(titleMarked());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(find<QWidget>("picReset")->isVisible());
}

} // namespace
