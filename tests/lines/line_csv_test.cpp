#include "lines/line_csv.h"
#include "lines/line_files.h"
#include "lines/line_test_support.h"
#include "support/qt_print.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace line_testing;
using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

class LineCsv : public LineTableTest {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("lines.csv");
};

TEST_F(LineCsv, ExportWritesTheHeaderAndNonBlankLinesInTheSpreadsheetsOrder) {
    readLineTable(table, names, "100;200;7;452;;;0612;3;7;2;H\xC3\xA9;llo\r\n;;;;;;;;;;\r\n;;;;;;;0;;;\r\n");
    prepareGrid(table);
    ASSERT_TRUE(exportCsv(table, path, labels));
    EXPECT_EQ(readBytes(path),
              "Calling number;Called number;Code;Planning;VP;Application when open;"
              "Transfer when open;Application when closed;Transfer when closed;Label;Trace\r\n"
              "100;200;7;4;8;452;;0;0612;H\xE9llo;2\r\n"
              ";;;1;0;0;;0;;;0\r\n");
}

TEST_F(LineCsv, ExportThenImportGivesBackTheTable) {
    readLineTable(table, names,
                  "100;200;7;452;;300;;3;7;2;H\xC3\xA9llo\r\n;;x;;0612;;;;;0;\r\n300;;;;;;;0;;1;\r\n");
    const LineTable exported = table;
    prepareGrid(table);
    ASSERT_TRUE(exportCsv(table, path, labels));
    LineTable back = exported;
    back.ligne(1).cli = "changed";
    ASSERT_TRUE(importCsv(back, names, path, labels));
    EXPECT_EQ(back, exported);
}

TEST_F(LineCsv, LinesOfOtherApplicationsSurviveAnImportAtTheirIndex) {
    for (int i = 1; i <= 10; ++i)
        table.append(ligne(QString::number(i), "", i == 7 ? 300 : 451));
    table.ligne(2).trfOK = "0612";
    const LineRecord kept = table.ligne(7);
    writeBytes(path, "header\r\n"
                     "a;;;0;0;0;;0;;;0\r\n"
                     "b;;;11;x;-;;0;;;y\r\n"
                     "ten;;;0;0;0;;0;;0\r\n"
                     "twelve;;;0;0;0;;0;;;0;\r\n"
                     "\r\n"
                     "c;;;3;0;452;;0;;;0\r\n");
    ASSERT_TRUE(importCsv(table, names, path, labels));
    ASSERT_EQ(table.lineCount(), 7);
    EXPECT_EQ(table.ligne(2).cli, "b");
    EXPECT_EQ(table.ligne(2).planing, 11);
    EXPECT_EQ(table.ligne(2).VP, 0);
    EXPECT_EQ(table.ligne(3).cli, "c");
    EXPECT_EQ(table.ligne(3).planningName, "Plan 2");
    EXPECT_EQ(table.ligne(3).appName, "Nuit");
    for (int i = 4; i <= 6; ++i)
        EXPECT_EQ(table.ligne(i), LineRecord{}) << i;
    EXPECT_EQ(table.ligne(7), kept);
}

TEST_F(LineCsv, AFileThatCannotBeReadOrWrittenLeavesTheTableAndSaysWhich) {
    table.append(ligne("1"));
    const LineTable before = table;
    const struct {
        bool import;
        QString path;
        bool reported;
    } cases[] = {{true, dir.filePath("missing.csv"), false},
                 {true, dir.path(), true},
                 {false, dir.filePath("no/such/folder/x.csv"), true}};
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(c.import ? importCsv(table, names, c.path, labels, &error)
                              : exportCsv(table, c.path, labels, &error));
        EXPECT_EQ(error.contains(c.path), c.reported) << error.toStdString();
        EXPECT_EQ(table, before);
    }
}

} // namespace
