#pragma once

#include "lines/line_table.h"

#include <QList>
#include <QString>

class Translation;

// Editing the line table cell by cell, adding, inserting and deleting lines, and the table's checks.
// Columns are the grid's, 1 to 9: cli, ddi, code, planning, VP, when open, when closed, label, trace.

// Editing kind of a text column: "NUM" (1, 2), "CODE" (3), "VP" (5), "POSTE_APP" (6, 7), "TEXT" (8);
// "" for the columns edited with a list (4, 9) and outside 1..9.
QString columnTag(int column);
// Columns 4 and 9 are chosen from a list (plannings, trace captions) instead of typed.
bool isListColumn(int column);

// True when t is not empty and, once upper-cased and rid of every character of extras (upper-cased too),
// holds only the digits 0 to 9 or nothing.
bool isNumberText(const QString& t, const QString& extras);

// Validates the typed text (spaces around it removed) by the tag of the column and stores it in line
// row. An application may be chosen in columns 6 and 7 by its exact display name. False, and nothing
// changed, when the entry is refused, the row is greyed or the cell is not a text cell.
bool enterCellText(LineTable& table, const LineNames& names, int row, int column, const QString& text);
// Choices of the list editors: planning index 0..10 (0 = none) and trace index 0..3.
bool choosePlanning(LineTable& table, const LineNames& names, int row, int index);
bool chooseTrace(LineTable& table, int row, int index);
// The Delete key: empties the fields of one cell. Refused on greyed rows.
bool clearCell(LineTable& table, int row, int column);

// Appends an empty line unless the table is full. Returns the new line's number, 0 when refused.
int addLigne(LineTable& table);
// Removes line row; a table of at most minimumGridLines lines keeps its size with an empty last line.
// Refused on greyed rows.
bool deleteLigne(LineTable& table, int row);
// Inserts an empty line at row, moving the following lines down. Refused on a full table.
bool insertLigne(LineTable& table, int row);

// A fault found by verifDebug; level is a DiagnosticsSink level, line the line's number.
struct LineFinding {
    QString text;
    short level = 0;
    int line = 0;
    bool operator==(const LineFinding&) const = default;
};
// Every line's faults in line order: a number without a destination when open ("DebugErr1"), a code
// without VP ("DebugErr2"), a planning without a destination when open or when closed ("DebugErr3").
QList<LineFinding> verifDebug(const LineTable& table, const Translation& translation);
