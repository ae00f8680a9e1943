// The Debian package and the man pages as an administrator meets them: what the package holds, what the
// validators say of it, its programs run from the root it was unpacked to (never installed on the
// machine), and the pages as man renders them.
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Result {
    int exitCode = -1; // -1: did not start or finish in time
    QString out, err;
};

// Runs program with args; env ("NAME=value") is added to the test's environment.
Result run(const QString& program, const QStringList& args, const QStringList& env = {},
           int timeoutMs = 120000) {
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& e : env)
        environment.insert(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(environment);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

bool hasTool(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// The package built by package.build, extracted once with dpkg -x into a throwaway root beside the build
// (where its programs may run).
class DebPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const QStringList debs = QDir(QAVO_BUILD_DIR).entryList({"qavo_*.deb"}, QDir::Files);
        if (debs.size() != 1) return;
        dir = std::make_unique<QTemporaryDir>(QAVO_BUILD_DIR "/package-root-XXXXXX");
        deb = QAVO_BUILD_DIR "/" + debs.first();
        extracted = run("dpkg", {"-x", deb, dir->filePath("root")});
    }
    static void TearDownTestSuite() { dir.reset(); }
    void SetUp() override {
        if (!dir) GTEST_SKIP() << "no package in the build folder (package.build was skipped or failed)";
        ASSERT_EQ(extracted.exitCode, 0) << "dpkg -x: " << qPrintable(extracted.err);
    }
    // A path inside the extracted root ("/usr/bin/qavo" -> "<root>/usr/bin/qavo").
    static QString path(const QString& inside) { return dir->filePath("root") + inside; }

    static inline std::unique_ptr<QTemporaryDir> dir;
    static inline QString deb;
    static inline Result extracted;
};

TEST_F(DebPackage, HoldsEachFileInItsPlace) {
    const struct {
        const char* fileSays; // what file(1) says of each ("" not looked at)
        QStringList paths;
    } cases[] = {
        {"ELF",
         {"/usr/bin/qavo", "/usr/bin/qavo-cli", "/usr/bin/qavo-sim", "/usr/lib/qavo/qavo-cli-plan",
          "/usr/lib/qavo/qavo-cli-server", "/usr/lib/qavo/qavo-cli-history"}},
        {"",
         {"/usr/share/qavo/qavo_lg00.txt", "/usr/share/qavo/qavo_lg01.txt", "/usr/share/qavo/QAVO_Hp00.html",
          "/usr/share/qavo/config.ini", "/usr/share/qavo/examples/accueil.maa",
          "/usr/share/applications/org.qavo.qavo.desktop", "/usr/share/metainfo/org.qavo.qavo.metainfo.xml",
          "/usr/share/bash-completion/completions/qavo-cli", "/usr/share/doc/qavo/copyright"}},
        {"gzip",
         {"/usr/share/man/man1/qavo.1.gz", "/usr/share/man/man1/qavo-cli.1.gz",
          "/usr/share/man/man1/qavo-sim.1.gz", "/usr/share/doc/qavo/changelog.Debian.gz"}},
        {"GIF", {"/usr/share/qavo/Logo.gif"}},
        {"SVG", {"/usr/share/icons/hicolor/scalable/apps/qavo.svg"}},
        {"16 x 16", {"/usr/share/icons/hicolor/16x16/apps/qavo.png"}},
        {"48 x 48", {"/usr/share/icons/hicolor/48x48/apps/qavo.png"}},
        {"256 x 256", {"/usr/share/icons/hicolor/256x256/apps/qavo.png"}},
    };
    for (const auto& c : cases)
        for (const QString& inside : c.paths) {
            ASSERT_TRUE(QFile::exists(path(inside))) << qPrintable(inside);
            if (!*c.fileSays || !hasTool("file")) continue;
            const QString said = run("file", {"-b", path(inside)}).out;
            EXPECT_TRUE(said.contains(c.fileSays)) << qPrintable(inside + ": " + said);
            EXPECT_TRUE(!said.startsWith("ELF") || said.contains(", stripped")) << qPrintable(inside);
        }
    // Dependencies computed from the programs' libraries.
    const QString depends = run("dpkg-deb", {"-f", deb, "Depends"}).out;
    for (const char* library : {"libqt6widgets6", "libqt6core6", "libcurl4", "libc6"})
        EXPECT_TRUE(depends.contains(library)) << library << " in " << qPrintable(depends);
}

// lintian without errors (its warnings and notes are shown, not failed on), the desktop entry without a
// word, the AppStream data without an error.
TEST_F(DebPackage, ValidatorsFindNothingWrong) {
    const struct {
        const char* tool;
        QStringList args;
        bool quietOut, quietErr;
    } cases[] = {
        {"lintian", {"--fail-on", "error", "--suppress-tags", "no-manual-page", deb}, false, false},
        {"desktop-file-validate", {path("/usr/share/applications/org.qavo.qavo.desktop")}, true, true},
        {"appstreamcli",
         {"validate", "--no-net", "--pedantic", path("/usr/share/metainfo/org.qavo.qavo.metainfo.xml")},
         false,
         true},
    };
    QStringList missing;
    for (const auto& c : cases) {
        if (!hasTool(c.tool)) {
            missing << c.tool;
            continue;
        }
        const Result r = run(c.tool, c.args, {}, 300000);
        EXPECT_EQ(r.exitCode, 0) << c.tool << ":\n" << qPrintable(r.out + r.err);
        EXPECT_EQ((c.quietOut ? r.out : "") + (c.quietErr ? r.err : ""), "") << c.tool;
        if (!r.out.trimmed().isEmpty()) std::printf("%s:\n%s\n", c.tool, qPrintable(r.out));
    }
    if (!missing.isEmpty()) GTEST_SKIP() << "not installed: " << qPrintable(missing.join(", "));
}

// From the unpacked root, with its files found in ../share/qavo and its programs in ../lib/qavo.
TEST_F(DebPackage, ItsCommandLineToolsRunFromTheUnpackedRoot) {
    QTemporaryDir out;
    const QString examples = path("/usr/share/qavo/examples");
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
        const Result r = run(path("/usr/bin/qavo-cli"), c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << qPrintable(c.args.join(' ') + ": " + r.err);
        EXPECT_TRUE(r.out.contains(c.says)) << qPrintable(c.args.join(' ') + ":\n" + r.out);
    }
    EXPECT_TRUE(QFile::exists(out.filePath("plan.svg"))) << "qavo-cli-plan runs from ../lib/qavo";
}

// The editor opens an example: its session records the tree it holds (owner.ini), which it can do only
// once its translations were read and the tree loaded.
TEST_F(DebPackage, TheEditorOpensAnExampleFromTheUnpackedRoot) {
    QTemporaryDir home;
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"APPDATA", "HOME"})
        env.insert(name, home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    editor.setProcessEnvironment(env);
    editor.start(path("/usr/bin/qavo"), {path("/usr/share/qavo/examples/accueil.maa")});
    QString owner;
    QElapsedTimer clock;
    clock.start();
    while (owner.isEmpty() && clock.elapsed() < 60000 && editor.waitForStarted()) {
        QDirIterator it(home.filePath("A.A/TMP"), {"owner.ini"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (QFile f(it.next()); f.open(QIODevice::ReadOnly) && f.readAll().contains("accueil.maa"))
                owner = f.fileName();
        QThread::msleep(100);
    }
    const bool stillRunning = editor.state() == QProcess::Running;
    editor.kill();
    editor.waitForFinished();
    EXPECT_TRUE(stillRunning) << "the editor ended: " << editor.readAllStandardError().toStdString();
    EXPECT_FALSE(owner.isEmpty()) << "no session holds accueil.maa";
}

// What the README names, outside its "Build from source", "Windows" and "Many sites" (Ansible's own
// options): qavo-cli's commands (its command lines), double-dash options, /KEY: switches, QAVO_ variables,
// and the files of "Where it keeps its files".
QSet<QString> namedInReadme() {
    QFile file(QStringLiteral(QAVO_SOURCE_DIR "/README.md"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QString readme = QString::fromUtf8(file.readAll());
    readme.remove(
        QRegularExpression(QStringLiteral("\n## (Build from source|Windows|Many sites).*?(?=\n## )"),
                           QRegularExpression::DotMatchesEverythingOption));
    QSet<QString> names;
    const auto collect = [&names](const QString& text, const char* pattern) {
        const QRegularExpression re(QString::fromLatin1(pattern), QRegularExpression::MultilineOption);
        for (auto it = re.globalMatch(text); it.hasNext();)
            names << it.next().captured(1);
    };
    collect(readme, R"(^ {4}(?:\S+/)?qavo-cli ([a-z][a-z-]+))");
    collect(readme, R"((?<![\w-])(--[a-z][a-z0-9-]+))");
    collect(readme, R"((/[A-Z]+:))");
    collect(readme, R"(\b(QAVO_[A-Z_]+|APPDATA)\b)");
    collect(readme.section("## Where it keeps its files", 1).section("\n## ", 0, 0),
            R"(`(?:[^`]*/)?(\w+\.[a-z]{3,4})`)");
    return names;
}

// The man pages render without a warning, and name every command, option, switch, variable and file the
// README names.
TEST(ManPages, RenderWithoutWarningsAndNameEverythingTheReadmeNames) {
    if (!hasTool("man")) GTEST_SKIP() << "man is not installed (package man-db)";
    const QDir dir(QStringLiteral(QAVO_MAN_DIR));
    QString all;
    for (const QString page : {"qavo.1", "qavo-cli.1", "qavo-sim.1"}) {
        if (!dir.exists(page)) GTEST_SKIP() << "man pages not built (scdoc is not installed)";
        const Result warned =
            run("man", {"-l", "--warnings", dir.filePath(page)}, {"MANWIDTH=80", "LC_ALL=C.UTF-8", "LANG=C"});
        EXPECT_EQ(warned.err, "") << qPrintable(page);
        // As a reader sees it, on lines long enough never to be hyphenated, in plain ASCII.
        const QString text =
            run("man", {"-l", dir.filePath(page)}, {"MANWIDTH=1000", "LC_ALL=C", "MAN_KEEP_FORMATTING="}).out;
        EXPECT_TRUE(text.contains("SYNOPSIS") && text.contains("EXIT STATUS")) << qPrintable(page);
        all += text;
    }
    const QSet<QString> names = namedInReadme();
    ASSERT_GT(names.size(), 30) << "the README was not read";
    QStringList missing;
    for (const QString& name : names)
        if (!all.contains(name)) missing << name;
    missing.sort();
    EXPECT_TRUE(missing.isEmpty()) << "not in the man pages: " << qPrintable(missing.join(' '));
}

} // namespace
