#include "model/menu_edit.h"

#include "model/example_tree.h"
#include "support/qt_print.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QStringList childKeys(const Configuration& c, const QString& key) {
    QStringList out;
    for (int id : c.nodes.childrenOf(c.nodes.find(key)))
        out << c.nodes.node(id).key;
    return out;
}

class MenuEdit : public ::testing::Test {
protected:
    void SetUp() override {
        example::setUpContext(ctx, 2);
        // Tree 1 starts at M3, tree 2 has no menu; menus up to M12 were loaded before.
        example::build(config, ctx, {{1, {"Reception", "", "", "2", "1", "M3"}}},
                       {{"M3", example::menuValues("Main", "", "11", {{1, "trf;201"}})}});
        config.maxNumMenu = 12;
    }
    QString add(const QString& key, int digit) { return menu_edit::AddMenu(config, key, digit, "New menu"); }
    bool remove(QString key) { return menu_edit::SupMenu(config, key, config.sections.findSection(key)); }
    QString text(const QString& key) const {
        const TreeNode* n = config.nodes.nodeByKey(key);
        return n ? n->text + '|' + n->image : QString();
    }

    AppContext ctx;
    Configuration config;
};

TEST_F(MenuEdit, StartMenuOfATreeIsAddedOnlyWhenItHasNoneAndDeletingItEmptiesTheTree) {
    EXPECT_EQ(add("A1", -1), "") << "tree 1 already has its start menu";
    EXPECT_EQ(add("A2", -1), "M13");
    EXPECT_EQ(config.sections.value("A2", TreeValue::menu), "M13");
    EXPECT_EQ(childKeys(config, "A2"), QStringList{"M13"});
    EXPECT_TRUE(remove("M3"));
    EXPECT_TRUE(childKeys(config, "A1").isEmpty());
    EXPECT_EQ(config.sections.value("A1", TreeValue::menu), "");
    EXPECT_EQ(add("A1", -1), "M14") << "the tree takes a start menu again";
}

TEST_F(MenuEdit, DeletingAMenuRemovesEveryLevelBelowItAndNothingElse) {
    add("E-M3-2", 2);  // M13 at depth 2
    add("E-M13-5", 5); // M14 at depth 3
    ASSERT_EQ(config.nodes.depthOf(config.nodes.find("E-M14-0")), 4);
    const int nodes = config.nodes.count();
    EXPECT_EQ(add("E-M14-0", 0), "") << "no fourth level";
    EXPECT_EQ(config.nodes.count(), nodes);
    EXPECT_EQ(config.sections.value("M14", MenuValue::forDigit(0)), "");
    add("E-M3-4", 4); // M15, a sibling that must survive
    EXPECT_EQ(config.maxNumMenu, 15);
    remove("M13");
    for (const char* gone : {"M13", "M14", "E-M13-5", "E-M14-0"})
        EXPECT_FALSE(config.nodes.noeudExiste(gone)) << gone;
    EXPECT_EQ(config.sections.findSection("M14"), 0);
    EXPECT_EQ(config.sections.value("M3", MenuValue::forDigit(4)), "men;M15");
    EXPECT_EQ(config.nodes.count(), 5 + 1 + 10 + 10);
}

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
