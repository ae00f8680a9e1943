#pragma once

#include <QString>
#include <array>

class NodeIcons;
class QAction;
class QLabel;
class QListView;
class QMainWindow;
class QMenu;
class QProgressBar;
class QToolBar;
class QToolButton;
class QTreeView;
class QVBoxLayout;
class QWidget;
struct AppContext;

// The controls of the main window, built once with the names and captions the design gives them; the
// window connects and fills them. Every control is owned by the window through its Qt parent.
class MainWindowUi {
public:
    // Height of the diagnostics list, and when enlarged over the details.
    static constexpr int DebugSmallHeight = 110;
    static constexpr int DebugLargeHeight = 320;

    MainWindowUi(QMainWindow& window, const AppContext& ctx, const NodeIcons& icons);

    QMenu* mnuFile = nullptr;
    QMenu* mnuServeur = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuApp = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuComparer = nullptr;
    QAction* mnuExportPlan = nullptr;
    QAction* mnuVide2 = nullptr;
    std::array<QAction*, 5> mnuFileN{}; // mnuFile1..mnuFile5
    QAction* mnuQuit = nullptr;
    QAction* mnuValide = nullptr;
    QAction* mnuSimuler = nullptr;
    QAction* mnuEnvoi = nullptr;
    QAction* mnuRecup = nullptr;
    QAction* mnuReset = nullptr;
    QAction* mnuHistorique = nullptr;
    QAction* mnuParam = nullptr;
    QAction* mnuVoies = nullptr;
    QAction* mnuHoraires = nullptr;
    QAction* mnuInfoServeur = nullptr;
    QAction* mnuVersion = nullptr;
    QAction* mnuHelp = nullptr;
    QToolBar* toolMenu = nullptr;
    QAction* toolNouveau = nullptr;
    QAction* toolOuvrir = nullptr;
    QAction* toolEnregistrer = nullptr;
    QAction* toolAnnuler = nullptr;
    QAction* toolRetablir = nullptr;
    QAction* toolAide = nullptr;
    QWidget* picBarre = nullptr;
    QLabel* imgModeLocal = nullptr;
    QLabel* imgModeServeur = nullptr;
    QLabel* lblStatutServeur = nullptr;
    QWidget* picEditeur = nullptr; // the tree, the journal and the details, covered by picClose
    QTreeView* treeV = nullptr;
    QListView* lstCancel = nullptr; // the undo journal's steps
    QProgressBar* picProgress = nullptr;
    QWidget* picInfos = nullptr;
    QVBoxLayout* infosLayout = nullptr; // the detail panels go first
    QWidget* picClose = nullptr;
    QWidget* picReset = nullptr;
    QLabel* lblInfoReset = nullptr;
    QToolButton* picF = nullptr;
    QListView* lstDebug = nullptr;

private:
    void buildMenus();
    void buildToolbar();
    QWidget* buildTitleBand();
    QWidget* buildEditorArea();
    QWidget* buildBottomBand();
    QString label(const char* key) const;

    QMainWindow& m_window;
    const AppContext& m_ctx;
    const NodeIcons& m_icons;
};
