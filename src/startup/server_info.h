#pragma once

#include <QString>

struct AppContext;
class ProfileFile;

// Reads "Nb_arbre", "version" and "Standard" of section "General" of ctx.fileLecture; in local mode
// without a file, 5 trees and "Version locale". False when online and the file is missing or its path
// empty: the caller reports "Settings Error" and stops.
bool readServerInfo(AppContext& ctx);

// Sets VERSION_500 and VERSION_900 from VERSION_generel (local mode: 500 only).
void deriveGenerationFlags(AppContext& ctx);

// Fill ctx.Announcements / ctx.Stations from ctx.fileLecture and return their counts.
int loadAnnouncements(AppContext& ctx);
int loadStations(AppContext& ctx);
// The same from an information file parsed already (start-up parses it once for all three readers).
int loadAnnouncements(AppContext& ctx, const ProfileFile& info);
int loadStations(AppContext& ctx, const ProfileFile& info);

// Loads a server information file the way an online start-up does (used by the headless tools):
// fileLecture := path, online rules for the version and the flags (forceVersion overrides the version
// when not empty), then the lists. False when the file cannot be read.
bool loadServerInformation(AppContext& ctx, const QString& path, const QString& forceVersion = {});

// Local mode: the announcement and station lists of a server information file, so that pickers and
// checks know them; the mode and the server generation stay as they are. False when it cannot be read.
bool loadServerLists(AppContext& ctx, const QString& path);

// The decimal digits of the text in order, "0" when it has none.
QString digitsOnly(const QString& text);
// A value whose characters are the bytes of UTF-8 text, read through the ANSI code page, as text.
QString utf8ToText(const QString& raw);
