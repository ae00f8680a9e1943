#pragma once

#include <QDialog>

class QLabel;

// The small window shown while the editor connects to the voice server at start-up.
class frmConnect final : public QDialog {
    Q_OBJECT
public:
    // caption: window caption and big title; text: the connecting message.
    frmConnect(const QString& caption, const QString& text, QWidget* parent = nullptr);

    QLabel* lblTitre = nullptr;
    QLabel* lblConnect = nullptr;
};
