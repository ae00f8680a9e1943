#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_report.h"

#include "flow/call_walk.h"

#include <QDateTime>

namespace cli {

namespace {

std::optional<QDateTime> parseMoment(const QString& text) {
    for (const char* format : {"yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm", "yyyy-MM-dd HH:mm:ss"}) {
        const QDateTime at = QDateTime::fromString(text.trimmed(), QLatin1String(format));
        if (at.isValid()) return at;
    }
    return std::nullopt;
}

} // namespace

// Walks a tree as the server answers a call: one step per line, or with --json the report with its
// "steps".
int runCall(const QStringList& arguments) {
    QStringList args = arguments;
    QString tree = QStringLiteral("1"), at, keys;
    for (const auto& [name, value] :
         {std::pair{QLatin1String("--tree"), &tree}, std::pair{QLatin1String("--at"), &at},
          std::pair{QLatin1String("--keys"), &keys}})
        if (auto error = takeOption(args, name, *value)) return fail(*error);
    Options options;
    AppContext ctx;
    if (auto error = startCommand(
            args, 1,
            QStringLiteral("call FILE [--tree N] [--at \"yyyy-MM-dd HH:mm\"] [--keys 1,3,silence,fail]"
                           " [--json]"),
            options, ctx)) {
        // The configuration does not say which key chooses which language: the walk assumes one.
        if (error->startsWith(QLatin1String("usage:")))
            *error +=
                QStringLiteral("\n  A tree that offers several languages takes the caller's first key n as"
                               " the choice of its n-th language (an assumption, said in that step).\n"
                               "  --json steps carry \"action\": transfer, operator, announcement,"
                               " voicebox, free-dialling, menu, jump, return, language, none, unknown.");
        return fail(*error);
    }
    bool ok = false;
    const int number = tree.toInt(&ok);
    if (!ok || number < 1 || number > 5) return fail(QStringLiteral("--tree takes 1 to 5, not ") + tree);
    const std::optional<QDateTime> moment = at.isEmpty() ? QDateTime::currentDateTime() : parseMoment(at);
    if (!moment) return fail(QStringLiteral("--at takes \"yyyy-MM-dd HH:mm\", not ") + at);
    const auto events = flow::parseCallEvents(keys);
    if (!events) return fail(QStringLiteral("--keys takes 0-9, *, #, silence and fail, not ") + keys);

    Configuration config = makeConfiguration(ctx);
    const QString& path = options.positional.first();
    if (const OpenResult result = loadTree(config, path, ctx); result != OpenResult::Opened)
        return fail(openFailure(result, path));
    const QList<flow::CallStep> steps = flow::CallWalker(config, ctx).walk(number, *moment, *events);
    report().extra.insert(QStringLiteral("steps"), flow::stepsArray(steps));
    if (!steps.isEmpty()) report().msg = steps.last().text; // where the call ends
    QString out;
    for (const flow::CallStep& s : steps)
        out += s.text + QLatin1Char('\n');
    printOut(out);
    return kOk;
}

} // namespace cli
