#include "model/menu_edit.h"

#include "model/action_value.h"

#include <QSet>

namespace menu_edit {

namespace {

void addKeyNodes(NodeTree& nodes, const QString& menu) {
    for (int i = 0; i <= 9; ++i)
        nodes.CreerNoeud(QString::number(i) + QStringLiteral(" - "), action::keyNodeKey(menu, i), menu,
                         QStringLiteral("NoAction"));
}

QString digitText(int digit, const QString& label) {
    return QString::number(digit) + QStringLiteral(" - ") + label;
}

// `deleting` holds the menus on the current deletion path, so that a key leading back to a menu
// above it cannot make the deletion loop.
bool deleteMenu(Configuration& config, QString& key, int sectionIndex, QSet<QString>& deleting) {
    SectionStore& store = config.sections;
    if (sectionIndex < 1 || sectionIndex > store.size()) return false;
    const QString parentKey = store.at(sectionIndex).parentKey;
    const int parentIndex = store.findSection(parentKey);
    if (parentIndex == 0 || deleting.contains(key)) return false;
    const QString menuKey = key;
    deleting.insert(menuKey);

    for (int k = 0; k <= 9; ++k) {
        const QString v = store.at(sectionIndex).value(MenuValue::forDigit(k));
        if (action::code(v) != QLatin1String("men")) continue;
        QString sub = action::param(v, 1);
        deleteMenu(config, sub, store.findSection(sub), deleting);
    }

    if (parentKey.startsWith(QLatin1Char('A'))) {
        store.setValue(QString(), TreeValue::menu, QString(), parentIndex);
        config.nodes.removeNode(key);
        store.renameSection(sectionIndex, QString());
    } else if (parentKey.startsWith(QLatin1Char('M'))) {
        const int digit = store.at(sectionIndex).parentDigit;
        if (const TreeNode* node = config.nodes.nodeByKey(key)) {
            const std::vector<int> children = node->children;
            for (int child : children)
                config.nodes.removeNode(config.nodes.node(child).key);
        }
        const QString keyNode = action::keyNodeKey(parentKey, digit);
        config.nodes.rekey(key, keyNode);
        config.nodes.setImage(keyNode, QStringLiteral("NoAction"));
        config.nodes.setText(keyNode, QString::number(digit) + QStringLiteral(" - "));
        store.renameSection(sectionIndex, keyNode);
        store.setValue(QString(), MenuValue::lib, QString(), sectionIndex);
        store.setValue(QString(), MenuValue::forDigit(digit), QString(), parentIndex);
        key = keyNode;
    }
    deleting.remove(menuKey);
    return true;
}

} // namespace

QString AddMenu(Configuration& config, const QString& nodeKey, int digit, const QString& menuLabel) {
    NodeTree& nodes = config.nodes;
    const int id = nodes.find(nodeKey);
    if (id < 0 || nodes.depthOf(id) > MaxAddDepth) return QString();

    const bool onTree = nodeKey.startsWith(QLatin1Char('A'));
    QString parentKey;
    if (onTree) {
        if (!nodes.node(id).children.empty() || config.sections.findSection(nodeKey) == 0) return QString();
    } else if (nodeKey.startsWith(QLatin1Char('E'))) {
        const int parent = nodes.node(id).parent;
        parentKey = parent < 0 ? QString() : nodes.node(parent).key;
        if (!parentKey.startsWith(QLatin1Char('M')) || digit < 0 || digit > 9) return QString();
    } else {
        return QString();
    }

    ++config.maxNumMenu;
    const QString name = QLatin1Char('M') + QString::number(config.maxNumMenu);
    const int index = config.sections.ensureSection(name, digit, onTree ? nodeKey : parentKey);
    config.sections.setValue(name, MenuValue::lib, menuLabel, index);
    config.sections.setValue(name, MenuValue::rep, QStringLiteral("2"), index);
    config.sections.setValue(name, MenuValue::sil, QStringLiteral("2"), index);

    if (onTree) {
        config.sections.setValue(nodeKey, TreeValue::menu, name);
        nodes.CreerNoeud(digitText(1, menuLabel), name, nodeKey, QStringLiteral("Menu"));
        nodes.setExpanded(nodeKey, true);
    } else {
        nodes.rekey(nodeKey, name);
        nodes.setImage(name, QStringLiteral("Menu"));
        nodes.setText(name, digitText(digit, menuLabel));
        config.sections.setValue(parentKey, MenuValue::forDigit(digit), QStringLiteral("men;") + name);
    }
    addKeyNodes(nodes, name);
    return name;
}

bool SupMenu(Configuration& config, QString& nodeKey, int sectionIndex) {
    QSet<QString> deleting;
    return deleteMenu(config, nodeKey, sectionIndex, deleting);
}

namespace {
void collectMenus(const NodeTree& nodes, int id, QString& out) {
    for (int child : nodes.childrenOf(id)) {
        const TreeNode& n = nodes.node(child);
        if (n.key.startsWith(QLatin1Char('M'))) {
            out += n.key;
            out += QLatin1Char(';');
        }
        collectMenus(nodes, child, out);
    }
}
} // namespace

QString getListeMenus(const NodeTree& nodes, const QString& nodeKey) {
    QString out;
    const int id = nodes.find(nodeKey);
    if (id >= 0) collectMenus(nodes, id, out);
    return out;
}

} // namespace menu_edit
