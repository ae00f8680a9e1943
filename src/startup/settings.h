#pragma once

#include <QString>

// Per-user settings of application "AA" (QSettings, organisation "AA").
QString getConfigSetting(const QString& key, const QString& defaultValue);
void saveConfigSetting(const QString& key, const QString& value);
// Any section ("Config", "Files").
QString getSetting(const QString& section, const QString& key, const QString& defaultValue);
void saveSetting(const QString& section, const QString& key, const QString& value);

// APPDATA with a trailing separator (withBackslash); off Windows the per-user data folder when APPDATA is
// unset; "" when neither is known.
QString getAppDataDir();
// The path unchanged when it ends with a separator, else the path + the separator.
QString withBackslash(const QString& path);
// Version text of a component from "config.ini" (or "pkv.ini") in programDir, section "Version";
// name "" asks for the program's own executable name + ".exe".
QString getComponentVersion(const QString& programDir, const QString& name);
