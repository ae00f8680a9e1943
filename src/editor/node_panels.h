#pragma once

#include "model/configuration.h"

#include <QIcon>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class PanelHost;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QScrollBar;
class QToolButton;
struct AppContext;

// What the last node click left behind; menu edits and field handlers write through it.
struct DisplayState {
    QString currentNodeKey;
    int currentSectionIndex = 0; // the node's own section (tree or menu), 0 for a key node
    QString parentNodeKey;       // "" for a tree node
    int parentSectionIndex = 0;  // not changed by a click on a tree node
    int currentKeyDigit = -1;    // leading digit of a menu or key node's text, -1 otherwise
    int nodeDepth = 0;           // steps from the node up to its tree node
    bool displayBusy = false;    // set while a panel is filled: no handler writes then
};

// The detail area right of the tree: panel 0 for a tree node, 1 for a menu node, 2 for a key node.
// A node click fills the panel of its kind from the section store; every edit writes straight back into
// the store, follows on the node's text and picture, and is recorded through the PanelHost.
class NodePanels : public QWidget {
    Q_OBJECT
public:
    NodePanels(Configuration& config, const AppContext& ctx, PanelHost& host, QWidget* parent = nullptr);
    ~NodePanels() override;

    // Pictures of the image keys ("Arbre", "Menu", "Transfert"...); none by default.
    void setIconProvider(std::function<QIcon(const QString&)> provider);

    // Shows the node's panel; also the way to redisplay a node after a change.
    void treeV_NodeClick(const QString& key);
    const DisplayState& display() const { return m_state; }

    // Adds a start menu under a tree or a sub-menu in place of a key, selects and shows it, records the
    // step. Nothing happens at depth 4 or outside the rules (false).
    bool AddMenu(const QString& key, int digit);
    // Deletes the menu node and everything below it, then selects tree 1 and records the step.
    void deleteMenu(const QString& key);
    // The Delete key on a tree node: clears a key's action, deletes a menu, ignores a tree.
    void deleteKeyPressed(const QString& key);
    // Chooses an action type for the key shown, as if picked in the type list (row: ActionTypes index).
    void chooseKeyType(int row);

    // Jump targets of the node shown, parallel to the entries of cboMenuSaut and cboSautArbre: "", the
    // menus of the node's tree, then any target a shown value names elsewhere (another tree, say).
    const QStringList& lstCleMenuSaut() const { return m_menuKeys; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Captions;

    // Controls, named as the design names them ("txtLib_0", "picNoeud_2"...).
    std::array<QWidget*, 3> picNoeud{};
    std::array<QScrollArea*, 3> picBlanc{};
    std::array<QWidget*, 3> picToScroll{};
    std::array<QScrollBar*, 3> VScrollInfo{};
    std::array<QLabel*, 3> lblDetails{};
    std::array<QLabel*, 3> imgNoeud{};

    // Tree panel.
    std::array<QLabel*, 2> lblTitre{};
    std::array<QLineEdit*, 2> txtLib{};
    QLabel* lblLangues = nullptr;
    std::array<QCheckBox*, 4> chkLangues{};
    QLabel* lblAnnonceAccueil = nullptr;
    QLabel* lblAnnonceLangues = nullptr;
    std::array<QLineEdit*, 3> txtArbreAnnonces{}; // indexes 1 and 2
    QToolButton* cmdPopup2 = nullptr;
    QToolButton* cmdPopup3 = nullptr;
    std::array<QLabel*, 2> lblRepetition{};
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

    // Menu panel.
    QLabel* lblHoraires = nullptr;
    QComboBox* cboHoraires = nullptr;
    QLabel* lblAnnonceMenu = nullptr;
    QLineEdit* txtAnnonceMenu = nullptr;
    QToolButton* cmdPopup4 = nullptr;
    QLineEdit* txtRepeatMenu = nullptr;
    QLabel* lblSilences = nullptr;
    QLineEdit* txtSilence = nullptr;

    // Key panel.
    QLabel* lblNumTouche = nullptr;
    QLabel* lblTypeAction = nullptr;
    QComboBox* cboTypesActions = nullptr;
    std::array<QLabel*, 3> lblLibDetail{};
    std::array<QLineEdit*, 3> txtDetail{};
    QToolButton* cmdPopup = nullptr;
    QComboBox* cboMenuSaut = nullptr;

    // Construction (node_panels_build.cpp).
    void buildTreePanel();
    void buildMenuPanel();
    void buildKeyPanel();
    QWidget* makePanel(int index, const QString& detailsLabel, const QString& image);
    void fillChoiceLists();
    void connectHandlers();

    // Display.
    void fillJumpTargets(int nodeId);
    void showTree();
    void showMenu();
    void showKey();
    void showPanel(int index);
    void setScrollV(int index);
    int jumpIndex(const QString& target);
    std::optional<QString> jumpTargetName(const QString& target) const;
    void setNodeImage(const QString& imageKey);
    int colourOf(int sectionIndex, int valueIndex, const QString& suffix = {}) const;

    // Handlers.
    void onKeyType();
    void layoutKeyDetails(const QString& code);
    void onDetailChanged();
    void onMenuJump();
    void onLibChanged(int index);
    void onSectionText(int valueIndex, const QString& text);
    void onSchedule(int position);
    void onLanguage(int index);
    void onExitType(int index);
    void layoutExit(int index, const QString& code);
    void onExitParameter(int index);
    void onExitJump(int index);
    void openKeyPicker();
    void openAnnouncementPicker(QLabel* caption, QLineEdit* target);
    void openExitPicker(int index);
    void record(const QString& label);
    QString codeOfCaption(const QString& caption) const;

    Configuration& m_config;
    const AppContext& m_ctx;
    PanelHost& m_host;
    std::unique_ptr<Captions> m_captions;
    ActionTypes m_types; // captions of the type lists and node descriptions
    std::function<QIcon(const QString&)> m_icons;
    DisplayState m_state;
    QStringList m_menuKeys;
    QString m_keyCode;                   // action code of the key panel
    std::array<QString, 3> m_exitCode{}; // action code of each tree exit
};
