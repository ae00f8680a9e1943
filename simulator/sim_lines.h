#pragma once

#include "lines/record_codec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace sim {

// Reply statuses of the information requests (byte 256). 2 is the protocol's "count at byte 272", never
// used for an error.
inline constexpr quint32 kStatutOk = 0;
inline constexpr quint32 kStatutRequeteInconnue = 1;
inline constexpr quint32 kStatutParametres = 3;  // a field of the request is out of range
inline constexpr quint32 kStatutSansDonnees = 4; // the file behind the request is missing or unreadable
inline constexpr quint32 kStatutEcriture = 5;    // the file could not be stored

// Files of the root folder behind the information requests.
inline const QString kFichierApplications = QStringLiteral("applications.txt");
inline const QString kFichierVoies500 = QStringLiteral("voies500.bin");
inline const QString kFichierLignes900 = QStringLiteral("rcm.cfg");

// Answers one information request from the root folder's files. `reponse` is the 8704-byte reply whose
// header already holds the request's first 256 bytes; the status and the data are written into it.
// `note` tells the log what was served (" first=0 count=96", " lines=40", ...). Returns the status.
quint32 repondreIhm(const QString& root, QByteArrayView requete, QByteArray& reponse, QString& note);

// "voies500.bin": the general record (800 bytes) then the line records (50 bytes each). The table has
// the general record's number of lines: records missing from the file are free, extra ones ignored.
bool lireVoies500(QByteArrayView fichier, ParVoieT2c& general, QList<VoieT2cs>& voies);
QByteArray ecrireVoies500(const ParVoieT2c& general, const QList<VoieT2cs>& voies);

// A demonstration table of `nombre` lines: ranges of auto-attendant applications 451 and 452, every
// tenth record from the eighth on taken by application 300, every tenth from the tenth on free.
QByteArray exempleVoies500(int nombre);

// Lines of "rcm.cfg" that the editor takes: not empty, not a comment ("/" or "["), 11 fields or more.
int compterLignes900(QByteArrayView fichier);

} // namespace sim
