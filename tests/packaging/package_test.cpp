// The Debian package: what it holds, what the validators say of it, and its programs run from the root
// it was unpacked to (never installed on the machine).
#include "packaging/package_support.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using package_testing::hasTool;
using package_testing::Package;
using package_testing::Result;
using package_testing::run;

namespace {

class DebPackage : public ::testing::Test {
protected:
    void SetUp() override {
        if (!package().available()) GTEST_SKIP() << qPrintable(package().whyNot());
    }
    static const Package& package() { return Package::instance(); }
};

TEST_F(DebPackage, HoldsEachFileInItsPlace) {
    const struct {
        const char* path;
        const char* fileSays; // what file(1) says of it ("" not looked at)
    } cases[] = {
        {"/usr/bin/qavo", "ELF"},
        {"/usr/bin/qavo-cli", "ELF"},
        {"/usr/bin/qavo-sim", "ELF"},
        {"/usr/lib/qavo/qavo-cli-plan", "ELF"},
        {"/usr/lib/qavo/qavo-cli-server", "ELF"},
        {"/usr/lib/qavo/qavo-cli-history", "ELF"},
        {"/usr/share/qavo/qavo_lg00.txt", ""},
        {"/usr/share/qavo/qavo_lg01.txt", ""},
        {"/usr/share/qavo/QAVO_Hp00.html", ""},
        {"/usr/share/qavo/config.ini", ""},
        {"/usr/share/qavo/Logo.gif", "GIF"},
        {"/usr/share/qavo/examples/accueil.maa", ""},
        {"/usr/share/man/man1/qavo.1.gz", "gzip"},
        {"/usr/share/man/man1/qavo-cli.1.gz", "gzip"},
        {"/usr/share/man/man1/qavo-sim.1.gz", "gzip"},
        {"/usr/share/applications/org.qavo.qavo.desktop", ""},
        {"/usr/share/metainfo/org.qavo.qavo.metainfo.xml", ""},
        {"/usr/share/icons/hicolor/16x16/apps/qavo.png", "16 x 16"},
        {"/usr/share/icons/hicolor/48x48/apps/qavo.png", "48 x 48"},
        {"/usr/share/icons/hicolor/256x256/apps/qavo.png", "256 x 256"},
        {"/usr/share/icons/hicolor/scalable/apps/qavo.svg", "SVG"},
        {"/usr/share/bash-completion/completions/qavo-cli", ""},
        {"/usr/share/doc/qavo/copyright", ""},
        {"/usr/share/doc/qavo/changelog.Debian.gz", "gzip"},
    };
    for (const auto& c : cases) {
        const QString file = package().path(c.path);
        ASSERT_TRUE(QFile::exists(file)) << c.path;
        if (!*c.fileSays || !hasTool("file")) continue;
        const QString said = run("file", {"-b", file}).out;
        EXPECT_TRUE(said.contains(c.fileSays)) << c.path << ": " << qPrintable(said);
        if (said.startsWith("ELF")) {
            EXPECT_TRUE(said.contains(", stripped")) << c.path << ": " << qPrintable(said);
        }
    }
    // Dependencies computed from the programs' libraries.
    const QString depends = run("dpkg-deb", {"-f", package().deb(), "Depends"}).out;
    for (const char* library : {"libqt6widgets6", "libqt6core6", "libcurl4", "libc6"})
        EXPECT_TRUE(depends.contains(library)) << library << " in " << qPrintable(depends);
}

// lintian without errors, the desktop entry and the AppStream data clean.
TEST_F(DebPackage, ValidatorsFindNothingWrong) {
    const struct {
        const char* tool;
        QStringList args;
    } cases[] = {
        {"lintian", {"--fail-on", "error", "--suppress-tags", "no-manual-page", package().deb()}},
        {"desktop-file-validate", {package().path("/usr/share/applications/org.qavo.qavo.desktop")}},
        {"appstreamcli",
         {"validate", "--no-net", "--pedantic",
          package().path("/usr/share/metainfo/org.qavo.qavo.metainfo.xml")}},
    };
    QStringList missing;
    for (const auto& c : cases) {
        if (!hasTool(c.tool)) {
            missing << c.tool;
            continue;
        }
        const Result r = run(c.tool, c.args, {}, 300000);
        EXPECT_EQ(r.exitCode, 0) << c.tool << ":\n" << qPrintable(r.out + r.err);
        // lintian's errors fail it; its warnings and notes are shown, not failed on.
        if (QByteArray(c.tool) != "lintian") {
            EXPECT_EQ(r.err, "") << c.tool;
        }
        if (QByteArray(c.tool) == "desktop-file-validate") {
            EXPECT_EQ(r.out, "") << c.tool;
        }
        if (!r.out.trimmed().isEmpty()) std::printf("%s:\n%s\n", c.tool, qPrintable(r.out));
    }
    if (!missing.isEmpty()) GTEST_SKIP() << "not installed: " << qPrintable(missing.join(", "));
}

// From the unpacked root, with its files found in ../share/qavo and its programs in ../lib/qavo.
TEST_F(DebPackage, ItsCommandLineToolsRunFromTheUnpackedRoot) {
    QTemporaryDir out;
    const QString cli = package().path("/usr/bin/qavo-cli"),
                  examples = package().path("/usr/share/qavo/examples");
    const struct {
        QStringList args;
        int exitCode;
        const char* says; // on stdout
    } cases[] = {
        {{"--version"}, 0, "qavo-cli 3."},
        {{"nodes", examples + "/accueil.maa"}, 0, "\tA1\t"},
        {{"check", examples + "/demo.maa"}, 1, "Vérification terminée"}, // French, from share/qavo
        {{"plan", examples + "/demo.maa", out.filePath("plan.svg")}, 0, ""},
    };
    for (const auto& c : cases) {
        const Result r = run(cli, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << qPrintable(c.args.join(' ') + ": " + r.err);
        EXPECT_TRUE(r.out.contains(c.says)) << qPrintable(c.args.join(' ') + ":\n" + r.out);
    }
    EXPECT_TRUE(QFile::exists(out.filePath("plan.svg"))) << "qavo-cli-plan runs from ../lib/qavo";
}

// The editor opens an example: its session records the tree it holds (owner.ini), which it can do only
// once its translations were read and the tree loaded.
TEST_F(DebPackage, TheEditorOpensAnExampleFromTheUnpackedRoot) {
    QTemporaryDir home;
    const QString example = package().path("/usr/share/qavo/examples/accueil.maa");
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("APPDATA", home.path());
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    editor.setProcessEnvironment(env);
    editor.start(package().path("/usr/bin/qavo"), {example});
    ASSERT_TRUE(editor.waitForStarted());
    QString owner;
    QElapsedTimer clock;
    clock.start();
    while (owner.isEmpty() && clock.elapsed() < 60000 && editor.state() == QProcess::Running) {
        QDirIterator it(home.filePath("A.A/TMP"), {"owner.ini"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains("accueil.maa")) owner = f.fileName();
        }
        QThread::msleep(100);
    }
    const bool stillRunning = editor.state() == QProcess::Running;
    editor.kill();
    editor.waitForFinished();
    EXPECT_TRUE(stillRunning) << "the editor ended: " << editor.readAllStandardError().toStdString();
    EXPECT_FALSE(owner.isEmpty()) << "no session holds accueil.maa";
}

} // namespace
