#include "core/diagnostics_sink.h"
#include "lines/line_files.h"
#include "lines/line_rules.h"
#include "lines/line_test_support.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

using namespace line_testing;

namespace {

class LineRules : public LineTableTest {
protected:
    // A table of one line of every field: application 451 when open, transfer 0612 when closed,
    // planning 1, VP 3, trace 1.
    void fill() { readLineTable(table, names, "1;2;5;451;;;0612;1;2;1;old"); }
    QString cell(int column) const { return gridRow(table, names, 1).texts[std::size_t(column - 1)]; }
};

TEST_F(LineRules, EachColumnAcceptsWhatItsKindAllows) {
    // The column, the text typed, whether it is taken, the cell afterwards.
    const std::tuple<int, const char*, bool, const char*> cases[] = {
        {1, " 12aBcD*#xX ", true, "12aBcD*#xX"},
        {1, "12e", false, "1"},
        {2, "", true, ""},
        {3, "x", true, "x"},
        {3, "12x", false, "5"},
        {3, "007", true, "007"},
        {5, "0", false, "3"},
        {5, "9", false, "3"},
        {5, "8", true, "8"},
        {5, "", true, ""},
        {6, "Nuit", true, "Nuit"},
        {6, "nuit", false, "Accueil"},
        {6, "Fax", false, "Accueil"},
        {6, "0612#", true, "0612#"},
        {8, "a;b", true, "ab"},
        {4, "1", false, "Plan 1"},
        {9, "1", false, "Normal"},
        {7, "Accueil", true, "Accueil"}, // last: checked below
    };
    for (const auto& [column, typed, accepted, shown] : cases) {
        SCOPED_TRACE(QStringLiteral("column %1 \"%2\"").arg(column).arg(typed).toStdString());
        fill();
        EXPECT_EQ(enterCellText(table, names, 1, column, typed), accepted);
        EXPECT_EQ(cell(column), shown);
    }
    // The application chosen by name replaced the transfer number.
    EXPECT_EQ(std::pair(table.line(1).trfKO, table.line(1).appKO), std::pair(QString(), qint16(451)));
}

TEST_F(LineRules, DeleteEmptiesOneCell) {
    for (int column = 1; column <= 9; ++column) {
        fill();
        LineGridRow expected = gridRow(table, names, 1);
        expected.texts[std::size_t(column - 1)] = column == 9 ? "None" : ""; // the trace shows its level
        ASSERT_TRUE(clearCell(table, 1, column));
        EXPECT_EQ(gridRow(table, names, 1).texts, expected.texts) << column;
    }
}

TEST_F(LineRules, GreyedLinesCannotBeChangedOrDeleted) {
    const std::pair<const char*, bool> cases[] = {
        {"1;;;300;;;;;;;", true}, {"3;;;;0612;;;;;;", true}, {"2;;;452;;;;;;;", false}};
    for (const auto& [file, greyed] : cases) {
        SCOPED_TRACE(file);
        readLineTable(table, names, file);
        const LineRecord record = table.line(1);
        EXPECT_EQ(gridRow(table, names, 1).greyed, greyed);
        EXPECT_EQ(QList<bool>({enterCellText(table, names, 1, 8, "new"), choosePlanning(table, names, 1, 3),
                               chooseTrace(table, 1, 2), clearCell(table, 1, 1)}),
                  QList<bool>(4, !greyed));
        // Delete on the transfer when open takes it back; another application's line stays.
        EXPECT_EQ(clearCell(table, 1, 6), record.app != 300);
        EXPECT_EQ(isGreyed(table.line(1)), record.app == 300);
        table.line(1).trfOK = record.trfOK;
        EXPECT_EQ(deleteLigne(table, 1), !greyed);
    }
}

TEST_F(LineRules, DeletingAndInsertingKeepTheGridsLinesInOrder) {
    const auto numbered = [this](int count) {
        QByteArray file;
        for (int i = 1; i <= count; ++i)
            file += QByteArray::number(i) + ";;;;;;;;;;\n";
        readLineTable(table, names, file);
    };
    const auto clis = [this] {
        QStringList out;
        for (int i = 1; i <= table.lineCount(); ++i)
            out << table.line(i).cli;
        return out.join(',');
    };
    numbered(25);
    ASSERT_TRUE(deleteLigne(table, 3));
    EXPECT_EQ(clis(), "1,2,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,");
    numbered(30);
    EXPECT_EQ(QList<int>({deleteLigne(table, 3), table.lineCount(), addLigne(table)}),
              QList<int>({true, 29, 30}));
    EXPECT_EQ(QStringList({clis().right(7), QString::number(insertLigne(table, 2)), clis().left(7),
                           QString::number(table.lineCount())}),
              QStringList({",29,30,", "1", "1,,2,4,", "31"}));

    numbered(lineCapacity - 1);
    EXPECT_EQ(QList<int>({addLigne(table), addLigne(table), insertLigne(table, 1), table.lineCount()}),
              QList<int>({lineCapacity, 0, false, lineCapacity}));
}

TEST_F(LineRules, ChecksListEachFaultOfEachLineAndForgetMendedOnes) {
    readLineTable(table, names, "100;;7;451;;;;;;;\n;;;451;;;;0;;;\n;200;;;;;;;;;");
    // Out of range, as a spreadsheet may leave them: the server would read them as none.
    LineRecord outOfRange = table.line(2);
    outOfRange.planing = 11;
    outOfRange.VP = 9;
    outOfRange.trace = 4;
    table.append(outOfRange);
    const QList<LineFinding> expected = {
        {"Line #1 : code without VP", DiagnosticsSink::Error, 1},
        {"Line #2 : planning without a destination when open or when closed", DiagnosticsSink::Error, 2},
        {"Line #3 : no application or transfer when open", DiagnosticsSink::Error, 3},
        {"Line #4 : planning without a destination when open or when closed", DiagnosticsSink::Error, 4},
        {"Line #4 : VP out of range (1 to 8)", DiagnosticsSink::Error, 4},
        {"Line #4 : planning out of range (1 to 10)", DiagnosticsSink::Error, 4},
        {"Line #4 : trace level out of range (0 to 3)", DiagnosticsSink::Error, 4}};
    EXPECT_EQ(verifDebug(table, labels), expected);
    table.removeAt(4);
    EXPECT_EQ(QList<bool>({enterCellText(table, names, 1, 5, "2"), enterCellText(table, names, 2, 7, "Nuit"),
                           enterCellText(table, names, 3, 6, "201")}),
              QList<bool>(3, true));
    EXPECT_TRUE(verifDebug(table, labels).isEmpty());
}

} // namespace
