#include "lines_gui/frm_voies.h"

#include "core/app_context.h"
#include "core/prompts.h"
#include "core/translation.h"
#include "lines/line_files.h"
#include "lines/line_table.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor kGreyed(224, 224, 224);

QString labelOf(const AppContext& ctx, const char* key) {
    return ctx.getLabel(QString::fromLatin1(key));
}

// The file dialogs' filter: the caption and the server tools' upper-case extension, plus the lower-case
// one for file systems that tell them apart.
QString csvFilter(const AppContext& ctx) {
    return labelOf(ctx, "Ficcsv") + QStringLiteral(" (*.CSV *.csv)");
}

bool isValidation(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// What an import would change, and the file's lines it leaves out.
QString importPreview(const Import500& import, const Translation& tr, int records) {
    QString text = lineChangesText(import.changes, tr);
    const QString skippedText = csvSkippedText(import.report, tr, kCsvFields500, records);
    return skippedText.isEmpty() ? text : text + QLatin1Char('\n') + skippedText;
}

} // namespace

QString FrmVoies::label(const char* key) const {
    return labelOf(m_ctx, key);
}

bool FrmVoies::ResetVoies(AppContext& ctx) {
    Lines500 records(ctx);
    return records.ResetVoies();
}

void FrmVoies::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_firstShow && !event->spontaneous()) {
        m_firstShow = false;
        Timer1->start();
    }
}

void FrmVoies::loadLines() {
    Timer1->stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    closeEditors(false);
    picErreur->hide();
    picSock->setValue(0);
    lblProgress->clear();
    picLoad->show();
    picLoad->raise();
    m_pacing->processEvents();
    const bool readOk = m_lines.read([this](int read, int total) {
        picSock->setRange(0, total);
        picSock->setValue(read);
        lblProgress->setText(QStringLiteral("%1 / %2").arg(read).arg(total));
        m_pacing->processEvents();
    });
    // A table that cannot be read whole leaves the application choice shorter, not the window unusable.
    if (readOk) m_lines.loadChoosableApplications();
    fillApplicationLists();
    fillGrid();
    picLoad->hide();
    QApplication::restoreOverrideCursor();
    if (readOk)
        enableButtons(true);
    else
        showLoadError();
}

void FrmVoies::fillApplicationLists() {
    lstInfosApp->clear();
    cboListeApp->clear();
    cboListeApp->addItem(QString()); // clears the row's application
    for (const ApplicationItem& app : m_lines.choices()) {
        lstInfosApp->addItem(app.item());
        cboListeApp->addItem(Lines500::choiceItem(app));
    }
}

void FrmVoies::fillGrid() {
    const QList<LineRow500>& rows = m_lines.rows();
    Grille->setRowCount(int(rows.size()) + 1);
    lstCodesVoies->clear();
    lstLibVoies->clear();
    lstDATAServeur->clear();
    QStringList seen;
    for (int k = 0; k < rows.size(); ++k) {
        lstCodesVoies->addItem(QString());
        lstLibVoies->addItem(QString());
        showRow(k);
        const QString& code = rows[k].code;
        if (!code.isEmpty() && !seen.contains(code)) {
            seen << code;
            lstDATAServeur->addItem(code + QLatin1Char('|') + rows[k].name);
        }
    }
}

void FrmVoies::showRow(int line) {
    const LineRow500& l = m_lines.rows().at(line);
    const int row = line + 1;
    const QString texts[kColumnCount] = {QString::number(row), l.first, l.last, l.applicationText()};
    for (int c = 0; c < kColumnCount; ++c) {
        QTableWidgetItem* item = Grille->item(row, c);
        if (!item) {
            item = new QTableWidgetItem;
            Grille->setItem(row, c, item); // the grid owns it
        }
        item->setText(texts[c]);
        // A greyed row says why it does not take edits.
        item->setToolTip(!l.greyed            ? QString()
                         : texts[c].isEmpty() ? m_greyedReason
                                              : texts[c] + QLatin1Char('\n') + m_greyedReason);
        item->setFlags(c == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (l.greyed)
            item->setBackground(kGreyed);
        else
            item->setBackground(c == 0 ? palette().button() : QBrush());
    }
    lstCodesVoies->item(line)->setText(l.code);
    lstLibVoies->item(line)->setText(l.name);
}

void FrmVoies::showLoadError() {
    enableButtons(false);
    picErreur->show();
    picErreur->raise();
}

void FrmVoies::enableButtons(bool enabled) {
    cmdOKButton->setEnabled(enabled);
    picIcon[0]->setEnabled(enabled);
    cmdExportButton->setEnabled(enabled);
    cmdImportButton->setEnabled(enabled);
}

bool FrmVoies::isRowEditable(int row) const {
    const QList<LineRow500>& rows = m_lines.rows();
    return row >= 1 && row <= rows.size() && !rows[row - 1].greyed;
}

void FrmVoies::openEditor(int row, int column) {
    closeEditors(true);
    if (!isRowEditable(row) || column < 1 || column >= kColumnCount) return;
    m_editRow = row;
    m_editColumn = column;
    const QRect cell = Grille->visualRect(Grille->model()->index(row, column));
    if (column == 3) {
        const QString code = m_lines.rows()[row - 1].code;
        const QList<ApplicationItem>& choice = m_lines.choices();
        int position = 0;
        for (int i = 0; i < choice.size() && !code.isEmpty(); ++i)
            if (codeValue(choice[i].code) == codeValue(code)) position = i + 1;
        cboListeApp->setCurrentIndex(position);
        cboListeApp->setGeometry(cell.x(), cell.y(), cell.width(),
                                 qMax(cell.height(), cboListeApp->sizeHint().height()));
        cboListeApp->show();
        cboListeApp->setFocus();
    } else {
        txtNumCall->setText(Grille->item(row, column)->text());
        txtNumCall->setGeometry(cell);
        txtNumCall->show();
        txtNumCall->setFocus();
        txtNumCall->selectAll();
    }
}

void FrmVoies::acceptNumber() {
    const int line = m_editRow - 1;
    // A refused text is dropped: the cell keeps its number.
    m_lines.setNumber(line, m_editColumn, txtNumCall->text());
    closeEditors(false);
    showRow(line);
}

void FrmVoies::chooseApplication(int index) {
    if (m_editRow < 1) return;
    const int line = m_editRow - 1;
    const QList<ApplicationItem>& choice = m_lines.choices();
    m_lines.setApplication(line, index >= 1 && index <= choice.size() ? &choice[index - 1] : nullptr);
    closeEditors(false);
    showRow(line);
}

void FrmVoies::closeEditors(bool commit) {
    if (m_editRow < 1) return;
    if (commit) {
        // Each commit comes back here without validation once the row is updated.
        if (txtNumCall->isVisible()) return acceptNumber();
        if (cboListeApp->isVisible()) return chooseApplication(cboListeApp->currentIndex());
    }
    const bool hadFocus = txtNumCall->hasFocus() || cboListeApp->hasFocus();
    m_editRow = m_editColumn = -1;
    // The grid takes the focus before the editor goes: a focused editor that hides hands the focus on as
    // Tab would, and the grid's current cell would move one column.
    if (hadFocus) Grille->setFocus();
    txtNumCall->hide();
    cboListeApp->hide();
}

void FrmVoies::clearCurrentCell() {
    const int row = Grille->currentRow();
    const int column = Grille->currentColumn();
    if (row < 1 || column < 1) return;
    if (m_lines.clear(row - 1, column)) showRow(row - 1);
}

bool FrmVoies::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched == Grille->viewport()) {
        closeEditors(true); // and the click goes on to the grid
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter and Esc belong to the grid and its editors, not to the dialog's buttons.
    if (watched == Grille) {
        if (isValidation(key)) {
            openEditor(Grille->currentRow(), Grille->currentColumn());
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            clearCurrentCell();
            return true;
        }
    } else if (watched == txtNumCall || watched == cboListeApp) {
        if (isValidation(key)) {
            closeEditors(true);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            closeEditors(false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmVoies::cmdOK() {
    closeEditors(true);
    if (!m_lines.isRead()) return;
    cmdOKButton->setEnabled(false);
    cmdCancelButton->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString refus = m_lines.write();
    QApplication::restoreOverrideCursor();
    cmdCancelButton->setEnabled(true);
    cmdOKButton->setEnabled(true);
    if (!refus.isEmpty()) {
        // The window stays open on the edits: OK again, or Export to keep them in a file.
        m_prompts.critical(refus, windowTitle());
        return;
    }
    accept();
}

void FrmVoies::cmdCancel() {
    closeEditors(false);
    reject();
}

void FrmVoies::keyPressEvent(QKeyEvent* event) {
    // Esc closes an editor, never the window: the edits would go without a word.
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

void FrmVoies::done(int result) {
    if (result == QDialog::Rejected) closeEditors(true);
    if (result == QDialog::Rejected && m_lines.isModified() &&
        m_prompts.question(label("VoiesNonAppliquees"), windowTitle()) != Prompts::Answer::Yes)
        return;
    closeEditors(false);
    QDialog::done(result);
}

void FrmVoies::cmdExport() {
    closeEditors(true);
    const QString path =
        m_prompts.saveFileName(label("Exportlst"), QStringLiteral("*.csv"), csvFilter(m_ctx));
    if (path.isEmpty()) return;
    enableButtons(false);
    const QString refus = writeLineFile(path, m_lines.exportCsvBytes(), m_ctx.translation);
    enableButtons(true);
    if (!refus.isEmpty()) m_prompts.critical(refus, windowTitle());
}

void FrmVoies::cmdImport() {
    closeEditors(true);
    const QString path = m_prompts.openFileName(label("import"), QStringLiteral("*.csv"), csvFilter(m_ctx));
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompts.critical(lineFileError(m_ctx.translation, "ErrFichierIllisible", path) + QLatin1Char('\n') +
                               file.errorString(),
                           windowTitle());
        return;
    }
    const Import500 import = m_lines.previewCsv(file.readAll());
    const Translation& tr = m_ctx.translation;
    if (import.report.refused)
        return m_prompts.critical(csvRefusalText(import.report, path, tr, kCsvFields500), windowTitle());
    const QString question = tr.getLabel(QLatin1String(kLinesSection), QLatin1String("ImportQuestion"));
    // What the file would change, before it changes anything.
    if (m_prompts.questionWithDetails(question, windowTitle(), importPreview(import, tr, m_lines.lineCount()),
                                      QString()) != Prompts::Answer::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_lines.applyImport(import);
    fillGrid();
    QApplication::restoreOverrideCursor();
}
