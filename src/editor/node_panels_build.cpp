// Construction of the three detail panels: controls, their names, captions and choice lists.
#include "editor/node_panels.h"

#include "core/app_context.h"
#include "editor/node_panels_captions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(QWidget* parent, const QString& name) {
    auto* w = new T(parent); // owned by its Qt parent
    w->setObjectName(name);
    return w;
}

QString indexed(const char* name, int i) {
    return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(i);
}

QToolButton* pickerButton(QWidget* parent, const QString& name) {
    auto* b = named<QToolButton>(parent, name);
    b->setText(QStringLiteral("..."));
    return b;
}

QWidget* row(QWidget* parent, std::initializer_list<QWidget*> widgets) {
    auto* w = new QWidget(parent);
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* child : widgets) {
        child->setParent(w);
        layout->addWidget(child);
    }
    return w;
}

// Below a dozen characters a field is unreadable: the frame scrolls instead of squeezing it. A jump list
// does not grow with the longest menu name either.
void keepFieldsReadable(QWidget* content) {
    const int width = content->fontMetrics().averageCharWidth() * 14;
    for (QLineEdit* edit : content->findChildren<QLineEdit*>())
        edit->setMinimumWidth(width);
    for (QComboBox* list : content->findChildren<QComboBox*>()) {
        list->setMinimumWidth(width);
        if (list->objectName().contains(QStringLiteral("Saut"))) {
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            list->setMinimumContentsLength(24);
        }
    }
}

} // namespace

NodePanels::Captions::Captions(const AppContext& ctx) {
    const auto label = [&](const char* key) { return ctx.getLabel(QString::fromLatin1(key)); };
    LblTransfert = label("LblTransfert");
    LblDiffusion = label("LblDiffusion");
    LblRepeat = label("LblRepeat");
    LblSilences = label("LblSilences");
    LblSautVers = label("LblSautVers");
    LblBVO = label("LblBVO");
    NoeudMenu = label("NoeudMenu");
    HistoAction = label("HistoAction");
    HistoMenu = label("HistoMenu");
    HistoDelMenu = label("HistoDelMenu");
}

NodePanels::NodePanels(Configuration& config, const AppContext& ctx, PanelHost& host, QWidget* parent)
    : QWidget(parent), m_config(config), m_ctx(ctx), m_host(host),
      m_captions(std::make_unique<Captions>(ctx)), m_types(makeActionTypes(ctx.translation)) {
    setObjectName(QStringLiteral("picInfos"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildTreePanel();
    buildMenuPanel();
    buildKeyPanel();
    for (QWidget* panel : picNoeud) {
        layout->addWidget(panel);
        panel->hide();
    }
    fillChoiceLists();
    for (QWidget* content : picToScroll)
        keepFieldsReadable(content);
    connectHandlers();
}

NodePanels::~NodePanels() = default;

QWidget* NodePanels::makePanel(int i, const QString& detailsLabel, const QString& image) {
    QWidget* panel = named<QWidget>(this, indexed("picNoeud", i));
    auto* layout = new QVBoxLayout(panel);
    imgNoeud[size_t(i)] = named<QLabel>(panel, indexed("imgNoeud", i));
    imgNoeud[size_t(i)]->setProperty("imageKey", image);
    lblDetails[size_t(i)] = named<QLabel>(panel, indexed("lblDetails", i));
    lblDetails[size_t(i)]->setText(m_ctx.getLabel(detailsLabel) + QStringLiteral(" :"));
    auto* header = new QHBoxLayout;
    header->addWidget(imgNoeud[size_t(i)]);
    header->addWidget(lblDetails[size_t(i)], 1);
    layout->addLayout(header);

    // The frame shows what fits; its scroll bars appear only when the content is taller or wider, so
    // that no field is out of reach in a small window.
    picBlanc[size_t(i)] = named<QScrollArea>(panel, indexed("picBlanc", i));
    picBlanc[size_t(i)]->setWidgetResizable(true);
    picBlanc[size_t(i)]->setFrameShape(QFrame::NoFrame);
    picBlanc[size_t(i)]->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    picBlanc[size_t(i)]->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    picToScroll[size_t(i)] = named<QWidget>(nullptr, indexed("picToScroll", i));
    picBlanc[size_t(i)]->setWidget(picToScroll[size_t(i)]);
    VScrollInfo[size_t(i)] = picBlanc[size_t(i)]->verticalScrollBar();
    VScrollInfo[size_t(i)]->setObjectName(indexed("VScrollInfo", i));
    picNoeud[size_t(i)] = panel;
    return panel;
}

void NodePanels::buildTreePanel() {
    QWidget* panel = makePanel(0, QStringLiteral("LblDetailsArbre"), QStringLiteral("Arbre"));
    QWidget* content = picToScroll[0];
    auto* grid = new QGridLayout(content);
    const auto caption = [&](const char* name, const char* key) {
        QLabel* l = named<QLabel>(content, QString::fromLatin1(name));
        l->setText(m_ctx.getLabel(QString::fromLatin1(key)) + QStringLiteral(" :"));
        return l;
    };
    lblTitre[0] = caption("lblTitre_0", "LblTitre");
    txtLib[0] = named<QLineEdit>(content, QStringLiteral("txtLib_0"));
    grid->addWidget(lblTitre[0], 0, 0);
    grid->addWidget(txtLib[0], 0, 1, 1, 2);

    lblLangues = caption("lblLangues", "LblLangues");
    QWidget* languages = new QWidget(content);
    // Two by two: in one row the four languages would set the panel's narrowest width alone.
    auto* languageGrid = new QGridLayout(languages);
    languageGrid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        chkLangues[size_t(i)] = named<QCheckBox>(languages, indexed("chkLangues", i));
        chkLangues[size_t(i)]->setText(m_ctx.getLabel(QStringLiteral("LblLangue") + QString::number(i + 1)));
        languageGrid->addWidget(chkLangues[size_t(i)], i / 2, i % 2);
    }
    grid->addWidget(lblLangues, 1, 0);
    grid->addWidget(languages, 1, 1, 1, 2);

    lblAnnonceAccueil = caption("lblAnnonceAccueil", "LblAnnonceAccueil");
    lblAnnonceLangues = caption("lblAnnonceLangues", "LblAnnonceLangues");
    txtArbreAnnonces[1] = named<QLineEdit>(content, QStringLiteral("txtArbreAnnonces_1"));
    txtArbreAnnonces[2] = named<QLineEdit>(content, QStringLiteral("txtArbreAnnonces_2"));
    cmdPopup2 = pickerButton(content, QStringLiteral("cmdPopup2"));
    cmdPopup3 = pickerButton(content, QStringLiteral("cmdPopup3"));
    grid->addWidget(lblAnnonceAccueil, 2, 0);
    grid->addWidget(txtArbreAnnonces[1], 2, 1);
    grid->addWidget(cmdPopup2, 2, 2);
    grid->addWidget(lblAnnonceLangues, 3, 0);
    grid->addWidget(txtArbreAnnonces[2], 3, 1);
    grid->addWidget(cmdPopup3, 3, 2);

    lblRepetition[0] = caption("lblRepetition_0", "LblRepeat");
    txtRepeat = named<QLineEdit>(content, QStringLiteral("txtRepeat"));
    grid->addWidget(lblRepetition[0], 4, 0);
    grid->addWidget(txtRepeat, 4, 1);

    lblErreurTransfert = caption("lblErreurTransfert", "lblErreurTransfert");
    lblFermeture = caption("lblFermeture", "lblFermeture");
    lblNonReaction = caption("lblNonReaction", "lblNonReaction");
    const std::array<QLabel*, 3> exitCaptions = {lblErreurTransfert, lblFermeture, lblNonReaction};
    for (int i = 0; i < 3; ++i) {
        const size_t s = size_t(i);
        cboActionsArbre[s] = named<QComboBox>(content, indexed("cboActionsArbre", i));
        lblCaptionInfo[s] = named<QLabel>(nullptr, indexed("lblCaptionInfo", i));
        txtActionsArbre[s] = named<QLineEdit>(nullptr, indexed("txtActionsArbre", i));
        cmdPopupAction[s] = pickerButton(nullptr, indexed("cmdPopupAction", i));
        picInfoSup[s] = row(content, {lblCaptionInfo[s], txtActionsArbre[s], cmdPopupAction[s]});
        picInfoSup[s]->setObjectName(indexed("picInfoSup", i));
        lblCaptionInfoSaut[s] = named<QLabel>(nullptr, indexed("lblCaptionInfoSaut", i));
        cboSautArbre[s] = named<QComboBox>(nullptr, indexed("cboSautArbre", i));
        picSaut[s] = row(content, {lblCaptionInfoSaut[s], cboSautArbre[s]});
        picSaut[s]->setObjectName(indexed("picSaut", i));
        picInfoSup[s]->hide();
        picSaut[s]->hide();
        const int r = 5 + 3 * i;
        grid->addWidget(exitCaptions[s], r, 0);
        grid->addWidget(cboActionsArbre[s], r, 1, 1, 2);
        grid->addWidget(picInfoSup[s], r + 1, 1, 1, 2);
        grid->addWidget(picSaut[s], r + 2, 1, 1, 2);
    }
    grid->setRowStretch(14, 1);
    grid->setColumnStretch(1, 1);
    panel->layout()->addWidget(picBlanc[0]);
}

void NodePanels::buildMenuPanel() {
    QWidget* panel = makePanel(1, QStringLiteral("LblDetailsMenu"), QStringLiteral("Menu"));
    QWidget* content = picToScroll[1];
    auto* grid = new QGridLayout(content);
    const auto caption = [&](const char* name, const char* key) {
        QLabel* l = named<QLabel>(content, QString::fromLatin1(name));
        l->setText(m_ctx.getLabel(QString::fromLatin1(key)) + QStringLiteral(" :"));
        return l;
    };
    lblTitre[1] = caption("lblTitre_1", "LblTitre");
    txtLib[1] = named<QLineEdit>(content, QStringLiteral("txtLib_1"));
    lblHoraires = caption("lblHoraires", "LblHoraires");
    cboHoraires = named<QComboBox>(content, QStringLiteral("cboHoraires"));
    lblAnnonceMenu = caption("lblAnnonceMenu", "LblAnnonceMenu");
    txtAnnonceMenu = named<QLineEdit>(content, QStringLiteral("txtAnnonceMenu"));
    cmdPopup4 = pickerButton(content, QStringLiteral("cmdPopup4"));
    lblRepetition[1] = caption("lblRepetition_1", "LblRepeat");
    txtRepeatMenu = named<QLineEdit>(content, QStringLiteral("txtRepeatMenu"));
    lblSilences = caption("lblSilences", "LblSilences");
    txtSilence = named<QLineEdit>(content, QStringLiteral("txtSilence"));
    grid->addWidget(lblTitre[1], 0, 0);
    grid->addWidget(txtLib[1], 0, 1, 1, 2);
    grid->addWidget(lblHoraires, 1, 0);
    grid->addWidget(cboHoraires, 1, 1, 1, 2);
    grid->addWidget(lblAnnonceMenu, 2, 0);
    grid->addWidget(txtAnnonceMenu, 2, 1);
    grid->addWidget(cmdPopup4, 2, 2);
    grid->addWidget(lblRepetition[1], 3, 0);
    grid->addWidget(txtRepeatMenu, 3, 1);
    grid->addWidget(lblSilences, 4, 0);
    grid->addWidget(txtSilence, 4, 1);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);
    panel->layout()->addWidget(picBlanc[1]);
}

void NodePanels::buildKeyPanel() {
    QWidget* panel = makePanel(2, QStringLiteral("LblDetailsAction"), QStringLiteral("NoAction"));
    auto* layout = static_cast<QVBoxLayout*>(panel->layout());
    // The key digit follows the panel's caption, in bold, so that it does not read as part of the
    // type caption below it.
    lblNumTouche = named<QLabel>(panel, QStringLiteral("lblNumTouche"));
    QFont bold = lblNumTouche->font();
    bold.setBold(true);
    lblNumTouche->setFont(bold);
    auto* header = static_cast<QHBoxLayout*>(layout->itemAt(0)->layout());
    header->setStretchFactor(lblDetails[2], 0);
    header->addWidget(lblNumTouche);
    header->addStretch(1);

    // The type list is the first row of the scrolled content, so that it stays at the top whether or
    // not the type has detail fields below it.
    QWidget* content = picToScroll[2];
    auto* grid = new QGridLayout(content);
    lblTypeAction = named<QLabel>(content, QStringLiteral("lblTypeAction"));
    lblTypeAction->setText(m_ctx.getLabel(QStringLiteral("LblTypeAction")) + QStringLiteral(" :"));
    cboTypesActions = named<QComboBox>(content, QStringLiteral("cboTypesActions"));
    grid->addWidget(lblTypeAction, 0, 0);
    grid->addWidget(cboTypesActions, 0, 1, 1, 2);
    for (int i = 0; i < 3; ++i) {
        lblLibDetail[size_t(i)] = named<QLabel>(content, indexed("lblLibDetail", i));
        txtDetail[size_t(i)] = named<QLineEdit>(content, indexed("txtDetail", i));
        grid->addWidget(lblLibDetail[size_t(i)], i + 1, 0);
        grid->addWidget(txtDetail[size_t(i)], i + 1, 1);
    }
    cmdPopup = pickerButton(content, QStringLiteral("cmdPopup"));
    grid->addWidget(cmdPopup, 1, 2);
    cboMenuSaut = named<QComboBox>(content, QStringLiteral("cboMenuSaut"));
    grid->addWidget(cboMenuSaut, 1, 1, 1, 2);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(picBlanc[2], 1);
    layoutKeyDetails(QString());
}

void NodePanels::fillChoiceLists() {
    const ActionTypes& types = m_types;
    const int lastRow = m_ctx.VERSION_500 ? 8 : 5;
    for (int r = 0; r <= lastRow; ++r)
        cboTypesActions->addItem(types[size_t(r)].caption);
    for (QComboBox* exit : cboActionsArbre)
        for (int r : {0, 3, 4, 2, 1})
            exit->addItem(types[size_t(r)].caption);
    cboHoraires->addItem(QString());
    for (int n = 1; n <= 10; ++n)
        cboHoraires->addItem(m_ctx.getLabel(QStringLiteral("HorairePlage")) + QStringLiteral(" n°") +
                             QString::number(n));
}

void NodePanels::connectHandlers() {
    connect(cboTypesActions, &QComboBox::activated, this, [this] { onKeyType(); });
    connect(cboMenuSaut, &QComboBox::activated, this, [this] { onMenuJump(); });
    for (QLineEdit* detail : txtDetail)
        connect(detail, &QLineEdit::textChanged, this, [this] { onDetailChanged(); });
    for (int i = 0; i < 2; ++i)
        connect(txtLib[size_t(i)], &QLineEdit::textChanged, this, [this, i] { onLibChanged(i); });
    const auto writes = [this](QLineEdit* edit, int valueIndex) {
        connect(edit, &QLineEdit::textChanged, this,
                [this, valueIndex](const QString& text) { onSectionText(valueIndex, text); });
    };
    writes(txtAnnonceMenu, MenuValue::ann);
    writes(txtRepeatMenu, MenuValue::rep);
    writes(txtSilence, MenuValue::sil);
    writes(txtArbreAnnonces[1], TreeValue::ann1);
    writes(txtArbreAnnonces[2], TreeValue::ann2);
    writes(txtRepeat, TreeValue::rep2);
    connect(cboHoraires, &QComboBox::activated, this, [this](int position) { onSchedule(position); });
    for (int i = 0; i < 4; ++i)
        connect(chkLangues[size_t(i)], &QCheckBox::clicked, this, [this, i] { onLanguage(i); });
    for (int i = 0; i < 3; ++i) {
        const size_t e = size_t(i);
        connect(cboActionsArbre[e], &QComboBox::activated, this, [this, i] { onExitType(i); });
        connect(txtActionsArbre[e], &QLineEdit::textChanged, this, [this, i] { onExitParameter(i); });
        connect(cboSautArbre[e], &QComboBox::activated, this, [this, i] { onExitJump(i); });
        connect(cmdPopupAction[e], &QToolButton::clicked, this, [this, i] { openExitPicker(i); });
        txtActionsArbre[e]->installEventFilter(this);
    }
    connect(cmdPopup, &QToolButton::clicked, this, [this] { openKeyPicker(); });
    connect(cmdPopup2, &QToolButton::clicked, this,
            [this] { openAnnouncementPicker(lblAnnonceAccueil, txtArbreAnnonces[1]); });
    connect(cmdPopup3, &QToolButton::clicked, this,
            [this] { openAnnouncementPicker(lblAnnonceLangues, txtArbreAnnonces[2]); });
    connect(cmdPopup4, &QToolButton::clicked, this,
            [this] { openAnnouncementPicker(lblAnnonceMenu, txtAnnonceMenu); });
    for (QLineEdit* edit : {txtDetail[0], txtAnnonceMenu, txtArbreAnnonces[1], txtArbreAnnonces[2]})
        edit->installEventFilter(this);
}
