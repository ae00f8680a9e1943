#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_report.h"

#include "core/profile_file.h"
#include "model/tree_file.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/pacing.h"
#include "server/server_transfers.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace cli {

namespace {

bool bareName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String(".") && name != QLatin1String("..");
}

// A tree or the information file must be one: a login portal's page answered with 200 is not. Other
// files are bytes, taken whole as they come.
QString refusalOf(const AppContext& ctx, const QString& remote, const QByteArray& bytes) {
    if (remote.endsWith(QLatin1String(".maa"), Qt::CaseInsensitive) && !isTreeFileContent(bytes))
        return say(ctx, "CliNotATree", "a tree file");
    if (remote.compare(server_transfers::InfoFileName, Qt::CaseInsensitive) == 0 &&
        !ProfileFile::parse(platform::decodeAnsi(bytes)).hasSection(QStringLiteral("General")))
        return say(ctx, "CliNotInfo", "a server information file");
    return {};
}

} // namespace

// Fetches one file of the server into OUT. The file arrives beside OUT under another name and replaces
// it only once whole and checked, so that a failed fetch leaves OUT as it was.
int runFetch(const QStringList& arguments) {
    QStringList args = arguments;
    const QString switches = takeSwitches(args);
    QString remote = server_transfers::TreeFileName;
    if (auto error = takeOption(args, QLatin1String("--remote"), remote)) return fail(*error);
    Options options;
    AppContext ctx;
    const RevisionNote revision(ctx);
    if (auto error = startCommand(
            args, 1, QStringLiteral("fetch OUT [--remote NAME] [--json] /HADDR:... [/HPORT:...]"), options,
            ctx))
        return fail(*error);
    if (!bareName(remote)) return fail(QStringLiteral("--remote takes a bare file name: ") + remote);
    QTemporaryDir scratch;
    if (auto error = prepareServer(switches, options, ctx, scratch.path())) return fail(*error);

    const QString& out = options.positional.first();
    const QString part = QDir(scratch.path()).filePath(QStringLiteral("fetched.part"));
    platform::NoPacing pacing;
    if (!server_transfers::fetchServerFile(ctx, remote, part, pacing))
        return serverFailure(ctx, say(ctx, "CliCannotFetch", "cannot fetch %1").arg(remote));
    const QByteArray bytes = server_transfers::fileBytes(part);
    if (const QString refusal = refusalOf(ctx, remote, bytes); !refusal.isEmpty()) {
        warn(say(ctx, "CliRefusedFile", "the server's %1 is not %2: %3 kept").arg(remote, refusal, out));
        return kServerFailure;
    }
    // Changed: OUT did not hold these bytes before.
    report().changed = !QFileInfo::exists(out) || server_transfers::fileBytes(out) != bytes;
    if (const QString error = platform::writeFileAtomically(out, bytes); !error.isEmpty()) {
        report().changed = false;
        return fail(QStringLiteral("cannot write ") + out + QStringLiteral(": ") + error);
    }
    report().msg = say(ctx, "CliFetched", "%1 fetched into %2").arg(remote, out);
    return kOk;
}

} // namespace cli
