// Filling the detail panels from the section store, and writing every edit back.
#include "editor/node_panels.h"

#include "core/app_context.h"
#include "editor/node_panels_captions.h"
#include "editor/panel_host.h"
#include "editor/panel_support.h"
#include "model/action_value.h"
#include "model/menu_edit.h"
#include "model/verification.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

using panel_support::findListIndex;
using panel_support::leadingDigits;
using panel_support::setCaptionColour;

namespace {

using action::Ann;
using action::Bvo;
using action::Men;
using action::Sau;
using action::Trf;

int indexIgnoringCase(const QStringList& list, const QString& text) {
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).compare(text, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString withoutColons(const QString& caption) {
    QString title = caption;
    return title.remove(QLatin1Char(':'));
}

} // namespace

void NodePanels::setIconProvider(std::function<QIcon(const QString&)> provider) {
    m_icons = std::move(provider);
    for (QLabel* img : imgNoeud)
        if (m_icons) img->setPixmap(m_icons(img->property("imageKey").toString()).pixmap(32, 32));
}

void NodePanels::setNodeImage(const QString& imageKey) {
    imgNoeud[2]->setProperty("imageKey", imageKey);
    if (m_icons) imgNoeud[2]->setPixmap(m_icons(imageKey).pixmap(32, 32));
}

int NodePanels::colourOf(int sectionIndex, int valueIndex, const QString& suffix) const {
    return fieldStateColour(m_config.sections, sectionIndex, valueIndex, suffix);
}

QString NodePanels::codeOfCaption(const QString& caption) const {
    for (const ActionType& type : m_types)
        if (type.caption == caption) return type.code;
    return QString();
}

void NodePanels::record(const QString& label) {
    m_host.setBoolSave(false);
    m_host.addCancel(label, true);
}

// ---- Display -------------------------------------------------------------------------------------------

void NodePanels::treeV_NodeClick(const QString& key) {
    const NodeTree& nodes = m_config.nodes;
    const int id = nodes.find(key);
    if (id < 0) return;
    const TreeNode& node = nodes.node(id);
    const bool isTree = key.startsWith(QLatin1Char('A'));
    m_state.currentNodeKey = key;
    m_state.currentSectionIndex = m_config.sections.findSection(key);
    if (isTree) {
        m_state.parentNodeKey.clear();
    } else {
        m_state.parentNodeKey = node.parent < 0 ? QString() : nodes.node(node.parent).key;
        m_state.parentSectionIndex = m_config.sections.findSection(m_state.parentNodeKey);
    }
    for (QWidget* panel : picNoeud)
        panel->hide();

    const QString digits = leadingDigits(node.text);
    if (!digits.isEmpty() && !isTree) {
        m_state.currentKeyDigit = digits.toInt();
        lblNumTouche->setText(digits);
    } else {
        m_state.currentKeyDigit = -1;
        lblNumTouche->clear();
    }
    if (node.colour == NodeColour::Grey) return;

    fillJumpTargets(id);
    m_state.displayBusy = true;
    if (m_state.currentSectionIndex == 0 && !key.startsWith(QLatin1Char('E'))) {
        m_state.displayBusy = false;
        return;
    }
    if (isTree)
        showTree();
    else if (key.startsWith(QLatin1Char('M')))
        showMenu();
    else if (key.startsWith(QLatin1Char('E')))
        showKey();
    m_state.displayBusy = false;
}

void NodePanels::fillJumpTargets(int nodeId) {
    const NodeTree& nodes = m_config.nodes;
    int treeId = nodeId;
    m_state.nodeDepth = 0;
    while (nodes.node(treeId).parent >= 0) {
        treeId = nodes.node(treeId).parent;
        ++m_state.nodeDepth;
    }
    QStringList labels{QString()};
    m_menuKeys = QStringList{QString()};
    const QString list = menu_edit::getListeMenus(nodes, nodes.node(treeId).key);
    for (const QStringView menu : QStringView(list).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int index = m_config.sections.findSection(menu.toString());
        if (index == 0) continue;
        // The key tells apart two menus of the same name.
        labels << menu.toString() + QStringLiteral(" - ") + m_config.sections.at(index).value(MenuValue::lib);
        m_menuKeys << menu.toString();
    }
    // Only the lists of the panel about to be shown are seen, but all share the positions.
    cboMenuSaut->clear();
    cboMenuSaut->addItems(labels);
    for (QComboBox* combo : cboSautArbre) {
        combo->clear();
        combo->addItems(labels);
    }
}

void NodePanels::showPanel(int index) {
    picNoeud[size_t(index)]->show();
    setScrollV(index);
}

int NodePanels::jumpIndex(const QString& target) {
    if (target.isEmpty()) return 0;
    const int known = indexIgnoringCase(m_menuKeys, target);
    if (known >= 0) return known;
    // A target outside the node's tree (another tree or its menus) is listed so that it shows.
    const std::optional<QString> name = jumpTargetName(target);
    const QString label = name ? target + QStringLiteral(" - ") + *name : target;
    m_menuKeys << target;
    cboMenuSaut->addItem(label);
    for (QComboBox* combo : cboSautArbre)
        combo->addItem(label);
    return int(m_menuKeys.size()) - 1;
}

std::optional<QString> NodePanels::jumpTargetName(const QString& target) const {
    const int index = target.isEmpty() ? 0 : m_config.sections.findSection(target);
    if (index == 0) return std::nullopt;
    return m_config.sections.at(index).value(MenuValue::lib); // the same field for a tree
}

void NodePanels::setScrollV(int index) {
    // The frame decides itself whether the scroll bar is needed; a new node starts at the top.
    QScrollBar* bar = VScrollInfo[size_t(index)];
    bar->setSingleStep(std::max(1, bar->pageStep() / 10));
    bar->setValue(bar->minimum());
    QScrollBar* across = picBlanc[size_t(index)]->horizontalScrollBar();
    across->setValue(across->minimum());
}

void NodePanels::showTree() {
    const int s = m_state.currentSectionIndex;
    const Section& section = m_config.sections.at(s);
    txtLib[0]->setText(section.value(TreeValue::lib));
    for (QCheckBox* box : chkLangues)
        box->setChecked(false);
    for (const QString& n : section.value(TreeValue::langue).split(QLatin1Char(';'))) {
        const int number = n.toInt();
        if (number >= 1 && number <= 4) chkLangues[size_t(number - 1)]->setChecked(true);
    }
    txtArbreAnnonces[1]->setText(section.value(TreeValue::ann1));
    txtArbreAnnonces[2]->setText(section.value(TreeValue::ann2));
    txtRepeat->setText(section.value(TreeValue::rep2));
    setCaptionColour(lblAnnonceAccueil, colourOf(s, TreeValue::ann1));
    setCaptionColour(lblAnnonceLangues, colourOf(s, TreeValue::ann2));
    setCaptionColour(lblRepetition[0], colourOf(s, TreeValue::rep2));

    for (int i = 0; i < 3; ++i) {
        const size_t e = size_t(i);
        const QString value = section.value(TreeValue::exit_trf + i);
        const QString code = action::code(value);
        const int row = action::exitRow(code);
        txtActionsArbre[e]->setText(code == Trf || code == Ann ? action::param(value, 1) : QString());
        cboActionsArbre[e]->setCurrentIndex(
            row < 0 ? -1 : findListIndex(cboActionsArbre[e], m_types[size_t(row)].caption));
        layoutExit(i, code);
        const int colour = colourOf(s, TreeValue::exit_trf + i);
        setCaptionColour(lblCaptionInfo[e], colour);
        setCaptionColour(lblCaptionInfoSaut[e], colour);
        if (code == Sau) cboSautArbre[e]->setCurrentIndex(jumpIndex(action::param(value, 1)));
    }
    showPanel(0);
}

void NodePanels::showMenu() {
    const int s = m_state.currentSectionIndex;
    const Section& section = m_config.sections.at(s);
    txtLib[1]->setText(section.value(MenuValue::lib));
    const QString hor = section.value(MenuValue::hor);
    const int schedule = isNumberField(hor, QString()) ? hor.toInt() : 0;
    cboHoraires->setCurrentIndex(schedule < cboHoraires->count() ? schedule : 0);
    txtAnnonceMenu->setText(section.value(MenuValue::ann));
    txtRepeatMenu->setText(section.value(MenuValue::rep));
    txtSilence->setText(section.value(MenuValue::sil));
    setCaptionColour(lblAnnonceMenu, colourOf(s, MenuValue::ann));
    setCaptionColour(lblRepetition[1], colourOf(s, MenuValue::rep));
    setCaptionColour(lblSilences, colourOf(s, MenuValue::sil));
    showPanel(1);
}

void NodePanels::showKey() {
    const int parent = m_state.parentSectionIndex;
    const int digit = m_state.currentKeyDigit;
    const bool known = parent >= 1 && parent <= m_config.sections.size() && digit >= 0 && digit <= 9;
    const int field = MenuValue::forDigit(digit);
    const QString value = known ? m_config.sections.at(parent).value(field) : QString();
    const QString code = action::code(value);
    const int row = code == Men ? -1 : action::rowOf(code);

    cboTypesActions->setCurrentIndex(row < 0 ? -1
                                             : findListIndex(cboTypesActions, m_types[size_t(row)].caption));
    layoutKeyDetails(code);
    const bool oneParameter = code == Trf || code == Bvo;
    const bool announcement = code == Ann;
    for (int i = 0; i < 3; ++i) {
        const bool used = (i == 0 && oneParameter) || announcement;
        txtDetail[size_t(i)]->setText(used ? action::param(value, i + 1) : QString());
        setCaptionColour(lblLibDetail[size_t(i)], 0);
    }
    if (oneParameter || code == Sau) {
        setCaptionColour(lblLibDetail[0], colourOf(parent, field));
    } else if (announcement) {
        for (int i = 0; i < 3; ++i)
            setCaptionColour(lblLibDetail[size_t(i)],
                             colourOf(parent, field, QString::number(i + 1) + QLatin1Char(';')));
    }
    if (code == Sau) cboMenuSaut->setCurrentIndex(jumpIndex(action::param(value, 1)));
    setNodeImage(action::imageFor(code));
    showPanel(2);
}

// ---- Key panel -----------------------------------------------------------------------------------------

void NodePanels::layoutKeyDetails(const QString& code) {
    m_keyCode = code;
    for (int i = 0; i < 3; ++i) {
        lblLibDetail[size_t(i)]->hide();
        txtDetail[size_t(i)]->hide();
    }
    cboMenuSaut->hide();
    cmdPopup->hide();
    const auto showDetail = [&](int i, const QString& caption) {
        lblLibDetail[size_t(i)]->setText(caption + QStringLiteral(" :"));
        lblLibDetail[size_t(i)]->show();
        txtDetail[size_t(i)]->show();
    };
    if (code == Trf) {
        showDetail(0, m_captions->LblTransfert);
        cmdPopup->show();
    } else if (code == Ann) {
        showDetail(0, m_captions->LblDiffusion);
        showDetail(1, m_captions->LblRepeat);
        showDetail(2, m_captions->LblSilences);
        cmdPopup->show();
    } else if (code == Sau) {
        lblLibDetail[0]->setText(m_captions->LblSautVers + QStringLiteral(" :"));
        lblLibDetail[0]->show();
        cboMenuSaut->show();
        cboMenuSaut->raise();
    } else if (code == Bvo) {
        showDetail(0, m_captions->LblBVO);
        cmdPopup->show();
    }
}

void NodePanels::onKeyType() {
    const QString code = codeOfCaption(cboTypesActions->currentText());
    m_keyCode = code;
    if (code == Men) {
        if (!m_state.displayBusy && !AddMenu(m_state.currentNodeKey, m_state.currentKeyDigit))
            treeV_NodeClick(m_state.currentNodeKey); // nothing added: show the key as it is
        return;
    }
    const int digit = m_state.currentKeyDigit;
    if (!m_state.displayBusy) {
        m_config.nodes.setText(m_state.currentNodeKey, action::keyTypeText(digit, code, m_types));
        m_config.nodes.setImage(m_state.currentNodeKey, action::imageFor(code));
        m_config.sections.setValue(QString(), MenuValue::forDigit(digit), action::keyDefault(code),
                                   m_state.parentSectionIndex);
        record(m_captions->HistoAction);
    }
    layoutKeyDetails(code);
    if (!m_state.displayBusy) treeV_NodeClick(m_state.currentNodeKey);
}

void NodePanels::chooseKeyType(int row) {
    if (row < 0 || row >= int(m_types.size())) return;
    const int index = findListIndex(cboTypesActions, m_types[size_t(row)].caption);
    if (index < 0) return;
    cboTypesActions->setCurrentIndex(index);
    onKeyType();
}

void NodePanels::onDetailChanged() {
    if (m_state.displayBusy) return;
    const std::optional<QString> value =
        action::keyValue(m_keyCode, {txtDetail[0]->text(), txtDetail[1]->text(), txtDetail[2]->text()});
    if (!value) return;
    const int digit = m_state.currentKeyDigit;
    m_config.sections.setValue(QString(), MenuValue::forDigit(digit), *value, m_state.parentSectionIndex);
    m_config.nodes.setText(m_state.currentNodeKey, action::keyNodeText(digit, *value, m_types));
    record(PanelHost::LastAction);
}

void NodePanels::onMenuJump() {
    if (m_state.displayBusy) return;
    const QString key = m_menuKeys.value(cboMenuSaut->currentIndex());
    const int digit = m_state.currentKeyDigit;
    const QString value = action::jumpValue(key);
    m_config.sections.setValue(QString(), MenuValue::forDigit(digit), value, m_state.parentSectionIndex);
    m_config.nodes.setText(m_state.currentNodeKey,
                           action::keyNodeText(digit, value, m_types, jumpTargetName(key)));
    record(PanelHost::LastAction);
}

void NodePanels::openKeyPicker() {
    const QString title = withoutColons(lblLibDetail[0]->text());
    if (m_keyCode == Ann)
        m_host.openAnnouncementPicker(title, txtDetail[0]);
    else if (m_keyCode == Trf || m_keyCode == Bvo)
        m_host.openStationPicker(title, m_keyCode, txtDetail[0]);
}

// ---- Tree and menu panels ------------------------------------------------------------------------------

void NodePanels::onLibChanged(int index) {
    if (m_state.displayBusy) return;
    const QString text = txtLib[size_t(index)]->text();
    m_config.sections.setValue(QString(), MenuValue::lib, text, m_state.currentSectionIndex);
    const TreeNode* node = m_config.nodes.nodeByKey(m_state.currentNodeKey);
    if (node) {
        const QString digits = leadingDigits(node->text);
        m_config.nodes.setText(m_state.currentNodeKey,
                               digits.isEmpty() ? text : digits + QStringLiteral(" - ") + text);
    }
    record(PanelHost::LastAction);
}

void NodePanels::onSectionText(int valueIndex, const QString& text) {
    if (m_state.displayBusy) return;
    m_config.sections.setValue(QString(), valueIndex, text, m_state.currentSectionIndex);
    record(PanelHost::LastAction);
}

void NodePanels::onSchedule(int position) {
    if (m_state.displayBusy) return;
    m_config.sections.setValue(QString(), MenuValue::hor,
                               position <= 0 ? QString() : QString::number(position),
                               m_state.currentSectionIndex);
    record(PanelHost::LastAction);
}

void NodePanels::onLanguage(int index) {
    if (m_state.displayBusy) return;
    QStringList ticked;
    for (int i = 0; i < 4; ++i)
        if (chkLangues[size_t(i)]->isChecked()) ticked << QString::number(i + 1);
    if (ticked.isEmpty()) { // at least one language stays chosen
        chkLangues[size_t(index)]->setChecked(true);
        return;
    }
    m_config.sections.setValue(QString(), TreeValue::langue, ticked.join(QLatin1Char(';')),
                               m_state.currentSectionIndex);
    record(PanelHost::LastAction);
}

void NodePanels::layoutExit(int index, const QString& code) {
    const size_t e = size_t(index);
    m_exitCode[e] = code;
    picInfoSup[e]->hide();
    picSaut[e]->hide();
    if (!m_state.displayBusy) {
        cboSautArbre[e]->setCurrentIndex(0);
        const QSignalBlocker quiet(txtActionsArbre[e]); // the new default value stays as written
        txtActionsArbre[e]->clear();
        setCaptionColour(lblCaptionInfo[e], 0);
        setCaptionColour(lblCaptionInfoSaut[e], 0);
    }
    if (code == Trf || code == Ann) {
        lblCaptionInfo[e]->setText(code == Trf ? m_captions->LblTransfert : m_captions->LblDiffusion);
        picInfoSup[e]->show();
    } else if (code == Sau) {
        lblCaptionInfoSaut[e]->setText(m_captions->LblSautVers);
        picSaut[e]->show();
    }
}

void NodePanels::onExitType(int index) {
    const QString code = codeOfCaption(cboActionsArbre[size_t(index)]->currentText());
    if (!m_state.displayBusy) {
        // A new exit type is no journal step of its own: its first parameter typed will be.
        m_host.setBoolSave(false);
        m_config.sections.setValue(QString(), TreeValue::exit_trf + index, action::exitDefault(code),
                                   m_state.currentSectionIndex);
    }
    layoutExit(index, code);
}

void NodePanels::onExitParameter(int index) {
    if (m_state.displayBusy) return;
    const std::optional<QString> value =
        action::exitValue(m_exitCode[size_t(index)], txtActionsArbre[size_t(index)]->text());
    if (!value) return;
    m_config.sections.setValue(QString(), TreeValue::exit_trf + index, *value, m_state.currentSectionIndex);
    record(PanelHost::LastAction);
}

void NodePanels::onExitJump(int index) {
    if (m_state.displayBusy) return;
    const QString key = m_menuKeys.value(cboSautArbre[size_t(index)]->currentIndex());
    m_config.sections.setValue(QString(), TreeValue::exit_trf + index, action::jumpValue(key),
                               m_state.currentSectionIndex);
    record(PanelHost::LastAction);
}

void NodePanels::openAnnouncementPicker(QLabel* caption, QLineEdit* target) {
    m_host.openAnnouncementPicker(withoutColons(caption->text()), target);
}

void NodePanels::openExitPicker(int index) {
    const size_t e = size_t(index);
    const QString title = lblCaptionInfo[e]->text();
    if (m_exitCode[e] == Ann)
        m_host.openAnnouncementPicker(title, txtActionsArbre[e]);
    else if (m_exitCode[e] == Trf)
        m_host.openStationPicker(title, Trf, txtActionsArbre[e]);
}

bool NodePanels::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return QWidget::eventFilter(watched, event);
    if (watched == txtDetail[0])
        openKeyPicker();
    else if (watched == txtAnnonceMenu)
        openAnnouncementPicker(lblAnnonceMenu, txtAnnonceMenu);
    else if (watched == txtArbreAnnonces[1])
        openAnnouncementPicker(lblAnnonceAccueil, txtArbreAnnonces[1]);
    else if (watched == txtArbreAnnonces[2])
        openAnnouncementPicker(lblAnnonceLangues, txtArbreAnnonces[2]);
    else
        for (int i = 0; i < 3; ++i)
            if (watched == txtActionsArbre[size_t(i)]) openExitPicker(i);
    return true;
}

// ---- Menus ---------------------------------------------------------------------------------------------

bool NodePanels::AddMenu(const QString& key, int digit) {
    if (m_state.nodeDepth > menu_edit::MaxAddDepth) return false;
    const QString menu = menu_edit::AddMenu(m_config, key, digit, m_captions->NoeudMenu);
    if (menu.isEmpty()) return false;
    m_config.nodes.setExpanded(menu, true); // its ten keys are what the user fills next
    m_host.selectNode(menu);
    treeV_NodeClick(menu);
    record(m_captions->HistoMenu);
    return true;
}

void NodePanels::deleteMenu(const QString& key) {
    const TreeNode* node = m_config.nodes.nodeByKey(key);
    if (!node) return;
    const QString text = node->text;
    QString newKey = key;
    if (!menu_edit::SupMenu(m_config, newKey, m_config.sections.findSection(key))) return;
    m_host.setBoolSave(false);
    const QString first = QStringLiteral("A1");
    m_host.selectNode(first);
    treeV_NodeClick(first);
    record(m_captions->HistoDelMenu + QStringLiteral(" '") + text + QLatin1Char('\''));
}

void NodePanels::deleteKeyPressed(const QString& key) {
    if (key.startsWith(QLatin1Char('M'))) {
        deleteMenu(key);
        return;
    }
    if (!key.startsWith(QLatin1Char('E'))) return;
    const int id = m_config.nodes.find(key);
    if (id < 0 || m_config.nodes.node(id).parent < 0) return;
    const int parent = m_config.sections.findSection(m_config.nodes.node(m_config.nodes.node(id).parent).key);
    const QString digits = leadingDigits(m_config.nodes.node(id).text);
    if (parent == 0 || digits.isEmpty()) return;
    const int field = MenuValue::forDigit(digits.toInt());
    if (m_config.sections.at(parent).value(field).isEmpty()) return;
    m_host.setBoolSave(false);
    m_config.nodes.setText(key, action::keyTypeText(digits.toInt(), QString(), m_types));
    m_config.nodes.setImage(key, QStringLiteral("NoAction"));
    m_config.sections.setValue(QString(), field, QString(), parent);
    m_host.addCancel(m_captions->HistoAction, true);
    treeV_NodeClick(key);
}
