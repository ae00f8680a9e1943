#include "editor/help_file.h"

#include "core/app_context.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace {

// "0#": at least two digits for a number; any other text unchanged ("" gives no digits).
QString twoDigits(const QString& lang) {
    bool ok = false;
    const int n = lang.toInt(&ok);
    return ok ? QString::number(n).rightJustified(2, QLatin1Char('0')) : lang;
}

QString helpFileFor(const QString& programDir, const QString& digits) {
    return QDir(programDir).filePath(QStringLiteral("QAVO_Hp") + digits + QStringLiteral(".html"));
}

} // namespace

QString helpFilePath(const QString& programDir, const QString& lang) {
    const QString own = helpFileFor(programDir, twoDigits(lang));
    return QFileInfo::exists(own) ? own : helpFileFor(programDir, QStringLiteral("00"));
}

QString helpFilePath(const AppContext& ctx) {
    return helpFilePath(ctx.programDir, ctx.LANG);
}

bool openHelpFile(const AppContext& ctx, const std::function<bool(const QUrl&)>& opener) {
    const QString path = helpFilePath(ctx);
    if (!QFileInfo::exists(path)) return false;
    const QUrl url = QUrl::fromLocalFile(path);
    return opener ? opener(url) : QDesktopServices::openUrl(url);
}
