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

TEST_F(WindowTest, TreeViewShowsTheMenusUnderTheirKeysAndInactiveTreesGreyAndEmpty) {
    open();
    const QAbstractItemModel* m = treeV()->model();
    EXPECT_EQ(rowTexts(m),
              (QStringList{"1 - Reception", "2 - Tree 2", "3 - Tree 3", "4 - Tree 4", "5 - Tree 5"}));
    QStringList keys = {"0 - No action", "1 - Transfer (201)", "2 - Service", "3 - Announcement (15)"};
    for (int d = 4; d <= 9; ++d)
        keys << QStringLiteral("%1 - No action").arg(d);
    EXPECT_EQ(rowTexts(m, indexOf("M1")), keys);
    EXPECT_EQ(nodeColour("A1"), Black);
    EXPECT_EQ(nodeColour("A2"), Grey);
    EXPECT_EQ(m->rowCount(indexOf("A2")), 0);
}

TEST_F(WindowTest, StartFileIsOpenedOrTheEditorStartsClosed) {
    const QString file = writeFile("accueil.maa", workedExample());
    ctx.VERSION_500 = false; // refuses voice boxes
    const QString voiceBox = writeFile("bv.maa", workedExample("bvo;201"));
    const QString online = "QAVO Editor - 10.1.2.3";
    const struct {
        QString start;
        bool local;
        QString title;    // empty: the editor stays closed
        QString treeName; // of tree 1
        QStringList messages;
        QString critical;
    } cases[] = {
        {"", false, "", "", {"Ready"}, ""},
        {voiceBox, true, "", "", {"Ready"}, "ERROR - VERSION"},
        // No server tree fetched: a new one is made and saved as the server's copy, quietly.
        {"$$NEW$$", false, online, "1 - Tree 1", {"Ready"}, ""},
        {ctx.fileServeur, false, online, "1 - Tree 1", {"Ready"}, ""}, // the server's copy is no user file
        {file, true, "QAVO Editor - " + file, "1 - Reception", {"Ready", "Opened \"" + file + '"'}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start.toStdString());
        ctx.modeLocal = c.local;
        ctx.HADDR = "10.1.2.3";
        prompts.shown.clear();
        frmMain& w = load(c.start);
        const bool opened = !c.title.isEmpty();
        EXPECT_EQ(w.windowTitle(), opened ? c.title : "QAVO Editor");
        EXPECT_EQ(find<QWidget>("picClose")->isVisible(), !opened);
        EXPECT_EQ(messages(document->diagnostics()), c.messages);
        EXPECT_EQ(prompts.shown.size(), c.critical.isEmpty() ? 0 : 1);
        EXPECT_EQ(prompts.shown.value(0).text, c.critical);
        EXPECT_EQ(action("mnuValide")->isEnabled(), opened);
        EXPECT_EQ(action("mnuEnvoi")->isEnabled(), opened && !c.local);
        if (opened) {
            EXPECT_EQ(nodeText("A1"), c.treeName);
        }
    }
}

TEST_F(WindowTest, ClickingAFindingShowsItsNode) {
    open();
    document->diagnostics().AjouteInfo("menu 2", 2, "M2");
    document->diagnostics().AjouteInfo("gone", 2, "M9");
    QListView* list = find<QListView>("lstDebug");
    const int last = list->model()->rowCount() - 1;
    EXPECT_EQ(list->model()->index(last, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(173, 0, 0))
        << "an error";
    clickRow(list, last - 1);
    EXPECT_EQ(selectedKey(), "M2");
    EXPECT_EQ(panel<QLineEdit>("txtLib_1")->text(), "Service");

    clickRow(list, last); // its node is gone
    EXPECT_EQ(selectedKey(), "M2");
}

} // namespace
