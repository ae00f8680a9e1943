#include "editor/panel_support.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace panel_support {

int findListIndex(const QComboBox* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i).compare(text, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int indexIgnoringCase(const QStringList& list, const QString& text) {
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).compare(text, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString leadingDigits(const QString& text) {
    qsizetype n = 0;
    while (n < text.size() && text.at(n) >= QLatin1Char('0') && text.at(n) <= QLatin1Char('9'))
        ++n;
    return text.left(n);
}

QString withoutColons(const QString& caption) {
    QString title = caption;
    return title.remove(QLatin1Char(':'));
}

QColor fromColourNumber(int colour) {
    return QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

void setCaptionColour(QLabel* label, int colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, fromColourNumber(colour));
    label->setPalette(palette);
}

QString indexed(const char* name, int i) {
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(i);
}

QToolButton* pickerButton(QWidget* parent, const QString& name) {
    auto* b = named<QToolButton>(parent, name);
    b->setText(QStringLiteral("..."));
    return b;
}

QWidget* row(QWidget* parent, std::initializer_list<QWidget*> widgets) {
    auto* w = new QWidget(parent);
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* child : widgets) {
        child->setParent(w);
        layout->addWidget(child);
    }
    return w;
}

void keepFieldsReadable(QWidget* content) {
    const int width = content->fontMetrics().averageCharWidth() * 14;
    for (QLineEdit* edit : content->findChildren<QLineEdit*>())
        edit->setMinimumWidth(width);
    // A jump list does not grow with the longest menu name either.
    for (QComboBox* list : content->findChildren<QComboBox*>()) {
        list->setMinimumWidth(width);
        if (list->objectName().contains(QStringLiteral("Saut"))) {
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            list->setMinimumContentsLength(24);
        }
    }
}

} // namespace panel_support
