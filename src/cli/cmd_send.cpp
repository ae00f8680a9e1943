#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_report.h"

#include "core/profile_file.h"
#include "flow/tree_diff.h"
#include "platform/atomic_file.h"
#include "platform/pacing.h"
#include "server/server_transfers.h"
#include "startup/server_info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace cli {

namespace {

namespace st = server_transfers;

// The check command's arguments for FILE against the fetched information file, so that the findings
// print exactly as check prints them.
QStringList checkArguments(const QString& file, const QString& info, const Options& options,
                           const AppContext& ctx) {
    QStringList args{file, QStringLiteral("--info"), info};
    if (!options.translationFile.isEmpty())
        args << QStringLiteral("--translation") << options.translationFile;
    if (!options.lang.isEmpty()) args << QStringLiteral("--lang") << options.lang;
    if (!ctx.FORCEVERSION.isEmpty()) args << QStringLiteral("--force-version") << ctx.FORCEVERSION;
    return args;
}

// What a caller would meet differently once the tree is sent, against the server's tree as backed up
// (none when the server had no tree). Printed one change a line and kept in the report.
void reportChangeLines(AppContext& ctx, const Configuration& config, st::FetchResult previous) {
    Configuration server = makeConfiguration(ctx);
    if (previous == st::FetchResult::Fetched &&
        loadTree(server, st::backupPath(ctx), ctx) != OpenResult::Opened)
        return; // the server's tree does not open here: the bytes alone tell
    // A translation without the diff's captions (a "*" each) would have Qt warn of every line.
    const QuietQtWarnings quiet;
    const flow::Changes changes = flow::compareConfigurations(server, config, ctx);
    reportChanges(changes);
    if (!changes.isEmpty()) printOut(changes.lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

// The sentence that ends the command, on stdout as well.
int finish(const QString& msg, int exitCode) {
    report().msg = msg;
    printOut(msg + QLatin1Char('\n'));
    return exitCode;
}

} // namespace

// Sends a tree as the editor does: the server's information file fetched and read as at start-up, the
// tree verified (nothing sent on errors or a stopped check), the server's previous tree kept, the tree
// stored, then fetched back and compared with what was sent. A server that holds the very bytes a send
// would store is left alone (unless --force); --check stops before the store and tells whether it would
// change the server's tree.
int runSend(const QStringList& arguments) {
    QStringList args = arguments;
    const QString switches = takeSwitches(args);
    QString backup;
    if (auto error = takeOption(args, QLatin1String("--backup"), backup)) return fail(*error);
    const bool checkOnly = args.removeAll(QStringLiteral("--check")) > 0;
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    Options options;
    AppContext ctx;
    const RevisionNote revision(ctx);
    if (auto error = startCommand(
            args, 1,
            QStringLiteral("send FILE [--check] [--force] [--backup PATH] [--json] /HADDR:... [/HPORT:...]"),
            options, ctx))
        return fail(*error);
    QTemporaryDir scratch;
    if (auto error = prepareServer(switches, options, ctx, scratch.path())) return fail(*error);
    const QString& file = options.positional.first();
    // A file that cannot be read is the caller's mistake, whatever the server says.
    if (!QFileInfo(file).isFile()) return fail(openFailure(OpenResult::Missing, file));

    platform::NoPacing pacing;
    const QString info = QDir(ctx.repTMP).filePath(st::InfoFileName);
    if (!st::fetchServerFile(ctx, st::InfoFileName, info, pacing))
        return serverFailure(ctx, say(ctx, "CliCannotFetch", "cannot fetch %1").arg(st::InfoFileName));
    // Without a version the server cannot say which trees it runs.
    if (ProfileFile::load(info).value(QStringLiteral("General"), QStringLiteral("version")).isEmpty()) {
        warn(say(ctx, "CliNoVersion", "the server gives no version in %1: nothing sent")
                 .arg(st::InfoFileName));
        return kServerFailure;
    }

    switch (runCheck(checkArguments(file, info, options, ctx))) {
    case kOk:
        break;
    case 1:
        warn(say(ctx, "CliTreeErrors", "the tree has errors: nothing sent"));
        return 1;
    case 3:
        warn(say(ctx, "CliCheckStopped", "the check stopped: nothing sent"));
        return 3;
    default:
        return kFailure; // runCheck has said why
    }

    if (!loadServerInformation(ctx, info, ctx.FORCEVERSION))
        return fail(QStringLiteral("cannot read server information file ") + info);
    Configuration config = makeConfiguration(ctx);
    if (const OpenResult result = loadTree(config, file, ctx); result != OpenResult::Opened)
        return fail(openFailure(result, file));

    if (const QString error = st::writeTreeToSend(ctx, config); !error.isEmpty())
        return fail(say(ctx, "CliCannotWriteSend", "cannot write the tree for sending in %1: %2")
                        .arg(ctx.repTMP, error));
    // No store without knowing what it replaces: only a server without a tree has nothing to back up.
    const st::FetchResult previous = st::fetchBackup(ctx, pacing);
    if (previous == st::FetchResult::NotATree) {
        warn(say(ctx, "CliServerNotTree", "the server's tree is not a tree file: nothing sent"));
        return kServerFailure;
    }
    if (previous == st::FetchResult::Failed)
        return serverFailure(ctx, say(ctx, "CliNoBackup", "cannot back up the server's tree, nothing sent"));
    if (!backup.isEmpty()) {
        if (previous == st::FetchResult::Absent)
            warn(say(ctx, "CliNoTreeBefore", "the server had no tree before: no backup written"));
        else if (const QString error =
                     platform::writeFileAtomically(backup, st::fileBytes(st::backupPath(ctx)));
                 !error.isEmpty())
            return fail(say(ctx, "CliBackupWrite", "cannot write the backup %1: %2, nothing sent")
                            .arg(backup, error));
    }

    // The bytes decide; the change lines say what a caller would meet (they may be none while the bytes
    // differ: a renumbered menu, an unused schedule).
    const bool unchanged = previous == st::FetchResult::Fetched &&
                           st::fileBytes(st::backupPath(ctx)) == st::fileBytes(st::toSendPath(ctx));
    reportChangeLines(ctx, config, previous);
    report().changed = !unchanged;
    const QString unchangedText =
        say(ctx, "CliSendUnchanged", "unchanged: the server already holds this tree, nothing sent");
    const QString lineCount = QString::number(report().changes.size());
    if (checkOnly)
        return unchanged
                   ? finish(unchangedText, kOk)
                   : finish(say(ctx, "CliSendWouldChange",
                                "a send would change the server's tree (%1 change line(s)); nothing sent")
                                .arg(lineCount),
                            kWouldChange);
    if (unchanged && !force) return finish(unchangedText, kOk);

    QString storeReason;
    switch (st::storeTree(ctx, pacing, previous == st::FetchResult::Absent, &storeReason)) {
    case st::StoreResult::Stored:
    case st::StoreResult::StoredReplyLost:
        break;
    case st::StoreResult::NotStored:
        report().changed = false;
        warn(say(ctx, "CliNotStored", "the server did not take the tree: %1; it keeps its previous tree")
                 .arg(storeReason));
        return kServerFailure;
    case st::StoreResult::Unknown:
        warn(say(ctx, "CliStoreUnknown",
                 "the server did not confirm the store: %1; it may hold the new tree, a fetch will tell")
                 .arg(storeReason));
        return kServerFailure;
    }
    if (st::fetchTree(ctx, ctx.fileServeur, pacing) != st::FetchResult::Fetched)
        return serverFailure(ctx, say(ctx, "CliNotFetchedBack", "tree sent, but cannot fetch it back"));
    if (st::fileBytes(ctx.fileServeur) != st::fileBytes(st::toSendPath(ctx))) {
        warn(say(ctx, "CliDiffersBack", "the tree fetched back differs from the tree sent"));
        return kServerFailure;
    }
    return finish(say(ctx, "CliSent", "tree sent (%1 change line(s))").arg(lineCount), kOk);
}

} // namespace cli
