// The undo journal in the main window: the visible list of steps and the undo and redo buttons.
#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "editor/tree_document.h"
#include "model/undo_journal.h"

#include <QAction>
#include <QApplication>
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
