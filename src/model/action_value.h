#pragma once

#include "model/fixed_tables.h"

#include <QString>
#include <QStringList>

// An action value is a code and its parameters joined by ";" ("trf;201", "ann;15;2;2", "std", "").
namespace action {

// Field 0 of the value ("" for an empty value).
QString code(const QString& value);
// Field n (1-based parameters), "" when absent.
QString param(const QString& value, int n);

// Tree-view image of a code ("NoAction", "Saut", "Transfert", ...). Unknown codes show "NoAction".
QString imageFor(const QString& code);

// Row (0-based index into ActionTypes) of a code, -1 when unknown.
int rowOf(const QString& code);

// Description of a key node after its digit and " - ". For "sau", jumpTargetName is the "lib" of the
// target when known ("" otherwise). An unknown code is described by itself.
QString describe(const QString& value, const ActionTypes& types, const QString& jumpTargetName = {});

// Text of a key node: digit + " - " + description.
QString keyNodeText(int digit, const QString& value, const ActionTypes& types,
                    const QString& jumpTargetName = {});

// Node key of the key node of a menu: "E-" + menu + "-" + digit.
QString keyNodeKey(const QString& menu, int digit);

} // namespace action
