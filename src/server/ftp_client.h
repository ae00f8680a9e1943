#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <stdexcept>

// The class's faults: a COM-style number, the member that raised it and a text for the user.
class FtpError : public std::runtime_error {
public:
    FtpError(std::uint32_t number, QString source, QString description);
    std::uint32_t number;
    QString source;
    QString description;
};

// One entry of a remote directory listing.
struct FtpEntry {
    QString name;
    qint64 size = -1; // -1 when the server did not give it
    bool isDirectory = false;
    QString modification; // the server's "YYYYMMDDHHMMSS" stamp, or ""
};

// What the client keeps of the server's replies.
struct FtpReplyLog {
    QString lastLine;           // last reply line received
    bool awaitingReply = false; // a file command was sent and its reply not yet read
    bool commandRefused = false;
};

// A small FTP client: one object, at most one logged-in control connection, kept between the
// operations that follow Connect. File operations report failure as false, never as an exception.
class cFTP {
public:
    static constexpr std::uint32_t ErrInitialization = 0x800407D8;
    static constexpr std::uint32_t ErrConnected = 0x800407D7;
    static constexpr std::uint32_t ErrNotConnected = 0x800407D5;
    static constexpr std::uint32_t ErrDirectory = 0x800407D2;
    static constexpr int TransferAscii = 1;
    static constexpr int TransferBinary = 2;

    cFTP();
    ~cFTP();
    cFTP(const cFTP&) = delete;
    cFTP& operator=(const cFTP&) = delete;

    QString Host() const { return m_host; }
    void setHost(const QString& host);
    QString User() const { return m_user; }
    void setUser(const QString& user);
    QString Password() const { return m_password; }
    void setPassword(const QString& password);
    QString Directory() const { return m_directory; }
    void setDirectory(const QString& directory);
    bool Connected() const { return m_connection != nullptr; }

    bool Connect(const QString& host = {}, const QString& user = {}, const QString& password = {},
                 bool passive = true, int port = 21, bool reconnect = false);
    bool Disconnect();
    // Names of `directory` (the current one when empty) passing `filter` (".txt"; "" or "*.*" for all)
    // go to `target`; without a target every entry is added to Records(). Returns the list's count,
    // or without a target the number of records held.
    int GetDirectoryList(const QString& directory = {}, const QString& filter = {},
                         QStringList* target = nullptr, bool includeCompressed = false, bool append = false,
                         bool firstOnly = false);
    bool GetFile(const QString& remoteFile, const QString& localFile, int transferType = TransferBinary);
    bool isFileExist(const QString& remoteName);
    bool PutFile(const QString& localFile, const QString& remoteFile, int transferType = TransferBinary);
    bool RenameFile(const QString& oldName, const QString& newName);
    bool DeleteFile(const QString& remoteName);
    bool RemoteChDir(const QString& directory);

    // The server's last reply followed by "\r\n", "" before any reply: the detail for a message.
    QString LastResponse() const;
    const QList<FtpEntry>& Records() const { return m_records; }
    // The remote current directory as an absolute path.
    QString remotePath() const;

    // The filter applied to each listed name.
    static bool passesFilter(const QString& name, const QString& filter, bool includeCompressed);

private:
    void prepare(const QStringList& remoteDirs, bool isDirectory);
    QByteArray urlOf() const;
    bool execute();
    void closeConnection();
    bool sendCommands(const QList<QByteArray>& lines);
    QStringList resolve(const QString& path) const;
    QString absolutePath(const QString& name) const;

    void* m_connection = nullptr; // the CURL easy handle of the requests; null when not connected
    void* m_requests = nullptr;   // the CURL multi handle whose cache holds the control connection
    QString m_host, m_user, m_password, m_directory;
    bool m_passive = true;
    int m_port = 21;
    QStringList m_path; // remote current directory, from the root
    FtpReplyLog m_replyLog;
    QList<FtpEntry> m_records;
};
