#pragma once

#include "core/diagnostics_list.h"
#include "dialogs/dialog_hooks.h"
#include "editor/node_icons.h"
#include "editor/panel_host.h"
#include "editor/recent_files.h"
#include "model/configuration.h"
#include "model/tree_file.h"
#include "model/undo_journal.h"
#include "model/verification.h"
#include "platform/pacing.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class DiagnosticsViewModel;
class NodePanels;
class NodePopup;
class NodeTreeModel;
class Prompts;
class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QProgressBar;
class QToolBar;
class QToolButton;
class QTreeView;
class QUrl;
class TreeViewController;
class QVBoxLayout;
struct AppContext;

// The editor's main window: menu bar and toolbar, title band with the mode, the tree view `treeV` on
// the left, the detail area `picInfos` on the right, the diagnostics list `lstDebug` at the bottom.
// It owns the configuration being edited and the diagnostics list.
class frmMain final : public QMainWindow, public PanelHost, private VerificationObserver {
    Q_OBJECT
public:
    frmMain(AppContext& ctx, Prompts& prompts, QWidget* parent = nullptr);
    ~frmMain() override;

    // The end of the window's start: clears the diagnostics list, reads the last folder used and opens
    // the start file (nothing, a path, or a new tree saved as the local copy of the server's file).
    void Form_Load();

    // Marks the configuration saved or modified and updates title and commands.
    void setBoolSave(bool saved) override;
    // Opens a tree file (checked against the server generation first).
    void OuvertureFichierArbre(const QString& path);

    void InitDebug();
    void AjouteInfo(const QString& message, short level, const QString& tag);

    // Selects a node in treeV and shows it as a click would.
    void treeV_NodeClick(const QString& key);

    // Command cores without the unsaved-change guard (the start file uses them as they are).
    void newTree();
    void closeTree();
    bool saveTree();

    Configuration& config() { return m_config; }
    DiagnosticsList& diagnostics() { return m_diagnostics; }
    NodeTreeModel& treeModel() { return *m_treeModel; }
    const NodeIcons& icons() const { return m_icons; }
    AppContext& context() { return m_ctx; }
    Prompts& prompts() { return m_prompts; }
    QString currentFolder() const { return m_repCourant; }
    bool debugListLarge() const { return m_debugLarge; }

    // The detail area: the node panels are placed in it (replacing the empty placeholder).
    void setDetailPanels(QWidget* panels);

    // Undo journal connection, made by the journal when it exists: cleared and given its first step
    // when a file is opened or a new tree made; journal files are neither reported nor remembered.
    struct UndoJournalHooks {
        std::function<void()> clearCancel;
        std::function<void(const QString& caption)> addCancel;
        std::function<bool(const QString& path)> isFileCancel;
    };
    void setUndoJournalHooks(UndoJournalHooks hooks) { m_undo = std::move(hooks); }
    // Recent-file list connection (AjouteDernierFichierOuvert).
    void setRecentFileHook(std::function<void(const QString& path)> hook) { m_recentFile = std::move(hook); }

    // Controls, named as the rest of the editor and the tests address them.
    QMenu* mnuFile = nullptr;
    QMenu* mnuServeur = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuApp = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuVide2 = nullptr;
    std::array<QAction*, 5> mnuFileN{}; // mnuFile1..mnuFile5
    QAction* mnuQuit = nullptr;
    QAction* mnuValide = nullptr;
    QAction* mnuEnvoi = nullptr;
    QAction* mnuRecup = nullptr;
    QAction* mnuReset = nullptr;
    QAction* mnuParam = nullptr;
    QAction* mnuVoies = nullptr;
    QAction* mnuHoraires = nullptr;
    QAction* mnuVersion = nullptr;
    QAction* mnuHelp = nullptr;
    QToolBar* toolMenu = nullptr;
    QWidget* picBarre = nullptr;
    QLabel* picLogo = nullptr;
    QLabel* imgModeLocal = nullptr;
    QLabel* imgModeServeur = nullptr;
    QLabel* lblStatutServeur = nullptr;
    QTreeView* treeV = nullptr;
    QListView* lstCancel = nullptr; // the undo journal's steps
    QProgressBar* picProgress = nullptr;
    QWidget* picInfos = nullptr;
    QWidget* picClose = nullptr;
    QWidget* picReset = nullptr;
    QLabel* lblInfoReset = nullptr;
    QWidget* picBas = nullptr;
    QToolButton* picF = nullptr;
    QListView* lstDebug = nullptr;
    QMenu* MenuDebug = nullptr;
    QAction* mnuEffaceListe = nullptr;

    // Toolbar button of a key ("Nouveau", "Ouvrir", "Enregistrer", "Annuler", "Rétablir", "Aide").
    QAction* toolButton(const QString& key) const;

    // Detail panels, pop-ups and verification --------------------------------------------------------
    // The panels, the node pop-up and the tree view's Delete key and right press are made by the
    // constructor (frm_main_panels.cpp) and owned by their Qt parents.
    NodePanels& panels() { return *m_panels; }
    NodePopup& nodePopup() { return *m_popup; }
    TreeViewController& treeController() { return *m_treeController; }

    // PanelHost. addCancel is the one entry point of every undo step of the panels: caption is already
    // translated (or PanelHost::LastAction, which folds the change into the current step).
    void addCancel(const QString& caption, bool withNodeText) override;
    void selectNode(const QString& key) override;
    void openAnnouncementPicker(const QString& title, QLineEdit* target) override;
    void openStationPicker(const QString& title, const QString& code, QLineEdit* target) override;

    // The check command: runs the verification, then redisplays the selected node so that its captions
    // take the new colours.
    void mnuValide_Click();
    // The verification with wait cursor and progress bar; the error count, or TreeVerifier::Aborted
    // (also when a run is already in progress).
    int verifArbo();
    bool verificationRunning() const { return m_verifier && m_verifier->isRunning(); }
    // The waits of the verification: the real delays unless a caller (a test) gives its own.
    void setPacing(platform::Pacing& pacing);

private:
    void buildDetailPanels();
    void connectDetailPanels();
    void verificationStarted() override;
    void verificationProgress(int current, int maximum) override;
    void verificationFinished() override;

    NodePanels* m_panels = nullptr;
    NodePopup* m_popup = nullptr;
    TreeViewController* m_treeController = nullptr;
    platform::EventLoopPacing m_eventPacing;
    std::unique_ptr<TreeVerifier> m_verifier;
    bool m_valideWasEnabled = false;
    // ---------------------------------------------------------------------------------------------------

signals:
    // A node was clicked or selected by the program; the detail panels show it.
    void nodeClicked(const QString& key);

public slots:
    void picF_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    QWidget* buildTitleBand();
    QWidget* buildEditorArea();
    QWidget* buildBottomBand();
    void applyModeDisplay();
    void connectTree();
    void syncExpansion();
    void lstDebug_ItemClick(const QModelIndex& index);
    void onToolButton(const QString& key);

    bool confirmDiscard();
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuClose_Click();

    QString label(const char* key) const;
    void setTitle(const QString& suffix);
    TreeFileHooks treeFileHooks();
    void startJournal();

    AppContext& m_ctx;
    Prompts& m_prompts;
    NodeIcons m_icons;
    Configuration m_config;
    DiagnosticsList m_diagnostics;
    std::unique_ptr<NodeTreeModel> m_treeModel;
    std::unique_ptr<DiagnosticsViewModel> m_debugView;
    QVBoxLayout* m_infosLayout = nullptr;
    QWidget* m_panelsPlaceholder = nullptr;
    QList<QAction*> m_toolActions;
    UndoJournalHooks m_undo;
    std::function<void(const QString&)> m_recentFile;
    QString m_repCourant;
    bool m_debugLarge = false;
    bool m_inNodeClick = false;

    // Journal, file commands and other windows
public:
    // addCancel (declared with the panels' entry points above) records the step in journal().
    UndoJournal& journal() { return *m_journal; }
    RecentFiles& recentFiles() { return *m_recentFiles; }
    // Save as: asks before replacing a file; a failed save keeps the previous file and name.
    void mnuSaveAs_Click();
    // Recent file n (0 to 4) of the File menu.
    void mnuFileN_Click(int n);
    void mnuHelp_Click();
    void mnuHoraires_Click();
    void mnuParam_Click();
    void mnuVersion_Click();
    // Opens the help file; the desktop's viewer unless a test puts its own.
    void setHelpOpener(std::function<bool(const QUrl&)> opener) { m_helpOpener = std::move(opener); }

private:
    void connectJournalAndFiles();
    void connectFileCommands();
    void lstCancel_ItemClick(const QModelIndex& index);
    void showRecentFiles(const QStringList& paths);
    DialogHooks dialogHooks();
    void reportSaveFailure(const QString& path);

    std::unique_ptr<JournalHost> m_journalHost;
    std::unique_ptr<UndoJournal> m_journal;
    UserSettingsStore m_userSettings;
    std::unique_ptr<RecentFiles> m_recentFiles;
    std::function<bool(const QUrl&)> m_helpOpener;
};
