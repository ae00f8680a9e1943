// The plan dock beside the panels: it follows the selection and the edits, and exports every tree.
#include "editor/plan_view.h"
#include "window_fixture.h"

#include <QGraphicsView>

using namespace editor_testing;

namespace {

class PlanTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // The plan's own captions, as the program ships them.
        const QByteArray english =
            testing_support::readBytes(QStringLiteral(QAVO_RESOURCES "/qavo_lg01.txt"));
        ctx.translation.setText(windowLabels() + QString::fromLatin1(english.mid(english.indexOf("[PLAN]"))));
    }
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

TEST_F(PlanTest, ClickingABoxSelectsItsNodeAndShowsItsPanel) {
    open();
    const struct {
        QString box;
        QString node;
        int panel; // 0 tree, 1 menu, 2 key
    } cases[] = {
        {"M2", "M2", 1},
        {"E-M1-1", "E-M1-1", 2},
        {"A1:exit_fer", "A1", 0}, // an exit box stands for its tree and stays selected itself
        {"A1", "A1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box.toStdString());
        QTest::mouseClick(canvas()->viewport(), Qt::LeftButton, {}, boxPoint(c.box));
        EXPECT_EQ(selectedKey(), c.node);
        EXPECT_EQ(shownPanel(), c.panel);
        EXPECT_EQ(plan()->selectedBox(), c.box);
    }
}

TEST_F(PlanTest, SelectingANodeShowsItsTreeWithItsBoxCentred) {
    ctx.Nb_arbre = 2;
    open();
    plan()->setZoom(4); // larger than the view, so that centring shows
    const struct {
        QString node;
        int tree;
        QString box;
        bool centred; // tree 2's single box fits whole in the view
    } cases[] = {
        {"M1", 1, "M1", true},
        {"E-M1-3", 1, "E-M1-3", true},
        {"M2", 1, "M2", true},
        {"A2", 2, "A2", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node.toStdString());
        clickNode(c.node);
        EXPECT_EQ(plan()->tree(), c.tree);
        EXPECT_EQ(plan()->selectedBox(), c.box);
        if (c.centred) {
            const QPoint offCentre = boxPoint(c.box, false) - canvas()->viewport()->rect().center();
            EXPECT_LE(offCentre.manhattanLength(), 3) << offCentre.x() << "," << offCentre.y();
        }
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

TEST_F(PlanTest, ACheckColoursTheBoxesOfItsFindings) {
    open();
    const struct {
        QString box;
        flow::BoxState state;
    } cases[] = {
        {"A1", flow::BoxState::Error},
        {"A1:exit_fer", flow::BoxState::Error}, // its announcement lacks repetitions and silences
        {"M1", flow::BoxState::Warning},
        {"E-M1-3", flow::BoxState::Warning}, // an announcement the server does not list
    };
    for (const auto& c : cases)
        EXPECT_EQ(plan()->drawnBox(c.box)->state, flow::BoxState::Normal) << c.box.toStdString();
    action(QStringLiteral("mnuValide"))->trigger();
    QApplication::processEvents();
    for (const auto& c : cases)
        EXPECT_EQ(plan()->drawnBox(c.box)->state, c.state) << c.box.toStdString();
}

TEST_F(PlanTest, ServerListsLoadedNameTheStationsAndAnnouncements) {
    open();
    EXPECT_EQ(plan()->drawnBox("E-M1-1")->title, "Transfer to 201");
    prompts.fileNames = {writeFile("qavo_general.txt",
                                   "[General]\r\nNb_arbre=1\r\nversion=900.1\r\n[Annonces]\r\n"
                                   "1=15;Hold music;1;1;0;0\r\n[Postes]\r\n1=201;Reception desk;1;\r\n")};
    action(QStringLiteral("mnuInfoServeur"))->trigger();
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return plan()->drawnBox("E-M1-1")->title.contains("Reception"); }, 2000));
    EXPECT_EQ(plan()->drawnBox("E-M1-1")->title, "Transfer to 201 (Reception desk)");
    EXPECT_EQ(plan()->drawnBox("E-M1-3")->title, "Announcement 15 (Hold music)");
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
