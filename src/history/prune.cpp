// Dropping the old revisions of one server: the branch is rewritten without them, then repacked so that
// their files leave the disk.
#include "history/git_handle.h"
#include "history/history.h"
#include "history/packing.h"
#include "history/repository_lock.h"
#include "history/revision_message.h"

#include <QList>

#include <vector>

namespace history {

namespace {

struct Rewrite {
    git_repository* repo;
    QString server;
    git_oid parent;
    bool hasParent = false;
};

// The commit's tree without the server's folder.
QString withoutServer(const Rewrite& w, const git_tree* tree, git_oid* out) {
    git_treebuilder* raw = nullptr;
    if (git_treebuilder_new(&raw, w.repo, tree) != 0) return git::lastError();
    git::TreeBuilder builder(raw);
    const QByteArray name = w.server.toUtf8();
    if (git_treebuilder_get(builder.get(), name.constData()) &&
        git_treebuilder_remove(builder.get(), name.constData()) != 0)
        return git::lastError();
    if (git_treebuilder_write(out, builder.get()) != 0) return git::lastError();
    return {};
}

// The commit again on the new parent, with its tree (or treeId when given), author and message.
QString copyCommit(Rewrite& w, const git_commit* commit, const git_oid* treeId) {
    git_tree* raw = nullptr;
    if (git_tree_lookup(&raw, w.repo, treeId ? treeId : git_commit_tree_id(commit)) != 0)
        return git::lastError();
    git::Tree tree(raw);
    git::Commit parent;
    if (w.hasParent) {
        git_commit* p = nullptr;
        if (git_commit_lookup(&p, w.repo, &w.parent) != 0) return git::lastError();
        parent.reset(p);
    }
    const git_commit* parents[] = {parent.get()};
    if (git_commit_create(&w.parent, w.repo, nullptr, git_commit_author(commit), git_commit_committer(commit),
                          git_commit_message_encoding(commit), git_commit_message(commit), tree.get(),
                          w.hasParent ? 1 : 0, parents) != 0)
        return git::lastError();
    w.hasParent = true;
    return {};
}

// The commits of the branch, oldest first.
QString allCommits(git_repository* repo, QList<git_oid>& ids) {
    git_revwalk* raw = nullptr;
    if (git_revwalk_new(&raw, repo) != 0) return git::lastError();
    git::Walk walk(raw);
    git_revwalk_sorting(walk.get(), GIT_SORT_TOPOLOGICAL | GIT_SORT_REVERSE);
    if (git_revwalk_push_ref(walk.get(), git::kBranch) != 0) return {};
    git_oid id;
    while (git_revwalk_next(&id, walk.get()) == 0)
        ids << id;
    return {};
}

QString serverOfCommit(const git_commit* commit) {
    return parseMessage(QString::fromUtf8(git_commit_message(commit))).server;
}

} // namespace

int prune(const QString& root, const QString& server, int keep, QString* error) {
    WriteLock lock(root);
    if (!lock.acquire()) return *error = lock.why(), -1;
    git::Repo repo(openOrCreate(root, error));
    if (!repo) return -1;
    QList<git_oid> ids;
    if (*error = allCommits(repo.get(), ids); !error->isEmpty()) return -1;
    std::vector<git::Commit> commits;
    int ofServer = 0;
    for (const git_oid& id : ids) {
        git_commit* c = nullptr;
        if (git_commit_lookup(&c, repo.get(), &id) != 0) return *error = git::lastError(), -1;
        commits.emplace_back(c);
        if (serverOfCommit(c) == server) ++ofServer;
    }
    const int drop = ofServer - keep;
    if (drop <= 0) return 0;

    // Before the first revision kept, the server's folder is gone from every commit and its own commits
    // with it; from there on the commits are copied as they were.
    Rewrite w{repo.get(), server, {}, false};
    int seen = 0;
    for (const git::Commit& commit : commits) {
        const bool own = serverOfCommit(commit.get()) == server;
        if (own) ++seen;
        if (seen > drop) {
            if (*error = copyCommit(w, commit.get(), nullptr); !error->isEmpty()) return -1;
            continue;
        }
        if (own) continue;
        git_tree* t = nullptr;
        if (git_commit_tree(&t, commit.get()) != 0) return *error = git::lastError(), -1;
        git::Tree tree(t);
        git_oid stripped;
        if (*error = withoutServer(w, tree.get(), &stripped); !error->isEmpty()) return -1;
        if (*error = copyCommit(w, commit.get(), &stripped); !error->isEmpty()) return -1;
    }
    git_reference* ref = nullptr;
    if (git_reference_create(&ref, repo.get(), git::kBranch, &w.parent, 1, "prune") != 0)
        return *error = git::lastError(), -1;
    git_reference_free(ref);
    git_reflog_delete(repo.get(), git::kBranch);
    if (*error = repackAll(repo.get(), root); !error->isEmpty()) return -1;
    return drop;
}

} // namespace history
