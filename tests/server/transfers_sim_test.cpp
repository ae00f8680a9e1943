// The server exchanges of the editor against qavo-sim, each fault at each step.
#include "core/app_context.h"
#include "model/configuration.h"
#include "model/tree_file.h"
#include "platform/codepage.h"
#include "platform/pacing.h"
#include "server/server_transfers.h"
#include "support/online_context.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <optional>

namespace {

using testing_support::readBytes;
using testing_support::SimProcess;

enum class Step { StartUp, Fetch, Send, ClosingFetch };

class SimTransfers : public ::testing::Test {
protected:
    void start() {
        sim.emplace();
        work.emplace();
        ctx = AppContext();
        // Replies have 1.5 s: short enough for a table of cases, long enough for a loaded machine's loopback.
        testing_support::goOnline(ctx, sim->port(), 3000, 1500);
        testing_support::useDataFolder(ctx, work->path());
        // Reasons are worded in the user's language.
        ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg00.txt"));
        config = makeConfiguration(ctx);
        ChargementArbres(config, SimProcess::defaultServer() + QStringLiteral("/arbre.maa"), ctx);
    }

    // Every file under the work folder, by path relative to it, with its bytes.
    QMap<QString, QByteArray> localFiles() const {
        QMap<QString, QByteArray> files;
        QDirIterator it(work->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files[QDir(work->path()).relativeFilePath(path)] = readBytes(path);
        }
        return files;
    }

    bool sent() {
        return server_transfers::sendTree(ctx, config, pacing) == server_transfers::StoreResult::Stored;
    }

    std::optional<SimProcess> sim;
    std::optional<QTemporaryDir> work;
    AppContext ctx;
    Configuration config;
    platform::NoPacing pacing;
};

// The start-up fetch takes the information file, then the tree, into the temporary folder; without the
// information file it asks for nothing more.
TEST_F(SimTransfers, StartUpFetchesTheInformationFileThenTheTree) {
    const QString general = QStringLiteral("TMP/qavo_general.txt"),
                  tree = QStringLiteral("TMP/ArbreSERVEUR.maa");
    const struct {
        const char* missing; // on the server
        bool ok;
        QString opened; // "" when start-up ends
        QStringList files, log;
    } cases[] = {
        {"", true, tree, {tree, general}, {"qavo_general.txt 200", "arbre.maa 200"}},
        {"arbre.maa", true, "$$NEW$$", {general}, {"qavo_general.txt 200", "arbre.maa 404"}},
        {"qavo_general.txt", false, "", {}, {"qavo_general.txt 404"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.missing);
        start();
        QFile::remove(sim->root() + u'/' + QLatin1String(c.missing));
        EXPECT_EQ(server_transfers::fetchServerInfo(ctx, pacing), c.ok);
        EXPECT_EQ(ctx.fileAOuvrir,
                  c.opened.isEmpty() || c.opened.startsWith('$') ? c.opened : ctx.RepData + c.opened);
        EXPECT_EQ(localFiles().keys(), c.files);
        EXPECT_EQ(ctx.fileLecture, c.ok ? ctx.RepData + general : QString()) << "what start-up reads next";
        EXPECT_EQ(QString::fromUtf8(sim->log()).remove("GET /qavo/files/").split(u'\n', Qt::SkipEmptyParts),
                  c.log);
    }
}

TEST_F(SimTransfers, EachFaultFailsItsStepCleanlyAndSaysWhy) {
    const struct {
        const char* fault; // "" for a server that is down
        const char* reason;
    } faults[] = {
        {"login", "a refusé l'identification"},
        {"drop", "réponse est incomplète|injoignable"},
        {"truncate", "réponse est incomplète"},
        {"oversize", "dépasse la taille permise"},
        {"slow:4000", "pas de réponse complète dans le délai"},
        {"", "serveur est injoignable"},
    };
    const char* stepNames[] = {"start-up fetch", "fetch", "send", "closing fetch"};
    for (const Step step : {Step::StartUp, Step::Fetch, Step::Send, Step::ClosingFetch}) {
        for (const auto& f : faults) {
            SCOPED_TRACE(std::string(stepNames[int(step)]) + " / " + (*f.fault ? f.fault : "server down"));
            start();
            QMap<QString, QByteArray> expected; // what may be left locally: whole files only
            if (step == Step::ClosingFetch) {
                ASSERT_TRUE(sent()) << server_transfers::lastReason(ctx).toStdString();
                expected = localFiles();
            }
            if (*f.fault)
                ASSERT_TRUE(sim->fault(f.fault));
            else
                sim->stop();

            bool ok = true;
            switch (step) {
            case Step::StartUp: {
                // The start-up's message is a fixed text: the debug log names the cause.
                ctx.fileDebugActive = true;
                ok = server_transfers::fetchServerInfo(ctx, pacing);
                EXPECT_TRUE(ctx.fileLecture.isEmpty());
                const QString log = ctx.RepData + QStringLiteral("fileDebug.log");
                EXPECT_TRUE(platform::decodeAnsi(readBytes(log))
                                .contains("Echec : " + server_transfers::lastReason(ctx)));
                QFile::remove(log);
                break;
            }
            case Step::Fetch:
            case Step::ClosingFetch:
                // The local copy stays as it was.
                ok = server_transfers::fetchTree(ctx, ctx.fileServeur, pacing) ==
                     server_transfers::FetchResult::Fetched;
                break;
            case Step::Send:
                ok = sent();
                expected[QStringLiteral("TMP/arbreToTransfert.maa")] = treeFileBytes(config);
                break;
            }
            EXPECT_FALSE(ok);
            EXPECT_EQ(localFiles(), expected);
            const QString reason = server_transfers::lastReason(ctx);
            EXPECT_TRUE(reason.contains(QRegularExpression(QString::fromUtf8(f.reason))))
                << reason.toStdString();
        }
    }
}

} // namespace
