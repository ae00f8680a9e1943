// Where the history lives and what it names: the repository's folder, a server's folder, the author.
#include "history/history.h"

#include "core/app_context.h"
#include "startup/settings.h"

#include <QDir>

namespace history {

QString historyRoot(const AppContext& ctx) {
    const QString forced = qEnvironmentVariable("QAVO_HISTORY_DIR");
    if (!forced.isEmpty()) return QDir::cleanPath(forced);
    // qavo-cli prepares no work folder of its own: it shares the editor's.
    const QString work = ctx.RepData.isEmpty() ? getAppDataDir() + QStringLiteral("A.A") : ctx.RepData;
    return QDir(work).filePath(QStringLiteral("history"));
}

QString serverFolder(const QString& host, const QString& port, bool tls) {
    QString name = host.trimmed().toLower();
    // An IPv6 address is written without its brackets and colons; nothing else a folder cannot hold.
    name.remove(QLatin1Char('[')).remove(QLatin1Char(']')).remove(QLatin1Char(':'));
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-')) c = QLatin1Char('_');
    const QString folder = name + QLatin1Char('_') + port.trimmed();
    return tls ? QStringLiteral("https_") + folder : folder;
}

QString serverFolderOf(const AppContext& ctx) {
    QString host = ctx.HADDR.trimmed();
    const bool tls = host.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    if (tls)
        host = host.mid(8);
    else if (host.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        host = host.mid(7);
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    const QString port = ctx.HPORT.trimmed().isEmpty() ? QString::number(tls ? 443 : 80) : ctx.HPORT;
    return serverFolder(host, port, tls);
}

QString systemUser() {
    for (const char* name : {"USER", "USERNAME", "LOGNAME"}) {
        const QString user = qEnvironmentVariable(name).trimmed();
        if (!user.isEmpty()) return user;
    }
    return QStringLiteral("qavo");
}

} // namespace history
