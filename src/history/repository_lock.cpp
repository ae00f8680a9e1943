#include "history/repository_lock.h"

#include "history/git_handle.h"

#include <QDir>
#include <QFile>

namespace history {

namespace {
constexpr int kWaitMs = 15000;
// A writer holds the lock for milliseconds; one held this long belongs to a process that hangs.
constexpr int kStaleMs = 60000;
} // namespace

WriteLock::WriteLock(const QString& root) : root_(root) {}

bool WriteLock::acquire() {
    if (!QDir().mkpath(root_)) {
        why_ = QStringLiteral("cannot create the folder ") + root_;
        return false;
    }
    lock_ = std::make_unique<QLockFile>(QDir(root_).filePath(QStringLiteral("qavo-history.lock")));
    lock_->setStaleLockTime(kStaleMs);
    if (lock_->tryLock(kWaitMs)) return true;
    switch (lock_->error()) {
    case QLockFile::LockFailedError:
        why_ = QStringLiteral("the history is locked by another program");
        break;
    case QLockFile::PermissionError:
        why_ = QStringLiteral("no permission to write in ") + root_;
        break;
    default:
        why_ = QStringLiteral("cannot lock the history in ") + root_;
        break;
    }
    return false;
}

git_repository* openOrCreate(const QString& root, QString* error) {
    git::start();
    const QByteArray path = QFile::encodeName(root);
    git_repository* repo = nullptr;
    if (git_repository_open_ext(&repo, path.constData(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr) == 0)
        return repo;
    if (QFile::exists(QDir(root).filePath(QStringLiteral("HEAD")))) {
        *error = git::lastError(); // there is a repository, but it is damaged
        return nullptr;
    }
    git_repository_init_options options = GIT_REPOSITORY_INIT_OPTIONS_INIT;
    options.flags = GIT_REPOSITORY_INIT_BARE | GIT_REPOSITORY_INIT_MKPATH;
    options.initial_head = "main";
    if (git_repository_init_ext(&repo, path.constData(), &options) != 0) {
        *error = git::lastError();
        return nullptr;
    }
    return repo;
}

} // namespace history
