#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <span>

// qavo-cli's help: one entry per command gives its usage line and its help text, so that a new command
// adds one entry. qavo-cli answers --help, --version, "help COMMAND" and "COMMAND --help" itself,
// before running any command.
namespace cli {

struct CommandHelp {
    const char* name;
    const char* arguments; // what follows the name on the usage line
    const char* summary;   // one line for the list of commands
    const char* details;   // the rest of the help, lines of at most 100 characters
};

std::span<const CommandHelp> commandHelp();
// The command names, in the order of the help.
QStringList commandNames();
// "usage: qavo-cli nodes|normalize|... ARGS..."
QString usageLine();

// What the arguments (after the program) ask of the help: the exit code once answered on stdout (help,
// version) or stderr (an unknown option or command, with the usage line), nothing when a command runs.
std::optional<int> answerHelp(const QStringList& args);

} // namespace cli
