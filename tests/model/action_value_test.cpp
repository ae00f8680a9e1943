#include "model/action_value.h"

#include "model/example_tree.h"
#include "model/schedule_value.h"
#include "support/qt_print.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString orNone(const std::optional<QString>& value) {
    return value.value_or(QStringLiteral("<none>"));
}

// For each type: what choosing it writes for key 4 and for a tree exit, the key's text then, and the
// value and text once the detail fields hold "15", "3", "1" (the exit's parameter: "15").
TEST(ActionValue, TypeChoiceAndDetailFieldsComposeValueAndNodeText) {
    AppContext ctx;
    example::setUpContext(ctx);
    const ActionTypes types = makeActionTypes(ctx.translation);
    const struct {
        QString code;
        const char* keyDefault;
        const char* exitDefault; // nullptr: exits do not offer the type
        const char* typeText;
        const char* keyValue;
        const char* keyText;
        const char* exitValue;
    } cases[] = {
        {"trf", "trf;", "trf;", "4 - Transfer ()", "trf;15", "4 - Transfer (15)", "trf;15"},
        {"ann", "ann;;2;2", "ann;;;", "4 - Announcement ()", "ann;15;3;1", "4 - Announcement (15)",
         "ann;15;1;1"},
        {"bvo", "bvo;", nullptr, "4 - Station voice box", "bvo;15", "4 - Station voice box (15)", "<none>"},
        {"sau", "sau;", "sau;", "4 - Jump", "<none>", "", "<none>"},
        {"std", "std", "std", "4 - Operator", "<none>", "", "<none>"},
        {"num", "num", nullptr, "4 - Free dialling", "<none>", "", "<none>"},
        {"bvn", "bvn", nullptr, "4 - Voice box", "<none>", "", "<none>"},
        {"", "", "", "4 - No action", "<none>", "", "<none>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code.toStdString());
        EXPECT_EQ(action::keyDefault(c.code), c.keyDefault);
        EXPECT_EQ(action::exitRow(c.code) >= 0, c.exitDefault != nullptr);
        if (c.exitDefault) {
            EXPECT_EQ(action::exitDefault(c.code), c.exitDefault);
        }
        EXPECT_EQ(action::keyTypeText(4, c.code, types), c.typeText);
        const std::optional<QString> value = action::keyValue(c.code, {"15", "3", "1"});
        EXPECT_EQ(orNone(value), c.keyValue);
        if (value) {
            EXPECT_EQ(action::keyNodeText(4, *value, types), c.keyText);
        }
        EXPECT_EQ(orNone(action::exitValue(c.code, "15")), c.exitValue);
    }

    // A jump shows its target's name in brackets, even an empty one, and none without a target.
    const struct {
        std::optional<QString> name;
        const char* text;
    } jumps[] = {{"Sales", "7 - Jump (Sales)"}, {"", "7 - Jump ()"}, {std::nullopt, "7 - Jump"}};
    for (const auto& j : jumps)
        EXPECT_EQ(action::keyNodeText(7, action::jumpValue("M2"), types, j.name), j.text);
    EXPECT_EQ(action::keyNodeText(2, "xyz;1", types), "2 - xyz;1") << "an unknown code shows as it is";
}

// Eight fields "hh:mm-hh:mm hh:mm-hh:mm" as written in a table; "__" stands for a blank field.
schedule_value::DayTimes times(const char* fields) {
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
            EXPECT_EQ(schedule_value::formatDayValue(times(fields)), value) << fields;
        }
        if (way != Writes) {
            const schedule_value::DayTimes parsed = schedule_value::parseDayValue(value),
                                           expected = times(fields);
            EXPECT_EQ(parsed.first, expected.first) << value;
            EXPECT_EQ(parsed.second, expected.second) << value;
        }
    }
}

} // namespace
