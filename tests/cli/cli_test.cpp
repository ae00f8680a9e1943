#include "core/version.h"
#include "support/cli_server.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <unistd.h>

using namespace cli_testing;
using namespace testing_support;

namespace {

QString example(const QString& name) {
    return resource("examples/" + name);
}
const QStringList kLabels = {"--translation", dataFile("labels_en.txt")};
QString scenarioFile(const QTemporaryDir& dir, const QByteArray& lines) {
    writeBytes(dir.filePath("s.csv"), "name;tree;moment;keys;expected\n" + lines);
    return dir.filePath("s.csv");
}

// What the three programs say of themselves: --help, --version, a command's help. The nodes' lines in UTF-8
// (the nodes themselves are the loader's: TreeFile tests), greyed where the server does not run the tree.
// Bad usage, an unknown option or an unreadable file: exit 2; an unreachable server: 4; either said in one
// line. Run without a display: asking the editor for its help or version must not need one.
TEST(CliRuns, WhatEachRunSays) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("absent.maa"), tree = example("accueil.maa");
    const QString bytes = dir.filePath("bytes.maa"), large = dir.filePath("large.maa");
    writeBytes(bytes, QByteArray("\x01\x8f\xffno section here\r\n", 20).repeated(15));
    writeBytes(large, "");
    ASSERT_TRUE(QFile::resize(large, 64 * 1024 * 1024 + 1)); // sparse, cheap
    const QString out = dir.filePath("out.maa"), noDir = dir.filePath("no/such/dir/x.maa");
    const QStringList fetch{"fetch", out, "/HPORT:1", "/USER:u", "/PASS:" + kCliPassword};
    const QStringList demo{"nodes", example("demo.maa"), "--info", dataFile("server_info_900.txt")};
    const QString editor = QAVO_EDITOR, sim = QAVO_SIM, usage = "usage: qavo-cli nodes|normalize|check|";
    const QString noLanguage = "qavo-cli: no translation file for language -7.6 (" +
                               QFileInfo(QAVO_CLI).absolutePath() + "/qavo_lg-08.txt); using language 00\n";
    const QString call = "Usage: qavo-cli call FILE [--tree N]", e = "qavo-cli: ", french = "impossible de ";
    expectRuns(
        {
            {{"--version"}, 0, "qavo-cli " QAVO_VERSION},
            {{"-v"}, 0, "qavo-cli " QAVO_VERSION},
            {{"--help"}, 0, "'qavo-cli help COMMAND'"},
            {{"help"}, 0, "  lines-import   CSV becomes"},
            {{"help", "call"}, 0, call},
            {{"call", "--help"}, 0, call},
            {{"send", "x.maa", "-h"}, 0, "  --scenarios FILE"},
            {{"fetch", "--help"}, 0, "QAVO_PASS"},
            {{"--frobnicate"}, 2, "", e + "unknown option --frobnicate\n" + usage},
            {{"help", "frobnicate"}, 2, "", e + "unknown command frobnicate\n" + usage},
            {{"--version"}, 0, "qavo " QAVO_VERSION, "", editor},
            {{"--help"}, 0, "/FORCEVERSION:text", "", editor},
            {{"/HADDR:x", "--frobnicate"}, 2, "", "qavo: unknown option '--frobnicate'\nUsage: qavo", editor},
            {{"--version"}, 0, "qavo-sim " QAVO_VERSION, "", sim},
            {{"--help"}, 0, "--init-from <DIR>", "", sim},
            {{"--x"}, 2, "", "qavo-sim: Unknown option 'x'.\nqavo-sim: usage: qavo-sim", sim},
            {QStringList{"nodes", tree} + kLabels, 0,
             "0\tA1\t1 - Accueil général\tArbre\t0\n1\tM1\t1 - Menu"},
            {demo + kLabels, 0, "\n0\tA2\t2 - Ligne directe\tArbre\t0\n"},
            {demo + kLabels, 0, "\n0\tA5\t5 - Tree 5\tArbre\t8421504\n"},
            {{"nodes", tree, "--lang", "-7.6"}, 0, "\t0 - Aucune action\t", noLanguage}, // language 00 used
            {{}, 2, "", e + usage + "call|diff|plan|"},                                  // the whole list
            {{"frobnicate"}, 2, "", e + "unknown command frobnicate; usage: qavo-cli nodes|"},
            {{"nodes", missing}, 2, "", e + "cannot read " + missing},
            {{"nodes", tree, "--colour"}, 2, "", e + "unknown option --colour"},
            {{"nodes", tree, "--info", missing}, 2, "", e + "cannot read server information file"},
            {{"normalize", tree}, 2, "", e + "usage: qavo-cli normalize"},
            {{"normalize", bytes, out}, 2, "", e + "not a tree file (no section of one found): " + bytes},
            {{"normalize", large, out}, 2, "", e + "file too large (over 64 MiB): " + large},
            {{"normalize", tree, noDir}, 2, "", e + "cannot write " + noDir + ": "},
            {{"normalize", tree, "/dev/full"}, 2, "", e + "cannot write /dev/full: No space left on device"},
            {{"nodes", tree, "--translation", tree}, 2, "", e + "not a translation file: " + tree},
            {{"fetch", "/HADDR:127.0.0.1", "/HPORT:1"}, 2, "", e + "usage: qavo-cli fetch OUT"},
            {{"fetch", missing, "/HPORT:1"}, 2, "", e + "the server's address is missing (/HADDR:)"},
            {{"lines-import", missing, "/HADDR:127.0.0.1"}, 2, "", e + "cannot read " + missing},
            // An unreachable server: the sentence and the reason it wraps in one language, French unless
            // asked; a password, even written in the address, never shows.
            {fetch + QStringList{"/HADDR:127.0.0.1"}, 4, "",
             e + french + "récupérer arbre.maa : le serveur est injoignable ("},
            {fetch + QStringList{"/HADDR:127.0.0.1", "--lang", "1"}, 4, "",
             e + "cannot fetch arbre.maa: the server cannot be"},
            {fetch + QStringList{"/HADDR:http://u:" + kCliPassword + "@127.0.0.1"}, 4, "",
             e + french + "récupérer arbre.maa : "},
            {{"fetch", missing, "--remote=../etc", "/HADDR:127.0.0.1"}, 2, "", e + "--remote takes a bare"},
        },
        {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"});
    EXPECT_FALSE(QFile::exists(out));
}

// Every command of the usage line has its help, with its usage line first.
TEST(CliRuns, EveryCommandHasItsHelp) {
    const CliRun usage = runCli({});
    const QStringList names = usage.err.section("usage: qavo-cli ", 1).section(' ', 0, 0).split('|');
    ASSERT_GE(names.size(), 10) << qPrintable(usage.err);
    for (const QString& name : names) {
        const CliRun r = runCli({"help", name});
        EXPECT_EQ(r.exitCode, 0) << qPrintable(name);
        EXPECT_TRUE(r.out.startsWith("Usage: qavo-cli " + name + ' ')) << qPrintable(r.out);
    }
}

// A listing far longer than what qavo-cli writes at once: every line once, whole in UTF-8.
TEST(CliNodes, ALargeTreeIsPrintedWholeAndInOrder) {
    // 1 + 10 + 100 menus named with characters of two and three bytes in UTF-8 (é, €), each announcement
    // and every key of the last level (transfers) unknown to the server: one warning each.
    QByteArray tree = "[general]\r\n[A1]\r\nlib=T\r\nmenu=M1\r\n";
    for (int m = 1; m <= 111; ++m) {
        tree += "[M" + QByteArray::number(m) + "]\r\nlib=\xe9t\xe9 \x80 " + QByteArray::number(m) +
                " \"\\\"\r\nann=1\r\nrep=2\r\nsil=2\r\n";
        for (int d = 0; d <= 9; ++d)
            tree += QByteArray::number(d) +
                    (m <= 11 ? "=men;M" + QByteArray::number(m * 10 + d - 8)
                             : "=trf;" + QByteArray::number(200 + m)) +
                    "\r\n";
    }
    QTemporaryDir dir;
    writeBytes(dir.filePath("large.maa"), tree);
    const QStringList nodes =
        runCli(QStringList{"nodes", dir.filePath("large.maa")} + kLabels).out.split('\n');
    EXPECT_EQ(nodes.size(), 5 + 111 + 1000 + 1) << "five trees, the menus, their last keys, and the end";
    EXPECT_EQ(nodes.filter(QRegularExpression("^\\d\tM(\\d+)\t\\d - été € \\1 \"\\\\\"\tMenu\t0$")).size(),
              111);
    const CliRun check = runCli(QStringList{"check", dir.filePath("large.maa")} + kLabels);
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.out.count("\nwarning\tE-M"), 1000) << "the transfers";
    EXPECT_EQ(check.out.count("\nwarning\tM"), 111) << "the announcements";
    const QString last = check.out.section("\nwarning\tE-M111-9\t", 1).section('\n', 0, 0);
    EXPECT_TRUE(last.startsWith("été € 111 \"\\\" - Transfer - ")) << qPrintable(last);
    EXPECT_TRUE(check.out.endsWith("\nfields\tM111\t\t03;06;07;08;09;10;11;12;13;14;15;\n"));
    // The same findings as one JSON document, written exactly as Qt writes it.
    const CliRun json = runCli(QStringList{"check", dir.filePath("large.maa"), "--json"} + kLabels);
    const QJsonDocument doc = QJsonDocument::fromJson(json.out.toUtf8());
    EXPECT_EQ(json.out.toUtf8(), doc.toJson());
    EXPECT_EQ(doc["findings"].toArray().size(), 1111);
    EXPECT_EQ(doc["findings"].toArray().last()["text"].toString(), last);
}

TEST(CheckCommand, ExitCodeTellsErrorsWarningsOnlyBadUseStopAndRefusal) {
    QTemporaryDir dir;
    // The check of check_example.maa with one edit.
    const auto check = [&](const char* name, const char* from, const char* to) {
        writeBytes(dir.filePath(name), readBytes(dataFile("check_example.maa")).replace(from, to));
        return QStringList{"check",         dir.filePath(name),
                           "--info",        dataFile("server_info_check.txt"),
                           "--translation", dataFile("labels_check.txt")};
    };
    // The server's list lacks announcement 15 (key 3 of M1); the closing announcement of the tree has
    // neither repetitions nor silences.
    const QString codes = "fields\tA1\t08;08;\t\nfields\tM1\t\t09;1;\n",
                  whole =
                      "info\t\t" + QString(80, '-') +
                      "\ninfo\t\tChecking the trees\nerror\tA1\tReception - Announcement - no repetitions\n"
                      "error\tA1\tReception - Announcement - no silences\n"
                      "warning\tE-M1-3\tMain menu - Announcement - unknown announcement : 15\n"
                      "ok\t\tCheck finished : 2 error(s) - 1 warning(s)\n" +
                      codes;
    expectRuns({
        {check("a.maa", "[general]", "[general]"), 1, whole},
        {check("b.maa", "exit_fer=ann;12;;", "exit_fer=ann;12;2;2"), 0,
         "ok\t\tCheck finished : 0 error(s) - 1 warning(s)\nfields\tM1\t\t09;1;\n"},
        // What was found before the stop keeps its codes.
        {check("c.maa", "3=ann;15;2;2", "3=ann;15;2"), 3, "\nerror\t\tCheck stopped\n" + codes},
        // The editor refuses to open such a file with the same words (with the server's own version, the
        // voice boxes of demo.maa are accepted: see CliRuns).
        {check("d.maa", "\r\n4=\r\n", "\r\n4=bvo;801\r\n") + QStringList{"--force-version", "400.1"}, 2, "",
         "qavo-cli: ERROR - VERSION\n"},
        // Saved as UTF-8 by another editor: read whole, and said first.
        {check("e.maa", "[general]", "\xEF\xBB\xBF[general]"), 1, "warning\t\tRead as UTF-8\n" + whole},
    });
}

// A tree command loads Qt Core alone (the tree commands share one program); what draws or talks to a server
// is loaded by its command only. The dynamic loader's trace names every library mapped, in qavo-cli and in
// the program it runs.
TEST(CliPrograms, OnlyTheCommandsThatNeedThemLoadQtGuiLibcurlOrLibgit2) {
    QTemporaryDir dir;
    const QString tree = example("demo.maa");
    const struct {
        QStringList args;
        int exitCode;
        QString heavy; // the libraries below mapped
    } cases[] = {
        {{"nodes", tree}, 0, ""},
        {{"check", tree}, 1, ""},
        {{"normalize", tree, dir.filePath("n.maa")}, 0, ""},
        {{"plan", tree, dir.filePath("p.svg")}, 0, "Qt6Gui Qt6Svg"},
        {{"fetch", dir.filePath("f.maa"), "/HADDR:127.0.0.1", "/HPORT:1"}, 4, "curl git2"},
        {{"history"}, 0, "git2"},
    };
    for (const auto& c : cases) {
        const CliRun r = runCli(c.args + kLabels, {"LD_DEBUG=files"});
        EXPECT_EQ(r.exitCode, c.exitCode) << qPrintable(c.args[0]);
        ASSERT_TRUE(r.err.contains("file=libQt6Core.so")) << "no trace to read";
        QStringList heavy;
        for (const char* name : {"Qt6Gui", "Qt6Network", "Qt6Svg", "curl", "git2"})
            if (r.err.contains(QStringLiteral("file=lib%1.so").arg(name))) heavy << name;
        EXPECT_EQ(heavy.join(' '), c.heavy) << qPrintable(c.args[0]);
    }
    EXPECT_EQ(readBytes(dir.filePath("n.maa")), readBytes(tree)) << "normalize writes the example back whole";
}

// In an installation, the programs qavo-cli runs may live in ../lib/qavo, without translation files:
// they read those beside qavo-cli. A missing one is said in one line.
TEST(CliPrograms, AProgramIsFoundInLibQavoOrSaidMissing) {
    const QString built = QFileInfo(QAVO_CLI).absolutePath();
    QTemporaryDir root(built + "/install-XXXXXX"); // beside the build: the copy stays executable
    const QString bin = root.filePath("bin"), lib = root.filePath("lib/qavo"), out = root.filePath("p.mmd");
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(lib) && QFile::copy(QAVO_CLI, bin + "/qavo-cli") &&
                QFile::copy(resource("qavo_lg00.txt"), bin + "/qavo_lg00.txt"));
    const QStringList plan{"plan", example("demo.maa"), out};
    expectRuns({{plan, 4, "",
                 "qavo-cli: impossible de lancer qavo-cli-plan : il n'est ni dans " + bin + " ni dans " +
                     lib + " (installation incomplète)\n",
                 bin + "/qavo-cli"}});
    ASSERT_TRUE(QFile::copy(built + "/qavo-cli-plan", lib + "/qavo-cli-plan"));
    expectRuns({{plan, 0, "", "", bin + "/qavo-cli"}});
    EXPECT_TRUE(readBytes(out).startsWith("flowchart")) << readBytes(out).left(40).toStdString();
}

// Exit status and stderr's one line, which never shows the password.
void expectExit(const CliRun& r, int exitCode) {
    EXPECT_EQ(r.exitCode, exitCode) << r.err.toStdString();
    EXPECT_TRUE(exitCode == 0 || (r.err.startsWith("qavo-cli: ") && r.err.endsWith('\n')))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(kCliPassword));
}
// The environment that makes a run trust the test certificate, or none.
QStringList trusted(bool trust) {
    return trust ? QStringList{"QAVO_CA_FILE=" + testCertificate()} : QStringList{};
}

// Over HTTPS, the server's certificate is trusted through QAVO_CA_FILE only.
TEST(CliFetch, ReplacesOutOnlyWithAWholeFile) {
    const struct {
        const char* name;
        QStringList faults, args;
        QString remote;
        int exitCode;
        bool https = false, trusted = false;
    } cases[] = {
        {"tree", {}, {}, "arbre.maa", 0},
        {"missing file", {}, {"--remote=absent.maa"}, "", 4},
        {"refused login", {"login"}, {}, "", 4},
        {"login portal's page", {}, {"--remote=portal.maa"}, "", 4},
        {"any other file, as it comes", {}, {"--remote=page.html"}, "page.html", 0},
        {"untrusted certificate", {}, {}, "", 4, true},
        {"trusted certificate", {}, {}, "arbre.maa", 0, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.https && testCertificate().isEmpty()) continue; // openssl made no certificate
        CliServer server(c.faults, c.https);
        writeBytes(server.file("page.html"), "<html></html>");
        writeBytes(server.file("portal.maa"), "<html><body>Please log in</body></html>");
        const QString out = server.scratchFile("out.maa");
        writeBytes(out, "kept");
        expectExit(runCli(QStringList{"fetch", out} + c.args + server.switches(), trusted(c.trusted)),
                   c.exitCode);
        EXPECT_EQ(readBytes(out), c.remote.isEmpty() ? QByteArray("kept") : readBytes(server.file(c.remote)));
        EXPECT_EQ(QDir(server.scratch()).entryList(QDir::Files), QStringList{"out.maa"});
    }
}

// A send checks the tree (its findings print as the check command prints them), backs the server's tree up,
// stores, and reads it back.
TEST(CliSend, SendsOnlyAVerifiedTreeAndReadsItBack) {
    const QByteArray noVersion = readBytes(dataFile("server_info_check.txt")).replace("version=900.2", "");
    const struct {
        const char* name;
        QByteArray tree;
        QStringList faults;
        int exitCode;
        QByteArray effects; // c: checked, s: stored, b: backed up
        QByteArray info = {};
        bool https = false;
        QByteArray scenario = {}; // must pass before anything is stored
        QStringList options = {};
    } cases[] = {
        {"passing tree", passingTree(), {}, 0, "csb"},
        {"tree with errors", readBytes(dataFile("check_example.maa")), {}, 1, "c"},
        {"stopped check", passingTree().replace("3=ann;15;2;2", "3=ann;15;2"), {}, 3, "c"},
        {"no version", passingTree(), {}, 4, "", noVersion},
        // A backup that cannot be fetched stops the send: only a server without a tree has none.
        {"backup cut", passingTree(), {"truncate@arbre.maa,once"}, 4, "c"},
        // The tree is stored, but every later fetch of it comes back short.
        {"tree read back cut", passingTree(), {"slow:1@arbre.maa,once", "truncate@arbre.maa"}, 4, "csb"},
        {"over HTTPS, trusted", passingTree(), {}, 0, "csb", {}, true},
        {"scenario passes", passingTree(), {}, 0, "csb", {}, false, "Desk;1;mon 10:00;1;transfer 201\n"},
        {"scenario fails", passingTree(), {}, 6, "c", {}, false, "Desk;1;mon 10:00;1;transfer 202\n"},
        {"scenario fails, check",
         passingTree(),
         {},
         6,
         "c",
         {},
         false,
         "Desk;1;mon 10:00;1;transfer 202\n",
         {"--check"}},
    };
    const QByteArray original = readBytes(SimProcess::defaultServer() + "/arbre.maa");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.https && testCertificate().isEmpty()) continue; // openssl made no certificate
        CliServer server(c.faults, c.https, c.info);
        const QString file = server.scratchFile("sent.maa"), backup = server.scratchFile("backup.maa");
        writeBytes(file, c.tree);
        QTemporaryDir dir;
        // The scenarios' captions are those of the shipped translation.
        const QStringList words = c.scenario.isEmpty()
                                      ? QStringList{"--translation", dataFile("labels_check.txt")}
                                      : kEnglish + QStringList{"--scenarios", scenarioFile(dir, c.scenario)};
        const CliRun r =
            runCli(QStringList{"send", file, "--backup", backup} + words + server.switches() + c.options,
                   trusted(c.https));
        expectExit(r, c.exitCode);
        EXPECT_EQ(r.err.contains("scenarios failed, nothing sent") &&
                      r.out.contains("FAIL  Desk: expected transfer 202, got transfer 201\n"),
                  c.exitCode == 6);
        EXPECT_EQ(QByteArray(r.out.contains("Checking the trees") ? "c" : "") +
                      (readBytes(server.file("arbre.maa")) == c.tree ? "s" : "") +
                      (QFileInfo::exists(backup) ? "b" : ""),
                  c.effects);
        EXPECT_EQ(readBytes(server.file("arbre.maa")), c.effects.contains('s') ? c.tree : original);
        EXPECT_TRUE(c.exitCode != 0 || readBytes(backup) == original);
    }
}

// The shipped example passes on the demo tree; a failing scenario shows its steps; a file that cannot be
// read says where. --json gives the same verdict.
TEST(ScenariosCli, ExitStatusSaysWhetherEveryScenarioPassed) {
    QTemporaryDir dir;
    const QString demo = example("demo.maa");
    const struct {
        QString scenarios;
        int exitCode, count;
        QString said; // on stdout when the file was read, else on stderr
    } cases[] = {
        {example("demo-scenarios.csv"), 0, 11, "\n11 of 11 scenarios passed\n"},
        {"Sales;1;mon 10:00;1,1,1;transfer 211\nDesk;1;mon 10:00;1,4;transfer 201\n", 1, 2,
         "FAIL  Sales: expected transfer 211, got transfer 210\n    Call to tree 1 'Standard général'\n"},
        {"Desk;1;mon 10:00;1,4;transfer 201\n\nx;1;mon;1;operator\n", 2, 0,
         "s.csv: line 4: moment 'mon' is neither yyyy-MM-dd HH:mm nor a weekday and a time"},
        {dir.filePath("none.csv"), 2, 0, "none.csv: cannot be read ("},
    };
    for (const auto& c : cases) {
        const QString file =
            c.scenarios.contains(';') ? scenarioFile(dir, c.scenarios.toUtf8()) : c.scenarios;
        const CliRun run = runCli(QStringList{"test", demo, file} + kEnglish),
                     json = runCli(QStringList{"test", demo, file, "--json"} + kEnglish);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE((c.exitCode == 2 ? run.err : run.out).contains(c.said))
            << run.out.toStdString() << run.err.toStdString();
        const QJsonObject doc = QJsonDocument::fromJson(json.out.toUtf8()).object();
        EXPECT_EQ(QList<int>({json.exitCode, doc["rc"].toInt(-1), int(doc["scenarios"].toArray().size())}),
                  QList<int>({c.exitCode, c.exitCode, c.count}));
    }
}

// The line table through a spreadsheet: exported, edited, checked (what the import would change, nothing
// stored), imported; the line of another application stays as it was whatever the file says of it. A
// file that is not a line table, or a failed exchange, stores nothing.
TEST(CliLines, ExportCheckImportKeepsOtherApplicationsLines) {
    const QByteArray table = "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n"
                             ";0140000101;;451;;452;;0;;1;Ventes\r\n;0140000102;;300;;;;;;0;Messagerie\r\n"
                             ";0140000103;5;452;;;;1;3;2;Support\r\n";
    using Edit = QByteArray (*)(QByteArray);
    const Edit same = [](QByteArray b) { return b; };
    const Edit renamed = [](QByteArray b) { return b.replace("Ventes", "Sales").replace("Messagerie", "X"); };
    const Edit added = [](QByteArray b) { return b.replace("0140000102", "0140000199"); };
    const Edit commas = [](QByteArray) { return QByteArray("a,b,c\r\n1,2,3\r\n"); };
    const QString others = "Lines of other applications, kept as they are: ";
    // Only the auto-attendant's line takes the file's name.
    const QByteArray sales = QByteArray(table).replace("Ventes", "Sales");
    const struct {
        const char* name;
        QStringList faults;
        Edit edit;
        int checkExit;
        QString says; // on stdout for a check, else on stderr
        QByteArray stored;
    } cases[] = {
        {"renamed", {}, renamed, 5, "Lines changed: 1 (0140000101)\n" + others + "1\n", sales},
        {"unchanged", {}, same, 0, "The file holds the same lines as the table.\n" + others + "1\n", table},
        {"added", {}, added, 5, "Lines added: 1 (0140000199)\n" + others + "2\n", {}},
        {"comma separated", {}, commas, 2, "(line 2: 1 field, 11 expected)", table},
        {"refused login", {"login"}, renamed, 4, "", table},
        {"store refused", {"login@rcm.cfg"}, renamed, 4, "", table},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CliServer server(c.faults);
        writeBytes(server.file("planning.cfg"), QByteArray(1536, '\0')); // no schedules, one application
        writeBytes(server.file("rcm.txt"), "P1=201;Accueil;1;1\r\n");
        writeBytes(server.file("rcm.cfg"), table);
        const QString csv = server.scratchFile("lines.csv");
        const QStringList english = QStringList{"--lang", "01"} + server.switches();
        expectExit(runCli(QStringList{"lines-export", csv} + english), c.checkExit == 4 ? 4 : 0);
        if (c.checkExit == 0)
            expectExit(runCli(QStringList{"lines-export", server.scratchFile("none/x.csv")} + english), 2);
        const QList<QByteArray> rows = readBytes(csv).split('\n');
        if (c.checkExit != 4) {
            ASSERT_EQ(rows.size(), 5) << "a header, three lines and the last line end";
            EXPECT_EQ(rows[3], ";0140000103;5;2;4;452;;0;;Support;2\r");
        }
        writeBytes(csv,
                   c.edit(c.checkExit == 4 ? "header\r\n;0140000199;;451;;0;;0;;0;x\r\n" : rows.join('\n')));
        const CliRun r = runCli(QStringList{"lines-import", csv, "--check"} + english);
        EXPECT_EQ(r.exitCode, c.checkExit) << r.err.toStdString();
        EXPECT_TRUE((c.checkExit == 0 || c.checkExit == 5 ? r.out : r.err).contains(c.says))
            << r.out.toStdString() << r.err.toStdString();
        EXPECT_EQ(readBytes(server.file("rcm.cfg")), table) << "stored by a check";
        expectExit(runCli(QStringList{"lines-import", csv} + english), c.checkExit % 5);
        EXPECT_TRUE(c.stored.isEmpty() || readBytes(server.file("rcm.cfg")) == c.stored);
    }
}

// Every file the programs write, refused by the disk part way (a file-size limit on the writing process:
// EFBIG, as a full disk's ENOSPC): the old file stays whole, nothing is left beside it, the cause is said.
TEST(RefusedWrite, KeepsTheOldFileAndSaysWhy) {
    const QByteArray old = QByteArray("the previous content, longer than the limit\r\n").repeated(40);
    const QString demo = example("demo.maa");
    CliServer server;
    const struct {
        const char *command, *name;
        bool remote = false;
    } cases[] = {{"normalize", "out.maa"},       {"normalize", "linked.maa"},
                 {"plan", "plan.svg"},           {"plan", "plan.pdf"},
                 {"plan", "plan.png"},           {"plan", "plan.mmd"},
                 {"fetch", "fetched.maa", true}, {"lines-export", "lines.csv", true}};
    for (const auto& [command, name, remote] : cases) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString out = dir.filePath(name), link = dir.filePath("other-name");
        const bool linked = QByteArray(name).startsWith("linked");
        writeBytes(out, old);
        ASSERT_TRUE(!linked || ::link(QFile::encodeName(out), QFile::encodeName(link)) == 0);
        const QStringList args =
            remote ? QStringList{command, out} + server.switches() : QStringList{command, demo, out};
        const CliRun r = runCli(args, {}, 600);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.err.contains("File too large")) << r.err.toStdString();
        EXPECT_EQ(readBytes(out), old);
        EXPECT_TRUE(!linked || readBytes(link) == old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), linked ? 2 : 1);
    }
}

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
