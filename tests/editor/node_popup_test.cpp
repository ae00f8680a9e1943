#include "editor/node_popup.h"
#include "editor/tree_view_controller.h"
#include "panel_fixture.h"

#include <QAction>
#include <QMenu>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

namespace {

QStringList visibleItems(const NodePopup& popup) {
    QStringList names;
    for (QAction* a : popup.Menu->actions())
        if (a->isVisible()) names << a->objectName();
    return names;
}

class PopupTest : public PanelTest {
protected:
    NodePopup& popup() {
        if (!m_popup) m_popup = std::make_unique<NodePopup>(panels(), config, ctx, &panels());
        return *m_popup;
    }
    std::unique_ptr<NodePopup> m_popup;
};

TEST_F(PopupTest, ItemsOfEachNodeKind) {
    example::setUpContext(ctx, 2); // tree 2 is active and has no menu
    example::workedExample(config, ctx);
    const QStringList keyItems500 = {"mnuAction1", "mnuAction2", "mnuAction3", "mnuAction4", "mnuAction5",
                                     "mnuAction6", "mnuAction7", "mnuVide2",   "mnuAddMenu"};
    EXPECT_FALSE(popup().prepareMenu("A1")) << "a tree with its start menu gets no pop-up";
    ASSERT_TRUE(popup().prepareMenu("A2"));
    EXPECT_EQ(visibleItems(popup()), QStringList{"mnuAddMenu"});
    EXPECT_EQ(popup().mnuAddMenu->text(), "Add a menu");
    ASSERT_TRUE(popup().prepareMenu("E-M1-4"));
    EXPECT_EQ(visibleItems(popup()), keyItems500);
    EXPECT_EQ(popup().mnuAddMenu->text(), "Sub-menu");
    EXPECT_EQ(popup().mnuAction[6]->text(), "Station voice box");
    ASSERT_TRUE(popup().prepareMenu("M2"));
    EXPECT_EQ(visibleItems(popup()), QStringList{"mnuDelete"});
    EXPECT_FALSE(popup().prepareMenu("K12345"));
    EXPECT_EQ(popup().MenuDebug->actions().value(0)->objectName(), "mnuEffaceListe");
}

TEST_F(PopupTest, KeyOfAnOlderServerOffersFiveActions) {
    ctx.VERSION_500 = false;
    ASSERT_TRUE(popup().prepareMenu("E-M1-4"));
    EXPECT_EQ(visibleItems(popup()), QStringList({"mnuAction1", "mnuAction2", "mnuAction3", "mnuAction4",
                                                  "mnuAction5", "mnuVide2", "mnuAddMenu"}));
}

TEST_F(PopupTest, ActionItemsChooseTheKeyType) {
    click("E-M1-4");
    popup().mnuAction[1]->trigger();
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "trf;");
    EXPECT_EQ(combo("cboTypesActions")->currentText(), "Transfer");
    popup().mnuAction[5]->trigger();
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "bvn");
    EXPECT_EQ(host.steps, QStringList({"Action", "Action"}));
}

TEST_F(PopupTest, AddThenDeleteAStartMenu) {
    click("M1");
    popup().mnuDelete->trigger();
    EXPECT_EQ(config.nodes.childrenOf(config.nodes.find("A1")).size(), 0u);
    EXPECT_EQ(value("A1", TreeValue::menu), "");
    EXPECT_EQ(host.steps.last(), "Menu deleted '1 - Main menu'");
    EXPECT_TRUE(popup().prepareMenu("A1")) << "the tree offers a start menu again";
    popup().mnuAddMenu->trigger();
    EXPECT_EQ(value("A1", TreeValue::menu), "M3");
    EXPECT_EQ(nodeText("M3"), "1 - New menu");
    EXPECT_EQ(host.steps.last(), "Menu added");
}

TEST_F(PopupTest, DiagnosticsListItemIsForwarded) {
    int cleared = 0;
    QObject::connect(&popup(), &NodePopup::effaceListeRequested, [&] { ++cleared; });
    popup().mnuEffaceListe->trigger();
    EXPECT_EQ(cleared, 1);
}

// A tree view over the node tree, standing in for the window's own.
class ControllerTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        example::setUpContext(ctx, 2);
        example::workedExample(config, ctx);
        fill(model.invisibleRootItem());
        view.setModel(&model);
        view.expandAll();
        view.resize(400, 600);
        view.show();
        controller = std::make_unique<TreeViewController>(
            &view, config, panels(), popup(),
            [](const QModelIndex& i) { return i.data(Qt::UserRole).toString(); },
            [this](const QString& key) {
                clicks << key;
                panels().treeV_NodeClick(key);
            });
    }
    void fill(QStandardItem* parent, int id = -1) {
        for (int child : config.nodes.childrenOf(id)) {
            auto* item = new QStandardItem(config.nodes.node(child).text);
            item->setData(config.nodes.node(child).key, Qt::UserRole);
            parent->appendRow(item);
            fill(item, child);
        }
    }
    QModelIndex indexOf(const QString& key) {
        const QModelIndexList found =
            model.match(model.index(0, 0), Qt::UserRole, key, 1, Qt::MatchExactly | Qt::MatchRecursive);
        return found.value(0);
    }
    void rightPress(const QString& key) {
        QTest::mousePress(view.viewport(), Qt::RightButton, {}, view.visualRect(indexOf(key)).center());
    }
    QStandardItemModel model;
    QTreeView view;
    std::unique_ptr<TreeViewController> controller;
    QStringList clicks;
};

TEST_F(ControllerTest, RightPressSelectsTheNodeThenPopsUpItsMenu) {
    rightPress("M2");
    EXPECT_EQ(clicks, QStringList{"M2"});
    EXPECT_EQ(visiblePanel(), 1);
    EXPECT_TRUE(controller->rightClickPending());
    EXPECT_FALSE(popup().Menu->isVisible()) << "not before the delay";
    QTest::qWait(TreeViewController::RightClickDelayMs + 150);
    EXPECT_FALSE(controller->rightClickPending());
    EXPECT_TRUE(popup().Menu->isVisible());
    EXPECT_EQ(visibleItems(popup()), QStringList{"mnuDelete"});
    popup().Menu->hide();
}

TEST_F(ControllerTest, GreyTreeGetsNoPopUp) {
    rightPress("A4");
    QTest::qWait(TreeViewController::RightClickDelayMs + 150);
    EXPECT_FALSE(popup().Menu->isVisible());
    EXPECT_EQ(visiblePanel(), -1);
}

TEST_F(ControllerTest, DeleteKeyOnTheSelectedNode) {
    view.setCurrentIndex(indexOf("E-M1-0"));
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_TRUE(host.steps.isEmpty()) << "an empty action stays as it is";
    view.setCurrentIndex(indexOf("E-M1-3"));
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(value("M1", MenuValue::forDigit(3)), "");
    view.setCurrentIndex(indexOf("M2"));
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(nodeText("E-M1-2"), "2 - ");
    EXPECT_EQ(host.steps, QStringList({"Action", "Menu deleted '2 - Service'"}));
    EXPECT_EQ(host.selected.last(), "A1");
}

} // namespace
