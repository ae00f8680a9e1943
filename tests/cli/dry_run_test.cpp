#include "support/cli_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using cli_testing::runCli;
using namespace testing_support;

namespace {

const QStringList kEnv{"QAVO_PASS=" + kCliPassword};

// send and lines-import against a server that holds what a first (forced) run stored, the password from
// the environment: the server's file is stored only when its bytes change (--force: always), never by
// --check; the change lines are the diff's, none for a schedule no menu uses while the bytes differ.
TEST(DryRun, OnlyWhatChangesTheServersFileIsStored) {
    using Edit = std::pair<QByteArray, QByteArray>;
    const Edit none, key{"1=trf;201", "1=trf;202"}, day{"[H5]\r\nlun=", "[H5]\r\nlun=08:00-12:00"};
    const Edit errors{"exit_fer=ann;12;2;2", "exit_fer=ann;12;;"}, label{"Ventes 1", "Ventes 9"};
    const QString station = "DebugPoste_Abs DebugAnn4_Abs ",
                  stop = "DebugRepetNA DebugSilenceNA DebugAnn4_Abs ";
    const struct {
        const char* name;
        bool lines;
        Edit edit;
        QStringList options;
        int exitCode, stores, changed;
        QString change = {}, codes = "DebugAnn4_Abs "; // a change's path and "after"; the findings' codes
    } cases[] = {
        {"check, same tree", false, none, {"--check"}, 0, 0, false},
        {"same tree", false, none, {}, 0, 0, false},
        {"forced", false, none, {"--force"}, 0, 1, false},
        {"check, key", false, key, {"--check"}, 5, 0, true, "^M1/1 .*202 $", station},
        {"key", false, key, {}, 0, 1, true, "^M1/1 .*202 $", station},
        {"check, unused schedule", false, day, {"--check"}, 5, 0, true},
        {"check, errors", false, errors, {"--check"}, 1, 0, false, {}, stop},
        {"a switch wins", false, key, {"/PASS:wrong"}, 4, 0, false, {}, ""},
        {"check, same lines", true, none, {"--check"}, 0, 0, false, {}, ""},
        {"same lines", true, none, {}, 0, 0, false, {}, ""},
        {"check, a label", true, label, {"--check"}, 5, 0, true, "0140000101 ;0140000101;.*;Ventes 9;", ""},
        {"a label", true, label, {}, 0, 1, true, "0140000101 ;0140000101;.*;Ventes 9;", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CliServer server;
        const QString name = c.lines ? "rcm.cfg" : "arbre.maa", file = server.scratchFile("file");
        const QStringList address = server.switches().mid(0, 3), // the password comes from the environment
            run = QStringList{c.lines ? "lines-import" : "send", file, "--lang", "01"} + address;
        if (c.lines)
            ASSERT_EQ(runCli(QStringList{"lines-export", file} + address, kEnv).exitCode, 0);
        else
            writeBytes(file, passingTree());
        ASSERT_EQ(runCli(run + QStringList{"--force"}, kEnv).exitCode, 0);
        writeBytes(file, readBytes(file).replace(c.edit.first, c.edit.second));
        const cli_testing::CliRun r = runCli(run + c.options + QStringList{"--json"}, kEnv);
        // stdout as a script reads it: one JSON object, its values true to what happened.
        QJsonParseError error{};
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        EXPECT_EQ(QJsonArray({o["rc"], o["changed"], o["failed"], o["revision"].isString(),
                              o["msg"].toString().isEmpty()}),
                  QJsonArray({c.exitCode, c.changed != 0, c.exitCode == 1 || c.exitCode == 4,
                              c.stores && c.changed, false})) // a revision is recorded for a new file only
            << r.err.toStdString();
        EXPECT_EQ(server.stores(name), 1 + c.stores);
        QString changes, codes;
        for (const QJsonValue& v : o["changes"].toArray())
            changes += v["path"].toString() + ' ' + v["after"].toString() + ' ';
        for (const QJsonValue& v : o["findings"].toArray())
            codes += v["code"].toString() + ' ';
        EXPECT_TRUE(c.change.isEmpty() ? changes.isEmpty() : changes.contains(QRegularExpression(c.change)))
            << changes.toStdString();
        EXPECT_EQ(codes, c.codes);
    }
}

// The password from the environment reaches the server and never shows in the process list.
TEST(DryRun, ThePasswordStaysOutOfTheProcessList) {
    CliServer server;
    ASSERT_TRUE(server.fault("slow:700@arbre.maa"));
    QProcess fetch;
    fetch.setEnvironment(QProcess::systemEnvironment() << kEnv);
    fetch.start(QAVO_CLI, QStringList{"fetch", server.scratchFile("out.maa")} + server.switches().mid(0, 3));
    ASSERT_FALSE(fetch.waitForFinished(400)); // the server program took qavo-cli's place, and waits
    const QByteArray arguments = readBytes(QStringLiteral("/proc/%1/cmdline").arg(fetch.processId()));
    EXPECT_TRUE(arguments.contains("fetch") && !arguments.contains(kCliPassword.toUtf8()))
        << arguments.data();
    EXPECT_TRUE(fetch.waitForFinished(30000) && fetch.exitCode() == 0);
}

} // namespace
