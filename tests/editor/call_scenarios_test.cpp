// The call window's scenarios: the call made kept in a file, the file run on the tree as it is edited.
#include "window_fixture.h"

#include "dialogs/frm_appel.h"

using namespace editor_testing;

namespace {

struct CallScenarios : WindowTest {
    FrmAppel* call = nullptr;
    void SetUp() override {
        WindowTest::SetUp();
        open();
        action("mnuSimuler")->trigger();
        call = window->findChild<FrmAppel*>();
        ASSERT_NE(call, nullptr);
        call->findChild<QDateTimeEdit*>("dtpMoment")->setDateTime(QDateTime({2026, 12, 7}, {10, 0}));
    }
    template <typename T = QPushButton> T* child(const char* name) const {
        T* w = call->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    // A new call, the keypad's keys pressed in turn.
    void play(const QString& keys) {
        click("cmdRecommencer");
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
    const QString file = dir.filePath("calls.csv");
    play("1");
    QTest::keyClicks(child<QLineEdit>("txtScenario"), "Desk");
    prompts.fileNames << file;
    click("cmdEnregistrerScenario");
    play("20"); // M2 is closed: the tree's closed exit plays announcement 12, the 0 is ignored
    prompts.fileNames << file;
    click("cmdEnregistrerScenario");
    EXPECT_EQ(testing_support::readBytes(file),
              "name;tree;moment;keys;expected\r\nDesk;1;mon 10:00;1;transfer 201\r\n"
              "Tree 1, mon 10:00, keys 2,0;1;mon 10:00;2,0;announcement 12\r\n");

    config().sections.setValue("M1", MenuValue::key0 + 1, "trf;202");
    clickNode("A2");
    prompts.fileNames << file;
    click("cmdLancerScenarios");
    EXPECT_EQ(listed("lstResultats"), QStringList({"FAIL  Desk: expected transfer 201, got transfer 202",
                                                   "pass  Tree 1, mon 10:00, keys 2,0"}));
    EXPECT_EQ(child<QLabel>("lblResultats")->text(), "1 of 2 scenarios passed");
    EXPECT_EQ(selectedKey(), "A2") << "running moves nothing in the tree";
    // A result chosen makes its call again in the window and selects the node where it ended.
    const std::pair<int, const char*> chosen[] = {{1, "A1"}, {0, "E-M1-1"}};
    for (const auto& [row, node] : chosen) {
        clickRow(child<QListWidget>("lstResultats"), row);
        EXPECT_EQ(selectedKey(), node);
    }
    EXPECT_EQ(listed("lstEtapes").last(), "Transfer to 202");

    // A file that cannot be read or written is said, with the line at fault; the results stay.
    const struct {
        const char *button, *file;
        QByteArray bytes;
        QString said;
    } faults[] = {
        {"cmdLancerScenarios", "bad.csv", "# calls\nDesk;1;mon 10:00;1;transfer 201\n",
         "bad.csv: line 2: the first line must be the header name;tree;moment;keys;expected"},
        {"cmdLancerScenarios", "absent.csv", {}, "absent.csv: cannot be read ("},
        {"cmdEnregistrerScenario",
         "absent/calls.csv",
         {},
         "Cannot write " + dir.filePath("absent/calls.csv")},
    };
    for (const auto& f : faults) {
        if (!f.bytes.isEmpty()) writeFile(f.file, f.bytes);
        prompts.fileNames << dir.filePath(f.file);
        click(f.button);
        ASSERT_EQ(prompts.shown.last().kind, "critical") << f.file;
        EXPECT_TRUE(prompts.shown.last().text.startsWith(f.said)) << prompts.shown.last().text.toStdString();
        EXPECT_EQ(listed("lstResultats").size(), 2) << f.file;
    }
}

} // namespace
