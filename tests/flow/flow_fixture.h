#pragma once

// Configurations for the call, comparison and plan tests.
#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "model/example_tree.h"
#include "model/tree_file.h"
#include "model/verification.h"
#include "platform/pacing.h"
#include "startup/server_info.h"
#include "support/test_support.h"

#include <QMap>
#include <memory>

namespace flow_fixture {

inline void setUpContext(AppContext& ctx) {
    ctx.translation.loadFile(testing_support::resourcesDir() + "/qavo_lg01.txt");
    ctx.Nb_arbre = 1;
    ctx.numStandard = "100";
    ctx.Stations = {{"201", "Reception desk", 0, "801"}, {"100", "Operator desk", 0, {}}};
    ctx.Announcements = {{15, "Closed for holidays", {1, 0, 0, 0}}};
}

// Every action code on one menu, a sub-menu, and schedule H2 (days from Monday) with: Monday two ranges,
// Tuesday one, Wednesday empty, Thursday blank fields, Sunday a range ending before it starts.
struct Input {
    QMap<int, QStringList> trees{{1, {"Reception", "10", "", "2", "1", "M1", "trf;300", "ann;12;;", "std"}}};
    // lib|hor|ann|rep|sil|keys 0 to 9
    example::MenuMap menus{
        {"M1",
         QString("Main|2|11|2|2||trf;201|men;M2|ann;15;1;2|std|num|bvn|bvo;201|sau;M2|sau;M99").split('|')},
        {"M2", QString("Service||13|1|1|std").split('|')}}; // one repetition, one silence
    QMap<int, QStringList> schedules{
        {2, {"08:30-12:00/14:00-18:00", "08:30-12:00", "", "  :  -  :  ", "", "08:30-12:00", "22:00-06:00"}}};
    std::array<QString, 3> general{"*", "#", "10"};
};

inline Configuration build(const AppContext& ctx, const Input& in = {}) {
    Configuration c = makeConfiguration(ctx);
    example::build(c, ctx, in.trees, in.menus);
    for (auto s = in.schedules.begin(); s != in.schedules.end(); ++s)
        for (qsizetype d = 0; d < s->size(); ++d)
            c.schedules[size_t(s.key() - 1)].days[size_t(d)].value = s->at(d);
    for (size_t i = 0; i < c.general.size(); ++i)
        c.general[i].value = in.general[i];
    return c;
}

} // namespace flow_fixture

// The shipped examples opened as the editor opens them, with the English captions and, when given, the
// server's lists; then verified, so that boxes carry colours.
namespace plan_test {

using testing_support::resource;

struct Opened {
    AppContext ctx;
    Configuration config;
};

// infoFile "" keeps local mode (five trees, no lists).
inline std::unique_ptr<Opened> open(const QString& treeFile, const QString& infoFile = {}) {
    auto o = std::make_unique<Opened>();
    o->ctx.translation.loadFile(resource(QStringLiteral("qavo_lg01.txt")));
    if (!infoFile.isEmpty()) loadServerInformation(o->ctx, resource(infoFile));
    o->config = makeConfiguration(o->ctx);
    if (openTreeFile(o->config, resource(treeFile), o->ctx) != OpenResult::Opened) return nullptr;
    NullDiagnostics silent;
    platform::NoPacing pacing;
    TreeVerifier(o->ctx, silent, pacing).verifArbo(o->config);
    return o;
}

// The largest trees, 111 menus each, on the given number of active trees.
inline std::unique_ptr<Opened> maximal(int trees) {
    auto o = std::make_unique<Opened>();
    o->ctx.translation.loadFile(resource(QStringLiteral("qavo_lg01.txt")));
    o->ctx.Nb_arbre = trees;
    o->config = makeConfiguration(o->ctx);
    example::maximalTrees(o->config, o->ctx);
    return o;
}

inline const QString kExample = QStringLiteral("server-example/arbre.maa");
inline const QString kDemo = QStringLiteral("examples/demo.maa");
inline const QString kInfo = QStringLiteral("server-example/qavo_general.txt");

} // namespace plan_test
