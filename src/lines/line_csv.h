#pragma once

#include "lines/line_table.h"

#include <QByteArray>
#include <QList>
#include <QString>

class Translation;

// The line table as a CSV file for spreadsheets: ANSI code page, CR LF, ";" between fields, no quoting.
// A header of 11 captions, then one line per non-blank line of the table:
// cli;ddi;code;planing;VP;app;trfOK;appKO;trfKO;libelle;trace with the numbers as the table holds them
// (zeros written "0"). Display names are not written; they are looked up again on import.

inline constexpr int kCsvFields = 11;

QString csvHeader(const Translation& translation);
// One line of the table as the file writes it, without its line end.
QString csvLine(const LineRecord& record);
QByteArray csvBytes(const LineTable& table, const Translation& translation);
// Written whole or not at all; on failure error gets the user's message with the system's cause.
bool exportCsv(const LineTable& table, const QString& path, const Translation& translation,
               QString* error = nullptr);

// What reading a CSV file found. File line numbers are 1-based, the header being line 1.
struct CsvReport {
    // No line of the file has 11 fields: it is not a line table (a "," export, the older server's
    // export, any other file) and the table was left as it was. badLine names the first line that
    // should have held a line, with its field count.
    bool refused = false;
    int badLine = 0;
    int badFields = 0;
    // Lines not taken (wrong field count, past lineCapacity): how many, and the first few.
    int skipped = 0;
    QList<int> skippedLines;

    void skip(int line); // counts it, naming the first few
};

// Replaces the table by the file's lines (the first line is the header; lines of exactly 11 fields are
// kept, at most lineCapacity). Lines of another application may not be changed here: one that the file
// holds (same numbers, code and application) stays where the file puts it, as it was; one the file lacks
// goes back at its old index. Nothing changes when the file is refused.
CsvReport readCsv(LineTable& table, const LineNames& names, const QByteArray& bytes);

// The user's words for a report: the refusal, or the lines skipped; "" when there is nothing to say.
// fields and capacity are those of the table read (the older servers' CSV has 3 fields).
QString csvRefusalText(const CsvReport& report, const QString& path, const Translation& translation,
                       int fields = kCsvFields);
QString csvSkippedText(const CsvReport& report, const Translation& translation, int fields = kCsvFields,
                       int capacity = lineCapacity);

// The file read and imported. Missing file: false with error empty (nothing to say). Unreadable or
// refused file: false, table unchanged, error gets the user's message.
bool importCsv(LineTable& table, const LineNames& names, const QString& path, const Translation& translation,
               QString* error = nullptr, CsvReport* report = nullptr);
