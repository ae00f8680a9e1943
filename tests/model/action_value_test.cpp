#include "model/action_value.h"

#include "model/example_tree.h"
#include "support/qt_print.h"

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

} // namespace
