#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "server/server_transfers.h"

#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/diagnostics_view_model.h"
#include "editor/node_panels.h"
#include "editor/node_tree_model.h"
#include "editor/plan_view.h"
#include "editor/tree_document.h"
#include "model/undo_journal.h"
#include "startup/settings.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QScreen>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int MinimumWidth = 860;
constexpr int MinimumHeight = 640;
// What start-up leaves in fileAOuvrir when the server's tree could not be fetched: a new tree stands in.
const QString newTreeMarker = QStringLiteral("$$NEW$$");

} // namespace

frmMain::frmMain(TreeDocument& document, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_document(document), m_ctx(document.context()), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmMain"));
    m_debugView = new DiagnosticsViewModel(m_document.diagnostics(), m_document.icons(), this);
    m_serverInfoFile = getConfigSetting(QStringLiteral("fileInfoServeur"), QString());

    setWindowTitle(label("Titre"));
    setWindowIcon(m_document.icons().logo());
    ui = std::make_unique<MainWindowUi>(*this, m_ctx, m_document.icons());
    ui->treeV->setModel(&m_document.treeModel());
    ui->lstDebug->setModel(m_debugView);

    buildDetailPanels();
    buildPlanView();
    connectCommands();
    connectServerCommands();
    connectFlowCommands();
    connectHistoryCommands();
    connect(ui->mnuVoies, &QAction::triggered, this, &frmMain::mnuVoies_Click);
    connectTree();
    connectJournal();
    connectDocument();
    applyModeDisplay();
    updateActions();
    // The smallest size at which the detail panels show every field and "..." button without scrolling
    // (they scroll in both directions below it).
    setMinimumSize(MinimumWidth, MinimumHeight);
    // Opens at its usual size, or the screen's when that is smaller (a laptop's 768 lines).
    const QSize usual(1100, 760);
    resize(screen() ? usual.boundedTo(screen()->availableGeometry().size()) : usual);
}

// The document outlives the window: nothing here has to be let go in a particular order.
frmMain::~frmMain() = default;

QString frmMain::label(const char* key) const {
    return m_ctx.getLabel(QString::fromLatin1(key));
}

// ---- the document as the window shows it -------------------------------------------------------------

void frmMain::connectDocument() {
    connect(&m_document, &TreeDocument::modifiedChanged, this, [this] {
        updateTitle();
        updateActions();
    });
    connect(&m_document, &TreeDocument::fileChanged, this, [this] {
        updateTitle();
        updateActions();
    });
    connect(&m_document, &TreeDocument::treeReplaced, this, [this] {
        ui->picClose->setVisible(!m_document.isOpen());
        if (!m_document.isOpen()) ui->picClose->raise();
        // A closed tree takes no input at all: no focus, no keys, no clicks behind the cover.
        ui->picEditeur->setEnabled(m_document.isOpen());
        updateTitle();
        updateActions();
    });
    connect(&m_document, &TreeDocument::historyChanged, this, &frmMain::updateActions);
    connect(&m_document, &TreeDocument::nodeRequested, this, &frmMain::treeV_NodeClick);
    connect(&m_document, &TreeDocument::checkStarted, this, [this] { showCheckRunning(true); });
    connect(&m_document, &TreeDocument::checkProgress, this, &frmMain::showCheckProgress);
    connect(&m_document, &TreeDocument::checkFinished, this, [this] { showCheckRunning(false); });
    // A check adds hundreds of lines in a row: the list scrolls once they are in, not once per line.
    connect(&m_document.diagnostics(), &QAbstractItemModel::rowsInserted, ui->lstDebug, [this] {
        if (std::exchange(m_debugScrollPending, true)) return;
        QMetaObject::invokeMethod(
            ui->lstDebug,
            [this] {
                m_debugScrollPending = false;
                ui->lstDebug->scrollToBottom();
            },
            Qt::QueuedConnection);
    });
}

// Which commands can run, from the document's state: one place for all of them.
void frmMain::updateActions() {
    const bool open = m_document.isOpen();
    const bool idle = !m_document.isVerifying();
    const bool online = !m_ctx.modeLocal;
    const bool canSave = open && m_document.isModified() && !m_document.fileName().isEmpty();
    const UndoJournal& journal = m_document.journal();

    for (QAction* a : {ui->mnuNew, ui->mnuOpen, ui->toolNouveau, ui->toolOuvrir, ui->mnuQuit})
        a->setEnabled(idle);
    for (QAction* a : ui->mnuFileN)
        a->setEnabled(idle);
    ui->mnuSave->setEnabled(canSave);
    ui->toolEnregistrer->setEnabled(canSave);
    ui->mnuSaveAs->setEnabled(open);
    ui->mnuExportPlan->setEnabled(open && idle);
    for (QAction* a : {ui->mnuClose, ui->mnuHoraires, ui->mnuParam})
        a->setEnabled(open && idle);
    ui->mnuValide->setEnabled(open && idle);
    ui->mnuSimuler->setEnabled(open);
    ui->mnuComparer->setEnabled(open && idle);
    ui->mnuEnvoi->setEnabled(open && idle && online);
    ui->mnuRecup->setEnabled(idle && online);
    ui->mnuReset->setEnabled(idle && online);
    ui->mnuHistorique->setEnabled(idle);
    ui->mnuVoies->setEnabled(online);
    ui->mnuInfoServeur->setEnabled(idle && !online);
    ui->toolAnnuler->setEnabled(open && idle && journal.undoEnabled());
    ui->toolRetablir->setEnabled(open && idle && journal.redoEnabled());
    ui->lstCancel->setEnabled(idle);
}

void frmMain::updateTitle() {
    QString title = label("Titre");
    if (m_document.isOpen()) {
        const QString file = m_document.fileName();
        QString suffix = file;
        if (file.isEmpty())
            suffix = label("TitreNew");
        else if (file == m_ctx.fileServeur && !m_ctx.modeLocal)
            suffix = server_transfers::withoutPasswords(m_ctx.HADDR);
        title += QStringLiteral(" - ") + suffix;
        if (m_document.isModified()) title += QLatin1Char('*');
    }
    setWindowTitle(title);
}

// ---- start and end -----------------------------------------------------------------------------------

void frmMain::Form_Load() {
    m_document.diagnostics().InitDebug(m_ctx.translation);
    m_repCourant = getConfigSetting(QStringLiteral("repCourant"), m_ctx.programDir);
    // The information file of the last session, if it is still there: one moved away since is
    // forgotten without a word at each start.
    if (m_ctx.modeLocal && QFileInfo(m_serverInfoFile).isFile())
        loadServerInfoFile(m_serverInfoFile);
    else if (!m_serverInfoFile.isEmpty())
        forgetServerInfoFile();
    const QString start = m_ctx.fileAOuvrir;
    DiagnosticsList& diagnostics = m_document.diagnostics();
    if (start.isEmpty()) {
        diagnostics.setSilent(true);
        m_document.close();
        diagnostics.setSilent(false);
    } else if (start == newTreeMarker) {
        m_ctx.fileAOuvrir.clear();
        diagnostics.setSilent(true);
        newTree();
        m_document.setFileName(m_ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa"));
        saveTree();
        diagnostics.setSilent(false);
        // What is saved over this copy from now on is not on the server.
        if (!m_ctx.modeLocal) m_serverCopy = server_transfers::fileBytes(m_ctx.fileServeur);
        reportStartupFetch();
    } else {
        OuvertureFichierArbre(start);
        if (!m_document.isOpen()) m_document.close();
        if (start == m_ctx.fileServeur) rememberServerTree();
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    // A check in progress pauses between sections; the window waits for it rather than vanish under it.
    if (m_document.isVerifying() ||
        (m_document.isModified() &&
         m_prompts.question(label("MsgQuit"), label("Titre")) != Prompts::Answer::Yes)) {
        event->ignore();
        return;
    }
    // Saved over the local copy of the server's tree but never sent: the copy goes with this editor's
    // temporary folder, so the server is the only place left for those changes.
    if (!m_ctx.modeLocal && !m_document.isModified() && m_serverCopy.has_value() &&
        server_transfers::fileBytes(m_ctx.fileServeur) != *m_serverCopy &&
        m_prompts.question(label("MsgQuitNonEnvoye"), label("Titre")) != Prompts::Answer::Yes) {
        event->ignore();
        return;
    }
    saveConfigSetting(QStringLiteral("repCourant"), m_repCourant);
    event->accept();
}

// ---- tree view ---------------------------------------------------------------------------------------

void frmMain::connectTree() {
    NodeTreeModel& model = m_document.treeModel();
    connect(ui->treeV->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, &model](const QModelIndex& current) {
                if (!m_inNodeClick && current.isValid()) treeV_NodeClick(model.keyOf(current));
            });
    // A click on the selected node does not change the selection but shows the node again.
    connect(ui->treeV, &QTreeView::clicked, this, [this, &model](const QModelIndex& index) {
        if (index.isValid()) treeV_NodeClick(model.keyOf(index));
    });
    // The node's expanded flag and the view stay in step both ways.
    connect(ui->treeV, &QTreeView::expanded, this, [this, &model](const QModelIndex& i) {
        m_document.config().nodes.setExpanded(model.keyOf(i), true);
    });
    connect(ui->treeV, &QTreeView::collapsed, this, [this, &model](const QModelIndex& i) {
        m_document.config().nodes.setExpanded(model.keyOf(i), false);
    });
    connect(&model, &NodeTreeModel::nodeUpdated, this, [this](const QModelIndex& i) {
        ui->treeV->setExpanded(i, i.data(NodeTreeModel::ExpandedRole).toBool());
    });
    connect(&model, &QAbstractItemModel::modelReset, this, &frmMain::syncExpansion);
}

void frmMain::syncExpansion() {
    const NodeTree& tree = m_document.config().nodes;
    for (int id : tree.displayOrder())
        if (tree.node(id).expanded) ui->treeV->setExpanded(m_document.treeModel().indexForId(id), true);
}

void frmMain::selectNode(const QString& key) {
    const QModelIndex index = m_document.treeModel().indexForKey(key);
    if (!index.isValid()) return;
    m_inNodeClick = true;
    ui->treeV->setCurrentIndex(index);
    ui->treeV->scrollTo(index);
    m_inNodeClick = false;
    m_document.setCurrentNode(key);
}

void frmMain::treeV_NodeClick(const QString& key) {
    if (!m_document.treeModel().indexForKey(key).isValid()) return;
    selectNode(key);
    emit nodeClicked(key);
}

// ---- diagnostics list ----------------------------------------------------------------------------------

void frmMain::lstDebug_ItemClick(const QModelIndex& index) {
    const QString tag = m_document.diagnostics().entries().value(index.row()).tag;
    if (tag.isEmpty() || !m_document.isOpen() || !m_document.config().nodes.noeudExiste(tag)) return;
    treeV_NodeClick(tag);
    // The enlarged list hides the details: bring them back.
    if (m_debugLarge) picF_Click();
}

void frmMain::picF_Click() {
    m_debugLarge = !m_debugLarge;
    ui->picF->setIcon(m_debugLarge ? m_document.icons().toggleDown() : m_document.icons().toggleUp());
    ui->picF->setToolTip(label(m_debugLarge ? "MsgB" : "MsgH"));
    ui->lstDebug->setFixedHeight(m_debugLarge ? MainWindowUi::DebugLargeHeight
                                              : MainWindowUi::DebugSmallHeight);
}

void frmMain::applyModeDisplay() {
    const bool local = m_ctx.modeLocal;
    ui->mnuVoies->setEnabled(!local);
    ui->mnuRecup->setEnabled(!local);
    ui->mnuReset->setEnabled(!local);
    ui->imgModeLocal->setVisible(local);
    ui->imgModeServeur->setVisible(!local);
    ui->lblStatutServeur->setText(
        local ? label("OffLine")
              : label("OnLine").replace(QStringLiteral("$IPSERVEUR$"),
                                        server_transfers::withoutPasswords(m_ctx.HADDR)));
    ui->lblInfoReset->setText(ui->mnuReset->text());
    if (!m_serverInfoFile.isEmpty())
        ui->lblStatutServeur->setText(ui->lblStatutServeur->text() + QStringLiteral(" - ") +
                                      QFileInfo(m_serverInfoFile).fileName());
    // The plan names stations and announcements from the server's lists, which may have changed.
    m_plan->planChanged();
}
