// The main window's tree view, title, commands and diagnostics list.
#include "window_fixture.h"

#include <QSignalSpy>

using namespace editor_testing;

namespace {

QStringList messages(const DiagnosticsList& list) {
    QStringList out;
    for (const DiagnosticEntry& e : list.entries())
        out << e.message;
    return out;
}

TEST_F(WindowTest, WorkedExampleRowsAndGreyInactiveTrees) {
    frmMain& w = open();
    const QAbstractItemModel* m = w.treeV->model();
    EXPECT_EQ(rowTexts(m),
              (QStringList{"1 - Reception", "2 - Tree 2", "3 - Tree 3", "4 - Tree 4", "5 - Tree 5"}));
    const struct {
        const char* key;
        const char* text;
        const char* image;
    } rows[] = {
        {"A1", "1 - Reception", "Arbre"},        {"M1", "1 - Main menu", "Menu"},
        {"E-M1-0", "0 - No action", "NoAction"}, {"E-M1-1", "1 - Transfer (201)", "Transfert"},
        {"M2", "2 - Service", "Menu"},           {"E-M1-3", "3 - Announcement (15)", "Annonce"},
        {"E-M1-9", "9 - No action", "NoAction"}, {"E-M2-0", "0 - Operator", "Standard"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.key);
        EXPECT_EQ(nodeText(r.key), r.text);
        EXPECT_EQ(nodeImage(r.key), r.image);
        EXPECT_FALSE(indexOf(r.key).data(Qt::DecorationRole).value<QIcon>().isNull());
    }
    EXPECT_EQ(m->rowCount(indexOf("M1")), 10);
    EXPECT_EQ(indexOf("M2").row(), 2);
    EXPECT_EQ(nodeColour("A1"), Black);
    EXPECT_TRUE(w.treeV->isExpanded(indexOf("A1")));
    for (const char* tree : {"A2", "A3", "A4", "A5"}) {
        SCOPED_TRACE(tree);
        EXPECT_EQ(nodeColour(tree), Grey);
        EXPECT_EQ(m->rowCount(indexOf(tree)), 0);
        EXPECT_FALSE(w.treeV->isExpanded(indexOf(tree)));
    }
    // The expanded state, which the tree file keeps, follows the view both ways.
    w.treeV->collapse(indexOf("M1"));
    EXPECT_FALSE(w.config().nodes.nodeByKey("M1")->expanded);
    w.config().nodes.setExpanded("M1", true);
    EXPECT_TRUE(w.treeV->isExpanded(indexOf("M1")));
}

TEST_F(WindowTest, StartWithoutFileLeavesTheEditorEmptyAndQuiet) {
    for (const bool local : {true, false}) {
        SCOPED_TRACE(local ? "local" : "online");
        ctx.modeLocal = local;
        ctx.HADDR = QStringLiteral("10.1.2.3");
        frmMain& w = load(QString());
        EXPECT_EQ(w.windowTitle(), "QAVO Editor");
        EXPECT_TRUE(w.picClose->isVisible());
        EXPECT_EQ(messages(w.diagnostics()), QStringList{"Ready"});
        for (QAction* a :
             {w.mnuClose, w.mnuSave, w.mnuSaveAs, w.mnuEnvoi, w.mnuValide, w.mnuHoraires, w.mnuParam})
            EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
        EXPECT_EQ(w.mnuRecup->isEnabled(), !local);
        EXPECT_EQ(w.mnuReset->isEnabled(), !local);
        EXPECT_EQ(w.imgModeLocal->isVisible(), local);
        EXPECT_EQ(w.imgModeServeur->isVisible(), !local);
        EXPECT_EQ(w.lblStatutServeur->text(), local ? "Offline" : "Connected to 10.1.2.3");
        EXPECT_TRUE(recentMenu().isEmpty());
        EXPECT_FALSE(w.mnuVide2->isVisible()) << "no recent file, no separator";

        w.OuvertureFichierArbre(dir.filePath("none.maa")); // a missing file is ignored
        EXPECT_EQ(w.windowTitle(), "QAVO Editor");
        EXPECT_TRUE(prompts.shown.isEmpty());
    }
}

TEST_F(WindowTest, StartFileIsOpenedAndReported) {
    const QString path = writeFile("accueil.maa", workedExample());
    frmMain& w = load(path);
    EXPECT_EQ(w.windowTitle(), "QAVO Editor - " + path);
    EXPECT_FALSE(w.picClose->isVisible());
    EXPECT_EQ(messages(w.diagnostics()), (QStringList{"Ready", "Opened \"" + path + '"'}));
    EXPECT_EQ(selectedKey(), "A1");
    EXPECT_EQ(shownPanel(), 0);

    // The server's copy is titled with the server's address.
    ctx.modeLocal = false;
    ctx.HADDR = QStringLiteral("10.1.2.3");
    writeFile("A.A/TMP/ArbreSERVEUR.maa", workedExample());
    EXPECT_EQ(load(ctx.fileServeur).windowTitle(), "QAVO Editor - 10.1.2.3");
}

TEST_F(WindowTest, NewMarkerMakesAndSavesTheServerCopyQuietly) {
    ctx.modeLocal = false;
    ctx.HADDR = QStringLiteral("srv");
    frmMain& w = load(QStringLiteral("$$NEW$$"));
    EXPECT_TRUE(ctx.fileAOuvrir.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(ctx.fileServeur));
    EXPECT_EQ(w.config().fileCourant, ctx.fileServeur);
    EXPECT_EQ(w.windowTitle(), "QAVO Editor - " + ctx.fileServeur);
    EXPECT_FALSE(titleMarked());
    EXPECT_FALSE(w.mnuSave->isEnabled());
    EXPECT_TRUE(w.mnuEnvoi->isEnabled());
    EXPECT_EQ(messages(w.diagnostics()), QStringList{"Ready"});
    EXPECT_EQ(nodeText("A1"), "1 - Tree 1");
    EXPECT_EQ(w.treeV->model()->rowCount(), 5);
    w.AjouteInfo("after", 0, QString()); // later reports are no longer silenced
    EXPECT_EQ(w.diagnostics().entries().size(), 2);
}

TEST_F(WindowTest, SetBoolSaveKeepsOneMarkAndEnablesCommandsByMode) {
    for (const bool local : {true, false}) {
        SCOPED_TRACE(local ? "local" : "online");
        ctx.modeLocal = local;
        frmMain& w = open();
        const QString title = w.windowTitle();
        w.setBoolSave(false);
        w.setBoolSave(false);
        EXPECT_EQ(w.windowTitle(), title + '*');
        EXPECT_TRUE(w.mnuSave->isEnabled());
        EXPECT_TRUE(w.toolButton("Enregistrer")->isEnabled());
        for (QAction* a : {w.mnuSaveAs, w.mnuClose, w.mnuValide, w.mnuHoraires, w.mnuParam})
            EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
        for (QAction* a : {w.mnuEnvoi, w.mnuRecup, w.mnuReset, w.mnuVoies})
            EXPECT_EQ(a->isEnabled(), !local) << a->objectName().toStdString();
        w.setBoolSave(true);
        EXPECT_EQ(w.windowTitle(), title);
        EXPECT_FALSE(w.mnuSave->isEnabled());
    }
}

TEST_F(WindowTest, VoiceBoxesAreRefusedOnOldServersOnly) {
    for (const bool version500 : {false, true}) {
        SCOPED_TRACE(version500 ? "generation 500" : "older server");
        ctx.VERSION_500 = version500;
        prompts.shown.clear();
        frmMain& w = load(QString());
        w.OuvertureFichierArbre(writeFile("bv.maa", workedExample("bvo;201")));
        if (version500) {
            EXPECT_TRUE(prompts.shown.isEmpty());
            EXPECT_EQ(nodeText("E-M1-9"), "9 - Station voice box (201)");
            continue;
        }
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].kind, "critical");
        EXPECT_EQ(prompts.shown[0].text, "ERROR - VERSION");
        EXPECT_EQ(prompts.shown[0].title, "QAVO");
        EXPECT_EQ(w.windowTitle(), "QAVO Editor");
        EXPECT_TRUE(w.config().fileCourant.isEmpty());
        EXPECT_TRUE(w.picClose->isVisible());
    }
}

TEST_F(WindowTest, DiagnosticsShowLevelPictureAndColour) {
    frmMain& w = load(QString());
    for (const int level : {1, 2, 3, 0, 7})
        w.AjouteInfo(QStringLiteral("level %1").arg(level), short(level), QString());
    const struct {
        QColor colour;
        const char* image;
    } rows[] = {
        {QColor(27, 97, 0), "Ok"}, {QColor(204, 95, 0), "Warning"}, {QColor(173, 0, 0), "Erreur"},
        {QColor(27, 97, 0), "Ok"}, {QColor(0, 0, 0), "Info"},       {QColor(0, 0, 0), "Info"},
    };
    const QAbstractItemModel& m = *w.lstDebug->model();
    ASSERT_EQ(m.rowCount(), 6);
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        const QModelIndex i = m.index(row, 0);
        EXPECT_EQ(i.data(Qt::ForegroundRole).value<QColor>(), rows[row].colour);
        EXPECT_EQ(i.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage(),
                  w.icons().icon(rows[row].image).pixmap(16).toImage());
    }
    EXPECT_TRUE(m.index(1, 0).data().toString().endsWith(" - level 1"));

    // The list's pop-up is the one of the node pop-ups; its only item leaves "Ready".
    EXPECT_EQ(w.findChildren<QMenu*>("MenuDebug").size(), 1);
    EXPECT_EQ(w.mnuEffaceListe->text(), "Clear the list");
    EXPECT_TRUE(w.MenuDebug->actions().contains(w.mnuEffaceListe));
    w.mnuEffaceListe->trigger();
    EXPECT_EQ(debugLines().size(), 1);
    EXPECT_EQ(messages(w.diagnostics()), QStringList{"Ready"});
}

TEST_F(WindowTest, ClickingAFindingShowsItsNodeAndShrinksTheList) {
    frmMain& w = open();
    w.AjouteInfo("menu 2", 2, "M2");
    w.AjouteInfo("gone", 2, "M9");
    w.AjouteInfo("untagged", 0, QString());
    QSignalSpy clicked(&w, &frmMain::nodeClicked);
    const int smallHeight = w.lstDebug->height();
    w.picF_Click();
    EXPECT_GT(w.lstDebug->height(), smallHeight);
    EXPECT_EQ(w.picF->toolTip(), "Shrink");

    const int last = w.lstDebug->model()->rowCount() - 1;
    clickRow(w.lstDebug, last - 2);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(selectedKey(), "M2");
    EXPECT_EQ(shownPanel(), 1);
    EXPECT_EQ(w.panels().txtLib[1]->text(), "Service");
    EXPECT_EQ(w.lstDebug->height(), smallHeight);
    EXPECT_EQ(w.picF->toolTip(), "Enlarge");

    clickRow(w.lstDebug, last - 1); // its node is gone
    clickRow(w.lstDebug, last);     // no node
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(selectedKey(), "M2");
}

} // namespace
