#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class Translation;

// The About box: the logo found beside the program (Logo.gif), the about and copyright texts of the
// translation file, and the program's version from its version file.
class FrmAPropos : public QDialog {
    Q_OBJECT
public:
    FrmAPropos(const Translation& translation, const QString& programDir, QWidget* parent = nullptr);

    // Whether a logo was found and shown.
    bool hasLogo() const;

private:
    QLabel* imgLogo = nullptr;
    QLabel* lblAPropos = nullptr;
    QLabel* lbl_Copyright = nullptr;
    QLabel* lbl_Version = nullptr;
    QPushButton* cmdFermer = nullptr;
};
