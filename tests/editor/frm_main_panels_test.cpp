// The main window with its detail panels, pop-ups and check command, driven as a user drives it.
#include "editor_fixture.h"

#include "editor/frm_postes.h"
#include "editor/node_panels.h"
#include "editor/node_popup.h"
#include "editor/node_tree_model.h"
#include "editor/tree_view_controller.h"
#include "model/action_value.h"
#include "platform/pacing.h"
#include "support/test_support.h"

#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace editor_testing;

namespace {

constexpr int Black = 0;
constexpr int Red = 255;
constexpr int Orange = 33023;

int colourNumber(const QColor& c) {
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

// Calls back at the first pause of a verification, while the run is in progress.
class ProbePacing final : public platform::Pacing {
public:
    std::function<void()> atFirstPause;
    void pause(int) override {
        if (atFirstPause) std::exchange(atFirstPause, nullptr)();
    }
    void processEvents() override {}
};

class MainPanelsTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ASSERT_TRUE(
            ctx.translation.loadFile(testing_support::resourcesDir() + QStringLiteral("/qavo_lg01.txt")));
        ctx.Nb_arbre = 1;
    }

    // The shipped example: tree 1 with M1 (key 1 transfer to 201, key 2 sub-menu M2, key 3 announcement
    // 15) and M2 (operator on key 0); its exit when closed plays announcement 12 without repetitions.
    frmMain& openExample() {
        frmMain& w = load(testing_support::resourcesDir() + QStringLiteral("/examples/accueil.maa"));
        w.setPacing(noPacing);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        return w;
    }

    QString lbl(const char* key) const { return ctx.getLabel(QString::fromLatin1(key)); }
    QModelIndex indexOf(const QString& key) { return window->treeModel().indexForKey(key); }
    QString nodeText(const QString& key) { return indexOf(key).data().toString(); }
    QString nodeImage(const QString& key) { return indexOf(key).data(NodeTreeModel::ImageRole).toString(); }
    int nodeColour(const QString& key) {
        return colourNumber(indexOf(key).data(Qt::ForegroundRole).value<QColor>());
    }
    QString selectedKey() { return window->treeModel().keyOf(window->treeV->currentIndex()); }
    QString value(const char* section, int index) {
        return window->config().sections.value(QString::fromLatin1(section), index);
    }

    QPoint pointOf(const QString& key) {
        const QModelIndex index = indexOf(key);
        EXPECT_TRUE(index.isValid()) << key.toStdString();
        for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
            window->treeV->expand(p);
        window->treeV->scrollTo(index);
        return window->treeV->visualRect(index).center();
    }
    void clickNode(const QString& key) {
        QTest::mouseClick(window->treeV->viewport(), Qt::LeftButton, {}, pointOf(key));
    }
    // A right press on the node; true when the node's pop-up is open once the delay has run out.
    bool rightPress(const QString& key) {
        QMenu* menu = window->nodePopup().Menu;
        menu->hide();
        QTest::mousePress(window->treeV->viewport(), Qt::RightButton, {}, pointOf(key));
        QTimer* delay = window->treeController().tmrBoutonDroit();
        EXPECT_TRUE(delay->isActive()) << "the pop-up waits for the delay";
        for (int waited = 0; waited < 2000 && delay->isActive(); waited += 20)
            QTest::qWait(20);
        return menu->isVisible();
    }
    QStringList visiblePopupItems() {
        QStringList names;
        for (QAction* a : window->nodePopup().Menu->actions())
            if (a->isVisible()) names << a->objectName();
        return names;
    }

    template <typename T> T* panelChild(const char* name) {
        T* w = window->panels().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    bool panelShown(int index) { return window->panels().picNoeud[size_t(index)]->isVisible(); }
    int captionColour(const char* name) {
        return colourNumber(panelChild<QLabel>(name)->palette().color(QPalette::WindowText));
    }
    QStringList debugLines() {
        QStringList lines;
        const QAbstractItemModel* m = window->lstDebug->model();
        for (int r = 0; r < m->rowCount(); ++r)
            lines << m->index(r, 0).data().toString();
        return lines;
    }

    platform::NoPacing noPacing;
};

TEST_F(MainPanelsTest, ClickingANodeShowsThePanelOfItsKind) {
    frmMain& w = openExample();
    EXPECT_TRUE(panelShown(0)) << "tree 1 is shown when the file opens";
    EXPECT_EQ(w.panels().txtLib[0]->text(), QStringLiteral("Accueil général"));

    clickNode(QStringLiteral("M2"));
    EXPECT_TRUE(panelShown(1));
    EXPECT_FALSE(panelShown(0));
    EXPECT_EQ(w.panels().txtLib[1]->text(), QStringLiteral("Service"));
    EXPECT_EQ(w.panels().txtAnnonceMenu->text(), QStringLiteral("13"));

    clickNode(QStringLiteral("E-M1-1"));
    EXPECT_TRUE(panelShown(2));
    EXPECT_EQ(w.panels().lblNumTouche->text(), QStringLiteral("1"));
    EXPECT_EQ(w.panels().cboTypesActions->currentText(), lbl("actTransfert"));
    EXPECT_EQ(w.panels().txtDetail[0]->text(), QStringLiteral("201"));

    // The keyboard moves the selection to the next row, sub-menu M2 on key 2.
    QTest::keyClick(w.treeV, Qt::Key_Down);
    EXPECT_EQ(selectedKey(), QStringLiteral("M2"));
    EXPECT_TRUE(panelShown(1));
    EXPECT_EQ(w.panels().display().currentKeyDigit, 2);
}

TEST_F(MainPanelsTest, GreyTreeShowsNoPanel) {
    openExample();
    clickNode(QStringLiteral("A2"));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(panelShown(i)) << i;
}

TEST_F(MainPanelsTest, CheckColoursNodesFillsTheListAndRedrawsTheSelectedNode) {
    frmMain& w = openExample();
    clickNode(QStringLiteral("E-M1-1"));
    EXPECT_EQ(captionColour("lblLibDetail_0"), Black);

    ASSERT_TRUE(w.mnuValide->isEnabled());
    w.mnuValide->trigger();

    // No station and no announcement on this server: every number is unknown (warnings); the exit
    // when closed lacks its repetitions and silences (errors).
    const struct {
        const char* key;
        int colour;
    } nodes[] = {{"A1", Red},        {"M1", Orange}, {"E-M1-0", Black}, {"E-M1-1", Orange},
                 {"E-M1-3", Orange}, {"M2", Orange}, {"E-M2-0", Black}, {"A2", 8421504}};
    for (const auto& n : nodes)
        EXPECT_EQ(nodeColour(QString::fromLatin1(n.key)), n.colour) << n.key;

    const QString summary = lbl("DebugAnalyseFin") + QStringLiteral(" : 2 ") + lbl("DebugAnalyseErr") +
                            QStringLiteral(" - 6 ") + lbl("DebugAnalyseWar");
    const QStringList lines = debugLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().contains(summary)) << lines.last().toStdString();
    EXPECT_EQ(lines.filter(lbl("DebugAnalyse")).size(), 1) << "one start line";

    // The key shown before the check takes its colours without a new click.
    EXPECT_EQ(selectedKey(), QStringLiteral("E-M1-1"));
    EXPECT_EQ(captionColour("lblLibDetail_0"), Orange);
    EXPECT_FALSE(w.picProgress->isVisible());
    EXPECT_TRUE(w.mnuValide->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    clickNode(QStringLiteral("A1"));
    EXPECT_EQ(captionColour("lblAnnonceAccueil"), Orange);
    EXPECT_EQ(captionColour("lblCaptionInfo_1"), Red) << "exit when closed";
    EXPECT_EQ(captionColour("lblRepetition_0"), Black);
    clickNode(QStringLiteral("E-M1-3"));
    EXPECT_EQ(captionColour("lblLibDetail_0"), Orange) << "announcement number unknown";
    EXPECT_EQ(captionColour("lblLibDetail_1"), Black);
}

TEST_F(MainPanelsTest, CheckInProgressShowsProgressAndRefusesASecondRun) {
    frmMain& w = openExample();
    ProbePacing probe;
    bool progressShown = false, menuEnabled = true, waitCursor = false;
    int secondRun = 0;
    probe.atFirstPause = [&] {
        progressShown = w.picProgress->isVisible() && w.picProgress->value() == 1;
        menuEnabled = w.mnuValide->isEnabled();
        waitCursor =
            QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        w.mnuValide_Click();
        secondRun = w.verifArbo();
    };
    w.setPacing(probe);
    w.mnuValide->trigger();

    EXPECT_TRUE(progressShown);
    EXPECT_FALSE(menuEnabled);
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(secondRun, TreeVerifier::Aborted);
    EXPECT_EQ(debugLines().filter(lbl("DebugAnalyseFin")).size(), 1) << "one run only";
    EXPECT_FALSE(w.picProgress->isVisible());
    EXPECT_TRUE(w.mnuValide->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainPanelsTest, ClickingAFindingShowsItsNodeInThePanels) {
    frmMain& w = openExample();
    w.mnuValide->trigger();
    const QAbstractItemModel* m = w.lstDebug->model();
    int row = -1;
    for (int r = 0; r < m->rowCount(); ++r)
        if (w.diagnostics().entries().value(r).tag == QStringLiteral("E-M1-1")) row = r;
    ASSERT_GE(row, 0);
    clickNode(QStringLiteral("M2"));

    const QModelIndex finding = m->index(row, 0);
    w.lstDebug->scrollTo(finding);
    QTest::mouseClick(w.lstDebug->viewport(), Qt::LeftButton, {}, w.lstDebug->visualRect(finding).center());
    EXPECT_EQ(selectedKey(), QStringLiteral("E-M1-1"));
    EXPECT_TRUE(panelShown(2));
    EXPECT_EQ(w.panels().txtDetail[0]->text(), QStringLiteral("201"));
}

TEST_F(MainPanelsTest, TypeChoiceAndParameterFollowOnSectionNodeAndTitle) {
    frmMain& w = openExample();
    const QString title = w.windowTitle();
    clickNode(QStringLiteral("E-M1-4"));
    QComboBox* types = w.panels().cboTypesActions;
    const int ann = types->findText(lbl("actAnn"));
    ASSERT_GE(ann, 0);
    types->setCurrentIndex(ann);
    emit types->activated(ann);

    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), QStringLiteral("ann;;2;2"));
    EXPECT_EQ(nodeText(QStringLiteral("E-M1-4")),
              QStringLiteral("4 - ") + lbl("actAnn") + QStringLiteral(" ()"));
    EXPECT_EQ(nodeImage(QStringLiteral("E-M1-4")), QStringLiteral("Annonce"));
    EXPECT_FALSE(indexOf(QStringLiteral("E-M1-4")).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(w.windowTitle(), title + QLatin1Char('*'));

    QTest::keyClicks(w.panels().txtDetail[0], QStringLiteral("abc"));
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), QStringLiteral("ann;abc;2;2"));
    EXPECT_EQ(nodeText(QStringLiteral("E-M1-4")),
              QStringLiteral("4 - ") + lbl("actAnn") + QStringLiteral(" (abc)"));
    EXPECT_TRUE(w.mnuSave->isEnabled());
}

TEST_F(MainPanelsTest, SubMenuAddedFromThePopUpAndDeletedAgain) {
    frmMain& w = openExample();
    ASSERT_EQ(w.config().maxNumMenu, 2);

    ASSERT_TRUE(rightPress(QStringLiteral("E-M1-7")));
    EXPECT_EQ(selectedKey(), QStringLiteral("E-M1-7")) << "the press selects the node first";
    EXPECT_EQ(w.nodePopup().mnuAddMenu->text(), lbl("MenuChange"));
    w.nodePopup().mnuAddMenu->trigger();
    w.nodePopup().Menu->hide();

    EXPECT_FALSE(indexOf(QStringLiteral("E-M1-7")).isValid());
    const QModelIndex m3 = indexOf(QStringLiteral("M3"));
    ASSERT_TRUE(m3.isValid());
    EXPECT_EQ(m3.parent(), indexOf(QStringLiteral("M1")));
    EXPECT_EQ(m3.row(), 7);
    EXPECT_EQ(nodeText(QStringLiteral("M3")), QStringLiteral("7 - ") + lbl("NoeudMenu"));
    EXPECT_EQ(value("M1", MenuValue::forDigit(7)), QStringLiteral("men;M3"));
    ASSERT_EQ(w.treeModel().rowCount(m3), 10);
    for (int d = 0; d <= 9; ++d)
        EXPECT_EQ(w.treeModel().index(d, 0, m3).data(NodeTreeModel::KeyRole).toString(),
                  QStringLiteral("E-M3-%1").arg(d));
    EXPECT_EQ(selectedKey(), QStringLiteral("M3"));
    EXPECT_TRUE(panelShown(1));
    EXPECT_EQ(w.panels().txtLib[1]->text(), lbl("NoeudMenu"));
    EXPECT_TRUE(w.windowTitle().endsWith(QLatin1Char('*')));

    ASSERT_TRUE(rightPress(QStringLiteral("M3")));
    EXPECT_EQ(visiblePopupItems(), QStringList{QStringLiteral("mnuDelete")});
    w.nodePopup().mnuDelete->trigger();
    w.nodePopup().Menu->hide();

    EXPECT_FALSE(indexOf(QStringLiteral("M3")).isValid());
    EXPECT_EQ(indexOf(QStringLiteral("E-M1-7")).row(), 7);
    EXPECT_EQ(nodeText(QStringLiteral("E-M1-7")), QStringLiteral("7 - "));
    EXPECT_EQ(value("M1", MenuValue::forDigit(7)), QString());
    EXPECT_EQ(selectedKey(), QStringLiteral("A1"));
    EXPECT_TRUE(panelShown(0));
    EXPECT_EQ(w.config().maxNumMenu, 3) << "the number of a deleted menu is not given again";
}

TEST_F(MainPanelsTest, DeleteKeyClearsAKeyActionAndLeavesAnEmptyOneAlone) {
    frmMain& w = openExample();
    const QString title = w.windowTitle();
    clickNode(QStringLiteral("E-M1-0"));
    QTest::keyClick(w.treeV, Qt::Key_Delete);
    EXPECT_EQ(w.windowTitle(), title) << "an empty action is left alone";

    clickNode(QStringLiteral("E-M1-1"));
    QTest::keyClick(w.treeV, Qt::Key_Delete);
    EXPECT_EQ(value("M1", MenuValue::forDigit(1)), QString());
    EXPECT_EQ(nodeText(QStringLiteral("E-M1-1")), QStringLiteral("1 - ") + lbl("actVide"));
    EXPECT_EQ(nodeImage(QStringLiteral("E-M1-1")), QStringLiteral("NoAction"));
    EXPECT_EQ(w.panels().cboTypesActions->currentText(), lbl("actVide"));
    EXPECT_EQ(w.windowTitle(), title + QLatin1Char('*'));

    clickNode(QStringLiteral("M2"));
    QTest::keyClick(w.treeV, Qt::Key_Delete);
    EXPECT_FALSE(indexOf(QStringLiteral("M2")).isValid());
    EXPECT_EQ(nodeText(QStringLiteral("E-M1-2")), QStringLiteral("2 - "));
    EXPECT_EQ(selectedKey(), QStringLiteral("A1"));
}

TEST_F(MainPanelsTest, PopUpItemsByNodeKindAndServerGeneration) {
    const QStringList five = {"mnuAction1", "mnuAction2", "mnuAction3", "mnuAction4",
                              "mnuAction5", "mnuVide2",   "mnuAddMenu"};
    QStringList seven = five;
    seven.insert(5, QStringLiteral("mnuAction7"));
    seven.insert(5, QStringLiteral("mnuAction6"));
    for (const bool version500 : {true, false}) {
        SCOPED_TRACE(version500 ? "generation 500" : "older server");
        ctx.VERSION_500 = version500;
        ctx.Nb_arbre = 2;
        openExample();
        EXPECT_FALSE(rightPress(QStringLiteral("A1"))) << "tree 1 has its start menu";
        ASSERT_TRUE(rightPress(QStringLiteral("A2")));
        EXPECT_EQ(visiblePopupItems(), QStringList{QStringLiteral("mnuAddMenu")});
        EXPECT_EQ(window->nodePopup().mnuAddMenu->text(), lbl("MenuAdd"));
        ASSERT_TRUE(rightPress(QStringLiteral("E-M1-4")));
        EXPECT_EQ(visiblePopupItems(), version500 ? seven : five);
        ASSERT_TRUE(rightPress(QStringLiteral("M1")));
        EXPECT_EQ(visiblePopupItems(), QStringList{QStringLiteral("mnuDelete")});
        window->nodePopup().Menu->hide();
    }
    ctx.Nb_arbre = 1;
    openExample();
    EXPECT_FALSE(rightPress(QStringLiteral("A3"))) << "a grey tree has no pop-up";
}

TEST_F(MainPanelsTest, DiagnosticsPopUpIsTheOneOfTheNodePopUps) {
    frmMain& w = openExample();
    EXPECT_EQ(w.findChildren<QMenu*>(QStringLiteral("MenuDebug")).size(), 1);
    EXPECT_EQ(w.MenuDebug, w.nodePopup().MenuDebug);
    w.AjouteInfo(QStringLiteral("something"), DiagnosticsSink::Warning, QString());
    w.mnuEffaceListe->trigger();
    EXPECT_EQ(debugLines().filter(QStringLiteral("something")).size(), 0);
}

TEST_F(MainPanelsTest, PickersOpenOnlyWithAListAndWriteTheChoice) {
    frmMain& w = openExample();
    clickNode(QStringLiteral("E-M1-1"));
    QLineEdit* field = w.panels().txtDetail[0];

    // Guard: a box that opens is recorded and closed so that the test cannot hang.
    QString opened;
    auto watch = [&opened] {
        QTimer::singleShot(0, [&opened] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened = modal->objectName();
                modal->close();
            }
        });
    };
    watch();
    QTest::mouseDClick(field, Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_EQ(opened, QString()) << "no station on this server";

    ctx.Stations = {{QStringLiteral("205"), QStringLiteral("Desk"), 1, QString()},
                    {QStringLiteral("206"), QStringLiteral("Hall"), 1, QString()}};
    QString title;
    QTimer::singleShot(0, [&title] {
        auto* picker = qobject_cast<frmPostes*>(QApplication::activeModalWidget());
        if (!picker) return;
        title = picker->windowTitle();
        picker->list()->setCurrentItem(picker->list()->topLevelItem(1));
        picker->choose();
    });
    QTest::mouseDClick(field, Qt::LeftButton);
    EXPECT_EQ(title, lbl("LblTransfert") + QLatin1Char(' ')) << "the field caption without its colon";
    EXPECT_EQ(field->text(), QStringLiteral("206"));
    EXPECT_EQ(value("M1", MenuValue::forDigit(1)), QStringLiteral("trf;206"));
    EXPECT_EQ(nodeText(QStringLiteral("E-M1-1")),
              QStringLiteral("1 - ") + lbl("actTransfert") + QStringLiteral(" (206)"));
}

TEST_F(MainPanelsTest, TreeTakesFortyPercentOfTheWidth) {
    frmMain& w = openExample();
    for (const int width : {900, 1280}) {
        w.resize(width, 760);
        QTest::qWait(10);
        const double share = double(w.treeV->width()) / w.centralWidget()->width();
        EXPECT_NEAR(share, 0.4, 0.03) << width;
        EXPECT_GT(w.picInfos->x(), w.treeV->x() + w.treeV->width());
    }
}

} // namespace
