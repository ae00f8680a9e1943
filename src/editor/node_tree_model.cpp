#include "editor/node_tree_model.h"

NodeTreeModel::NodeTreeModel(NodeTree& tree, const NodeIcons& icons, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree), m_icons(icons) {
    m_tree.setObserver(this);
}

NodeTreeModel::~NodeTreeModel() {
    m_tree.setObserver(nullptr);
}

QColor NodeTreeModel::colourFromNumber(int number) {
    return QColor(number & 0xff, (number >> 8) & 0xff, (number >> 16) & 0xff);
}

QModelIndex NodeTreeModel::indexForId(int id) const {
    if (id < 0) return {};
    return createIndex(m_tree.rowOf(id), 0, quintptr(id));
}

QModelIndex NodeTreeModel::indexForKey(const QString& key) const {
    return indexForId(m_tree.find(key));
}

QString NodeTreeModel::keyOf(const QModelIndex& index) const {
    return index.isValid() ? m_tree.node(idOf(index)).key : QString();
}

QModelIndex NodeTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const std::vector<int>& children = m_tree.childrenOf(idOf(parent));
    if (size_t(row) >= children.size()) return {};
    return createIndex(row, 0, quintptr(children[size_t(row)]));
}

QModelIndex NodeTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    return indexForId(m_tree.node(idOf(child)).parent);
}

int NodeTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return int(m_tree.childrenOf(idOf(parent)).size());
}

int NodeTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant NodeTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const TreeNode& n = m_tree.node(idOf(index));
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return n.text;
    case Qt::DecorationRole:
        return m_icons.icon(n.image);
    case Qt::ForegroundRole:
        return colourFromNumber(n.colour);
    case KeyRole:
        return n.key;
    case ImageRole:
        return n.image;
    case ColourRole:
        return n.colour;
    case ExpandedRole:
        return n.expanded;
    default:
        return {};
    }
}

Qt::ItemFlags NodeTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

NodeTreeModel::BulkChange::BulkChange(NodeTreeModel& model) : m_model(model) {
    if (m_model.m_bulkDepth++ == 0) m_model.beginResetModel();
}

NodeTreeModel::BulkChange::~BulkChange() {
    if (--m_model.m_bulkDepth == 0) m_model.endResetModel();
}

void NodeTreeModel::beforeInsert(int parentId, int row) {
    if (m_bulkDepth == 0) beginInsertRows(indexForId(parentId), row, row);
}

void NodeTreeModel::afterInsert() {
    if (m_bulkDepth == 0) endInsertRows();
}

void NodeTreeModel::beforeRemove(int parentId, int row) {
    if (m_bulkDepth == 0) beginRemoveRows(indexForId(parentId), row, row);
}

void NodeTreeModel::afterRemove() {
    if (m_bulkDepth == 0) endRemoveRows();
}

void NodeTreeModel::nodeChanged(int id) {
    if (m_bulkDepth > 0) return;
    const QModelIndex i = indexForId(id);
    emit dataChanged(i, i);
    emit nodeUpdated(i);
}

void NodeTreeModel::beforeReset() {
    if (m_bulkDepth == 0) beginResetModel();
}

void NodeTreeModel::afterReset() {
    if (m_bulkDepth == 0) endResetModel();
}
