#include "lines_gui/frm_voies900.h"

#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/node_icons.h"
#include "lines/line_changes.h"
#include "lines/line_csv.h"
#include "lines/line_files.h"
#include "lines/line_rules.h"
#include "lines/line_server.h"
#include "lines_gui/line_grid_model.h"
#include "platform/pacing.h"
#include "server/passerelle.h"
#include "server/server_transfers.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtEndian>

// ---- loading -----------------------------------------------------------------------------------------

void FrmVoies900::Form_Load() {
    m_names.traceNames = readTraceNames(m_ctx.translation);
    cboTrace->clear();
    for (const QString& name : m_names.traceNames)
        cboTrace->addItem(name);
    QPalette back = lstDebug->palette();
    back.setColor(QPalette::Base, palette().color(QPalette::Window));
    lstDebug->setPalette(back);
    m_folded = true;
    picF_Click(); // unfolded, with its picture and tip
    setButtonsEnabled(false);
}

void FrmVoies900::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_loaded) Timer1->start();
}

void FrmVoies900::Timer1_Timer() {
    Timer1->stop();
    if (std::exchange(m_loaded, true)) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    loadApplications();
    loadLineFiles();
    fillPlanningList();
    fillStationLists();
    QApplication::restoreOverrideCursor();
}

bool FrmVoies900::loadApplications() {
    lstInfosApp->clear();
    lstInfosAppALL->clear();
    lstInfosApp->addItem(QString());
    const bool ok = line_server::loadApplicationDirectory(m_ctx, m_names.applications);
    const auto item = [](const ApplicationEntry& a, const QString& code) {
        return QStringList{code, a.name, a.secondCode, a.fourthField}.join(QLatin1Char('|'));
    };
    for (const ApplicationEntry& a : m_names.applications.all()) {
        lstInfosAppALL->addItem(item(a, QString::number(a.code)));
        if (isAutoAttendantApplication(a.code))
            lstInfosApp->addItem(item(a, QString::number(a.code).right(5)));
    }
    return ok;
}

bool FrmVoies900::loadLineFiles() {
    lblLoad->setText(QStringLiteral("..."));
    placePanels();
    picLoad->show();
    picLoad->raise();
    m_pacing.processEvents();
    QString missing = line_server::fetchLineFiles(m_ctx, m_pacing);
    if (missing.isEmpty()) missing = readLineFiles(m_ctx.repTMP, m_names, m_stations, m_table);
    if (!missing.isEmpty()) {
        m_table.clear();
        showError();
        return false;
    }
    m_applied = lineTableBytes(m_table);
    picLoad->hide();
    m_pacing.processEvents();
    fillGrid();
    verifDebug();
    setButtonsEnabled(true);
    return true;
}

void FrmVoies900::showError() {
    picLoad->hide();
    setButtonsEnabled(false);
    // Without the server's files there is no table to add to.
    for (QWidget* w : std::initializer_list<QWidget*>{cmdAddLigne, cmdAddLigne2, Grille})
        w->setEnabled(false);
    placePanels();
    picErreur->show();
    picErreur->raise();
}

void FrmVoies900::placePanels() {
    const QRect grid = Grille->geometry();
    picLoad->setGeometry(QRect(0, 0, 160, 50).translated(grid.center() - QPoint(80, 25)));
    picErreur->setGeometry(rect().adjusted(40, 60, -40, -60));
}

void FrmVoies900::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placePanels();
}

void FrmVoies900::fillPlanningList() {
    cboPlanning->clear();
    cboPlanning->addItem(QString());
    for (int k = 0; k < PlanningTable::kCount; ++k)
        cboPlanning->addItem(m_names.plannings.name(k));
}

void FrmVoies900::fillStationLists() {
    for (QTreeWidget* list : {lstPostes, lstPostesAPP})
        list->clear();
    const auto add = [](QTreeWidget* list, const QString& text, const QString& name, const QString& kind,
                        const QString& tag) {
        auto* item = new QTreeWidgetItem(list, QStringList{text, name, kind});
        item->setData(0, Qt::UserRole, tag);
    };
    for (const ApplicationEntry& a : m_names.applications.choosable())
        add(lstPostesAPP, QString::number(a.code).right(5), a.name, QString(), QStringLiteral("APP"));
    for (const StationEntry& s : m_stations)
        for (QTreeWidget* list : {lstPostesAPP, lstPostes})
            add(list, s.number, s.name, QString::number(s.kind), QStringLiteral("POSTE"));
}

void FrmVoies900::fillGrid() {
    Grille->setUpdatesEnabled(false);
    prepareGrid(m_table);
    const int count = m_table.lineCount();
    gridModel->setHighlightedLine(0);
    gridModel->beginFill(count);
    const int barWidth = qMax(0, picProgress->width() - 2);
    int shownWidth = -1;
    for (int i = 1; i <= count; ++i) {
        // The bar only moves when its width in pixels does.
        const int width = int(qint64(barWidth) * i / count);
        if (width != shownWidth) {
            shownWidth = width;
            lblProgress->resize(width, lblProgress->height());
        }
        if (picProgress->isHidden()) {
            picProgress->show();
            picProgress->raise();
        }
        m_pacing.processEvents();
        gridModel->setRow(i, gridRow(m_table, m_names, i));
    }
    gridModel->endFill();
    picProgress->hide();
    picLoad->hide();
    Grille->setUpdatesEnabled(true);
}

// ---- saving and the buttons --------------------------------------------------------------------------

bool FrmVoies900::saveLineTable() {
    QString error;
    if (line_server::saveLineTable(m_ctx, m_table, &error)) {
        m_applied = lineTableBytes(m_table);
        return true;
    }
    // The lines stay in the window, to be applied again once the server answers.
    m_prompts.critical(error, windowTitle());
    return false;
}

void FrmVoies900::setButtonsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{cmdOK, cmdAppliquer, cmdExport, cmdImport, picIcon[0]})
        w->setEnabled(enabled);
}

void FrmVoies900::cmdAppliquer_Click() {
    if (cmdAppliquer->isEnabled() && apply()) m_prompts.information(label("VoiesAppliquees"), windowTitle());
}

bool FrmVoies900::apply() {
    commitEditors();
    m_pacing.processEvents();
    for (QWidget* w : std::initializer_list<QWidget*>{cmdOK, cmdAppliquer, cmdCancel})
        w->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = saveLineTable();
    QApplication::restoreOverrideCursor();
    for (QWidget* w : std::initializer_list<QWidget*>{cmdOK, cmdAppliquer, cmdCancel})
        w->setEnabled(true);
    return saved;
}

void FrmVoies900::cmdOK_Click() {
    if (cmdOK->isEnabled() && apply()) accept();
}

void FrmVoies900::cmdCancel_Click() {
    reject();
}

bool FrmVoies900::hasUnappliedEdits() const {
    return m_loaded && !m_applied.isNull() && lineTableBytes(m_table) != m_applied;
}

void FrmVoies900::done(int result) {
    // Cancel, the title bar's close: an entry still in its editor counts as an edit.
    if (result == QDialog::Rejected) commitEditors();
    if (result == QDialog::Rejected && hasUnappliedEdits() &&
        m_prompts.question(label("VoiesNonAppliquees"), windowTitle()) != Prompts::Answer::Yes)
        return;
    hideEditors();
    QDialog::done(result);
    if (m_formToRestore) m_formToRestore->show();
}

void FrmVoies900::keyPressEvent(QKeyEvent* event) {
    // Esc closes an editor, never the window: the lines would be lost without a word.
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

void FrmVoies900::runBusy(const std::function<void()>& work) {
    setButtonsEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    work();
    QApplication::restoreOverrideCursor();
    setButtonsEnabled(true);
}

void FrmVoies900::cmdExport_Click() {
    const QString path =
        m_prompts.saveFileName(cmdExport->text(), QStringLiteral("*.csv"),
                               sectionLabel("FrmListBV", "Ficcsv") + QStringLiteral(" (*.CSV)"));
    if (path.isEmpty()) return;
    runBusy([&] {
        QString error;
        if (!exportCsv(m_table, path, m_ctx.translation, &error)) m_prompts.critical(error, windowTitle());
    });
}

void FrmVoies900::cmdImport_Click() {
    const QString path = m_prompts.openFileName(cmdImport->text(), QStringLiteral("*.csv"),
                                                label("Ficcsv") + QStringLiteral(" (*.CSV)"));
    if (path.isEmpty() || !QFile::exists(path)) return;
    runBusy([&] {
        commitEditors();
        LineTable imported = m_table;
        QString error;
        CsvReport report;
        if (!importCsv(imported, m_names, path, m_ctx.translation, &error, &report)) {
            if (!error.isEmpty()) m_prompts.critical(error, windowTitle());
            return;
        }
        // What the file would change, before it changes anything.
        QString changes = lineChangesText(compareLineTables(m_table, imported), m_ctx.translation);
        if (const QString skipped = csvSkippedText(report, m_ctx.translation); !skipped.isEmpty())
            changes += QLatin1Char('\n') + skipped;
        const QString question = sectionLabel(kLinesSection, "ImportQuestion");
        if (m_prompts.questionWithDetails(question, windowTitle(), changes, QString()) !=
            Prompts::Answer::Yes)
            return;
        hideEditors();
        m_table = std::move(imported);
        fillGrid();
        verifDebug();
    });
}

void FrmVoies900::cmdAddLigne_Click() {
    if (gridModel->rowCount() + 1 > lineCapacity) return;
    const int line = addLigne(m_table);
    if (line == 0) return;
    gridModel->appendRow();
    gridModel->updateRow(line, gridRow(m_table, m_names, line));
    const QModelIndex cell = gridModel->index(line - 1, 1);
    Grille->setCurrentIndex(cell);
    Grille->scrollTo(cell, QAbstractItemView::PositionAtTop);
}
