#pragma once

#include <QString>
#include <QStringList>

// A commit message of the history: "<what> <server>", a blank line, then one change line per line.
namespace history {

QString composeMessage(const QString& what, const QString& server, const QStringList& changeLines);

struct MessageParts {
    QString what;
    QString server;
    int changes = 0;
};
MessageParts parseMessage(const QString& message);

} // namespace history
