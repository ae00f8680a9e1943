#include "history/transfer_recorder.h"

#include "history/history.h"

#include "core/app_context.h"
#include "flow/tree_diff.h"
#include "model/configuration.h"
#include "model/tree_file.h"
#include "server/server_transfers.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

namespace history {

namespace {

bool loadBytes(Configuration& config, const QString& path, const QByteArray& bytes, const AppContext& ctx) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return false;
    file.close();
    ChargementArbres(config, path, ctx);
    return true;
}

// While it lives, Qt's warnings are dropped: a translation without the call-flow captions makes the
// comparison warn about each caption, and the history must not fill the program's stderr.
class QuietWarnings {
public:
    QuietWarnings() : previous_(qInstallMessageHandler(drop)) {}
    ~QuietWarnings() { qInstallMessageHandler(previous_); }
    QuietWarnings(const QuietWarnings&) = delete;
    QuietWarnings& operator=(const QuietWarnings&) = delete;

private:
    static void drop(QtMsgType, const QMessageLogContext&, const QString&) {}
    QtMessageHandler previous_;
};

QStringList treeChanges(const AppContext& ctx, const QByteArray& before, const QByteArray& after) {
    const QuietWarnings quiet;
    QTemporaryDir scratch;
    Configuration was = makeConfiguration(ctx), now = makeConfiguration(ctx);
    if (!scratch.isValid() || !loadBytes(was, scratch.filePath(QStringLiteral("before.maa")), before, ctx) ||
        !loadBytes(now, scratch.filePath(QStringLiteral("after.maa")), after, ctx))
        return {};
    return flow::compareConfigurations(was, now, ctx).lines;
}

QStringList textChanges(const QByteArray& before, const QByteArray& after) {
    const QList<QByteArray> was = before.split('\n'), now = after.split('\n');
    const QSet<QByteArray> wasSet(was.begin(), was.end()), nowSet(now.begin(), now.end());
    QStringList lines;
    for (const QByteArray& line : was)
        if (!line.trimmed().isEmpty() && !nowSet.contains(line))
            lines << QStringLiteral("- ") + QString::fromLatin1(line.trimmed());
    for (const QByteArray& line : now)
        if (!line.trimmed().isEmpty() && !wasSet.contains(line))
            lines << QStringLiteral("+ ") + QString::fromLatin1(line.trimmed());
    return lines;
}

void recordEvent(AppContext& ctx, const QString& what, const server_transfers::TransferFiles& files,
                 DiagnosticsSink* diagnostics) {
    const QString server = serverFolderOf(ctx);
    QStringList lines;
    {
        const Repository repo(historyRoot(ctx));
        const QString last = repo.resolve(server + QStringLiteral("@{0}"));
        for (const auto& [name, bytes] : files) {
            const std::optional<QByteArray> before =
                last.isEmpty() ? std::nullopt : repo.file(last, server, name);
            if (before && *before != bytes) lines << changeLines(ctx, name, *before, bytes);
        }
    }
    const QString revision = record(ctx, server, what, files, lines, diagnostics);
    if (!revision.isEmpty()) ctx.lastRevision = revision;
}

} // namespace

QStringList changeLines(const AppContext& ctx, const QString& name, const QByteArray& before,
                        const QByteArray& after) {
    if (name.endsWith(QLatin1String(".maa"), Qt::CaseInsensitive)) return treeChanges(ctx, before, after);
    return textChanges(before, after);
}

void installTransferRecorder(DiagnosticsProvider diagnostics) {
    server_transfers::setTransferRecorder(
        [diagnostics](AppContext& ctx, const QString& what, const server_transfers::TransferFiles& files) {
            try {
                recordEvent(ctx, what, files, diagnostics ? diagnostics() : nullptr);
            } catch (...) {
                // The history never stops a transfer.
            }
        });
}

} // namespace history
