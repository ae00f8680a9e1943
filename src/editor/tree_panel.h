#pragma once

#include "editor/detail_panel.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

// Panel 0, a tree node's details: its name, languages, greeting announcements and its three exits
// (transfer failed, closed, no reaction), each an action with a parameter or a jump target.
class TreePanel : public DetailPanel {
    Q_OBJECT
public:
    TreePanel(PanelContext& shared, QWidget* parent);
    void showNode() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void connectHandlers();
    void onLanguage(int index);
    void onExitType(int index);
    void layoutExit(int index, const QString& code);
    void onExitParameter(int index);
    void onExitJump(int index);
    void openExitPicker(int index);
    std::vector<QComboBox*> jumpLists() const { return {cboSautArbre.begin(), cboSautArbre.end()}; }

    // Controls, named as the design names them ("txtLib_0", "cboActionsArbre_2"...).
    QLabel* lblTitre = nullptr;
    QLineEdit* txtLib = nullptr;
    QLabel* lblLangues = nullptr;
    std::array<QCheckBox*, 4> chkLangues{};
    QLabel* lblAnnonceAccueil = nullptr;
    QLabel* lblAnnonceLangues = nullptr;
    std::array<QLineEdit*, 3> txtArbreAnnonces{}; // indexes 1 and 2
    QToolButton* cmdPopup2 = nullptr;
    QToolButton* cmdPopup3 = nullptr;
    QLabel* lblRepetition = nullptr;
    QLineEdit* txtRepeat = nullptr;
    QLabel* lblErreurTransfert = nullptr;
    QLabel* lblFermeture = nullptr;
    QLabel* lblNonReaction = nullptr;
    std::array<QComboBox*, 3> cboActionsArbre{};
    std::array<QWidget*, 3> picInfoSup{};
    std::array<QLabel*, 3> lblCaptionInfo{};
    std::array<QLineEdit*, 3> txtActionsArbre{};
    std::array<QToolButton*, 3> cmdPopupAction{};
    std::array<QWidget*, 3> picSaut{};
    std::array<QLabel*, 3> lblCaptionInfoSaut{};
    std::array<QComboBox*, 3> cboSautArbre{};

    std::array<QString, 3> m_exitCode{}; // action code of each exit
};
