#pragma once

#include "editor/panel_host.h"
#include "model/tree_file.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class DiagnosticsViewModel;
class FrmAppel;
class FrmChanges;
class FrmHistorique;
class MainWindowUi;
class RecentFilesMenu;
class NodePanels;
class NodePopup;
class PlanView;
class QDockWidget;
class Prompts;
class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QProgressBar;
class QToolBar;
class QTimer;
class QToolButton;
class QTreeView;
class QUrl;
class QVBoxLayout;
class TreeDocument;
class TreeViewController;
struct AppContext;
namespace platform {
class Pacing;
}
namespace history {
struct Revision;
}

// The editor's main window: menu bar and toolbar, title band with the mode, the tree view `treeV` on
// the left, the detail area `picInfos` on the right, the diagnostics list `lstDebug` at the bottom.
// It shows a TreeDocument and turns the user's commands into calls on it; controls keep the names the
// design gives them, as object names.
class frmMain final : public QMainWindow, private PanelHost {
    Q_OBJECT
public:
    frmMain(TreeDocument& document, Prompts& prompts, QWidget* parent = nullptr);
    ~frmMain() override;

    // The end of the window's start: clears the diagnostics list, reads the last folder used and opens
    // the start file (nothing, a path, or a new tree saved as the local copy of the server's file).
    void Form_Load();
    // Offers back, one by one, the journals of editors that ended without saving (restore, later,
    // delete); a server's journal only online against its server. Runs once the window is shown.
    void offerLeftOverJournals();
    // Opens a tree file (checked against the server generation first).
    void OuvertureFichierArbre(const QString& path);
    // Why a file was not opened, as the open command says it ("" when there is nothing to say).
    QString openRefusal(OpenResult result, const QString& path) const;
    // Selects a node in treeV and shows it as a click would.
    void treeV_NodeClick(const QString& key);
    // The check command: the verification with wait cursor and progress bar, then the selected node
    // redisplayed with its new colours.
    void mnuValide_Click();

    TreeDocument& document() { return m_document; }
    QString currentFolder() const { return m_repCourant; }
    // Opens the help file; the desktop's viewer unless a test puts its own.
    void setHelpOpener(std::function<bool(const QUrl&)> opener) { m_helpOpener = std::move(opener); }
    // The reset's line-table step (the line windows give it).
    // Clears the auto-attendant lines of the server; false when the server did not take it.
    void setResetVoies(std::function<bool()> resetVoies) { m_resetVoies = std::move(resetVoies); }

signals:
    // A node was clicked or selected by the program; the detail panels show it.
    void nodeClicked(const QString& key);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDetailPanels();
    void applyModeDisplay();
    void connectCommands();
    void connectServerCommands();
    void connectDocument();
    void connectTree();
    void connectJournal();
    // The plan dock and its export (frm_main_plan.cpp).
    void buildPlanView();
    void mnuExportPlan_Click();

    // What the window shows of the document.
    void updateActions();
    void updateTitle();
    void syncExpansion();
    void showCheckProgress(int current, int maximum);
    void showCheckRunning(bool running);

    // PanelHost.
    void setBoolSave(bool saved) override;
    void addCancel(const QString& caption, bool withNodeText) override;
    void selectNode(const QString& key) override;
    void openAnnouncementPicker(const QString& title, QLineEdit* target) override;
    void openStationPicker(const QString& title, const QString& code, QLineEdit* target) override;

    // Commands (frm_main_files.cpp).
    bool confirmDiscard();
    void newTree();
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuClose_Click();
    bool saveTree();
    void mnuSaveAs_Click();
    void openRecentFile(const QString& path);
    void reportSaveFailure(const QString& path, const QString& cause);
    void mnuHelp_Click();
    void mnuHoraires_Click();
    void mnuParam_Click();
    void mnuVersion_Click();
    void mnuInfoServeur_Click();
    // The line window of the server's generation (frm_main_lines.cpp).
    void mnuVoies_Click();
    // Server commands (frm_main_server.cpp).
    void mnuEnvoi_Click();
    enum class SendOutcome { Sent, SentNotFetchedBack, NotSent };
    // Writes, backs up the server's tree, stores config and fetches it back; *failure says what failed
    // and what the server holds.
    SendOutcome SaveAndSendThisArbo(const Configuration& config, bool askIfChanged, QString* failure);
    bool acceptServerChanges();
    bool confirmFetch();
    void mnuRecup_Click();
    // The server's tree fetched, checked as a local file would be, and opened; false (the tree kept as it
    // was) with *reason otherwise.
    bool fetchIntoEditor(QString* reason);
    void reportServerFailure(const QString& text);
    void reportStartupFetch();
    void showOnceExposed(const QString& text, int triesLeft);
    QString serverLabel(const char* key) const;
    void mnuReset_Click();
    void showResetPanel(bool shown);
    void tmrReset_Timer();
    void loadServerInfoFile(const QString& path);
    void forgetServerInfoFile();
    // The call window, the comparisons and the server's tree they compare with (frm_main_flow.cpp).
    void connectFlowCommands();
    void mnuSimuler_Click();
    void mnuComparer_Click();
    void rememberServerTree();
    bool confirmSend(const QString& question);
    // The history window, and the revisions it opens or restores (frm_main_history.cpp).
    void connectHistoryCommands();
    void mnuHistorique_Click();
    bool openRevision(const history::Revision& revision);
    void restoreRevision(const history::Revision& revision);

    void picF_Click();
    void lstDebug_ItemClick(const QModelIndex& index);
    void lstCancel_ItemClick(const QModelIndex& index);
    QString label(const char* key) const;

    TreeDocument& m_document;
    AppContext& m_ctx;
    Prompts& m_prompts;
    DiagnosticsViewModel* m_debugView = nullptr; // a child of the window
    RecentFilesMenu* m_recentFiles = nullptr;    // a child of the window
    std::function<bool(const QUrl&)> m_helpOpener;
    QString m_repCourant;
    QString m_serverInfoFile; // server information file loaded in local mode, "" for none
    bool m_debugLarge = false;
    bool m_inNodeClick = false;
    bool m_debugScrollPending = false;
    QTimer* tmrReset = nullptr;             // blinks the reset panel's border
    int m_resetBorder = 255;                // red of the reset panel's border, 255 or 192
    std::function<bool()> m_resetVoies;     // clears the auto-attendant lines of the server
    bool m_serverTreeUnknown = false;       // the start-up could not fetch the server's tree
    std::optional<QByteArray> m_serverCopy; // the local copy of the server's tree as fetched
    static constexpr int ProgressFrameMs = 40;
    QElapsedTimer m_progressClock; // since the progress bar was last drawn

    std::unique_ptr<MainWindowUi> ui; // the controls
    NodePanels* m_panels = nullptr;
    NodePopup* m_popup = nullptr;
    TreeViewController* m_treeController = nullptr;
    FrmAppel* m_callWindow = nullptr;            // a child of the window, made when first asked for
    FrmChanges* m_changesWindow = nullptr;       // the same
    FrmHistorique* m_historyWindow = nullptr;    // the same
    std::unique_ptr<Configuration> m_serverTree; // as last fetched, whatever is saved over its file since
    QDockWidget* dockPlan = nullptr;             // children of the window
    PlanView* m_plan = nullptr;
};
