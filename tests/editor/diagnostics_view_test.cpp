#include "editor_fixture.h"

#include "editor/node_tree_model.h"

#include <QAction>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using namespace editor_testing;

namespace {

void clickRow(QListView& list, int row) {
    const QModelIndex i = list.model()->index(row, 0);
    list.scrollTo(i);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(i).center());
}

} // namespace

TEST_F(EditorTest, DiagnosticsShowLevelPictureAndColour) {
    frmMain& w = load(QString());
    w.AjouteInfo(QStringLiteral("warned"), 1, QString());
    w.AjouteInfo(QStringLiteral("failed"), 2, QString());
    w.AjouteInfo(QStringLiteral("fine"), 3, QString());
    w.AjouteInfo(QStringLiteral("noted"), 0, QString());
    w.AjouteInfo(QStringLiteral("odd level"), 7, QString());

    const struct {
        int row;
        QColor colour;
        const char* image;
    } rows[] = {
        {0, QColor(27, 97, 0), "Ok"}, {1, QColor(204, 95, 0), "Warning"}, {2, QColor(173, 0, 0), "Erreur"},
        {3, QColor(27, 97, 0), "Ok"}, {4, QColor(0, 0, 0), "Info"},       {5, QColor(0, 0, 0), "Info"},
    };
    const QAbstractItemModel& m = *w.lstDebug->model();
    ASSERT_EQ(m.rowCount(), 6);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        const QModelIndex i = m.index(r.row, 0);
        EXPECT_EQ(i.data(Qt::ForegroundRole).value<QColor>(), r.colour);
        const QIcon expected = w.icons().icon(QString::fromLatin1(r.image));
        EXPECT_EQ(i.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage(),
                  expected.pixmap(16).toImage());
    }
    EXPECT_TRUE(m.index(1, 0).data().toString().endsWith(QStringLiteral(" - warned")));
}

TEST_F(EditorTest, ClickingAFindingSelectsItsNode) {
    frmMain& w = load(writeFile(QStringLiteral("accueil.maa"), workedExample()));
    w.AjouteInfo(QStringLiteral("menu 2"), 2, QStringLiteral("M2"));
    w.AjouteInfo(QStringLiteral("gone"), 2, QStringLiteral("M9"));
    w.AjouteInfo(QStringLiteral("untagged"), 0, QString());
    QSignalSpy clicked(&w, &frmMain::nodeClicked);
    const int last = w.lstDebug->model()->rowCount() - 1;

    clickRow(*w.lstDebug, last - 2);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toString(), QStringLiteral("M2"));
    EXPECT_EQ(w.treeModel().keyOf(w.treeV->currentIndex()), QStringLiteral("M2"));

    clickRow(*w.lstDebug, last - 1);
    clickRow(*w.lstDebug, last);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(w.treeModel().keyOf(w.treeV->currentIndex()), QStringLiteral("M2"));
}

TEST_F(EditorTest, ClickingAFindingShrinksTheEnlargedList) {
    frmMain& w = load(writeFile(QStringLiteral("accueil.maa"), workedExample()));
    w.AjouteInfo(QStringLiteral("menu 1"), 1, QStringLiteral("M1"));
    const int smallHeight = w.lstDebug->height();
    w.picF_Click();
    EXPECT_TRUE(w.debugListLarge());
    EXPECT_GT(w.lstDebug->height(), smallHeight);
    EXPECT_EQ(w.picF->toolTip(), QStringLiteral("Shrink"));

    clickRow(*w.lstDebug, w.lstDebug->model()->rowCount() - 1);
    EXPECT_FALSE(w.debugListLarge());
    EXPECT_EQ(w.lstDebug->height(), smallHeight);
    EXPECT_EQ(w.picF->toolTip(), QStringLiteral("Enlarge"));
}

TEST_F(EditorTest, ClearListEntryLeavesOnlyReady) {
    frmMain& w = load(writeFile(QStringLiteral("accueil.maa"), workedExample()));
    w.AjouteInfo(QStringLiteral("one"), 2, QString());
    EXPECT_EQ(w.mnuEffaceListe->text(), QStringLiteral("Clear the list"));
    EXPECT_TRUE(w.MenuDebug->actions().contains(w.mnuEffaceListe));
    w.mnuEffaceListe->trigger();
    ASSERT_EQ(w.diagnostics().entries().size(), 1);
    EXPECT_EQ(w.diagnostics().entries()[0].message, QStringLiteral("Ready"));
    EXPECT_EQ(w.lstDebug->model()->rowCount(), 1);
}
