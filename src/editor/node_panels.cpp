// Which panel shows a node, and the menu commands that change the tree around the panels.
#include "editor/node_panels.h"

#include "core/app_context.h"
#include "editor/key_panel.h"
#include "editor/menu_panel.h"
#include "editor/panel_host.h"
#include "editor/panel_support.h"
#include "editor/tree_panel.h"
#include "model/action_value.h"
#include "model/menu_edit.h"

#include <QVBoxLayout>

using panel_support::leadingDigits;

NodePanels::NodePanels(Configuration& config, const AppContext& ctx, PanelHost& host, QWidget* parent)
    : QWidget(parent), m_shared(std::make_unique<PanelContext>(config, ctx, host)) {
    setObjectName(QStringLiteral("picInfos"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tree = new TreePanel(*m_shared, this);
    m_menu = new MenuPanel(*m_shared, this);
    m_key = new KeyPanel(*m_shared, *this);
    for (DetailPanel* panel : std::initializer_list<DetailPanel*>{m_tree, m_menu, m_key}) {
        layout->addWidget(panel);
        panel->hide();
    }
}

NodePanels::~NodePanels() = default;

void NodePanels::setIconProvider(std::function<QIcon(const QString&)> provider) {
    m_shared->icons = std::move(provider);
    for (DetailPanel* panel : std::initializer_list<DetailPanel*>{m_tree, m_menu, m_key})
        panel->refreshImage();
}

void NodePanels::treeV_NodeClick(const QString& key) {
    const Configuration& config = m_shared->config;
    DisplayState& state = m_shared->state;
    const int id = config.nodes.find(key);
    if (id < 0) return;
    const TreeNode& node = config.nodes.node(id);
    const bool isTree = key.startsWith(QLatin1Char('A'));
    state.currentNodeKey = key;
    state.currentSectionIndex = config.sections.findSection(key);
    if (isTree) {
        state.parentNodeKey.clear();
    } else {
        state.parentNodeKey = node.parent < 0 ? QString() : config.nodes.node(node.parent).key;
        state.parentSectionIndex = config.sections.findSection(state.parentNodeKey);
    }
    m_tree->hide();
    m_menu->hide();
    m_key->hide();

    const QString digits = isTree ? QString() : leadingDigits(node.text);
    state.currentKeyDigit = digits.isEmpty() ? -1 : digits.toInt();
    m_key->setKeyDigit(digits);
    if (node.colour == NodeColour::Grey) return;

    fillJumpTargets(id);
    if (state.currentSectionIndex == 0 && !key.startsWith(QLatin1Char('E'))) return;
    DetailPanel* panel = isTree                             ? static_cast<DetailPanel*>(m_tree)
                         : key.startsWith(QLatin1Char('M')) ? static_cast<DetailPanel*>(m_menu)
                         : key.startsWith(QLatin1Char('E')) ? static_cast<DetailPanel*>(m_key)
                                                            : nullptr;
    if (!panel) return;
    state.displayBusy = true;
    panel->showNode();
    state.displayBusy = false;
}

void NodePanels::fillJumpTargets(int nodeId) {
    const Configuration& config = m_shared->config;
    const NodeTree& nodes = config.nodes;
    int treeId = nodeId;
    m_shared->state.nodeDepth = 0;
    while (nodes.node(treeId).parent >= 0) {
        treeId = nodes.node(treeId).parent;
        ++m_shared->state.nodeDepth;
    }
    QStringList& keys = m_shared->jumpKeys;
    QStringList& labels = m_shared->jumpLabels;
    keys = QStringList{QString()};
    labels = QStringList{QString()};
    const QString list = menu_edit::getListeMenus(nodes, nodes.node(treeId).key);
    for (const QStringView menu : QStringView(list).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString menuKey = menu.toString();
        const int index = config.sections.findSection(menuKey);
        if (index == 0) continue;
        // The key tells apart two menus of the same name.
        labels << menuKey + QStringLiteral(" - ") + config.sections.at(index).value(MenuValue::lib);
        keys << menuKey;
    }
}

// ---- Menus ---------------------------------------------------------------------------------------------

bool NodePanels::AddMenu(const QString& key, int digit) {
    Configuration& config = m_shared->config;
    if (m_shared->state.nodeDepth > menu_edit::MaxAddDepth) return false;
    const QString menu = menu_edit::AddMenu(config, key, digit, m_shared->captions.NoeudMenu);
    if (menu.isEmpty()) return false;
    config.nodes.setExpanded(menu, true); // its ten keys are what the user fills next
    m_shared->host.selectNode(menu);
    treeV_NodeClick(menu);
    m_shared->record(m_shared->captions.HistoMenu);
    return true;
}

void NodePanels::deleteMenu(const QString& key) {
    Configuration& config = m_shared->config;
    const TreeNode* node = config.nodes.nodeByKey(key);
    if (!node) return;
    const QString text = node->text;
    QString newKey = key;
    if (!menu_edit::SupMenu(config, newKey, config.sections.findSection(key))) return;
    m_shared->host.setBoolSave(false);
    const QString first = QStringLiteral("A1");
    m_shared->host.selectNode(first);
    treeV_NodeClick(first);
    m_shared->record(m_shared->captions.HistoDelMenu + QStringLiteral(" '") + text + QLatin1Char('\''));
}

void NodePanels::deleteKeyPressed(const QString& key) {
    if (key.startsWith(QLatin1Char('M'))) {
        deleteMenu(key);
        return;
    }
    if (!key.startsWith(QLatin1Char('E'))) return;
    Configuration& config = m_shared->config;
    const int id = config.nodes.find(key);
    if (id < 0 || config.nodes.node(id).parent < 0) return;
    const int parent = config.sections.findSection(config.nodes.node(config.nodes.node(id).parent).key);
    const QString digits = leadingDigits(config.nodes.node(id).text);
    if (parent == 0 || digits.isEmpty()) return;
    const int field = MenuValue::forDigit(digits.toInt());
    if (config.sections.at(parent).value(field).isEmpty()) return;
    m_shared->host.setBoolSave(false);
    config.nodes.setText(key, action::keyTypeText(digits.toInt(), QString(), m_shared->types));
    config.nodes.setImage(key, QStringLiteral("NoAction"));
    config.sections.setValue(QString(), field, QString(), parent);
    m_shared->host.addCancel(m_shared->captions.HistoAction, true);
    treeV_NodeClick(key);
}

void NodePanels::chooseKeyType(int row) {
    m_key->chooseKeyType(row);
}
