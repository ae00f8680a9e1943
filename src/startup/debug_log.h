#pragma once

#include <QDateTime>
#include <QString>

struct AppContext;

// Name of the debug log in the work folder. An administrator switches the log on by creating it.
inline constexpr char kDebugLogName[] = "fileDebug.log";

// Appends "date - time - text" + CR LF to RepData + "fileDebug.log" in the ANSI code page, when the log
// was switched on at start-up (ctx.fileDebugActive). Write errors are ignored: the log never stops the
// program.
void writeDebugLog(const AppContext& ctx, const QString& text);

// One line of the log without its line end, in the system's short date and time formats.
QString debugLogLine(const QDateTime& when, const QString& text);
