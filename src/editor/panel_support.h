#pragma once

#include "model/section_store.h"

#include <QColor>
#include <QString>

class QComboBox;
class QLabel;

namespace panel_support {

// Position (from 0) of the first entry equal to text ignoring case, -1 when none.
int findListIndex(const QComboBox* list, const QString& text);
// The run of digits "0".."9" at the start of text ("" when it does not begin with one).
QString leadingDigits(const QString& text);

// A colour numbered as the server's tools do (red + 256 * green + 65536 * blue).
QColor fromColourNumber(int colour);
void setCaptionColour(QLabel* label, int colour);
int captionColour(const QLabel* label);

} // namespace panel_support
