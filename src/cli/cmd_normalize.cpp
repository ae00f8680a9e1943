#include "cli/cli_support.h"
#include "cli/commands.h"

#include "model/tree_file.h"

namespace cli {

// Loads a tree file as the editor does and writes it back as the editor saves it.
int runNormalize(const QStringList& args) {
    Options options;
    AppContext ctx;
    if (auto error = startCommand(args, 2, QStringLiteral("normalize IN OUT"), options, ctx))
        return fail(*error);
    Configuration config = makeConfiguration(ctx);
    if (auto error = loadTree(config, options.positional.at(0), ctx)) return fail(*error);
    const QString out = options.positional.at(1);
    if (!SaveArbre(config, out, true, ctx)) return fail(QStringLiteral("cannot write ") + out);
    return kOk;
}

} // namespace cli
