// The main window's server commands: send the tree, fetch the server's tree, reset the server.
#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "editor/tree_document.h"
#include "server/server_transfers.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QTreeView>

void frmMain::connectServerCommands() {
    connect(ui->mnuEnvoi, &QAction::triggered, this, &frmMain::mnuEnvoi_Click);
    connect(ui->mnuRecup, &QAction::triggered, this, &frmMain::mnuRecup_Click);
    connect(ui->mnuReset, &QAction::triggered, this, &frmMain::mnuReset_Click);
    tmrReset = new QTimer(this);
    tmrReset->setObjectName(QStringLiteral("tmrReset"));
    tmrReset->setInterval(250);
    connect(tmrReset, &QTimer::timeout, this, &frmMain::tmrReset_Timer);
}

void frmMain::mnuEnvoi_Click() {
    if (!m_document.isOpen() || m_document.isVerifying()) return;
    // Errors, or a check that stopped, keep the tree here; warnings do not.
    const int errors = m_document.verify();
    if (errors != 0) {
        m_prompts.critical(
            label("ErrTransfert").replace(QStringLiteral("$NBERREURS$"), QString::number(errors)),
            label("Titre"));
        return;
    }
    if (confirmSend(label("MsgTransfert").replace(QStringLiteral("$IPSERVEUR$"), m_ctx.HADDR)))
        SaveAndSendThisArbo();
}

void frmMain::SaveAndSendThisArbo() {
    switch (m_document.sendToServer()) {
    case server_transfers::SendResult::Sent:
        // The editor ends on the tree as the server now holds it.
        m_silentRecup = true;
        mnuRecup_Click();
        m_silentRecup = false;
        break;
    case server_transfers::SendResult::WriteFailed:
        reportSaveFailure(m_ctx.repTMP + QStringLiteral("arbreToTransfert.maa"));
        break;
    case server_transfers::SendResult::StoreFailed:
        // The edited tree stays: fetching the server's would lose it.
        reportServerFailure("ErrEnvoi");
        break;
    }
}

void frmMain::mnuRecup_Click() {
    if (m_document.isVerifying()) return;
    if (!m_silentRecup &&
        m_prompts.question(label("MsgRecup").replace(QStringLiteral("$IPSERVEUR$"), m_ctx.HADDR),
                           label("Titre")) != Prompts::Answer::Yes)
        return;
    if (m_document.fetchFromServer()) {
        rememberServerTree();
        treeV_NodeClick(QStringLiteral("A1"));
    } else
        reportServerFailure("ErrRecup");
}

void frmMain::reportServerFailure(const char* labelKey) {
    const QString text =
        label(labelKey).replace(QStringLiteral("$RAISON$"), server_transfers::lastReason(m_ctx));
    m_document.diagnostics().AjouteInfo(text, DiagnosticsSink::Error, QString());
    m_prompts.critical(text, label("Titre"));
}

// ---- reset ---------------------------------------------------------------------------------------------

void frmMain::mnuReset_Click() {
    if (m_document.isVerifying() ||
        m_prompts.question(label("MsgReset"), label("Titre")) != Prompts::Answer::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    showResetPanel(true);
    QApplication::processEvents();

    if (m_resetVoies) m_resetVoies();
    m_document.loadDefaultTree();
    SaveAndSendThisArbo();
    treeV_NodeClick(QStringLiteral("A1"));
    m_document.setModified(false);
    m_document.journal().clearCancel(0);
    m_document.diagnostics().AjouteInfo(ui->mnuReset->text(), DiagnosticsSink::Info, QString());

    // Whatever failed above, the window comes back.
    showResetPanel(false);
    setEnabled(true);
    QApplication::restoreOverrideCursor();
}

void frmMain::showResetPanel(bool shown) {
    if (shown) {
        m_resetBorder = 255;
        tmrReset_Timer();
        ui->picReset->setGeometry(ui->picInfos->rect());
        ui->picReset->show();
        ui->picReset->raise();
        tmrReset->start();
    } else {
        tmrReset->stop();
        ui->picReset->hide();
    }
}

void frmMain::tmrReset_Timer() {
    QApplication::processEvents();
    m_resetBorder = m_resetBorder == 255 ? 192 : 255;
    // The window is disabled meanwhile: the notice keeps its own colours so that it does not look greyed.
    ui->picReset->setStyleSheet(
        QStringLiteral("#picReset { background: #fff4f4; border: 4px solid rgb(%1, 0, 0); }"
                       "#lblInfoReset { color: rgb(140, 0, 0); font-weight: bold; }")
            .arg(m_resetBorder));
}
