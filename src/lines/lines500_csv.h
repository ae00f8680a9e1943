#pragma once

#include "lines/line_changes.h"
#include "lines/line_csv.h"
#include "lines/record_codec.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The generation-500 line table as a CSV file: a header of the three column titles, then one line
// first;last;application code per record, in record order.
inline constexpr int kCsvFields500 = 3;

// The application of a record as the grid and the file write it: 3 digits, "" for none; and back.
QString code3(quint16 application);
quint16 codeFromText(const QString& code);

// What a file makes of the line records, computed before anything changes.
struct Import500 {
    CsvReport report;        // refused: not such a table (no line of 3 fields), records left empty
    QList<VoieT2cs> records; // the records once imported
    LineChanges changes;     // against the records it started from, record by record
};

// Reads a file into a copy of records from the first record on; records after the file's last line become
// free. Lines of 3 fields are taken (the others, and those past the last record, are skipped); the first
// line is a header unless its first field is empty or starts with a digit; empty lines and lines starting
// with "/" are comments. A protected record (protectedRecords[k]) keeps its content and index: a file line
// equal to it is its own line wherever the file has it, any other goes to the next record that is not
// protected.
Import500 readCsv500(const QByteArray& content, const QList<VoieT2cs>& records,
                     const QList<bool>& protectedRecords);
