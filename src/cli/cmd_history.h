#pragma once

#include "history/history.h"

#include <QList>
#include <QString>

// qavo-cli history: the revisions of the servers' trees and line tables kept in the local history.
namespace cli {

// The lines of the list, newest first: short id, date, server, who, what, number of changes.
QString revisionTable(const QList<history::Revision>& revisions);
// The list as the one JSON document of --json (the common keys, and "revisions").
QString revisionJson(const QList<history::Revision>& revisions, const QString& msg, int rc);

// The server folder that HOST[:PORT] (https:// before it for TLS, an IPv6 address in brackets) names,
// or a folder name as the list shows it.
QString serverArgument(const QString& text, const QStringList& known);

} // namespace cli
