// The main window's controls: menus, toolbar, title band, the editor area and the diagnostics band.
#include "editor/frm_main_ui.h"

#include "core/app_context.h"
#include "editor/node_icons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QString withoutEllipsis(QString caption) {
    return caption.remove(QStringLiteral("..."));
}

} // namespace

MainWindowUi::MainWindowUi(QMainWindow& window, const AppContext& ctx, const NodeIcons& icons)
    : m_window(window), m_ctx(ctx), m_icons(icons) {
    buildMenus();
    buildToolbar();
    auto* central = new QWidget(&window);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildTitleBand());
    column->addWidget(buildEditorArea(), 1);
    column->addWidget(buildBottomBand());
    window.setCentralWidget(central);
}

QString MainWindowUi::label(const char* key) const {
    return m_ctx.getLabel(QString::fromLatin1(key));
}

void MainWindowUi::buildMenus() {
    auto makeMenu = [this](const char* name, const QString& caption) {
        QMenu* menu = m_window.menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto makeItem = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };

    mnuFile = makeMenu("mnuFile", label("MenuFichier"));
    mnuNew = makeItem(mnuFile, "mnuNew", label("MenuNouveau"));
    mnuOpen = makeItem(mnuFile, "mnuOpen", label("MenuOuvrir"));
    mnuClose = makeItem(mnuFile, "mnuClose", label("MenuFermer"));
    mnuFile->addSeparator();
    mnuSave = makeItem(mnuFile, "mnuSave", label("MenuSave"));
    mnuSaveAs = makeItem(mnuFile, "mnuSaveAs", label("MenuSaveAs"));
    mnuComparer =
        makeItem(mnuFile, "mnuComparer",
                 m_ctx.translation.getLabel(QStringLiteral("FLOW"), QStringLiteral("MenuComparer")));
    mnuExportPlan =
        makeItem(mnuFile, "mnuExportPlan",
                 m_ctx.translation.getLabel(QStringLiteral("PLAN"), QStringLiteral("PlanExporter")));
    mnuVide2 = mnuFile->addSeparator();
    mnuVide2->setObjectName(QStringLiteral("mnuVide2"));
    mnuVide2->setVisible(false);
    for (size_t i = 0; i < mnuFileN.size(); ++i) {
        mnuFileN[i] = makeItem(mnuFile, "", QString());
        mnuFileN[i]->setObjectName(QStringLiteral("mnuFile") + QString::number(i + 1));
        mnuFileN[i]->setVisible(false);
    }
    mnuFile->addSeparator();
    mnuQuit = makeItem(mnuFile, "mnuQuit", label("MenuQuitter"));
    mnuNew->setShortcut(QKeySequence::New);
    mnuOpen->setShortcut(QKeySequence::Open);
    mnuSave->setShortcut(QKeySequence::Save);

    mnuServeur = makeMenu("mnuServeur", label("MenuServeur"));
    mnuValide = makeItem(mnuServeur, "mnuValide", label("MenuValide"));
    mnuSimuler = makeItem(mnuServeur, "mnuSimuler",
                          m_ctx.translation.getLabel(QStringLiteral("FLOW"), QStringLiteral("MenuSimuler")));
    mnuServeur->addSeparator();
    mnuEnvoi = makeItem(mnuServeur, "mnuEnvoi", label("MenuTransfert"));
    mnuRecup = makeItem(mnuServeur, "mnuRecup", label("MenuRecup"));
    mnuReset = makeItem(mnuServeur, "mnuReset", label("MenuReset"));
    mnuServeur->addSeparator();
    mnuHistorique =
        makeItem(mnuServeur, "mnuHistorique",
                 m_ctx.translation.getLabel(QStringLiteral("HISTORIQUE"), QStringLiteral("MenuHistorique")));

    mnuOptions = makeMenu("mnuOptions", label("MenuOptions"));
    mnuHoraires = makeItem(mnuOptions, "mnuHoraires", label("MenuHoraires"));
    mnuParam = makeItem(mnuOptions, "mnuParam", label("MenuParam"));
    mnuVoies = makeItem(mnuOptions, "mnuVoies", label("MenuVoie"));
    mnuOptions->addSeparator();
    mnuInfoServeur = makeItem(mnuOptions, "mnuInfoServeur", label("MenuInfoServeur"));

    mnuApp = makeMenu("mnuApp", QStringLiteral("?"));
    mnuHelp = makeItem(mnuApp, "mnuHelp", label("MenuAide"));
    mnuHelp->setShortcut(QKeySequence::HelpContents);
    mnuVersion = makeItem(mnuApp, "mnuVersion", label("MenuAPropos"));
}

void MainWindowUi::buildToolbar() {
    toolMenu = m_window.addToolBar(QStringLiteral("toolMenu"));
    toolMenu->setObjectName(QStringLiteral("toolMenu"));
    toolMenu->setMovable(false);
    toolMenu->setIconSize(QSize(22, 22));
    auto makeButton = [this](const char* name, const char* tip, const QIcon& icon) {
        const QString caption = withoutEllipsis(label(tip));
        QAction* a = toolMenu->addAction(icon, caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(caption);
        return a;
    };
    toolNouveau =
        makeButton("toolNouveau", "MenuNouveau", m_window.style()->standardIcon(QStyle::SP_FileIcon));
    toolOuvrir =
        makeButton("toolOuvrir", "MenuOuvrirB", m_window.style()->standardIcon(QStyle::SP_DialogOpenButton));
    toolEnregistrer = makeButton("toolEnregistrer", "MenuSave",
                                 m_window.style()->standardIcon(QStyle::SP_DialogSaveButton));
    toolMenu->addSeparator();
    toolAnnuler =
        makeButton("toolAnnuler", "MenuAnnuler", m_window.style()->standardIcon(QStyle::SP_ArrowBack));
    toolRetablir =
        makeButton("toolRetablir", "MenuRetablir", m_window.style()->standardIcon(QStyle::SP_ArrowForward));
    toolMenu->addSeparator();
    toolAide = makeButton("toolAide", "MenuAide", m_icons.help());
}

QWidget* MainWindowUi::buildTitleBand() {
    picBarre = new QWidget(&m_window);
    picBarre->setObjectName(QStringLiteral("picBarre"));
    picBarre->setAutoFillBackground(true);
    QPalette pal = picBarre->palette();
    pal.setColor(QPalette::Window, QColor(0xe6, 0xec, 0xf5));
    picBarre->setPalette(pal);

    auto* picLogo = new QLabel(picBarre);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(m_icons.logo().pixmap(QSize(28, 28), m_window.devicePixelRatioF()));
    auto* title = new QLabel(label("Titre"), picBarre);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    title->setFont(bold);

    imgModeLocal = new QLabel(picBarre);
    imgModeLocal->setObjectName(QStringLiteral("imgModeLocal"));
    imgModeLocal->setPixmap(m_icons.localMode().pixmap(QSize(22, 22), m_window.devicePixelRatioF()));
    imgModeServeur = new QLabel(picBarre);
    imgModeServeur->setObjectName(QStringLiteral("imgModeServeur"));
    imgModeServeur->setPixmap(m_icons.serverMode().pixmap(QSize(22, 22), m_window.devicePixelRatioF()));
    lblStatutServeur = new QLabel(picBarre);
    lblStatutServeur->setObjectName(QStringLiteral("lblStatutServeur"));

    auto* row = new QHBoxLayout(picBarre);
    row->setContentsMargins(8, 4, 10, 4);
    row->setSpacing(8);
    row->addWidget(picLogo);
    row->addWidget(title);
    row->addStretch(1);
    row->addWidget(imgModeLocal);
    row->addWidget(imgModeServeur);
    row->addWidget(lblStatutServeur);
    return picBarre;
}

QWidget* MainWindowUi::buildEditorArea() {
    auto* area = new QWidget(&m_window);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(6, 6, 6, 6);

    picEditeur = new QWidget(area);
    picEditeur->setObjectName(QStringLiteral("picEditeur"));
    QWidget* editor = picEditeur;
    auto* split = new QHBoxLayout(editor);
    split->setContentsMargins(0, 0, 0, 0);
    split->setSpacing(8);

    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    treeV = new QTreeView(editor);
    treeV->setObjectName(QStringLiteral("treeV"));

    treeV->setHeaderHidden(true);
    treeV->setUniformRowHeights(true);
    treeV->setIconSize(QSize(16, 16));
    treeV->setSelectionMode(QAbstractItemView::SingleSelection);
    treeV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Measuring every row for the column width would be slow on large trees: the column fills the view.
    treeV->header()->setStretchLastSection(true);
    left->addWidget(treeV, 1);
    // The undo journal's steps, under the tree.
    lstCancel = new QListView(editor);
    lstCancel->setObjectName(QStringLiteral("lstCancel"));
    lstCancel->setFixedHeight(110);
    lstCancel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstCancel->setUniformItemSizes(true);
    left->addWidget(lstCancel);
    // Shown while the verification runs.
    picProgress = new QProgressBar(editor);
    picProgress->setObjectName(QStringLiteral("picProgress"));
    picProgress->setTextVisible(false);
    picProgress->setMaximumHeight(10);
    picProgress->hide();
    left->addWidget(picProgress);

    picInfos = new QWidget(editor);
    picInfos->setObjectName(QStringLiteral("picInfos"));
    infosLayout = new QVBoxLayout(picInfos);
    infosLayout->setContentsMargins(0, 0, 0, 0);
    // Detail panels (tree, menu, key) go first: see buildDetailPanels.
    // The server reset notice sits on top of the details while a reset runs.
    picReset = new QWidget(picInfos);
    picReset->setObjectName(QStringLiteral("picReset"));
    lblInfoReset = new QLabel(picReset);
    lblInfoReset->setObjectName(QStringLiteral("lblInfoReset"));
    (new QVBoxLayout(picReset))->addWidget(lblInfoReset, 0, Qt::AlignCenter);
    // Laid over the details while a reset runs (not in the layout: it covers the panels).
    picReset->setAttribute(Qt::WA_StyledBackground);
    picReset->hide();

    // The tree takes 40 percent of the width, the details the rest.
    split->addLayout(left, 2);
    split->addWidget(picInfos, 3);

    // The cover shown while no tree is open shares the cell and hides the editor.
    picClose = new QWidget(area);
    picClose->setObjectName(QStringLiteral("picClose"));
    picClose->setAutoFillBackground(true);
    QPalette pal = picClose->palette();
    pal.setColor(QPalette::Window, QColor(0xf3, 0xf5, 0xf8));
    picClose->setPalette(pal);
    auto* coverPicture = new QLabel(picClose);
    coverPicture->setPixmap(m_icons.logo().pixmap(QSize(96, 96), m_window.devicePixelRatioF()));
    auto* coverLayout = new QVBoxLayout(picClose);
    coverLayout->addWidget(coverPicture, 0, Qt::AlignCenter);
    picClose->hide();

    grid->addWidget(editor, 0, 0);
    grid->addWidget(picClose, 0, 0);
    return area;
}

QWidget* MainWindowUi::buildBottomBand() {
    auto* picBas = new QWidget(&m_window);
    picBas->setObjectName(QStringLiteral("picBas"));
    auto* row = new QHBoxLayout(picBas);
    row->setContentsMargins(6, 0, 6, 6);
    row->setSpacing(4);

    picF = new QToolButton(picBas);
    picF->setObjectName(QStringLiteral("picF"));
    picF->setAutoRaise(true);
    picF->setIcon(m_icons.toggleUp());
    picF->setToolTip(label("MsgH"));

    lstDebug = new QListView(picBas);
    lstDebug->setObjectName(QStringLiteral("lstDebug"));

    lstDebug->setIconSize(QSize(16, 16));
    lstDebug->setUniformItemSizes(true);
    lstDebug->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstDebug->setFixedHeight(DebugSmallHeight);
    lstDebug->setContextMenuPolicy(Qt::CustomContextMenu);

    row->addWidget(picF, 0, Qt::AlignTop);
    row->addWidget(lstDebug, 1);
    return picBas;
}
