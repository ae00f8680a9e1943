#pragma once

#include "lines/line_table.h"

#include <QList>
#include <QString>

struct AppContext;
namespace platform {
class Pacing;
}

// The line table's exchanges with a generation-900 server, shared by the line window and qavo-cli.
namespace line_server {

// The files read from the server, in the order they are read.
inline const QStringList LineFileNames = {QStringLiteral("planning.cfg"), QStringLiteral("rcm.txt"),
                                          QStringLiteral("rcm.cfg")};

// The server's applications (request 0, display names resolved); false when a page failed, the
// directory then holding what was read.
bool loadApplicationDirectory(AppContext& ctx, ApplicationDirectory& directory);

// What a load gives: plannings, applications and trace captions, the stations and the table.
struct LineData {
    LineNames names;
    QList<StationEntry> stations;
    LineTable table;
};

// The three files fetched into repTMP in order, each deleted first so that an old copy never passes for
// a new one. Returns "" when every file arrived, else the name of the first that did not.
QString fetchLineFiles(AppContext& ctx, platform::Pacing& pacing);

// Applications, then the three files fetched into repTMP and read. Returns "" when every file arrived,
// else the name of the first one that did not (nothing after it is fetched). A failed application
// request does not stop the load: lines then show empty application names.
QString loadLineData(AppContext& ctx, platform::Pacing& pacing, LineData& data);

// "rcm.cfg" written to repTMP, stored on the server, then request 105 so that the server reads it
// again. False, with the user's message in error, when the file could not be written or stored (the
// lines would otherwise be lost without a word); the reply to request 105 is not examined.
bool saveLineTable(AppContext& ctx, const LineTable& table, QString* error = nullptr);

} // namespace line_server
