#include "editor/panel_support.h"

#include <QComboBox>
#include <QLabel>

namespace panel_support {

int findListIndex(const QComboBox* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i).compare(text, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString leadingDigits(const QString& text) {
    qsizetype n = 0;
    while (n < text.size() && text.at(n) >= QLatin1Char('0') && text.at(n) <= QLatin1Char('9'))
        ++n;
    return text.left(n);
}

QColor fromColourNumber(int colour) {
    return QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

void setCaptionColour(QLabel* label, int colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, fromColourNumber(colour));
    label->setPalette(palette);
}

int captionColour(const QLabel* label) {
    const QColor c = label->palette().color(QPalette::WindowText);
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

} // namespace panel_support
