#include "cli/cli_support.h"
#include "cli/commands.h"

#include <QStringBuilder>

namespace cli {

// One line per node in display order: depth, key, text, image, colour, separated by tabs.
int runNodes(const QStringList& args) {
    Options options;
    AppContext ctx;
    if (auto error = startCommand(args, 1, QStringLiteral("nodes FILE"), options, ctx)) return fail(*error);
    Configuration config = makeConfiguration(ctx);
    const QString& path = options.positional.first();
    if (const OpenResult result = loadTree(config, path, ctx); result != OpenResult::Opened)
        return fail(openFailure(result, path));

    QString out;
    out.reserve(config.nodes.count() * 64);
    const QChar tab = QLatin1Char('\t');
    for (int id : config.nodes.displayOrder()) {
        const TreeNode& n = config.nodes.node(id);
        out += QString::number(config.nodes.depthOf(id)) % tab % n.key % tab % n.text % tab % n.image % tab %
               QString::number(n.colour) % QLatin1Char('\n');
    }
    printOut(out);
    return kOk;
}

} // namespace cli
