// The history window on a real history: its list, one revision opened as a local file, two compared, and a
// restore through the send against qavo-sim.
#include "window_fixture.h"

#include "dialogs/frm_changes.h"
#include "dialogs/frm_historique.h"
#include "history/transfer_recorder.h"
#include "server/server_transfers.h"

#include <QScopeGuard>

using namespace editor_testing;

namespace {

const QString kServerA = QStringLiteral("127.0.0.1_8080");
const QString kServerB = QStringLiteral("10.0.0.2_80");

// The history window of the main window, driven through its controls, on a history of the test's own.
template <class Base> class WithHistory : public Base {
protected:
    void record(const QString& server, const QString& what, const QByteArray& tree,
                const QStringList& lines = {}) {
        EXPECT_FALSE(history::record(this->ctx, server, what, {{"arbre.maa", tree}}, lines).isEmpty());
    }
    void showHistory() { this->action("mnuHistorique")->trigger(); }
    template <typename T> T* control(const char* name) {
        return this->window->template findChild<FrmHistorique*>()->template findChild<T*>(name);
    }
    QTreeWidget* list() { return control<QTreeWidget>("lstRevisions"); }
    void chooseServer(const QString& text) { choose(control<QComboBox>("cboServeur"), text); }
    // "what|changes" for each row, "|server" added when that column shows.
    QStringList rows() {
        QStringList out;
        for (const QTreeWidgetItem* r : list()->findItems("*", Qt::MatchWildcard))
            out << QStringList({r->text(2), r->text(3), r->text(4)})
                       .mid(0, list()->isColumnHidden(4) ? 2 : 3)
                       .join('|');
        return out;
    }
    void chooseRows(const QList<int>& chosen) {
        for (int i = 0; i < chosen.size(); ++i)
            QTest::mouseClick(list()->viewport(), Qt::LeftButton,
                              i == 0 ? Qt::NoModifier : Qt::ControlModifier,
                              list()->visualItemRect(list()->topLevelItem(chosen[i])).center());
    }
    QStringList detailLines() { return rowTexts(control<QListWidget>("lstDetails")->model()); }
    QPushButton* button(const char* name) { return control<QPushButton>(name); }
};

using WindowHistory = WithHistory<WindowTest>;
using ServerHistory = WithHistory<WindowServer>;

TEST_F(WindowHistory, ListsEveryServersRevisionsNewestFirstInLocalModeAndOpensOneAsALocalFile) {
    record(kServerA, "fetch", passingTree("First"));
    record(kServerA, "send", passingTree("Second"), {"Menu M1: name First -> Second", "Key 4 of M1"});
    record(kServerB, "send", passingTree("Other"), {"Menu M1: name Main menu -> Other"});
    record(kServerA, "restore of 2026-03-01 09:15:00", passingTree("First"),
           {"Menu M1: name Second -> First"});
    open();
    showHistory();
    EXPECT_FALSE(button("cmdRestaurer")->isVisible()) << "nothing is restored from local mode";
    const std::pair<QString, QStringList> cases[] = {
        {"(all servers)",
         {"Restore of 2026-03-01 09:15:00|1|" + kServerA, "Send|1|" + kServerB, "Send|2|" + kServerA,
          "Fetch|0|" + kServerA}},
        {kServerB, {"Send|1"}},
        {kServerA, {"Restore of 2026-03-01 09:15:00|1", "Send|2", "Fetch|0"}},
    };
    for (const auto& [server, expected] : cases) {
        chooseServer(server);
        EXPECT_EQ(rows(), expected) << server.toStdString();
    }
    chooseRows({1});
    EXPECT_EQ(detailLines(), QStringList({"Menu M1: name First -> Second", "Key 4 of M1"}));

    changeAndRecord("Edited");
    prompts.answers = {Prompts::Answer::Yes};
    QTest::mouseClick(button("cmdOuvrir"), Qt::LeftButton);
    EXPECT_EQ(lastMessage() + '|' + menuName(), "Discard the changes?|Second");
    EXPECT_EQ(testing_support::readBytes(document->fileName()), passingTree("Second"));
}

TEST_F(WindowHistory, TwoRevisionsShowTheChangesCompareWithShows) {
    const QByteArray second = passingTree("Second").replace("4=\r\n", "4=trf;204\r\n");
    record(kServerA, "fetch", passingTree("First"));
    record(kServerA, "send", second);
    record(kServerA, "send", passingTree("First"));
    open(second);
    prompts.fileNames << writeFile("first.maa", passingTree("First"));
    action("mnuComparer")->trigger();
    const QStringList compared = window->findChild<FrmChanges*>()->lines();
    showHistory();
    // From the older to the newer, whichever is chosen first; between the same trees, nothing.
    for (const auto& [chosen, lines] : {std::pair{QList<int>{2, 1}, compared},
                                        {QList<int>{1, 2}, compared},
                                        {QList<int>{0, 2}, QStringList()}}) {
        chooseRows(chosen);
        EXPECT_EQ(detailLines(), lines);
        EXPECT_TRUE(control<QLabel>("lblDetails")
                        ->text()
                        .contains(lines.isEmpty() ? "No difference in behaviour"
                                                  : QString("%1 changes.").arg(compared.size())));
        EXPECT_FALSE(button("cmdOuvrir")->isEnabled());
    }
}

TEST_F(ServerHistory, RestoreGoesThroughTheSendsConfirmationAndIsRecordedAsARestore) {
    history::installTransferRecorder();
    const auto uninstall = qScopeGuard([] { server_transfers::setTransferRecorder({}); });
    const QString here = history::serverFolderOf(ctx);
    record(kServerB, "send", passingTree("Elsewhere"));
    record(here, "send", passingTree("Before"));
    const QDateTime before = history::Repository(history::historyRoot(ctx)).revisions(here).first().when;
    record(here, "send", passingTree("Now"));
    testing_support::writeBytes(sim->root() + "/arbre.maa", passingTree("Now"));
    open(passingTree("Now"));
    showHistory();
    chooseServer("(all servers)");
    chooseRows({2});
    EXPECT_FALSE(button("cmdRestaurer")->isEnabled()) << "another server's revision";
    chooseServer(here);
    for (const auto& [answer, onServer] :
         {std::pair{Prompts::Answer::No, "Now"}, {Prompts::Answer::Yes, "Before"}}) {
        chooseRows({1});
        prompts.answers = {answer};
        QTest::mouseClick(button("cmdRestaurer"), Qt::LeftButton);
        EXPECT_EQ(lastMessage() + '|' + menuName(), "Send the trees to server 127.0.0.1?|Before")
            << "the revision is open";
        EXPECT_TRUE(serverTree().contains(QByteArray("lib=") + onServer));
    }
    EXPECT_EQ(rows().first(), "Restore of " + before.toString("yyyy-MM-dd HH:mm:ss") + "|1");
}

} // namespace
