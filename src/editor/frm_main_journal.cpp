// The undo journal in the main window: the visible list of steps, the undo and redo buttons, and the
// window's side of recording and restoring a step.
#include "editor/frm_main.h"

#include "core/app_context.h"
#include "editor/node_tree_model.h"
#include "model/journal_host.h"

#include <QAction>
#include <QFile>
#include <QListView>
#include <QTreeView>

namespace {

// The window's side of the journal: the tree view's selection, its redisplay and the title mark.
class MainJournalHost final : public ConfigurationJournalHost {
public:
    MainJournalHost(frmMain& window, const AppContext& ctx)
        : ConfigurationJournalHost(window.config(), ctx), m_window(window) {}

    // Journal files are scratch copies: a plain write is enough and avoids the flush to disk that the
    // user's own files get, which would make every step wait for the disk.
    bool writeTreeFile(const QString& path) override {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
        const QByteArray bytes = treeFileBytes(m_config);
        const bool written = file.write(bytes) == bytes.size();
        file.close();
        return written && file.error() == QFileDevice::NoError;
    }

    void loadTreeFile(const QString& path) override {
        NodeTreeModel::BulkChange bulk(m_window.treeModel());
        ConfigurationJournalHost::loadTreeFile(path);
    }

    QString selectedNodeKey() const override {
        const QModelIndex current = m_window.treeV->currentIndex();
        return current.isValid() ? m_window.treeModel().keyOf(current) : QString();
    }

    void showNode(const QString& key) override { m_window.treeV_NodeClick(key); }
    void setBoolSave(bool saved) override { m_window.setBoolSave(saved); }

private:
    frmMain& m_window;
};

} // namespace

void frmMain::addCancel(const QString& caption, bool withNodeText) {
    m_journal->addCancelCaption(caption, withNodeText);
}

void frmMain::connectJournalAndFiles() {
    m_journalHost = std::make_unique<MainJournalHost>(*this, m_ctx);
    m_journal = std::make_unique<UndoJournal>(*m_journalHost, m_ctx.repTMP, m_ctx.translation);
    lstCancel->setModel(m_journal.get());

    connect(lstCancel, &QListView::clicked, this, &frmMain::lstCancel_ItemClick);
    connect(m_journal.get(), &UndoJournal::currentItemChanged, this, [this](int position) {
        const QModelIndex item = m_journal->index(position);
        lstCancel->setCurrentIndex(item);
        lstCancel->scrollTo(item);
    });
    connect(m_journal.get(), &UndoJournal::buttonsChanged, this, [this](bool undo, bool redo) {
        toolButton(QStringLiteral("Annuler"))->setEnabled(undo);
        toolButton(QStringLiteral("Rétablir"))->setEnabled(redo);
    });

    // Opening a file or making a new tree restarts the journal; its files are neither reported nor
    // remembered as recent files.
    UndoJournalHooks hooks;
    hooks.clearCancel = [this] { m_journal->clearCancel(0); };
    hooks.addCancel = [this](const QString& caption) { addCancel(caption, true); };
    hooks.isFileCancel = [](const QString& path) { return UndoJournal::isFileCancel(path); };
    setUndoJournalHooks(std::move(hooks));

    connectFileCommands();
}

void frmMain::lstCancel_ItemClick(const QModelIndex& index) {
    if (index.isValid()) m_journal->goTo(index.row());
}
