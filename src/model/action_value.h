#pragma once

#include "model/fixed_tables.h"

#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// An action value is a code and its parameters joined by ";" ("trf;201", "ann;15;2;2", "std", "").
namespace action {

// The action codes ("" is no action).
inline constexpr QLatin1String Sau("sau"); // jump to a menu or a tree
inline constexpr QLatin1String Trf("trf"); // transfer to a station
inline constexpr QLatin1String Ann("ann"); // announcement
inline constexpr QLatin1String Std("std"); // operator
inline constexpr QLatin1String Num("num"); // free dialling
inline constexpr QLatin1String Men("men"); // sub-menu
inline constexpr QLatin1String Bvn("bvn"); // voice box, number dialled by the caller
inline constexpr QLatin1String Bvo("bvo"); // voice box of a station

// An action as the server reads it: its code and the parameters that code takes. Fields the code does
// not read and empty fields at the end make no difference ("ann;12" is "ann;12;;", "std;" is "std").
struct Value {
    QString code;
    QStringList params; // 1-based parameter n is params[n - 1]; trailing empty ones dropped

    static Value parse(const QString& text);
    // Parameter n (1-based), "" when absent.
    QString param(int n) const { return n >= 1 && n <= params.size() ? params[n - 1] : QString(); }
    bool operator==(const Value&) const = default;
};

// How many parameters a code takes; -1 for a code the server does not know (all its fields count).
int paramCount(const QString& code);

// Field 0 of the value ("" for an empty value).
QString code(const QString& value);
// Field n (1-based parameters), "" when absent.
QString param(const QString& value, int n);

// Whether the text is this code. Inline, for the loops of a load over thousands of keys.
inline bool isCode(QStringView text, QLatin1String code) {
    if (text.size() != code.size()) return false;
    for (qsizetype i = 0; i < code.size(); ++i)
        if (text[i] != QLatin1Char(code[i])) return false;
    return true;
}

// Whether field 0 of the value is this code: no copy, no search.
inline bool hasCode(QStringView value, QLatin1String code) {
    return value.size() >= code.size() && isCode(value.first(code.size()), code) &&
           (value.size() == code.size() || value[code.size()] == QLatin1Char(';'));
}

// Tree-view image of a code ("NoAction", "Saut", "Transfert", ...). Unknown codes show "NoAction".
QString imageFor(QStringView code);

// Row (0-based index into ActionTypes) of a code, -1 when unknown.
int rowOf(const QString& code);
// Row of a code a tree exit takes ("", ann, std, trf, sau), -1 for any other.
int exitRow(const QString& code);

// Value written when a type is chosen for a menu key: the code with its parameters left empty
// (an announcement starts with two repetitions and two silences).
QString keyDefault(const QString& code);
// Value written when a type is chosen for a tree exit.
QString exitDefault(const QString& code);

// Value of a key of type code from the detail fields (number or voice box; announcement, repetitions,
// silences). nullopt for a type without detail fields.
std::optional<QString> keyValue(const QString& code, const std::array<QString, 3>& details);
// Value of a tree exit of type code from its parameter; an announcement is played once, with one
// silence. nullopt for a type without parameter.
std::optional<QString> exitValue(const QString& code, const QString& parameter);
// Value of a jump to the menu or tree target.
QString jumpValue(const QString& target);

// Description of a key node after its digit and " - ". For "sau", jumpTargetName is the "lib" of the
// target: nullopt when the target or its name is missing (no brackets), else shown in brackets, even
// when empty. An unknown code is described by itself.
QString describe(const QString& value, const ActionTypes& types,
                 const std::optional<QString>& jumpTargetName = std::nullopt);

// Text of a key node: digit + " - " + description.
QString keyNodeText(int digit, const QString& value, const ActionTypes& types,
                    const std::optional<QString>& jumpTargetName = std::nullopt);
// Text of a key node just given the type code: digit + " - " + type caption, with empty brackets for
// the types whose parameter shows there once typed (transfer, announcement).
QString keyTypeText(int digit, const QString& code, const ActionTypes& types);

// Node key of the key node of a menu: "E-" + menu + "-" + digit.
QString keyNodeKey(const QString& menu, int digit);

} // namespace action
