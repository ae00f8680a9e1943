// The main window's history: the window listing what the servers held, and the revisions it opens as
// local files or restores on the server through the usual send.
#include "core/app_context.h"
#include "core/prompts.h"
#include "dialogs/frm_historique.h"
#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "editor/revision_trees.h"
#include "editor/tree_document.h"

#include <QAction>

namespace {

QString historyLabel(const AppContext& ctx, const char* key) {
    return ctx.translation.getLabel(QStringLiteral("HISTORIQUE"), QString::fromLatin1(key));
}

} // namespace

void frmMain::connectHistoryCommands() {
    connect(ui->mnuHistorique, &QAction::triggered, this, &frmMain::mnuHistorique_Click);
}

void frmMain::mnuHistorique_Click() {
    if (!m_historyWindow) {
        m_historyWindow =
            new FrmHistorique(m_ctx, m_ctx.modeLocal ? QString() : history::serverFolderOf(m_ctx), this);
        connect(m_historyWindow, &FrmHistorique::openRequested, this, &frmMain::openRevision);
        connect(m_historyWindow, &FrmHistorique::restoreRequested, this, &frmMain::restoreRevision);
        // A send or a fetch records a revision and ends by opening a tree: the list follows.
        connect(&m_document, &TreeDocument::treeReplaced, m_historyWindow, [this] {
            if (m_historyWindow->isVisible()) m_historyWindow->refresh();
        });
    } else {
        m_historyWindow->refresh();
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}

// Opened as any local file: unsaved edits are asked about first, and nothing goes to the server.
bool frmMain::openRevision(const history::Revision& revision) {
    if (!confirmDiscard()) return false;
    QString error;
    const QString path = revision_trees::writeTree(history::Repository(history::historyRoot(m_ctx)), revision,
                                                   m_ctx.repTMP, &error);
    if (path.isEmpty()) {
        m_prompts.critical(historyLabel(m_ctx, "NonEcrite").arg(revision.id.left(10), error), label("Titre"));
        return false;
    }
    OuvertureFichierArbre(path);
    return m_document.isOpen() && m_document.fileName() == path;
}

// The revision opened, then the send as the user runs it (its check and its confirmation), recorded as a
// restore.
void frmMain::restoreRevision(const history::Revision& revision) {
    if (m_ctx.modeLocal || !openRevision(revision)) return;
    m_ctx.historyWhat = revision_trees::restoreWhat(revision);
    mnuEnvoi_Click();
    m_ctx.historyWhat.clear();
}
