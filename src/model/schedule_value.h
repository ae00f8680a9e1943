#pragma once

#include <QString>
#include <array>

class ProfileFile;
struct Schedule;
using Schedules = std::array<Schedule, 10>;

// A day of a schedule is written with a fixed width: "hh:mm-hh:mm" (11 characters) for one range,
// "hh:mm-hh:mm/hh:mm-hh:mm" (23 characters) for two. Each hour and minute takes two characters and a
// field left empty is two spaces.
namespace schedule_value {

inline constexpr int kOneRangeLength = 11;
inline constexpr int kTwoRangesLength = 23;

// The two characters of a field that is left empty.
QString blankField();
// A day whose first range is entirely empty.
QString blankDayValue();

// Start hour, start minute, end hour, end minute, as shown ("  " when empty).
using TimeRange = std::array<QString, 4>;

struct DayTimes {
    TimeRange first;
    TimeRange second;
};

// A field that names a time (neither the empty "  " nor no selection at all).
bool isFieldSet(const QString& field);

// The fields of a day value. A value of any other width than one or two ranges reads as all empty.
DayTimes parseDayValue(const QString& value);

// The day value for the fields shown: the first range always, the second only when one of its fields
// names a time.
QString formatDayValue(const DayTimes& times);

} // namespace schedule_value

// Replaces the day values of all ten schedules with those of another tree file: section "H" + number,
// key = day code; a day the file lacks becomes "". Codes and captions are left as they are.
void importSchedules(const ProfileFile& treeFile, Schedules& schedules);
