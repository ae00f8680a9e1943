// The main window's call window and comparisons: "Simulate a call", "Compare with..." and the count of
// changes the send confirmation gives against the server's tree.
#include "core/app_context.h"
#include "core/prompts.h"
#include "dialogs/frm_appel.h"
#include "dialogs/frm_changes.h"
#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "editor/plan_view.h"
#include "editor/tree_document.h"
#include "flow/tree_diff.h"
#include "server/server_transfers.h"

#include <QAction>
#include <QFileInfo>

namespace {

QString flowLabel(const AppContext& ctx, const char* key) {
    return ctx.translation.getLabel(QStringLiteral("FLOW"), QString::fromLatin1(key));
}

// The tree (1..5) a node belongs to; 1 when none is selected.
int treeOf(const NodeTree& nodes, const QString& key) {
    int id = nodes.find(key);
    if (id < 0) return 1;
    while (nodes.node(id).parent >= 0)
        id = nodes.node(id).parent;
    const QString top = nodes.node(id).key;
    const int number = top.mid(1).toInt();
    return top.startsWith(QLatin1Char('A')) && number >= 1 && number <= 5 ? number : 1;
}

} // namespace

void frmMain::connectFlowCommands() {
    connect(ui->mnuSimuler, &QAction::triggered, this, &frmMain::mnuSimuler_Click);
    connect(ui->mnuComparer, &QAction::triggered, this, &frmMain::mnuComparer_Click);
}

void frmMain::mnuSimuler_Click() {
    if (!m_document.isOpen()) return;
    if (!m_callWindow) {
        m_callWindow = new FrmAppel(m_document.config(), m_ctx, m_prompts, this);
        connect(m_callWindow, &FrmAppel::nodeChosen, this, &frmMain::treeV_NodeClick);
        connect(m_callWindow, &FrmAppel::exitChosen, this, [this](const QString& key, int exit) {
            m_plan->showBox(flow::exitBoxId(PlanView::treeOfNode(m_document.config(), key), exit));
        });
        // The call follows the tree as it is edited; a closed tree takes its call window with it.
        const auto follow = [this] {
            if (!m_callWindow->isVisible()) return;
            if (m_document.isOpen())
                m_callWindow->refresh();
            else
                m_callWindow->close();
        };
        connect(&m_document, &TreeDocument::treeReplaced, m_callWindow, follow);
        connect(&m_document, &TreeDocument::historyChanged, m_callWindow, follow);
    }
    // The call starts in the tree the user is looking at.
    m_callWindow->startCall(treeOf(m_document.config().nodes, m_document.currentNode()));
    m_callWindow->show();
    m_callWindow->raise();
    m_callWindow->activateWindow();
}

void frmMain::mnuComparer_Click() {
    if (!m_document.isOpen() || m_document.isVerifying()) return;
    const QString title = ui->mnuComparer->text().remove(QStringLiteral("..."));
    // The file to compare with is most often a copy kept beside the open one.
    const QString open = m_document.fileName();
    const QString folder = open.isEmpty() ? m_repCourant : QFileInfo(open).absolutePath();
    const QString path = m_prompts.openFileName(title, folder, QStringLiteral("*.maa (*.maa)"));
    if (path.isEmpty()) return;
    m_repCourant = QFileInfo(path).absolutePath();
    Configuration other = makeConfiguration(m_ctx);
    if (openTreeFile(other, path, m_ctx) != OpenResult::Opened) {
        m_prompts.critical(flowLabel(m_ctx, "CompareFailed").arg(QFileInfo(path).fileName()), label("Titre"));
        return;
    }
    const flow::Changes changes = flow::compareConfigurations(other, m_document.config(), m_ctx);
    const QString name = QFileInfo(path).fileName();
    const QString heading = changes.isEmpty()
                                ? flowLabel(m_ctx, "CompareSame").arg(name)
                                : flowLabel(m_ctx, changes.count() == 1 ? "CompareOne" : "CompareMany")
                                      .arg(name)
                                      .arg(changes.count());
    if (!m_changesWindow) m_changesWindow = new FrmChanges(flowLabel(m_ctx, "CallClose"), this);
    m_changesWindow->showChanges(title, heading, changes.lines);
    m_changesWindow->show();
    m_changesWindow->raise();
    m_changesWindow->activateWindow();
}

void frmMain::rememberServerTree() {
    // Kept apart from the document: saving the tree being edited writes over the server's copy.
    m_serverCopy = server_transfers::fileBytes(m_ctx.fileServeur);
    // The document has just read the server's file, unchanged: a copy of it spares reading it again.
    if (m_document.isOpen() && !m_document.isModified() && m_document.fileName() == m_ctx.fileServeur) {
        m_serverTree = std::make_unique<Configuration>(m_document.config());
        m_serverTree->nodes.setObserver(nullptr); // the tree view follows the document only
        return;
    }
    auto server = std::make_unique<Configuration>(makeConfiguration(m_ctx));
    if (openTreeFile(*server, m_ctx.fileServeur, m_ctx) == OpenResult::Opened)
        m_serverTree = std::move(server);
    else
        m_serverTree.reset();
}

bool frmMain::confirmSend(const QString& question) {
    QString remark;
    QString details;
    if (!m_serverTree) {
        remark = flowLabel(m_ctx, "SendNoServerTree");
    } else {
        const flow::Changes changes = flow::compareConfigurations(*m_serverTree, m_document.config(), m_ctx);
        remark = changes.isEmpty()      ? flowLabel(m_ctx, "SendSame")
                 : changes.count() == 1 ? flowLabel(m_ctx, "SendOne")
                                        : flowLabel(m_ctx, "SendMany").arg(changes.count());
        // A mark at the start of each change tells them apart where a long one wraps.
        if (!changes.isEmpty())
            details = QStringLiteral("\u2022 ") + changes.lines.join(QStringLiteral("\n\u2022 "));
    }
    return m_prompts.questionWithDetails(question, label("Titre"), remark, details) == Prompts::Answer::Yes;
}
