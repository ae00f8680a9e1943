#pragma once

#include "flow/tree_diff.h"
#include "history/history.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct AppContext;

// The trees the history keeps, as the editor uses them: written out as a file to open, or compared.
namespace revision_trees {

// The name of the server's tree file in each revision.
inline constexpr char TreeFileName[] = "arbre.maa";

// The text a restore is recorded with: "restore of " and the restored revision's date.
QString restoreWhat(const history::Revision& revision);

// The tree file a revision holds; nothing when the revision has none (a line table's event before any
// tree) or the history cannot be read.
std::optional<QByteArray> treeOf(const history::Repository& repository, const history::Revision& revision);

// Writes a revision's tree into folder, as a file named after its server and date; the path, or "" with
// the cause in *error.
QString writeTree(const history::Repository& repository, const history::Revision& revision,
                  const QString& folder, QString* error);

// What changed from the older revision's tree to the newer one's; nothing, with the revision that holds no
// readable tree in *missing, when one cannot be compared.
std::optional<flow::Changes> compare(const history::Repository& repository, const history::Revision& older,
                                     const history::Revision& newer, const AppContext& ctx,
                                     history::Revision* missing);

} // namespace revision_trees
