#include "model/node_tree.h"
#include "support/qt_print.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

TEST(NodeTree, TakenOrEmptyKeyGetsARandomStandIn) {
    NodeTree tree;
    tree.CreerNoeud("1 - One", "A1", "", "Arbre");
    for (const QString& requested : {QStringLiteral("A1"), QString()}) {
        const QString key = tree.CreerNoeud("text", requested, "A1", "Menu");
        EXPECT_TRUE(QRegularExpression("^K[0-9]+$").match(key).hasMatch()) << key.toStdString();
        ASSERT_NE(tree.nodeByKey(key), nullptr);
        EXPECT_EQ(tree.node(tree.nodeByKey(key)->parent).key, "A1");
    }
    EXPECT_EQ(tree.nodeByKey("A1")->text, "1 - One");
    EXPECT_EQ(tree.count(), 3);
}

} // namespace
