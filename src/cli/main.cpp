#include "cli/commands.h"
#include "cli/help_table.h"
#include "cli/program.h"

#include <QCoreApplication>

#include <cstring>

namespace {

// What qavo-cli runs itself: the tree commands, with Qt Core alone.
const cli::Command kCommands[] = {
    {"nodes", cli::runNodes},     {"normalize", cli::runNormalize}, {"check", cli::runCheck, true},
    {"call", cli::runCall, true}, {"diff", cli::runDiff, true},     {"test", cli::runTest, true},
};

// The commands that draw or talk to a server, and the program that runs each.
const struct {
    const char* name;
    const char* program;
} kOtherCommands[] = {
    {"plan", "qavo-cli-plan"},           {"fetch", "qavo-cli-server"},        {"send", "qavo-cli-server"},
    {"lines-export", "qavo-cli-server"}, {"lines-import", "qavo-cli-server"}, {"history", "qavo-cli-history"},
};

} // namespace

int main(int argc, char* argv[]) {
    // The tree commands make no application object: what they need of one is the command line and the
    // program's folder (read from the system where it can be), and its set-up would cost a fifth of a
    // small tree's whole run.
#if !defined(__linux__)
    QCoreApplication app(argc, argv);
#endif
    cli::keepArguments(argc, argv);
    if (const auto answered = cli::answerHelp(cli::arguments().mid(1))) return *answered;
    for (const auto& c : kOtherCommands)
        if (argc > 1 && std::strcmp(argv[1], c.name) == 0)
            return cli::runProgram(QString::fromLatin1(c.program), argv);
    return cli::runCommand(kCommands, cli::commandNames());
}
