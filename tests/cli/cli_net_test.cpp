#include "cli/cli_run.h"
#include "server/test_certificate.h"
#include "support/qt_print.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using cli_testing::CliRun;
using cli_testing::runCli;
using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

const QString kPassword = QStringLiteral("s3cr3t-word");

QString data(const QString& name) {
    return testing_support::dataDir() + '/' + name;
}

// The simulator serving the demo tree and the check fixtures' information file, with a password that
// must never show on stderr.
class Server {
public:
    explicit Server(const QStringList& faults = {},
                    const QByteArray& info = readBytes(data("server_info_check.txt")),
                    const QStringList& extra = {})
        : sim_(arguments(faults) + extra) {
        writeBytes(file("qavo_general.txt"), info);
    }
    static QByteArray originalTree() {
        return readBytes(testing_support::SimProcess::defaultServer() + "/arbre.maa");
    }
    QStringList switches(const QString& port = {}, const QString& scheme = {}) const {
        return {"/HADDR:" + scheme + "127.0.0.1",
                "/HPORT:" + (port.isEmpty() ? QString::number(sim_.port()) : port), "/USER:u",
                "/PASS:" + kPassword};
    }
    QString file(const QString& name) const { return sim_.root() + '/' + name; }
    QString scratch(const QString& name) const { return sim_.scratch() + '/' + name; }
    bool started() const { return sim_.port() != 0; }

private:
    static QStringList arguments(const QStringList& faults) {
        QStringList args{"--password", kPassword};
        for (const QString& f : faults)
            args << "--fault" << f;
        return args;
    }
    testing_support::SimProcess sim_;
};

// Exit status and stderr's one line, which never shows the password.
void expectExit(const CliRun& r, int exitCode, const char* name) {
    EXPECT_EQ(r.exitCode, exitCode) << name << ": " << r.err.toStdString();
    if (exitCode != 0) {
        EXPECT_TRUE(r.err.startsWith("qavo-cli: ") && r.err.endsWith('\n')) << name;
    }
    EXPECT_FALSE(r.err.contains(kPassword)) << name;
}

TEST(CliFetch, ReplacesOutOnlyWithAWholeFile) {
    const struct {
        const char* name;
        QStringList faults, args;
        QString remote;
        int exitCode;
        QByteArray served = {}; // the server's arbre.maa, when not the demo tree
    } cases[] = {
        {"tree", {}, {}, "arbre.maa", 0},
        {"missing file", {}, {"--remote=absent.maa"}, "", 4},
        {"refused login", {"login"}, {}, "", 4},
        {"cut connection", {"drop@arbre.maa"}, {}, "", 4},
        {"login portal's page", {}, {}, "", 4, "<html><body>Please log in</body></html>"},
        {"any other file, as it comes", {}, {"--remote=page.html"}, "page.html", 0},
        {"a name that is not bare", {}, {"--remote=../etc"}, "", 2},
    };
    for (const auto& c : cases) {
        Server server(c.faults);
        ASSERT_TRUE(server.started()) << c.name;
        if (!c.served.isEmpty()) writeBytes(server.file("arbre.maa"), c.served);
        writeBytes(server.file("page.html"), "<html></html>");
        const QString out = server.scratch("out.maa");
        writeBytes(out, "kept");
        const CliRun r = runCli(QStringList{"fetch", out} + c.args + server.switches());
        expectExit(r, c.exitCode, c.name);
        EXPECT_EQ(readBytes(out), c.remote.isEmpty() ? QByteArray("kept") : readBytes(server.file(c.remote)))
            << c.name;
        EXPECT_EQ(QDir(server.scratch("")).entryList(QDir::Files), QStringList{"out.maa"}) << c.name;
    }
}

TEST(CliNet, UnreachableServerIsFourAndBadUsageTwo) {
    Server server;
    ASSERT_TRUE(server.started());
    // One language per message: the sentence and the server's reason it wraps, French unless asked.
    const CliRun french = runCli(QStringList{"fetch", server.scratch("o.maa")} + server.switches("1"));
    expectExit(french, 4, "closed port");
    EXPECT_TRUE(
        french.err.startsWith("qavo-cli: impossible de récupérer arbre.maa : le serveur est injoignable ("))
        << french.err.toStdString();
    const CliRun english =
        runCli(QStringList{"fetch", server.scratch("o.maa"), "--lang", "1"} + server.switches("1"));
    EXPECT_TRUE(english.err.startsWith("qavo-cli: cannot fetch arbre.maa: the server cannot be reached ("))
        << english.err.toStdString();
    expectExit(runCli(QStringList{"fetch"} + server.switches()), 2, "no OUT");
    expectExit(runCli({"fetch", server.scratch("o.maa"), "/HPORT:1"}), 2, "no address");
    // A password written in the address never shows either.
    expectExit(
        runCli({"fetch", server.scratch("o.maa"), "/HADDR:http://u:" + kPassword + "@127.0.0.1", "/HPORT:1"}),
        4, "password in the address");
    EXPECT_FALSE(QFileInfo::exists(server.scratch("o.maa")));
}

TEST(CliSend, SendsOnlyAVerifiedTreeAndReadsItBack) {
    const QByteArray passing = "exit_fer=ann;12;2;2", aborting = "3=ann;15;2";
    QByteArray noVersion = readBytes(data("server_info_check.txt"));
    noVersion.replace("version=900.2", "");
    const struct {
        const char* name;
        QByteArray from, to;
        QStringList faults;
        QByteArray info;
        int exitCode;
        bool checked, stored, backedUp;
    } cases[] = {
        {"passing tree", "exit_fer=ann;12;;", passing, {}, {}, 0, true, true, true},
        {"tree with errors", "", "", {}, {}, 1, true, false, false},
        {"stopped check", "3=ann;15;2;2", aborting, {}, {}, 3, true, false, false},
        {"no version", "exit_fer=ann;12;;", passing, {}, noVersion, 4, false, false, false},
        {"refused login", "exit_fer=ann;12;;", passing, {"login"}, {}, 4, false, false, false},
        // A backup that cannot be fetched stops the send: only a server without a tree has none.
        {"backup cut", "exit_fer=ann;12;;", passing, {"truncate@arbre.maa,once"}, {}, 4, true, false, false},
        // The tree is stored, but every later fetch of it comes back short.
        {"tree read back cut",
         "exit_fer=ann;12;;",
         passing,
         {"slow:1@arbre.maa,once", "truncate@arbre.maa"},
         {},
         4,
         true,
         true,
         true},
    };
    for (const auto& c : cases) {
        Server server(c.faults, c.info.isEmpty() ? readBytes(data("server_info_check.txt")) : c.info);
        ASSERT_TRUE(server.started()) << c.name;
        QByteArray tree = readBytes(data("check_example.maa"));
        ASSERT_TRUE(tree.contains(c.from)) << c.name;
        const QString file = server.scratch("sent.maa"), backup = server.scratch("backup.maa");
        writeBytes(file, c.from.isEmpty() ? tree : tree.replace(c.from, c.to));
        const CliRun r =
            runCli(QStringList{"send", file, "--backup", backup, "--translation", data("labels_check.txt")} +
                   server.switches());
        expectExit(r, c.exitCode, c.name);
        // The findings print as the check command prints them.
        EXPECT_EQ(r.out.contains("Checking the trees"), c.checked) << c.name;
        EXPECT_EQ(readBytes(server.file("arbre.maa")), c.stored ? readBytes(file) : Server::originalTree())
            << c.name;
        EXPECT_EQ(QFileInfo::exists(backup), c.backedUp) << c.name;
        if (c.exitCode == 0) {
            EXPECT_EQ(readBytes(backup), Server::originalTree());
        }
    }
}

// Over HTTPS with a throwaway certificate for 127.0.0.1: trusted through QAVO_CA_FILE, refused without.
TEST(CliTls, FetchesAndSendsOnlyWithATrustedCertificate) {
    QTemporaryDir keys;
    const QString cert = keys.filePath("cert.pem"), key = keys.filePath("key.pem");
    if (!testing_support::makeCertificate(cert, key)) GTEST_SKIP() << "openssl could not make a certificate";
    Server server({}, readBytes(data("server_info_check.txt")), {"--tls-cert", cert, "--tls-key", key});
    ASSERT_TRUE(server.started());
    const QStringList https = server.switches({}, "https://");
    const QString out = server.scratch("out.maa");
    writeBytes(out, "kept");

    const CliRun untrusted = runCli(QStringList{"fetch", out} + https);
    expectExit(untrusted, 4, "untrusted certificate");
    EXPECT_EQ(readBytes(out), "kept");

    expectExit(runCli(QStringList{"fetch", out} + https, cert), 0, "trusted fetch");
    EXPECT_EQ(readBytes(out), Server::originalTree());

    const QString sent = server.scratch("sent.maa");
    writeBytes(sent,
               readBytes(data("check_example.maa")).replace("exit_fer=ann;12;;", "exit_fer=ann;12;2;2"));
    expectExit(runCli(QStringList{"send", sent, "--translation", data("labels_check.txt")} + https, cert), 0,
               "trusted send");
    EXPECT_EQ(readBytes(server.file("arbre.maa")), readBytes(sent));
}

// The line table through a spreadsheet: exported from the server, edited, imported back; the line of
// another application stays as it was whatever the file says of it.
TEST(CliLines, ExportImportRoundTripKeepsOtherApplicationsLines) {
    const QByteArray table = "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n"
                             ";0140000101;;451;;452;;0;;1;Ventes\r\n"
                             ";0140000102;;300;;;;;;0;Messagerie\r\n"
                             ";0140000103;5;452;;;;1;3;2;Support\r\n";
    const struct {
        const char* name;
        QStringList faults;
        bool csvThere;
        int exportExit, importExit;
    } cases[] = {
        {"round trip", {}, true, 0, 0},
        {"no CSV file", {}, false, 0, 2},
        {"refused login", {"login"}, true, 4, 4},
        {"line file cut", {"truncate@rcm.cfg"}, true, 4, 4},
        {"store refused", {"login@rcm.cfg"}, true, 4, 4},
    };
    for (const auto& c : cases) {
        Server server(c.faults);
        ASSERT_TRUE(server.started()) << c.name;
        writeBytes(server.file("planning.cfg"), QByteArray(1536, '\0'));
        writeBytes(server.file("rcm.txt"), "P1=201;Accueil;1;1\r\n");
        writeBytes(server.file("rcm.cfg"), table);
        const QString csv = server.scratch("lines.csv");
        expectExit(runCli(QStringList{"lines-export", csv} + server.switches()), c.exportExit, c.name);
        if (c.exportExit == 0) {
            QList<QByteArray> rows = readBytes(csv).split('\n');
            ASSERT_EQ(rows.size(), 5) << c.name << ": a header, three lines and the last line end";
            EXPECT_EQ(rows[3], ";0140000103;5;2;4;452;;0;;Support;2\r") << c.name;
            // Both lines renamed in the spreadsheet: only the auto-attendant's may change.
            rows[1].replace("Ventes", "Sales");
            rows[2].replace("Messagerie", "Renamed");
            writeBytes(csv, rows.join('\n'));
        } else if (c.csvThere) {
            writeBytes(csv, "header\r\n;0140000199;;451;;0;;0;;0;x\r\n");
        }
        if (!c.csvThere) QFile::remove(csv);
        expectExit(runCli(QStringList{"lines-import", csv} + server.switches()), c.importExit, c.name);
        const QByteArray stored = readBytes(server.file("rcm.cfg"));
        if (c.importExit != 0) {
            EXPECT_EQ(stored, table) << c.name;
            continue;
        }
        EXPECT_EQ(QString::fromLatin1(stored),
                  QString::fromLatin1("/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n"
                                      ";0140000101;;451;;452;;0;;1;Sales\r\n"
                                      ";0140000102;;300;;;;;;0;Messagerie\r\n"
                                      ";0140000103;5;452;;;;1;3;2;Support\r\n"))
            << c.name;
    }
}

// lines-import --check says what the file would change and stores nothing; a file that is not a line
// table is refused before anything is stored; an export that cannot be written says why.
TEST(CliLines, CheckRefusalAndFailedExportStoreNothing) {
    const QByteArray table = "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n"
                             ";0140000101;;451;;452;;0;;1;Ventes\r\n"
                             ";0140000102;;300;;;;;;0;Messagerie\r\n";
    Server server;
    ASSERT_TRUE(server.started());
    writeBytes(server.file("planning.cfg"), QByteArray(1536, '\0'));
    writeBytes(server.file("rcm.txt"), "P1=201;Accueil;1;1\r\n");
    writeBytes(server.file("rcm.cfg"), table);
    const QString csv = server.scratch("lines.csv");
    const QStringList english = QStringList{"--lang", "01"} + server.switches();
    expectExit(runCli(QStringList{"lines-export", server.scratch("none/lines.csv")} + english), 2,
               "export into a missing folder");
    expectExit(runCli(QStringList{"lines-export", csv} + english), 0, "export");
    const QByteArray exported = readBytes(csv);
    const struct {
        const char* name;
        QByteArray csv;
        int exit;
        const char* says; // on stdout for a check, else on stderr
    } cases[] = {
        {"comma separated", "a,b,c\r\n1,2,3\r\n", 2, "(line 2: 1 field, 11 expected)"},
        {"unchanged", exported, 0,
         "The file holds the same lines as the table.\n"
         "Lines of other applications, kept as they are: 1\n"},
        {"changed", QByteArray(exported).replace("Ventes", "Sales").replace("0140000102", "0140000199"), 5,
         "Lines added: 1 (0140000199)\nLines changed: 1 (0140000101)\nLines of other applications, kept as "
         "they are: 2\n"},
    };
    for (const auto& c : cases) {
        writeBytes(csv, c.csv);
        const CliRun r = runCli(QStringList{"lines-import", csv, "--check"} + english);
        EXPECT_EQ(r.exitCode, c.exit) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE((c.exit == 2 ? r.err : r.out).contains(QLatin1String(c.says)))
            << c.name << ": " << r.out.toStdString() << r.err.toStdString();
        expectExit(runCli(QStringList{"lines-import", csv} + english), c.exit == 2 ? 2 : 0, c.name);
        if (c.exit == 2) {
            EXPECT_EQ(readBytes(server.file("rcm.cfg")), table) << c.name;
        }
    }
}

} // namespace
