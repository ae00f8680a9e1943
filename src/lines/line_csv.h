#pragma once

#include "lines/line_table.h"

#include <QByteArray>
#include <QString>

class Translation;

// The line table as a CSV file for spreadsheets: ANSI code page, CR LF, ";" between fields, no quoting.
// A header of 11 captions, then one line per non-blank line of the table:
// cli;ddi;code;planing;VP;app;trfOK;appKO;trfKO;libelle;trace with the numbers as the table holds them
// (zeros written "0"). Display names are not written; they are looked up again on import.

QString csvHeader(const Translation& translation);
QByteArray csvBytes(const LineTable& table, const Translation& translation);
// Written whole or not at all; on failure error gets the user's message.
bool exportCsv(const LineTable& table, const QString& path, const Translation& translation,
               QString* error = nullptr);

// Replaces the table by the file's lines (the first line is the header; lines of exactly 11 fields are
// kept, at most lineCapacity). Lines of another application survive at their old index, the table
// growing to reach it.
void readCsv(LineTable& table, const LineNames& names, const QByteArray& bytes);
// False, and the table unchanged, when the file does not exist (error left empty: nothing to say) or
// cannot be read (error gets the user's message).
bool importCsv(LineTable& table, const LineNames& names, const QString& path, const Translation& translation,
               QString* error = nullptr);
