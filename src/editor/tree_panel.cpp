// The tree node panel: construction, display from the tree's section, and its edit handlers.
#include "editor/tree_panel.h"

#include "core/app_context.h"
#include "editor/panel_context.h"
#include "editor/panel_host.h"
#include "editor/panel_support.h"
#include "model/action_value.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

using namespace panel_support;

TreePanel::TreePanel(PanelContext& shared, QWidget* parent)
    : DetailPanel(shared, 0, QStringLiteral("LblDetailsArbre"), QStringLiteral("Arbre"), parent) {
    build();
    for (QComboBox* exit : cboActionsArbre)
        for (int r : {0, 3, 4, 2, 1})
            exit->addItem(m_shared.types[size_t(r)].caption);
    keepFieldsReadable(picToScroll);
    connectHandlers();
}

void TreePanel::build() {
    QWidget* content = picToScroll;
    auto* grid = new QGridLayout(content);
    lblTitre = fieldCaption("lblTitre_0", "LblTitre");
    txtLib = named<QLineEdit>(content, QStringLiteral("txtLib_0"));
    grid->addWidget(lblTitre, 0, 0);
    grid->addWidget(txtLib, 0, 1, 1, 2);

    lblLangues = fieldCaption("lblLangues", "LblLangues");
    QWidget* languages = new QWidget(content);
    // Two by two: in one row the four languages would set the panel's narrowest width alone.
    auto* languageGrid = new QGridLayout(languages);
    languageGrid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        chkLangues[size_t(i)] = named<QCheckBox>(languages, indexed("chkLangues", i));
        chkLangues[size_t(i)]->setText(
            m_shared.ctx.getLabel(QStringLiteral("LblLangue") + QString::number(i + 1)));
        languageGrid->addWidget(chkLangues[size_t(i)], i / 2, i % 2);
    }
    grid->addWidget(lblLangues, 1, 0);
    grid->addWidget(languages, 1, 1, 1, 2);

    lblAnnonceAccueil = fieldCaption("lblAnnonceAccueil", "LblAnnonceAccueil");
    lblAnnonceLangues = fieldCaption("lblAnnonceLangues", "LblAnnonceLangues");
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

    lblRepetition = fieldCaption("lblRepetition_0", "LblRepeat");
    txtRepeat = named<QLineEdit>(content, QStringLiteral("txtRepeat"));
    grid->addWidget(lblRepetition, 4, 0);
    grid->addWidget(txtRepeat, 4, 1);

    lblErreurTransfert = fieldCaption("lblErreurTransfert", "lblErreurTransfert");
    lblFermeture = fieldCaption("lblFermeture", "lblFermeture");
    lblNonReaction = fieldCaption("lblNonReaction", "lblNonReaction");
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
    addFrame(0);
}

void TreePanel::connectHandlers() {
    connect(txtLib, &QLineEdit::textChanged, this, [this](const QString& text) { onNameChanged(text); });
    const auto writes = [this](QLineEdit* edit, int valueIndex) {
        connect(edit, &QLineEdit::textChanged, this,
                [this, valueIndex](const QString& text) { onSectionText(valueIndex, text); });
    };
    writes(txtArbreAnnonces[1], TreeValue::ann1);
    writes(txtArbreAnnonces[2], TreeValue::ann2);
    writes(txtRepeat, TreeValue::rep2);
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
    connect(cmdPopup2, &QToolButton::clicked, this,
            [this] { openAnnouncementPicker(lblAnnonceAccueil, txtArbreAnnonces[1]); });
    connect(cmdPopup3, &QToolButton::clicked, this,
            [this] { openAnnouncementPicker(lblAnnonceLangues, txtArbreAnnonces[2]); });
    for (QLineEdit* edit : {txtArbreAnnonces[1], txtArbreAnnonces[2]})
        edit->installEventFilter(this);
}

void TreePanel::showNode() {
    fillJumpLists(jumpLists());
    const int s = m_shared.state.currentSectionIndex;
    const Section& section = m_shared.config.sections.at(s);
    txtLib->setText(section.value(TreeValue::lib));
    for (QCheckBox* box : chkLangues)
        box->setChecked(false);
    for (const QString& n : section.value(TreeValue::langue).split(QLatin1Char(';'))) {
        const int number = n.toInt();
        if (number >= 1 && number <= 4) chkLangues[size_t(number - 1)]->setChecked(true);
    }
    txtArbreAnnonces[1]->setText(section.value(TreeValue::ann1));
    txtArbreAnnonces[2]->setText(section.value(TreeValue::ann2));
    txtRepeat->setText(section.value(TreeValue::rep2));
    setCaptionColour(lblAnnonceAccueil, m_shared.colourOf(s, TreeValue::ann1));
    setCaptionColour(lblAnnonceLangues, m_shared.colourOf(s, TreeValue::ann2));
    setCaptionColour(lblRepetition, m_shared.colourOf(s, TreeValue::rep2));

    for (int i = 0; i < 3; ++i) {
        const size_t e = size_t(i);
        const QString value = section.value(TreeValue::exit_trf + i);
        const QString code = action::code(value);
        const int row = action::exitRow(code);
        txtActionsArbre[e]->setText(code == action::Trf || code == action::Ann ? action::param(value, 1)
                                                                               : QString());
        cboActionsArbre[e]->setCurrentIndex(
            row < 0 ? -1 : findListIndex(cboActionsArbre[e], m_shared.types[size_t(row)].caption));
        layoutExit(i, code);
        const int colour = m_shared.colourOf(s, TreeValue::exit_trf + i);
        setCaptionColour(lblCaptionInfo[e], colour);
        setCaptionColour(lblCaptionInfoSaut[e], colour);
        if (code == action::Sau)
            cboSautArbre[e]->setCurrentIndex(jumpIndex(action::param(value, 1), jumpLists()));
    }
    showAtTop();
}

void TreePanel::onLanguage(int index) {
    if (m_shared.state.displayBusy) return;
    QStringList ticked;
    for (int i = 0; i < 4; ++i)
        if (chkLangues[size_t(i)]->isChecked()) ticked << QString::number(i + 1);
    if (ticked.isEmpty()) { // at least one language stays chosen
        chkLangues[size_t(index)]->setChecked(true);
        return;
    }
    m_shared.config.sections.setValue(QString(), TreeValue::langue, ticked.join(QLatin1Char(';')),
                                      m_shared.state.currentSectionIndex);
    m_shared.record(UndoJournal::LastAction);
}

void TreePanel::layoutExit(int index, const QString& code) {
    const size_t e = size_t(index);
    m_exitCode[e] = code;
    picInfoSup[e]->hide();
    picSaut[e]->hide();
    if (!m_shared.state.displayBusy) {
        cboSautArbre[e]->setCurrentIndex(0);
        const QSignalBlocker quiet(txtActionsArbre[e]); // the new default value stays as written
        txtActionsArbre[e]->clear();
        setCaptionColour(lblCaptionInfo[e], 0);
        setCaptionColour(lblCaptionInfoSaut[e], 0);
    }
    if (code == action::Trf || code == action::Ann) {
        lblCaptionInfo[e]->setText(code == action::Trf ? m_shared.captions.LblTransfert
                                                       : m_shared.captions.LblDiffusion);
        picInfoSup[e]->show();
    } else if (code == action::Sau) {
        lblCaptionInfoSaut[e]->setText(m_shared.captions.LblSautVers);
        picSaut[e]->show();
    }
}

void TreePanel::onExitType(int index) {
    const QString code = m_shared.codeOfCaption(cboActionsArbre[size_t(index)]->currentText());
    if (!m_shared.state.displayBusy) {
        // A new exit type is no journal step of its own: its first parameter typed will be.
        m_shared.host.setBoolSave(false);
        m_shared.config.sections.setValue(QString(), TreeValue::exit_trf + index, action::exitDefault(code),
                                          m_shared.state.currentSectionIndex);
    }
    layoutExit(index, code);
}

void TreePanel::onExitParameter(int index) {
    if (m_shared.state.displayBusy) return;
    const std::optional<QString> value =
        action::exitValue(m_exitCode[size_t(index)], txtActionsArbre[size_t(index)]->text());
    if (!value) return;
    m_shared.config.sections.setValue(QString(), TreeValue::exit_trf + index, *value,
                                      m_shared.state.currentSectionIndex);
    m_shared.record(UndoJournal::LastAction);
}

void TreePanel::onExitJump(int index) {
    if (m_shared.state.displayBusy) return;
    const QString key = m_shared.jumpKeys.value(cboSautArbre[size_t(index)]->currentIndex());
    m_shared.config.sections.setValue(QString(), TreeValue::exit_trf + index, action::jumpValue(key),
                                      m_shared.state.currentSectionIndex);
    m_shared.record(UndoJournal::LastAction);
}

void TreePanel::openExitPicker(int index) {
    const size_t e = size_t(index);
    const QString title = lblCaptionInfo[e]->text();
    if (m_exitCode[e] == action::Ann)
        m_shared.host.openAnnouncementPicker(title, txtActionsArbre[e]);
    else if (m_exitCode[e] == action::Trf)
        m_shared.host.openStationPicker(title, action::Trf, txtActionsArbre[e]);
}

bool TreePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return DetailPanel::eventFilter(watched, event);
    if (watched == txtArbreAnnonces[1])
        openAnnouncementPicker(lblAnnonceAccueil, txtArbreAnnonces[1]);
    else if (watched == txtArbreAnnonces[2])
        openAnnouncementPicker(lblAnnonceLangues, txtArbreAnnonces[2]);
    else
        for (int i = 0; i < 3; ++i)
            if (watched == txtActionsArbre[size_t(i)]) openExitPicker(i);
    return true;
}
