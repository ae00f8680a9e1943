#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <QTime>
#include <QTimer>
#include <functional>

class Translation;

// What the journal needs from the window that owns the configuration being edited.
class JournalHost {
public:
    virtual ~JournalHost() = default;
    // Writes the whole configuration as a tree file; false when it cannot be written.
    virtual bool writeTreeFile(const QString& path) = 0;
    // Replaces the configuration by the content of a tree file and rebuilds the tree view. nodeToShow is
    // the node showNode is given next ("" when none), so that views redraw once, around it.
    virtual void loadTreeFile(const QString& path, const QString& nodeToShow) = 0;
    // The selected node of the tree view: its key ("" when none) and its text.
    virtual QString selectedNodeKey() const = 0;
    virtual QString selectedNodeText() const = 0;
    virtual bool nodeExists(const QString& key) const = 0;
    // Selects the node and redisplays it (as a click on it would).
    virtual void showNode(const QString& key) = 0;
    // Marks the configuration saved (true) or modified (false).
    virtual void setBoolSave(bool saved) = 0;
};

// The undo and redo journal. Each step is a complete copy of the tree file in the temporary folder
// ("0001.can", "0002.can"...); going to a step loads its copy back. As a list model it is the visible
// list of steps `lstCancel` (one row per step, the display text "hh:mm:ss -> label : node text").
class UndoJournal : public QAbstractListModel {
    Q_OBJECT
public:
    // Not a label: folds the change into the current step, so a run of typing stays one step.
    static inline const QString LastAction = QStringLiteral("$$LAST_ACTION$$");
    // Recorded key of a step taken while no node was selected.
    static QString noKey() { return QStringLiteral("NO_KEY"); }

    // folder is the temporary folder repTMP; labels are looked up in translation.
    UndoJournal(JournalHost& host, const QString& folder, const Translation& translation,
                QObject* parent = nullptr);
    // Writes a folded change still waiting (see setFoldDelay).
    ~UndoJournal() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Records a step. label is a key of the translation table (its text is shown, followed by suffix),
    // "" for none, or LastAction. A change folded into a step that has later ones (typing after an
    // undo) ends the redo branch, as a new step does. withNodeText adds the selected node's text to the item.
    // False when the journal file cannot be written (no step is then added).
    bool addCancel(const QString& label, bool withNodeText, const QString& suffix = {});
    // The same with a caption already translated (the window's panels pass their own texts), or LastAction.
    bool addCancelCaption(const QString& caption, bool withNodeText);
    // Restores the step at position p (from 0): reloads its file, selects its node, marks the tree modified.
    void chargeCancel(int p);
    // Deletes the steps at position from and after it; from 0 empties the journal and restarts numbering.
    void clearCancel(int from);
    // True for the name of a journal file.
    static bool isFileCancel(const QString& name);

    // A folded change (LastAction) rewrites the current step's file at once when delay is negative (the
    // default); otherwise the state is written once typing pauses for delay ms, or earlier through
    // writePendingStep, which every reader of the journal files calls first. The caller that sets a
    // delay calls writePendingStep before anything else changes the configuration.
    void setFoldDelay(int delayMs) { m_foldDelayMs = delayMs; }
    // Writes the current step if a folded change is still waiting; false when the write failed.
    bool writePendingStep();
    bool hasPendingStep() const { return m_pendingStep; }

    // A click on item p of the list: goes to that step unless it is the current one.
    void goTo(int p);
    void undo(); // "Annuler"
    void redo(); // "Rétablir"
    bool undoEnabled() const { return m_undoEnabled; }
    bool redoEnabled() const { return m_redoEnabled; }

    qint32 cancelFileNumber() const { return m_cancelFileNumber; }
    qint16 cancelPosition() const { return m_cancelPosition; }
    // Per step, the key of the node selected when it was recorded, or "NO_KEY".
    const QStringList& lstCancelKey() const { return m_keys; }
    // The journal files in step order (names only); position i is step i.
    const QStringList& fileCancel() const { return m_files; }
    QString folder() const { return m_folder; }

    // Journal file name of a step number: "0001.can".
    static QString stepFileName(qint32 number);
    // The line that ends every step written whole (a comment to the tree file reader). Steps are written
    // without waiting for the disk, so after a power cut the last one may be empty or cut short: that
    // line is then missing.
    static QByteArray stepEnd() { return QByteArrayLiteral(";end of step\r\n"); }
    static bool isWholeStep(const QByteArray& bytes) { return bytes.endsWith(stepEnd()); }
    // Path of the last whole step of the journal in folder, "" when there is none.
    static QString lastWholeStep(const QString& folder);

    // The clock that stamps list items (tests fix it).
    void setClock(std::function<QTime()> clock) { m_clock = std::move(clock); }

signals:
    // The toolbar buttons follow these.
    void buttonsChanged(bool undoEnabled, bool redoEnabled);
    // The list selects this row and scrolls it into view.
    void currentItemChanged(int position);

private:
    void refreshFiles();
    bool rewriteCurrentStep();
    bool recordStep(const QString& labelText, bool withNodeText);
    void setButtons(bool undoEnabled, bool redoEnabled);
    QString itemText(const QString& labelText, bool withNodeText, const QString& nodeText) const;
    QString pathOf(const QString& name) const;
    QString currentStepName() const;

    JournalHost& m_host;
    QString m_folder;
    const Translation& m_translation;
    std::function<QTime()> m_clock;

    QStringList m_items; // lstCancel
    QStringList m_keys;  // lstCancelKey
    QStringList m_files; // fileCancel
    qint32 m_cancelFileNumber = 0;
    qint16 m_cancelPosition = -1;
    bool m_undoEnabled = false;
    bool m_redoEnabled = false;
    int m_foldDelayMs = -1;
    bool m_pendingStep = false;
    QTimer m_foldTimer;
};
