#include "support/cli_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using cli_testing::runCli;
using namespace testing_support;

namespace {

// A generation-500 server's line records through the CSV file, as a script would run it: exported,
// checked, changed, stored, and read back. Only a table whose records change is written (request 102).
TEST(CliLines500, ExportCheckImportRoundTrip) {
    SimProcess server({"--control"}, QStringLiteral(QAVO_RESOURCES "/server-example-500"));
    const QString csv = server.scratch() + "/lines.csv", bad = server.scratch() + "/bad.csv";
    const QStringList online{
        "--lang", "01", "/HADDR:127.0.0.1", "/HPORT:" + QString::number(server.port()), "/USER:u", "/PASS:p"};
    writeBytes(bad, "a,b,c\r\n1,2,3\r\n");
    const auto writes = [&] { return server.log().count("#102 "); };
    ASSERT_EQ(runCli(QStringList{"lines-export", csv} + online).exitCode, 0);
    const QByteArray exported = readBytes(csv),
                     edited = QByteArray(exported).replace("\r\n0140000010;", "\r\n4999;");
    ASSERT_TRUE(exported.startsWith("First number;Last number;Application\r\n0140000000;0140000009;451\r\n"));
    ASSERT_NE(edited, exported);
    const struct {
        QStringList args;
        QByteArray file;
        int exitCode, writes;
        QString says; // on stdout, or stderr when it failed; nothing is said of a store
    } steps[] = {
        {{"lines-import", csv, "--check"}, exported, 0, 0, "unchanged: the server already holds this"},
        {{"lines-import", csv}, exported, 0, 0, "unchanged: the server already holds this"},
        {{"lines-import", csv, "--check"}, edited, 5, 0, "Lines changed: 1 (4999 / 0140000010 / 452)"},
        {{"lines-import", bad}, edited, 2, 0, "(line 2: 1 field, 3 expected)"},
        {{"lines-import", csv}, edited, 0, 3, ""},
        {{"lines-import", csv}, edited, 0, 3, "unchanged"},
        {{"lines-import", csv, "--force"}, edited, 0, 6, ""},
    };
    for (const auto& s : steps) {
        writeBytes(csv, s.file);
        const cli_testing::CliRun r = runCli(s.args + online);
        EXPECT_EQ(r.exitCode, s.exitCode) << s.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_EQ(writes(), s.writes) << s.args.join(' ').toStdString();
        EXPECT_TRUE((r.exitCode == 2 ? r.err : r.out).contains(s.says))
            << r.out.toStdString() << r.err.toStdString();
    }
    // The check's JSON names the line with the file's text before and after.
    writeBytes(csv, exported);
    const QJsonObject o =
        QJsonDocument::fromJson(
            runCli(QStringList{"lines-import", csv, "--check", "--json"} + online).out.toUtf8())
            .object();
    EXPECT_EQ(o["changes"].toArray().first().toObject(),
              (QJsonObject{{"path", "0140000010 / 0140000010 / 452"},
                           {"before", "4999;0140000010;452"},
                           {"after", "0140000010;0140000010;452"}}));
    // What was stored is what the server now holds.
    ASSERT_EQ(runCli(QStringList{"lines-export", csv} + online).exitCode, 0);
    EXPECT_EQ(readBytes(csv), edited);
}

} // namespace
