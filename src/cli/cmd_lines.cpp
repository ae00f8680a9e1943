#include "cli/cli_support.h"
#include "cli/commands.h"

#include "lines/line_changes.h"
#include "lines/line_csv.h"
#include "lines/line_server.h"
#include "platform/pacing.h"

#include <QFile>
#include <QTemporaryDir>

namespace cli {

namespace {

// lines-import --check: the file differs from the server's table.
constexpr int kWouldChange = 5;

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

// The server's line table written to CSV for a spreadsheet.
int runLinesExport(const QStringList& args) {
    Options options;
    AppContext ctx;
    QTemporaryDir scratch;
    line_server::LineData data;
    if (auto exit =
            prepare(args, QStringLiteral("lines-export CSV /HADDR:... [/HPORT:...]"), options, ctx, scratch))
        return *exit;
    if (auto exit = loadFromServer(ctx, data)) return *exit;
    QString error;
    if (!exportCsv(data.table, options.positional.first(), ctx.translation, &error)) return fail(error);
    return kOk;
}

// A CSV file made the server's line table; the lines of other applications stay where they are. With
// --check, only what the import would change is printed: exit 0 when nothing, kWouldChange otherwise.
int runLinesImport(const QStringList& arguments) {
    Options options;
    AppContext ctx;
    QTemporaryDir scratch;
    line_server::LineData data;
    QStringList args = arguments;
    const bool check = args.removeAll(QStringLiteral("--check")) > 0;
    if (auto exit = prepare(args, QStringLiteral("lines-import CSV [--check] /HADDR:... [/HPORT:...]"),
                            options, ctx, scratch))
        return *exit;
    QFile csv(options.positional.first());
    if (!csv.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read ") + csv.fileName());
    const QByteArray bytes = csv.readAll();
    // A file that is not a line table is refused before the server is asked anything.
    LineTable probe;
    if (const CsvReport report = readCsv(probe, data.names, bytes); report.refused)
        return fail(csvRefusalText(report, csv.fileName(), ctx.translation));
    if (auto exit = loadFromServer(ctx, data)) return *exit;
    const LineTable before = data.table;
    const CsvReport report = readCsv(data.table, data.names, bytes);
    if (report.skipped > 0) warn(csvSkippedText(report, ctx.translation));
    if (check) {
        const LineChanges changes = compareLineTables(before, data.table);
        printOut(lineChangesText(changes, ctx.translation) + QLatin1Char('\n'));
        return changes.any() ? kWouldChange : kOk;
    }
    QString error;
    if (!line_server::saveLineTable(ctx, data.table, &error)) {
        warn(error);
        return kServerFailure;
    }
    return kOk;
}

} // namespace cli
