#pragma once

// A tree built for the call and comparison tests: every action code on one menu, a sub-menu, a schedule
// with one range, two ranges and blank days, and the server's lists.
#include "model/example_tree.h"
#include "support/test_support.h"

#include <QMap>

namespace flow_fixture {

inline void setUpContext(AppContext& ctx) {
    ctx.translation.loadFile(testing_support::resourcesDir() + "/qavo_lg01.txt");
    ctx.Nb_arbre = 1;
    ctx.numStandard = "100";
    ctx.Stations = {{"201", "Reception desk", 0, "801"}, {"100", "Operator desk", 0, {}}};
    ctx.Announcements = {{15, "Closed for holidays", {1, 0, 0, 0}}};
}

struct Input {
    QMap<int, QStringList> trees{{1, {"Reception", "10", "", "2", "1", "M1", "trf;300", "ann;12;;", "std"}}};
    example::MenuMap menus{
        {"M1", example::menuValues("Main", "2", "11",
                                   {{1, "trf;201"},
                                    {2, "men;M2"},
                                    {3, "ann;15;2;2"},
                                    {4, "std"},
                                    {5, "num"},
                                    {6, "bvn"},
                                    {7, "bvo;201"},
                                    {8, "sau;M2"},
                                    {9, "sau;M99"}})},
        {"M2", [] {
             example::MenuValues v = example::menuValues("Service", "", "13", {{0, "std"}});
             v[3] = "1"; // one repetition
             return v;
         }()}};
    // Schedule H2: Monday two ranges, Tuesday one, Wednesday empty, Thursday blank fields, Sunday a range
    // ending before it starts.
    QStringList days{
        "08:30-12:00/14:00-18:00", "08:30-12:00", "", "  :  -  :  ", "", "08:30-12:00", "22:00-06:00"};
};

inline Configuration build(const AppContext& ctx, const Input& in = {}) {
    Configuration c = makeConfiguration(ctx);
    example::build(c, ctx, in.trees, in.menus);
    for (int d = 0; d < 7; ++d)
        c.schedules[1].days[size_t(d)].value = in.days[d];
    for (GeneralParam& g : c.general)
        g.value = g.defaultValue;
    return c;
}

} // namespace flow_fixture
