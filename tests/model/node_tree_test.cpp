#include "model/node_tree.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QStringList keys(const NodeTree& tree, const std::vector<int>& ids) {
    QStringList out;
    for (int id : ids)
        out << tree.node(id).key;
    return out;
}

TEST(NodeTree, TakenOrEmptyKeyGetsARandomStandIn) {
    NodeTree tree;
    tree.CreerNoeud("1 - One", "A1", "", "Arbre");
    for (const QString& requested : {QStringLiteral("A1"), QString()}) {
        const QString key = tree.CreerNoeud("text", requested, "A1", "Menu");
        EXPECT_TRUE(QRegularExpression("^K[0-9]+$").match(key).hasMatch()) << key.toStdString();
        const TreeNode* n = tree.nodeByKey(key);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->text, "text");
        EXPECT_EQ(n->image, "Menu");
        EXPECT_EQ(tree.node(n->parent).key, "A1");
    }
    EXPECT_EQ(tree.nodeByKey("A1")->text, "1 - One");
    EXPECT_EQ(tree.count(), 3);
}

TEST(NodeTree, SavingOrderIsInsertionAndViewOrderIsDepthFirst) {
    NodeTree tree;
    tree.CreerNoeud("", "A1", "", "");
    tree.CreerNoeud("", "A2", "", "");
    tree.CreerNoeud("", "M1", "A1", "");
    tree.CreerNoeud("", "E-M1-0", "M1", "");
    EXPECT_EQ(keys(tree, tree.insertionOrder()), QStringList({"A1", "A2", "M1", "E-M1-0"}));
    EXPECT_EQ(keys(tree, tree.displayOrder()), QStringList({"A1", "M1", "E-M1-0", "A2"}));
    EXPECT_EQ(tree.depthOf(tree.find("E-M1-0")), 2);
}

TEST(NodeTree, RekeyKeepsPlaceChildrenAndRefusesTakenKeys) {
    NodeTree tree;
    tree.CreerNoeud("", "A1", "", "");
    tree.CreerNoeud("k0", "E-M1-0", "A1", "");
    tree.CreerNoeud("k1", "E-M1-1", "A1", "");
    tree.CreerNoeud("leaf", "E-M9-0", "E-M1-0", "");
    ASSERT_TRUE(tree.rekey("E-M1-0", "M2"));
    EXPECT_FALSE(tree.noeudExiste("E-M1-0"));
    EXPECT_EQ(keys(tree, tree.displayOrder()), QStringList({"A1", "M2", "E-M9-0", "E-M1-1"}));
    EXPECT_EQ(tree.nodeByKey("M2")->text, "k0");
    EXPECT_FALSE(tree.rekey("M2", "E-M1-1"));
    EXPECT_FALSE(tree.rekey("nope", "X"));
    EXPECT_EQ(tree.nodeByKey("M2")->text, "k0");
}

TEST(NodeTree, RemovingANodeRemovesItsDescendants) {
    NodeTree tree;
    tree.CreerNoeud("", "A1", "", "");
    tree.CreerNoeud("", "M1", "A1", "");
    tree.CreerNoeud("", "E-M1-0", "M1", "");
    tree.CreerNoeud("", "A2", "", "");
    tree.removeNode("M1");
    EXPECT_FALSE(tree.noeudExiste("E-M1-0"));
    EXPECT_EQ(keys(tree, tree.insertionOrder()), QStringList({"A1", "A2"}));
    EXPECT_EQ(tree.count(), 2);
    // The key is free again.
    EXPECT_EQ(tree.CreerNoeud("", "M1", "A2", ""), "M1");
}

} // namespace
