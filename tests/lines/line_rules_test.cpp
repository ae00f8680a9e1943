#include "core/diagnostics_sink.h"
#include "lines/line_rules.h"
#include "lines/line_test_support.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

using namespace line_testing;

namespace {

class LineRules : public LineTableTest {
protected:
    // One line of every field: cli 1, ddi 2, code 5, planning 1, VP 3, application 451 when open,
    // transfer 0612 when closed, label "old", trace 1.
    static LineRecord filled() {
        LineRecord r = line("1", "5", 451, 3);
        r.ddi = "2";
        r.planing = 2;
        r.planningName = "Plan 1";
        r.trfKO = "0612";
        r.libelle = "old";
        r.trace = 1;
        return r;
    }
    QString cell(int column) const { return gridRow(table, names, 1).texts[std::size_t(column - 1)]; }
};

TEST_F(LineRules, EachColumnAcceptsWhatItsKindAllows) {
    const struct {
        int column;
        const char* typed;
        bool accepted;
        const char* shown;
    } cases[] = {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("column %1 \"%2\"").arg(c.column).arg(c.typed).toStdString());
        table.clear();
        table.append(filled());
        EXPECT_EQ(enterCellText(table, names, 1, c.column, c.typed), c.accepted);
        EXPECT_EQ(cell(c.column), c.shown);
    }
    // The application chosen by name replaced the transfer number.
    EXPECT_TRUE(table.line(1).trfKO.isEmpty());
    EXPECT_EQ(table.line(1).appKO, 451);
}

TEST_F(LineRules, DeleteEmptiesOneCell) {
    const char* emptied[] = {"", "", "", "", "", "", "", "", "None"};
    for (int column = 1; column <= 9; ++column) {
        table.clear();
        table.append(filled());
        const LineGridRow before = gridRow(table, names, 1);
        ASSERT_TRUE(clearCell(table, 1, column));
        LineGridRow expected = before;
        expected.texts[std::size_t(column - 1)] = emptied[column - 1];
        EXPECT_EQ(gridRow(table, names, 1).texts, expected.texts) << column;
    }
}

TEST_F(LineRules, GreyedLinesCannotBeChangedOrDeleted) {
    LineRecord transfer = line("3");
    transfer.trfOK = "0612";
    const struct {
        LineRecord record;
        bool greyed;
    } cases[] = {{line("1", "", 300), true}, {transfer, true}, {line("2", "", 452), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.cli.toStdString());
        table.clear();
        table.append(c.record);
        EXPECT_EQ(gridRow(table, names, 1).greyed, c.greyed);
        EXPECT_EQ(enterCellText(table, names, 1, 8, "new"), !c.greyed);
        EXPECT_EQ(choosePlanning(table, names, 1, 3), !c.greyed);
        EXPECT_EQ(chooseTrace(table, 1, 2), !c.greyed);
        EXPECT_EQ(clearCell(table, 1, 1), !c.greyed);
        // Delete on the transfer when open takes it back; another application's line stays.
        EXPECT_EQ(clearCell(table, 1, 6), c.record.app != 300);
        EXPECT_EQ(isGreyed(table.line(1)), c.record.app == 300);
        if (c.record.app != 300) table.line(1).trfOK = c.record.trfOK;
        EXPECT_EQ(deleteLigne(table, 1), !c.greyed);
    }
}

TEST_F(LineRules, DeletingAndInsertingKeepTheGridsLinesInOrder) {
    const auto numbered = [this](int count) {
        table.clear();
        for (int i = 1; i <= count; ++i)
            table.append(line(QString::number(i)));
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
    ASSERT_TRUE(deleteLigne(table, 3));
    EXPECT_EQ(table.lineCount(), 29);
    EXPECT_EQ(addLigne(table), 30);
    EXPECT_EQ(clis().right(7), ",29,30,");
    ASSERT_TRUE(insertLigne(table, 2));
    EXPECT_EQ(clis().left(7), "1,,2,4,");
    EXPECT_EQ(table.lineCount(), 31);

    numbered(lineCapacity - 1);
    EXPECT_EQ(addLigne(table), lineCapacity);
    EXPECT_EQ(addLigne(table), 0);
    EXPECT_FALSE(insertLigne(table, 1));
    EXPECT_EQ(table.lineCount(), lineCapacity);
}

TEST_F(LineRules, ChecksListEachFaultOfEachLineAndForgetMendedOnes) {
    LineRecord plannedOpenOnly = line("", "", 451);
    plannedOpenOnly.planing = 1;
    LineRecord noDestination = line("");
    noDestination.ddi = "200";
    table.append(line("100", "7", 451));
    table.append(plannedOpenOnly);
    table.append(noDestination);
    // Out of range, as a spreadsheet may leave them: the server would read them as none.
    LineRecord outOfRange = line("", "", 451, 9);
    outOfRange.planing = 11;
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
    ASSERT_TRUE(enterCellText(table, names, 1, 5, "2"));
    ASSERT_TRUE(enterCellText(table, names, 2, 7, "Nuit"));
    ASSERT_TRUE(enterCellText(table, names, 3, 6, "201"));
    EXPECT_TRUE(verifDebug(table, labels).isEmpty());
}

} // namespace
