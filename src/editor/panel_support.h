#pragma once

#include "model/section_store.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <initializer_list>

class QComboBox;
class QLabel;
class QToolButton;

namespace panel_support {

// Position (from 0) of the first entry equal to text ignoring case, -1 when none.
int findListIndex(const QComboBox* list, const QString& text);
int indexIgnoringCase(const QStringList& list, const QString& text);
// The run of digits "0".."9" at the start of text ("" when it does not begin with one).
QString leadingDigits(const QString& text);
// A caption as a picker's title.
QString withoutColons(const QString& caption);

// A colour numbered as the server's tools do (red + 256 * green + 65536 * blue).
QColor fromColourNumber(int colour);
void setCaptionColour(QLabel* label, int colour);

// Controls carry the names the design gives them, so that tests find them.
template <typename T> T* named(QWidget* parent, const QString& name) {
    auto* w = new T(parent); // owned by its Qt parent
    w->setObjectName(name);
    return w;
}
// "name_i", the name of an element of a control array.
QString indexed(const char* name, int i);
QToolButton* pickerButton(QWidget* parent, const QString& name);
// The widgets side by side in a widget of their own, without margins.
QWidget* row(QWidget* parent, std::initializer_list<QWidget*> widgets);
// Below a dozen characters a field is unreadable: the frame scrolls instead of squeezing it.
void keepFieldsReadable(QWidget* content);

} // namespace panel_support
