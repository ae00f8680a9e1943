#include "cli/cmd_history.h"

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "flow/tree_diff.h"
#include "platform/atomic_file.h"

#include <QDir>
#include <QTemporaryDir>

namespace cli {

namespace {

const QString kTree = QStringLiteral("arbre.maa");

// A flag without a value: true when it was there.
bool takeFlag(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

int listRevisions(const history::Repository& repo, const AppContext& ctx, const QString& serverText,
                  bool json) {
    const QString server = serverText.isEmpty() ? QString() : serverArgument(serverText, repo.servers());
    const QList<history::Revision> list = repo.revisions(server);
    if (!repo.error().isEmpty()) {
        const QString why =
            say(ctx, "CliHistoryUnreadable", "cannot read the history %1: %2").arg(repo.root(), repo.error());
        if (json) printOut(revisionJson({}, why, kFailure));
        return fail(why);
    }
    const QString msg = say(ctx, "CliHistoryCount", "%1 revisions").arg(list.size());
    printOut(json ? revisionJson(list, msg, kOk) : revisionTable(list));
    return kOk;
}

// The tree of a revision, from the folder of the server it belongs to.
std::optional<QByteArray> treeOf(const history::Repository& repo, const AppContext& ctx, const QString& name,
                                 QString* why) {
    const QString id = repo.resolve(name);
    if (id.isEmpty()) {
        *why = say(ctx, "CliHistoryNoRevision", "no revision %1 in the history %2").arg(name, repo.root());
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = repo.file(id, repo.serverOf(id), kTree);
    if (!bytes) *why = say(ctx, "CliHistoryNoTree", "the revision %1 holds no tree").arg(name);
    return bytes;
}

int showRevision(const history::Repository& repo, const AppContext& ctx, const QStringList& args) {
    QString why;
    const std::optional<QByteArray> bytes = treeOf(repo, ctx, args.at(0), &why);
    if (!bytes) return fail(why);
    if (const QString error = platform::writeFileAtomically(args.at(1), *bytes); !error.isEmpty())
        return fail(QStringLiteral("cannot write ") + args.at(1) + QStringLiteral(": ") + error);
    return kOk;
}

// What a caller would meet differently in the second revision than in the first, as diff prints it.
int diffRevisions(const history::Repository& repo, const AppContext& ctx, const QStringList& args) {
    QTemporaryDir scratch;
    QStringList files;
    for (int i = 0; i < 2; ++i) {
        QString why;
        const std::optional<QByteArray> bytes = treeOf(repo, ctx, args.at(i), &why);
        if (!bytes) return fail(why);
        files << scratch.filePath(QStringLiteral("r%1.maa").arg(i));
        if (const QString error = platform::writeFileAtomically(files.last(), *bytes); !error.isEmpty())
            return fail(QStringLiteral("cannot write ") + files.last() + QStringLiteral(": ") + error);
    }
    return runDiff(files);
}

int pruneServers(const history::Repository& repo, const AppContext& ctx, const QString& serverText,
                 const QString& keepText) {
    bool ok = false;
    const int keep = keepText.toInt(&ok);
    if (!ok || keep < 1) return fail(QStringLiteral("--keep takes a number of revisions, 1 or more"));
    const QStringList known = repo.servers();
    const QStringList servers = serverText.isEmpty() ? known : QStringList{serverArgument(serverText, known)};
    int dropped = 0;
    for (const QString& server : servers) {
        QString error;
        const int n = history::prune(repo.root(), server, keep, &error);
        if (n < 0)
            return fail(
                say(ctx, "CliHistoryPrune", "cannot prune the history %1: %2").arg(repo.root(), error));
        dropped += n;
    }
    printOut(say(ctx, "CliHistoryDropped", "%1 revisions dropped").arg(dropped) + QLatin1Char('\n'));
    return kOk;
}

} // namespace

int runHistory(const QStringList& arguments) {
    QStringList args = arguments;
    QString server, keep;
    const bool json = takeFlag(args, QStringLiteral("--json"));
    if (auto error = takeOption(args, QLatin1String("--server"), server)) return fail(*error);
    if (auto error = takeOption(args, QLatin1String("--keep"), keep)) return fail(*error);
    const QString sub = args.isEmpty() ? QString() : args.first();
    const struct {
        QString name;
        int positional;
        QString words;
    } forms[] = {
        {QStringLiteral("show"), 2, QStringLiteral("history show REV OUT")},
        {QStringLiteral("diff"), 2, QStringLiteral("history diff REV1 REV2")},
        {QStringLiteral("prune"), 0, QStringLiteral("history prune --keep N [--server HOST[:PORT]]")},
    };
    int positional = 0;
    QString words =
        QStringLiteral("history [--server HOST[:PORT]] [--json] | show REV OUT | diff REV1 REV2 | "
                       "prune --keep N");
    for (const auto& form : forms)
        if (sub == form.name) {
            args.removeFirst();
            positional = form.positional;
            words = form.words;
        }
    Options options;
    AppContext ctx;
    if (auto error = startCommand(args, positional, words, options, ctx)) return fail(*error);
    const history::Repository repo(history::historyRoot(ctx));
    if (sub == QLatin1String("show")) return showRevision(repo, ctx, options.positional);
    if (sub == QLatin1String("diff")) return diffRevisions(repo, ctx, options.positional);
    if (sub == QLatin1String("prune")) return pruneServers(repo, ctx, server, keep);
    return listRevisions(repo, ctx, server, json);
}

} // namespace cli
