#include "history/revision_message.h"

namespace history {

QString composeMessage(const QString& what, const QString& server, const QStringList& changeLines) {
    QString message = what.simplified() + QLatin1Char(' ') + server + QLatin1Char('\n');
    if (!changeLines.isEmpty()) message += QLatin1Char('\n');
    // A change line is one line of the message, whatever it holds.
    for (const QString& line : changeLines)
        message += QString(line)
                       .replace(QLatin1Char('\r'), QLatin1Char(' '))
                       .replace(QLatin1Char('\n'), QLatin1Char(' ')) +
                   QLatin1Char('\n');
    return message;
}

MessageParts parseMessage(const QString& message) {
    MessageParts parts;
    const qsizetype end = message.indexOf(QLatin1Char('\n'));
    const QString subject = message.left(end).trimmed();
    const qsizetype space = subject.lastIndexOf(QLatin1Char(' '));
    parts.server = subject.mid(space + 1);
    parts.what = space < 0 ? QString() : subject.left(space).trimmed();
    if (end < 0) return parts;
    const QStringList body = message.mid(end + 1).split(QLatin1Char('\n'));
    for (const QString& line : body)
        if (!line.trimmed().isEmpty()) ++parts.changes;
    return parts;
}

} // namespace history
