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

namespace {

// Row height of the grid: 315 twips.
constexpr int kRowHeight = 21;
// Widths of the grid's columns 0 to 9, wide enough for their titles and usual contents; the label
// (column 8) takes what is left, so the nine columns fit the window without scrolling sideways.
constexpr std::array<int, 10> kColumnWidths = {40, 108, 108, 56, 96, 36, 190, 190, 200, 96};
constexpr int kLabelColumn = 8;
constexpr int kDebugHeight = 110;
// The request that makes the server take the new line file into account.

// A plus sign on a transparent square: the add-line buttons.
QIcon plusIcon(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(colour, 2.5));
    p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
    p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
    return QIcon(pixmap);
}

QFrame* panel(QWidget* parent, const QString& name) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    frame->hide();
    return frame;
}

} // namespace

FrmVoies900::FrmVoies900(AppContext& ctx, Prompts& prompts, platform::Pacing& pacing, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_prompts(prompts), m_pacing(pacing),
      m_icons(std::make_unique<NodeIcons>()) {
    setObjectName(QStringLiteral("frmVoies900"));
    setWindowTitle(sectionLabel(kLinesSection, "Titre"));
    m_showMenu = [](QMenu& menu, const QPoint& at) { menu.exec(at); };
    buildControls();
    buildEditors();
    layoutControls();
    Form_Load();
    // Wide enough for every column, so the number column never scrolls out of view.
    int columns = 0;
    for (int width : kColumnWidths)
        columns += width;
    setMinimumWidth(columns + 60);
    resize(1180, 680);
}

FrmVoies900::~FrmVoies900() = default;

QString FrmVoies900::label(const char* key) const {
    return m_ctx.translation.getLabel(QLatin1String(key));
}

QString FrmVoies900::sectionLabel(const char* section, const char* key) const {
    return m_ctx.translation.getLabel(QLatin1String(section), QLatin1String(key));
}

void FrmVoies900::buildControls() {
    gridModel = new LineGridModel(this);
    Grille = new QTableView(this);
    Grille->setObjectName(QStringLiteral("Grille"));
    Grille->setModel(gridModel);
    Grille->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grille->setSelectionMode(QAbstractItemView::SingleSelection);
    Grille->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grille->verticalHeader()->hide();
    Grille->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grille->verticalHeader()->setDefaultSectionSize(kRowHeight);
    Grille->horizontalHeader()->setHighlightSections(false);
    Grille->setWordWrap(false);
    for (int c = 0; c < LineGridModel::kColumns; ++c)
        Grille->setColumnWidth(c, kColumnWidths[std::size_t(c)]);
    Grille->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    Grille->horizontalHeader()->setSectionResizeMode(kLabelColumn, QHeaderView::Stretch);
    Grille->installEventFilter(this);
    Grille->viewport()->installEventFilter(this);
    connect(Grille, &QAbstractItemView::doubleClicked, this, [this] { openCellEditor(); });
    // The number cells look like the fixed column they are.
    gridModel->setNumberColour(palette().color(QPalette::Button));
    gridModel->setTitles(gridTitles(m_ctx.translation));
    gridModel->setGreyedTips(sectionLabel(kLinesSection, "GriseAutre"),
                             sectionLabel(kLinesSection, "GriseRenvoi"));
    // Application names keep their end ("... - tree 3") when a column is too narrow for them.
    Grille->setTextElideMode(Qt::ElideMiddle);

    auto makeList = [this](const char* name) {
        auto* list = new QListWidget(this);
        list->setObjectName(QLatin1String(name));
        list->hide();
        return list;
    };
    lstInfosApp = makeList("lstInfosApp");
    lstInfosAppALL = makeList("lstInfosAppALL");

    lstDebug = new QListWidget(this);
    lstDebug->setObjectName(QStringLiteral("lstDebug"));
    lstDebug->setFixedHeight(kDebugHeight);
    lstDebug->setIconSize(QSize(16, 16));
    connect(lstDebug, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lstDebug_ItemClick(lstDebug->row(item)); });
    connect(lstDebug, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { lstDebug_ItemClick(lstDebug->row(item)); });
    picF = new QToolButton(this);
    picF->setObjectName(QStringLiteral("picF"));
    picF->setAutoRaise(true);
    connect(picF, &QToolButton::clicked, this, &FrmVoies900::picF_Click);

    picLoad = panel(this, QStringLiteral("picLoad"));
    lblLoad = new QLabel(picLoad);
    lblLoad->setObjectName(QStringLiteral("lblLoad"));
    lblLoad->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(picLoad))->addWidget(lblLoad);

    picProgress = panel(this, QStringLiteral("picProgress"));
    picProgress->setFixedHeight(14);
    lblProgress = new QLabel(picProgress);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setAutoFillBackground(true);
    QPalette bar = lblProgress->palette();
    bar.setColor(QPalette::Window, palette().color(QPalette::Highlight));
    lblProgress->setPalette(bar);
    lblProgress->setGeometry(1, 1, 0, 12);

    picErreur = panel(this, QStringLiteral("picErreur"));
    QPalette errorColours = picErreur->palette();
    errorColours.setColor(QPalette::Window, QColor(255, 240, 240));
    errorColours.setColor(QPalette::WindowText, QColor(160, 0, 0));
    picErreur->setPalette(errorColours);
    auto* errorText = new QLabel(label("ErrVoies"), picErreur);
    errorText->setObjectName(QStringLiteral("lblErreur"));
    errorText->setAlignment(Qt::AlignCenter);
    errorText->setWordWrap(true);
    auto* errorIcon = new QLabel(picErreur);
    errorIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    errorIcon->setAlignment(Qt::AlignCenter);
    auto* errorLayout = new QVBoxLayout(picErreur);
    errorLayout->addStretch(1);
    errorLayout->addWidget(errorIcon);
    errorLayout->addWidget(errorText);
    errorLayout->addStretch(1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &FrmVoies900::Timer1_Timer);

    auto makeButton = [this](const char* name, const QString& caption, QStyle::StandardPixmap icon) {
        auto* button = new QPushButton(style()->standardIcon(icon), caption, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        return button;
    };
    cmdOK = makeButton("cmdOK", label("BoutonOK"), QStyle::SP_DialogOkButton);
    cmdCancel = makeButton("cmdCancel", label("BoutonEchap"), QStyle::SP_DialogCancelButton);
    cmdAppliquer = makeButton("cmdAppliquer", label("BoutonAppliquer"), QStyle::SP_DialogApplyButton);
    cmdImport = makeButton("cmdImport", label("lblImport"), QStyle::SP_DialogOpenButton);
    cmdExport = makeButton("cmdExport", label("lblExport"), QStyle::SP_DialogSaveButton);
    connect(cmdOK, &QPushButton::clicked, this, &FrmVoies900::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmVoies900::cmdCancel_Click);
    connect(cmdAppliquer, &QPushButton::clicked, this, &FrmVoies900::cmdAppliquer_Click);
    connect(cmdImport, &QPushButton::clicked, this, &FrmVoies900::cmdImport_Click);
    connect(cmdExport, &QPushButton::clicked, this, &FrmVoies900::cmdExport_Click);

    auto makeTool = [this](const QString& name, const QIcon& icon, const QString& tip) {
        auto* button = new QToolButton(this);
        button->setObjectName(name);
        button->setIcon(icon);
        button->setToolTip(tip);
        button->setAutoRaise(true);
        return button;
    };
    const QColor green(0x1B, 0x61, 0x00);
    cmdAddLigne = makeTool(QStringLiteral("cmdAddLigne"), plusIcon(green), label("AjoutLigne"));
    cmdAddLigne2 = makeTool(QStringLiteral("cmdAddLigne2"), plusIcon(green), label("AjoutLigne"));
    connect(cmdAddLigne, &QToolButton::clicked, this, &FrmVoies900::cmdAddLigne_Click);
    connect(cmdAddLigne2, &QToolButton::clicked, this, &FrmVoies900::cmdAddLigne_Click);
    picIcon[0] = makeTool(QStringLiteral("picIcon_0"), style()->standardIcon(QStyle::SP_DialogOkButton),
                          cmdOK->text());
    picIcon[1] = makeTool(QStringLiteral("picIcon_1"), style()->standardIcon(QStyle::SP_DialogCancelButton),
                          cmdCancel->text());
    connect(picIcon[0], &QToolButton::clicked, this, &FrmVoies900::cmdOK_Click);
    connect(picIcon[1], &QToolButton::clicked, this, &FrmVoies900::cmdCancel_Click);

    frmVoies900Menu = new QMenu(this);
    frmVoies900Menu->setObjectName(QStringLiteral("frmVoies900Menu"));
    mnuDel = frmVoies900Menu->addAction(sectionLabel(kLinesSection, "mnuDel"));
    mnuDel->setObjectName(QStringLiteral("mnuDel"));
    mnuInsert = frmVoies900Menu->addAction(sectionLabel(kLinesSection, "mnuInsert"));
    mnuInsert->setObjectName(QStringLiteral("mnuInsert"));
    connect(mnuDel, &QAction::triggered, this, [this] { deleteLigne(m_popupRow); });
    connect(mnuInsert, &QAction::triggered, this, [this] { insertLigne(m_popupRow); });
}

void FrmVoies900::layoutControls() {
    auto* top = new QHBoxLayout;
    top->addWidget(cmdAddLigne);
    top->addStretch(1);
    top->addWidget(picIcon[0]);
    top->addWidget(picIcon[1]);

    auto* debugBar = new QHBoxLayout;
    debugBar->addWidget(cmdAddLigne2);
    debugBar->addWidget(picProgress, 1);
    debugBar->addWidget(picF);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdExport);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdAppliquer);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(Grille, 1);
    main->addLayout(debugBar);
    main->addWidget(lstDebug);
    main->addLayout(buttons);
    // The progress bar keeps its place when hidden, so the layout does not jump while filling.
    QSizePolicy keep = picProgress->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    picProgress->setSizePolicy(keep);
}

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
