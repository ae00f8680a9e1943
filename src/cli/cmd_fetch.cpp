#include "cli/cli_support.h"
#include "cli/commands.h"

#include "platform/pacing.h"
#include "server/server_transfers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

namespace cli {

// Fetches one file of the server into OUT. The file arrives beside OUT under another name and replaces
// it only once whole, so that a failed fetch leaves OUT as it was.
int runFetch(const QStringList& arguments) {
    QStringList args = arguments;
    const QString switches = takeSwitches(args);
    QString remote = server_transfers::TreeFileName;
    if (auto error = takeOption(args, QLatin1String("--remote"), remote)) return fail(*error);
    Options options;
    AppContext ctx;
    if (auto error = startCommand(
            args, 1, QStringLiteral("fetch OUT [--remote NAME] /HADDR:... [/HPORT:...]"), options, ctx))
        return fail(*error);
    QTemporaryDir scratch;
    if (auto error = prepareServer(switches, options, ctx, scratch.path())) return fail(*error);

    const QString& out = options.positional.first();
    QString part;
    {
        QTemporaryFile reserve(out + QStringLiteral(".XXXXXX.part"));
        if (!reserve.open()) return fail(QStringLiteral("cannot write beside ") + out);
        part = reserve.fileName();
    } // removed here: the fetch creates it again
    platform::NoPacing pacing;
    if (!server_transfers::fetchServerFile(ctx, remote, part, pacing)) {
        QFile::remove(part);
        return serverFailure(ctx, QStringLiteral("cannot fetch ") + remote);
    }
    QFile::remove(out);
    if (!QFile::rename(part, out)) {
        QFile::remove(part);
        return fail(QStringLiteral("cannot write ") + out);
    }
    return kOk;
}

} // namespace cli
