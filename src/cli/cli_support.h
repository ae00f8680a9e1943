#pragma once

#include "core/app_context.h"
#include "model/configuration.h"
#include "model/tree_file.h"

#include <QString>
#include <QStringList>
#include <optional>

// What every command of qavo-cli shares: the common options, the process-wide state they give, the tree
// loaded as the editor loads it, and console output.
namespace cli {

// Exit codes.
constexpr int kOk = 0;
constexpr int kFailure = 2;
constexpr int kServerFailure = 4;

struct Options {
    QStringList positional;
    QString infoFile;        // --info FILE: server information file (online rules)
    QString lang;            // --lang N: translation file of language N in the program folder
    QString translationFile; // --translation FILE
    QString forceVersion;    // --force-version TEXT: overrides the server's version, as /FORCEVERSION: does
};

// What a tree command reads and builds, kept for the life of the process: the command is the process's
// last act, and freeing a large tree's thousands of texts one by one would cost a tenth of its run. It
// stays reachable from a static pointer, so that no leak checker counts it. One per process.
struct CommandState {
    Options options;
    AppContext ctx;
    Configuration config;
};
CommandState& commandState();

// Splits the arguments of a command (after its name) into options and positional arguments; accepts
// "--opt value" and "--opt=value". Returns an error message, or nothing.
std::optional<QString> parseOptions(const QStringList& args, Options& out);

// Fills the context as start-up would: translation, and server information or local-mode values. An
// unknown --lang is said on stderr and falls back to language 00, as the editor does.
std::optional<QString> prepareContext(const Options& options, AppContext& ctx);

// What every command does first: options, then exactly positionalCount positional arguments (else the
// usage line "usage: qavo-cli " + words + the common options), then the context. Returns an error message.
std::optional<QString> startCommand(const QStringList& args, qsizetype positionalCount, const QString& words,
                                    Options& options, AppContext& ctx);

// What the tree commands do first: startCommand into the process's command state, then an empty
// configuration for its context. Returns an error message.
std::optional<QString> startTreeCommand(const QStringList& args, qsizetype positionalCount,
                                        const QString& words);

// Opens a tree file into the configuration as the editor's open command does (silently).
OpenResult loadTree(Configuration& config, const QString& path, const AppContext& ctx);
// The one-line message of a file that did not open ("ERROR - VERSION" for a file the server cannot run).
QString openFailure(OpenResult result, const QString& path);

// Takes the online switches ("/KEY:value" words) out of args and joins them as the editor's raw command
// line is built, so that they read as the editor reads them.
QString takeSwitches(QStringList& args);
// Takes "--name value" or "--name=value" out of args into value. Returns an error message, or nothing.
std::optional<QString> takeOption(QStringList& args, QLatin1String name, QString& value);
// The server's address and credentials from the switches (the passwords, when their switch is absent,
// from QAVO_PASS and QAVO_PPASS), and scratchDir as the editor's temporary folder. Returns an error message
// (no /HADDR:, or --info given: the server's own file is used).
std::optional<QString> prepareServer(const QString& switches, const Options& options, AppContext& ctx,
                                     const QString& scratchDir);
// A sentence of qavo-cli in the language of the translation in use (section CLI), so that it reads in
// the same language as the server's reasons it wraps; the English text when the translation has none.
QString say(const AppContext& ctx, const char* key, const char* english);

// Prints "qavo-cli: " + message + ": " + why the last exchange failed, and returns kServerFailure (with
// the server commands, server_support.cpp).
int serverFailure(AppContext& ctx, const QString& message);

// While it lives, Qt's own warnings and notes stay off stderr; errors still show. The platform a picture
// needs warns as it starts about what a script's session lacks (no XDG_RUNTIME_DIR over ssh or cron),
// and a script reads qavo-cli's own one-line messages only.
class QuietQtWarnings {
public:
    QuietQtWarnings();
    ~QuietQtWarnings();
    QuietQtWarnings(const QuietQtWarnings&) = delete;
    QuietQtWarnings& operator=(const QuietQtWarnings&) = delete;
};

// Console output in UTF-8; nothing with --json, where stdout carries the report alone.
void printOut(const QString& text);
// Prints "qavo-cli: " + message on stderr (it becomes the report's message) and returns kFailure.
int fail(const QString& message);
// Prints "qavo-cli: " + message on stderr.
void warn(const QString& message);
// What every line on stderr goes through before it is printed (the server commands hide passwords).
void setMessageFilter(QString (*filter)(const QString&));

} // namespace cli
