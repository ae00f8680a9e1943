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

constexpr int kColumnCount = 4; // row number, first number, last number, application
const QColor kGreyed(224, 224, 224);

QString label(const AppContext& ctx, const char* key) {
    return ctx.getLabel(QString::fromLatin1(key));
}

// The file dialogs' filter: the caption and the server tools' upper-case extension, plus the lower-case
// one for file systems that tell them apart.
QString csvFilter(const AppContext& ctx) {
    return label(ctx, "Ficcsv") + QStringLiteral(" (*.CSV *.csv)");
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

FrmVoies::FrmVoies(AppContext& ctx, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_prompts(prompts), m_lines(ctx) {
    setObjectName(QStringLiteral("frmVoies"));
    QString title = label(ctx, "MenuVoie");
    title.remove(QStringLiteral("..."));
    setWindowTitle(title + QStringLiteral(" - ") + ctx.HADDR);
    m_greyedReason = ctx.translation.getLabel(QLatin1String(kLinesSection), QLatin1String("GriseAutre"));
    buildControls();
    layoutControls();
    enableButtons(false); // nothing to write or export before a read
}

bool FrmVoies::ResetVoies(AppContext& ctx) {
    Lines500 records(ctx);
    return records.ResetVoies();
}

void FrmVoies::buildControls() {
    Grille = new QTableWidget(1, kColumnCount, this);
    Grille->setObjectName(QStringLiteral("Grille"));
    Grille->horizontalHeader()->hide();
    Grille->verticalHeader()->hide();
    Grille->verticalHeader()->setDefaultSectionSize(Grille->fontMetrics().height() + 6);
    // The window's own editors open over a cell; the grid never edits by itself.
    Grille->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grille->setSelectionMode(QAbstractItemView::SingleSelection);
    Grille->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grille->setColumnWidth(0, 48);
    Grille->setColumnWidth(1, 150);
    Grille->setColumnWidth(2, 150);
    Grille->horizontalHeader()->setStretchLastSection(true);
    Grille->installEventFilter(this);
    Grille->viewport()->installEventFilter(this);
    connect(Grille, &QTableWidget::cellDoubleClicked, this, &FrmVoies::openEditor);
    // An editor sits on the viewport and would stay behind while the cells scroll away.
    connect(Grille->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { closeEditors(true); });
    connect(Grille->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { closeEditors(true); });

    txtNumCall = new QLineEdit(Grille->viewport());
    txtNumCall->setObjectName(QStringLiteral("txtNumCall"));
    txtNumCall->setMaxLength(VoieT2cs::NumberSize);
    txtNumCall->hide();
    txtNumCall->installEventFilter(this);

    cboListeApp = new QComboBox(Grille->viewport());
    cboListeApp->setObjectName(QStringLiteral("cboListeApp"));
    cboListeApp->hide();
    cboListeApp->installEventFilter(this);
    connect(cboListeApp, &QComboBox::activated, this, &FrmVoies::chooseApplication);

    const auto list = [this](const char* name) {
        auto* l = new QListWidget(this);
        l->setObjectName(QString::fromLatin1(name));
        l->hide();
        return l;
    };
    lstCodesVoies = list("lstCodesVoies");
    lstLibVoies = list("lstLibVoies");
    lstDATAServeur = list("lstDATAServeur");
    lstInfosApp = list("lstInfosApp");

    picLoad = new QFrame(this);
    picLoad->setObjectName(QStringLiteral("picLoad"));
    picLoad->setFrameShape(QFrame::Box);
    picLoad->setAutoFillBackground(true);
    lblLoad = new QLabel(windowTitle().section(QStringLiteral(" - "), 0, 0), picLoad);
    lblLoad->setObjectName(QStringLiteral("lblLoad"));
    lblLoad->setAlignment(Qt::AlignCenter);
    picSock = new QProgressBar(picLoad);
    picSock->setObjectName(QStringLiteral("picSock"));
    picSock->setTextVisible(false);
    picSock->setMinimumWidth(240);
    lblProgress = new QLabel(picLoad);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setAlignment(Qt::AlignCenter);
    auto* loadBox = new QVBoxLayout(picLoad);
    loadBox->setContentsMargins(16, 12, 16, 12);
    loadBox->addWidget(lblLoad);
    loadBox->addWidget(picSock);
    loadBox->addWidget(lblProgress);
    picLoad->hide();

    picErreur = new QFrame(this);
    picErreur->setObjectName(QStringLiteral("picErreur"));
    picErreur->setFrameShape(QFrame::Box);
    picErreur->setAutoFillBackground(true);
    auto* errorIcon = new QLabel(picErreur);
    errorIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(48));
    errorIcon->setAlignment(Qt::AlignCenter);
    lblErreur = new QLabel(label(m_ctx, "ErrLectureVoies"), picErreur);
    lblErreur->setObjectName(QStringLiteral("lblErreur"));
    lblErreur->setAlignment(Qt::AlignCenter);
    lblErreur->setWordWrap(true);
    auto* error = new QVBoxLayout(picErreur);
    error->setContentsMargins(24, 16, 24, 16);
    error->addWidget(errorIcon);
    error->addWidget(lblErreur);
    picErreur->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(50); // lets the window paint before the read holds it
    connect(Timer1, &QTimer::timeout, this, &FrmVoies::loadLines);

    const auto button = [this](const char* name, const char* key) {
        auto* b = new QPushButton(label(m_ctx, key), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdImportButton = button("cmdImport", "lblImport");
    cmdExportButton = button("cmdExport", "lblExport");
    cmdOKButton = button("cmdOK", "BoutonOK");
    cmdCancelButton = button("cmdCancel", "BoutonEchap");
    connect(cmdImportButton, &QPushButton::clicked, this, &FrmVoies::cmdImport);
    connect(cmdExportButton, &QPushButton::clicked, this, &FrmVoies::cmdExport);
    connect(cmdOKButton, &QPushButton::clicked, this, &FrmVoies::cmdOK);
    connect(cmdCancelButton, &QPushButton::clicked, this, &FrmVoies::cmdCancel);

    const QStyle::StandardPixmap icons[] = {QStyle::SP_DialogOkButton, QStyle::SP_DialogCancelButton};
    for (int i = 0; i < 2; ++i) {
        auto* icon = new QToolButton(this);
        icon->setObjectName(QStringLiteral("picIcon_%1").arg(i));
        icon->setIcon(style()->standardIcon(icons[i]));
        icon->setAutoRaise(true);
        icon->setToolTip((i == 0 ? cmdOKButton : cmdCancelButton)->text());
        connect(icon, &QToolButton::clicked, this, i == 0 ? &FrmVoies::cmdOK : &FrmVoies::cmdCancel);
        picIcon[size_t(i)] = icon;
    }

    const QStringList titles = {QString(), label(m_ctx, "VoiesDeb"), label(m_ctx, "VoiesFin"),
                                label(m_ctx, "VoiesApp")};
    for (int c = 0; c < kColumnCount; ++c) {
        auto* title = new QTableWidgetItem(titles[c]);
        title->setFlags(Qt::ItemIsEnabled);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->setBackground(palette().button());
        Grille->setItem(0, c, title);
    }
    // The titles stay in view while the lines scroll: the header shows them, their row stays hidden.
    Grille->setHorizontalHeaderLabels(titles);
    Grille->horizontalHeader()->show();
    Grille->setRowHidden(0, true);
}

void FrmVoies::layoutControls() {
    // The panels share the grid's cell and show in front of it when raised.
    auto* centre = new QGridLayout;
    centre->addWidget(Grille, 0, 0);
    centre->addWidget(picLoad, 0, 0, Qt::AlignCenter);
    centre->addWidget(picErreur, 0, 0, Qt::AlignCenter);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdImportButton);
    buttons->addWidget(cmdExportButton);
    buttons->addStretch(1);
    buttons->addWidget(picIcon[0]);
    buttons->addWidget(cmdOKButton);
    buttons->addWidget(picIcon[1]);
    buttons->addWidget(cmdCancelButton);

    auto* mainLayout = new QVBoxLayout(this);
    mainLayout->addLayout(centre, 1);
    mainLayout->addLayout(buttons);
    resize(700, 460);
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
        m_prompts.question(label(m_ctx, "VoiesNonAppliquees"), windowTitle()) != Prompts::Answer::Yes)
        return;
    closeEditors(false);
    QDialog::done(result);
}

void FrmVoies::cmdExport() {
    closeEditors(true);
    const QString path =
        m_prompts.saveFileName(label(m_ctx, "Exportlst"), QStringLiteral("*.csv"), csvFilter(m_ctx));
    if (path.isEmpty()) return;
    enableButtons(false);
    const QString refus = writeLineFile(path, m_lines.exportCsvBytes(), m_ctx.translation);
    enableButtons(true);
    if (!refus.isEmpty()) m_prompts.critical(refus, windowTitle());
}

void FrmVoies::cmdImport() {
    closeEditors(true);
    const QString path =
        m_prompts.openFileName(label(m_ctx, "import"), QStringLiteral("*.csv"), csvFilter(m_ctx));
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
