// The history as git and an administrator see it: folder names, revision names, two writers at once,
// pruning.
#include "history/history.h"

#include "core/app_context.h"
#include "support/test_support.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

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
    EXPECT_EQ(repo.revisions("a_80").size(), 2);
    EXPECT_EQ(repo.revisions("").size(), 3);
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
