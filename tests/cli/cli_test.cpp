#include "cli/cli_run.h"
#include "support/qt_print.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

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
const QString kPassword = QStringLiteral("s3cr3t-word");

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
    // An unknown language is told, and language 00 used.
    const CliRun french = runCli({"nodes", example("accueil.maa"), "--lang", "-7.6"});
    EXPECT_EQ(french.exitCode, 0);
    EXPECT_EQ(french.err, "qavo-cli: no translation file for language -7.6 (" +
                              QFileInfo(QAVO_CLI).absolutePath() + "/qavo_lg-08.txt); using language 00\n");
    EXPECT_TRUE(french.out.contains("\t0 - Aucune action\t")) << french.out.toStdString();
}

// A listing far longer than what qavo-cli writes at once: every line once, in order, whole in UTF-8.
TEST(CliNodes, ALargeTreeIsPrintedWholeAndInOrder) {
    // 1 + 10 + 100 menus named with characters of two and three bytes in UTF-8 (é, €), each announcement
    // and every key of the last level (transfers) unknown to the server: one warning each.
    QByteArray tree = "[general]\r\n[A1]\r\nlib=T\r\nmenu=M1\r\n";
    for (int m = 1; m <= 111; ++m) {
        tree += "[M" + QByteArray::number(m) + "]\r\nlib=\xe9t\xe9 \x80 " + QByteArray::number(m) +
                "\r\nann=1\r\nrep=2\r\nsil=2\r\n";
        for (int d = 0; d <= 9; ++d)
            tree += QByteArray::number(d) +
                    (m <= 11 ? "=men;M" + QByteArray::number(m * 10 + d - 8)
                             : "=trf;" + QByteArray::number(200 + m)) +
                    "\r\n";
    }
    QTemporaryDir dir;
    writeBytes(dir.filePath("large.maa"), tree);
    const CliRun nodes = runCli(QStringList{"nodes", dir.filePath("large.maa")} + kLabels);
    ASSERT_EQ(nodes.exitCode, 0) << nodes.err.toStdString();
    const QStringList lines = nodes.out.split('\n');
    ASSERT_EQ(lines.size(), 5 + 111 + 1000 + 1) << "five trees, the menus, their last keys, and the end";
    int menu = 0;
    for (const QString& line : lines) {
        if (!line.contains("\tMenu\t")) continue;
        const QStringList fields = line.split('\t');
        ASSERT_EQ(fields.size(), 5) << line.toStdString();
        EXPECT_TRUE(fields[2].endsWith(" - été € " + fields[1].mid(1))) << line.toStdString();
        ++menu;
    }
    EXPECT_EQ(menu, 111);
    const CliRun check = runCli(QStringList{"check", dir.filePath("large.maa")} + kLabels);
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.out.count("\nwarning\tE-M"), 1000) << "the transfers";
    EXPECT_EQ(check.out.count("\nwarning\tM"), 111) << "the announcements";
    EXPECT_TRUE(check.out.contains("\nwarning\tE-M111-9\tété € 111 - Transfer - "))
        << check.out.toStdString();
    EXPECT_TRUE(check.out.endsWith("\nfields\tM111\t\t03;06;07;08;09;10;11;12;13;14;15;\n"));
}

// Bad usage or an unreadable file: exit 2; an unreachable server: 4; either said in one line.
TEST(CliErrors, BadUsageUnreadableFilesOrAnUnreachableServerAreSaidInOneLine) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("absent.maa"), tree = example("accueil.maa");
    const QString bytes = dir.filePath("bytes.maa"), large = dir.filePath("large.maa");
    writeBytes(bytes, QByteArray("\x01\x8f\xffno section here\r\n", 20).repeated(15));
    writeBytes(large, "");
    ASSERT_TRUE(QFile::resize(large, 64 * 1024 * 1024 + 1)); // sparse, cheap
    const QString out = dir.filePath("out.maa");
    const QStringList fetch{"fetch", out, "/HPORT:1", "/USER:u", "/PASS:" + kPassword};
    const struct {
        QStringList args;
        QString message;
        int exitCode = 2;
    } cases[] = {
        {{}, "usage: qavo-cli nodes|normalize|check|call|diff|plan|"}, // the whole list: ProgramHelp
        {{"frobnicate"}, "unknown command frobnicate; usage: qavo-cli nodes|"},
        {{"nodes", missing}, "cannot read " + missing},
        {{"nodes", tree, "--colour"}, "unknown option --colour"},
        {{"nodes", tree, "--info", missing}, "cannot read server information file"},
        {{"normalize", tree}, "usage: qavo-cli normalize"},
        {{"normalize", bytes, out}, "not a tree file (no section of one found): " + bytes},
        {{"normalize", large, out}, "file too large (over 64 MiB): " + large},
        {{"normalize", tree, dir.filePath("no/such/dir/x.maa")},
         "cannot write " + dir.filePath("no/such/dir/x.maa") + ": "},
        {{"normalize", tree, "/dev/full"}, "cannot write /dev/full: No space left on device"},
        {{"nodes", tree, "--translation", tree}, "not a translation file: " + tree},
        {{"fetch", "/HADDR:127.0.0.1", "/HPORT:1"}, "usage: qavo-cli fetch OUT"},
        {{"fetch", missing, "/HPORT:1"}, "the server's address is missing (/HADDR:)"},
        {{"lines-import", missing, "/HADDR:127.0.0.1"}, "cannot read " + missing},
        // An unreachable server: the sentence and the reason it wraps in one language, French unless asked;
        // a password, even written in the address, never shows.
        {fetch + QStringList{"/HADDR:127.0.0.1"},
         "impossible de récupérer arbre.maa : le serveur est injoignable (", 4},
        {fetch + QStringList{"/HADDR:127.0.0.1", "--lang", "1"},
         "cannot fetch arbre.maa: the server cannot be reached (", 4},
        {fetch + QStringList{"/HADDR:http://u:" + kPassword + "@127.0.0.1"},
         "impossible de récupérer arbre.maa : ", 4},
        {{"fetch", missing, "--remote=../etc", "/HADDR:127.0.0.1"},
         "--remote takes a bare file name: ../etc"},
    };
    for (const auto& [args, message, exitCode] : cases) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, exitCode) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("qavo-cli: " + message)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(kPassword));
    }
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CheckCommand, ExitCodeTellsErrorsWarningsOnlyBadUseStopAndRefusal) {
    const QString codes = "fields\tA1\t08;08;\t\nfields\tM1\t\t09;1;\n";
    const struct {
        const char *from, *to;
        int exitCode;
        QString outEnd;
        QStringList options = {};
    } cases[] = {
        // The server's list lacks announcement 15 (key 3 of M1); the closing announcement of the tree has
        // neither repetitions nor silences.
        {"", "", 1,
         "info\t\t" + QString(80, '-') +
             "\ninfo\t\tChecking the trees\nerror\tA1\tReception - Announcement - no repetitions\n"
             "error\tA1\tReception - Announcement - no silences\n"
             "warning\tE-M1-3\tMain menu - Announcement - unknown announcement : 15\n"
             "ok\t\tCheck finished : 2 error(s) - 1 warning(s)\n" +
             codes},
        {"exit_fer=ann;12;;", "exit_fer=ann;12;2;2", 0,
         "ok\t\tCheck finished : 0 error(s) - 1 warning(s)\nfields\tM1\t\t09;1;\n"},
        // What was found before the stop keeps its codes.
        {"3=ann;15;2;2", "3=ann;15;2", 3, "\nerror\t\tCheck stopped\n" + codes},
        // The editor refuses to open such a file with the same words (with the server's own version, the
        // voice boxes of demo.maa are accepted: see CliNodes).
        {"\r\n4=\r\n", "\r\n4=bvo;801\r\n", 2, "", {"--force-version", "400.1"}},
        // Saved as UTF-8 by another editor: read whole, and said first.
        {"[general]", "\xEF\xBB\xBF[general]", 1, "2 error(s) - 1 warning(s)\n" + codes},
    };
    QTemporaryDir dir;
    const QStringList check{"check",         dir.filePath("v.maa"),   "--info", data("server_info_check.txt"),
                            "--translation", data("labels_check.txt")};
    for (const auto& c : cases) {
        QByteArray bytes = readBytes(data("check_example.maa"));
        ASSERT_TRUE(bytes.contains(c.from)) << c.from;
        writeBytes(dir.filePath("v.maa"), *c.from ? bytes.replace(c.from, c.to) : bytes);
        const CliRun r = runCli(check + c.options);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.to;
        EXPECT_TRUE(c.exitCode == 2 ? r.out.isEmpty() : r.out.endsWith(c.outEnd)) << r.out.toStdString();
        EXPECT_TRUE(*c.from || r.out == c.outEnd) << "the whole output";
        EXPECT_EQ(QByteArray(c.to).startsWith("\xEF"), r.out.startsWith("warning\t\tRead as UTF-8\n"));
        EXPECT_TRUE(c.exitCode != 2 || r.err == "qavo-cli: ERROR - VERSION\n") << r.err.toStdString();
    }
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
                QFile::copy(testing_support::resourcesDir() + "/qavo_lg00.txt", bin + "/qavo_lg00.txt"));
    const QStringList plan{"plan", example("demo.maa"), out};
    const CliRun missing = runCli(plan, {}, 0, bin + "/qavo-cli");
    EXPECT_EQ(missing.exitCode, 4);
    EXPECT_EQ(missing.err, "qavo-cli: impossible de lancer qavo-cli-plan : il n'est ni dans " + bin +
                               " ni dans " + lib + " (installation incomplète)\n");
    ASSERT_TRUE(QFile::copy(built + "/qavo-cli-plan", lib + "/qavo-cli-plan"));
    const CliRun found = runCli(plan, {}, 0, bin + "/qavo-cli");
    EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_TRUE(readBytes(out).startsWith("flowchart")) << readBytes(out).left(40).toStdString();
}

const QByteArray kTable = "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n"
                          ";0140000101;;451;;452;;0;;1;Ventes\r\n"
                          ";0140000102;;300;;;;;;0;Messagerie\r\n";

// The simulator serving the demo tree and the check fixtures' information file (over HTTPS with a
// certificate when given), with a password that must never show on stderr.
class Server {
public:
    explicit Server(const QStringList& faults = {}, const QByteArray& info = {}, const QString& cert = {})
        : sim_(arguments(faults, cert)), scheme_(cert.isEmpty() ? "" : "https://") {
        writeBytes(file("qavo_general.txt"),
                   info.isEmpty() ? readBytes(data("server_info_check.txt")) : info);
    }
    static QByteArray originalTree() {
        return readBytes(testing_support::SimProcess::defaultServer() + "/arbre.maa");
    }
    QStringList switches() const {
        return {"/HADDR:" + scheme_ + "127.0.0.1", "/HPORT:" + QString::number(sim_.port()), "/USER:u",
                "/PASS:" + kPassword};
    }
    QString file(const QString& name) const { return sim_.root() + '/' + name; }
    QString scratch(const QString& name) const { return sim_.scratch() + '/' + name; }
    bool started() const { return sim_.port() != 0; }

private:
    static QStringList arguments(const QStringList& faults, const QString& cert) {
        QStringList args{"--password", kPassword};
        for (const QString& f : faults)
            args << "--fault" << f;
        if (!cert.isEmpty())
            args << "--tls-cert" << cert << "--tls-key" << QFileInfo(cert).path() + "/key.pem";
        return args;
    }
    testing_support::SimProcess sim_;
    QString scheme_;
};

// A throwaway self-signed certificate for 127.0.0.1, made once (key.pem beside it); empty when openssl
// cannot.
QString certificate() {
    static const QTemporaryDir keys;
    static const bool made = [] {
        QProcess openssl;
        openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                                  keys.filePath("key.pem"), "-out", keys.filePath("cert.pem"), "-days", "1",
                                  "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
        return openssl.waitForFinished(20000) && openssl.exitCode() == 0;
    }();
    return made ? keys.filePath("cert.pem") : QString();
}
// The environment that makes the run trust it, or none.
QStringList trusted(bool trust) {
    return trust ? QStringList{"QAVO_CA_FILE=" + certificate()} : QStringList{};
}

// Exit status and stderr's one line, which never shows the password.
void expectExit(const CliRun& r, int exitCode, const char* name) {
    EXPECT_EQ(r.exitCode, exitCode) << name << ": " << r.err.toStdString();
    EXPECT_TRUE(exitCode == 0 || (r.err.startsWith("qavo-cli: ") && r.err.endsWith('\n'))) << name;
    EXPECT_FALSE(r.err.contains(kPassword)) << name;
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
        if (c.https && certificate().isEmpty()) continue; // openssl made no certificate
        Server server(c.faults, {}, c.https ? certificate() : QString());
        ASSERT_TRUE(server.started()) << c.name;
        writeBytes(server.file("page.html"), "<html></html>");
        writeBytes(server.file("portal.maa"), "<html><body>Please log in</body></html>");
        const QString out = server.scratch("out.maa");
        writeBytes(out, "kept");
        const CliRun r = runCli(QStringList{"fetch", out} + c.args + server.switches(), trusted(c.trusted));
        expectExit(r, c.exitCode, c.name);
        EXPECT_EQ(readBytes(out), c.remote.isEmpty() ? QByteArray("kept") : readBytes(server.file(c.remote)))
            << c.name;
        EXPECT_EQ(QDir(server.scratch("")).entryList(QDir::Files), QStringList{"out.maa"}) << c.name;
    }
}

TEST(CliSend, SendsOnlyAVerifiedTreeAndReadsItBack) {
    using Edit = std::pair<QByteArray, QByteArray>;
    const Edit passing{"exit_fer=ann;12;;", "exit_fer=ann;12;2;2"}, stopping{"3=ann;15;2;2", "3=ann;15;2"};
    const QByteArray noVersion = readBytes(data("server_info_check.txt")).replace("version=900.2", "");
    const struct {
        const char* name;
        Edit edit;
        QStringList faults;
        int exitCode;
        QByteArray effects; // c: checked, s: stored, b: backed up
        QByteArray info = {};
        bool https = false;
    } cases[] = {
        {"passing tree", passing, {}, 0, "csb"},
        {"tree with errors", {}, {}, 1, "c"},
        {"stopped check", stopping, {}, 3, "c"},
        {"no version", passing, {}, 4, "", noVersion},
        // A backup that cannot be fetched stops the send: only a server without a tree has none.
        {"backup cut", passing, {"truncate@arbre.maa,once"}, 4, "c"},
        // The tree is stored, but every later fetch of it comes back short.
        {"tree read back cut", passing, {"slow:1@arbre.maa,once", "truncate@arbre.maa"}, 4, "csb"},
        {"over HTTPS, trusted", passing, {}, 0, "csb", {}, true},
    };
    for (const auto& c : cases) {
        if (c.https && certificate().isEmpty()) continue; // openssl made no certificate
        Server server(c.faults, c.info, c.https ? certificate() : QString());
        ASSERT_TRUE(server.started()) << c.name;
        QByteArray tree = readBytes(data("check_example.maa"));
        ASSERT_TRUE(tree.contains(c.edit.first)) << c.name;
        const QString file = server.scratch("sent.maa"), backup = server.scratch("backup.maa");
        writeBytes(file, c.edit.first.isEmpty() ? tree : tree.replace(c.edit.first, c.edit.second));
        const CliRun r =
            runCli(QStringList{"send", file, "--backup", backup, "--translation", data("labels_check.txt")} +
                       server.switches(),
                   trusted(c.https));
        expectExit(r, c.exitCode, c.name);
        // The findings print as the check command prints them.
        EXPECT_EQ(r.out.contains("Checking the trees"), c.effects.contains('c')) << c.name;
        EXPECT_EQ(readBytes(server.file("arbre.maa")),
                  c.effects.contains('s') ? readBytes(file) : Server::originalTree())
            << c.name;
        EXPECT_EQ(QFileInfo::exists(backup), c.effects.contains('b')) << c.name;
        EXPECT_TRUE(c.exitCode != 0 || readBytes(backup) == Server::originalTree());
    }
}

// The line table through a spreadsheet: exported, edited, checked (what the import would change, nothing
// stored), imported; the line of another application stays as it was whatever the file says of it. A
// file that is not a line table, or a failed exchange, stores nothing.
TEST(CliLines, ExportCheckImportKeepsOtherApplicationsLines) {
    const QByteArray table = kTable + ";0140000103;5;452;;;;1;3;2;Support\r\n";
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
        Server server(c.faults);
        ASSERT_TRUE(server.started()) << c.name;
        writeBytes(server.file("planning.cfg"), QByteArray(1536, '\0')); // no schedules, one application
        writeBytes(server.file("rcm.txt"), "P1=201;Accueil;1;1\r\n");
        writeBytes(server.file("rcm.cfg"), table);
        const QString csv = server.scratch("lines.csv");
        const QStringList english = QStringList{"--lang", "01"} + server.switches();
        expectExit(runCli(QStringList{"lines-export", csv} + english), c.checkExit == 4 ? 4 : 0, c.name);
        if (c.checkExit == 0)
            expectExit(runCli(QStringList{"lines-export", server.scratch("none/x.csv")} + english), 2,
                       "no folder");
        const QList<QByteArray> rows = readBytes(csv).split('\n');
        if (c.checkExit != 4) {
            ASSERT_EQ(rows.size(), 5) << c.name << ": a header, three lines and the last line end";
            EXPECT_EQ(rows[3], ";0140000103;5;2;4;452;;0;;Support;2\r") << c.name;
        }
        writeBytes(csv,
                   c.edit(c.checkExit == 4 ? "header\r\n;0140000199;;451;;0;;0;;0;x\r\n" : rows.join('\n')));
        const CliRun r = runCli(QStringList{"lines-import", csv, "--check"} + english);
        EXPECT_EQ(r.exitCode, c.checkExit) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE((c.checkExit == 0 || c.checkExit == 5 ? r.out : r.err).contains(c.says))
            << c.name << ": " << r.out.toStdString() << r.err.toStdString();
        EXPECT_EQ(readBytes(server.file("rcm.cfg")), table) << c.name << ": stored by a check";
        expectExit(runCli(QStringList{"lines-import", csv} + english), c.checkExit % 5, c.name);
        EXPECT_TRUE(c.stored.isEmpty() || readBytes(server.file("rcm.cfg")) == c.stored) << c.name;
    }
}

// Every file the programs write, refused by the disk part way (a file-size limit on the writing process:
// EFBIG, as a full disk's ENOSPC): the old file stays whole, nothing is left beside it, the cause is said.
TEST(RefusedWrite, KeepsTheOldFileAndSaysWhy) {
    const QByteArray old = QByteArray("the previous content, longer than the limit\r\n").repeated(40);
    const QString demo = example("demo.maa");
    Server server;
    ASSERT_TRUE(server.started());
    const struct {
        const char *command, *name;
        bool remote = false;
    } cases[] = {{"normalize", "out.maa"},       {"normalize", "linked.maa"},
                 {"plan", "plan.svg"},           {"plan", "plan.pdf"},
                 {"plan", "plan.png"},           {"plan", "plan.mmd"},
                 {"fetch", "fetched.maa", true}, {"lines-export", "lines.csv", true}};
    for (const auto& [command, name, remote] : cases) {
        QTemporaryDir dir;
        const QString out = dir.filePath(name), link = dir.filePath("other-name");
        const bool linked = QByteArray(name).startsWith("linked");
        writeBytes(out, old);
        ASSERT_TRUE(!linked || ::link(QFile::encodeName(out), QFile::encodeName(link)) == 0);
        const QStringList args =
            remote ? QStringList{command, out} + server.switches() : QStringList{command, demo, out};
        const CliRun r = runCli(args, {}, 600);
        EXPECT_NE(r.exitCode, 0) << name;
        EXPECT_TRUE(r.err.contains("File too large")) << name << ": " << r.err.toStdString();
        EXPECT_EQ(readBytes(out), old) << name;
        EXPECT_TRUE(!linked || readBytes(link) == old) << name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), linked ? 2 : 1) << name;
    }
}

} // namespace
