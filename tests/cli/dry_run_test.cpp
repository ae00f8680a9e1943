#include "cli/cli_run.h"
#include "cli/cli_server.h"
#include "support/qt_print.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <gtest/gtest.h>

using namespace cli_testing;
using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

using Edit = std::pair<QByteArray, QByteArray>;
const Edit kNoEdit{};

// stdout read as a script reads it: exactly one JSON object with the common keys, rc the exit status.
QJsonObject report(const CliRun& r, const char* name) {
    QJsonParseError error{};
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
    EXPECT_EQ(error.error, QJsonParseError::NoError) << name << ": " << r.out.toStdString();
    for (const char* key : {"changed", "failed"})
        EXPECT_TRUE(o[key].isBool()) << name << ": " << key;
    EXPECT_TRUE(o["changes"].isArray() && o["findings"].isArray()) << name;
    EXPECT_TRUE(o["revision"].isNull()) << name << ": nothing records history here";
    EXPECT_FALSE(o["msg"].toString().isEmpty()) << name;
    EXPECT_EQ(o["rc"].toInt(-1), r.exitCode) << name;
    return o;
}

QStringList values(const QJsonObject& o, const char* array, const char* key) {
    QStringList out;
    for (const QJsonValue& v : o[array].toArray())
        out << v[key].toString();
    return out;
}

QByteArray edited(QByteArray bytes, const Edit& edit) {
    EXPECT_TRUE(bytes.contains(edit.first)) << edit.first.toStdString();
    return edit.first.isEmpty() ? bytes : bytes.replace(edit.first, edit.second);
}

// A send against a server that holds what an earlier send stored (or no tree): the server's file changes
// only when its bytes would, --check never stores, --force always does; the change lines are the diff's
// (none for a schedule no menu uses, while the bytes differ).
TEST(DryRun, SendStoresOnlyWhatChangesTheServersFile) {
    const Edit passing{"exit_fer=ann;12;;", "exit_fer=ann;12;2;2"};
    const Edit key{"1=trf;201", "1=trf;202"}, schedule{"[H5]\r\nlun=", "[H5]\r\nlun=08:00-12:00"};
    const struct {
        const char* name;
        bool serverHasTree;
        Edit edit; // of the tree sent first
        QStringList options;
        int exitCode, stores;
        bool changed;
        QString codes;                 // of the findings
        QString path = {}, after = {}; // a change that must be listed (none at all when path is empty)
    } cases[] = {
        {"check, same tree", true, kNoEdit, {"--check"}, 0, 0, false, "DebugAnn4_Abs"},
        {"same tree again", true, kNoEdit, {}, 0, 0, false, "DebugAnn4_Abs"},
        {"forced", true, kNoEdit, {"--force"}, 0, 1, false, "DebugAnn4_Abs"},
        {"check, key changed",
         true,
         key,
         {"--check"},
         5,
         0,
         true,
         "DebugPoste_Abs DebugAnn4_Abs",
         "M1/1",
         "202"},
        {"key changed", true, key, {}, 0, 1, true, "DebugPoste_Abs DebugAnn4_Abs", "M1/1", "202"},
        {"check, unused schedule", true, schedule, {"--check"}, 5, 0, true, "DebugAnn4_Abs"},
        {"check, errors",
         true,
         {passing.second, passing.first},
         {"--check"},
         1,
         0,
         false,
         "DebugRepetNA DebugSilenceNA DebugAnn4_Abs"},
        {"check, no tree on the server",
         false,
         kNoEdit,
         {"--check"},
         5,
         0,
         true,
         "DebugAnn4_Abs",
         "A1",
         "Main menu"},
    };
    for (const auto& c : cases) {
        Server server;
        ASSERT_TRUE(server.started()) << c.name;
        const QString file = server.scratch("tree.maa");
        writeBytes(file, edited(readBytes(testData("check_example.maa")), passing));
        const QStringList send = QStringList{"send", file, "--lang", "01"} + server.switches();
        if (c.serverHasTree)
            ASSERT_EQ(runCli(send).exitCode, 0) << c.name;
        else
            ASSERT_TRUE(QFile::remove(server.file("arbre.maa")));
        const QByteArray held = readBytes(server.file("arbre.maa"));
        const qsizetype storesBefore = server.log().count("PUT /qavo/files/arbre.maa");
        writeBytes(file, edited(readBytes(file), c.edit));
        const CliRun r = runCli(send + c.options + QStringList{"--json"});
        const QJsonObject o = report(r, c.name);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name << ": " << r.err.toStdString();
        EXPECT_EQ(server.log().count("PUT /qavo/files/arbre.maa") - storesBefore, c.stores) << c.name;
        EXPECT_EQ(readBytes(server.file("arbre.maa")), c.stores ? readBytes(file) : held) << c.name;
        EXPECT_EQ(o["changed"].toBool(), c.changed) << c.name;
        EXPECT_EQ(o["failed"].toBool(), c.exitCode == 1) << c.name;
        const QStringList paths = values(o, "changes", "path");
        EXPECT_EQ(paths.isEmpty(), c.path.isEmpty()) << c.name << ": " << paths.join(' ').toStdString();
        EXPECT_TRUE(c.path.isEmpty() ||
                    values(o, "changes", "after").value(paths.indexOf(c.path)).contains(c.after))
            << c.name;
        EXPECT_EQ(values(o, "findings", "code").join(' '), c.codes) << c.name;
    }
}

// The line table the same way: the bytes the server would read decide, --check stores nothing.
TEST(DryRun, LinesImportStoresOnlyWhatChangesTheServersFile) {
    Server server;
    ASSERT_TRUE(server.started());
    server.serveLines(readBytes(testing_support::SimProcess::defaultServer() + "/rcm.cfg"));
    const QString csv = server.scratch("lines.csv");
    const QStringList english = QStringList{"--lang", "01"} + server.switches();
    ASSERT_EQ(runCli(QStringList{"lines-export", csv} + english).exitCode, 0);
    const QByteArray exported = readBytes(csv);
    const struct {
        const char* name;
        QStringList options;
        int exitCode, stores;
        bool changed, renamed;
    } steps[] = {
        {"forced", {"--force"}, 0, 1, false, false}, {"check, same lines", {"--check"}, 0, 0, false, false},
        {"same lines", {}, 0, 0, false, false},      {"check, renamed", {"--check"}, 5, 0, true, true},
        {"renamed", {}, 0, 1, true, true},           {"check after it", {"--check"}, 0, 0, false, true},
    };
    for (const auto& s : steps) {
        const qsizetype storesBefore = server.log().count("PUT /qavo/files/rcm.cfg");
        const QByteArray held = readBytes(server.file("rcm.cfg"));
        writeBytes(csv, s.renamed ? QByteArray(exported).replace("Ventes 1", "Ventes 9") : exported);
        const CliRun text = runCli(QStringList{"lines-import", csv} + s.options + english);
        EXPECT_EQ(text.exitCode, s.exitCode) << s.name << ": " << text.err.toStdString();
        EXPECT_EQ(text.out.endsWith("unchanged: the server already holds this line table, nothing stored\n"),
                  !s.changed && s.stores == 0)
            << s.name << ": " << text.out.toStdString();
        EXPECT_EQ(server.log().count("PUT /qavo/files/rcm.cfg") - storesBefore, s.stores) << s.name;
        EXPECT_TRUE(s.stores || readBytes(server.file("rcm.cfg")) == held) << s.name;
        if (!s.options.contains("--check")) continue;
        const QJsonObject o =
            report(runCli(QStringList{"lines-import", csv, "--json"} + s.options + english), s.name);
        EXPECT_EQ(o["changed"].toBool(), s.changed) << s.name;
        EXPECT_EQ(values(o, "changes", "after").join('|').contains("Ventes 9"), s.changed) << s.name;
    }
}

// Every command a script drives answers with the one document, failures included.
TEST(DryRun, EveryCommandAnswersWithOneJsonDocument) {
    Server server;
    ASSERT_TRUE(server.started());
    server.serveLines(readBytes(testing_support::SimProcess::defaultServer() + "/rcm.cfg"));
    const QString tree = testData("check_example.maa"), other = server.scratch("other.maa");
    const QString out = server.scratch("out.maa"), csv = server.scratch("out.csv");
    writeBytes(other, edited(readBytes(tree), {"1=trf;201", "1=trf;202"}));
    const QStringList info{"--info", testData("server_info_check.txt")}, to = server.switches();
    const struct {
        const char* name;
        QStringList args;
        int exitCode;
        bool changed, failed;
        const char *msg, *extra = ""; // the message's start, a key of the command's own
    } cases[] = {
        {"check", QStringList{"check", tree} + info, 1, false, true,
         "Check finished : 2 error(s) - 1 warning(s)"},
        {"diff", {"diff", tree, other}, 1, true, false, "1 change(s)"},
        {"diff, same", {"diff", tree, tree}, 0, false, false, "0 change(s)"},
        {"call", {"call", tree, "--keys", "1"}, 0, false, false, "Transfer to 201", "steps"},
        {"fetch", QStringList{"fetch", out} + to, 0, true, false, "arbre.maa fetched into"},
        {"fetch, same", QStringList{"fetch", out} + to, 0, false, false, "arbre.maa fetched into"},
        {"lines-export", QStringList{"lines-export", csv} + to, 0, true, false, "line table written to"},
        {"unreachable",
         {"fetch", out, "/HADDR:127.0.0.1", "/HPORT:1"},
         4,
         false,
         true,
         "cannot fetch arbre.maa"},
        {"bad usage", {"send", "/HADDR:127.0.0.1"}, 2, false, true, "usage: qavo-cli send FILE [--check]"},
    };
    for (const auto& c : cases) {
        const CliRun r = runCli(c.args + QStringList{"--json", "--lang", "01"});
        const QJsonObject o = report(r, c.name);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(o["changed"].toBool(), c.changed) << c.name;
        EXPECT_EQ(o["failed"].toBool(), c.failed) << c.name;
        EXPECT_TRUE(o["msg"].toString().startsWith(c.msg))
            << c.name << ": " << o["msg"].toString().toStdString();
        EXPECT_TRUE(!*c.extra || o[c.extra].isArray()) << c.name;
    }
}

// A password from the environment reaches the server (which refuses a wrong one), a switch wins over
// it, and the process list never shows it.
TEST(DryRun, PasswordsComeFromTheEnvironmentOutOfTheProcessList) {
    Server server({"slow:700@qavo_general.txt"});
    ASSERT_TRUE(server.started());
    const QString out = server.scratch("out.maa");
    const QStringList fetch = QStringList{"fetch", out} + server.address();
    const struct {
        const char* name;
        QStringList args, env;
        int exitCode;
    } cases[] = {
        {"from the environment", fetch, {"QAVO_PASS=" + kPassword}, 0},
        {"a switch wins", fetch + QStringList{"/PASS:wrong"}, {"QAVO_PASS=" + kPassword}, 4},
        {"none", fetch, {}, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(runCli(c.args, c.env).exitCode, c.exitCode) << c.name;

    QProcess send;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QAVO_PASS", kPassword);
    send.setProcessEnvironment(env);
    send.start(QAVO_CLI, QStringList{"send", testData("check_example.maa"), "--check"} + server.address());
    ASSERT_TRUE(send.waitForStarted());
    QThread::msleep(400); // the program that talks to the server runs in its place, waiting for the reply
    const QByteArray arguments = readBytes(QStringLiteral("/proc/%1/cmdline").arg(send.processId()));
    EXPECT_TRUE(arguments.contains("send")) << arguments.toStdString();
    EXPECT_FALSE(arguments.contains(kPassword.toUtf8()));
    ASSERT_TRUE(send.waitForFinished(30000));
    EXPECT_EQ(send.exitCode(), 1) << "checked: the server was reached";
}

} // namespace
