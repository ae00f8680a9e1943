// The undo journal in the main window: the visible list of steps, the undo and redo buttons, and the
// journals other editors left behind.
#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "editor/tree_document.h"
#include "model/undo_journal.h"
#include "startup/qt_catalog.h"
#include "startup/session_folder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

void frmMain::connectJournal() {
    UndoJournal& journal = m_document.journal();
    qApp->installEventFilter(this);
    ui->lstCancel->setModel(&journal);
    connect(ui->lstCancel, &QListView::clicked, this, &frmMain::lstCancel_ItemClick);
    connect(&journal, &UndoJournal::currentItemChanged, this, [this, &journal](int position) {
        const QModelIndex item = journal.index(position);
        ui->lstCancel->setCurrentIndex(item);
        ui->lstCancel->scrollTo(item);
    });
    connect(ui->toolAnnuler, &QAction::triggered, this, [this] {
        if (!m_document.isVerifying()) m_document.journal().undo();
    });
    connect(ui->toolRetablir, &QAction::triggered, this, [this] {
        if (!m_document.isVerifying()) m_document.journal().redo();
    });
}

void frmMain::lstCancel_ItemClick(const QModelIndex& index) {
    if (index.isValid() && m_document.isOpen() && !m_document.isVerifying())
        m_document.journal().goTo(index.row());
}

// Typing in a field folds into the current journal step, which is written once typing pauses. Any other
// press, a click or a key outside a text field, may change the tree: the waiting step is written first,
// so that it holds the state before that change.
bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
        (type == QEvent::KeyPress && !qobject_cast<QLineEdit*>(watched)))
        m_document.writePendingStep();
    return QMainWindow::eventFilter(watched, event);
}

// ---- journals left by editors that ended without saving ---------------------------------------------

namespace {

// "Unsaved changes to <file or server> from <date> were found:", the date in the captions' language.
QString recoveryQuestion(const AppContext& ctx, const LeftOverJournal& journal) {
    const JournalOwner& owner = journal.owner;
    const QString name = !owner.server.isEmpty() ? owner.server
                         : owner.file.isEmpty()  ? ctx.getLabel(QStringLiteral("TitreNew"))
                                                 : QDir::toNativeSeparators(owner.file);
    const QLocale locale(languageOfTranslation(ctx.translation));
    return ctx.getLabel(QStringLiteral("MsgJournalTrouve"))
        .replace(QStringLiteral("$FICHIER$"), name)
        .replace(QStringLiteral("$DATE$"), locale.toString(journal.written, QLocale::ShortFormat));
}

} // namespace

void frmMain::offerLeftOverJournals() {
    if (!m_ctx.session) return;
    enum Choice { Restore, Later, Delete };
    const QStringList buttons = {label("BtnRestaurer"), label("BtnPlusTard"), label("BtnSupprimer")};
    QList<LeftOverJournal>& journals = m_ctx.session->leftOvers();
    while (!journals.isEmpty()) {
        LeftOverJournal journal = journals.takeFirst();
        // One restored tree at a time: the others wait for the next start, as do other servers' journals.
        if (!journal.offeredTo(m_ctx) || m_document.isModified()) {
            journal.keep();
            continue;
        }
        switch (m_prompts.choose(recoveryQuestion(m_ctx, journal), label("Titre"), buttons, Restore, Later)) {
        case Restore:
            m_document.restoreJournal(journal.lastStep, journal.owner.server.isEmpty() ? journal.owner.file
                                                                                       : m_ctx.fileServeur);
            treeV_NodeClick(QStringLiteral("A1"));
            journal.remove();
            break;
        case Delete:
            journal.remove();
            break;
        default:
            journal.keep();
            break;
        }
    }
}
