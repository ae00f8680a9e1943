// The main window's detail panels, node pop-ups and check command: the window is the panels' host.
#include "core/app_context.h"
#include "editor/frm_annonces.h"
#include "editor/frm_main.h"
#include "editor/frm_postes.h"
#include "editor/node_panels.h"
#include "editor/node_popup.h"
#include "editor/node_tree_model.h"
#include "editor/tree_view_controller.h"

#include <QAction>
#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QTreeView>

void frmMain::buildDetailPanels() {
    m_panels = new NodePanels(m_config, m_ctx, *this);
    m_panels->setIconProvider([this](const QString& imageKey) { return m_icons.icon(imageKey); });
    setDetailPanels(m_panels);

    m_popup = new NodePopup(*m_panels, m_config, m_ctx, this);
    MenuDebug = m_popup->MenuDebug;
    mnuEffaceListe = m_popup->mnuEffaceListe;

    // A press that lands on the node already shown needs no second display.
    auto showIfOther = [this](const QString& key) {
        if (m_panels->display().currentNodeKey != key) treeV_NodeClick(key);
    };
    m_treeController = new TreeViewController(
        treeV, m_config, *m_panels, *m_popup, [this](const QModelIndex& i) { return m_treeModel->keyOf(i); },
        showIfOther);
    connectDetailPanels();
    setPacing(m_eventPacing);
}

void frmMain::connectDetailPanels() {
    // Every path that selects a node (a click, the keyboard, a diagnostics line, the program) goes
    // through treeV_NodeClick, which ends here.
    connect(this, &frmMain::nodeClicked, m_panels, &NodePanels::treeV_NodeClick);
    // A click on the selected node does not change the selection but shows the node again.
    connect(treeV, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) treeV_NodeClick(m_treeModel->keyOf(index));
    });
    connect(m_popup, &NodePopup::effaceListeRequested, this, &frmMain::InitDebug);
    connect(mnuValide, &QAction::triggered, this, &frmMain::mnuValide_Click);
}

void frmMain::selectNode(const QString& key) {
    const QModelIndex index = m_treeModel->indexForKey(key);
    if (!index.isValid()) return;
    m_inNodeClick = true;
    treeV->setCurrentIndex(index);
    treeV->scrollTo(index);
    m_inNodeClick = false;
}

void frmMain::treeV_NodeClick(const QString& key) {
    if (!m_treeModel->indexForKey(key).isValid()) return;
    selectNode(key);
    emit nodeClicked(key);
}

void frmMain::openAnnouncementPicker(const QString& title, QLineEdit* target) {
    afficheListeAnnonces(m_ctx, m_prompts, target, title, this);
}

void frmMain::openStationPicker(const QString& title, const QString& code, QLineEdit* target) {
    afficheListePostes(m_ctx, m_prompts, target, code, title, this);
}

// ---- verification -------------------------------------------------------------------------------------

void frmMain::setPacing(platform::Pacing& pacing) {
    if (verificationRunning()) return;
    VerificationObserver* progress = this;
    m_verifier = std::make_unique<TreeVerifier>(m_ctx, m_diagnostics, pacing, progress);
}

int frmMain::verifArbo() {
    return m_verifier->verifArbo(m_config);
}

void frmMain::mnuValide_Click() {
    if (verificationRunning()) return;
    verifArbo();
    const QModelIndex current = treeV->currentIndex();
    if (current.isValid()) treeV_NodeClick(m_treeModel->keyOf(current));
}

void frmMain::verificationStarted() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_valideWasEnabled = mnuValide->isEnabled();
    mnuValide->setEnabled(false);
    picProgress->setRange(0, 1);
    picProgress->setValue(0);
    picProgress->show();
}

void frmMain::verificationProgress(int current, int maximum) {
    picProgress->setRange(0, qMax(1, maximum));
    picProgress->setValue(current);
}

void frmMain::verificationFinished() {
    picProgress->hide();
    mnuValide->setEnabled(m_valideWasEnabled);
    QApplication::restoreOverrideCursor();
}
