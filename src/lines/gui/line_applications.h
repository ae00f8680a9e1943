#pragma once

#include "lines/line_table.h"

#include <QByteArray>

class Translation;
struct AppContext;

// The server's application table, read page by page through the gateway's information request 0.
namespace line_applications {

// Most records one reply carries; a full page asks for the next one.
inline constexpr int kRecordsPerPage = 157;
inline constexpr int kRecordSize = 52;
inline constexpr int kRecordsStart = 512;

// The request for the page starting at record index first (the block's header is Passerelle's).
QByteArray pageRequest(int first);

// One reply: appends its applications with a code below 490 to all (a name "$KEY" is the label KEY of
// section "VOIES"). Returns the number of records the page held, or -1 when the reply is not a good one
// (bad status, or records that do not fit the reply).
int readPage(const QByteArray& reply, qsizetype replyLength, const Translation& translation,
             ApplicationDirectory& all);

// Every page of the table into all (cleared first). False when a request failed; all then keeps the
// pages read so far.
bool loadApplications(AppContext& ctx, ApplicationDirectory& all);

} // namespace line_applications
