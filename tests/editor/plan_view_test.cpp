// The plan dock beside the panels: it follows the selection and the edits, and exports every tree.
#include "editor/plan_view.h"
#include "window_fixture.h"

#include "flow/flow_fixture.h"
#include "flow/render/plan_picture.h"

#include <QGraphicsView>

using namespace editor_testing;

namespace {

class PlanTest : public WindowTest {
protected:
    PlanView* plan() const { return window->findChild<PlanView*>(); }
    QGraphicsView* canvas() const { return find<QGraphicsView>(QStringLiteral("picPlan")); }
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
    // A node clicked in the tree view: its tree is drawn, its box selected and centred (in tree 1); then a
    // box clicked in the plan: "node|panel" is selected and shown, the box stays selected.
    const std::tuple<QString, int, QString, QString> cases[] = {
        {"M1", 1, "E-M1-1", "E-M1-1|2"},
        {"E-M1-3", 1, "M2", "M2|1"},
        {"M2", 1, "A1:exit_fer", "A1|0"}, // an exit box stands for its tree
        {"E-M1-3", 1, "A1", "A1|0"},
        {"A2", 2, "A2", "A2|0"}, // a single box, not centred: it fits whole in the view
    };
    for (const auto& [node, tree, box, selected] : cases) {
        SCOPED_TRACE(node.toStdString());
        clickNode(node);
        EXPECT_EQ(plan()->selectedBox() + '|' + QString::number(plan()->tree()),
                  node + '|' + QString::number(tree));
        const QPoint offCentre = boxPoint(node, false) - canvas()->viewport()->rect().center();
        EXPECT_TRUE(tree != 1 || offCentre.manhattanLength() <= 3) << offCentre.x() << "," << offCentre.y();
        QTest::mouseClick(canvas()->viewport(), Qt::LeftButton, {}, boxPoint(box));
        EXPECT_EQ(selectedKey() + '|' + QString::number(shownPanel()), selected);
        EXPECT_EQ(plan()->selectedBox(), box);
    }
}

TEST_F(PlanTest, AnEditInAPanelRedrawsOnlyTheBoxItChanges) {
    open();
    // The node, the field typed into and the title or line its box shows.
    const QString cases[][4] = {{"M1", "txtLib_1", "Main desk", "M1 – Main desk"},
                                {"M1", "txtAnnonceMenu", "17", "Announcement 17"},
                                {"E-M1-1", "txtDetail_0", "205", "Transfer to 205"}};
    for (const auto& [node, field, typed, shownLine] : cases) {
        SCOPED_TRACE(field.toStdString());
        clickNode(node);
        auto* edit = find<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        // The plan follows once typing pauses.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const flow::PlanBox* box = plan()->drawnBox(node);
                return box && (box->title == shownLine || box->lines.contains(shownLine));
            },
            2000));
        EXPECT_EQ(plan()->lastRedrawn(), QStringList{node});
    }
}

TEST_F(PlanTest, CheckColoursNodesBoxesAndCaptionsAndFillsTheList) {
    open();
    clickNode("E-M1-1");
    // No station and no announcement on this server: every number is unknown (warnings); the exit
    // when closed lacks its repetitions and silences (errors). "Colour/box state" of three nodes (Black 0,
    // Red 255, Orange 33023; Normal 0, Warning 1, Error 2), colours of key 0 and the grey A2, the closed
    // exit's box, the colour of the key panel's caption.
    const auto states = [this] {
        QStringList out;
        for (const char* n : {"A1", "M1", "E-M1-3"})
            out << QStringLiteral("%1/%2").arg(nodeColour(n)).arg(int(plan()->drawnBox(n)->state));
        return out << QString::number(nodeColour("E-M1-0")) << QString::number(nodeColour("A2"))
                   << QString::number(int(plan()->drawnBox("A1:exit_fer")->state))
                   << QString::number(captionColour("lblLibDetail_0"));
    };
    EXPECT_EQ(states(), QStringList({"0/0", "0/0", "0/0", "0", "8421504", "0", "0"}));
    action("mnuValide")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(states(), QStringList({"255/2", "33023/1", "33023/1", "0", "8421504", "2", "33023"}));
    EXPECT_TRUE(debugLines().last().endsWith("Check finished : 2 error(s) - 6 warning(s)"))
        << debugLines().last().toStdString();

    // The key shown before the check took its colours without a new click.
    clickNode("A1");
    EXPECT_EQ(QList<int>({captionColour("lblCaptionInfo_1"), captionColour("lblRepetition_0")}),
              QList<int>({Red, Black}));
}

TEST_F(PlanTest, AServerInformationFileNamesStationsAndAnnouncementsInLocalMode) {
    ctx.modeLocal = true;
    const QString info =
        writeFile("info.txt", "[General]\r\nNb_arbre=1\r\nversion=900.1\r\n[Annonces]\r\n"
                              "1=15;Hold music;1;1;0;0\r\n[Postes]\r\n1=201;Reception desk;1;\r\n");
    open();
    const auto titles = [this] {
        return plan()->drawnBox("E-M1-1")->title + '|' + plan()->drawnBox("E-M1-3")->title;
    };
    EXPECT_EQ(titles(), "Transfer to 201|Announcement 15");
    prompts.fileNames = {info};
    action(QStringLiteral("mnuInfoServeur"))->trigger();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return titles() == "Transfer to 201 (Reception desk)|Announcement 15 (Hold music)"; }, 2000))
        << titles().toStdString();
    EXPECT_TRUE(find<QLabel>("lblStatutServeur")->text().endsWith(" - info.txt"));

    // A file moved away since is forgotten without a message.
    QFile::remove(info);
    prompts.shown.clear();
    open();
    EXPECT_TRUE(prompts.shown.isEmpty() && !find<QLabel>("lblStatutServeur")->text().contains(" - "));
}

// A tree opens whole in the view; Ctrl+wheel zooms, and Fit shows the whole tree again.
TEST_F(PlanTest, ATreeOpensWholeCtrlWheelZoomsAndFitShowsItAgain) {
    load(plan_test::resource(plan_test::kDemo));
    window->resize(1500, 700);
    window->resizeDocks({find<QDockWidget>("dockPlan")}, {640}, Qt::Horizontal);
    QApplication::processEvents();
    const auto whole = [this] {
        const QRect shown = canvas()->mapFromScene(canvas()->sceneRect()).boundingRect();
        return canvas()->viewport()->rect().adjusted(-1, -1, 1, 1).contains(shown);
    };
    EXPECT_TRUE(whole());
    const double before = plan()->zoom();
    const QPoint centre = canvas()->viewport()->rect().center();
    for (const auto modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
        QWheelEvent wheel(centre, canvas()->viewport()->mapToGlobal(centre), {}, {0, 240}, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas()->viewport(), &wheel);
    }
    EXPECT_NEAR(plan()->zoom(), before * 1.15 * 1.15, 1e-6);
    EXPECT_FALSE(whole());
    find<QToolButton>(QStringLiteral("cmdPlanAjuster"))->click();
    EXPECT_TRUE(whole());
}

// A jump is painted after every box of the picture.
TEST_F(PlanTest, ExportWritesEveryFormatOrSaysWhyNot) {
    open(workedExample("sau;M2"));
    // The name chosen, the start of the file written ("" when none may be) and the failure shown.
    const QString cases[][3] = {{"plan.svg", "<?xml", ""},
                                {"plan.mmd", "flowchart LR", ""},
                                {"plan.dot", "digraph", ""},
                                {"picture", "<?xml", ""}, // a name without extension is an SVG
                                {"missing/plan.pdf", "", "The plan could not be written to plan.pdf."}};
    for (const auto& [name, start, failure] : cases) {
        SCOPED_TRACE(name.toStdString());
        prompts.shown.clear();
        prompts.fileNames = {dir.filePath(name)};
        action(QStringLiteral("mnuExportPlan"))->trigger();
        const QByteArray bytes =
            testing_support::readBytes(dir.filePath(name.contains('.') ? name : name + ".svg"));
        EXPECT_EQ(bytes.left(start.isEmpty() ? 1 : start.size()), start.toLatin1());
        EXPECT_EQ(prompts.shown.size(), failure.isEmpty() ? 1 : 2); // the save dialog, the failure
        EXPECT_EQ(prompts.shown.value(1).text, failure);
    }
    const QByteArray svg = testing_support::readBytes(dir.filePath("plan.svg"));
    qsizetype lastBox = -1;
    for (const char* fill : {"#dcebf8", "#fff6da", "#ffffff", "#f3f0ec", "#fdecea", "#fff1e0"})
        lastBox = std::max(lastBox, svg.lastIndexOf(QByteArray("fill=\"") + fill));
    EXPECT_GT(svg.indexOf("stroke=\"#1e6bb8\""), lastBox);
}

// A jump lies over the box it reaches in the dock; the PDF's pages overlap.
TEST_F(PlanTest, JumpsAreDrawnOverTheBoxesAndPdfPagesOverlapSoThatEveryBoxIsWholeOnOne) {
    open(workedExample("sau;M2"));
    const flow::FlowLayout& shown = plan()->plan();
    const auto jump =
        std::find_if(shown.arrows().begin(), shown.arrows().end(), [](auto& a) { return a.jump; });
    ASSERT_NE(jump, shown.arrows().end());
    const flow::PlanBox& target = shown.boxes()[size_t(jump->to)];
    const auto top = [this](QPointF at) { return canvas()->scene()->items(at).value(0); };
    EXPECT_NE(top(jump->points.back() - QPointF(1, 0)),
              top(QPointF(target.x + target.width / 2, target.y + target.height / 2)));

    // Where a page edge cuts a box, the next page starts with that box: each is whole on one page.
    const auto maximal = plan_test::maximal(1);
    const flow::FlowLayout largest =
        flow::layoutTrees(maximal->config, maximal->ctx, 0, flow::pictureMetrics()).front();
    std::vector<std::pair<double, double>> xs, ys;
    for (const flow::PlanBox& b : largest.boxes()) {
        xs.push_back({b.x, b.x + b.width});
        ys.push_back({b.y, b.y + b.height});
    }
    for (const double page : {900.0, 1500.0}) {
        for (const auto& [spans, total] : {std::pair{xs, largest.width()}, std::pair{ys, largest.height()}}) {
            const std::vector<double> starts = flow::tileStarts(spans, total, page);
            EXPECT_GE(starts.back() + page, total);
            for (const auto& [first, last] : spans)
                EXPECT_TRUE(std::any_of(starts.begin(), starts.end(),
                                        [&](double s) { return s <= first && last <= s + page; }))
                    << first << "-" << last << " on pages of " << page;
        }
    }
}

} // namespace
