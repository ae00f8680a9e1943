// qavo-cli-history: the local history of the servers' trees and line tables, run by qavo-cli in its place.
#include "cli/commands.h"
#include "cli/program.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const cli::Command commands[] = {{"history", cli::runHistory}};
    return cli::runCommand(commands);
}
