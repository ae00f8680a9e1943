#include "support/test_support.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testing_support::dataDir;
using testing_support::readBytes;
using testing_support::resourcesDir;
using testing_support::writeBytes;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(QStringList args, bool withTranslation = true) {
    if (withTranslation)
        args << QStringLiteral("--translation") << dataDir() + QStringLiteral("/labels_en.txt");
    QProcess p;
    p.start(QStringLiteral(QAVO_CLI), args);
    if (!p.waitForFinished(30000)) return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString example(const char* name) {
    return resourcesDir() + QStringLiteral("/examples/") + QLatin1String(name);
}

TEST(CliNodes, PrintsDepthKeyTextImageAndColourInDisplayOrder) {
    const CliRun r = runCli({"nodes", example("accueil.maa")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 26);
    EXPECT_EQ(lines[0], QStringLiteral("0\tA1\t1 - Accueil général\tArbre\t0"));
    EXPECT_EQ(lines[1], "1\tM1\t1 - Menu principal\tMenu\t0");
    EXPECT_EQ(lines[3], "2\tE-M1-1\t1 - Transfer (201)\tTransfert\t0");
    EXPECT_EQ(lines[4], "2\tM2\t2 - Service\tMenu\t0");
    EXPECT_EQ(lines[5], "3\tE-M2-0\t0 - Operator\tStandard\t0");
    EXPECT_EQ(lines[15], "2\tE-M1-3\t3 - Announcement (15)\tAnnonce\t0");
    EXPECT_EQ(lines[22], "0\tA2\t2 - Arbre 2\tArbre\t0");
}

TEST(CliNodes, ServerInformationGreysTreesAboveTheActiveCount) {
    const CliRun r = runCli({"nodes", example("demo.maa"), "--info", dataDir() + "/server_info_900.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\n0\tA2\t2 - Ligne directe\tArbre\t0\n"));
    EXPECT_TRUE(r.out.contains("\n0\tA3\t3 - Tree 3\tArbre\t8421504\n"));
    EXPECT_TRUE(r.out.endsWith("0\tA5\t5 - Tree 5\tArbre\t8421504\n"));
}

TEST(CliNodes, VoiceBoxesAreRefusedByServersBeforeGeneration500) {
    const CliRun refused =
        runCli({"nodes", example("demo.maa"), "--info", dataDir() + "/server_info_400.txt"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "qavo-cli: ERROR - VERSION\n");
    EXPECT_TRUE(refused.out.isEmpty());
    const CliRun accepted =
        runCli({"nodes", example("accueil.maa"), "--info", dataDir() + "/server_info_400.txt"});
    EXPECT_EQ(accepted.exitCode, 0) << accepted.err.toStdString();
}

TEST(CliNormalize, WritesTheExamplesBackByteForByteAndIsStable) {
    QTemporaryDir dir;
    for (const char* name : {"accueil.maa", "demo.maa"}) {
        const QString once = dir.filePath("once.maa"), twice = dir.filePath("twice.maa");
        ASSERT_EQ(runCli({"normalize", example(name), once}).exitCode, 0) << name;
        EXPECT_EQ(readBytes(once), readBytes(example(name))) << name;
        ASSERT_EQ(runCli({"normalize", once, twice}).exitCode, 0) << name;
        EXPECT_EQ(readBytes(twice), readBytes(once)) << name;
    }
}

TEST(CliNormalize, DropsBlanksAndUnreachableMenus) {
    QTemporaryDir dir;
    const QString in = dir.filePath("in.maa"), out = dir.filePath("out.maa");
    writeBytes(
        in,
        "[A1]\r\nlib =  Front desk  \r\nmenu=M1\r\n[M1]\r\nlib=Top\r\n1=men;M2\r\n[M9]\r\nlib=Orphan\r\n");
    ASSERT_EQ(runCli({"normalize", in, out}).exitCode, 0);
    const QByteArray bytes = readBytes(out);
    EXPECT_TRUE(bytes.contains("[A1]\r\nlib=Front desk\r\n"));
    EXPECT_TRUE(bytes.contains("sil=\r\n0=\r\n1=\r\n2=\r\n"));
    EXPECT_FALSE(bytes.contains("[M9]"));
}

TEST(CliErrors, BadUsageOrUnreadableFilesExitWithTwoAndOneLine) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("absent.maa");
    struct Case {
        QStringList args;
        QString message;
    } cases[] = {
        {{}, "usage: qavo-cli"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"nodes"}, "usage: qavo-cli nodes"},
        {{"nodes", missing}, "cannot read " + missing},
        {{"nodes", example("accueil.maa"), "--colour"}, "unknown option --colour"},
        {{"nodes", example("accueil.maa"), "--info", missing}, "cannot read server information file"},
        {{"normalize", example("accueil.maa")}, "usage: qavo-cli normalize"},
        {{"normalize", example("accueil.maa"), dir.filePath("no/such/dir/x.maa")}, "cannot write"},
    };
    for (const Case& c : cases) {
        const CliRun r = runCli(c.args, !c.args.isEmpty() && c.args.first() != "frobnicate");
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("qavo-cli: " + c.message)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

TEST(CliErrors, OptionNeedsAValue) {
    const CliRun r = runCli({"nodes", example("accueil.maa"), "--translation"}, false);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "qavo-cli: option --translation needs a value\n");
}

TEST(CliOptions, UnknownLanguageFallsBackToTheDefaultTranslationFile) {
    const CliRun plain = runCli({"nodes", example("accueil.maa")}, false);
    const CliRun lang = runCli({"nodes", example("accueil.maa"), "--lang", "97"}, false);
    EXPECT_EQ(lang.exitCode, plain.exitCode);
    EXPECT_EQ(lang.out, plain.out);
    EXPECT_EQ(lang.err, plain.err);
}

} // namespace

namespace {

// The translation files are looked up beside the program, so the program is copied into a folder of its own.
TEST(CliOptions, LanguageChoosesTheTranslationFileBesideTheProgram) {
    QTemporaryDir dir;
    const QString program = dir.filePath("qavo-cli");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QAVO_CLI), program));
    QFile::setPermissions(program, QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
    const auto labels = [](const char* tree) {
        return QByteArray("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nNoeudArbre=") + tree + "\r\n";
    };
    writeBytes(dir.filePath("qavo_lg00.txt"), labels("Arbre"));
    writeBytes(dir.filePath("qavo_lg03.txt"), labels("Baum"));
    const QString tree = dir.filePath("t.maa");
    writeBytes(tree, "[A1]\r\nlib=Une\r\n");

    struct Case {
        QStringList options;
        QString treeThree;
    } cases[] = {
        {{}, "3 - Arbre 3"},          {{"--lang", "3"}, "3 - Baum 3"},  {{"--lang", "03"}, "3 - Baum 3"},
        {{"--lang=3"}, "3 - Baum 3"}, {{"--lang", "5"}, "3 - Arbre 3"},
    };
    for (const Case& c : cases) {
        QProcess p;
        p.start(program,
                QStringList{"nodes", tree, "--info", dataDir() + "/server_info_900.txt"} + c.options);
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        EXPECT_TRUE(out.contains("\tA3\t" + c.treeThree + "\t")) << c.options.join(' ').toStdString() << "\n"
                                                                 << out.toStdString();
    }
}

} // namespace
