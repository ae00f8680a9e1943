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

bool isNumberField(const QString& value, const QString& allowedCharacters) {
    if (value.isEmpty()) return false;
    QString rest = value.toUpper();
    for (QChar c : allowedCharacters)
        rest.remove(c.toUpper());
    if (rest.isEmpty()) return true;
    bool ok = false;
    const int number = rest.trimmed().toInt(&ok);
    if (!ok || number < 0) return false;
    return !rest.contains(QLatin1Char(',')) && !rest.contains(QLatin1Char('.')) &&
           !rest.contains(QLatin1Char('&'));
}

int fieldStateColour(const SectionStore& store, int sectionIndex, int valueIndex, const QString& suffix) {
    if (sectionIndex < 1 || sectionIndex > store.size()) return 0;
    const QString code = QStringLiteral("%1;").arg(valueIndex, 2, 10, QLatin1Char('0')) + suffix;
    const Section& s = store.at(sectionIndex);
    if (s.errorFields.contains(code)) return 255;
    if (s.warningFields.contains(code)) return 33023;
    return 0;
}

} // namespace panel_support
