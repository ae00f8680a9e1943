// The history as git and an administrator see it (folder names, revision names, two writers at once,
// pruning), and every transfer against qavo-sim leaving the server's file in it, once.
#include "history/history.h"
#include "history/transfer_recorder.h"

#include "core/app_context.h"
#include "lines/line_server.h"
#include "lines/lines500.h"
#include "model/configuration.h"
#include "model/tree_file.h"
#include "platform/pacing.h"
#include "server/server_transfers.h"
#include "support/cli_server.h"
#include "support/online_context.h"

#include <QProcess>
#include <functional>
#include <optional>

namespace {

using testing_support::readBytes;
using testing_support::SimProcess;
namespace st = server_transfers;

class HistorySim {
public:
    explicit HistorySim(const QString& server) : sim({QStringLiteral("--control")}, server) {
        history::installTransferRecorder();
        qputenv("QAVO_HISTORY_DIR", QFile::encodeName(work.filePath(QStringLiteral("history"))));
        testing_support::goOnline(ctx, sim.port());
        testing_support::useDataFolder(ctx, work.path());
        ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg00.txt"));
        config = makeConfiguration(ctx);
        ChargementArbres(config, server + QStringLiteral("/arbre.maa"), ctx);
    }
    ~HistorySim() { st::setTransferRecorder({}); }

    QList<history::Revision> revisions() const {
        return history::Repository(history::historyRoot(ctx)).revisions(history::serverFolderOf(ctx));
    }
    QByteArray onServer(const QString& name) const { return readBytes(sim.root() + u'/' + name); }
    bool fetch() { return st::fetchTree(ctx, ctx.fileServeur, pacing) == st::FetchResult::Fetched; }
    bool sendEdited() {
        config.sections.setValue(QStringLiteral("M1"), 1, QStringLiteral("Accueil du soir"));
        return st::sendTree(ctx, config, pacing) == st::StoreResult::Stored;
    }

    QTemporaryDir work;
    SimProcess sim;
    AppContext ctx;
    Configuration config;
    platform::NoPacing pacing;
    QByteArray written; // by the event, when the server keeps it in another form
};

const QString k900 = SimProcess::defaultServer();
const QString k500 = QStringLiteral(QAVO_RESOURCES "/server-example-500");

// One event kind each: what the history says happened and the file it keeps, which holds what the server
// holds after the event (or, for the lines of generation 500, what was written).
TEST(HistoryTransfers, EachEventRecordsWhatTheServerHoldsOnce) {
    const struct {
        const char *name, *what, *file;
        QString server;
        std::function<bool(HistorySim&)> act;
    } cases[] = {
        {"fetch", "fetch", "arbre.maa", k900, [](HistorySim& h) { return h.fetch(); }},
        {"send", "send", "arbre.maa", k900, [](HistorySim& h) { return h.sendEdited(); }},
        {"reset", "reset", "arbre.maa", k900,
         [](HistorySim& h) {
             h.ctx.historyWhat = QStringLiteral("reset");
             Configuration defaults = makeConfiguration(h.ctx);
             ChargementArbres(defaults, QString(), h.ctx);
             const bool sent = st::sendTree(h.ctx, defaults, h.pacing) == st::StoreResult::Stored;
             h.ctx.historyWhat.clear();
             return sent;
         }},
        {"lines read", "lines", "rcm.cfg", k900,
         [](HistorySim& h) { return line_server::fetchLineFiles(h.ctx, h.pacing).isEmpty(); }},
        {"lines written", "lines", "rcm.cfg", k900,
         [](HistorySim& h) {
             line_server::LineData data;
             const bool loaded = line_server::loadLineData(h.ctx, h.pacing, data).isEmpty();
             data.table.line(1).ddi = QStringLiteral("0140009999");
             return loaded && line_server::saveLineTable(h.ctx, data.table);
         }},
        {"generation 500 read and written", "lines", "lines500.csv", k500,
         [](HistorySim& h) {
             Lines500 lines(h.ctx);
             const bool ok =
                 lines.read() && lines.setNumber(0, 1, QStringLiteral("4455")) && lines.write().isEmpty();
             h.written = lines.exportCsvBytes();
             return ok;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HistorySim h(c.server);
        ASSERT_TRUE(c.act(h));
        const QList<history::Revision> first = h.revisions();
        ASSERT_FALSE(first.isEmpty());
        EXPECT_EQ(QStringList({first.first().what, first.first().email, h.ctx.lastRevision}),
                  QStringList({c.what, "u@127.0.0.1_" + h.ctx.HPORT, first.first().id}));
        EXPECT_EQ(history::Repository(history::historyRoot(h.ctx))
                      .file(first.first().id, first.first().server, c.file),
                  h.written.isEmpty() ? h.onServer(c.file) : h.written);
        // The same event again finds the server as last recorded: nothing new.
        EXPECT_TRUE(c.act(h));
        EXPECT_EQ(h.revisions().size(), first.size());
    }
}

// A send records the call-flow changes against the server's last revision in the commit message.
TEST(HistoryTransfers, ASendSaysWhatChanged) {
    HistorySim h(k900);
    ASSERT_TRUE(h.fetch() && h.sendEdited());
    const QList<history::Revision> list = h.revisions();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.at(0).changes, 1) << list.at(0).message.toStdString();
    EXPECT_TRUE(list.at(0).message.contains(QStringLiteral("Accueil du soir")))
        << list.at(0).message.toStdString();
    EXPECT_EQ(list.at(1).what, QStringLiteral("fetch"));
}

// A history that cannot be written never stops the transfer: the file arrives and qavo-cli says why.
TEST(HistoryTransfers, AnUnwritableHistoryLetsTheFetchSucceedAndSaysWhy) {
    testing_support::CliServer sim;
    QTemporaryDir dir;
    testing_support::writeBytes(dir.filePath("file"), "not a folder");
    QDir().mkpath(dir.filePath("damaged"));
    testing_support::writeBytes(dir.filePath("damaged/HEAD"), "garbage");
    const struct {
        const char* name;
        QString history;
    } cases[] = {
        {"a file where its folder should be", dir.filePath("file/history")},
        {"a damaged repository", dir.filePath("damaged")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = dir.filePath("out.maa");
        QFile::remove(out);
        const cli_testing::CliRun r = cli_testing::runCli(QStringList{"fetch", out} + sim.switches(),
                                                          {"QAVO_HISTORY_DIR=" + c.history});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(readBytes(out), readBytes(sim.root() + "/arbre.maa"));
        EXPECT_TRUE(r.err.startsWith("qavo-cli: L'historique n'a pas été enregistré : "))
            << r.err.toStdString();
    }
}

// git itself, on the repository: its output, or "exit N: ..." when it fails.
QString git(const QString& root, const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("git"), QStringList{QStringLiteral("-C"), root} + args);
    if (!p.waitForFinished(60000)) return QStringLiteral("timeout");
    const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
    return p.exitCode() == 0 ? out : QStringLiteral("exit %1: %2").arg(p.exitCode()).arg(out);
}

QByteArray treeText(const QByteArray& label) {
    return "[A1]\r\nlib=" + label + "\r\n";
}

// Records one event; the new revision's id.
QString event(const QString& root, const QString& server, const QByteArray& label) {
    QString revision;
    const QString error = history::recordAt(root, server, QStringLiteral("send"),
                                            {{"arbre.maa", treeText(label)}}, {QStringLiteral("a change")},
                                            QStringLiteral("ann"), QStringLiteral("u@") + server, &revision);
    EXPECT_EQ(error, QString());
    return revision;
}

TEST(HistoryNames, ServerFolderOfTheContext) {
    const char* const cases[][3] = {
        // HADDR, HPORT, folder
        {"127.0.0.1", "8080", "127.0.0.1_8080"},
        {"Voice.Example.org", "", "voice.example.org_80"},
        {"https://voice.example.org/", "", "https_voice.example.org_443"},
        {"http://10.0.0.5", "81", "10.0.0.5_81"},
        {"[::1]", "9000", "1_9000"},
        {"https://[fe80::1]", "8443", "https_fe801_8443"},
        {"2001:db8::7", "80", "2001db87_80"},
    };
    for (const auto& [haddr, hport, folder] : cases) {
        AppContext ctx;
        ctx.HADDR = haddr;
        ctx.HPORT = hport;
        EXPECT_EQ(history::serverFolderOf(ctx), folder) << haddr;
    }
}

TEST(HistoryNames, RevisionsAreNamedByAbbreviatedIdOrEventsBack) {
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("history"));
    const QString a0 = event(root, "a_80", "one"), b0 = event(root, "b_80", "one"),
                  a1 = event(root, "a_80", "two");
    const history::Repository repo(root);
    const struct {
        QString name;
        QString id;
    } cases[] = {
        {a1.left(7), a1},   {b0.left(12).toUpper(), b0},
        {a0, a0},           {"a_80@{0}", a1},
        {"a_80@{1}", a0},   {"b_80@{0}", b0},
        {"a_80@{2}", ""},   {"c_80@{0}", ""},
        {"0000000", ""},    {a1.left(3), ""}, // too short to name anything
        {"not-a-name", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(repo.resolve(c.name), c.id) << c.name.toStdString();
    EXPECT_EQ(repo.servers(), (QStringList{"a_80", "b_80"}));
    EXPECT_EQ(repo.file("a_80@{1}", "a_80", "arbre.maa"), treeText("one"));
    EXPECT_EQ(std::tuple(repo.revisions("a_80").size(), repo.revisions("").size()), std::tuple(2, 3));
}

// Two programs recording at once both succeed, in some order, and git finds nothing wrong.
TEST(HistoryWriters, TwoProcessesOfAHundredEventsMakeTwoHundredCommits) {
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("history"));
    QProcess first, second;
    first.start(QStringLiteral(QAVO_HISTORY_WORKER), {root, QStringLiteral("a_80"), QStringLiteral("100")});
    second.start(QStringLiteral(QAVO_HISTORY_WORKER), {root, QStringLiteral("b_80"), QStringLiteral("100")});
    for (QProcess* p : {&first, &second}) {
        ASSERT_TRUE(p->waitForFinished(240000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    EXPECT_EQ(git(root, {"rev-list", "--count", "main"}), QStringLiteral("200"));
    EXPECT_EQ(git(root, {"fsck", "--strict"}), QString());
    EXPECT_EQ(history::Repository(root).revisions("a_80").size(), 100);
}

TEST(HistoryPrune, KeepsTheNewestRevisionsOfOneServerAndTheOthersWhole) {
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("history"));
    QStringList a, b;
    for (int i = 0; i < 5; ++i) {
        a << event(root, "a_80", "a" + QByteArray::number(i));
        b << event(root, "b_80", "b" + QByteArray::number(i));
    }
    const QString droppedBlob = git(root, {"rev-parse", a.first() + ":a_80/arbre.maa"});
    QString error;
    EXPECT_EQ(history::prune(root, "a_80", 2, &error), 3) << error.toStdString();
    const history::Repository repo(root);
    // Each revision's file, newest first.
    const auto files = [&repo](const QString& server) {
        QList<QByteArray> out;
        for (const history::Revision& r : repo.revisions(server))
            out << repo.file(r.id, server, "arbre.maa").value_or("-");
        return out;
    };
    EXPECT_EQ(files("a_80"), QList<QByteArray>({treeText("a4"), treeText("a3")}));
    EXPECT_EQ(files("b_80"), QList<QByteArray>({treeText("b4"), treeText("b3"), treeText("b2"),
                                                treeText("b1"), treeText("b0")}));
    EXPECT_EQ(git(root, {"fsck", "--strict"}), QString());
    EXPECT_TRUE(git(root, {"cat-file", "-e", droppedBlob}).startsWith("exit"))
        << "the dropped file left the disk";
    EXPECT_EQ(history::prune(root, "a_80", 2, &error), 0);
}

} // namespace
