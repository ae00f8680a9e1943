#pragma once

#include <QString>

namespace platform {

// Per-user application-data folder: APPDATA when set and not empty, else "".
// Off Windows the start-up falls back to the per-user data location (see perUserDataDir).
QString appDataEnv();

// The per-user data folder of this platform, used when APPDATA is not set.
QString perUserDataDir();

// Folder of the running executable, without a trailing separator.
QString programDir();

// Folder of the program's files (translations, help, component versions) for a program in
// executableDir: that folder itself when it holds them (a build, the Windows layout), else
// executableDir/../share/qavo when that does (an installed package, from whatever root it was
// unpacked to); executableDir when neither does.
QString resourceDir(const QString& executableDir);

// File name of the running executable without folder ("qavo").
QString programName();

// Joins a folder and a name with exactly one separator.
QString joinPath(const QString& folder, const QString& name);

// True when the path ends with a folder separator ('/' or '\').
bool endsWithSeparator(const QString& path);

// The platform's folder separator as text ("\\" on Windows, "/" elsewhere).
QString nativeSeparator();

} // namespace platform
