#include "flow/tree_diff.h"

#include "flow/flow_fixture.h"

#include <functional>

namespace {

using flow_fixture::build;
using flow_fixture::Input;

struct DiffTest : testing::Test {
    AppContext ctx;
    void SetUp() override { flow_fixture::setUpContext(ctx); }
    // The lines from before to after; none reads the same on both sides.
    QStringList diff(const Input& before, const Input& after) {
        const auto lines = flow::compareConfigurations(build(ctx, before), build(ctx, after), ctx).lines;
        for (const QString& line : lines) {
            const QStringList sides = line.mid(line.indexOf(": ") + 2).split(" -> ");
            EXPECT_TRUE(sides.size() != 2 || sides[0] != sides[1]) << line.toStdString();
        }
        return lines;
    }
};

// One line per change a caller meets, by path and in words.
TEST_F(DiffTest, EachChangeIsOneLineByPathAndInWords) {
    const auto support = [](Input& in) {
        in.menus["M1"][5] = "men;M3";
        in.menus["M3"] = example::menuValues("Support", "", "14", {{1, "std"}});
    };
    const struct {
        std::function<void(Input&)> change;
        QStringList lines;
    } cases[] = {
        {[](Input& in) { in.menus["M1"][8] = "trf;201"; },
         {"Tree 1 > Main > key 3: Announcement 15, 1 repetition, 2 silences -> Transfer to 201"}},
        {support, {"Tree 1 > Main: Menu M3 'Support' added under key 0"}},
        {[](Input& in) { in.menus["M1"][7] = ""; },
         {"Tree 1 > Main: Menu M2 'Service' removed from key 2",
          "Tree 1 > Main > key 8: Jump to menu M2 'Service' -> Jump to menu M2 (not in the tree)"}},
        // No menu uses H8.
        {[](Input& in) {
             in.schedules[2][1] += "/13:00-17:00", in.schedules[2][5] = "", in.schedules[8] = {"8:00-9:00"};
         },
         {"Schedule H2, Tuesday: 08:30-12:00 -> 08:30-12:00/13:00-17:00",
          "Schedule H2, Saturday: 08:30-12:00 -> closed"}},
        {[](Input& in) { in.trees[1][1] = "", in.trees[1][7] = "std"; },
         {"Tree 1, welcome announcement: 10 -> none",
          "Tree 1, Outside opening hours: Announcement 12 -> Transfer to the operator"}},
        {[](Input& in) { in.menus["M1"][1] = "", in.menus["M2"][2] = "16"; },
         {"Tree 1 > Main, schedule: H2 -> none", "Tree 1 > Main > Service, announcement: 13 -> 16"}},
        {[](Input& in) { in.menus["M1"][13] = "sau;M1"; },
         {"Tree 1 > Main > key 8: Jump to menu M2 'Service' -> Jump to menu M1 'Main'"}},
        {[](Input& in) { in.trees[1][5] = ""; }, {"Tree 1: menu M1 'Main' removed"}},
        {[](Input& in) { in.general[2] = "5"; }, {"General parameter tp_inter_digit: 10 -> 5"}},
        // The same actions written another way.
        {[](Input& in) { in.trees[1][7] = "ann;12", in.menus["M1"][8] += ";", in.menus["M1"][9] = "std;"; },
         {}},
        // Menus and schedules renumbered together, a blank day written the other way.
        {[](Input& in) {
             in.trees[1][5] = "M5";
             in.menus = {{"M5", in.menus["M1"]}, {"M9", in.menus["M2"]}};
             in.menus["M5"][1] = "7", in.menus["M5"][7] = "men;M9", in.menus["M5"][13] = "sau;M9";
             in.schedules = {{7, in.schedules[2]}};
             std::swap(in.schedules[7][2], in.schedules[7][3]);
         },
         {}},
        // A menu that moves is told by the keys that lead elsewhere; the jump to it still reaches it.
        {[](Input& in) { std::swap(in.menus["M1"][5], in.menus["M1"][7]); },
         {"Tree 1 > Main > key 0: No action -> Sub-menu M2 'Service'",
          "Tree 1 > Main > key 2: Sub-menu M2 'Service' -> No action"}},
    };
    for (const auto& c : cases) {
        Input in;
        c.change(in);
        EXPECT_EQ(diff({}, in), c.lines);
    }
    Input before, swapped; // two keys swap their sub-menus
    support(before), support(swapped);
    std::swap(swapped.menus["M1"][5], swapped.menus["M1"][7]);
    EXPECT_EQ(diff(before, swapped),
              QStringList({"Tree 1 > Main > key 0: Sub-menu M3 'Support' -> Sub-menu M2 'Service'",
                           "Tree 1 > Main > key 2: Sub-menu M2 'Service' -> Sub-menu M3 'Support'"}));
}

} // namespace
