// The call window's scenarios: the call made kept in a file, the file run on the tree as it is edited.
#include "window_fixture.h"

#include "dialogs/frm_appel.h"

using namespace editor_testing;

namespace {

struct CallScenarios : WindowTest {
    FrmAppel* call = nullptr;
    template <typename T = QPushButton> T* child(const char* name) const { return call->findChild<T*>(name); }
    void click(const char* name, const QString& file) {
        prompts.fileNames << dir.filePath(file);
        QTest::mouseClick(child(name), Qt::LeftButton);
    }
    // A new call, the keypad's keys pressed in turn.
    void play(const QString& keys) {
        QTest::mouseClick(child("cmdRecommencer"), Qt::LeftButton);
        for (QChar key : keys)
            for (auto* b : call->findChildren<QPushButton*>())
                if (b->text() == key) QTest::mouseClick(b, Qt::LeftButton);
    }
    QStringList listed(const char* list) const {
        QStringList out;
        for (auto* l = child<QListWidget>(list); out.size() < l->count();)
            out << l->item(int(out.size()))->text();
        return out;
    }
};

TEST_F(CallScenarios, CallsSavedFromTheWindowFailOnceTheTreeChangesAndReplayWhenChosen) {
    open();
    action("mnuSimuler")->trigger();
    call = window->findChild<FrmAppel*>();
    call->findChild<QDateTimeEdit*>()->setDateTime(QDateTime({2026, 12, 7}, {10, 0}));
    play("1");
    QTest::keyClicks(child<QLineEdit>("txtScenario"), "Desk");
    click("cmdEnregistrerScenario", "calls.csv");
    play("20"); // M2 is closed: the tree's closed exit plays announcement 12, the 0 is ignored
    click("cmdEnregistrerScenario", "calls.csv");
    EXPECT_EQ(testing_support::readBytes(dir.filePath("calls.csv")),
              "name;tree;moment;keys;expected\r\nDesk;1;mon 10:00;1;transfer 201\r\n"
              "Tree 1, mon 10:00, keys 2,0;1;mon 10:00;2,0;announcement 12\r\n");

    config().sections.setValue("M1", MenuValue::key0 + 1, "trf;202");
    clickNode("A2");
    click("cmdLancerScenarios", "calls.csv");
    EXPECT_EQ(listed("lstResultats"), QStringList({"FAIL  Desk: expected transfer 201, got transfer 202",
                                                   "pass  Tree 1, mon 10:00, keys 2,0"}));
    EXPECT_EQ(child<QLabel>("lblResultats")->text(), "1 of 2 scenarios passed");
    EXPECT_EQ(selectedKey(), "A2") << "running moves nothing in the tree";
    // A result chosen makes its call again in the window and selects the node where it ended.
    for (const auto& [row, node] : {std::pair{1, "A1"}, {0, "E-M1-1"}}) {
        clickRow(child<QListWidget>("lstResultats"), row);
        EXPECT_EQ(selectedKey(), node);
    }
    EXPECT_EQ(listed("lstEtapes").last(), "Transfer to 202");
}

} // namespace
