#include "cli/cli_run.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using cli_testing::CliRun;
using cli_testing::runCli;
using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

QString data(const QString& name) {
    return testing_support::dataDir() + '/' + name;
}
QString example(const QString& name) {
    return testing_support::resourcesDir() + "/examples/" + name;
}
const QStringList kLabels = {"--translation", data("labels_en.txt")};

TEST(CliNodes, PrintsDepthKeyTextImageAndColourAndGreysTreesTheServerDoesNotRun) {
    const CliRun r = runCli(QStringList{"nodes", example("accueil.maa")} + kLabels);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The nodes themselves are the loader's (TreeFile tests); here: the line format, in UTF-8.
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("0\tA1\t1 - Accueil général\tArbre\t0\n"
                                                "1\tM1\t1 - Menu principal\tMenu\t0\n")));
    const CliRun online =
        runCli(QStringList{"nodes", example("demo.maa"), "--info", data("server_info_900.txt")} + kLabels);
    ASSERT_EQ(online.exitCode, 0) << online.err.toStdString();
    EXPECT_TRUE(online.out.contains("\n0\tA2\t2 - Ligne directe\tArbre\t0\n"));
    EXPECT_TRUE(online.out.endsWith("\n0\tA5\t5 - Tree 5\tArbre\t8421504\n"));
}

TEST(CliNormalize, WritesTheExampleBackByteForByte) {
    QTemporaryDir dir;
    ASSERT_EQ(runCli({"normalize", example("demo.maa"), dir.filePath("out.maa")}).exitCode, 0);
    EXPECT_EQ(readBytes(dir.filePath("out.maa")), readBytes(example("demo.maa")));
}

TEST(CliErrors, BadUsageOrUnreadableFilesExitWithTwoAndOneLine) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("absent.maa"), tree = example("accueil.maa");
    const QString bytes = dir.filePath("bytes.maa"), large = dir.filePath("large.maa");
    writeBytes(bytes, QByteArray("\x01\x8f\xffno section here\r\n", 20).repeated(15));
    {
        QFile f(large);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(64 * 1024 * 1024 + 1)); // sparse, cheap
    }
    const std::pair<QStringList, QString> cases[] = {
        {{}, "usage: qavo-cli"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"nodes", missing}, "cannot read " + missing},
        {{"nodes", tree, "--colour"}, "unknown option --colour"},
        {{"nodes", tree, "--info", missing}, "cannot read server information file"},
        {{"normalize", tree}, "usage: qavo-cli normalize"},
        {{"normalize", bytes, dir.filePath("out.maa")},
         "not a tree file (no section of one found): " + bytes},
        {{"normalize", large, dir.filePath("out.maa")}, "file too large (over 64 MiB): " + large},
        {{"normalize", tree, dir.filePath("no/such/dir/x.maa")},
         "cannot write " + dir.filePath("no/such/dir/x.maa") + ": "},
        {{"normalize", tree, "/dev/full"}, "cannot write /dev/full: No space left on device"},
        {{"nodes", tree, "--translation", tree}, "not a translation file: " + tree},
    };
    for (const auto& [args, message] : cases) {
        const bool bare = args.isEmpty() || args[0] == "frobnicate" || args.contains("--translation");
        const CliRun r = runCli(bare ? args : args + kLabels);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("qavo-cli: " + message)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("out.maa")));
}

TEST(CliOptions, AnUnknownLanguageIsToldAndFallsBackToLanguage00) {
    const CliRun r = runCli({"nodes", example("accueil.maa"), "--lang", "-7.6"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith("qavo-cli: no translation file for language -7.6 (")) << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith("qavo_lg-08.txt); using language 00\n")) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\t0 - Aucune action\t")) << r.out.toStdString(); // French captions
}

QStringList checkArgs(const QString& tree) {
    return {
        "check", tree, "--info", data("server_info_check.txt"), "--translation", data("labels_check.txt")};
}

TEST(CheckCommand, ExitCodeTellsErrorsWarningsOnlyBadUseStopAndRefusal) {
    const struct {
        const char *from, *to;
        QStringList options;
        int exitCode;
        QString outEnd;
    } cases[] = {
        // The server's list lacks announcement 15 (key 3 of M1); the closing announcement of the tree has
        // neither repetitions nor silences.
        {"",
         "",
         {},
         1,
         "info\t\t" + QString(80, '-') +
             "\ninfo\t\tChecking the trees\n"
             "error\tA1\tReception - Announcement - no repetitions\n"
             "error\tA1\tReception - Announcement - no silences\n"
             "warning\tE-M1-3\tMain menu - Announcement - unknown announcement : 15\n"
             "ok\t\tCheck finished : 2 error(s) - 1 warning(s)\n"
             "fields\tA1\t08;08;\t\nfields\tM1\t\t09;1;\n"},
        {"exit_fer=ann;12;;",
         "exit_fer=ann;12;2;2",
         {},
         0,
         "ok\t\tCheck finished : 0 error(s) - 1 warning(s)\nfields\tM1\t\t09;1;\n"},
        // What was found before the stop keeps its codes.
        {"3=ann;15;2;2",
         "3=ann;15;2",
         {},
         3,
         "\nerror\t\tCheck stopped\nfields\tA1\t08;08;\t\nfields\tM1\t\t09;1;\n"},
        // The editor refuses to open such a file with the same words (with the server's own version, the
        // voice boxes of demo.maa are accepted: see CliNodes).
        {"\r\n4=\r\n", "\r\n4=bvo;801\r\n", {"--force-version", "400.1"}, 2, ""},
        // Saved as UTF-8 by another editor: read whole, and said first.
        {"[general]",
         "\xEF\xBB\xBF[general]",
         {},
         1,
         "2 error(s) - 1 warning(s)\nfields\tA1\t08;08;\t\nfields\tM1\t\t09;1;\n"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        QByteArray bytes = readBytes(data("check_example.maa"));
        ASSERT_TRUE(bytes.contains(c.from)) << c.from;
        writeBytes(dir.filePath("v.maa"), *c.from ? bytes.replace(c.from, c.to) : bytes);
        const CliRun r = runCli(checkArgs(dir.filePath("v.maa")) + c.options);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.to;
        EXPECT_TRUE(c.exitCode == 2 ? r.out.isEmpty() : r.out.endsWith(c.outEnd)) << r.out.toStdString();
        EXPECT_TRUE(*c.from || r.out == c.outEnd) << "the whole output";
        EXPECT_EQ(QByteArray(c.to).startsWith("\xEF"), r.out.startsWith("warning\t\tRead as UTF-8\n"));
        if (c.options.contains("400.1")) {
            EXPECT_EQ(r.err, "qavo-cli: ERROR - VERSION\n");
        }
    }
}

} // namespace
