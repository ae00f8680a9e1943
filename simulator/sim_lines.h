#pragma once

#include "lines/record_codec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace sim {

// Reply statuses of the information requests (byte 256). 2 is the protocol's "count at byte 272", never
// used for an error.
inline constexpr quint32 kStatusOk = 0;
inline constexpr quint32 kStatusUnknownRequest = 1;
inline constexpr quint32 kStatusParameters = 3; // a field of the request is out of range
inline constexpr quint32 kStatusNoData = 4;     // the file behind the request is missing or unreadable
inline constexpr quint32 kStatusWrite = 5;      // the file could not be stored

// Files of the root folder behind the information requests.
inline const QString kApplicationsFile = QStringLiteral("applications.txt");
inline const QString kLines500File = QStringLiteral("voies500.bin");
inline const QString kLines900File = QStringLiteral("rcm.cfg");

// Answers one information request from the root folder's files. `reply` is the 8704-byte reply whose
// header already holds the request's first 256 bytes; the status and the data are written into it.
// `note` tells the log what was served (" first=0 count=96", " lines=40", ...). Returns the status.
quint32 answerIhm(const QString& root, QByteArrayView request, QByteArray& reply, QString& note);

// "voies500.bin": the general record (800 bytes) then the line records (50 bytes each). The table has
// the general record's number of lines: records missing from the file are free, extra ones ignored.
bool readLines500(QByteArrayView file, ParVoieT2c& general, QList<VoieT2cs>& records);
QByteArray writeLines500(const ParVoieT2c& general, const QList<VoieT2cs>& records);

// A demonstration table of `count` lines: ranges of auto-attendant applications 451 and 452, every
// tenth record from the eighth on taken by application 300, every tenth from the tenth on free.
QByteArray exampleLines500(int count);

// Lines of "rcm.cfg" that the editor takes: not empty, not a comment ("/" or "["), 11 fields or more.
int countLines900(QByteArrayView file);

} // namespace sim
