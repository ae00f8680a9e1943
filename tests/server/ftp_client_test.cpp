#include "server/ftp_client.h"

#include "support/qt_print.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

const QString Utilisateur = QStringLiteral("qavo");
const QString MotDePasse = QStringLiteral("s3cret");

// One pyftpdlib server per test process, on 127.0.0.1, serving a scratch folder.
class ClientFTP : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        racine = std::make_unique<QTemporaryDir>();
        serveur = std::make_unique<QProcess>();
        serveur->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        serveur->start(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral(QAVO_SOURCE_DIR "/tests/server/ftp_server.py"), racine->path(),
                        Utilisateur, MotDePasse});
        while (port == 0 && serveur->waitForReadyRead(20000))
            while (port == 0 && serveur->canReadLine()) {
                const QByteArray ligne = serveur->readLine().trimmed();
                if (ligne.startsWith("PORT ")) port = ligne.mid(5).toInt();
            }
        sansPyftpdlib = port == 0 && serveur->waitForFinished(1000) && serveur->exitCode() == 77;
    }
    static void TearDownTestSuite() {
        serveur->kill();
        serveur->waitForFinished(5000);
        serveur.reset();
        racine.reset();
    }
    void SetUp() override {
        if (sansPyftpdlib) GTEST_SKIP() << "python3-pyftpdlib is not installed for /usr/bin/python3";
        ASSERT_NE(port, 0) << "the FTP server did not start";
        connexions();
        QDir dossier(racine->path());
        for (const QString& nom : dossier.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            QFileInfo(dossier.filePath(nom)).isDir() ? QDir(dossier.filePath(nom)).removeRecursively()
                                                     : dossier.remove(nom);
    }
    static bool connecter(cFTP& ftp, bool passive = true) {
        return ftp.Connect(QStringLiteral("127.0.0.1"), Utilisateur, MotDePasse, passive, port);
    }
    // Logins the server accepted since the last call. Each line is written before the login reply,
    // so it is already in the pipe when asked for.
    static int connexions() {
        while (serveur->waitForReadyRead(20)) {
        }
        return int(serveur->readAll().count("LOGIN "));
    }
    static QString surServeur(const QString& nom) { return racine->path() + QLatin1Char('/') + nom; }

    static inline std::unique_ptr<QTemporaryDir> racine;
    static inline std::unique_ptr<QProcess> serveur;
    static inline int port = 0;
    static inline bool sansPyftpdlib = false;
};

TEST_F(ClientFTP, ErrorsCarryNumberSourceAndText) {
    cFTP connecte, libre;
    ASSERT_TRUE(connecter(connecte));
    const struct {
        std::function<void()> action;
        std::uint32_t number;
        const char *source, *text;
    } cas[] = {
        {[&] { connecte.setHost(QStringLiteral("other")); }, 0x800407D7, "ZRBFTP:Host_Let",
         "You cannot change this property while connected to an FTP server"},
        {[&] { libre.Connect(); }, 0x800407D7, "QXFTP::Connect", "No Host Address Specified!"},
        {[&] { libre.setDirectory(QStringLiteral("data")); }, 0x800407D5, "QXFTP::Directory_Let",
         "Not Connected to FTP Site"},
    };
    for (const auto& c : cas) {
        try {
            c.action();
            ADD_FAILURE() << "no error from " << c.source;
        } catch (const FtpError& e) {
            EXPECT_EQ(e.number, c.number) << c.source;
            EXPECT_EQ(e.source + ": " + e.description, QString::fromLatin1(c.source) + ": " + c.text);
        }
    }
    // Refused changes keep the old values; a refused directory is not stored.
    EXPECT_EQ(connecte.Host(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(libre.Directory(), QString());
}

TEST_F(ClientFTP, ConnectLogsInAndFollowsItsFlags) {
    cFTP ftp;
    EXPECT_FALSE(ftp.Connect(QStringLiteral("127.0.0.1"), Utilisateur, QStringLiteral("wrong"), true, port));
    EXPECT_FALSE(ftp.Connected());
    EXPECT_TRUE(ftp.LastResponse().startsWith(QStringLiteral("530"))) << ftp.LastResponse().toStdString();
    EXPECT_FALSE(ftp.Connect(QString(), QString(), QString(), true, 70000)); // no such port

    // Empty arguments keep the stored properties and use them.
    ftp.setPassword(MotDePasse);
    ASSERT_TRUE(ftp.Connect(QString(), QString(), QString(), true, port));
    // Already connected: the arguments are ignored and the connection kept.
    EXPECT_TRUE(ftp.Connect(QStringLiteral("elsewhere"), QStringLiteral("x"), QStringLiteral("y"), true, 1));
    EXPECT_EQ(ftp.Host(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(connexions(), 1);
    // A reconnection drops the old connection first, and fails on a wrong password.
    EXPECT_FALSE(ftp.Connect(QString(), QString(), QStringLiteral("wrong"), true, port, true));
    EXPECT_FALSE(ftp.Connected());
    EXPECT_TRUE(ftp.Connect(QString(), QString(), MotDePasse, true, port, true));
    EXPECT_TRUE(ftp.Disconnect());
    EXPECT_EQ(ftp.Host() + ftp.User() + ftp.Password() + ftp.Directory(), QString());

    // Closed, every operation fails and touches nothing.
    writeBytes(surServeur(QStringLiteral("a.txt")), "x");
    QTemporaryDir local;
    const QString fichier = local.filePath(QStringLiteral("a.txt"));
    writeBytes(fichier, "x");
    QStringList liste{QStringLiteral("kept")};
    EXPECT_FALSE(ftp.Disconnect());
    EXPECT_FALSE(ftp.GetFile(QStringLiteral("a.txt"), local.filePath(QStringLiteral("b")), 2));
    EXPECT_FALSE(ftp.PutFile(fichier, QStringLiteral("b.txt"), 2));
    EXPECT_FALSE(ftp.RenameFile(QStringLiteral("a.txt"), QStringLiteral("c.txt")));
    EXPECT_FALSE(ftp.DeleteFile(QStringLiteral("a.txt")));
    EXPECT_EQ(ftp.GetDirectoryList(QString(), QString(), &liste), 1); // the list is left alone
    EXPECT_EQ(QDir(racine->path()).entryList(QDir::Files), QStringList{QStringLiteral("a.txt")});
    EXPECT_EQ(QDir(local.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.txt")});
}

TEST_F(ClientFTP, FilesTravelIntactInBothModes) {
    QByteArray octets;
    for (int i = 0; i < 256; ++i)
        octets.append(char(i));
    const QStringList lignes{QStringLiteral("first line"), QString(), QStringLiteral("third; with tab\t")};
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        QTemporaryDir local;
        const auto ici = [&](const char* nom) { return local.filePath(QString::fromLatin1(nom)); };
        writeBytes(ici("all.bin"), octets);
        writeBytes(ici("text.txt"), lignes.join(QLatin1Char('\n')).toUtf8() + '\n');
        cFTP ftp;
        ASSERT_TRUE(connecter(ftp, passive));

        ASSERT_TRUE(ftp.PutFile(ici("all.bin"), QStringLiteral("all.bin"), cFTP::TransferBinary));
        EXPECT_EQ(readBytes(surServeur(QStringLiteral("all.bin"))), octets);
        ASSERT_TRUE(ftp.GetFile(QStringLiteral("all.bin"), ici("back.bin"), cFTP::TransferBinary));
        EXPECT_EQ(readBytes(ici("back.bin")), octets);

        ASSERT_TRUE(ftp.PutFile(ici("text.txt"), QStringLiteral("text.txt"), cFTP::TransferAscii));
        ASSERT_TRUE(ftp.GetFile(QStringLiteral("text.txt"), ici("back.txt"), cFTP::TransferAscii));
        for (const QString& copie : {surServeur(QStringLiteral("text.txt")), ici("back.txt")})
            EXPECT_EQ(QString::fromUtf8(readBytes(copie)).split(QRegularExpression("\r?\n")),
                      lignes + QStringList{QString()})
                << copie.toStdString();

        EXPECT_FALSE(ftp.isFileExist(QStringLiteral("missing.bin")));
        EXPECT_TRUE(ftp.RenameFile(QStringLiteral("all.bin"), QStringLiteral("renamed.bin")));
        EXPECT_FALSE(ftp.RenameFile(QStringLiteral("all.bin"), QStringLiteral("again.bin")));
        EXPECT_EQ(readBytes(surServeur(QStringLiteral("renamed.bin"))), octets);
        EXPECT_TRUE(ftp.DeleteFile(QStringLiteral("renamed.bin")));
        EXPECT_FALSE(QFile::exists(surServeur(QStringLiteral("renamed.bin"))));
        // A failed get leaves no local file and the connection usable.
        EXPECT_FALSE(ftp.GetFile(QStringLiteral("renamed.bin"), ici("none.bin"), cFTP::TransferBinary));
        EXPECT_FALSE(QFile::exists(ici("none.bin")));
        EXPECT_TRUE(ftp.DeleteFile(QStringLiteral("text.txt")));
        EXPECT_EQ(connexions(), 1); // the login of Connect served every operation, failed ones too
    }
}

TEST_F(ClientFTP, RemoteDirectoryFollowsChangesAndListings) {
    QDir(racine->path()).mkpath(QStringLiteral("data/sub"));
    for (const char* nom : {"a.txt", "a.TXT", "readme", "a.txt.gz", "b.maa", "a.b.txt", "c.maa.gz"})
        writeBytes(surServeur(QStringLiteral("data/") + QLatin1String(nom)), "x");
    writeBytes(surServeur(QStringLiteral("data/sub/deep.txt")), "y");
    cFTP ftp;
    ASSERT_TRUE(connecter(ftp));

    EXPECT_FALSE(ftp.RemoteChDir(QString()));
    EXPECT_FALSE(ftp.RemoteChDir(QStringLiteral("missing")));
    EXPECT_EQ(ftp.remotePath(), QStringLiteral("/"));
    ASSERT_TRUE(ftp.RemoteChDir(QStringLiteral("data\\sub")));
    EXPECT_EQ(ftp.remotePath(), QStringLiteral("/data/sub"));
    EXPECT_TRUE(ftp.isFileExist(QStringLiteral("deep.txt")));
    ASSERT_TRUE(ftp.RemoteChDir(QStringLiteral("/")));

    ftp.setDirectory(QStringLiteral("data"));
    EXPECT_EQ(ftp.remotePath(), QStringLiteral("/data"));
    ASSERT_TRUE(ftp.RemoteChDir(QStringLiteral("..")));

    const struct {
        const char* filtre;
        bool compresses, ajout, premier;
        QStringList avant, attendu;
    } cas[] = {
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
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.filtre) + (c.ajout ? " append" : "") + (c.premier ? " first" : ""));
        QStringList liste = c.avant;
        const int n = ftp.GetDirectoryList(QStringLiteral("data"), QString::fromLatin1(c.filtre), &liste,
                                           c.compresses, c.ajout, c.premier);
        EXPECT_EQ(n, liste.size());
        liste.sort();
        if (c.premier && c.avant.isEmpty())
            EXPECT_EQ(liste.size(), 1);
        else
            EXPECT_EQ(liste, c.attendu);
        EXPECT_EQ(ftp.remotePath(), QStringLiteral("/")); // back up after the listing
    }

    // Without a list, every entry is recorded and the records build up over calls.
    ASSERT_TRUE(ftp.RemoteChDir(QStringLiteral("data")));
    EXPECT_EQ(ftp.GetDirectoryList(QStringLiteral("sub")), 1);
    EXPECT_EQ(ftp.remotePath(), QStringLiteral("/data"));
    EXPECT_EQ(ftp.GetDirectoryList(), 9);
    EXPECT_EQ(ftp.GetDirectoryList(QString(), QString(), nullptr, false, false, true), 10);
    EXPECT_EQ(ftp.Records()[0].name, QStringLiteral("deep.txt"));
}

} // namespace
