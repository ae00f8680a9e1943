#pragma once

#include "editor/detail_panel.h"

class QComboBox;
class QLineEdit;
class QToolButton;

// Panel 1, a menu node's details: its name, schedule, announcement, repetitions and silences.
class MenuPanel : public DetailPanel {
    Q_OBJECT
public:
    MenuPanel(PanelContext& shared, QWidget* parent);
    void showNode() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void connectHandlers();
    void onSchedule(int position);

    // Controls, named as the design names them ("txtLib_1", "cboHoraires"...).
    QLabel* lblTitre = nullptr;
    QLineEdit* txtLib = nullptr;
    QLabel* lblHoraires = nullptr;
    QComboBox* cboHoraires = nullptr;
    QLabel* lblAnnonceMenu = nullptr;
    QLineEdit* txtAnnonceMenu = nullptr;
    QToolButton* cmdPopup4 = nullptr;
    QLabel* lblRepetition = nullptr;
    QLineEdit* txtRepeatMenu = nullptr;
    QLabel* lblSilences = nullptr;
    QLineEdit* txtSilence = nullptr;
};
