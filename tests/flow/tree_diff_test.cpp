#include "flow/tree_diff.h"

#include "flow/flow_fixture.h"
#include "model/tree_file.h"
#include "platform/codepage.h"
#include "support/qt_print.h"

#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>

namespace {

using flow_fixture::Input;

struct DiffTest : testing::Test {
    AppContext ctx;
    void SetUp() override { flow_fixture::setUpContext(ctx); }
};

// The same tree with other menu numbers, saved with its sections in another order and a blank day
// written the other way, behaves the same.
TEST_F(DiffTest, RenumberedMenusAndReorderedSectionsAreNoChange) {
    Input renumbered;
    renumbered.trees[1][5] = "M5";
    renumbered.menus = {{"M5", renumbered.menus["M1"]}, {"M9", renumbered.menus["M2"]}};
    renumbered.menus["M5"][7] = "men;M9";
    renumbered.menus["M5"][13] = "sau;M9";
    renumbered.days[2] = "  :  -  :  ";
    renumbered.days[3] = "";
    const Configuration before = flow_fixture::build(ctx), after = flow_fixture::build(ctx, renumbered);
    EXPECT_EQ(flow::compareConfigurations(before, after, ctx).lines, QStringList());

    QTemporaryDir dir;
    testing_support::writeBytes(dir.filePath("old.maa"), treeFileBytes(before));
    QStringList sections = platform::decodeAnsi(treeFileBytes(after))
                               .split(QRegularExpression("(?=^\\[)", QRegularExpression::MultilineOption));
    std::reverse(sections.begin(), sections.end());
    testing_support::writeBytes(dir.filePath("new.maa"), platform::encodeAnsi(sections.join(QString())));
    const auto changes = flow::compareTreeFiles(dir.filePath("old.maa"), dir.filePath("new.maa"), ctx);
    ASSERT_TRUE(changes);
    EXPECT_EQ(changes->lines, QStringList());

    QString failed;
    EXPECT_FALSE(flow::compareTreeFiles(dir.filePath("old.maa"), dir.filePath("none.maa"), ctx, &failed));
    EXPECT_EQ(failed, dir.filePath("none.maa"));
}

TEST_F(DiffTest, EachChangeIsOneLineByPathAndInWords) {
    const struct {
        std::function<void(Input&)> change;
        QStringList lines;
    } cases[] = {
        {[](Input& in) { in.menus["M1"][8] = "trf;201"; },
         {"Tree 1 > Main > key 3: Announcement 15, 2 repetitions, 2 silences -> Transfer to 201"}},
        {[](Input& in) {
             in.menus["M1"][5] = "men;M7";
             in.menus["M7"] = example::menuValues("Sales", "", "14", {});
         },
         {"Tree 1 > Main: Menu M7 'Sales' added under key 0"}},
        {[](Input& in) { in.menus["M1"][7] = ""; },
         {"Tree 1 > Main: Menu M2 'Service' removed from key 2",
          "Tree 1 > Main > key 8: Jump to menu M2 'Service' -> Jump to menu M2"}},
        {[](Input& in) { in.days[5] = ""; }, {"Schedule H2, Saturday: 08:30-12:00 -> closed"}},
        {[](Input& in) { in.days[1] = "08:30-12:00/13:00-17:00"; },
         {"Schedule H2, Tuesday: 08:30-12:00 -> 08:30-12:00/13:00-17:00"}},
        {[](Input& in) { in.trees[1][7] = "std"; },
         {"Tree 1, Outside opening hours: Announcement 12 -> Transfer to the operator"}},
        {[](Input& in) { in.trees[1][1] = ""; }, {"Tree 1, welcome announcement: 10 -> none"}},
        {[](Input& in) { in.menus["M2"][2] = "16"; }, {"Tree 1 > Main > Service, announcement: 13 -> 16"}},
        {[](Input& in) { in.menus["M1"][1] = ""; }, {"Tree 1 > Main, schedule: H2 -> none"}},
        {[](Input& in) { in.menus["M1"][13] = "sau;M1"; },
         {"Tree 1 > Main > key 8: Jump to menu M2 'Service' -> Jump to menu M1 'Main'"}},
        {[](Input& in) { in.trees[1][5] = ""; }, {"Tree 1: menu M1 'Main' removed"}},
    };
    const Configuration before = flow_fixture::build(ctx);
    for (const auto& c : cases) {
        Input in;
        c.change(in);
        EXPECT_EQ(flow::compareConfigurations(before, flow_fixture::build(ctx, in), ctx).lines, c.lines);
    }
    Configuration after = flow_fixture::build(ctx);
    after.general[2].value = "5";
    EXPECT_EQ(flow::compareConfigurations(before, after, ctx).lines,
              QStringList{"General parameter tp_inter_digit: 10 -> 5"});
}

} // namespace
