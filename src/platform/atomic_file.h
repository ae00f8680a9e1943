#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace platform {

// A file written whole or not at all. The bytes go unbuffered into a new file beside the target, so a
// refused write (disk full, quota, size limit) is seen at once; commit() syncs it, gives it the target's
// permissions and renames it over the target. Until then the target keeps its old content, and a file
// that is not committed is removed. A target that is not a regular file (a device) is written in place:
// it has no content to lose. A target that is a symbolic link is written where the link points.
class AtomicFile {
public:
    // Synced: flushed to the disk before the rename (what the user saves). Unsynced: renamed at once,
    // which survives a crash of the program but not of the machine (the undo journal, written per key).
    enum class Durability { Synced, Unsynced };

    explicit AtomicFile(const QString& path, Durability durability = Durability::Synced);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open();
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    bool commit();
    // Drops what was written; the target stays as it was.
    void discard();

    // Why the last step failed, with the system's words ("No space left on device").
    QString errorString() const { return m_error; }
    // After commit: the target had other names (hard links), which keep the previous content.
    bool linkBroken() const { return m_linkBroken; }
    // The file the bytes go to (the link's target for a symbolic link).
    QString targetPath() const { return m_target; }

private:
    bool fail(const QString& what);

    QString m_target;
    Durability m_durability;
    QFile m_file;
    bool m_inPlace = false;
    bool m_linkBroken = false;
    QString m_error;
};

// Writes bytes to path through AtomicFile. Empty on success, else why it failed; linkBroken (optional)
// tells that other hard links of the target kept the old content.
QString writeFileAtomically(const QString& path, const QByteArray& bytes,
                            AtomicFile::Durability durability = AtomicFile::Durability::Synced,
                            bool* linkBroken = nullptr);

} // namespace platform

namespace platform {

// Puts the file `from` in the place of `to` in one step (the name `to` never lacks a whole file).
// Empty on success, else why it failed.
QString replaceFile(const QString& from, const QString& to);

} // namespace platform
