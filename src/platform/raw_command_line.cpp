#include "platform/raw_command_line.h"

#include <QCoreApplication>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

QString rawCommandLine(const QStringList& argumentsAfterProgram) {
    QStringList parts;
    parts.reserve(argumentsAfterProgram.size());
    for (const QString& arg : argumentsAfterProgram) {
        if (arg.contains(QLatin1Char(' ')))
            parts << QLatin1Char('"') + arg + QLatin1Char('"');
        else
            parts << arg;
    }
    return parts.join(QLatin1Char(' '));
}

QString rawCommandLine() {
#ifdef _WIN32
    // Skip the program path (quoted or not) and the blanks after it.
    const QString all = QString::fromWCharArray(GetCommandLineW());
    int i = 0;
    if (all.startsWith(QLatin1Char('"'))) {
        i = all.indexOf(QLatin1Char('"'), 1);
        i = i < 0 ? all.size() : i + 1;
    } else {
        while (i < all.size() && !all.at(i).isSpace())
            ++i;
    }
    while (i < all.size() && all.at(i).isSpace())
        ++i;
    return all.mid(i);
#else
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty()) args.removeFirst();
    return rawCommandLine(args);
#endif
}

} // namespace platform
