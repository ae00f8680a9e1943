#include "editor/qt_prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

namespace {

Prompts::Answer toAnswer(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return Prompts::Answer::Yes;
    case QMessageBox::No:
        return Prompts::Answer::No;
    default:
        return Prompts::Answer::Cancel;
    }
}

} // namespace

void QtPrompts::critical(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void QtPrompts::information(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

Prompts::Answer QtPrompts::question(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return toAnswer(box.exec());
}

Prompts::Answer QtPrompts::questionWithCancel(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::Cancel);
    return toAnswer(box.exec());
}

Prompts::Answer QtPrompts::questionWithDetails(const QString& text, const QString& title,
                                               const QString& remark, const QString& details) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setInformativeText(remark);
    box.setDetailedText(details);
    // The details are lines of some length: the box's own small text area would wrap each one twice.
    if (auto* area = box.findChild<QTextEdit*>()) {
        area->setFixedHeight(220);
        area->setMinimumWidth(640);
    }
    return toAnswer(box.exec());
}

int QtPrompts::choose(const QString& text, const QString& title, const QStringList& buttons,
                      int defaultButton, int escapeButton) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, m_parent);
    QList<QAbstractButton*> added;
    for (const QString& caption : buttons)
        added.append(box.addButton(caption, QMessageBox::ActionRole));
    if (defaultButton >= 0 && defaultButton < added.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(added[defaultButton]));
    if (escapeButton >= 0 && escapeButton < added.size()) box.setEscapeButton(added[escapeButton]);
    box.exec();
    const int chosen = int(added.indexOf(box.clickedButton()));
    return chosen < 0 ? escapeButton : chosen;
}

QString QtPrompts::openFileName(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, title, folder, filter);
}

QString QtPrompts::saveFileName(const QString& title, const QString& folder, const QString& filter) {
    // The caller asks before replacing a file, with its own wording.
    return QFileDialog::getSaveFileName(m_parent, title, folder, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}
