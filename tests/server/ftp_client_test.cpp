#include "server/ftp_client.h"

#include "support/qt_print.h"
#include "support/test_support.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

const QString kUser = "qavo";
const QString kPassword = "s3cret";

// One pyftpdlib server per test process, on 127.0.0.1, serving a scratch folder.
class FtpClient : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = std::make_unique<QTemporaryDir>();
        server = std::make_unique<QProcess>();
        server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server->start("/usr/bin/python3", {QStringLiteral(QAVO_SOURCE_DIR "/tests/server/ftp_server.py"),
                                           root->path(), kUser, kPassword});
        while (port == 0 && server->waitForReadyRead(20000))
            while (port == 0 && server->canReadLine()) {
                const QByteArray line = server->readLine().trimmed();
                if (line.startsWith("PORT ")) port = line.mid(5).toInt();
            }
        noPyftpdlib = port == 0 && server->waitForFinished(1000) && server->exitCode() == 77;
    }
    static void TearDownTestSuite() {
        server->kill();
        server->waitForFinished(5000);
        server.reset();
        root.reset();
    }
    void SetUp() override {
        if (noPyftpdlib) GTEST_SKIP() << "python3-pyftpdlib is not installed for /usr/bin/python3";
        ASSERT_NE(port, 0) << "the FTP server did not start";
        logins();
        QDir(root->path()).removeRecursively();
        QDir().mkpath(root->path());
    }
    static bool logIn(cFTP& ftp, bool passive = true) {
        return ftp.Connect("127.0.0.1", kUser, kPassword, passive, port);
    }
    // Logins the server accepted since the last call. Each line is written before the login reply,
    // so it is already in the pipe when asked for.
    static int logins() {
        while (server->waitForReadyRead(20)) {
        }
        return int(server->readAll().count("LOGIN "));
    }
    static QString onServer(const QString& name) { return root->path() + QLatin1Char('/') + name; }

    static inline std::unique_ptr<QTemporaryDir> root;
    static inline std::unique_ptr<QProcess> server;
    static inline int port = 0;
    static inline bool noPyftpdlib = false;
};

TEST_F(FtpClient, ConnectLogsInAndFollowsItsFlagsAndErrorsCarryNumberSourceAndText) {
    cFTP connected, idle;
    ASSERT_TRUE(logIn(connected));
    const std::pair<std::function<void()>, QString> cases[] = {
        {[&] { connected.setHost("other"); },
         "800407d7 ZRBFTP:Host_Let: You cannot change this property while connected to an FTP server"},
        {[&] { idle.Connect(); }, "800407d7 QXFTP::Connect: No Host Address Specified!"},
        {[&] { idle.setDirectory("data"); }, "800407d5 QXFTP::Directory_Let: Not Connected to FTP Site"},
    };
    for (const auto& [action, error] : cases) {
        try {
            action();
            ADD_FAILURE() << "no error: " << qPrintable(error);
        } catch (const FtpError& e) {
            EXPECT_EQ(QString::number(e.number, 16) + ' ' + e.source + ": " + e.description, error);
        }
    }
    // Refused changes keep the old values; a refused directory is not stored.
    EXPECT_EQ(QStringList({connected.Host(), idle.Directory()}), QStringList({"127.0.0.1", ""}));

    cFTP ftp;
    EXPECT_FALSE(ftp.Connect("127.0.0.1", kUser, "wrong", true, port) || ftp.Connected());
    EXPECT_TRUE(ftp.LastResponse().startsWith("530")) << ftp.LastResponse().toStdString();
    EXPECT_FALSE(ftp.Connect(QString(), QString(), QString(), true, 70000)); // no such port

    // Empty arguments keep the stored properties and use them.
    ftp.setPassword(kPassword);
    ASSERT_TRUE(ftp.Connect(QString(), QString(), QString(), true, port));
    // Already connected: the arguments are ignored and the connection kept.
    EXPECT_TRUE(ftp.Connect("elsewhere", "x", "y", true, 1) && ftp.Host() == "127.0.0.1");
    EXPECT_EQ(logins(), 2); // `connected`'s and this one's, not another
    // A reconnection drops the old connection first, and fails on a wrong password.
    EXPECT_FALSE(ftp.Connect(QString(), QString(), "wrong", true, port, true) || ftp.Connected());
    EXPECT_TRUE(ftp.Connect(QString(), QString(), kPassword, true, port, true));
    EXPECT_TRUE(ftp.Disconnect());
    EXPECT_EQ(ftp.Host() + ftp.User() + ftp.Password() + ftp.Directory(), QString());

    // Closed, every operation fails and touches nothing.
    writeBytes(onServer("a.txt"), "x");
    QStringList list{"kept"};
    EXPECT_EQ(QList<bool>({ftp.Disconnect(), ftp.GetFile("a.txt", onServer("b"), 2),
                           ftp.PutFile(onServer("a.txt"), "b.txt", 2), ftp.RenameFile("a.txt", "c.txt"),
                           ftp.DeleteFile("a.txt")}),
              QList<bool>(5, false));
    EXPECT_EQ(ftp.GetDirectoryList(QString(), QString(), &list), 1); // the list is left alone
    EXPECT_EQ(QDir(root->path()).entryList(QDir::Files), QStringList{"a.txt"});
}

TEST_F(FtpClient, FilesTravelIntactInBothModes) {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    const QStringList lines{"first line", QString(), "third; with tab\t"};
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        QTemporaryDir local;
        const auto here = [&](const char* name) { return local.filePath(QString::fromLatin1(name)); };
        writeBytes(here("all.bin"), bytes);
        writeBytes(here("text.txt"), lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        cFTP ftp;
        ASSERT_TRUE(logIn(ftp, passive));
        // A failed get leaves no local file and the connection usable.
        const QList<bool> done{ftp.PutFile(here("all.bin"), "all.bin", cFTP::TransferBinary),
                               ftp.GetFile("all.bin", here("back.bin"), cFTP::TransferBinary),
                               ftp.PutFile(here("text.txt"), "text.txt", cFTP::TransferAscii),
                               ftp.GetFile("text.txt", here("back.txt"), cFTP::TransferAscii),
                               ftp.isFileExist("missing.bin"),
                               ftp.RenameFile("all.bin", "renamed.bin"),
                               ftp.RenameFile("all.bin", "again.bin"),
                               ftp.DeleteFile("renamed.bin"),
                               ftp.GetFile("renamed.bin", here("none.bin"), cFTP::TransferBinary),
                               ftp.DeleteFile("text.txt")};
        EXPECT_EQ(done, QList<bool>({true, true, true, true, false, true, false, true, false, true}));
        EXPECT_EQ(readBytes(here("back.bin")), bytes);
        EXPECT_EQ(QString::fromUtf8(readBytes(here("back.txt"))).split(QRegularExpression("\r?\n")),
                  lines + QStringList{QString()});
        EXPECT_EQ(QDir(local.path()).entryList(QDir::Files),
                  QStringList({"all.bin", "back.bin", "back.txt", "text.txt"}));
        EXPECT_EQ(QDir(root->path()).entryList(QDir::Files), QStringList());
        EXPECT_EQ(logins(), 1); // the login of Connect served every operation, failed ones too
    }
}

TEST_F(FtpClient, RemoteDirectoryFollowsChangesAndListings) {
    QDir(root->path()).mkpath("data/sub");
    for (const char* name : {"a.txt", "a.TXT", "readme", "a.txt.gz", "b.maa", "a.b.txt", "c.maa.gz"})
        writeBytes(onServer("data/" + QLatin1String(name)), "x");
    writeBytes(onServer("data/sub/deep.txt"), "y");
    cFTP ftp;
    ASSERT_TRUE(logIn(ftp));

    // A step's result and the remote folder after it.
    const auto at = [&](int result) { return QString::number(result) + ftp.remotePath(); };
    ASSERT_EQ(
        QStringList({at(ftp.RemoteChDir(QString())), at(ftp.RemoteChDir("missing")),
                     at(ftp.RemoteChDir("data\\sub")), at(ftp.isFileExist("deep.txt")),
                     at(ftp.RemoteChDir("/")), (ftp.setDirectory("data"), at(1)), at(ftp.RemoteChDir(".."))}),
        QStringList({"0/", "0/", "1/data/sub", "1/data/sub", "1/", "1/data", "1/"}));

    const struct {
        const char* filter;
        bool compressed, append, first;
        QStringList before, expected;
    } cases[] = {
        // The extension runs from the last dot and its case counts; a name without a dot never passes, a
        // compressed one does with the flag whatever the filter.
        {".txt", false, false, false, {"old"}, {"a.b.txt", "a.txt"}},
        {".b.txt", false, false, false, {}, {}},
        {".txt", true, false, false, {}, {"a.b.txt", "a.txt", "a.txt.gz", "c.maa.gz"}},
        {"", false, false, false, {}, {"a.TXT", "a.b.txt", "a.txt", "a.txt.gz", "b.maa", "c.maa.gz"}},
        {".maa", false, true, false, {"old"}, {"b.maa", "old"}},
        {"*.*", false, false, true, {}, {}},           // one name, whichever comes first
        {".maa", false, true, true, {"old"}, {"old"}}, // the list already holds one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.filter) + (c.append ? " append" : "") + (c.first ? " first" : ""));
        QStringList list = c.before;
        const int n = ftp.GetDirectoryList("data", QString::fromLatin1(c.filter), &list, c.compressed,
                                           c.append, c.first);
        EXPECT_EQ(n, list.size());
        list.sort();
        EXPECT_EQ(list, c.first && c.before.isEmpty() ? QStringList{list.value(0, "none")} : c.expected);
        EXPECT_EQ(ftp.remotePath(), "/"); // back up after the listing
    }

    // Without a list, every entry is recorded and the records build up over calls.
    EXPECT_EQ(
        QStringList({at(ftp.RemoteChDir("data")), at(ftp.GetDirectoryList("sub")), at(ftp.GetDirectoryList()),
                     at(ftp.GetDirectoryList(QString(), QString(), nullptr, false, false, true))}),
        QStringList({"1/data", "1/data", "9/data", "10/data"}));
    EXPECT_EQ(ftp.Records()[0].name, "deep.txt");
}

} // namespace
