#include "support/test_support.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testing_support::dataDir;
using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

struct CliResult {
    int exitCode = -1;
    QString out;
};

CliResult runCli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(QAVO_CLI), args);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

QString data(const char* name) {
    return dataDir() + QLatin1Char('/') + QLatin1String(name);
}

QStringList checkArgs(const QString& tree) {
    return {
        "check", tree, "--info", data("server_info_check.txt"), "--translation", data("labels_check.txt")};
}

// The example tree with one text replaced, written to a temporary folder.
QString variant(const QTemporaryDir& dir, const char* name, const QByteArray& from, const QByteArray& to) {
    QByteArray bytes = readBytes(data("check_example.maa"));
    EXPECT_TRUE(bytes.contains(from)) << from.constData();
    bytes.replace(from, to);
    const QString path = dir.filePath(QLatin1String(name));
    writeBytes(path, bytes);
    return path;
}

} // namespace

TEST(CheckCommand, ExampleTreeListsItsFaultsAndFieldCodes) {
    // The server's list lacks announcement 15 (key 3 of M1); the closing announcement of the tree has
    // neither repetitions nor silences.
    const CliResult r = runCli(checkArgs(data("check_example.maa")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral("info\t\t%1\n"
                                    "info\t\tChecking the trees\n"
                                    "error\tA1\tReception - Announcement - no repetitions\n"
                                    "error\tA1\tReception - Announcement - no silences\n"
                                    "warning\tE-M1-3\tMain menu - Announcement - unknown announcement : 15\n"
                                    "ok\t\tCheck finished : 2 error(s) - 1 warning(s)\n"
                                    "fields\tA1\t08;08;\t\n"
                                    "fields\tM1\t\t09;1;\n")
                         .arg(QString(80, QLatin1Char('-'))));
}

TEST(CheckCommand, TreeWithWarningsOnlyExitsWithZero) {
    QTemporaryDir dir;
    const QString tree = variant(dir, "warnings.maa", "exit_fer=ann;12;;", "exit_fer=ann;12;2;2");
    const CliResult r = runCli(checkArgs(tree));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.endsWith("ok\t\tCheck finished : 0 error(s) - 1 warning(s)\nfields\tM1\t\t09;1;\n"))
        << r.out.toStdString();
}

TEST(CheckCommand, ShortActionValueStopsTheCheck) {
    QTemporaryDir dir;
    const QString tree = variant(dir, "short.maa", "3=ann;15;2;2", "3=ann;15;2");
    const CliResult r = runCli(checkArgs(tree));
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.out.contains("error\t\tCheck stopped\n")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("Check finished"));
    // What was found before the stop keeps its codes, including the unknown announcement read before the
    // missing silence count.
    EXPECT_TRUE(r.out.endsWith("error\t\tCheck stopped\nfields\tA1\t08;08;\t\nfields\tM1\t\t09;1;\n"))
        << r.out.toStdString();
}

TEST(CheckCommand, ForcedVersionRefusesVoiceBoxesOnOldServers) {
    QTemporaryDir dir;
    const QString tree = variant(dir, "voicebox.maa", "\r\n4=\r\n", "\r\n4=bvo;801\r\n");
    EXPECT_EQ(runCli(checkArgs(tree)).exitCode, 1); // the announcement faults; the server has voice boxes

    const CliResult old = runCli(checkArgs(tree) << "--force-version"
                                                 << "400.1");
    EXPECT_EQ(old.exitCode, 1);
    EXPECT_EQ(old.out, "error\t\tERROR - VERSION\n");
}

TEST(CheckCommand, BadUsageAndUnreadableFilesExitWithTwo) {
    const QStringList cases[] = {
        {"check"},
        {"check", data("check_example.maa"), "--bogus"},
        {"check", data("check_example.maa"), "--info"},
        {"check", data("check_example.maa"), data("check_example.maa")},
        checkArgs(data("no_such_tree.maa")),
        {"check", data("check_example.maa"), "--info", data("no_such_info.txt"), "--translation",
         data("labels_check.txt")},
        {"check", data("check_example.maa"), "--translation", data("no_such_labels.txt")},
    };
    for (const QStringList& args : cases) {
        const CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
    }
}
