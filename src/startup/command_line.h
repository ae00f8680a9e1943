#pragma once

#include <QString>

struct AppContext;

// The online command line: switches "/KEY:value" separated by " /", as the server's administration
// tools pass them.
bool isOnlineCommandLine(const QString& commandLine);

// Value of one switch: after the first "/" + key + ":" up to the first " /" at or after that slash;
// "" when the switch is absent. Keys match exactly (upper case); values are kept as they are.
QString commandLineSwitch(const QString& commandLine, const QString& key);

// Stores the ten switch values (LANG, HADDR, HPORT, USER, PASS, PADDR, PPORT, PLOGIN, PPASS, FORCEVERSION).
void parseOnlineCommandLine(AppContext& ctx, const QString& commandLine);

// True when the line holds a switch ("/" + letters + ":" at its start or after a blank).
bool hasSwitch(const QString& commandLine);

// Local mode: a command line without any switch is a tree file path (its double quotes removed so that a
// quoted path with spaces works); a line with a switch (such as "/LANG:2" alone) opens no file.
QString localFileFromCommandLine(const QString& commandLine);
