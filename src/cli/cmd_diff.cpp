#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_report.h"

#include "flow/tree_diff.h"

namespace cli {

// What a caller would meet differently in NEW than in OLD, one change per line. Exit 0 when the two
// behave the same, 1 when they differ, 2 for bad usage or a file that does not open.
int runDiff(const QStringList& args) {
    Options options;
    AppContext ctx;
    if (auto error = startCommand(args, 2, QStringLiteral("diff OLD NEW [--json]"), options, ctx))
        return fail(*error);
    Configuration before = makeConfiguration(ctx), after = makeConfiguration(ctx);
    for (const auto& [config, path] :
         {std::pair{&before, options.positional.at(0)}, std::pair{&after, options.positional.at(1)}})
        if (const OpenResult result = loadTree(*config, path, ctx); result != OpenResult::Opened)
            return fail(openFailure(result, path));
    const flow::Changes changes = flow::compareConfigurations(before, after, ctx);
    reportChanges(changes);
    // Trees that differ are an answer, not a failure.
    report().failed = false;
    report().msg = say(ctx, "CliDiffCount", "%1 change(s) a caller would meet").arg(changes.count());
    if (changes.isEmpty()) return kOk;
    printOut(changes.lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    return 1;
}

} // namespace cli
