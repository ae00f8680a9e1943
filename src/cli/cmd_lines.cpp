#include "cli/cli_support.h"
#include "cli/commands.h"

#include "lines/line_csv.h"
#include "lines/line_server.h"
#include "platform/pacing.h"

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
    if (!missing.isEmpty()) return serverFailure(ctx, QStringLiteral("cannot fetch ") + missing);
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

// A CSV file made the server's line table; the lines of other applications stay where they are.
int runLinesImport(const QStringList& args) {
    Options options;
    AppContext ctx;
    QTemporaryDir scratch;
    line_server::LineData data;
    if (auto exit =
            prepare(args, QStringLiteral("lines-import CSV /HADDR:... [/HPORT:...]"), options, ctx, scratch))
        return *exit;
    QFile csv(options.positional.first());
    if (!csv.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read ") + csv.fileName());
    const QByteArray bytes = csv.readAll();
    if (auto exit = loadFromServer(ctx, data)) return *exit;
    readCsv(data.table, data.names, bytes);
    QString error;
    if (!line_server::saveLineTable(ctx, data.table, &error)) {
        warn(QStringLiteral("the line table was not stored: ") + error);
        return kServerFailure;
    }
    return kOk;
}

} // namespace cli
