#include "model/fixed_tables.h"
#include "model/schedule_value.h"
#include "startup/profile_file.h"
#include "startup/translation.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace schedule_value;

namespace {

// Eight fields "hh:mm-hh:mm hh:mm-hh:mm" as written in a table; "__" stands for a blank field.
DayTimes times(const char* fields) {
    QStringList f = QString(fields).split(QRegularExpression("[:\\- ]"));
    f.resize(8);
    f.replaceInStrings("__", "  ");
    return {{f[0], f[1], f[2], f[3]}, {f[4], f[5], f[6], f[7]}};
}

TEST(ScheduleValue, WritesFixedWidthDays) {
    const std::pair<const char*, const char*> cases[] = {
        {"08:30-12:00 __:__-__:__", "08:30-12:00"},
        {"08:30-12:00 14:00-18:00", "08:30-12:00/14:00-18:00"},
        {"08:30-12:00 00:00-00:00", "08:30-12:00/00:00-00:00"}, // zeros are a range
        {"08:30-12:00 __:__-__:45", "08:30-12:00/  :  -  :45"}, // one field set writes the range
        {"__:__-__:__ __:__-__:__", "  :  -  :  "},
        {"09:__-__:30 __:__-__:__", "09:  -  :30"},
        {"18:00-08:00 __:__-__:__", "18:00-08:00"}, // ending before it starts is kept
        {"08:00-12:00", "08:00-12:00"},             // unselected second fields do not count
    };
    for (const auto& [fields, expected] : cases)
        EXPECT_EQ(formatDayValue(times(fields)), expected) << fields;
}

TEST(ScheduleValue, ReadsFieldsByPosition) {
    const std::pair<const char*, const char*> cases[] = {
        {"08:30-12:00", "08:30-12:00 __:__-__:__"},
        {"08:30-12:00/14:00-18:00", "08:30-12:00 14:00-18:00"},
        {"8:30-12:00", "__:__-__:__ __:__-__:__"}, // ten characters is no day value
        {"", "__:__-__:__ __:__-__:__"},
        {":  -  :", "__:__-__:__ __:__-__:__"},
        {"08h30x12h00", "08:30-12:00 __:__-__:__"}, // separators are not checked
        {"25:61-99:00", "25:61-99:00 __:__-__:__"}, // nor the times
    };
    for (const auto& [value, fields] : cases) {
        const DayTimes parsed = parseDayValue(value), expected = times(fields);
        EXPECT_EQ(parsed.first, expected.first) << value;
        EXPECT_EQ(parsed.second, expected.second) << value;
    }
    for (const char* v : {"08:30-12:00", "08:30-12:00/14:00-18:00", "  :  -  :  ", "07:  -  :00/  :15-  :  "})
        EXPECT_EQ(formatDayValue(parseDayValue(v)), v);
    EXPECT_EQ(blankDayValue(), "  :  -  :  ");
}

TEST(ScheduleImport, ReadsAllTenSchedulesFromATreeFile) {
    Schedules schedules = makeSchedules(Translation());
    for (Schedule& s : schedules)
        for (ScheduleDay& d : s.days)
            d.value = "00:00-23:59";
    importSchedules(ProfileFile::load(testing_support::dataDir() + "/dialogs/horaires_source.maa"),
                    schedules);
    const std::tuple<int, int, const char*> cases[] = {
        {0, 0, "08:30-12:00/14:00-18:00"},
        {0, 1, "08:30-12:00"},
        {0, 2, ""},
        {0, 5, "09:00-12:00"},
        {1, 0, "07:00-19:00"}, // "[h2]" and "LUN=" match without case
        {1, 1, ""},            // keys the section lacks become empty
        {3, 6, "10:00-11:00"},
    };
    for (const auto& [schedule, day, value] : cases)
        EXPECT_EQ(schedules[schedule].days[day].value, value) << schedule << " " << day;
    for (size_t s : {2u, 4u, 9u}) // no section: every day empty
        for (const ScheduleDay& d : schedules[s].days)
            EXPECT_EQ(d.value, "") << "H" << s + 1 << " " << d.code.toStdString();
    EXPECT_EQ(schedules[0].days[6].code, "dim");
}

} // namespace
