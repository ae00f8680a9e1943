#pragma once

#include <QString>
#include <array>

class Translation;

// One row of the action-type list: caption (from the translation file) and code.
struct ActionType {
    QString caption;
    QString code;
};

// The nine action types in list order; row r of the design is index r - 1.
using ActionTypes = std::array<ActionType, 9>;

struct GeneralParam {
    QString name;
    QString value;
    QString defaultValue;
    bool numeric = false;
};
// "code_retour", "code_dialing", "tp_inter_digit"; row r is index r - 1.
using GeneralParams = std::array<GeneralParam, 3>;

struct ScheduleDay {
    QString code; // "lun" .. "dim"
    QString caption;
    QString value;
    QString defaultValue;
};
struct Schedule {
    std::array<ScheduleDay, 7> days; // day d (1..7) is index d - 1
};
// Schedules "H1".."H10"; schedule n is index n - 1.
using Schedules = std::array<Schedule, 10>;

ActionTypes makeActionTypes(const Translation& translation);
GeneralParams makeGeneralParams();
Schedules makeSchedules(const Translation& translation);

// Day codes in order.
const std::array<QString, 7>& dayCodes();
