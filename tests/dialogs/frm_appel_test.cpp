#include "dialogs/frm_appel.h"

#include "flow/flow_fixture.h"
#include "support/qt_print.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace {

const QDateTime morning({2026, 12, 7}, {10, 0}), noon({2026, 12, 7}, {13, 0}); // open, closed

struct FrmAppelTest : testing::Test {
    AppContext ctx;
    Configuration config;
    std::unique_ptr<FrmAppel> window;
    void SetUp() override {
        flow_fixture::setUpContext(ctx);
        config = flow_fixture::build(ctx);
        window = std::make_unique<FrmAppel>(config, ctx);
        window->show();
    }
    void press(const QString& caption) {
        for (auto* b : window->findChildren<QPushButton*>())
            if (b->text() == caption) return QTest::mouseClick(b, Qt::LeftButton);
        ADD_FAILURE() << "no button " << caption.toStdString();
    }
    void setMoment(const QDateTime& at) { window->findChild<QDateTimeEdit*>()->setDateTime(at); }
    QStringList shown() const {
        QStringList out;
        for (auto* list = window->findChild<QListWidget*>(); out.size() < list->count();)
            out << list->item(int(out.size()))->text();
        return out;
    }
    // The steps of the walk of these moves, as the list should show them.
    QStringList walked(const char* moves, const QDateTime& at) const {
        QStringList out;
        for (const auto& s : flow::CallWalker(config, ctx).walk(1, at, *flow::parseCallEvents(moves)))
            out << s.text;
        return out;
    }
};

TEST_F(FrmAppelTest, EachMoveGoesOnWithTheCallAndShowsTheStepItLedTo) {
    const struct {
        QStringList buttons;
        const char* moves;
        QDateTime at;
    } cases[] = {
        {{"2", "0"}, "2,0", morning},
        {{"2", "*", "3"}, "2,*,3", morning},
        {{"#", "4", "5"}, "#,4,5", morning},
        {{"1", "Transfer fails"}, "1,fail", morning},
        {{"Silence", "Silence", "Silence"}, "s,s,s", morning},
        {{"6", "7", "8", "9"}, "6,7,8,9", morning},
        {{"2"}, "2", noon},
    };
    QSignalSpy chosen(window.get(), &FrmAppel::nodeChosen);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moves);
        setMoment(c.at);
        press("Restart the call");
        for (const QString& b : c.buttons)
            press(b);
        EXPECT_EQ(shown(), walked(c.moves, c.at));
        EXPECT_EQ(window->findChild<QListWidget*>()->currentRow(), shown().size() - 1);
        EXPECT_EQ(chosen.last().at(0).toString(), window->steps().back().nodeKey);
        EXPECT_EQ(window->findChild<QLabel*>("lblTouches")->text(),
                  "Caller's moves: " + c.buttons.join(", "));
    }
}

TEST_F(FrmAppelTest, AnEditOrAnotherMomentWalksTheSameMovesAgainARestartForgetsThem) {
    setMoment(morning);
    press("2");
    // An edit shows at once, without moving the tree view: the user may be editing there.
    config.sections.setValue("M1", MenuValue::key0 + 2, "trf;201");
    QSignalSpy chosen(window.get(), &FrmAppel::nodeChosen);
    window->refresh();
    EXPECT_EQ(shown(), walked("2", morning));
    EXPECT_TRUE(shown().last().contains("201"));
    EXPECT_TRUE(chosen.isEmpty());
    setMoment(noon);
    EXPECT_EQ(shown(), walked("2", noon));
    press("Restart the call");
    EXPECT_EQ(shown(), walked("", noon));
}

} // namespace
