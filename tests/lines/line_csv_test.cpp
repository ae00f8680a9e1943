#include "lines/line_csv.h"
#include "lines/line_files.h"
#include "lines/line_test_support.h"
#include "support/qt_print.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace line_testing;
using testing_support::writeBytes;

namespace {

class LineCsv : public LineTableTest {
protected:
    QString path = dir.filePath("lines.csv");
};

TEST_F(LineCsv, ExportWritesTheHeaderAndNonBlankLinesInTheSpreadsheetsOrder) {
    readLineTable(table, names, "100;200;7;452;;;0612;3;7;2;H\xC3\xA9;llo\r\n;;;;;;;;;;\r\n;;;;;;;0;;;\r\n");
    prepareGrid(table);
    ASSERT_TRUE(exportCsv(table, path, labels));
    EXPECT_EQ(testing_support::readBytes(path),
              "Calling number;Called number;Code;Planning;VP;Application when open;"
              "Transfer when open;Application when closed;Transfer when closed;Label;Trace\r\n"
              "100;200;7;4;8;452;;0;0612;H\xE9llo;2\r\n"
              ";;;1;0;0;;0;;;0\r\n");
}

// Random tables as administrators leave them: blank rows (inserted, cleared), lines of other
// applications, transfers, plannings; every field in its range.
LineTable randomTable(const LineNames& names, QRandomGenerator& random, int count) {
    LineTable table;
    const qint16 apps[] = {0, 0, 451, 452, 300, 300};
    const auto pick = [&](int n) { return int(random.bounded(n)); };
    const auto number = [&] { return pick(3) == 0 ? QString() : QString::number(100 + pick(40)); };
    for (int i = 0; i < count; ++i) {
        LineRecord r;
        if (pick(5) > 0) {
            r.cli = number();
            r.ddi = number();
            r.code = pick(4) == 0 ? QStringLiteral("x") : QString();
            r.planing = qint16(pick(3) == 0 ? pick(11) : 0);
            r.VP = qint16(pick(9));
            r.trfOK = pick(6) == 0 ? number() : QString();
            r.trfKO = number();
            r.libelle = pick(2) ? QStringLiteral("L%1 é").arg(pick(5)) : QString();
            r.trace = qint16(pick(4));
        }
        r.app = apps[pick(6)];
        r.appKO = apps[pick(4)];
        r.appName = names.applications.applicationName(r.app);
        r.appKOName = names.applications.applicationName(r.appKO);
        r.planningName = names.plannings.planningName(r.planing);
        table.append(r);
    }
    return table;
}

// The lines the file and the server hold, then the count of other applications' lines.
std::pair<QList<LineRecord>, int> kept(const LineTable& table) {
    std::pair<QList<LineRecord>, int> out{{}, 0};
    for (int i = 1; i <= table.lineCount(); ++i) {
        if (!table.line(i).isBlank()) out.first.append(table.line(i));
        out.second += table.line(i).app == 300;
    }
    return out;
}

// Whatever the table, its export imported over it gives back every line that the file and the server
// hold, in order, and loses no line of another application.
TEST_F(LineCsv, ExportThenImportGivesBackAnyTable) {
    QRandomGenerator random(17);
    for (int round = 0; round < 40; ++round) {
        const int count = round == 0 ? lineCapacity : 1 + int(random.bounded(300));
        const LineTable original = randomTable(names, random, count);
        LineTable back = original;
        const CsvReport report = readCsv(back, names, csvBytes(original, labels));
        ASSERT_FALSE(report.refused);
        EXPECT_EQ(report.skipped, 0);
        ASSERT_EQ(kept(back), kept(original)) << "round " << round;
    }
}

TEST_F(LineCsv, LinesOfOtherApplicationsSurviveAnImportAtTheirIndex) {
    QByteArray lines;
    for (int i = 1; i <= 10; ++i)
        lines += QByteArray::number(i) + (i == 7 ? ";;;300" : ";;;451") + ";;;;;;;\n";
    readLineTable(table, names, lines);
    table.line(2).trfOK = "0612";
    const LineRecord kept = table.line(7);
    writeBytes(path, "header\r\n"
                     "a;;;0;0;0;;0;;;0\r\n"
                     "b;;;11;x;-;;0;;;y\r\n"
                     "ten;;;0;0;0;;0;;0\r\n"
                     "twelve;;;0;0;0;;0;;;0;\r\n"
                     "\r\n"
                     "c;;;3;0;452;;0;;;0\r\n");
    CsvReport report;
    ASSERT_TRUE(importCsv(table, names, path, labels, nullptr, &report));
    EXPECT_EQ(report.skippedLines, QList<int>({4, 5}));
    EXPECT_EQ(csvSkippedText(report, labels).left(40), "2 line(s) of the file were not imported ");
    ASSERT_EQ(table.lineCount(), 7);
    const LineRecord &b = table.line(2), &c = table.line(3);
    EXPECT_EQ(QStringList({b.cli, QString::number(b.planing), QString::number(b.VP), c.cli, c.planningName,
                           c.appName}),
              QStringList({"b", "11", "0", "c", "Plan 2", "Nuit"}));
    EXPECT_EQ(QList<LineRecord>({table.line(4), table.line(5), table.line(6), table.line(7)}),
              QList<LineRecord>({{}, {}, {}, kept}));
}

TEST_F(LineCsv, AFileThatCannotBeReadWrittenOrIsNoLineTableLeavesTheTableAndSaysWhy) {
    readLineTable(table, names, "1;;;;;;;;;;");
    const LineTable before = table;
    // Import or export; the file, written with content first when there is one; what is said ("" nothing).
    const std::tuple<bool, QString, QByteArray, QString> cases[] = {
        {true, dir.filePath("missing.csv"), {}, ""},
        {true, dir.path(), {}, "cannot be read"},
        {false, dir.filePath("no/such/folder/x.csv"), {}, "No such file or directory"},
        {true, path, "a,b,c,d,e,f,g,h,i,j,k\r\n1,2,3,0,0,451,,0,,,0\r\n", "(line 2: 1 field, 11 expected)"},
        {true, path, "First;Last;Application\r\n0140;0149;451\r\n", "(line 2: 3 fields, 11 expected)"},
        {true, path, "\r\n", "(line 1: 0 fields, 11 expected)"},
        {true, path, "h;;;;;;;;;;\r\n;;;;\r\n;;;;;;;;;;;;\r\n", "(line 2: 5 fields, 11 expected)"}};
    for (const auto& [import, file, content, said] : cases) {
        if (!content.isEmpty()) writeBytes(file, content);
        QString error;
        EXPECT_FALSE(import ? importCsv(table, names, file, labels, &error)
                            : exportCsv(table, file, labels, &error));
        EXPECT_EQ(error.contains(file), !said.isEmpty()) << error.toStdString();
        EXPECT_TRUE(error.contains(said)) << error.toStdString();
        EXPECT_EQ(table, before);
    }
    // The export of an empty table is a header alone: it empties the table.
    writeBytes(path, csvBytes(LineTable{}, labels));
    EXPECT_TRUE(importCsv(table, names, path, labels));
    EXPECT_EQ(table.lineCount(), 0);
}

} // namespace
