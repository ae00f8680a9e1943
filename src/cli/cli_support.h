#pragma once

#include "core/app_context.h"
#include "model/configuration.h"

#include <QString>
#include <QStringList>
#include <optional>

// What every command of qavo-cli shares: the common options, the process-wide state they give, the tree
// loaded as the editor loads it, and console output.
namespace cli {

// Exit codes.
constexpr int kOk = 0;
constexpr int kFailure = 2;

struct Options {
    QStringList positional;
    QString infoFile;        // --info FILE: server information file (online rules)
    QString lang;            // --lang N: translation file of language N in the program folder
    QString translationFile; // --translation FILE
    QString forceVersion;    // --force-version TEXT: overrides the server's version, as /FORCEVERSION: does
};

// Splits the arguments of a command (after its name) into options and positional arguments; accepts
// "--opt value" and "--opt=value". Returns an error message, or nothing.
std::optional<QString> parseOptions(const QStringList& args, Options& out);

// Fills the context as start-up would: translation, and server information or local-mode values.
std::optional<QString> prepareContext(const Options& options, AppContext& ctx);

// What every command does first: options, then exactly positionalCount positional arguments (else the
// usage line "usage: qavo-cli " + words + the common options), then the context. Returns an error message.
std::optional<QString> startCommand(const QStringList& args, qsizetype positionalCount, const QString& words,
                                    Options& options, AppContext& ctx);

// Makes a configuration with the fixed tables' captions from the context's translation.
Configuration makeConfiguration(const AppContext& ctx);

// Opens a tree file into the configuration as the editor's open command does (silently). Returns an error
// message ("ERROR - VERSION" for a file the server cannot run), or nothing.
std::optional<QString> loadTree(Configuration& config, const QString& path, const AppContext& ctx);

// Console output in UTF-8.
void printOut(const QString& text);
// Prints "qavo-cli: " + message on stderr and returns kFailure.
int fail(const QString& message);

} // namespace cli
