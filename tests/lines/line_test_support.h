#pragma once

#include "core/translation.h"
#include "lines/line_table.h"
#include "support/test_support.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

namespace line_testing {

// The English translation file, as the window reads it.
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

// Plannings as above, applications 300 "Fax", 451 "Accueil", 452 "Nuit", trace names of the labels.
inline LineNames lineNames(const Translation& labels) {
    LineNames names;
    names.plannings = PlanningTable::fromBytes(planningBytes());
    names.applications =
        ApplicationDirectory({{300, "Fax", "", ""}, {451, "Accueil", "", ""}, {452, "Nuit", "", ""}});
    names.traceNames = readTraceNames(labels);
    return names;
}

inline LineRecord line(const QString& cli, const QString& code = {}, qint16 app = 0, qint16 vp = 0) {
    LineRecord r;
    r.cli = cli;
    r.code = code;
    r.app = app;
    r.VP = vp;
    return r;
}

// The labels, names and an empty table that the line tests start from.
class LineTableTest : public ::testing::Test {
protected:
    Translation labels = englishLabels();
    LineNames names = lineNames(labels);
    LineTable table;
};

} // namespace line_testing
