#include "cli/cli_support.h"
#include "cli/commands.h"

#include <QStringBuilder>

namespace cli {

namespace {

// A number's digits appended without a string of its own: a large tree prints thousands of them.
void appendNumber(QString& out, qint64 n) {
    if (n < 0) {
        out += QLatin1Char('-');
        n = -n;
    }
    QChar digits[20];
    int first = 20;
    do {
        digits[--first] = QLatin1Char(char('0' + n % 10));
        n /= 10;
    } while (n > 0);
    out.append(digits + first, 20 - first);
}

} // namespace

// One line per node in display order: depth, key, text, image, colour, separated by tabs.
int runNodes(const QStringList& args) {
    CommandState& state = commandState();
    Options& options = state.options;
    AppContext& ctx = state.ctx;
    if (auto error = startCommand(args, 1, QStringLiteral("nodes FILE"), options, ctx)) return fail(*error);
    Configuration& config = state.config;
    config = makeConfiguration(ctx);
    const QString& path = options.positional.first();
    if (const OpenResult result = loadTree(config, path, ctx); result != OpenResult::Opened)
        return fail(openFailure(result, path));

    QString out;
    out.reserve(config.nodes.count() * 64);
    const QChar tab = QLatin1Char('\t');
    for (int id : config.nodes.displayOrder()) {
        const TreeNode& n = config.nodes.node(id);
        appendNumber(out, config.nodes.depthOf(id));
        out += tab % n.key % tab % n.text % tab % n.image % tab;
        appendNumber(out, n.colour);
        out += QLatin1Char('\n');
    }
    printOut(out);
    return kOk;
}

} // namespace cli
