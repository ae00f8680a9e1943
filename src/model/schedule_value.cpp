#include "model/schedule_value.h"

#include "core/profile_file.h"
#include "model/fixed_tables.h"

#include <algorithm>

namespace schedule_value {

namespace {

// Offsets of the four fields of a range inside its 11 characters, and of the second range.
constexpr std::array<int, 4> kFieldOffsets = {0, 3, 6, 9};
constexpr int kSecondRangeOffset = kOneRangeLength + 1;

TimeRange blankRange() {
    return {blankField(), blankField(), blankField(), blankField()};
}

TimeRange rangeAt(const QString& value, int offset) {
    TimeRange range;
    for (size_t i = 0; i < range.size(); ++i)
        range[i] = value.mid(offset + kFieldOffsets[i], 2);
    return range;
}

QString rangeText(const TimeRange& r) {
    return r[0] + QLatin1Char(':') + r[1] + QLatin1Char('-') + r[2] + QLatin1Char(':') + r[3];
}

} // namespace

QString blankField() {
    return QStringLiteral("  ");
}

QString blankDayValue() {
    return rangeText(blankRange());
}

bool isFieldSet(const QString& field) {
    return !field.isEmpty() && field != blankField();
}

DayTimes parseDayValue(const QString& value) {
    DayTimes times{blankRange(), blankRange()};
    if (value.size() == kOneRangeLength || value.size() == kTwoRangesLength) times.first = rangeAt(value, 0);
    if (value.size() == kTwoRangesLength) times.second = rangeAt(value, kSecondRangeOffset);
    return times;
}

QString formatDayValue(const DayTimes& times) {
    QString value = rangeText(times.first);
    if (std::any_of(times.second.begin(), times.second.end(), isFieldSet))
        value += QLatin1Char('/') + rangeText(times.second);
    return value;
}

} // namespace schedule_value

void importSchedules(const ProfileFile& treeFile, Schedules& schedules) {
    for (size_t s = 0; s < schedules.size(); ++s) {
        const QString section = QStringLiteral("H") + QString::number(s + 1);
        for (size_t d = 0; d < dayCodes().size(); ++d)
            schedules[s].days[d].value = treeFile.value(section, dayCodes()[d], QString());
    }
}
