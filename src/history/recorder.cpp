// Recording one event: the files into the server's folder of a new commit on the branch, under the
// history's lock.
#include "history/git_handle.h"
#include "history/history.h"
#include "history/packing.h"
#include "history/repository_lock.h"
#include "history/revision_message.h"

#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "startup/debug_log.h"

namespace history {

namespace {

// The tree of the branch's last commit (nullptr on a new repository) and that commit.
struct Tip {
    git::Commit commit;
    git::Tree tree;
};

QString readTip(git_repository* repo, Tip& tip) {
    git_oid id;
    const int found = git_reference_name_to_id(&id, repo, git::kBranch);
    if (found == GIT_ENOTFOUND) return {};
    git_commit* commit = nullptr;
    git_tree* tree = nullptr;
    if (found != 0 || git_commit_lookup(&commit, repo, &id) != 0) return git::lastError();
    tip.commit.reset(commit);
    if (git_commit_tree(&tree, commit) != 0) return git::lastError();
    tip.tree.reset(tree);
    return {};
}

// The server's folder in the tip (nullptr when the server has none yet).
QString serverTree(git_repository* repo, const Tip& tip, const QString& server, git::Tree& out) {
    if (!tip.tree) return {};
    const git_tree_entry* entry = git_tree_entry_byname(tip.tree.get(), server.toUtf8().constData());
    if (!entry || git_tree_entry_type(entry) != GIT_OBJECT_TREE) return {};
    git_tree* tree = nullptr;
    if (git_tree_lookup(&tree, repo, git_tree_entry_id(entry)) != 0) return git::lastError();
    out.reset(tree);
    return {};
}

// Writes the files as blobs into the folder; *changed when one differs from what the folder held.
QString buildFolder(git_repository* repo, const git_tree* before, const Files& files, git_oid* folder,
                    bool* changed) {
    git_treebuilder* raw = nullptr;
    if (git_treebuilder_new(&raw, repo, before) != 0) return git::lastError();
    git::TreeBuilder builder(raw);
    for (const auto& [name, bytes] : files) {
        git_oid blob;
        if (git_blob_create_from_buffer(&blob, repo, bytes.constData(), size_t(bytes.size())) != 0)
            return git::lastError();
        const QByteArray fileName = name.toUtf8();
        const git_tree_entry* old = git_treebuilder_get(builder.get(), fileName.constData());
        if (old && git_oid_equal(git_tree_entry_id(old), &blob)) continue;
        *changed = true;
        if (git_treebuilder_insert(nullptr, builder.get(), fileName.constData(), &blob, GIT_FILEMODE_BLOB) !=
            0)
            return git::lastError();
    }
    if (*changed && git_treebuilder_write(folder, builder.get()) != 0) return git::lastError();
    return {};
}

QString commitFolder(git_repository* repo, const Tip& tip, const QString& server, const git_oid& folder,
                     const QString& message, const QString& author, const QString& email, git_oid* made) {
    git_treebuilder* raw = nullptr;
    if (git_treebuilder_new(&raw, repo, tip.tree.get()) != 0) return git::lastError();
    git::TreeBuilder root(raw);
    git_oid rootId;
    if (git_treebuilder_insert(nullptr, root.get(), server.toUtf8().constData(), &folder,
                               GIT_FILEMODE_TREE) != 0 ||
        git_treebuilder_write(&rootId, root.get()) != 0)
        return git::lastError();
    git_tree* treeRaw = nullptr;
    if (git_tree_lookup(&treeRaw, repo, &rootId) != 0) return git::lastError();
    git::Tree tree(treeRaw);
    git_signature* sigRaw = nullptr;
    if (git_signature_now(&sigRaw, author.toUtf8().constData(), email.toUtf8().constData()) != 0)
        return git::lastError();
    git::Signature sig(sigRaw);
    const git_commit* parents[] = {tip.commit.get()};
    // The branch moves only from the tip read above: a writer that slipped past the lock fails here.
    if (git_commit_create(made, repo, git::kBranch, sig.get(), sig.get(), nullptr,
                          message.toUtf8().constData(), tree.get(), tip.commit ? 1 : 0, parents) != 0)
        return git::lastError();
    return {};
}

// A name git accepts in a signature: no angle brackets, never empty.
QString signatureText(QString text) {
    text.remove(QLatin1Char('<')).remove(QLatin1Char('>')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    text = text.trimmed();
    return text.isEmpty() ? QStringLiteral("qavo") : text;
}

} // namespace

QString recordAt(const QString& root, const QString& server, const QString& what, const Files& files,
                 const QStringList& changeLines, const QString& author, const QString& email,
                 QString* newRevision) {
    if (newRevision) newRevision->clear();
    if (server.isEmpty() || files.isEmpty()) return {};
    WriteLock lock(root);
    if (!lock.acquire()) return lock.why();
    QString error;
    git::Repo repo(openOrCreate(root, &error));
    if (!repo) return error;
    Tip tip;
    if (error = readTip(repo.get(), tip); !error.isEmpty()) return error;
    git::Tree before;
    if (error = serverTree(repo.get(), tip, server, before); !error.isEmpty()) return error;
    git_oid folder;
    bool changed = false;
    if (error = buildFolder(repo.get(), before.get(), files, &folder, &changed); !error.isEmpty())
        return error;
    if (!changed) return {};
    git_oid made;
    if (error = commitFolder(repo.get(), tip, server, folder, composeMessage(what, server, changeLines),
                             signatureText(author), signatureText(email), &made);
        !error.isEmpty())
        return error;
    if (newRevision) *newRevision = git::idText(made);
    // The commit stands; a failed packing only leaves more loose objects for the next time.
    packIfGrown(repo.get(), root);
    return {};
}

QString record(const AppContext& ctx, const QString& server, const QString& what, const Files& files,
               const QStringList& changeLines, DiagnosticsSink* diagnostics) {
    const QString login = ctx.USER.trimmed().isEmpty() ? systemUser() : ctx.USER.trimmed();
    QString revision;
    QString error;
    try {
        error = recordAt(historyRoot(ctx), server, what, files, changeLines, systemUser(),
                         login + QLatin1Char('@') + server, &revision);
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    if (error.isEmpty()) return revision;
    QString text = ctx.getLabel(QStringLiteral("ErrHistorique"));
    if (text == QLatin1String("*")) text = QStringLiteral("History not recorded: $RAISON$");
    text.replace(QStringLiteral("$RAISON$"), error);
    writeDebugLog(ctx, text);
    if (diagnostics) diagnostics->AjouteInfo(text, DiagnosticsSink::Warning, QString());
    return {};
}

} // namespace history
