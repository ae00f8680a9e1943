#pragma once

#include "core/prompts.h"

#include <QPointer>
#include <QWidget>

// Prompts shown as real message boxes and file dialogs, centred on the main window once it exists.
class QtPrompts final : public Prompts {
public:
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    void critical(const QString& text, const QString& title) override;
    void information(const QString& text, const QString& title) override;
    Answer question(const QString& text, const QString& title) override;
    Answer questionWithCancel(const QString& text, const QString& title) override;
    Answer questionWithDetails(const QString& text, const QString& title, const QString& remark,
                               const QString& details) override;
    int choose(const QString& text, const QString& title, const QStringList& buttons, int defaultButton,
               int escapeButton) override;
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder, const QString& filter) override;

private:
    QPointer<QWidget> m_parent;
};
