#include "lines/line_files.h"
#include "lines/line_test_support.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

using namespace line_testing;
using testing_support::writeBytes;

namespace {

using LineFiles = LineTableTest;

TEST_F(LineFiles, EachLineOfTheServerFileIsReadByItsRules) {
    const std::pair<const char*, const char*> cases[] = {
        // cli|app|planing|VP|trace|libelle, or 0 when the line is not kept
        {"100;200;7;452;;451;;3;7;2;Hall", "100|452|4|8|2|Hall"},
        {"100;;;;;;;10;8;x;Hall", "100|0|0|0|0|Hall"},
        {"100;;;abc;;;;x;-1;;a;b", "100|0|0|0|0|a;b"},
        {"   101;;;;;;;0;0;1;x   ", "101|0|1|1|1|x"},
        {"100;;;;;;;;;", "0"},
        {"/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle", "0"},
        {"[rcm]", "0"},
        {"\xEF\xBB\xBF/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle", "0"},
        {"   ", "0"},
    };
    const auto fields = [](const LineRecord& r) {
        return QStringList({r.cli, QString::number(r.app), QString::number(r.planing), QString::number(r.VP),
                            QString::number(r.trace), r.libelle})
            .join('|');
    };
    for (const auto& [text, read] : cases) {
        readLineTable(table, names, QByteArray(text) + "\r\n");
        EXPECT_EQ(table.lineCount() == 1 ? fields(table.line(1)) : QString::number(table.lineCount()), read)
            << text;
    }
    // Every kind of line end, names looked up, nothing past the capacity.
    readLineTable(table, names, "a;;;451;;300;;3;;;\r\nb;;;;;;;;;;\rc;;;;;;;;;;\nd;;;;;;;;;;");
    ASSERT_EQ(table.lineCount(), 4);
    EXPECT_EQ(QStringList({table.line(1).appName, table.line(1).appKOName, table.line(1).planningName,
                           table.line(4).cli}),
              QStringList({"Accueil", "Fax", "Plan 3", "d"}));
    readLineTable(table, names, QByteArray("1;;;;;;;;;;\n").repeated(lineCapacity + 3));
    EXPECT_EQ(table.lineCount(), lineCapacity);
}

TEST_F(LineFiles, ThreeLinesShowTwentyFiveRowsAndSaveThreeInTheServersForm) {
    readLineTable(table, names,
                  "/ table\r\n100;200;7;452;;300;;3;7;2;Hall; nord\r\n;;x;;0612;;;;;0;\r\n"
                  "300;;;;;;;0;;1;\xC3\x89t\xC3\xA9\r\n"); // the server's UTF-8
    prepareGrid(table);
    EXPECT_EQ(table.lineCount(), 25);

    const QByteArray expected = "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n"
                                "100;200;7;452;;300;;3;7;2;Hall nord\r\n"
                                ";;x;;0612;;;;;0;\r\n"
                                "300;;;;;;;0;;1;\xC9t\xE9\r\n";
    EXPECT_EQ(lineTableBytes(table), expected);

    EXPECT_EQ(QStringList({shown(1), shown(2), shown(25)}),
              QStringList(
                  {"100|200|7|Plan 3|8|Nuit|Fax|Hall; nord|Detailed", "||x|||0612|||None*", "||||||||None"}));
    // The written file reads back as it was, its ANSI label included.
    const QString path = dir.filePath("rcm.cfg");
    ASSERT_TRUE(saveLineFile(table, path, labels));
    EXPECT_EQ(testing_support::readBytes(path), expected);
    LineTable back;
    ASSERT_TRUE(loadLineFile(back, names, path));
    table.line(1).libelle = "Hall nord";
    table.setLineCount(3);
    EXPECT_EQ(back, table);
}

TEST_F(LineFiles, PlanningNamesAreCutAtNulElseTrimmedAndAShortFileReadsZeros) {
    const PlanningTable full = PlanningTable::fromBytes(planningBytes());
    const PlanningTable cut = PlanningTable::fromBytes(planningBytes().left(256 + 3 * 128 + 5));
    const std::tuple<const PlanningTable&, int, const char*> cases[] = {
        {full, 1, "Plan 0"}, {full, 2, "Plan 1"}, {full, 3, "Plan 2"}, {full, 10, "Plan 9"},
        {full, 0, ""},       {full, 11, ""},      {cut, 4, "Plan "},   {cut, 5, ""}};
    for (const auto& [planings, planing, name] : cases)
        EXPECT_EQ(planings.planningName(planing), name) << planing;
}

TEST_F(LineFiles, ServerFilesAreReadInOrderUpToTheFirstMissingOne) {
    writeBytes(dir.filePath("planning.cfg"), planningBytes().left(300));
    writeBytes(dir.filePath("rcm.txt"),
               "[POSTES]\r\nP1=201;Accueil;3;17\r\nP2=202;Dupont; Jean;4;x\r\nP3=203;A;1\r\n"
               "P4=a=b;c;d;e\r\n204;A;1;2\r\n");
    writeBytes(dir.filePath("rcm.cfg"), "1;;;;;;;0;;;\r\n");
    QList<StationEntry> stations;
    EXPECT_EQ(readLineFiles(dir.path(), names, stations, table), "");
    EXPECT_EQ(stations, (QList<StationEntry>{{"201", "Accueil", 3, 17}, {"202", "Dupont; Jean", 4, 0}}));
    ASSERT_EQ(table.lineCount(), 1);
    EXPECT_EQ(table.line(1).planningName, "Plan 0");

    QFile::remove(dir.filePath("rcm.txt"));
    EXPECT_EQ(readLineFiles(dir.path(), names, stations, table), "rcm.txt");
    EXPECT_EQ(table.lineCount(), 0);
}

} // namespace
