#pragma once

#include "core/diagnostics_list.h"
#include "editor/node_icons.h"
#include "model/configuration.h"
#include "model/tree_file.h"
#include "model/verification.h"
#include "platform/pacing.h"

#include <QObject>
#include <memory>

class NodeTreeModel;
class UndoJournal;
struct AppContext;

// The tree being edited and its history: the configuration, the node tree model the views show, the
// undo journal, the diagnostics list and the verifier. Windows show it and listen to its signals; every
// command that opens, makes, saves, closes or checks a tree goes through it.
class TreeDocument final : public QObject, private VerificationObserver {
    Q_OBJECT
public:
    explicit TreeDocument(AppContext& ctx, QObject* parent = nullptr);
    ~TreeDocument() override;

    // Opens a tree file: the version check, the load, the journal's first step. Anything but Opened
    // leaves the document as it was.
    OpenResult open(const QString& path);
    // Replaces the tree by the five default trees, without a file name.
    void newTree();
    // The same without a diagnostics line or a journal step: the start of a server reset.
    void loadDefaultTree();
    // Writes the tree to its file; false when it has none, is closed or the write failed (the file is
    // then left as it was).
    bool save();
    // Writes the tree to path and makes it the document's file; on failure nothing changes.
    bool saveAs(const QString& path);
    // Why the last save failed, in the system's words.
    QString lastSaveError() const { return m_lastSaveError; }
    // Nothing is edited any more until a tree is opened or made again.
    void close();
    // Opens the last step of a journal another editor left as the tree of fileName (a local file, "" for
    // a new tree, or the server's copy), modified; the journal starts again from it.
    void restoreJournal(const QString& stepPath, const QString& fileName);

    bool isOpen() const { return m_open; }
    bool isModified() const { return !m_config.boolSave; }
    QString fileName() const { return m_config.fileCourant; }
    // Gives the tree a file name without writing it (the local copy of the server's tree).
    void setFileName(const QString& path);
    // Marks the tree modified (true) or saved (false).
    void setModified(bool modified);

    // Records an undo step: caption already translated, or the last-action marker that folds the change
    // into the current step. The selected node (setCurrentNode) is remembered with it.
    void recordStep(const QString& caption, bool withNodeText);
    // Typing pauses this long before the folded change is written to the current step.
    static constexpr int FoldDelayMs = 400;
    // Writes a folded change still waiting: called before anything but typing reaches the tree.
    void writePendingStep();
    // The node the views show; journal steps remember it.
    void setCurrentNode(const QString& key) { m_currentNode = key; }
    QString currentNode() const { return m_currentNode; }

    // The waits of transfers and checks.
    platform::Pacing& pacing() { return *m_pacing; }

    // The verification with its pauses; the error count, or TreeVerifier::Aborted (also when one runs).
    int verify();
    bool isVerifying() const { return m_checking; }
    // The waits of the verification: the real delays unless a caller (a test) gives its own.
    void setPacing(platform::Pacing& pacing);

    Configuration& config() { return m_config; }
    const Configuration& config() const { return m_config; }
    NodeTreeModel& treeModel() { return *m_treeModel; }
    UndoJournal& journal() { return *m_journal; }
    DiagnosticsList& diagnostics() { return m_diagnostics; }
    const NodeIcons& icons() const { return m_icons; }
    AppContext& context() { return m_ctx; }

    // The extension a tree file gets when the name chosen has none.
    static QString withTreeExtension(const QString& path);

signals:
    void modifiedChanged(bool modified);
    // Something in the tree was changed by an edit (told on each one, not only on the first).
    void edited();
    void fileChanged(const QString& path);
    // The whole tree was replaced (opened, made, closed, a journal step restored).
    void treeReplaced();
    // A restored journal step asks the views to show this node.
    void nodeRequested(const QString& key);
    // A user's tree file was opened or saved: it belongs in the recent-file list.
    void fileUsed(const QString& path);
    // A verification runs (its progress goes from 1 to maximum) and ends.
    void checkStarted();
    void checkProgress(int current, int maximum);
    void checkFinished();
    // Undo and redo became possible or not (also when the document opens or closes).
    void historyChanged();

private:
    class JournalHost;

    void verificationStarted() override;
    void verificationProgress(int current, int maximum) override;
    void verificationFinished() override;
    TreeFileHooks fileHooks();
    void startJournal();
    void setOpen(bool open);
    // Tells the program's folder what the journal belongs to, when that changed.
    void recordOwner();

    AppContext& m_ctx;
    NodeIcons m_icons;
    Configuration m_config;
    DiagnosticsList m_diagnostics;
    std::unique_ptr<NodeTreeModel> m_treeModel;
    std::unique_ptr<JournalHost> m_journalHost;
    std::unique_ptr<UndoJournal> m_journal;
    platform::EventLoopPacing m_eventPacing;
    std::unique_ptr<TreeVerifier> m_verifier;
    platform::Pacing* m_pacing = nullptr; // the waits of checks and transfers
    QString m_currentNode;
    QByteArray m_ownerRecorded;
    bool m_open = false;
    QString m_lastSaveError;
    bool m_checking = false; // from the verifier's start to its end, both told to the views
};
