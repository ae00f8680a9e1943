// The menu node panel: construction, display from the menu's section, and its edit handlers.
#include "editor/menu_panel.h"

#include "core/app_context.h"
#include "editor/panel_context.h"
#include "editor/panel_host.h"
#include "editor/panel_support.h"
#include "model/verification.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace panel_support;

MenuPanel::MenuPanel(PanelContext& shared, QWidget* parent)
    : DetailPanel(shared, 1, QStringLiteral("LblDetailsMenu"), QStringLiteral("Menu"), parent) {
    build();
    cboHoraires->addItem(QString());
    for (int n = 1; n <= 10; ++n)
        cboHoraires->addItem(m_shared.ctx.getLabel(QStringLiteral("HorairePlage")) + QStringLiteral(" n°") +
                             QString::number(n));
    keepFieldsReadable(picToScroll);
    connectHandlers();
}

void MenuPanel::build() {
    QWidget* content = picToScroll;
    auto* grid = new QGridLayout(content);
    lblTitre = fieldCaption("lblTitre_1", "LblTitre");
    txtLib = named<QLineEdit>(content, QStringLiteral("txtLib_1"));
    lblHoraires = fieldCaption("lblHoraires", "LblHoraires");
    cboHoraires = named<QComboBox>(content, QStringLiteral("cboHoraires"));
    lblAnnonceMenu = fieldCaption("lblAnnonceMenu", "LblAnnonceMenu");
    txtAnnonceMenu = named<QLineEdit>(content, QStringLiteral("txtAnnonceMenu"));
    cmdPopup4 = pickerButton(content, QStringLiteral("cmdPopup4"));
    lblRepetition = fieldCaption("lblRepetition_1", "LblRepeat");
    txtRepeatMenu = named<QLineEdit>(content, QStringLiteral("txtRepeatMenu"));
    lblSilences = fieldCaption("lblSilences", "LblSilences");
    txtSilence = named<QLineEdit>(content, QStringLiteral("txtSilence"));
    grid->addWidget(lblTitre, 0, 0);
    grid->addWidget(txtLib, 0, 1, 1, 2);
    grid->addWidget(lblHoraires, 1, 0);
    grid->addWidget(cboHoraires, 1, 1, 1, 2);
    grid->addWidget(lblAnnonceMenu, 2, 0);
    grid->addWidget(txtAnnonceMenu, 2, 1);
    grid->addWidget(cmdPopup4, 2, 2);
    grid->addWidget(lblRepetition, 3, 0);
    grid->addWidget(txtRepeatMenu, 3, 1);
    grid->addWidget(lblSilences, 4, 0);
    grid->addWidget(txtSilence, 4, 1);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);
    addFrame(0);
}

void MenuPanel::connectHandlers() {
    connect(txtLib, &QLineEdit::textChanged, this, [this](const QString& text) { onNameChanged(text); });
    const auto writes = [this](QLineEdit* edit, int valueIndex) {
        connect(edit, &QLineEdit::textChanged, this,
                [this, valueIndex](const QString& text) { onSectionText(valueIndex, text); });
    };
    writes(txtAnnonceMenu, MenuValue::ann);
    writes(txtRepeatMenu, MenuValue::rep);
    writes(txtSilence, MenuValue::sil);
    connect(cboHoraires, &QComboBox::activated, this, [this](int position) { onSchedule(position); });
    connect(cmdPopup4, &QToolButton::clicked, this,
            [this] { openAnnouncementPicker(lblAnnonceMenu, txtAnnonceMenu); });
    txtAnnonceMenu->installEventFilter(this);
}

void MenuPanel::showNode() {
    const int s = m_shared.state.currentSectionIndex;
    const Section& section = m_shared.config.sections.at(s);
    txtLib->setText(section.value(MenuValue::lib));
    const QString hor = section.value(MenuValue::hor);
    const int schedule = isNumberField(hor, QString()) ? hor.toInt() : 0;
    cboHoraires->setCurrentIndex(schedule < cboHoraires->count() ? schedule : 0);
    txtAnnonceMenu->setText(section.value(MenuValue::ann));
    txtRepeatMenu->setText(section.value(MenuValue::rep));
    txtSilence->setText(section.value(MenuValue::sil));
    setCaptionColour(lblAnnonceMenu, m_shared.colourOf(s, MenuValue::ann));
    setCaptionColour(lblRepetition, m_shared.colourOf(s, MenuValue::rep));
    setCaptionColour(lblSilences, m_shared.colourOf(s, MenuValue::sil));
    showAtTop();
}

void MenuPanel::onSchedule(int position) {
    if (m_shared.state.displayBusy) return;
    m_shared.config.sections.setValue(QString(), MenuValue::hor,
                                      position <= 0 ? QString() : QString::number(position),
                                      m_shared.state.currentSectionIndex);
    m_shared.record(UndoJournal::LastAction);
}

bool MenuPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return DetailPanel::eventFilter(watched, event);
    if (watched == txtAnnonceMenu) openAnnouncementPicker(lblAnnonceMenu, txtAnnonceMenu);
    return true;
}
