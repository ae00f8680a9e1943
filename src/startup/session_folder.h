#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

class QLockFile;
struct AppContext;

// What a journal belongs to, recorded beside it so that a later start can offer it back. Never holds a
// password.
struct JournalOwner {
    QString file;   // the local tree file ("" for a new tree not saved yet, or a server's tree)
    QString server; // server address, "" for a local tree
    QString port;
    QString login;
    bool modified = false; // the tree held changes that were not saved

    QByteArray toBytes() const;
    static JournalOwner fromBytes(const QByteArray& bytes);
    bool operator==(const JournalOwner&) const = default;
};

// A journal left by an editor that is no longer running. Its folder stays locked by this program until
// it is restored, deleted or kept for later, so that another editor starting meanwhile does not offer it
// too.
struct LeftOverJournal {
    QString folder;
    JournalOwner owner;
    QString lastStep; // the last whole step of the journal
    QDateTime written;
    std::shared_ptr<QLockFile> lock;

    // A server's journal is offered only online against that same server and login.
    bool offeredTo(const AppContext& ctx) const;
    // Kept for a later start.
    void keep();
    // The folder and everything in it deleted.
    void remove();
};

// The temporary folder of one running program: a folder of its own under the work folder's TMP/,
// held by a lock file beside it ("<name>.lock"), so that a folder whose program is gone is known as
// left over. The journal, the server's files and the owner record live in it.
class SessionFolder {
public:
    // Makes and locks a new folder under root; path() is "" when that failed.
    explicit SessionFolder(const QString& root);
    // A program that ends normally leaves nothing behind: its folder is removed.
    ~SessionFolder();
    SessionFolder(const SessionFolder&) = delete;
    SessionFolder& operator=(const SessionFolder&) = delete;

    // The folder, ending with a separator.
    QString path() const { return m_path; }
    // Writes what the journal belongs to; false when it cannot be written.
    bool recordOwner(const JournalOwner& owner) const;

    // Left-over folders under root: those whose journal holds unsaved changes are returned, locked;
    // the others are removed. Folders of running programs are left alone.
    static QList<LeftOverJournal> collectLeftOvers(const QString& root);
    // The journals collected at start-up that are still waiting to be offered.
    QList<LeftOverJournal>& leftOvers() { return m_leftOvers; }

    static QString ownerFileName() { return QStringLiteral("owner.ini"); }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QList<LeftOverJournal> m_leftOvers;
};
