#pragma once

#include "lines/line_table.h"

#include <QByteArray>
#include <QList>
#include <QString>

class Translation;

// The server's line files: "planning.cfg" (binary), "rcm.txt" (stations) and "rcm.cfg" (the line table).
// Text files: lines end with CR LF, CR or LF, are trimmed of spaces, and empty lines or lines starting
// with "/" or "[" are skipped.

inline constexpr char kLineFileHeader[] = "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle";

// "rcm.txt": lines key=value with exactly one "=" whose value has at least 4 fields
// number;name...;group;kind (the name may hold ";").
QList<StationEntry> stationsFromBytes(const QByteArray& bytes);

// "rcm.cfg" replaces the table: lines of at least 11 fields, at most lineCapacity lines. Planning "0".."9"
// and VP "0".."7" are stored one more; names come from names.
void readLineTable(LineTable& table, const LineNames& names, const QByteArray& bytes);
// "rcm.cfg" as the server reads it: the header, then every line but the blank ones, in the ANSI code page.
QByteArray lineTableBytes(const LineTable& table);

// The same from and to files; false when a file cannot be read (nothing is changed then).
bool loadPlanningFile(PlanningTable& plannings, const QString& path);
bool loadStationFile(QList<StationEntry>& stations, const QString& path);
bool loadLineFile(LineTable& table, const LineNames& names, const QString& path);
// Reads "planning.cfg", "rcm.txt" and "rcm.cfg" of folder in that order into names.plannings, stations and
// table (emptied first); stops at the first file that cannot be read and returns its name, "" when all
// were read.
QString readLineFiles(const QString& folder, LineNames& names, QList<StationEntry>& stations,
                      LineTable& table);
// Written whole or not at all: on failure the old file stays and error gets the user's message.
bool saveLineFile(const LineTable& table, const QString& path, const Translation& translation,
                  QString* error = nullptr);

// Shared by the writers: the label "ErrSave" / "ErrFichierIllisible" naming the file.
QString lineFileError(const Translation& translation, const char* key, const QString& path);
// Writes bytes to path whole or not at all (the old file kept). "" on success, else the user's message:
// "ErrSave" naming the file, then the system's cause.
QString writeLineFile(const QString& path, const QByteArray& bytes, const Translation& translation);
