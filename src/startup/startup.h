#pragma once

#include <QString>
#include <functional>

struct AppContext;
class Prompts;

// Result of the start-up routine: either the editor goes on, or one of the fatal errors ended it
// (its box was already shown through Prompts).
enum class StartupResult { Ok, UnknownLanguage, ConnectionError, SettingsError };

struct StartupHooks {
    // Online mode: fetches the server information and tree, sets fileLecture and fileAOuvrir; false on
    // failure. Until the server link exists this reports failure.
    std::function<bool(AppContext&)> fetchServerInfo;
    // Online mode: shows/hides the connecting window (caption, connecting text).
    // The window lets pending events run and waits 200 ms before the fetch starts.
    std::function<void(const QString& caption, const QString& text)> showConnecting;
    // Called once the connecting window is no longer needed (end of start-up or a fatal error).
    std::function<void()> closeConnecting;
};

// The whole start-up before the main window: folders, debug log, mode and command line, translation,
// server information, generation flags, lists, parameter dump. Fatal errors show their box and return.
StartupResult runStartup(AppContext& ctx, const QString& commandLine, const QString& programDir,
                         Prompts& prompts, const StartupHooks& hooks = {});

// Chooses the translation file for ctx.LANG in ctx.programDir (falling back to "qavo_lg00.txt" with LANG
// := "0"), logs it and reads it into ctx.translation. False when neither file exists.
bool initLanguage(AppContext& ctx);
