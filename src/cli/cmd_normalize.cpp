#include "cli/cli_support.h"
#include "cli/commands.h"

#include "model/tree_file.h"

namespace cli {

// Loads a tree file as the editor does and writes it back as the editor saves it.
int runNormalize(const QStringList& args) {
    if (auto error = startTreeCommand(args, 2, QStringLiteral("normalize IN OUT"))) return fail(*error);
    CommandState& state = commandState();
    const Options& options = state.options;
    AppContext& ctx = state.ctx;
    Configuration& config = state.config;
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
