// The main window's server commands: send the tree, fetch the server's tree, reset the server. Each says
// what the server holds afterwards; a failure leaves the tree being edited, its journal and its title
// as they were.
#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "editor/input_blocker.h"
#include "editor/tree_document.h"
#include "flow/tree_diff.h"
#include "model/undo_journal.h"
#include "platform/atomic_file.h"
#include "server/server_transfers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QWindow>

namespace st = server_transfers;

void frmMain::connectServerCommands() {
    connect(ui->mnuEnvoi, &QAction::triggered, this, &frmMain::mnuEnvoi_Click);
    connect(ui->mnuRecup, &QAction::triggered, this, &frmMain::mnuRecup_Click);
    connect(ui->mnuReset, &QAction::triggered, this, &frmMain::mnuReset_Click);
    tmrReset = new QTimer(this);
    tmrReset->setObjectName(QStringLiteral("tmrReset"));
    tmrReset->setInterval(250);
    connect(tmrReset, &QTimer::timeout, this, &frmMain::tmrReset_Timer);
}

QString frmMain::serverLabel(const char* key) const {
    return label(key).replace(QStringLiteral("$IPSERVEUR$"), st::withoutPasswords(m_ctx.HADDR));
}

void frmMain::reportServerFailure(const QString& message) {
    const QString text = st::withoutPasswords(message);
    m_document.diagnostics().AjouteInfo(text, DiagnosticsSink::Error, QString());
    m_prompts.critical(text, label("Titre"));
}

// Said once the window shows: the editor did not start on the server's tree, and why.
void frmMain::reportStartupFetch() {
    if (m_ctx.serverTreeFailure.isEmpty()) return;
    m_serverTreeUnknown = true;
    reportServerFailure(
        label("ErrDemarrageArbre").replace(QStringLiteral("$RAISON$"), m_ctx.serverTreeFailure));
}

// ---- send ----------------------------------------------------------------------------------------------

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
    // A server whose tree was never seen here: sending replaces something nobody looked at.
    if (m_serverTreeUnknown &&
        m_prompts.question(serverLabel("MsgEnvoiInconnu"), label("Titre")) != Prompts::Answer::Yes)
        return;
    if (!confirmSend(serverLabel("MsgTransfert"))) return;
    QString failure;
    const SendOutcome outcome = SaveAndSendThisArbo(m_document.config(), true, &failure);
    if (!failure.isEmpty()) reportServerFailure(failure);
    if (outcome != SendOutcome::NotSent) {
        const QString sent = serverLabel("MsgEnvoye");
        m_document.diagnostics().AjouteInfo(sent, DiagnosticsSink::Ok, QString());
        statusBar()->showMessage(sent);
    }
}

// Whether the server's tree changed since it was fetched here (someone else sent one): asked before it is
// overwritten. True to go on.
bool frmMain::acceptServerChanges() {
    if (!m_serverTree) return true;
    // The very bytes fetched here last time: nothing to compare.
    if (m_serverCopy.has_value() && st::fileBytes(st::backupPath(m_ctx)) == *m_serverCopy) return true;
    Configuration now = makeConfiguration(m_ctx);
    if (openTreeFile(now, st::backupPath(m_ctx), m_ctx) != OpenResult::Opened) return true;
    const flow::Changes changes = flow::compareConfigurations(*m_serverTree, now, m_ctx);
    if (changes.isEmpty()) return true;
    return m_prompts.question(
               label("MsgServeurChange").replace(QStringLiteral("$NB$"), QString::number(changes.count())),
               label("Titre")) == Prompts::Answer::Yes;
}

frmMain::SendOutcome frmMain::SaveAndSendThisArbo(const Configuration& config, bool askIfChanged,
                                                  QString* failure) {
    m_document.writePendingStep();
    InputBlocker busy;
    if (const QString error = st::writeTreeToSend(m_ctx, config); !error.isEmpty()) {
        reportSaveFailure(st::toSendPath(m_ctx), error);
        return SendOutcome::NotSent;
    }
    const st::FetchResult backup = st::fetchBackup(m_ctx, m_document.pacing());
    if (backup == st::FetchResult::Failed || backup == st::FetchResult::NotATree) {
        const QString reason =
            backup == st::FetchResult::Failed
                ? st::lastReason(m_ctx)
                : label("ErrFichierPasArbre").replace(QStringLiteral("$FICHIER$"), st::TreeFileName);
        *failure = label("ErrSauvegarde").replace(QStringLiteral("$RAISON$"), reason);
        return SendOutcome::NotSent;
    }
    if (askIfChanged && backup == st::FetchResult::Fetched && !acceptServerChanges())
        return SendOutcome::NotSent;

    QString storeReason;
    const st::StoreResult stored =
        st::storeTree(m_ctx, m_document.pacing(), backup == st::FetchResult::Absent, &storeReason);
    const QString notSent = label("ErrEnvoi").replace(QStringLiteral("$RAISON$"), storeReason);
    switch (stored) {
    case st::StoreResult::NotStored:
        *failure = notSent + QStringLiteral("\r\n") + label("EnvoiServeurAncien");
        return SendOutcome::NotSent;
    case st::StoreResult::Unknown:
        *failure = notSent + QStringLiteral("\r\n") + label("EnvoiServeurInconnu");
        return SendOutcome::NotSent;
    case st::StoreResult::StoredReplyLost:
        m_document.diagnostics().AjouteInfo(label("EnvoiConfirme"), DiagnosticsSink::Warning, QString());
        break;
    case st::StoreResult::Stored:
        break;
    }
    // The editor ends on the tree as the server now holds it.
    m_serverTreeUnknown = false;
    QString notFetched;
    if (!fetchIntoEditor(&notFetched)) {
        *failure = label("ErrEnvoiNonRecup").replace(QStringLiteral("$RAISON$"), notFetched);
        return SendOutcome::SentNotFetchedBack;
    }
    return SendOutcome::Sent;
}

// ---- fetch ---------------------------------------------------------------------------------------------

// Saved changes in the local copy that the server does not have are lost by a fetch: the question says so.
bool frmMain::confirmFetch() {
    QString question = serverLabel("MsgRecup");
    if (m_serverCopy.has_value() && st::fileBytes(m_ctx.fileServeur) != *m_serverCopy)
        question = label("MsgRecupPerte") + QStringLiteral("\r\n") + question;
    return m_prompts.question(question, label("Titre")) == Prompts::Answer::Yes;
}

void frmMain::mnuRecup_Click() {
    if (m_document.isVerifying() || !confirmFetch()) return;
    QString reason;
    if (!fetchIntoEditor(&reason))
        reportServerFailure(label("ErrRecup").replace(QStringLiteral("$RAISON$"), reason));
}

bool frmMain::fetchIntoEditor(QString* reason) {
    InputBlocker busy;
    const QString received = st::receivedPath(m_ctx);
    switch (st::fetchTree(m_ctx, received, m_document.pacing())) {
    case st::FetchResult::Fetched:
        break;
    case st::FetchResult::NotATree:
        *reason = label("ErrFichierPasArbre").replace(QStringLiteral("$FICHIER$"), st::TreeFileName);
        return false;
    case st::FetchResult::Absent:
    case st::FetchResult::Failed:
        *reason = st::lastReason(m_ctx);
        return false;
    }
    // Refused as a local file would be, before it replaces the local copy.
    const OpenResult opened = checkTreeFile(received, m_ctx);
    if (opened != OpenResult::Opened) {
        QFile::remove(received);
        *reason = openRefusal(opened, st::TreeFileName);
        return false;
    }
    if (const QString error = platform::replaceFile(received, m_ctx.fileServeur); !error.isEmpty()) {
        QFile::remove(received);
        *reason = m_ctx.fileServeur + QStringLiteral(": ") + error;
        return false;
    }
    if (m_document.open(m_ctx.fileServeur) != OpenResult::Opened) {
        *reason = openRefusal(OpenResult::Unreadable, m_ctx.fileServeur);
        return false;
    }
    rememberServerTree();
    treeV_NodeClick(QStringLiteral("A1"));
    return true;
}

// ---- reset ---------------------------------------------------------------------------------------------

void frmMain::mnuReset_Click() {
    if (m_document.isVerifying()) return;
    QString question = label("MsgReset");
    if (m_document.isModified()) question += QStringLiteral("\r\n") + label("MsgResetModif");
    if (m_prompts.question(question, label("Titre")) != Prompts::Answer::Yes) return;
    setEnabled(false);
    showResetPanel(true);
    QApplication::processEvents();

    m_ctx.historyWhat = QStringLiteral("reset"); // what the server now holds is recorded as a reset
    const bool linesReset = !m_resetVoies || m_resetVoies();
    Configuration defaults = makeConfiguration(m_ctx);
    ChargementArbres(defaults, QString(), m_ctx);
    QString failure;
    const SendOutcome outcome = SaveAndSendThisArbo(defaults, false, &failure);
    m_ctx.historyWhat.clear();
    if (outcome != SendOutcome::NotSent) {
        if (outcome == SendOutcome::SentNotFetchedBack) m_document.loadDefaultTree();
        treeV_NodeClick(QStringLiteral("A1"));
        m_document.setModified(false);
        m_document.journal().clearCancel(0);
        m_document.diagnostics().AjouteInfo(ui->mnuReset->text(), DiagnosticsSink::Info, QString());
    }
    // Whatever failed, the window comes back before anything is said.
    showResetPanel(false);
    setEnabled(true);
    if (outcome == SendOutcome::NotSent) {
        // Nothing changes here: the tree, its journal and its title stay; the message tells what the
        // server now holds.
        QString text = label("ErrReset") + QStringLiteral("\r\n") +
                       label(linesReset ? "ResetVoiesOk" : "ResetVoiesEchec");
        if (!failure.isEmpty()) text += QStringLiteral("\r\n") + failure;
        reportServerFailure(text);
    } else {
        if (!failure.isEmpty()) reportServerFailure(failure);
        if (!linesReset) reportServerFailure(label("ResetVoiesEchec"));
    }
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
