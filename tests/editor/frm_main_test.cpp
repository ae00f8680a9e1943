#include "editor_fixture.h"

#include "editor/node_tree_model.h"

#include <QAction>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using namespace editor_testing;

namespace {

QStringList childTexts(const QAbstractItemModel& m, const QModelIndex& parent) {
    QStringList out;
    for (int r = 0; r < m.rowCount(parent); ++r)
        out << m.index(r, 0, parent).data().toString();
    return out;
}

QModelIndex childWithKey(const QAbstractItemModel& m, const QModelIndex& parent, const QString& key) {
    for (int r = 0; r < m.rowCount(parent); ++r) {
        const QModelIndex i = m.index(r, 0, parent);
        if (i.data(NodeTreeModel::KeyRole).toString() == key) return i;
    }
    return {};
}

QColor foreground(const QModelIndex& i) {
    return i.data(Qt::ForegroundRole).value<QColor>();
}

} // namespace

TEST_F(EditorTest, WorkedExampleShowsTreesMenusAndKeys) {
    ctx.Nb_arbre = 1;
    frmMain& w = load(writeFile(QStringLiteral("accueil.maa"), workedExample()));
    const QAbstractItemModel& m = *w.treeV->model();

    EXPECT_EQ(childTexts(m, {}), (QStringList{QStringLiteral("1 - Reception"), QStringLiteral("2 - Tree 2"),
                                              QStringLiteral("3 - Tree 3"), QStringLiteral("4 - Tree 4"),
                                              QStringLiteral("5 - Tree 5")}));
    const QModelIndex a1 = m.index(0, 0);
    EXPECT_EQ(a1.data(NodeTreeModel::ImageRole).toString(), QStringLiteral("Arbre"));
    const QModelIndex m1 = childWithKey(m, a1, QStringLiteral("M1"));
    ASSERT_TRUE(m1.isValid());
    EXPECT_EQ(m1.data().toString(), QStringLiteral("1 - Main menu"));
    EXPECT_EQ(m1.data(NodeTreeModel::ImageRole).toString(), QStringLiteral("Menu"));

    const struct {
        const char* key;
        const char* text;
        const char* image;
    } keys[] = {
        {"E-M1-0", "0 - No action", "NoAction"}, {"E-M1-1", "1 - Transfer (201)", "Transfert"},
        {"M2", "2 - Service", "Menu"},           {"E-M1-3", "3 - Announcement (15)", "Annonce"},
        {"E-M1-4", "4 - No action", "NoAction"}, {"E-M1-9", "9 - No action", "NoAction"},
    };
    EXPECT_EQ(m.rowCount(m1), 10);
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        const QModelIndex i = childWithKey(m, m1, QString::fromLatin1(k.key));
        ASSERT_TRUE(i.isValid());
        EXPECT_EQ(i.data().toString(), QString::fromLatin1(k.text));
        EXPECT_EQ(i.data(NodeTreeModel::ImageRole).toString(), QString::fromLatin1(k.image));
        EXPECT_FALSE(i.data(Qt::DecorationRole).value<QIcon>().isNull());
    }
    const QModelIndex m2 = childWithKey(m, m1, QStringLiteral("M2"));
    EXPECT_EQ(childWithKey(m, m2, QStringLiteral("E-M2-0")).data().toString(),
              QStringLiteral("0 - Operator"));
    EXPECT_EQ(childWithKey(m, m2, QStringLiteral("E-M2-0")).data(NodeTreeModel::ImageRole).toString(),
              QStringLiteral("Standard"));
}

TEST_F(EditorTest, TreesAboveTheActiveCountAreGreyAndEmpty) {
    ctx.Nb_arbre = 1;
    frmMain& w = load(writeFile(QStringLiteral("accueil.maa"), workedExample()));
    const QAbstractItemModel& m = *w.treeV->model();
    EXPECT_EQ(foreground(m.index(0, 0)), QColor(0, 0, 0));
    EXPECT_TRUE(w.treeV->isExpanded(m.index(0, 0)));
    for (int row = 1; row < 5; ++row) {
        SCOPED_TRACE(row);
        const QModelIndex tree = m.index(row, 0);
        EXPECT_EQ(foreground(tree), QColor(128, 128, 128));
        EXPECT_EQ(m.rowCount(tree), 0);
        EXPECT_FALSE(w.treeV->isExpanded(tree));
    }
}

TEST_F(EditorTest, NodeColourChangesReachTheView) {
    frmMain& w = load(writeFile(QStringLiteral("accueil.maa"), workedExample()));
    w.config().nodes.setColour(QStringLiteral("E-M1-1"), NodeColour::Red);
    w.config().nodes.setColour(QStringLiteral("E-M1-3"), NodeColour::Orange);
    const NodeTreeModel& m = w.treeModel();
    EXPECT_EQ(foreground(m.indexForKey(QStringLiteral("E-M1-1"))), QColor(255, 0, 0));
    EXPECT_EQ(foreground(m.indexForKey(QStringLiteral("E-M1-3"))), QColor(255, 128, 0));
}

TEST_F(EditorTest, ExpandedStateFollowsTheModelBothWays) {
    frmMain& w = load(writeFile(QStringLiteral("accueil.maa"), workedExample()));
    const QModelIndex m1 = w.treeModel().indexForKey(QStringLiteral("M1"));
    w.treeV->collapse(m1);
    EXPECT_FALSE(w.config().nodes.nodeByKey(QStringLiteral("M1"))->expanded);
    w.config().nodes.setExpanded(QStringLiteral("M1"), true);
    EXPECT_TRUE(w.treeV->isExpanded(m1));
}

TEST_F(EditorTest, OpeningSetsTitleSelectsFirstTreeAndStartsTheJournal) {
    QStringList journal;
    ctx.fileAOuvrir.clear();
    window = std::make_unique<frmMain>(ctx, prompts);
    window->setUndoJournalHooks({[&] { journal << QStringLiteral("clear"); },
                                 [&](const QString& caption) { journal << caption; },
                                 {}});
    QSignalSpy clicked(window.get(), &frmMain::nodeClicked);
    const QString path = writeFile(QStringLiteral("accueil.maa"), workedExample());
    window->OuvertureFichierArbre(path);

    EXPECT_EQ(window->windowTitle(), QStringLiteral("QAVO Editor - ") + path);
    EXPECT_EQ(window->config().fileCourant, path);
    EXPECT_EQ(window->treeModel().keyOf(window->treeV->currentIndex()), QStringLiteral("A1"));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toString(), QStringLiteral("A1"));
    EXPECT_EQ(journal, (QStringList{QStringLiteral("clear"), QStringLiteral("Start")}));
}

TEST_F(EditorTest, ServerCopyTitleShowsTheServerAddress) {
    ctx.modeLocal = false;
    ctx.HADDR = QStringLiteral("10.1.2.3");
    writeFile(QStringLiteral("A.A/TMP/ArbreSERVEUR.maa"), workedExample());
    frmMain& w = load(ctx.fileServeur);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QAVO Editor - 10.1.2.3"));
    EXPECT_EQ(w.lblStatutServeur->text(), QStringLiteral("Connected to 10.1.2.3"));
    EXPECT_TRUE(w.imgModeServeur->isVisible());
    EXPECT_FALSE(w.imgModeLocal->isVisible());
}

TEST_F(EditorTest, SetBoolSaveKeepsOneMarkAndEnablesCommandsByMode) {
    for (const bool local : {true, false}) {
        SCOPED_TRACE(local ? "local" : "online");
        ctx.modeLocal = local;
        frmMain& w = load(writeFile(QStringLiteral("accueil.maa"), workedExample()));
        const QString title = w.windowTitle();

        w.setBoolSave(false);
        w.setBoolSave(false);
        EXPECT_EQ(w.windowTitle(), title + QLatin1Char('*'));
        EXPECT_TRUE(w.mnuSave->isEnabled());
        EXPECT_TRUE(w.toolButton(QStringLiteral("Enregistrer"))->isEnabled());
        for (QAction* a : {w.mnuSaveAs, w.mnuClose, w.mnuValide, w.mnuHoraires, w.mnuParam})
            EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
        for (QAction* a : {w.mnuEnvoi, w.mnuRecup, w.mnuReset})
            EXPECT_EQ(a->isEnabled(), !local) << a->objectName().toStdString();
        EXPECT_EQ(w.mnuVoies->isEnabled(), !local);
        EXPECT_FALSE(w.picClose->isVisible());

        w.setBoolSave(true);
        EXPECT_EQ(w.windowTitle(), title);
        EXPECT_FALSE(w.mnuSave->isEnabled());
    }
}

TEST_F(EditorTest, SaveStaysDisabledForATreeNeverSaved) {
    frmMain& w = load(QString());
    w.newTree();
    w.setBoolSave(false);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QAVO Editor - New tree*"));
    EXPECT_FALSE(w.mnuSave->isEnabled());
    EXPECT_TRUE(w.mnuSaveAs->isEnabled());
}

TEST_F(EditorTest, VoiceBoxesAreRefusedOnOldServers) {
    ctx.VERSION_500 = false;
    ctx.modeLocal = false;
    frmMain& w = load(QString());
    const QString title = w.windowTitle();
    w.OuvertureFichierArbre(writeFile(QStringLiteral("bv.maa"), workedExample(QStringLiteral("bvo;201"))));

    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, QStringLiteral("critical"));
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("ERROR - VERSION"));
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("QAVO"));
    EXPECT_EQ(w.windowTitle(), title);
    EXPECT_TRUE(w.config().fileCourant.isEmpty());
    EXPECT_TRUE(w.picClose->isVisible());
}

TEST_F(EditorTest, VoiceBoxesOpenOnCurrentServers) {
    frmMain& w = load(writeFile(QStringLiteral("bv.maa"), workedExample(QStringLiteral("bvo;201"))));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(w.treeModel().indexForKey(QStringLiteral("E-M1-9")).data().toString(),
              QStringLiteral("9 - Station box (201)"));
}

TEST_F(EditorTest, MissingFileIsIgnored) {
    frmMain& w = load(QString());
    w.OuvertureFichierArbre(dir.path() + QStringLiteral("/none.maa"));
    EXPECT_TRUE(w.config().fileCourant.isEmpty());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QAVO Editor"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}
