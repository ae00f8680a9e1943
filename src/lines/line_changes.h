#pragma once

#include "lines/line_table.h"

#include <QString>
#include <QStringList>

class Translation;

// What replacing one line table by another changes in what the server holds (blank lines are not
// written, so they are not changes). Lines are told apart by their calling and called numbers and code.
struct LineChanges {
    QStringList added; // each line as "calling / called" numbers
    QStringList removed;
    QStringList changed;
    int otherApplications = 0; // lines of other applications in the new table, kept as they were
    // Every change with the line as the CSV file writes it before and after ("" for none), in the order
    // added, removed, changed.
    struct Line {
        QString name, before, after;
    };
    QList<Line> lines;

    bool any() const { return !added.isEmpty() || !removed.isEmpty() || !changed.isEmpty(); }
};

LineChanges compareLineTables(const LineTable& before, const LineTable& after);
// One paragraph per kind of change, naming the first few lines of each.
QString lineChangesText(const LineChanges& changes, const Translation& translation);
