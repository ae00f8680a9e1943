#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_report.h"

#include "lines/line_changes.h"
#include "lines/line_csv.h"
#include "lines/line_files.h"
#include "lines/line_server.h"
#include "platform/pacing.h"
#include "server/server_transfers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace cli {

namespace {

// The command's arguments and the server's address, before anything is asked of the server.
std::optional<int> prepare(const QStringList& arguments, const QString& words, Options& options,
                           AppContext& ctx, const QTemporaryDir& scratch) {
    QStringList args = arguments;
    const QString switches = takeSwitches(args);
    if (auto error = startCommand(args, 1, words, options, ctx)) return fail(*error);
    if (auto error = prepareServer(switches, options, ctx, scratch.path())) return fail(*error);
    return std::nullopt;
}

// The line window's load, without the window: applications, then the server's three line files.
std::optional<int> loadFromServer(AppContext& ctx, line_server::LineData& data) {
    platform::NoPacing pacing;
    const QString missing = line_server::loadLineData(ctx, pacing, data);
    if (!missing.isEmpty())
        return serverFailure(ctx, say(ctx, "CliCannotFetch", "cannot fetch %1").arg(missing));
    return std::nullopt;
}

} // namespace

// The server's line table written to CSV for a spreadsheet; changed when the file did.
int runLinesExport(const QStringList& args) {
    Options options;
    AppContext ctx;
    const RevisionNote revision(ctx);
    QTemporaryDir scratch;
    line_server::LineData data;
    if (auto exit = prepare(args, QStringLiteral("lines-export CSV [--json] /HADDR:... [/HPORT:...]"),
                            options, ctx, scratch))
        return *exit;
    if (auto exit = loadFromServer(ctx, data)) return *exit;
    const QString& out = options.positional.first();
    const QByteArray before = server_transfers::fileBytes(out);
    QString error;
    if (!exportCsv(data.table, out, ctx.translation, &error)) return fail(error);
    report().changed = server_transfers::fileBytes(out) != before;
    report().msg = say(ctx, "CliExported", "line table written to %1").arg(out);
    return kOk;
}

// A CSV file made the server's line table; the lines of other applications stay where they are. The
// server's file already holding what would be stored is left alone (unless --force). With --check, only
// what the import would change is printed: exit 0 when the file would stay the same, kWouldChange
// otherwise.
int runLinesImport(const QStringList& arguments) {
    Options options;
    AppContext ctx;
    const RevisionNote revision(ctx);
    QTemporaryDir scratch;
    line_server::LineData data;
    QStringList args = arguments;
    const bool check = args.removeAll(QStringLiteral("--check")) > 0;
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    if (auto exit = prepare(
            args, QStringLiteral("lines-import CSV [--check] [--force] [--json] /HADDR:... [/HPORT:...]"),
            options, ctx, scratch))
        return *exit;
    QFile csv(options.positional.first());
    if (!csv.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read ") + csv.fileName());
    const QByteArray bytes = csv.readAll();
    // A file that is not a line table is refused before the server is asked anything.
    LineTable probe;
    if (const CsvReport read = readCsv(probe, data.names, bytes); read.refused)
        return fail(csvRefusalText(read, csv.fileName(), ctx.translation));
    if (auto exit = loadFromServer(ctx, data)) return *exit;
    const LineTable before = data.table;
    const CsvReport read = readCsv(data.table, data.names, bytes);
    if (read.skipped > 0) warn(csvSkippedText(read, ctx.translation));
    // The bytes decide; the lines say what a person would see change.
    const bool unchanged = lineTableBytes(data.table) ==
                           server_transfers::fileBytes(QDir(ctx.repTMP).filePath(QStringLiteral("rcm.cfg")));
    const LineChanges changes = compareLineTables(before, data.table);
    for (const LineChanges::Line& l : changes.lines)
        report().changes.append({l.name, l.before, l.after});
    report().changed = !unchanged;
    if (check) {
        printOut(lineChangesText(changes, ctx.translation) + QLatin1Char('\n'));
        report().msg = unchanged ? say(ctx, "CliLinesUnchanged",
                                       "unchanged: the server already holds this line table, nothing stored")
                                 : say(ctx, "CliLinesWouldChange",
                                       "an import would change the server's line table; nothing stored");
        printOut(report().msg + QLatin1Char('\n'));
        return unchanged ? kOk : kWouldChange;
    }
    if (unchanged && !force) {
        report().msg = say(ctx, "CliLinesUnchanged",
                           "unchanged: the server already holds this line table, nothing stored");
        printOut(report().msg + QLatin1Char('\n'));
        return kOk;
    }
    QString error;
    if (!line_server::saveLineTable(ctx, data.table, &error)) {
        warn(error);
        return kServerFailure;
    }
    report().msg = say(ctx, "CliLinesStored", "line table stored");
    return kOk;
}

} // namespace cli
