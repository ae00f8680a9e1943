#pragma once

#include "core/translation.h"
#include "lines/line_table.h"
#include "support/test_support.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace line_testing {

inline Translation englishLabels() {
    Translation t;
    EXPECT_TRUE(t.loadFile(testing_support::resourcesDir() + "/qavo_lg01.txt"));
    return t;
}

// A planning file whose planning k is named "Plan k"; planning 1 is padded with spaces, planning 2 is
// cut by a NUL before trailing garbage.
inline QByteArray planningBytes() {
    QByteArray bytes(PlanningTable::kSize, '\0');
    for (int k = 0; k < PlanningTable::kCount; ++k) {
        QByteArray name = "Plan " + QByteArray::number(k);
        if (k == 1) name = "  Plan 1" + QByteArray(24, ' ');
        if (k == 2) name = QByteArray("Plan 2\0junk", 11);
        bytes.replace(256 + k * 128, name.size(), name);
    }
    return bytes;
}

// The labels, names and an empty table that the line tests start from: plannings as above, applications
// 300 "Fax", 451 "Accueil", 452 "Nuit", trace names of the labels.
class LineTableTest : public ::testing::Test {
protected:
    Translation labels = englishLabels();
    LineNames names{
        PlanningTable::fromBytes(planningBytes()),
        ApplicationDirectory({{300, "Fax", "", ""}, {451, "Accueil", "", ""}, {452, "Nuit", "", ""}}),
        readTraceNames(labels)};
    LineTable table;
    QTemporaryDir dir;

    // Line i as the grid shows it: its texts joined by '|', then "*" when greyed.
    QString shown(int i) const {
        const LineGridRow row = gridRow(table, names, i);
        return QStringList(row.texts.begin(), row.texts.end()).join('|') + (row.greyed ? "*" : "");
    }
};

} // namespace line_testing
