#pragma once

#include "editor/detail_panel.h"

#include <array>

class NodePanels;
class QComboBox;
class QLineEdit;
class QToolButton;

// Panel 2, a key node's details: the action type of the key and the parameters of that type (a number,
// an announcement with repetitions and silences, or a jump target). Choosing "sub-menu" adds a menu
// through the coordinator, which also redisplays the key after a change of type.
class KeyPanel : public DetailPanel {
    Q_OBJECT
public:
    KeyPanel(PanelContext& shared, NodePanels& owner);
    void showNode() override;
    // The key's digit beside the panel's caption ("" for none).
    void setKeyDigit(const QString& digits);
    // As if the type were picked in the list (row: ActionTypes index).
    void chooseKeyType(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void connectHandlers();
    void onKeyType();
    void layoutKeyDetails(const QString& code);
    void onDetailChanged();
    void onMenuJump();
    void openKeyPicker();

    NodePanels& m_owner;

    // Controls, named as the design names them ("cboTypesActions", "txtDetail_0"...).
    QLabel* lblNumTouche = nullptr;
    QLabel* lblTypeAction = nullptr;
    QComboBox* cboTypesActions = nullptr;
    std::array<QLabel*, 3> lblLibDetail{};
    std::array<QLineEdit*, 3> txtDetail{};
    QToolButton* cmdPopup = nullptr;
    QComboBox* cboMenuSaut = nullptr;

    QString m_keyCode; // action code shown
};
