#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The command line as one text, after the program path. Windows hands it over unsplit; elsewhere the
// arguments are joined by spaces and an argument holding a space is wrapped in double quotes, so that
// "qavo '/tmp/my tree.maa'" reads as "/tmp/my tree.maa" with its quotes.
QString rawCommandLine(const QStringList& argumentsAfterProgram);

// The current process's command line (uses QCoreApplication's arguments off Windows).
QString rawCommandLine();

} // namespace platform
