#include "cli/cli_support.h"
#include "cli/commands.h"

#include "model/tree_file.h"

namespace cli {

// Loads a tree file as the editor does and writes it back as the editor saves it.
int runNormalize(const QStringList& args) {
    CommandState& state = commandState();
    Options& options = state.options;
    AppContext& ctx = state.ctx;
    if (auto error = startCommand(args, 2, QStringLiteral("normalize IN OUT"), options, ctx))
        return fail(*error);
    Configuration& config = state.config;
    config = makeConfiguration(ctx);
    const QString& in = options.positional.at(0);
    if (const OpenResult result = loadTree(config, in, ctx); result != OpenResult::Opened)
        return fail(openFailure(result, in));
    const QString& out = options.positional.at(1);
    QString cause;
    if (!SaveArbre(config, out, true, ctx, {}, &cause))
        return fail(QStringLiteral("cannot write ") + out + QStringLiteral(": ") + cause);
    return kOk;
}

} // namespace cli
