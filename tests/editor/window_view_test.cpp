// The main window's tree view, title, start file and diagnostics list.
#include "window_fixture.h"

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
        {"M1", "1 - Main menu", "Menu"},
        {"E-M1-0", "0 - No action", "NoAction"},
        {"E-M1-1", "1 - Transfer (201)", "Transfert"},
        {"M2", "2 - Service", "Menu"},
        {"E-M1-3", "3 - Announcement (15)", "Annonce"},
        {"E-M2-0", "0 - Operator", "Standard"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.key);
        EXPECT_EQ(nodeText(r.key), r.text);
        EXPECT_EQ(nodeImage(r.key), r.image);
    }
    EXPECT_EQ(m->rowCount(indexOf("M1")), 10);
    EXPECT_EQ(indexOf("M2").row(), 2);
    EXPECT_EQ(nodeColour("A1"), Black);
    EXPECT_TRUE(w.treeV->isExpanded(indexOf("A1")));
    for (const char* tree : {"A2", "A5"}) {
        SCOPED_TRACE(tree);
        EXPECT_EQ(nodeColour(tree), Grey);
        EXPECT_EQ(m->rowCount(indexOf(tree)), 0);
    }
}

TEST_F(WindowTest, StartWithoutFileLeavesTheEditorEmptyAndQuiet) {
    ctx.modeLocal = false;
    ctx.HADDR = QStringLiteral("10.1.2.3");
    frmMain& w = load(QString());
    EXPECT_EQ(w.windowTitle(), "QAVO Editor");
    EXPECT_TRUE(w.picClose->isVisible());
    EXPECT_EQ(messages(w.diagnostics()), QStringList{"Ready"});
    for (QAction* a : {w.mnuSave, w.mnuValide, w.mnuParam})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(w.mnuRecup->isEnabled()) << "online, the server's tree can be fetched";
    EXPECT_EQ(w.lblStatutServeur->text(), "Connected to 10.1.2.3");
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
    frmMain& w = load(QStringLiteral("$$NEW$$"));
    EXPECT_TRUE(QFileInfo::exists(ctx.fileServeur));
    EXPECT_EQ(w.config().fileCourant, ctx.fileServeur);
    EXPECT_FALSE(titleMarked());
    EXPECT_TRUE(w.mnuEnvoi->isEnabled());
    EXPECT_EQ(messages(w.diagnostics()), QStringList{"Ready"});
    EXPECT_EQ(nodeText("A1"), "1 - Tree 1");
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
        EXPECT_TRUE(w.config().fileCourant.isEmpty());
        EXPECT_TRUE(w.picClose->isVisible());
    }
}

TEST_F(WindowTest, ClickingAFindingShowsItsNode) {
    frmMain& w = open();
    w.AjouteInfo("menu 2", 2, "M2");
    w.AjouteInfo("gone", 2, "M9");
    EXPECT_EQ(w.lstDebug->model()->index(2, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(173, 0, 0))
        << "an error";
    const int last = w.lstDebug->model()->rowCount() - 1;
    clickRow(w.lstDebug, last - 1);
    EXPECT_EQ(selectedKey(), "M2");
    EXPECT_EQ(shownPanel(), 1);
    EXPECT_EQ(panel<QLineEdit>("txtLib_1")->text(), "Service");

    clickRow(w.lstDebug, last); // its node is gone
    EXPECT_EQ(selectedKey(), "M2");
}

} // namespace
