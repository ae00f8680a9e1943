#include "model/undo_journal.h"

#include "core/translation.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace {

// Step number of a journal file name, -1 when the name is not a number.
qint64 stepNumberOf(const QString& name) {
    bool ok = false;
    const qint64 n = name.section(QLatin1Char('.'), 0, 0).toLongLong(&ok);
    return ok ? n : -1;
}

} // namespace

UndoJournal::UndoJournal(JournalHost& host, const QString& folder, const Translation& translation,
                         QObject* parent)
    : QAbstractListModel(parent), m_host(host), m_folder(folder), m_translation(translation),
      m_clock([] { return QTime::currentTime(); }) {
    m_foldTimer.setSingleShot(true);
    connect(&m_foldTimer, &QTimer::timeout, this, [this] { writePendingStep(); });
    refreshFiles();
}

UndoJournal::~UndoJournal() {
    writePendingStep();
}

int UndoJournal::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant UndoJournal::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= m_items.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return m_items[index.row()];
    if (role == Qt::UserRole) return index.row() < m_keys.size() ? m_keys[index.row()] : QString();
    return {};
}

bool UndoJournal::isFileCancel(const QString& name) {
    return name.endsWith(QLatin1String("can"));
}

QString UndoJournal::stepFileName(qint32 number) {
    return QStringLiteral("%1.can").arg(number, 4, 10, QLatin1Char('0'));
}

QString UndoJournal::lastWholeStep(const QString& folder) {
    QStringList names = QDir(folder).entryList({QStringLiteral("*.can")}, QDir::Files | QDir::Hidden);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return stepNumberOf(a) > stepNumberOf(b); });
    for (const QString& name : names) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        // Only the end is needed to know a step is whole.
        const qint64 size = file.size();
        const qint64 tail = qMin<qint64>(size, stepEnd().size());
        if (file.seek(size - tail) && isWholeStep(file.read(tail))) return file.fileName();
    }
    return QString();
}

QString UndoJournal::pathOf(const QString& name) const {
    return QDir(m_folder).filePath(name);
}

void UndoJournal::refreshFiles() {
    QStringList names =
        QDir(m_folder).entryList({QStringLiteral("*.can")}, QDir::Files | QDir::Hidden, QDir::Name);
    names.removeIf([](const QString& n) { return !isFileCancel(n); });
    // Numeric order, so that steps past 9999 still follow their predecessors.
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return stepNumberOf(a) < stepNumberOf(b); });
    m_files = names;
}

void UndoJournal::setButtons(bool undoEnabled, bool redoEnabled) {
    m_undoEnabled = undoEnabled;
    m_redoEnabled = redoEnabled;
    emit buttonsChanged(undoEnabled, redoEnabled);
}

QString UndoJournal::itemText(const QString& labelText, bool withNodeText, const QString& nodeText) const {
    QString text = m_clock().toString(QStringLiteral("hh:mm:ss")) + QLatin1String(" -> ") + labelText;
    if (withNodeText) text += labelText.isEmpty() ? nodeText : QLatin1String(" : ") + nodeText;
    return text;
}

bool UndoJournal::addCancel(const QString& label, bool withNodeText, const QString& suffix) {
    if (label == LastAction) return rewriteCurrentStep();
    return recordStep(label.isEmpty() ? QString() : m_translation.getLabel(label) + suffix, withNodeText);
}

bool UndoJournal::addCancelCaption(const QString& caption, bool withNodeText) {
    if (caption == LastAction) return rewriteCurrentStep();
    return recordStep(caption, withNodeText);
}

QString UndoJournal::currentStepName() const {
    return m_cancelPosition < m_files.size() ? m_files[m_cancelPosition] : stepFileName(m_cancelFileNumber);
}

bool UndoJournal::rewriteCurrentStep() {
    // With no step yet there is nothing to fold into.
    if (m_cancelPosition < 0) return false;
    // A change made after an undo leaves the later steps behind, as a new step would: a redo must never
    // bring back a state that hides what was typed since.
    if (m_cancelPosition < m_items.size() - 1) {
        clearCancel(m_cancelPosition + 1);
        setButtons(m_cancelPosition > 0, false);
    }
    if (m_foldDelayMs >= 0) {
        m_pendingStep = true;
        m_foldTimer.start(m_foldDelayMs);
        return true;
    }
    refreshFiles();
    return m_host.writeTreeFile(pathOf(currentStepName()));
}

bool UndoJournal::writePendingStep() {
    if (!m_pendingStep) return true;
    m_pendingStep = false;
    m_foldTimer.stop();
    if (m_cancelPosition < 0) return true;
    refreshFiles();
    return m_host.writeTreeFile(pathOf(currentStepName()));
}

bool UndoJournal::recordStep(const QString& labelText, bool withNodeText) {
    writePendingStep();
    ++m_cancelFileNumber;
    if (m_cancelPosition >= 0) clearCancel(m_cancelPosition + 1); // a new step ends the redo branch
    if (!m_host.writeTreeFile(pathOf(stepFileName(m_cancelFileNumber)))) {
        refreshFiles();
        return false;
    }

    QString key = m_host.selectedNodeKey();
    const QString nodeText = key.isEmpty() ? QString() : m_host.selectedNodeText();
    if (key.isEmpty()) key = noKey();

    const int row = int(m_items.size());
    beginInsertRows({}, row, row);
    m_keys.append(key);
    m_items.append(itemText(labelText, withNodeText, nodeText));
    endInsertRows();
    m_cancelPosition = qint16(m_keys.size() - 1);

    refreshFiles();
    setButtons(m_cancelPosition > 0, false);
    emit currentItemChanged(m_cancelPosition);
    return true;
}

void UndoJournal::clearCancel(int from) {
    from = std::max(from, 0);
    // A waiting change of a step about to go is dropped with it.
    if (from <= m_cancelPosition) {
        m_pendingStep = false;
        m_foldTimer.stop();
    }
    refreshFiles();
    for (int i = 0; i < m_files.size(); ++i) {
        if (i < from) continue;
        QFile::remove(pathOf(m_files[i]));
        if (from < m_items.size()) {
            beginRemoveRows({}, from, from);
            m_items.removeAt(from);
            m_keys.removeAt(from);
            endRemoveRows();
        }
    }
    refreshFiles();
    if (from == 0) {
        m_cancelFileNumber = 0;
        m_cancelPosition = -1;
        setButtons(false, false);
    } else if (m_cancelPosition >= m_items.size()) {
        m_cancelPosition = qint16(m_items.size() - 1);
    }
}

void UndoJournal::chargeCancel(int p) {
    refreshFiles();
    if (p < 0 || p >= m_files.size()) return;
    const QString key = p < m_keys.size() ? m_keys[p] : noKey();
    m_host.loadTreeFile(pathOf(m_files[p]), key == noKey() ? QString() : key);
    if (key != noKey() && m_host.nodeExists(key)) m_host.showNode(key);
    m_host.setBoolSave(false);
}

void UndoJournal::goTo(int p) {
    if (p == m_cancelPosition || p < 0 || p >= m_items.size()) return;
    writePendingStep();
    m_cancelPosition = qint16(p);
    chargeCancel(p);
    setButtons(p != 0, p != m_files.size() - 1);
}

void UndoJournal::undo() {
    goTo(m_cancelPosition - 1);
    emit currentItemChanged(m_cancelPosition);
}

void UndoJournal::redo() {
    goTo(m_cancelPosition + 1);
    emit currentItemChanged(m_cancelPosition);
}

// Compiled here rather than with the library's other meta-objects, so that using the journal links only it.
#include "moc_undo_journal.cpp"
