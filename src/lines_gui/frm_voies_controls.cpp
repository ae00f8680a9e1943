// The generation-500 line window's construction: its controls, their captions and their layout.
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

FrmVoies::FrmVoies(AppContext& ctx, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_prompts(prompts), m_lines(ctx) {
    setObjectName(QStringLiteral("frmVoies"));
    QString title = label("MenuVoie");
    title.remove(QStringLiteral("..."));
    setWindowTitle(title + QStringLiteral(" - ") + ctx.HADDR);
    m_greyedReason = ctx.translation.getLabel(QLatin1String(kLinesSection), QLatin1String("GriseAutre"));
    buildControls();
    layoutControls();
    enableButtons(false); // nothing to write or export before a read
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
    lblErreur = new QLabel(label("ErrLectureVoies"), picErreur);
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
        auto* b = new QPushButton(label(key), this);
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

    const QStringList titles = {QString(), label("VoiesDeb"), label("VoiesFin"), label("VoiesApp")};
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
