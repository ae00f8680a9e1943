#pragma once

#include "editor/node_icons.h"
#include "model/node_tree.h"

#include <QAbstractItemModel>
#include <QColor>

// Shows a NodeTree in a Qt tree view: text, picture by image key, text colour, and the node key as a
// role. It follows every change of the tree through NodeTreeObserver. Loading a whole file goes through
// a BulkChange so that the view is reset once instead of being told of thousands of inserts.
class NodeTreeModel final : public QAbstractItemModel, private NodeTreeObserver {
    Q_OBJECT
public:
    enum Roles {
        KeyRole = Qt::UserRole + 1, // node key ("A1", "M3", "E-M3-5")
        ImageRole,                  // image key ("Menu", "Transfert"...)
        ColourRole,                 // colour number (red + 256 * green + 65536 * blue)
        ExpandedRole,               // the node's expanded flag in the model
    };

    NodeTreeModel(NodeTree& tree, const NodeIcons& icons, QObject* parent = nullptr);
    ~NodeTreeModel() override;

    // Converts a colour number (red + 256 * green + 65536 * blue) to a colour.
    static QColor colourFromNumber(int number);

    QModelIndex indexForKey(const QString& key) const;
    QModelIndex indexForId(int id) const;
    QString keyOf(const QModelIndex& index) const;
    const NodeTree& tree() const { return m_tree; }

    // While alive, per-node notifications are held back; the view is reset once at the end.
    class BulkChange {
    public:
        explicit BulkChange(NodeTreeModel& model);
        ~BulkChange();
        BulkChange(const BulkChange&) = delete;
        BulkChange& operator=(const BulkChange&) = delete;

    private:
        NodeTreeModel& m_model;
    };

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A node was changed in place (text, picture, colour, expanded flag, key): the view re-reads its
    // expanded state from ExpandedRole.
    void nodeUpdated(const QModelIndex& index);

private:
    void beforeInsert(int parentId, int row) override;
    void afterInsert() override;
    void beforeRemove(int parentId, int row) override;
    void afterRemove() override;
    void nodeChanged(int id) override;
    void beforeReset() override;
    void afterReset() override;

    int idOf(const QModelIndex& index) const { return index.isValid() ? int(index.internalId()) : -1; }

    NodeTree& m_tree;
    const NodeIcons& m_icons;
    int m_bulkDepth = 0;
};
