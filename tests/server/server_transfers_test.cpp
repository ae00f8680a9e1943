// The start-up fetch of online mode, through a recording gateway.
#include "core/app_context.h"
#include "platform/pacing.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"
#include "server/server_transfers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ServerFetch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ctx = AppContext();
        ctx.modeLocal = false;
        ctx.HADDR = QStringLiteral("10.0.0.5");
        ctx.HPORT = QStringLiteral("8080");
        ctx.USER = QStringLiteral("u");
        ctx.PASS = QStringLiteral("secret");
        ctx.RepData = dir.path() + QStringLiteral("/");
        ctx.repTMP = dir.path() + QStringLiteral("/TMP/");
        QDir().mkpath(ctx.repTMP);
        ctx.fileServeur = ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa");
        auto owned = std::make_unique<RecordingGateway>();
        gateway = owned.get();
        passerelleOf(ctx).setGateway(std::move(owned));
    }
    // The server holds these remote files.
    void serve(const QStringList& names) {
        gateway->onGet = [names](const QString& remote, const QString& local) {
            if (!names.contains(remote)) return;
            QFile f(local);
            if (f.open(QIODevice::WriteOnly)) f.write("[General]\r\n");
        };
    }
    QStringList fetches() const {
        QStringList out;
        for (const QString& call : gateway->calls)
            if (call.startsWith(QStringLiteral("GetFileHTTP_QAVO"))) out << call;
        return out;
    }

    QTemporaryDir dir;
    AppContext ctx;
    RecordingGateway* gateway = nullptr;
    platform::NoPacing noPacing;
};

TEST_F(ServerFetch, StartUpFetchesTheInformationFileThenTheTree) {
    const struct {
        const char* what;
        QStringList served;
        QList<int> results;
        bool ok;
        QString fileAOuvrir; // "" when start-up ends
    } cases[] = {
        {"both", {"qavo_general.txt", "arbre.maa"}, {}, true, "server"},
        {"no tree", {"qavo_general.txt"}, {0, 1}, true, "$$NEW$$"},
        {"no information file", {}, {1}, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        serve(c.served);
        gateway->fileResults = c.results;
        EXPECT_EQ(server_transfers::fetchServerInfo(ctx, noPacing), c.ok);
        EXPECT_EQ(ctx.fileLecture.isEmpty(), !c.ok);
        EXPECT_EQ(ctx.fileAOuvrir, c.fileAOuvrir == "server" ? ctx.fileServeur : c.fileAOuvrir);
        EXPECT_EQ(fetches().size(), c.ok ? 2 : 1) << "no tree is asked for without the information file";
        for (const QString& call : gateway->calls)
            EXPECT_FALSE(call.startsWith("GetFile") && !call.contains(ctx.repTMP)) << call.toStdString();
    }
}

} // namespace
