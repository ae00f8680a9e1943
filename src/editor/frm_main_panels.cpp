// The main window's detail panels, node pop-ups and check command: the window is the panels' host.
#include "core/app_context.h"
#include "editor/frm_annonces.h"
#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "editor/frm_postes.h"
#include "editor/node_panels.h"
#include "editor/node_popup.h"
#include "editor/node_tree_model.h"
#include "editor/tree_document.h"
#include "editor/tree_view_controller.h"

#include <QAction>
#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QTreeView>
#include <QVBoxLayout>

void frmMain::buildDetailPanels() {
    m_panels = new NodePanels(m_document.config(), m_ctx, *this, ui->picInfos);
    m_panels->setIconProvider([this](const QString& imageKey) { return m_document.icons().icon(imageKey); });
    ui->infosLayout->insertWidget(0, m_panels, 1);

    m_popup = new NodePopup(*m_panels, m_document.config(), m_ctx, this);
    connect(m_popup, &NodePopup::clearListRequested, this,
            [this] { m_document.diagnostics().InitDebug(m_ctx.translation); });
    ui->lstDebug->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->lstDebug, &QListView::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_popup->MenuDebug->popup(ui->lstDebug->viewport()->mapToGlobal(pos));
    });

    // A press that lands on the node already shown needs no second display.
    auto showIfOther = [this](const QString& key) {
        if (m_panels->display().currentNodeKey != key) treeV_NodeClick(key);
    };
    m_treeController = new TreeViewController(
        ui->treeV, m_document.config(), *m_panels, *m_popup,
        [this](const QModelIndex& i) { return m_document.treeModel().keyOf(i); }, showIfOther);
    // Every path that selects a node (a click, the keyboard, a diagnostics line, the program) goes
    // through treeV_NodeClick, which ends here.
    connect(this, &frmMain::nodeClicked, m_panels, &NodePanels::treeV_NodeClick);
}

// ---- PanelHost ---------------------------------------------------------------------------------------

void frmMain::setBoolSave(bool saved) {
    m_document.setModified(!saved);
}

void frmMain::addCancel(const QString& caption, bool withNodeText) {
    m_document.recordStep(caption, withNodeText);
}

void frmMain::openAnnouncementPicker(const QString& title, QLineEdit* target) {
    afficheListeAnnonces(m_ctx, m_prompts, target, title, this);
}

void frmMain::openStationPicker(const QString& title, const QString& code, QLineEdit* target) {
    afficheListePostes(m_ctx, m_prompts, target, code, title, this);
}

// ---- verification -------------------------------------------------------------------------------------

void frmMain::mnuValide_Click() {
    if (m_document.isVerifying() || !m_document.isOpen()) return;
    m_document.verify();
    const QModelIndex current = ui->treeV->currentIndex();
    if (current.isValid()) treeV_NodeClick(m_document.treeModel().keyOf(current));
}

void frmMain::showCheckRunning(bool running) {
    if (running) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ui->picProgress->setRange(0, 1);
        ui->picProgress->setValue(0);
        m_progressClock.invalidate();
        ui->picProgress->show();
    } else {
        ui->picProgress->hide();
        QApplication::restoreOverrideCursor();
    }
    updateActions();
}

void frmMain::showCheckProgress(int current, int maximum) {
    // The bar repaints at once on each change: at most one redraw per frame, as a person can follow it,
    // or a fast check would spend more time drawing the bar than checking.
    if (current < maximum && m_progressClock.isValid() && m_progressClock.elapsed() < ProgressFrameMs) return;
    m_progressClock.start();
    ui->picProgress->setRange(0, qMax(1, maximum));
    ui->picProgress->setValue(current);
}
