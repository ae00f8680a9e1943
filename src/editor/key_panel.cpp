// The key node panel: construction, display from the parent menu's key value, and its edit handlers.
#include "editor/key_panel.h"

#include "core/app_context.h"
#include "editor/node_panels.h"
#include "editor/panel_context.h"
#include "editor/panel_host.h"
#include "editor/panel_support.h"
#include "model/action_value.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace panel_support;

namespace {
using action::Ann;
using action::Bvo;
using action::Men;
using action::Sau;
using action::Trf;
} // namespace

KeyPanel::KeyPanel(PanelContext& shared, NodePanels& owner)
    : DetailPanel(shared, 2, QStringLiteral("LblDetailsAction"), QStringLiteral("NoAction"), &owner),
      m_owner(owner) {
    build();
    const int lastRow = m_shared.ctx.VERSION_500 ? 8 : 5;
    for (int r = 0; r <= lastRow; ++r)
        cboTypesActions->addItem(m_shared.types[size_t(r)].caption);
    keepFieldsReadable(picToScroll);
    connectHandlers();
}

void KeyPanel::build() {
    // The key digit follows the panel's caption, in bold, so that it does not read as part of the
    // type caption below it.
    lblNumTouche = named<QLabel>(this, QStringLiteral("lblNumTouche"));
    QFont bold = lblNumTouche->font();
    bold.setBold(true);
    lblNumTouche->setFont(bold);
    m_header->setStretchFactor(lblDetails, 0);
    m_header->addWidget(lblNumTouche);
    m_header->addStretch(1);

    // The type list is the first row of the scrolled content, so that it stays at the top whether or
    // not the type has detail fields below it.
    QWidget* content = picToScroll;
    auto* grid = new QGridLayout(content);
    lblTypeAction = named<QLabel>(content, QStringLiteral("lblTypeAction"));
    lblTypeAction->setText(m_shared.ctx.getLabel(QStringLiteral("LblTypeAction")) + QStringLiteral(" :"));
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
    addFrame(1);
    layoutKeyDetails(QString());
}

void KeyPanel::connectHandlers() {
    connect(cboTypesActions, &QComboBox::activated, this, [this] { onKeyType(); });
    connect(cboMenuSaut, &QComboBox::activated, this, [this] { onMenuJump(); });
    for (QLineEdit* detail : txtDetail)
        connect(detail, &QLineEdit::textChanged, this, [this] { onDetailChanged(); });
    connect(cmdPopup, &QToolButton::clicked, this, [this] { openKeyPicker(); });
    txtDetail[0]->installEventFilter(this);
}

void KeyPanel::setKeyDigit(const QString& digits) {
    if (digits.isEmpty())
        lblNumTouche->clear();
    else
        lblNumTouche->setText(digits);
}

void KeyPanel::showNode() {
    fillJumpLists({cboMenuSaut});
    const int parent = m_shared.state.parentSectionIndex;
    const int digit = m_shared.state.currentKeyDigit;
    const SectionStore& sections = m_shared.config.sections;
    const bool known = parent >= 1 && parent <= sections.size() && digit >= 0 && digit <= 9;
    const int field = MenuValue::forDigit(digit);
    const QString value = known ? sections.at(parent).value(field) : QString();
    const QString code = action::code(value);
    const int row = code == Men ? -1 : action::rowOf(code);

    cboTypesActions->setCurrentIndex(
        row < 0 ? -1 : findListIndex(cboTypesActions, m_shared.types[size_t(row)].caption));
    layoutKeyDetails(code);
    const bool oneParameter = code == Trf || code == Bvo;
    const bool announcement = code == Ann;
    for (int i = 0; i < 3; ++i) {
        const bool used = (i == 0 && oneParameter) || announcement;
        txtDetail[size_t(i)]->setText(used ? action::param(value, i + 1) : QString());
        setCaptionColour(lblLibDetail[size_t(i)], 0);
    }
    if (oneParameter || code == Sau) {
        setCaptionColour(lblLibDetail[0], m_shared.colourOf(parent, field));
    } else if (announcement) {
        for (int i = 0; i < 3; ++i)
            setCaptionColour(lblLibDetail[size_t(i)],
                             m_shared.colourOf(parent, field, QString::number(i + 1) + QLatin1Char(';')));
    }
    if (code == Sau) cboMenuSaut->setCurrentIndex(jumpIndex(action::param(value, 1), {cboMenuSaut}));
    setImage(action::imageFor(code));
    showAtTop();
}

void KeyPanel::layoutKeyDetails(const QString& code) {
    m_keyCode = code;
    for (int i = 0; i < 3; ++i) {
        lblLibDetail[size_t(i)]->hide();
        txtDetail[size_t(i)]->hide();
    }
    cboMenuSaut->hide();
    cmdPopup->hide();
    const PanelCaptions& captions = m_shared.captions;
    const auto showDetail = [&](int i, const QString& caption) {
        lblLibDetail[size_t(i)]->setText(caption + QStringLiteral(" :"));
        lblLibDetail[size_t(i)]->show();
        txtDetail[size_t(i)]->show();
    };
    if (code == Trf) {
        showDetail(0, captions.LblTransfert);
        cmdPopup->show();
    } else if (code == Ann) {
        showDetail(0, captions.LblDiffusion);
        showDetail(1, captions.LblRepeat);
        showDetail(2, captions.LblSilences);
        cmdPopup->show();
    } else if (code == Sau) {
        lblLibDetail[0]->setText(captions.LblSautVers + QStringLiteral(" :"));
        lblLibDetail[0]->show();
        cboMenuSaut->show();
        cboMenuSaut->raise();
    } else if (code == Bvo) {
        showDetail(0, captions.LblBVO);
        cmdPopup->show();
    }
}

void KeyPanel::onKeyType() {
    DisplayState& state = m_shared.state;
    const QString code = m_shared.codeOfCaption(cboTypesActions->currentText());
    m_keyCode = code;
    if (code == Men) {
        if (!state.displayBusy && !m_owner.AddMenu(state.currentNodeKey, state.currentKeyDigit))
            m_owner.treeV_NodeClick(state.currentNodeKey); // nothing added: show the key as it is
        return;
    }
    const int digit = state.currentKeyDigit;
    if (!state.displayBusy) {
        Configuration& config = m_shared.config;
        config.nodes.setText(state.currentNodeKey, action::keyTypeText(digit, code, m_shared.types));
        config.nodes.setImage(state.currentNodeKey, action::imageFor(code));
        config.sections.setValue(QString(), MenuValue::forDigit(digit), action::keyDefault(code),
                                 state.parentSectionIndex);
        m_shared.record(m_shared.captions.HistoAction);
    }
    layoutKeyDetails(code);
    if (!state.displayBusy) m_owner.treeV_NodeClick(state.currentNodeKey);
}

void KeyPanel::chooseKeyType(int row) {
    if (row < 0 || row >= int(m_shared.types.size())) return;
    const int index = findListIndex(cboTypesActions, m_shared.types[size_t(row)].caption);
    if (index < 0) return;
    cboTypesActions->setCurrentIndex(index);
    onKeyType();
}

void KeyPanel::onDetailChanged() {
    const DisplayState& state = m_shared.state;
    if (state.displayBusy) return;
    const std::optional<QString> value =
        action::keyValue(m_keyCode, {txtDetail[0]->text(), txtDetail[1]->text(), txtDetail[2]->text()});
    if (!value) return;
    const int digit = state.currentKeyDigit;
    m_shared.config.sections.setValue(QString(), MenuValue::forDigit(digit), *value,
                                      state.parentSectionIndex);
    m_shared.config.nodes.setText(state.currentNodeKey, action::keyNodeText(digit, *value, m_shared.types));
    m_shared.record(UndoJournal::LastAction);
}

void KeyPanel::onMenuJump() {
    const DisplayState& state = m_shared.state;
    if (state.displayBusy) return;
    const QString key = m_shared.jumpKeys.value(cboMenuSaut->currentIndex());
    const int digit = state.currentKeyDigit;
    const QString value = action::jumpValue(key);
    m_shared.config.sections.setValue(QString(), MenuValue::forDigit(digit), value, state.parentSectionIndex);
    m_shared.config.nodes.setText(state.currentNodeKey, action::keyNodeText(digit, value, m_shared.types,
                                                                            m_shared.jumpTargetName(key)));
    m_shared.record(UndoJournal::LastAction);
}

void KeyPanel::openKeyPicker() {
    const QString title = withoutColons(lblLibDetail[0]->text());
    if (m_keyCode == Ann)
        m_shared.host.openAnnouncementPicker(title, txtDetail[0]);
    else if (m_keyCode == Trf || m_keyCode == Bvo)
        m_shared.host.openStationPicker(title, m_keyCode, txtDetail[0]);
}

bool KeyPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return DetailPanel::eventFilter(watched, event);
    if (watched == txtDetail[0]) openKeyPicker();
    return true;
}
