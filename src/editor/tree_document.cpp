#include "editor/tree_document.h"

#include "core/app_context.h"
#include "editor/node_tree_model.h"
#include "model/journal_host.h"
#include "model/undo_journal.h"
#include "startup/session_folder.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

// The document's side of the journal: the node the views show, their redisplay and the modified mark.
class TreeDocument::JournalHost final : public ConfigurationJournalHost {
public:
    explicit JournalHost(TreeDocument& document)
        : ConfigurationJournalHost(document.m_config, document.m_ctx), m_document(document) {}

    void loadTreeFile(const QString& path, const QString& nodeToShow) override {
        {
            NodeTreeModel::BulkChange bulk(*m_document.m_treeModel);
            ConfigurationJournalHost::loadTreeFile(path, nodeToShow);
        }
        // The views draw the restored tree around the node shown next, not the one shown before (the plan
        // would otherwise draw one tree, then the other).
        if (!nodeToShow.isEmpty() && nodeExists(nodeToShow)) m_document.m_currentNode = nodeToShow;
        emit m_document.treeReplaced();
    }

    QString selectedNodeKey() const override { return m_document.m_currentNode; }
    void showNode(const QString& key) override {
        m_document.m_currentNode = key;
        emit m_document.nodeRequested(key);
    }
    void setBoolSave(bool saved) override { m_document.setModified(!saved); }

private:
    TreeDocument& m_document;
};

TreeDocument::TreeDocument(AppContext& ctx, QObject* parent) : QObject(parent), m_ctx(ctx) {
    m_config = makeConfiguration(ctx);
    m_treeModel = std::make_unique<NodeTreeModel>(m_config.nodes, m_icons);
    m_journalHost = std::make_unique<JournalHost>(*this);
    m_journal = std::make_unique<UndoJournal>(*m_journalHost, ctx.repTMP, ctx.translation);
    // A typed character folds into the current step without rewriting the whole tree each time: the
    // step is written once typing pauses, or before anything else touches the tree (see frmMain).
    m_journal->setFoldDelay(FoldDelayMs);
    connect(m_journal.get(), &UndoJournal::buttonsChanged, this, &TreeDocument::historyChanged);
    // A later start offers the journal back only while it holds unsaved changes, under the name of
    // the file or server they belong to.
    if (ctx.session) {
        connect(this, &TreeDocument::modifiedChanged, this, &TreeDocument::recordOwner);
        connect(this, &TreeDocument::fileChanged, this, &TreeDocument::recordOwner);
        connect(this, &TreeDocument::treeReplaced, this, &TreeDocument::recordOwner);
    }
    setPacing(m_eventPacing);
}

TreeDocument::~TreeDocument() = default;

QString TreeDocument::withTreeExtension(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QStringLiteral(".maa");
}

TreeFileHooks TreeDocument::fileHooks() {
    TreeFileHooks hooks;
    hooks.diagnostics = &m_diagnostics;
    hooks.recentFile = [this](const QString& path) { emit fileUsed(path); };
    hooks.isJournalFile = [](const QString& path) { return UndoJournal::isFileCancel(path); };
    return hooks;
}

void TreeDocument::setModified(bool modified) {
    const bool changed = modified != isModified();
    m_config.boolSave = !modified;
    if (changed) emit modifiedChanged(modified);
    if (modified) emit edited();
}

void TreeDocument::setFileName(const QString& path) {
    if (path == m_config.fileCourant) return;
    m_config.fileCourant = path;
    emit fileChanged(path);
}

void TreeDocument::setOpen(bool open) {
    m_open = open;
    emit treeReplaced();
    emit historyChanged();
}

void TreeDocument::recordOwner() {
    JournalOwner owner;
    owner.modified = m_open && isModified();
    if (!m_ctx.modeLocal && fileName() == m_ctx.fileServeur) {
        owner.server = m_ctx.HADDR;
        owner.port = m_ctx.HPORT;
        owner.login = m_ctx.USER;
    } else {
        owner.file = fileName();
    }
    const QByteArray bytes = owner.toBytes();
    if (bytes == m_ownerRecorded || !m_ctx.session->recordOwner(owner)) return;
    m_ownerRecorded = bytes;
}

void TreeDocument::startJournal() {
    m_journal->clearCancel(0);
    m_journal->addCancel(QStringLiteral("HistoDeb"), true);
}

OpenResult TreeDocument::open(const QString& path) {
    if (isVerifying()) return OpenResult::Missing;
    OpenResult result;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        NodeTreeModel::BulkChange bulk(*m_treeModel);
        result = openTreeFile(m_config, path, m_ctx, fileHooks());
    }
    QApplication::restoreOverrideCursor();
    if (result != OpenResult::Opened) return result;
    m_currentNode = QStringLiteral("A1");
    setOpen(true);
    emit fileChanged(path);
    emit modifiedChanged(false);
    startJournal();
    return result;
}

void TreeDocument::newTree() {
    if (isVerifying()) return;
    m_diagnostics.AjouteInfo(m_ctx.getLabel(QStringLiteral("DebugNew")), DiagnosticsSink::Info, QString());
    {
        NodeTreeModel::BulkChange bulk(*m_treeModel);
        ChargementArbres(m_config, QString(), m_ctx, fileHooks());
    }
    m_config.fileCourant.clear();
    m_config.boolSave = true;
    m_currentNode = QStringLiteral("A1");
    setOpen(true);
    emit fileChanged(QString());
    emit modifiedChanged(false);
    startJournal();
}

void TreeDocument::loadDefaultTree() {
    {
        NodeTreeModel::BulkChange bulk(*m_treeModel);
        ChargementArbres(m_config, QString(), m_ctx, fileHooks());
    }
    m_config.fileCourant.clear();
    m_currentNode = QStringLiteral("A1");
    setOpen(true);
    emit fileChanged(QString());
}

void TreeDocument::close() {
    if (isVerifying()) return;
    // The journal files stay until a tree is opened again, but nothing can reach them from a closed tree.
    m_config.fileCourant.clear();
    m_config.boolSave = true;
    m_currentNode.clear();
    setOpen(false);
    emit fileChanged(QString());
    emit modifiedChanged(false);
}

void TreeDocument::restoreJournal(const QString& stepPath, const QString& fileName) {
    if (isVerifying()) return;
    {
        NodeTreeModel::BulkChange bulk(*m_treeModel);
        ChargementArbres(m_config, stepPath, m_ctx, fileHooks());
    }
    m_config.fileCourant = fileName;
    m_currentNode = QStringLiteral("A1");
    setOpen(true);
    emit fileChanged(fileName);
    m_journal->clearCancel(0);
    m_journal->addCancel(QStringLiteral("HistoRecup"), true);
    setModified(true);
}

bool TreeDocument::save() {
    if (!m_open || m_config.fileCourant.isEmpty()) return false;
    m_journal->writePendingStep();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written =
        SaveArbre(m_config, m_config.fileCourant, false, m_ctx, fileHooks(), &m_lastSaveError);
    QApplication::restoreOverrideCursor();
    if (written) setModified(false);
    return written;
}

bool TreeDocument::saveAs(const QString& path) {
    if (!m_open || path.isEmpty()) return false;
    const QString previous = m_config.fileCourant;
    m_config.fileCourant = path;
    if (!save()) {
        m_config.fileCourant = previous;
        return false;
    }
    emit fileChanged(path);
    return true;
}

void TreeDocument::writePendingStep() {
    m_journal->writePendingStep();
}

void TreeDocument::recordStep(const QString& caption, bool withNodeText) {
    if (!m_open) return;
    m_journal->addCancelCaption(caption, withNodeText);
    emit edited();
}

// ---- verification -----------------------------------------------------------------------------------

void TreeDocument::setPacing(platform::Pacing& pacing) {
    if (m_verifier && m_verifier->isRunning()) return;
    m_pacing = &pacing;
    VerificationObserver* observer = this;
    m_verifier = std::make_unique<TreeVerifier>(m_ctx, m_diagnostics, pacing, observer);
}

int TreeDocument::verify() {
    if (!m_open) return TreeVerifier::Aborted;
    return m_verifier->verifArbo(m_config);
}

void TreeDocument::verificationStarted() {
    m_checking = true;
    emit checkStarted();
    emit historyChanged();
}

void TreeDocument::verificationProgress(int current, int maximum) {
    emit checkProgress(current, maximum);
}

void TreeDocument::verificationFinished() {
    m_checking = false;
    emit checkFinished();
    emit historyChanged();
}
