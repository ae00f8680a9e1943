#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

struct AppContext;
class DiagnosticsSink;

namespace history {

// Where a program says that the history could not be written (nullptr: the debug log alone).
using DiagnosticsProvider = std::function<DiagnosticsSink*()>;

// Installs, for the whole program, the recorder of server transfers: each event into the history of the
// context (historyRoot), under the server's folder, with the change lines against the server's last
// revision; ctx.lastRevision is set when a commit is made.
void installTransferRecorder(DiagnosticsProvider diagnostics = {});

// What changed in a server's file between two of its versions: the call-flow differences for a tree,
// the lines gone ("- ") and come ("+ ") for a line table.
QStringList changeLines(const AppContext& ctx, const QString& name, const QByteArray& before,
                        const QByteArray& after);

} // namespace history
