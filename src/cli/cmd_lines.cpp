#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_report.h"

#include "lines/line_changes.h"
#include "lines/line_csv.h"
#include "lines/line_files.h"
#include "lines/line_server.h"
#include "lines/lines500.h"
#include "platform/pacing.h"
#include "server/server_transfers.h"
#include "startup/server_info.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

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

// The server's generation, from its information file: generation 900 keeps its lines in "rcm.cfg",
// older servers answer information requests for binary line records.
std::optional<int> readGeneration(AppContext& ctx) {
    platform::NoPacing pacing;
    const QString info = QDir(ctx.repTMP).filePath(server_transfers::InfoFileName);
    if (!server_transfers::fetchServerFile(ctx, server_transfers::InfoFileName, info, pacing))
        return serverFailure(
            ctx, say(ctx, "CliCannotFetch", "cannot fetch %1").arg(server_transfers::InfoFileName));
    if (!loadServerInformation(ctx, info, ctx.FORCEVERSION) || ctx.VERSION_generel.isEmpty()) {
        warn(say(ctx, "CliNoLineGeneration", "the server gives no version in %1: its line table is unknown")
                 .arg(server_transfers::InfoFileName));
        return kServerFailure;
    }
    return std::nullopt;
}

std::optional<int> read500(AppContext& ctx, Lines500& lines) {
    if (lines.read()) return std::nullopt;
    return serverFailure(ctx, say(ctx, "CliCannotReadLines", "cannot read the server's line table"));
}

// The server's lines as the CSV file of the line window of their generation.
std::optional<int> exportTable(AppContext& ctx, const QString& out) {
    QString error;
    if (ctx.VERSION_900) {
        line_server::LineData data;
        if (auto exit = loadFromServer(ctx, data)) return *exit;
        exportCsv(data.table, out, ctx.translation, &error);
    } else {
        Lines500 lines(ctx);
        if (auto exit = read500(ctx, lines)) return *exit;
        error = writeLineFile(out, lines.exportCsvBytes(), ctx.translation);
    }
    if (!error.isEmpty()) return fail(error);
    return std::nullopt;
}

// The end of an import once the table is known: the change lines, then the check's answer,
// "unchanged", or the store.
int finishImport(AppContext& ctx, const LineChanges& changes, bool unchanged, bool check, bool force,
                 const std::function<QString()>& store) {
    for (const LineChanges::Line& l : changes.lines)
        report().changes.append({l.name, l.before, l.after});
    report().changed = !unchanged;
    const QString same =
        say(ctx, "CliLinesUnchanged", "unchanged: the server already holds this line table, nothing stored");
    if (check) {
        printOut(lineChangesText(changes, ctx.translation) + QLatin1Char('\n'));
        report().msg = unchanged ? same
                                 : say(ctx, "CliLinesWouldChange",
                                       "an import would change the server's line table; nothing stored");
        printOut(report().msg + QLatin1Char('\n'));
        return unchanged ? kOk : kWouldChange;
    }
    if (unchanged && !force) {
        report().msg = same;
        printOut(report().msg + QLatin1Char('\n'));
        return kOk;
    }
    if (const QString error = store(); !error.isEmpty()) {
        warn(error);
        return kServerFailure;
    }
    report().msg = say(ctx, "CliLinesStored", "line table stored");
    return kOk;
}

// Generation 900: the lines of other applications stay where they are; the bytes of "rcm.cfg" decide.
int import900(AppContext& ctx, const QString& path, const QByteArray& bytes, bool check, bool force) {
    line_server::LineData data;
    // A file that is not a line table is refused before the lines are asked for.
    LineTable probe;
    if (const CsvReport read = readCsv(probe, data.names, bytes); read.refused)
        return fail(csvRefusalText(read, path, ctx.translation));
    if (auto exit = loadFromServer(ctx, data)) return *exit;
    const LineTable before = data.table;
    const CsvReport read = readCsv(data.table, data.names, bytes);
    if (read.skipped > 0) warn(csvSkippedText(read, ctx.translation));
    const bool unchanged = lineTableBytes(data.table) ==
                           server_transfers::fileBytes(QDir(ctx.repTMP).filePath(QStringLiteral("rcm.cfg")));
    return finishImport(ctx, compareLineTables(before, data.table), unchanged, check, force, [&] {
        QString error;
        line_server::saveLineTable(ctx, data.table, &error);
        return error;
    });
}

// Generation 500: line records, the rows of other applications protected; the records decide.
int import500(AppContext& ctx, const QString& path, const QByteArray& bytes, bool check, bool force) {
    Lines500 lines(ctx);
    if (auto exit = read500(ctx, lines)) return *exit;
    const Import500 import = lines.previewCsv(bytes);
    if (import.report.refused)
        return fail(csvRefusalText(import.report, path, ctx.translation, kCsvFields500));
    if (import.report.skipped > 0)
        warn(csvSkippedText(import.report, ctx.translation, kCsvFields500, lines.lineCount()));
    lines.applyImport(import);
    return finishImport(ctx, import.changes, !lines.isModified(), check, force,
                        [&] { return lines.write(); });
}

} // namespace

// The server's line table written to CSV for a spreadsheet; changed when the file did.
int runLinesExport(const QStringList& args) {
    Options options;
    AppContext ctx;
    const RevisionNote revision(ctx);
    QTemporaryDir scratch;
    if (auto exit = prepare(args, QStringLiteral("lines-export CSV [--json] /HADDR:... [/HPORT:...]"),
                            options, ctx, scratch))
        return *exit;
    if (auto exit = readGeneration(ctx)) return *exit;
    const QString& out = options.positional.first();
    const QByteArray before = server_transfers::fileBytes(out);
    if (auto exit = exportTable(ctx, out)) return *exit;
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
    QStringList args = arguments;
    const bool check = args.removeAll(QStringLiteral("--check")) > 0;
    // A dry run leaves no trace in the history.
    if (check) server_transfers::setTransferRecorder({});
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    if (auto exit = prepare(
            args, QStringLiteral("lines-import CSV [--check] [--force] [--json] /HADDR:... [/HPORT:...]"),
            options, ctx, scratch))
        return *exit;
    QFile csv(options.positional.first());
    if (!csv.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read ") + csv.fileName());
    const QByteArray bytes = csv.readAll();
    if (auto exit = readGeneration(ctx)) return *exit;
    return ctx.VERSION_900 ? import900(ctx, csv.fileName(), bytes, check, force)
                           : import500(ctx, csv.fileName(), bytes, check, force);
}

} // namespace cli
