#include "cli/cli_support.h"

#include "server/server_transfers.h"

namespace cli {

int serverFailure(AppContext& ctx, const QString& message) {
    warn(say(ctx, "CliAvecRaison", "%1: %2").arg(message, server_transfers::lastReason(ctx)));
    return kServerFailure;
}

} // namespace cli
