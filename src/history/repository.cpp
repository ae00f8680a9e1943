// Reading the history: servers, revisions, files, and the names of revisions.
#include "history/git_handle.h"
#include "history/history.h"
#include "history/revision_message.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace history {

namespace {

Revision revisionOf(const git_commit* commit) {
    Revision r;
    r.id = git::idText(*git_commit_id(commit));
    r.when = QDateTime::fromSecsSinceEpoch(git_commit_time(commit));
    const git_signature* author = git_commit_author(commit);
    r.author = QString::fromUtf8(author->name);
    r.email = QString::fromUtf8(author->email);
    r.message = QString::fromUtf8(git_commit_message(commit));
    const MessageParts parts = parseMessage(r.message);
    r.server = parts.server;
    r.what = parts.what;
    r.changes = parts.changes;
    return r;
}

} // namespace

Repository::Repository(QString root) : root_(std::move(root)) {}

Repository::~Repository() {
    git_repository_free(repo_);
}

bool Repository::open() const {
    error_.clear();
    if (repo_) return true;
    git::start();
    if (!QFile::exists(QDir(root_).filePath(QStringLiteral("HEAD")))) return false; // no history yet
    if (git_repository_open_ext(&repo_, QFile::encodeName(root_).constData(), GIT_REPOSITORY_OPEN_NO_SEARCH,
                                nullptr) != 0) {
        repo_ = nullptr;
        error_ = git::lastError();
        return false;
    }
    return true;
}

QStringList Repository::servers() const {
    QStringList names;
    if (!open()) return names;
    git_oid id;
    git_commit* raw = nullptr;
    if (git_reference_name_to_id(&id, repo_, git::kBranch) != 0 || git_commit_lookup(&raw, repo_, &id) != 0)
        return names;
    git::Commit commit(raw);
    git_tree* treeRaw = nullptr;
    if (git_commit_tree(&treeRaw, commit.get()) != 0) {
        error_ = git::lastError();
        return names;
    }
    git::Tree tree(treeRaw);
    for (size_t i = 0, n = git_tree_entrycount(tree.get()); i < n; ++i) {
        const git_tree_entry* entry = git_tree_entry_byindex(tree.get(), i);
        if (git_tree_entry_type(entry) == GIT_OBJECT_TREE)
            names << QString::fromUtf8(git_tree_entry_name(entry));
    }
    names.sort();
    return names;
}

QList<Revision> Repository::revisions(const QString& server, int limit) const {
    QList<Revision> list;
    if (!open()) return list;
    git_revwalk* raw = nullptr;
    if (git_revwalk_new(&raw, repo_) != 0) {
        error_ = git::lastError();
        return list;
    }
    git::Walk walk(raw);
    git_revwalk_sorting(walk.get(), GIT_SORT_TOPOLOGICAL);
    if (git_revwalk_push_ref(walk.get(), git::kBranch) != 0) return list; // no revision yet
    git_oid id;
    while ((limit < 0 || list.size() < limit) && git_revwalk_next(&id, walk.get()) == 0) {
        git_commit* c = nullptr;
        if (git_commit_lookup(&c, repo_, &id) != 0) {
            error_ = git::lastError();
            break;
        }
        git::Commit commit(c);
        Revision r = revisionOf(commit.get());
        if (server.isEmpty() || r.server == server) list << std::move(r);
    }
    return list;
}

std::optional<QByteArray> Repository::file(const QString& revision, const QString& server,
                                           const QString& name) const {
    const QString id = resolve(revision);
    if (id.isEmpty()) return std::nullopt;
    git_oid oid;
    git_commit* c = nullptr;
    git_oid_fromstr(&oid, id.toLatin1().constData());
    if (git_commit_lookup(&c, repo_, &oid) != 0) {
        error_ = git::lastError();
        return std::nullopt;
    }
    git::Commit commit(c);
    git_tree* t = nullptr;
    git_tree_entry* e = nullptr;
    if (git_commit_tree(&t, commit.get()) != 0) {
        error_ = git::lastError();
        return std::nullopt;
    }
    git::Tree tree(t);
    if (git_tree_entry_bypath(&e, tree.get(), (server + QLatin1Char('/') + name).toUtf8().constData()) != 0)
        return std::nullopt;
    git::TreeEntry entry(e);
    git_blob* b = nullptr;
    if (git_blob_lookup(&b, repo_, git_tree_entry_id(entry.get())) != 0) {
        error_ = git::lastError();
        return std::nullopt;
    }
    git::Blob blob(b);
    return QByteArray(static_cast<const char*>(git_blob_rawcontent(blob.get())),
                      qsizetype(git_blob_rawsize(blob.get())));
}

QString Repository::resolve(const QString& name) const {
    if (!open()) return {};
    static const QRegularExpression back(QStringLiteral("^(.+)@\\{(\\d+)\\}$"));
    if (const QRegularExpressionMatch m = back.match(name.trimmed()); m.hasMatch()) {
        const int n = m.captured(2).toInt();
        const QList<Revision> list = revisions(m.captured(1), n + 1);
        return list.size() == n + 1 ? list.last().id : QString();
    }
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{4,40}$"));
    if (!hex.match(name.trimmed()).hasMatch()) return {};
    const QByteArray text = name.trimmed().toLower().toLatin1();
    git_oid oid;
    if (git_oid_fromstrn(&oid, text.constData(), size_t(text.size())) != 0) return {};
    git_object* raw = nullptr;
    if (git_object_lookup_prefix(&raw, repo_, &oid, size_t(text.size()), GIT_OBJECT_COMMIT) != 0) {
        // An abbreviation that fits several revisions names none.
        error_ = git::lastError();
        return {};
    }
    git::Object object(raw);
    return git::idText(*git_object_id(object.get()));
}

QString Repository::serverOf(const QString& revision) const {
    const QString id = resolve(revision);
    if (id.isEmpty()) return {};
    git_oid oid;
    git_oid_fromstr(&oid, id.toLatin1().constData());
    git_commit* c = nullptr;
    if (git_commit_lookup(&c, repo_, &oid) != 0) return {};
    git::Commit commit(c);
    return revisionOf(commit.get()).server;
}

} // namespace history
