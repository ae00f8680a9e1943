#pragma once

#include <QString>
#include <QStringList>
#include <span>

// The programs of qavo-cli: qavo-cli itself runs the tree commands with Qt Core alone; the commands that
// draw (Qt Gui) or talk to a server (libcurl) are programs of their own that it runs in its place, so
// that a tree command never loads what it does not use.
namespace cli {

// Exit code when a program of the installation is missing: like a server failure, nothing the
// arguments can fix.
constexpr int kMissingProgram = 4;

struct Command {
    const char* name;
    int (*run)(const QStringList& args);
    bool json = false; // takes --json: the command's report is printed as one JSON document
};

// The command line of a program that makes no application object (qavo-cli's tree commands: Qt's
// locale and event set-up would be a fifth of their start), kept for arguments().
void keepArguments(int argc, char* argv[]);
// The command line, program first: the application object's when there is one, else the one kept.
QStringList arguments();

// Runs the command the first argument names among commands, else prints the usage line listing
// usageNames (all of commands when empty).
int runCommand(std::span<const Command> commands, const QStringList& usageNames = {});

// The folder of the files of the qavo-cli that was started (beside it, or its ../share/qavo): its
// translation files are there, wherever the program that runs the command lives.
QString programDir();

// Runs the program baseName in place of this one, found beside this program or else in ../lib/qavo.
// Returns only when it could not run: its exit code on Windows, or kMissingProgram once said why.
int runProgram(const QString& baseName, char* argv[]);

} // namespace cli
