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

// What the table's fields write as a day value and what a day value shows in them; some cases hold one
// way only.
TEST(ScheduleValue, TableFieldsAndDayValue) {
    enum Way { Both, Writes, Reads };
    const struct {
        const char *fields, *value;
        Way way;
    } cases[] = {
        {"08:30-12:00 __:__-__:__", "08:30-12:00", Both},
        {"08:30-12:00 14:00-18:00", "08:30-12:00/14:00-18:00", Both},
        {"08:30-12:00 __:__-__:45", "08:30-12:00/  :  -  :45", Both}, // one field set writes the range
        {"__:__-__:__ __:__-__:__", "  :  -  :  ", Both},
        {"18:00-08:00 __:__-__:__", "18:00-08:00", Both},  // ending before it starts is kept
        {"08:00-12:00", "08:00-12:00", Writes},            // unselected second fields do not count
        {"__:__-__:__ __:__-__:__", "8:30-12:00", Reads},  // ten characters is no day value
        {"08:30-12:00 __:__-__:__", "08h30x12h00", Reads}, // separators are not checked
    };
    for (const auto& [fields, value, way] : cases) {
        if (way != Reads) {
            EXPECT_EQ(formatDayValue(times(fields)), value) << fields;
        }
        if (way != Writes) {
            const DayTimes parsed = parseDayValue(value), expected = times(fields);
            EXPECT_EQ(parsed.first, expected.first) << value;
            EXPECT_EQ(parsed.second, expected.second) << value;
        }
    }
}

} // namespace
