#include "startup/session_folder.h"

#include "core/app_context.h"
#include "model/undo_journal.h"
#include "platform/atomic_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

namespace {

QString lockPathOf(const QString& folder) {
    QString path = QDir::cleanPath(folder);
    return path + QStringLiteral(".lock");
}

// A lock file that names no owner: a power cut left it empty (its program is long gone), unless it is
// being written right now.
bool namesNoOwner(QLockFile& lock, const QString& path) {
    qint64 pid = 0;
    QString host, app;
    return lock.error() == QLockFile::LockFailedError && !lock.getLockInfo(&pid, &host, &app) &&
           QFileInfo(path).lastModified().secsTo(QDateTime::currentDateTime()) > 10;
}

// A lock that only a living program holds: no age makes it stale, a dead owner does.
std::unique_ptr<QLockFile> tryLock(const QString& folder) {
    const QString path = lockPathOf(folder);
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) return lock;
    if (!namesNoOwner(*lock, path) || !lock->removeStaleLockFile() || !lock->tryLock(0)) return nullptr;
    return lock;
}

} // namespace

QByteArray JournalOwner::toBytes() const {
    const QString text = QStringLiteral("file=") + file + QStringLiteral("\nserver=") + server +
                         QStringLiteral("\nport=") + port + QStringLiteral("\nlogin=") + login +
                         QStringLiteral("\nmodified=") + QString::number(int(modified)) + QLatin1Char('\n');
    return text.toUtf8();
}

JournalOwner JournalOwner::fromBytes(const QByteArray& bytes) {
    JournalOwner owner;
    for (const QString& line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const QString value = line.section(QLatin1Char('='), 1);
        if (key == QLatin1String("file")) owner.file = value;
        if (key == QLatin1String("server")) owner.server = value;
        if (key == QLatin1String("port")) owner.port = value;
        if (key == QLatin1String("login")) owner.login = value;
        if (key == QLatin1String("modified")) owner.modified = value == QLatin1String("1");
    }
    return owner;
}

bool LeftOverJournal::offeredTo(const AppContext& ctx) const {
    if (owner.server.isEmpty()) return true;
    return !ctx.modeLocal && owner.server == ctx.HADDR && owner.port == ctx.HPORT && owner.login == ctx.USER;
}

void LeftOverJournal::keep() {
    if (lock) lock->unlock();
    lock.reset();
}

void LeftOverJournal::remove() {
    // Removed before it is unlocked: no other program ever sees it unlocked and half gone.
    QDir(folder).removeRecursively();
    keep();
}

SessionFolder::SessionFolder(const QString& root) {
    QDir().mkpath(root);
    const QString stem = QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-');
    for (int attempt = 0; attempt < 16 && m_path.isEmpty(); ++attempt) {
        const QString folder =
            QDir(root).filePath(stem + QString::number(QRandomGenerator::global()->generate(), 36));
        // Locked before it exists, so that a program looking for left-overs never takes it for one.
        if (QFileInfo::exists(folder)) continue;
        std::unique_ptr<QLockFile> lock = tryLock(folder);
        if (!lock) continue;
        if (!QDir().mkdir(folder)) continue;
        m_lock = std::move(lock);
        m_path = folder + QLatin1Char('/');
    }
}

SessionFolder::~SessionFolder() {
    for (LeftOverJournal& journal : m_leftOvers)
        journal.keep();
    if (m_path.isEmpty()) return;
    QDir(m_path).removeRecursively();
    m_lock->unlock();
}

bool SessionFolder::recordOwner(const JournalOwner& owner) const {
    if (m_path.isEmpty()) return false;
    return platform::writeFileAtomically(m_path + ownerFileName(), owner.toBytes(),
                                         platform::AtomicFile::Durability::Unsynced)
        .isEmpty();
}

QList<LeftOverJournal> SessionFolder::collectLeftOvers(const QString& root) {
    QList<LeftOverJournal> found;
    const QFileInfoList entries = QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                                           QDir::Time | QDir::Reversed);
    for (const QFileInfo& entry : entries) {
        std::unique_ptr<QLockFile> lock = tryLock(entry.filePath());
        if (!lock) continue; // its program is running
        LeftOverJournal journal;
        journal.folder = entry.filePath();
        QFile ownerFile(QDir(journal.folder).filePath(ownerFileName()));
        if (ownerFile.open(QIODevice::ReadOnly)) journal.owner = JournalOwner::fromBytes(ownerFile.readAll());
        journal.lastStep = UndoJournal::lastWholeStep(journal.folder);
        journal.lock = std::move(lock);
        if (!journal.owner.modified || journal.lastStep.isEmpty()) {
            journal.remove(); // nothing in it that was not saved, or nothing left to restore
            continue;
        }
        journal.written = QFileInfo(journal.lastStep).lastModified();
        found.append(std::move(journal));
    }
    return found;
}
