// qavo-cli-server: the commands that talk to a voice server, run by qavo-cli in its place.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/program.h"
#include "server/server_transfers.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // Addresses and the server's reasons may carry a password.
    cli::setMessageFilter(server_transfers::withoutPasswords);
    const cli::Command commands[] = {
        {"fetch", cli::runFetch, true},
        {"send", cli::runSend, true},
        {"lines-export", cli::runLinesExport, true},
        {"lines-import", cli::runLinesImport, true},
    };
    return cli::runCommand(commands);
}
