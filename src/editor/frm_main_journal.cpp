// The undo journal in the main window: the visible list of steps and the undo and redo buttons.
#include "editor/frm_main.h"
#include "editor/tree_document.h"
#include "model/undo_journal.h"

#include <QAction>
#include <QListView>

void frmMain::connectJournal() {
    UndoJournal& journal = m_document.journal();
    lstCancel->setModel(&journal);
    connect(lstCancel, &QListView::clicked, this, &frmMain::lstCancel_ItemClick);
    connect(&journal, &UndoJournal::currentItemChanged, this, [this, &journal](int position) {
        const QModelIndex item = journal.index(position);
        lstCancel->setCurrentIndex(item);
        lstCancel->scrollTo(item);
    });
    connect(toolAnnuler, &QAction::triggered, this, [this] {
        if (!m_document.isVerifying()) m_document.journal().undo();
    });
    connect(toolRetablir, &QAction::triggered, this, [this] {
        if (!m_document.isVerifying()) m_document.journal().redo();
    });
}

void frmMain::lstCancel_ItemClick(const QModelIndex& index) {
    if (index.isValid() && m_document.isOpen() && !m_document.isVerifying())
        m_document.journal().goTo(index.row());
}
