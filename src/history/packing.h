#pragma once

#include <git2.h>

#include <QString>

// Keeps the repository small as it grows: loose objects are gathered into packs (deltas between the
// revisions of a file), and the packs into one when they are many. Called with the history's lock held.
namespace history {

// Packs when enough loose objects gathered. "" or why it failed (the history stays readable).
QString packIfGrown(git_repository* repo, const QString& root);
// Everything reachable from the branch into one pack; every other pack and loose object removed.
QString repackAll(git_repository* repo, const QString& root);

} // namespace history
