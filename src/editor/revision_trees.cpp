#include "editor/revision_trees.h"

#include "core/app_context.h"
#include "model/configuration.h"
#include "model/tree_file.h"

#include <QDir>
#include <QTemporaryFile>

namespace revision_trees {

namespace {

// A tree from the history as a configuration, read the way a tree file is opened.
std::optional<Configuration> loadRevision(const history::Repository& repository,
                                          const history::Revision& revision, const AppContext& ctx) {
    const std::optional<QByteArray> bytes = treeOf(repository, revision);
    if (!bytes) return std::nullopt;
    QTemporaryFile file(QDir(ctx.repTMP).filePath(QStringLiteral("revision_XXXXXX.maa")));
    if (!file.open() || file.write(*bytes) != bytes->size() || !file.flush()) return std::nullopt;
    Configuration config = makeConfiguration(ctx);
    if (openTreeFile(config, file.fileName(), ctx) != OpenResult::Opened) return std::nullopt;
    return config;
}

} // namespace

QString restoreWhat(const history::Revision& revision) {
    return QStringLiteral("restore of ") + revision.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<QByteArray> treeOf(const history::Repository& repository, const history::Revision& revision) {
    return repository.file(revision.id, revision.server, QString::fromLatin1(TreeFileName));
}

QString writeTree(const history::Repository& repository, const history::Revision& revision,
                  const QString& folder, QString* error) {
    const std::optional<QByteArray> bytes = treeOf(repository, revision);
    if (!bytes) {
        *error = repository.error();
        return {};
    }
    // The title bar shows the file's name: it says which server and which moment the tree is from.
    const QString name = revision.server + QLatin1Char('_') +
                         revision.when.toString(QStringLiteral("yyyyMMdd_HHmmss")) + QStringLiteral(".maa");
    const QString path = QDir(folder).filePath(name);
    *error = writeTreeFile(path, *bytes);
    return error->isEmpty() ? path : QString();
}

std::optional<flow::Changes> compare(const history::Repository& repository, const history::Revision& older,
                                     const history::Revision& newer, const AppContext& ctx,
                                     history::Revision* missing) {
    const std::optional<Configuration> before = loadRevision(repository, older, ctx);
    if (!before) {
        *missing = older;
        return std::nullopt;
    }
    const std::optional<Configuration> after = loadRevision(repository, newer, ctx);
    if (!after) {
        *missing = newer;
        return std::nullopt;
    }
    return flow::compareConfigurations(*before, *after, ctx);
}

} // namespace revision_trees
