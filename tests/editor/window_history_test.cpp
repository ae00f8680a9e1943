// The history window on a real history: its list, the comparison of two revisions, a revision opened as a
// local file, and a restore through the send against qavo-sim.
#include "server_fixture.h"

#include "dialogs/frm_changes.h"
#include "dialogs/frm_historique.h"
#include "history/history.h"
#include "history/transfer_recorder.h"
#include "server/server_transfers.h"

#include <QScopeGuard>

using namespace editor_testing;
using testing_support::readBytes;

namespace {

const QString kServerA = QStringLiteral("127.0.0.1_8080");
const QString kServerB = QStringLiteral("10.0.0.2_80");

// The history window of the main window, driven through its controls.
template <class Base> class WithHistory : public Base {
protected:
    // A history of the test's own, whatever the test program chose for the others.
    void SetUp() override {
        Base::SetUp();
        qputenv("QAVO_HISTORY_DIR", QFile::encodeName(this->dir.filePath("history")));
    }
    void TearDown() override {
        qputenv("QAVO_HISTORY_DIR", programHistory);
        Base::TearDown();
    }
    const QByteArray programHistory = qgetenv("QAVO_HISTORY_DIR");
    QString record(const QString& server, const QString& what, const QByteArray& tree,
                   const QStringList& changes = {}) {
        const QString id =
            history::record(this->ctx, server, what, {{QStringLiteral("arbre.maa"), tree}}, changes);
        EXPECT_FALSE(id.isEmpty()) << what.toStdString();
        return id;
    }
    FrmHistorique* showHistory() {
        this->action("mnuHistorique")->trigger();
        auto* w = this->window->template findChild<FrmHistorique*>(QStringLiteral("frmHistorique"));
        EXPECT_TRUE(w && w->isVisible());
        return w;
    }
    template <typename T = QWidget> T* control(const char* name) {
        return this->window->template findChild<FrmHistorique*>()->template findChild<T*>(
            QString::fromLatin1(name));
    }
    QTreeWidget* list() { return control<QTreeWidget>("lstRevisions"); }
    void chooseServer(const QString& text) { choose(control<QComboBox>("cboServeur"), text); }
    // "what|changes" for each row, "|server" added when that column shows.
    QStringList rows() {
        QStringList out;
        for (int r = 0; r < list()->topLevelItemCount(); ++r) {
            const QTreeWidgetItem* item = list()->topLevelItem(r);
            QString row = item->text(2) + '|' + item->text(3);
            if (!list()->isColumnHidden(4)) row += '|' + item->text(4);
            out << row;
        }
        return out;
    }
    // A click on the first row, ctrl-clicks on the others.
    void chooseRows(const QList<int>& chosen) {
        list()->clearSelection();
        for (int i = 0; i < chosen.size(); ++i) {
            const QRect r = list()->visualItemRect(list()->topLevelItem(chosen[i]));
            QTest::mouseClick(list()->viewport(), Qt::LeftButton,
                              i == 0 ? Qt::NoModifier : Qt::ControlModifier, r.center());
        }
    }
    QString details() { return control<QLabel>("lblDetails")->text(); }
    QStringList detailLines() { return rowTexts(control<QListWidget>("lstDetails")->model()); }
    void click(const char* button) { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }
};

using WindowHistory = WithHistory<WindowTest>;
using ServerHistory = WithHistory<WindowServer>;

QByteArray treeNamed(const char* m1) {
    return workedExample().replace("lib=Main menu", QByteArray("lib=") + m1);
}

TEST_F(WindowHistory, ListsEveryServersRevisionsNewestFirstInLocalMode) {
    record(kServerA, "fetch", treeNamed("First"));
    record(kServerA, "send", treeNamed("Second"), {"Menu M1: name First -> Second", "Key 4 of M1"});
    record(kServerB, "send", treeNamed("Other"), {"Menu M1: name Main menu -> Other"});
    record(kServerA, "restore of 2026-03-01 09:15:00", treeNamed("First"), {"Menu M1: name Second -> First"});
    open();
    showHistory();
    EXPECT_FALSE(control<QPushButton>("cmdRestaurer")->isVisible()) << "nothing is restored from local mode";
    const struct {
        QString server;
        QStringList rows;
    } cases[] = {
        {"(all servers)",
         {"Restore of 2026-03-01 09:15:00|1|" + kServerA, "Send|1|" + kServerB, "Send|2|" + kServerA,
          "Fetch|0|" + kServerA}},
        {kServerA, {"Restore of 2026-03-01 09:15:00|1", "Send|2", "Fetch|0"}},
        {kServerB, {"Send|1"}},
    };
    for (const auto& c : cases) {
        chooseServer(c.server);
        EXPECT_EQ(rows(), c.rows) << c.server.toStdString();
        EXPECT_FALSE(list()->topLevelItem(0)->text(1).isEmpty()) << "who";
    }
    chooseServer(kServerA);
    chooseRows({1});
    EXPECT_TRUE(details().contains("Send")) << details().toStdString();
    EXPECT_EQ(detailLines(), QStringList({"Menu M1: name First -> Second", "Key 4 of M1"}));
}

TEST_F(WindowHistory, TwoRevisionsShowTheChangesCompareWithShows) {
    record(kServerA, "fetch", treeNamed("First"));
    record(kServerA, "send", treeNamed("Second").replace("4=\r\n", "4=trf;204\r\n"));
    record(kServerA, "send", treeNamed("First"));
    // What "Compare with..." says from the oldest tree to the middle one.
    open(treeNamed("Second").replace("4=\r\n", "4=trf;204\r\n"));
    prompts.fileNames << writeFile("first.maa", treeNamed("First"));
    action("mnuComparer")->trigger();
    const QStringList compared = window->findChild<FrmChanges*>()->lines();
    ASSERT_GT(compared.size(), 1);
    const QString many = QString("%1 changes.").arg(compared.size());

    const struct {
        QList<int> rows;
        QString heading;
        QStringList lines;
    } cases[] = {
        // The older of the two is the starting point, whichever is chosen first.
        {{2, 1}, many, compared},
        {{1, 2}, many, compared},
        {{0, 2}, "No difference in behaviour", {}},
    };
    showHistory();
    for (const auto& c : cases) {
        chooseRows(c.rows);
        EXPECT_TRUE(details().contains(c.heading)) << details().toStdString();
        EXPECT_EQ(detailLines(), c.lines);
        EXPECT_FALSE(control<QPushButton>("cmdOuvrir")->isEnabled());
    }
}

TEST_F(WindowHistory, OpenAsksAboutUnsavedEditsThenOpensTheRevisionsTreeAsALocalFile) {
    record(kServerA, "fetch", treeNamed("First"));
    record(kServerA, "send", treeNamed("Second"));
    const struct {
        bool edited;
        Prompts::Answer answer;
        QString menuAfter;
    } cases[] = {
        {true, Prompts::Answer::No, "Edited"},
        {true, Prompts::Answer::Yes, "First"},
        {false, Prompts::Answer::No, "First"}, // nothing to ask
    };
    for (const auto& c : cases) {
        open();
        if (c.edited) changeAndRecord("Edited");
        prompts.shown.clear();
        prompts.answers = {c.answer};
        showHistory();
        chooseRows({1});
        click("cmdOuvrir");
        EXPECT_EQ(prompts.shown.size(), c.edited ? 1 : 0);
        EXPECT_EQ(menuName(), c.menuAfter);
        if (c.menuAfter != "First") continue;
        EXPECT_TRUE(document->fileName().startsWith(ctx.repTMP)) << document->fileName().toStdString();
        EXPECT_TRUE(window->windowTitle().contains(kServerA)) << window->windowTitle().toStdString();
        EXPECT_FALSE(titleMarked());
        EXPECT_EQ(readBytes(document->fileName()), treeNamed("First"));
    }
}

TEST_F(ServerHistory, RestoreGoesThroughTheSendsConfirmationAndIsRecordedAsARestore) {
    history::installTransferRecorder();
    const auto uninstall = qScopeGuard([] { server_transfers::setTransferRecorder({}); });
    const QString here = history::serverFolder(ctx.HADDR, ctx.HPORT, false);
    record(kServerB, "send", passingTree("Elsewhere"));
    record(here, "send", passingTree("Before"));
    const QDateTime before = history::Repository(history::historyRoot(ctx)).revisions(here).first().when;
    record(here, "send", passingTree("Now"));
    testing_support::writeBytes(sim->root() + "/arbre.maa", passingTree("Now"));
    open(passingTree("Now"));
    showHistory();
    chooseServer("(all servers)");
    ASSERT_EQ(rows().size(), 3);
    chooseRows({2});
    EXPECT_FALSE(control<QPushButton>("cmdRestaurer")->isEnabled()) << "another server's revision";

    const struct {
        Prompts::Answer answer;
        QString serverMenu;
    } cases[] = {{Prompts::Answer::No, "Now"}, {Prompts::Answer::Yes, "Before"}};
    for (const auto& c : cases) {
        chooseServer(here);
        ASSERT_EQ(rows().mid(rows().size() - 2), QStringList({"Send|0", "Send|0"}));
        chooseRows({int(rows().size()) - 1});
        prompts.shown.clear();
        prompts.answers = {c.answer};
        click("cmdRestaurer");
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].text, "Send the trees to server 127.0.0.1?");
        EXPECT_EQ(menuName(), "Before") << "the revision is open";
        EXPECT_TRUE(serverTree().contains("lib=" + c.serverMenu.toLatin1()));
    }
    EXPECT_EQ(rows().first(), "Restore of " + before.toString("yyyy-MM-dd HH:mm:ss") + "|1");
    EXPECT_TRUE(ctx.historyWhat.isEmpty());
}

} // namespace
