// The plan dock beside the panels: it follows the selection and the edits, and exports every tree.
#include "editor/plan_view.h"
#include "window_fixture.h"

#include <QGraphicsView>

using namespace editor_testing;

namespace {

class PlanTest : public WindowTest {
protected:
    PlanView* plan() const { return window->findChild<PlanView*>(); }
    QGraphicsView* canvas() const { return find<QGraphicsView>(QStringLiteral("picPlan")); }
    // Where a box is drawn on the screen, brought into view first.
    QPoint boxPoint(const QString& id, bool bringIntoView = true) {
        const flow::PlanBox* b = plan()->drawnBox(id);
        EXPECT_NE(b, nullptr) << id.toStdString();
        if (!b) return {};
        const QPointF centre(b->x + b->width / 2, b->y + b->height / 2);
        if (bringIntoView) canvas()->centerOn(centre);
        return canvas()->mapFromScene(centre);
    }
};

TEST_F(PlanTest, SelectionGoesBothWaysBetweenTheTreeViewAndThePlan) {
    ctx.Nb_arbre = 2;
    open();
    plan()->setZoom(4); // larger than the view, so that centring shows
    const struct {
        QString node; // clicked in the tree view: its tree is drawn, its box selected and centred
        int tree;
        QString box, boxNode; // then clicked in the plan: its node is selected and its panel shown
        int panel;            // 0 tree, 1 menu, 2 key
    } cases[] = {
        {"M1", 1, "E-M1-1", "E-M1-1", 2},
        {"E-M1-3", 1, "M2", "M2", 1},
        {"M2", 1, "A1:exit_fer", "A1", 0}, // an exit box stands for its tree and stays selected itself
        {"E-M1-3", 1, "A1", "A1", 0},
        {"A2", 2, "A2", "A2", 0}, // a single box, not centred: it fits whole in the view
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node.toStdString());
        clickNode(c.node);
        EXPECT_EQ(plan()->tree(), c.tree);
        EXPECT_EQ(plan()->selectedBox(), c.node);
        const QPoint offCentre = boxPoint(c.node, false) - canvas()->viewport()->rect().center();
        EXPECT_TRUE(c.tree != 1 || offCentre.manhattanLength() <= 3) << offCentre.x() << "," << offCentre.y();
        QTest::mouseClick(canvas()->viewport(), Qt::LeftButton, {}, boxPoint(c.box));
        EXPECT_EQ(selectedKey(), c.boxNode);
        EXPECT_EQ(shownPanel(), c.panel);
        EXPECT_EQ(plan()->selectedBox(), c.box);
    }
}

TEST_F(PlanTest, AnEditInAPanelRedrawsOnlyTheBoxItChanges) {
    open();
    const struct {
        QString node;
        QString field;
        QString typed;
        QString shownLine; // title or line of the node's box
    } cases[] = {
        {"M1", "txtLib_1", "Main desk", "M1 – Main desk"},
        {"M1", "txtAnnonceMenu", "17", "Announcement 17"},
        {"E-M1-1", "txtDetail_0", "205", "Transfer to 205"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        clickNode(c.node);
        auto* edit = panel<QLineEdit>(c.field);
        edit->selectAll();
        QTest::keyClicks(edit, c.typed);
        // The plan follows once typing pauses.
        const auto shown = [&] {
            const flow::PlanBox* box = plan()->drawnBox(c.node);
            return box && (box->title == c.shownLine || box->lines.contains(c.shownLine));
        };
        EXPECT_TRUE(QTest::qWaitFor(shown, 2000));
        EXPECT_EQ(plan()->lastRedrawn(), QStringList{c.node});
    }
}

TEST_F(PlanTest, CheckColoursNodesBoxesAndCaptionsAndFillsTheList) {
    open();
    clickNode("E-M1-1");
    EXPECT_EQ(captionColour("lblLibDetail_0"), Black);
    // No station and no announcement on this server: every number is unknown (warnings); the exit
    // when closed lacks its repetitions and silences (errors).
    const struct {
        const char* key;
        int colour;
        flow::BoxState box;
    } nodes[] = {{"A1", Red, flow::BoxState::Error},
                 {"M1", Orange, flow::BoxState::Warning},
                 {"E-M1-3", Orange, flow::BoxState::Warning}};
    for (const auto& n : nodes)
        EXPECT_EQ(plan()->drawnBox(n.key)->state, flow::BoxState::Normal) << n.key;
    action("mnuValide")->trigger();
    QApplication::processEvents();
    for (const auto& n : nodes) {
        EXPECT_EQ(nodeColour(n.key), n.colour) << n.key;
        EXPECT_EQ(plan()->drawnBox(n.key)->state, n.box) << n.key;
    }
    EXPECT_EQ(nodeColour("E-M1-0"), Black);
    EXPECT_EQ(nodeColour("A2"), Grey);
    EXPECT_EQ(plan()->drawnBox("A1:exit_fer")->state, flow::BoxState::Error);
    EXPECT_TRUE(debugLines().last().endsWith("Checked : 2 errors - 6 warnings"))
        << debugLines().last().toStdString();

    // The key shown before the check takes its colours without a new click.
    EXPECT_EQ(captionColour("lblLibDetail_0"), Orange);
    clickNode("A1");
    EXPECT_EQ(captionColour("lblCaptionInfo_1"), Red);
    EXPECT_EQ(captionColour("lblRepetition_0"), Black);
}

TEST_F(PlanTest, AServerInformationFileNamesStationsAndAnnouncementsInLocalMode) {
    ctx.modeLocal = true;
    const QString info =
        writeFile("info.txt", "[General]\r\nNb_arbre=1\r\nversion=900.1\r\n[Annonces]\r\n"
                              "1=15;Hold music;1;1;0;0\r\n[Postes]\r\n1=201;Reception desk;1;\r\n");
    open();
    EXPECT_EQ(plan()->drawnBox("E-M1-1")->title, "Transfer to 201");
    prompts.fileNames = {info};
    action(QStringLiteral("mnuInfoServeur"))->trigger();
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return plan()->drawnBox("E-M1-1")->title.contains("Reception"); }, 2000));
    EXPECT_EQ(plan()->drawnBox("E-M1-1")->title, "Transfer to 201 (Reception desk)");
    EXPECT_EQ(plan()->drawnBox("E-M1-3")->title, "Announcement 15 (Hold music)");
    EXPECT_TRUE(find<QLabel>("lblStatutServeur")->text().endsWith(" - info.txt"));

    // A file moved away since is forgotten without a message.
    QFile::remove(info);
    prompts.shown.clear();
    open();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_FALSE(find<QLabel>("lblStatutServeur")->text().contains(" - "));
}

TEST_F(PlanTest, CtrlWheelZoomsAndFitShowsTheWholePlan) {
    open();
    const double before = plan()->zoom();
    const QPoint centre = canvas()->viewport()->rect().center();
    for (const auto modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
        QWheelEvent wheel(centre, canvas()->viewport()->mapToGlobal(centre), {}, {0, 240}, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas()->viewport(), &wheel);
    }
    EXPECT_NEAR(plan()->zoom(), before * 1.15 * 1.15, 1e-6);
    find<QToolButton>(QStringLiteral("cmdPlanAjuster"))->click();
    const QRect shown = canvas()->mapFromScene(canvas()->sceneRect()).boundingRect();
    EXPECT_TRUE(canvas()->viewport()->rect().adjusted(-1, -1, 1, 1).contains(shown));
}

TEST_F(PlanTest, ExportWritesEveryFormatOrSaysWhyNot) {
    open();
    const struct {
        QString name;
        QByteArray start; // "" when nothing may be written
        QString critical;
    } cases[] = {
        {"plan.svg", "<?xml", ""},
        {"plan.pdf", "%PDF-", ""},
        {"plan.png", "\x89PNG", ""},
        {"plan.mmd", "flowchart LR", ""},
        {"plan.dot", "digraph", ""},
        {"picture", "<?xml", ""}, // a name without extension is an SVG
        {"missing/plan.pdf", "", "The plan could not be written to plan.pdf."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        prompts.shown.clear();
        prompts.fileNames = {dir.filePath(c.name)};
        action(QStringLiteral("mnuExportPlan"))->trigger();
        const QString written = dir.filePath(c.name.contains('.') ? c.name : c.name + QStringLiteral(".svg"));
        const QByteArray bytes = testing_support::readBytes(written);
        EXPECT_TRUE(bytes.startsWith(c.start)) << bytes.left(20).toStdString();
        EXPECT_EQ(c.start.isEmpty(), bytes.isEmpty());
        EXPECT_EQ(prompts.shown.size(), c.critical.isEmpty() ? 1 : 2); // the save dialog, the failure
        EXPECT_EQ(prompts.shown.value(1).text, c.critical);
    }
}

} // namespace
