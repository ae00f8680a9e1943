#include "editor/node_tree_model.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(NodeTreeModel, BulkLoadResetsOnceForThousandsOfNodes) {
    NodeTree tree;
    NodeIcons icons;
    NodeTreeModel model{tree, icons};
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    {
        NodeTreeModel::BulkChange bulk(model);
        for (int a = 1; a <= 5; ++a)
            tree.CreerNoeud(QString::number(a), QStringLiteral("A%1").arg(a), {}, QStringLiteral("Arbre"));
        for (int m = 1; m <= 600; ++m) {
            const QString menu = QStringLiteral("M%1").arg(m);
            tree.CreerNoeud(menu, menu, QStringLiteral("A%1").arg(1 + m % 5), QStringLiteral("Menu"));
            for (int d = 0; d < 10; ++d)
                tree.CreerNoeud(QString::number(d), QStringLiteral("E-%1-%2").arg(menu).arg(d), menu,
                                QStringLiteral("NoAction"));
        }
    }
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0);
    EXPECT_EQ(model.rowCount(model.indexForKey(QStringLiteral("A2"))), 120);
    EXPECT_EQ(model.indexForKey(QStringLiteral("E-M600-9")).data().toString(), QStringLiteral("9"));
}
