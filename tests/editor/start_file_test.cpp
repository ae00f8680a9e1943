#include "editor_fixture.h"

#include "editor/node_tree_model.h"

#include <QAction>
#include <QFileInfo>
#include <QTreeView>

using namespace editor_testing;

namespace {

QStringList messages(const DiagnosticsList& list) {
    QStringList out;
    for (const DiagnosticEntry& e : list.entries())
        out << e.message;
    return out;
}

} // namespace

TEST_F(EditorTest, NoStartFileLeavesTheEditorEmptyAndQuiet) {
    frmMain& w = load(QString());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QAVO Editor"));
    EXPECT_TRUE(w.picClose->isVisible());
    EXPECT_TRUE(w.config().boolSave);
    EXPECT_EQ(messages(w.diagnostics()), QStringList{QStringLiteral("Ready")});
    for (QAction* a :
         {w.mnuClose, w.mnuSave, w.mnuSaveAs, w.mnuEnvoi, w.mnuValide, w.mnuHoraires, w.mnuParam})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(w.mnuRecup->isEnabled());
    EXPECT_TRUE(w.mnuNew->isEnabled());
    EXPECT_TRUE(w.imgModeLocal->isVisible());
    EXPECT_EQ(w.lblStatutServeur->text(), QStringLiteral("Offline"));
}

TEST_F(EditorTest, NoStartFileOnlineKeepsFetchAndReset) {
    ctx.modeLocal = false;
    frmMain& w = load(QString());
    EXPECT_TRUE(w.mnuRecup->isEnabled());
    EXPECT_TRUE(w.mnuReset->isEnabled());
    EXPECT_FALSE(w.mnuEnvoi->isEnabled());
}

TEST_F(EditorTest, StartFilePathIsOpenedAndReported) {
    const QString path = writeFile(QStringLiteral("accueil.maa"), workedExample());
    frmMain& w = load(path);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QAVO Editor - ") + path);
    EXPECT_FALSE(w.picClose->isVisible());
    EXPECT_EQ(messages(w.diagnostics()),
              (QStringList{QStringLiteral("Ready"), QStringLiteral("Opened \"") + path + QLatin1Char('"')}));
}

TEST_F(EditorTest, NewMarkerMakesAndSavesTheServerCopyQuietly) {
    ctx.modeLocal = false;
    ctx.HADDR = QStringLiteral("srv");
    frmMain& w = load(QStringLiteral("$$NEW$$"));
    const QString serverCopy = ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa");

    EXPECT_TRUE(ctx.fileAOuvrir.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(serverCopy));
    EXPECT_EQ(w.config().fileCourant, serverCopy);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QAVO Editor - ") + serverCopy);
    EXPECT_TRUE(w.config().boolSave);
    EXPECT_FALSE(w.mnuSave->isEnabled());
    EXPECT_TRUE(w.mnuEnvoi->isEnabled());
    EXPECT_EQ(messages(w.diagnostics()), QStringList{QStringLiteral("Ready")});
    EXPECT_EQ(w.treeModel().indexForKey(QStringLiteral("A1")).data().toString(),
              QStringLiteral("1 - Tree 1"));
    EXPECT_EQ(w.treeV->model()->rowCount(), 5);
    // Later reports are no longer silenced.
    w.AjouteInfo(QStringLiteral("after"), 0, QString());
    EXPECT_EQ(w.diagnostics().entries().size(), 2);
}
