#pragma once

#include <QString>

namespace platform {

// The file name of a program of this installation ("qavo-cli-plan" gets ".exe" on Windows).
QString executableName(const QString& baseName);

// Runs program with this process's arguments (argv as main() received it; argv[0] is replaced), as if
// it had been started in its place: on POSIX the process becomes the program (same id, streams and exit
// code) and this returns only when it could not start; on Windows the program runs on this process's
// streams (the arguments as QCoreApplication read them) and its exit code is returned. -1: not started.
int runInPlace(const QString& program, char* argv[]);

} // namespace platform
