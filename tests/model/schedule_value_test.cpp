#include "model/fixed_tables.h"
#include "model/schedule_value.h"
#include "startup/profile_file.h"
#include "startup/translation.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace schedule_value;

namespace {

const QString B = QStringLiteral("  ");

TimeRange range(const char* sh, const char* sm, const char* eh, const char* em) {
    return {QString::fromLatin1(sh), QString::fromLatin1(sm), QString::fromLatin1(eh),
            QString::fromLatin1(em)};
}

struct FormatCase {
    const char* name;
    TimeRange first;
    TimeRange second;
    const char* expected;
};

class ScheduleValueFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ScheduleValueFormat, WritesFixedWidthDay) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatDayValue({c.first, c.second}), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Days, ScheduleValueFormat,
    ::testing::Values(FormatCase{"MorningOnly", range("08", "30", "12", "00"), range("  ", "  ", "  ", "  "),
                                 "08:30-12:00"},
                      FormatCase{"MorningAndAfternoon", range("08", "30", "12", "00"),
                                 range("14", "00", "18", "00"), "08:30-12:00/14:00-18:00"},
                      FormatCase{"SecondRangeOfZerosIsWritten", range("08", "30", "12", "00"),
                                 range("00", "00", "00", "00"), "08:30-12:00/00:00-00:00"},
                      FormatCase{"OneSecondFieldSetWritesTheSecondRange", range("08", "30", "12", "00"),
                                 range("  ", "  ", "  ", "45"), "08:30-12:00/  :  -  :45"},
                      FormatCase{"AllBlankIsOneBlankRange", range("  ", "  ", "  ", "  "),
                                 range("  ", "  ", "  ", "  "), "  :  -  :  "},
                      FormatCase{"PartlyBlankFirstRangeKeepsItsBlanks", range("09", "  ", "  ", "30"),
                                 range("  ", "  ", "  ", "  "), "09:  -  :30"},
                      FormatCase{"RangeEndingBeforeItStartsIsKept", range("18", "00", "08", "00"),
                                 range("  ", "  ", "  ", "  "), "18:00-08:00"},
                      FormatCase{"UnselectedSecondFieldsDoNotCount", range("08", "00", "12", "00"),
                                 range("", "", "", ""), "08:00-12:00"}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

struct ParseCase {
    const char* name;
    const char* value;
    TimeRange first;
    TimeRange second;
};

class ScheduleValueParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ScheduleValueParse, ReadsFieldsByPosition) {
    const ParseCase& c = GetParam();
    const DayTimes times = parseDayValue(QString::fromLatin1(c.value));
    EXPECT_EQ(times.first, c.first);
    EXPECT_EQ(times.second, c.second);
}

INSTANTIATE_TEST_SUITE_P(
    Days, ScheduleValueParse,
    ::testing::Values(
        ParseCase{"OneRange", "08:30-12:00", range("08", "30", "12", "00"), range("  ", "  ", "  ", "  ")},
        ParseCase{"TwoRanges", "08:30-12:00/14:00-18:00", range("08", "30", "12", "00"),
                  range("14", "00", "18", "00")},
        ParseCase{"ShortHourIsBlank", "8:30-12:00", range("  ", "  ", "  ", "  "),
                  range("  ", "  ", "  ", "  ")},
        ParseCase{"EmptyIsBlank", "", range("  ", "  ", "  ", "  "), range("  ", "  ", "  ", "  ")},
        ParseCase{"TrimmedBlankRangeIsBlank", ":  -  :", range("  ", "  ", "  ", "  "),
                  range("  ", "  ", "  ", "  ")},
        ParseCase{"SeparatorsAreNotChecked", "08h30x12h00", range("08", "30", "12", "00"),
                  range("  ", "  ", "  ", "  ")},
        ParseCase{"OutOfRangeTimesAreReadAsWritten", "25:61-99:00", range("25", "61", "99", "00"),
                  range("  ", "  ", "  ", "  ")}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(ScheduleValue, ShortValueIsStoredBackAsBlankRange) {
    EXPECT_EQ(formatDayValue(parseDayValue(QStringLiteral("8:30-12:00"))), QStringLiteral("  :  -  :  "));
    EXPECT_EQ(blankDayValue(), QStringLiteral("  :  -  :  "));
}

TEST(ScheduleValue, WrittenDaysReadBackUnchanged) {
    for (const char* v :
         {"08:30-12:00", "08:30-12:00/14:00-18:00", "  :  -  :  ", "07:  -  :00/  :15-  :  "}) {
        const QString value = QString::fromLatin1(v);
        EXPECT_EQ(formatDayValue(parseDayValue(value)), value) << v;
    }
}

TEST(ScheduleImport, ReadsAllTenSchedulesFromTreeFile) {
    Schedules schedules = makeSchedules(Translation());
    for (Schedule& s : schedules)
        for (ScheduleDay& d : s.days)
            d.value = QStringLiteral("00:00-23:59");

    importSchedules(
        ProfileFile::load(testing_support::dataDir() + QStringLiteral("/dialogs/horaires_source.maa")),
        schedules);

    EXPECT_EQ(schedules[0].days[0].value, QStringLiteral("08:30-12:00/14:00-18:00"));
    EXPECT_EQ(schedules[0].days[1].value, QStringLiteral("08:30-12:00"));
    EXPECT_EQ(schedules[0].days[2].value, QString());
    EXPECT_EQ(schedules[0].days[5].value, QStringLiteral("09:00-12:00"));
    // Section and key names match without regard to case; the keys H2 lacks become empty.
    EXPECT_EQ(schedules[1].days[0].value, QStringLiteral("07:00-19:00"));
    EXPECT_EQ(schedules[1].days[1].value, QString());
    EXPECT_EQ(schedules[3].days[6].value, QStringLiteral("10:00-11:00"));
    // No section H3 (nor H5..H10): every day empty.
    for (size_t s : {2u, 4u, 9u})
        for (const ScheduleDay& d : schedules[s].days)
            EXPECT_EQ(d.value, QString()) << "H" << s + 1 << " " << d.code.toStdString();
    EXPECT_EQ(schedules[0].days[6].code, QStringLiteral("dim"));
}

} // namespace
