// The generation-900 line window's construction: its controls, their captions and their layout.
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
