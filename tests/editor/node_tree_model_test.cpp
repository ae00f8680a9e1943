#include "editor/node_tree_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

struct TreeModelTest : ::testing::Test {
    NodeTree tree;
    NodeIcons icons;
    NodeTreeModel model{tree, icons};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Warning};

    QStringList texts(const QModelIndex& parent = {}) const {
        QStringList out;
        for (int r = 0; r < model.rowCount(parent); ++r)
            out << model.index(r, 0, parent).data().toString();
        return out;
    }
};

} // namespace

TEST_F(TreeModelTest, InsertsAndRemovalsFollowTheTree) {
    tree.CreerNoeud(QStringLiteral("1 - Tree 1"), QStringLiteral("A1"), {}, QStringLiteral("Arbre"));
    tree.CreerNoeud(QStringLiteral("1 - Main"), QStringLiteral("M1"), QStringLiteral("A1"),
                    QStringLiteral("Menu"));
    for (int d = 0; d < 3; ++d)
        tree.CreerNoeud(QStringLiteral("%1 - x").arg(d), QStringLiteral("E-M1-%1").arg(d),
                        QStringLiteral("M1"), QStringLiteral("NoAction"));
    tree.CreerNoeud(QStringLiteral("2 - Tree 2"), QStringLiteral("A2"), {}, QStringLiteral("Arbre"));

    EXPECT_EQ(texts(), (QStringList{QStringLiteral("1 - Tree 1"), QStringLiteral("2 - Tree 2")}));
    const QModelIndex m1 = model.indexForKey(QStringLiteral("M1"));
    EXPECT_EQ(model.parent(m1), model.indexForKey(QStringLiteral("A1")));
    EXPECT_EQ(texts(m1),
              (QStringList{QStringLiteral("0 - x"), QStringLiteral("1 - x"), QStringLiteral("2 - x")}));

    tree.removeNode(QStringLiteral("E-M1-1"));
    EXPECT_EQ(texts(m1), (QStringList{QStringLiteral("0 - x"), QStringLiteral("2 - x")}));
    EXPECT_EQ(model.indexForKey(QStringLiteral("E-M1-2")).row(), 1);

    tree.removeNode(QStringLiteral("A1"));
    EXPECT_EQ(texts(), QStringList{QStringLiteral("2 - Tree 2")});
    EXPECT_FALSE(model.indexForKey(QStringLiteral("M1")).isValid());
}

TEST_F(TreeModelTest, BulkLoadResetsOnceForThousandsOfNodes) {
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    {
        NodeTreeModel::BulkChange bulk(model);
        tree.clear();
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
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.rowCount(model.indexForKey(QStringLiteral("A2"))), 120);
    EXPECT_EQ(model.indexForKey(QStringLiteral("E-M600-9")).data().toString(), QStringLiteral("9"));
}
