// The editing side of the line window: in-cell editors, the station picker, the grid's keys and pop-up
// menu, and the diagnostics list re-checked after every change.
#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "editor/node_icons.h"
#include "lines/line_rules.h"
#include "lines_gui/frm_voies900.h"
#include "lines_gui/line_grid_model.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// A COLORREF holds red in its low byte.
QColor fromColorRef(quint32 colorRef) {
    return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

} // namespace

void FrmVoies900::buildEditors() {
    QWidget* cells = Grille->viewport();
    txtNumCall = new QLineEdit(cells);
    txtNumCall->setObjectName(QStringLiteral("txtNumCall"));
    txtNumCall->hide();
    txtNumCall->installEventFilter(this);
    cmdPostes = new QToolButton(cells);
    cmdPostes->setObjectName(QStringLiteral("cmdPostes"));
    cmdPostes->setText(QStringLiteral("..."));
    cmdPostes->hide();
    connect(cmdPostes, &QToolButton::clicked, this, &FrmVoies900::openPicker);

    cboPlanning = new QComboBox(cells);
    cboPlanning->setObjectName(QStringLiteral("cboPlanning"));
    cboTrace = new QComboBox(cells);
    cboTrace->setObjectName(QStringLiteral("cboTrace"));
    for (QComboBox* combo : {cboPlanning, cboTrace}) {
        combo->hide();
        combo->installEventFilter(this);
        connect(combo, &QComboBox::activated, this, [this, combo] { comboChosen(combo); });
    }

    picPostes = new QFrame(this);
    picPostes->setObjectName(QStringLiteral("picPostes"));
    picPostes->setFrameShape(QFrame::Box);
    picPostes->setAutoFillBackground(true);
    picPostes->hide();
    auto* pickerLayout = new QVBoxLayout(picPostes);
    pickerLayout->setContentsMargins(1, 1, 1, 1);
    for (QTreeWidget** list : {&lstPostes, &lstPostesAPP}) {
        *list = new QTreeWidget(picPostes);
        (*list)->setObjectName(list == &lstPostes ? QStringLiteral("lstPostes")
                                                  : QStringLiteral("lstPostesAPP"));
        (*list)->setColumnCount(3);
        (*list)->setHeaderHidden(true);
        (*list)->setRootIsDecorated(false);
        // The name column is 4000 twips wide; the kind stays hidden.
        (*list)->setColumnWidth(0, 80);
        (*list)->setColumnWidth(1, 267);
        (*list)->setColumnHidden(2, true);
        (*list)->hide();
        (*list)->installEventFilter(this);
        connect(*list, &QTreeWidget::itemDoubleClicked, this, &FrmVoies900::pickerChosen);
        pickerLayout->addWidget(*list);
    }
}

// ---- editors ------------------------------------------------------------------------------------------

bool FrmVoies900::editorOpen() const {
    return txtNumCall->isVisible() || cboPlanning->isVisible() || cboTrace->isVisible();
}

void FrmVoies900::hideEditors() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{txtNumCall, cboPlanning, cboTrace, picPostes, cmdPostes})
        w->hide();
}

void FrmVoies900::placeEditor(QWidget* editor, int row, int column, int extraWidth) {
    const QRect cell = Grille->visualRect(gridModel->index(row - 1, column));
    // 15 twips narrower than the column, so the grid line beside it stays visible.
    editor->setGeometry(cell.x(), cell.y(), qMax(8, cell.width() - 1 - extraWidth), cell.height());
}

void FrmVoies900::openCellEditor() {
    const QModelIndex current = Grille->currentIndex();
    m_editRow = current.isValid() ? current.row() + 1 : 0;
    m_editColumn = current.isValid() ? current.column() : 0;
    hideEditors();
    if (m_editRow == 0 || m_editColumn < 1 || m_editColumn > 9 || gridModel->isGreyed(m_editRow)) return;
    Grille->scrollTo(current);
    if (isListColumn(m_editColumn)) {
        const LineRecord& r = m_table.line(m_editRow);
        QComboBox* combo = m_editColumn == 4 ? cboPlanning : cboTrace;
        placeEditor(combo, m_editRow, m_editColumn, 0);
        combo->setCurrentIndex(m_editColumn == 4 ? r.planing : r.trace);
        combo->show();
        combo->setFocus();
        return;
    }
    const bool withPicker = m_editColumn == 6 || m_editColumn == 7;
    placeEditor(txtNumCall, m_editRow, m_editColumn, withPicker ? 22 : 0);
    if (withPicker) {
        const QRect editor = txtNumCall->geometry();
        cmdPostes->setGeometry(editor.right() + 1, editor.y(), 22, editor.height());
        cmdPostes->show();
    }
    txtNumCall->setProperty("tag", columnTag(m_editColumn));
    txtNumCall->setText(current.data().toString());
    txtNumCall->show();
    txtNumCall->setFocus();
    txtNumCall->selectAll();
}

void FrmVoies900::txtNumCall_Enter() {
    if (enterCellText(m_table, m_names, m_editRow, m_editColumn, txtNumCall->text()))
        gridModel->updateRow(m_editRow, gridRow(m_table, m_names, m_editRow));
    verifDebug();
    closeEditor(txtNumCall);
}

void FrmVoies900::txtNumCall_Escape() {
    closeEditor(txtNumCall);
}

void FrmVoies900::closeEditor(QWidget* editor) {
    // The grid takes the focus before the editor goes: a focused editor that hides hands the focus on as
    // Tab would, and the grid's current cell would move one column.
    Grille->setFocus();
    picPostes->hide();
    cmdPostes->hide();
    editor->hide();
}

void FrmVoies900::comboChosen(QComboBox* combo) {
    const int index = combo->currentIndex();
    const bool changed = combo == cboPlanning ? choosePlanning(m_table, m_names, m_editRow, index)
                                              : chooseTrace(m_table, m_editRow, index);
    if (changed) gridModel->updateRow(m_editRow, gridRow(m_table, m_names, m_editRow));
    closeEditor(combo);
    verifDebug();
}

void FrmVoies900::comboEscape(QComboBox* combo) {
    closeEditor(combo);
}

void FrmVoies900::commitEditors() {
    if (txtNumCall->isVisible()) txtNumCall_Enter();
    for (QComboBox* combo : {cboPlanning, cboTrace})
        if (combo->isVisible()) comboChosen(combo);
    picPostes->hide();
}

// ---- station picker -------------------------------------------------------------------------------------

void FrmVoies900::openPicker() {
    if (!txtNumCall->isVisible() || txtNumCall->property("tag").toString() != QLatin1String("POSTE_APP"))
        return;
    QTreeWidget* list = lstPostesAPP;
    if (list->topLevelItemCount() == 0) return;
    QTreeWidgetItem* chosen = list->topLevelItem(0);
    const QList<QTreeWidgetItem*> same = list->findItems(txtNumCall->text(), Qt::MatchExactly, 0);
    if (!same.isEmpty()) chosen = same.first();
    list->setCurrentItem(chosen);
    list->scrollToItem(chosen);
    // Below the editor, or above it when the window ends first.
    const QRect editor(txtNumCall->mapTo(this, QPoint(0, 0)), txtNumCall->size());
    // As tall as its items, up to ten of them.
    const int rowHeight = qMax(16, list->sizeHintForRow(0));
    const QSize size(380, qMin(list->topLevelItemCount(), 10) * rowHeight + 2 * list->frameWidth() + 4);
    int top = editor.bottom() + 1;
    if (top + size.height() > height()) top = qMax(0, editor.top() - size.height());
    const int left = qBound(0, editor.left(), qMax(0, width() - size.width()));
    picPostes->setGeometry(QRect(QPoint(left, top), size));
    lstPostes->hide();
    list->show();
    picPostes->show();
    picPostes->raise();
    list->setFocus();
}

void FrmVoies900::pickerChosen() {
    QTreeWidgetItem* item = lstPostesAPP->currentItem();
    if (!item) return;
    const bool application = item->data(0, Qt::UserRole).toString() == QLatin1String("APP");
    txtNumCall->setText(item->text(application ? 1 : 0));
    picPostes->hide();
    txtNumCall->setFocus();
}

// ---- grid keys and pop-up -----------------------------------------------------------------------------

void FrmVoies900::gridDelete() {
    const QModelIndex current = Grille->currentIndex();
    if (!current.isValid()) return;
    const int row = current.row() + 1;
    if (clearCell(m_table, row, current.column())) {
        gridModel->updateRow(row, gridRow(m_table, m_names, row));
        verifDebug();
    }
}

void FrmVoies900::gridRightPress(const QPoint& pos) {
    const QModelIndex at = Grille->indexAt(pos);
    if (!at.isValid() || at.column() != 0) return;
    commitEditors();
    m_popupRow = at.row() + 1;
    Grille->setCurrentIndex(gridModel->index(at.row(), 1));
    mnuDel->setEnabled(!gridModel->isGreyed(m_popupRow));
    mnuInsert->setEnabled(gridModel->rowCount() + 1 <= lineCapacity);
    m_showMenu(*frmVoies900Menu, Grille->viewport()->mapToGlobal(pos));
}

void FrmVoies900::deleteLigne(int row) {
    if (!::deleteLigne(m_table, row)) return;
    fillGrid();
    verifDebug();
}

void FrmVoies900::insertLigne(int row) {
    if (!::insertLigne(m_table, row)) return;
    fillGrid();
    verifDebug();
}

bool FrmVoies900::eventFilter(QObject* watched, QEvent* event) {
    if (const std::function<void()> handler = handlerFor(watched, event)) {
        handler();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

std::function<void()> FrmVoies900::handlerFor(QObject* watched, QEvent* event) {
    const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    const bool enter = key && isEnter(key);
    const bool escape = key && key->key() == Qt::Key_Escape;
    if (watched == txtNumCall) {
        if (enter) return [this] { txtNumCall_Enter(); };
        if (escape) return [this] { txtNumCall_Escape(); };
        if (event->type() == QEvent::MouseButtonDblClick) return [this] { openPicker(); };
    } else if (watched == cboPlanning || watched == cboTrace) {
        if (escape) return [this, watched] { comboEscape(static_cast<QComboBox*>(watched)); };
    } else if (watched == lstPostesAPP || watched == lstPostes) {
        if (enter) return [this] { pickerChosen(); };
        if (escape)
            return [this] {
                picPostes->hide();
                txtNumCall->setFocus();
            };
    } else if (watched == Grille) {
        if (enter) return [this] { openCellEditor(); };
        if (key && key->key() == Qt::Key_Delete) return [this] { gridDelete(); };
    } else if (watched == Grille->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::RightButton) return [this, at] { gridRightPress(at); };
        // A click elsewhere in the grid keeps what the open editor holds; the click then goes on.
        if (mouse->button() == Qt::LeftButton && editorOpen()) commitEditors();
    }
    return {};
}

// ---- diagnostics ------------------------------------------------------------------------------------------

void FrmVoies900::AjouteInfo(const QString& text, short severity, const QString& tag) {
    struct Look {
        const char* icon;
        quint32 colour;
    };
    const Look look = severity == DiagnosticsSink::Warning ? Look{"Warning", 0x5FCC}
                      : severity == DiagnosticsSink::Error ? Look{"Erreur", 0xAD}
                      : severity == DiagnosticsSink::Ok    ? Look{"Ok", 0x611B}
                                                           : Look{"Info", 0};
    auto* item = new QListWidgetItem(m_icons->icon(QLatin1String(look.icon)), text, lstDebug);
    item->setForeground(fromColorRef(look.colour));
    item->setData(Qt::UserRole, tag);
    item->setData(Qt::UserRole + 1, QLatin1String(look.icon));
    lstDebug->scrollToItem(item);
}

void FrmVoies900::verifDebug() {
    gridModel->setHighlightedLine(0);
    lstDebug->clear();
    for (const LineFinding& finding : ::verifDebug(m_table, m_ctx.translation))
        AjouteInfo(finding.text, finding.level, QString::number(finding.line));
}

void FrmVoies900::lstDebug_ItemClick(int index) {
    const QListWidgetItem* item = lstDebug->item(index);
    const int line = item ? item->data(Qt::UserRole).toString().toInt() : 0;
    if (line < 1 || line > gridModel->rowCount()) return;
    showLine(line);
    if (m_folded) picF_Click();
}

void FrmVoies900::showLine(int line) {
    const QModelIndex cell = gridModel->index(line - 1, 1);
    Grille->scrollTo(cell, QAbstractItemView::PositionAtTop);
    Grille->setCurrentIndex(cell);
    gridModel->setHighlightedLine(line);
}

void FrmVoies900::picF_Click() {
    m_folded = !m_folded;
    lstDebug->setVisible(!m_folded);
    picF->setIcon(m_folded ? m_icons->toggleUp() : m_icons->toggleDown());
    picF->setToolTip(sectionLabel(kLinesSection, m_folded ? "MsgH" : "MsgB"));
}
