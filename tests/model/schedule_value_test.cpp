#include "model/schedule_value.h"
#include "support/qt_print.h"

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
        {"08:30-12:00 __:__-__:45", "08:30-12:00/  :  -  :45"}, // one field set writes the range
        {"__:__-__:__ __:__-__:__", "  :  -  :  "},
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
        {"8:30-12:00", "__:__-__:__ __:__-__:__"},  // ten characters is no day value
        {"08h30x12h00", "08:30-12:00 __:__-__:__"}, // separators are not checked
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

} // namespace
