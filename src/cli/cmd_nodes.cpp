#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console_output.h"

#include <QStringBuilder>

namespace cli {

// One line per node in display order: depth, key, text, image, colour, separated by tabs.
int runNodes(const QStringList& args) {
    if (auto error = startTreeCommand(args, 1, QStringLiteral("nodes FILE"))) return fail(*error);
    CommandState& state = commandState();
    const Options& options = state.options;
    AppContext& ctx = state.ctx;
    Configuration& config = state.config;
    const QString& path = options.positional.first();
    if (const OpenResult result = loadTree(config, path, ctx); result != OpenResult::Opened)
        return fail(openFailure(result, path));

    ConsoleOutput out;
    const QChar tab = QLatin1Char('\t');
    for (int id : config.nodes.displayOrder()) {
        const TreeNode& n = config.nodes.node(id);
        out.number(config.nodes.depthOf(id)) << (tab % n.key % tab % n.text % tab % n.image % tab);
        out.number(n.colour) << QLatin1Char('\n');
    }
    return kOk;
}

} // namespace cli
