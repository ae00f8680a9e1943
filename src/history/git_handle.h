#pragma once

#include <git2.h>

#include <QString>

#include <memory>

// Owners for libgit2's objects, and the library's start-up.
namespace history::git {

template <typename T, void (*Free)(T*)> struct Deleter {
    void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)> using Owned = std::unique_ptr<T, Deleter<T, Free>>;

using Repo = Owned<git_repository, git_repository_free>;
using Commit = Owned<git_commit, git_commit_free>;
using Tree = Owned<git_tree, git_tree_free>;
using TreeEntry = Owned<git_tree_entry, git_tree_entry_free>;
using TreeBuilder = Owned<git_treebuilder, git_treebuilder_free>;
using Blob = Owned<git_blob, git_blob_free>;
using Walk = Owned<git_revwalk, git_revwalk_free>;
using Signature = Owned<git_signature, git_signature_free>;
using Reference = Owned<git_reference, git_reference_free>;
using PackBuilder = Owned<git_packbuilder, git_packbuilder_free>;
using Object = Owned<git_object, git_object_free>;

// Starts libgit2 once per process.
void start();
// libgit2's message for the last failure of this thread.
QString lastError();
// The id as 40 hex digits.
QString idText(const git_oid& id);

// The branch every revision is on.
inline constexpr char kBranch[] = "refs/heads/main";

} // namespace history::git
