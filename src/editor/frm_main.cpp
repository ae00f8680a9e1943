#include "editor/frm_main.h"

#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/diagnostics_view_model.h"
#include "editor/node_panels.h"
#include "editor/node_popup.h"
#include "editor/node_tree_model.h"
#include "editor/tree_view_controller.h"
#include "startup/settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int DebugSmallHeight = 110;
constexpr int DebugLargeHeight = 320;
const QString newTreeMarker = QStringLiteral("$$NEW$$");

QString withoutEllipsis(QString caption) {
    return caption.remove(QStringLiteral("..."));
}

} // namespace

frmMain::frmMain(AppContext& ctx, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_ctx(ctx), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmMain"));
    m_config.actionTypes = makeActionTypes(ctx.translation);
    m_config.schedules = makeSchedules(ctx.translation);
    m_treeModel = std::make_unique<NodeTreeModel>(m_config.nodes, m_icons);
    m_debugView = std::make_unique<DiagnosticsViewModel>(m_diagnostics, m_icons);

    setWindowTitle(label("Titre"));
    setWindowIcon(m_icons.logo());
    buildMenus();
    buildToolbar();

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildTitleBand());
    column->addWidget(buildEditorArea(), 1);
    column->addWidget(buildBottomBand());
    setCentralWidget(central);

    connectTree();
    connectJournalAndFiles();
    buildDetailPanels();
    applyModeDisplay();
    resize(1100, 760);
}

frmMain::~frmMain() {
    // The view must let go of the models before they are destroyed.
    treeV->setModel(nullptr);
    lstDebug->setModel(nullptr);
    lstCancel->setModel(nullptr);
    // The panels write into the configuration, a member destroyed before the child widgets: let them go
    // first so that nothing they do while closing reaches a dead model.
    delete m_treeController;
    m_treeController = nullptr;
    delete m_popup;
    m_popup = nullptr;
    delete m_panels;
    m_panels = nullptr;
}

QString frmMain::label(const char* key) const {
    return m_ctx.getLabel(QString::fromLatin1(key));
}

// ---- construction ---------------------------------------------------------------------------------

void frmMain::buildMenus() {
    auto makeMenu = [this](const char* name, const QString& caption) {
        QMenu* menu = menuBar()->addMenu(caption);
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
    mnuServeur->addSeparator();
    mnuEnvoi = makeItem(mnuServeur, "mnuEnvoi", label("MenuTransfert"));
    mnuRecup = makeItem(mnuServeur, "mnuRecup", label("MenuRecup"));
    mnuReset = makeItem(mnuServeur, "mnuReset", label("MenuReset"));

    mnuOptions = makeMenu("mnuOptions", label("MenuOptions"));
    mnuHoraires = makeItem(mnuOptions, "mnuHoraires", label("MenuHoraires"));
    mnuParam = makeItem(mnuOptions, "mnuParam", label("MenuParam"));
    mnuVoies = makeItem(mnuOptions, "mnuVoies", label("MenuVoie"));

    mnuApp = makeMenu("mnuApp", QStringLiteral("?"));
    mnuHelp = makeItem(mnuApp, "mnuHelp", label("MenuAide"));
    mnuHelp->setShortcut(QKeySequence::HelpContents);
    mnuVersion = makeItem(mnuApp, "mnuVersion", label("MenuAPropos"));

    connect(mnuNew, &QAction::triggered, this, &frmMain::mnuNew_Click);
    connect(mnuOpen, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    connect(mnuClose, &QAction::triggered, this, &frmMain::mnuClose_Click);
    connect(mnuSave, &QAction::triggered, this, [this] { saveTree(); });
    connect(mnuQuit, &QAction::triggered, this, &QWidget::close);

    // Nothing opened yet: the commands that need a tree wait for setBoolSave.
    for (QAction* a : {mnuSave, mnuSaveAs, mnuClose, mnuValide, mnuHoraires, mnuParam, mnuEnvoi})
        a->setEnabled(false);
}

void frmMain::buildToolbar() {
    toolMenu = addToolBar(QStringLiteral("toolMenu"));
    toolMenu->setObjectName(QStringLiteral("toolMenu"));
    toolMenu->setMovable(false);
    toolMenu->setIconSize(QSize(22, 22));
    const struct {
        const char* key;
        const char* tip;
        QStyle::StandardPixmap icon;
    } buttons[] = {
        {"Nouveau", "MenuNouveau", QStyle::SP_FileIcon},
        {"Ouvrir", "MenuOuvrirB", QStyle::SP_DialogOpenButton},
        {"Enregistrer", "MenuSave", QStyle::SP_DialogSaveButton},
        {nullptr, nullptr, QStyle::SP_CustomBase},
        {"Annuler", "MenuAnnuler", QStyle::SP_ArrowBack},
        {"Rétablir", "MenuRetablir", QStyle::SP_ArrowForward},
        {nullptr, nullptr, QStyle::SP_CustomBase},
        {"Aide", "MenuAide", QStyle::SP_DialogHelpButton},
    };
    for (const auto& b : buttons) {
        if (!b.key) {
            toolMenu->addSeparator();
            continue;
        }
        const QString key = QString::fromUtf8(b.key);
        const QIcon icon = key == QStringLiteral("Aide") ? m_icons.help() : style()->standardIcon(b.icon);
        QAction* a = toolMenu->addAction(icon, withoutEllipsis(label(b.tip)));
        a->setData(key);
        a->setToolTip(withoutEllipsis(label(b.tip)));
        connect(a, &QAction::triggered, this, [this, key] { onToolButton(key); });
        m_toolActions.append(a);
    }
    toolButton(QStringLiteral("Enregistrer"))->setEnabled(false);
    // Undo and redo follow the journal once it is connected.
    toolButton(QStringLiteral("Annuler"))->setEnabled(false);
    toolButton(QStringLiteral("Rétablir"))->setEnabled(false);
}

QAction* frmMain::toolButton(const QString& key) const {
    for (QAction* a : m_toolActions)
        if (a->data().toString() == key) return a;
    return nullptr;
}

QWidget* frmMain::buildTitleBand() {
    picBarre = new QWidget(this);
    picBarre->setObjectName(QStringLiteral("picBarre"));
    picBarre->setAutoFillBackground(true);
    QPalette pal = picBarre->palette();
    pal.setColor(QPalette::Window, QColor(0xe6, 0xec, 0xf5));
    picBarre->setPalette(pal);

    picLogo = new QLabel(picBarre);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(m_icons.logo().pixmap(QSize(28, 28), devicePixelRatioF()));
    auto* title = new QLabel(label("Titre"), picBarre);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    title->setFont(bold);

    imgModeLocal = new QLabel(picBarre);
    imgModeLocal->setObjectName(QStringLiteral("imgModeLocal"));
    imgModeLocal->setPixmap(m_icons.modeLocal().pixmap(QSize(22, 22), devicePixelRatioF()));
    imgModeServeur = new QLabel(picBarre);
    imgModeServeur->setObjectName(QStringLiteral("imgModeServeur"));
    imgModeServeur->setPixmap(m_icons.modeServeur().pixmap(QSize(22, 22), devicePixelRatioF()));
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

QWidget* frmMain::buildEditorArea() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(6, 6, 6, 6);

    auto* editor = new QWidget(area);
    auto* split = new QHBoxLayout(editor);
    split->setContentsMargins(0, 0, 0, 0);
    split->setSpacing(8);

    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    treeV = new QTreeView(editor);
    treeV->setObjectName(QStringLiteral("treeV"));
    treeV->setModel(m_treeModel.get());
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
    m_infosLayout = new QVBoxLayout(picInfos);
    m_infosLayout->setContentsMargins(0, 0, 0, 0);
    // Detail panels (tree, menu, key) go here: see setDetailPanels.
    m_panelsPlaceholder = new QWidget(picInfos);
    m_panelsPlaceholder->setObjectName(QStringLiteral("panelsPlaceholder"));
    m_infosLayout->addWidget(m_panelsPlaceholder, 1);
    // The server reset notice sits on top of the details while a reset runs.
    picReset = new QWidget(picInfos);
    picReset->setObjectName(QStringLiteral("picReset"));
    lblInfoReset = new QLabel(picReset);
    lblInfoReset->setObjectName(QStringLiteral("lblInfoReset"));
    (new QVBoxLayout(picReset))->addWidget(lblInfoReset, 0, Qt::AlignCenter);
    picReset->hide();
    m_infosLayout->addWidget(picReset);

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
    coverPicture->setPixmap(m_icons.logo().pixmap(QSize(96, 96), devicePixelRatioF()));
    auto* coverLayout = new QVBoxLayout(picClose);
    coverLayout->addWidget(coverPicture, 0, Qt::AlignCenter);
    picClose->hide();

    grid->addWidget(editor, 0, 0);
    grid->addWidget(picClose, 0, 0);
    return area;
}

QWidget* frmMain::buildBottomBand() {
    picBas = new QWidget(this);
    picBas->setObjectName(QStringLiteral("picBas"));
    auto* row = new QHBoxLayout(picBas);
    row->setContentsMargins(6, 0, 6, 6);
    row->setSpacing(4);

    picF = new QToolButton(picBas);
    picF->setObjectName(QStringLiteral("picF"));
    picF->setAutoRaise(true);
    picF->setIcon(m_icons.toggleUp());
    picF->setToolTip(label("MsgH"));
    connect(picF, &QToolButton::clicked, this, &frmMain::picF_Click);

    lstDebug = new QListView(picBas);
    lstDebug->setObjectName(QStringLiteral("lstDebug"));
    lstDebug->setModel(m_debugView.get());
    lstDebug->setIconSize(QSize(16, 16));
    lstDebug->setUniformItemSizes(true);
    lstDebug->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstDebug->setFixedHeight(DebugSmallHeight);
    lstDebug->setContextMenuPolicy(Qt::CustomContextMenu);

    // MenuDebug is the diagnostics-list pop-up of the node pop-ups (frm_main_panels.cpp).
    connect(lstDebug, &QListView::customContextMenuRequested, this,
            [this](const QPoint& pos) { MenuDebug->popup(lstDebug->viewport()->mapToGlobal(pos)); });
    connect(lstDebug, &QListView::clicked, this, &frmMain::lstDebug_ItemClick);
    connect(&m_diagnostics, &QAbstractItemModel::rowsInserted, lstDebug,
            [this] { lstDebug->scrollToBottom(); });

    row->addWidget(picF, 0, Qt::AlignTop);
    row->addWidget(lstDebug, 1);
    return picBas;
}

void frmMain::applyModeDisplay() {
    const bool local = m_ctx.modeLocal;
    mnuVoies->setEnabled(!local);
    mnuRecup->setEnabled(!local);
    mnuReset->setEnabled(!local);
    imgModeLocal->setVisible(local);
    imgModeServeur->setVisible(!local);
    lblStatutServeur->setText(local ? label("OffLine")
                                    : label("OnLine").replace(QStringLiteral("$IPSERVEUR$"), m_ctx.HADDR));
    lblInfoReset->setText(mnuReset->text());
}

void frmMain::setDetailPanels(QWidget* panels) {
    if (m_panelsPlaceholder) {
        m_infosLayout->removeWidget(m_panelsPlaceholder);
        m_panelsPlaceholder->deleteLater();
        m_panelsPlaceholder = nullptr;
    }
    panels->setParent(picInfos);
    m_infosLayout->insertWidget(0, panels, 1);
}

// ---- tree view --------------------------------------------------------------------------------------

void frmMain::connectTree() {
    connect(treeV->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!m_inNodeClick && current.isValid()) treeV_NodeClick(m_treeModel->keyOf(current));
            });
    // The node's expanded flag and the view stay in step both ways.
    connect(treeV, &QTreeView::expanded, this,
            [this](const QModelIndex& i) { m_config.nodes.setExpanded(m_treeModel->keyOf(i), true); });
    connect(treeV, &QTreeView::collapsed, this,
            [this](const QModelIndex& i) { m_config.nodes.setExpanded(m_treeModel->keyOf(i), false); });
    connect(m_treeModel.get(), &NodeTreeModel::nodeUpdated, this, [this](const QModelIndex& i) {
        treeV->setExpanded(i, i.data(NodeTreeModel::ExpandedRole).toBool());
    });
    connect(m_treeModel.get(), &QAbstractItemModel::modelReset, this, &frmMain::syncExpansion);
}

void frmMain::syncExpansion() {
    const NodeTree& tree = m_config.nodes;
    for (int id : tree.displayOrder())
        if (tree.node(id).expanded) treeV->setExpanded(m_treeModel->indexForId(id), true);
}

// ---- diagnostics ------------------------------------------------------------------------------------

void frmMain::InitDebug() {
    m_diagnostics.InitDebug(m_ctx.translation);
}

void frmMain::AjouteInfo(const QString& message, short level, const QString& tag) {
    m_diagnostics.AjouteInfo(message, level, tag);
}

void frmMain::lstDebug_ItemClick(const QModelIndex& index) {
    const QString tag = m_diagnostics.entries().value(index.row()).tag;
    if (tag.isEmpty() || !m_config.nodes.noeudExiste(tag)) return;
    treeV_NodeClick(tag);
    // The enlarged list hides the details: bring them back.
    if (m_debugLarge) picF_Click();
}

void frmMain::picF_Click() {
    m_debugLarge = !m_debugLarge;
    picF->setIcon(m_debugLarge ? m_icons.toggleDown() : m_icons.toggleUp());
    picF->setToolTip(label(m_debugLarge ? "MsgB" : "MsgH"));
    lstDebug->setFixedHeight(m_debugLarge ? DebugLargeHeight : DebugSmallHeight);
}

// ---- saved state and files --------------------------------------------------------------------------

void frmMain::setBoolSave(bool saved) {
    m_config.boolSave = saved;
    QString title = windowTitle();
    const QChar mark = QLatin1Char('*');
    if (saved && title.endsWith(mark))
        title.chop(1);
    else if (!saved && !title.endsWith(mark))
        title += mark;
    setWindowTitle(title);

    const bool canSave = !saved && !m_config.fileCourant.isEmpty();
    mnuSave->setEnabled(canSave);
    toolButton(QStringLiteral("Enregistrer"))->setEnabled(canSave);
    for (QAction* a : {mnuSaveAs, mnuClose, mnuValide, mnuHoraires, mnuParam})
        a->setEnabled(true);
    picClose->hide();
    for (QAction* a : {mnuEnvoi, mnuRecup, mnuReset})
        a->setEnabled(!m_ctx.modeLocal);
}

void frmMain::setTitle(const QString& suffix) {
    setWindowTitle(suffix.isEmpty() ? label("Titre") : label("Titre") + QStringLiteral(" - ") + suffix);
}

TreeFileHooks frmMain::treeFileHooks() {
    TreeFileHooks hooks;
    hooks.diagnostics = &m_diagnostics;
    hooks.recentFile = [this](const QString& path) {
        if (m_recentFile) m_recentFile(path);
    };
    hooks.isJournalFile = [this](const QString& path) {
        return m_undo.isFileCancel ? m_undo.isFileCancel(path) : false;
    };
    return hooks;
}

void frmMain::startJournal() {
    if (m_undo.clearCancel) m_undo.clearCancel();
    if (m_undo.addCancel) m_undo.addCancel(label("HistoDeb"));
}

void frmMain::OuvertureFichierArbre(const QString& path) {
    if (!verifVersionArbo(path, m_ctx)) {
        m_prompts.critical(QStringLiteral("ERROR - VERSION"), QStringLiteral("QAVO"));
        return;
    }
    if (!QFileInfo::exists(path)) return;
    m_config.fileCourant = path;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        NodeTreeModel::BulkChange bulk(*m_treeModel);
        ChargementArbres(m_config, m_config.fileCourant, m_ctx, treeFileHooks());
    }
    QApplication::restoreOverrideCursor();
    setTitle(m_config.fileCourant == m_ctx.fileServeur ? m_ctx.HADDR : m_config.fileCourant);
    setBoolSave(true);
    treeV_NodeClick(QStringLiteral("A1"));
    startJournal();
}

void frmMain::newTree() {
    AjouteInfo(label("DebugNew"), DiagnosticsSink::Info, QString());
    {
        NodeTreeModel::BulkChange bulk(*m_treeModel);
        ChargementArbres(m_config, QString(), m_ctx, treeFileHooks());
    }
    setTitle(label("TitreNew"));
    m_config.fileCourant.clear();
    setBoolSave(true);
    treeV_NodeClick(QStringLiteral("A1"));
    startJournal();
}

void frmMain::closeTree() {
    setBoolSave(true);
    setTitle(QString());
    picClose->show();
    picClose->raise();
    for (QAction* a : {mnuClose, mnuSaveAs, mnuEnvoi, mnuValide, mnuHoraires, mnuParam})
        a->setEnabled(false);
    mnuRecup->setEnabled(!m_ctx.modeLocal);
    mnuReset->setEnabled(!m_ctx.modeLocal);
    // The journal waits behind the cover until a tree is opened again.
    toolButton(QStringLiteral("Annuler"))->setEnabled(false);
    toolButton(QStringLiteral("Rétablir"))->setEnabled(false);
}

bool frmMain::saveTree() {
    // A new tree has no name yet.
    if (m_config.fileCourant.isEmpty()) {
        mnuSaveAs_Click();
        return m_config.boolSave && !m_config.fileCourant.isEmpty();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = SaveArbre(m_config, m_config.fileCourant, false, m_ctx, treeFileHooks());
    QApplication::restoreOverrideCursor();
    if (!written) {
        reportSaveFailure(m_config.fileCourant);
        return false;
    }
    setBoolSave(true);
    return true;
}

void frmMain::Form_Load() {
    InitDebug();
    m_repCourant = getConfigSetting(QStringLiteral("repCourant"), m_ctx.programDir);
    const QString start = m_ctx.fileAOuvrir;
    if (start.isEmpty()) {
        m_diagnostics.setSilent(true);
        setBoolSave(true);
        closeTree();
        m_diagnostics.setSilent(false);
    } else if (start == newTreeMarker) {
        m_ctx.fileAOuvrir.clear();
        m_diagnostics.setSilent(true);
        setBoolSave(true);
        newTree();
        m_config.fileCourant = m_ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa");
        setTitle(m_config.fileCourant);
        saveTree();
        m_diagnostics.setSilent(false);
    } else {
        OuvertureFichierArbre(start);
    }
}

// ---- commands -----------------------------------------------------------------------------------------

bool frmMain::confirmDiscard() {
    return m_config.boolSave || m_prompts.question(label("MsgNew"), label("Titre")) == Prompts::Answer::Yes;
}

void frmMain::mnuNew_Click() {
    if (confirmDiscard()) newTree();
}

void frmMain::mnuOpen_Click() {
    if (!confirmDiscard()) return;
    const QString path = m_prompts.openFileName(withoutEllipsis(mnuOpen->text()), m_repCourant,
                                                QStringLiteral("*.maa (*.maa)"));
    if (path.isEmpty()) return;
    m_repCourant = QFileInfo(path).absolutePath();
    OuvertureFichierArbre(path);
}

void frmMain::mnuClose_Click() {
    if (confirmDiscard()) closeTree();
}

void frmMain::onToolButton(const QString& key) {
    if (key == QStringLiteral("Nouveau"))
        mnuNew_Click();
    else if (key == QStringLiteral("Ouvrir"))
        mnuOpen_Click();
    else if (key == QStringLiteral("Enregistrer"))
        saveTree();
    else if (key == QStringLiteral("Annuler"))
        m_journal->undo();
    else if (key == QStringLiteral("Rétablir"))
        m_journal->redo();
    else if (key == QStringLiteral("Aide"))
        mnuHelp_Click();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!m_config.boolSave && m_prompts.question(label("MsgQuit"), label("Titre")) != Prompts::Answer::Yes) {
        event->ignore();
        return;
    }
    saveConfigSetting(QStringLiteral("repCourant"), m_repCourant);
    event->accept();
}
