#include "cli/cmd_history.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace cli {

QString revisionTable(const QList<history::Revision>& revisions) {
    QString text;
    for (const history::Revision& r : revisions)
        text += QStringLiteral("%1  %2  %3  %4  %5  %6\n")
                    .arg(r.id.left(10), r.when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), r.server,
                         r.author, r.what, QString::number(r.changes));
    return text;
}

QString revisionJson(const QList<history::Revision>& revisions, const QString& msg, int rc) {
    QJsonArray list;
    for (const history::Revision& r : revisions)
        list.append(QJsonObject{{QStringLiteral("id"), r.id},
                                {QStringLiteral("when"), r.when.toString(Qt::ISODate)},
                                {QStringLiteral("author"), r.author},
                                {QStringLiteral("email"), r.email},
                                {QStringLiteral("server"), r.server},
                                {QStringLiteral("what"), r.what},
                                {QStringLiteral("changes"), r.changes},
                                {QStringLiteral("message"), r.message}});
    const QJsonObject doc{{QStringLiteral("changed"), false},
                          {QStringLiteral("changes"), QJsonArray()},
                          {QStringLiteral("findings"), QJsonArray()},
                          {QStringLiteral("revision"), QJsonValue()}, // reading records nothing
                          {QStringLiteral("msg"), msg},
                          {QStringLiteral("failed"), rc != 0},
                          {QStringLiteral("rc"), rc},
                          {QStringLiteral("revisions"), list}};
    return QString::fromUtf8(QJsonDocument(doc).toJson(QJsonDocument::Indented));
}

QString serverArgument(const QString& text, const QStringList& known) {
    if (known.contains(text)) return text;
    QString rest = text.trimmed();
    const bool tls = rest.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    if (tls)
        rest = rest.mid(8);
    else if (rest.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        rest = rest.mid(7);
    // [v6]:port, host:port, or a bare host or IPv6 address.
    static const QRegularExpression hostPort(QStringLiteral("^(\\[[^\\]]*\\]|[^:]*)(?::(\\d+))?$"));
    const QRegularExpressionMatch m = hostPort.match(rest);
    const QString host = m.hasMatch() ? m.captured(1) : rest;
    const QString port =
        m.hasMatch() && !m.captured(2).isEmpty() ? m.captured(2) : QString::number(tls ? 443 : 80);
    return history::serverFolder(host, port, tls);
}

} // namespace cli
