#include "startup/debug_log.h"

#include "core/app_context.h"
#include "platform/codepage.h"
#include "platform/paths.h"

#include <QFile>
#include <QLocale>

QString debugLogLine(const QDateTime& when, const QString& text) {
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QStringLiteral(" - ") +
           locale.toString(when.time(), QLocale::ShortFormat) + QStringLiteral(" - ") + text;
}

void writeDebugLog(const AppContext& ctx, const QString& text) {
    if (!ctx.fileDebugActive) return;
    QFile file(platform::joinPath(ctx.RepData, QString::fromLatin1(kDebugLogName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    file.write(
        platform::encodeAnsi(debugLogLine(QDateTime::currentDateTime(), text) + QStringLiteral("\r\n")));
}
