#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

struct git_repository;

// The history's own lock: libgit2 is not safe across processes on one branch, so every writer holds this
// lock file (in the repository's folder) while it reads the branch, commits and packs. A writer waits for
// another, retrying, and a lock left by a process that died is taken over.
namespace history {

class WriteLock {
public:
    explicit WriteLock(const QString& root);
    // True once held; otherwise why() says why.
    bool acquire();
    QString why() const { return why_; }

private:
    QString root_;
    std::unique_ptr<QLockFile> lock_;
    QString why_;
};

// Opens the repository at root, creating it (bare, branch "main") when there is none. Call with the
// lock held. nullptr with *error set when it cannot.
git_repository* openOrCreate(const QString& root, QString* error);

} // namespace history
