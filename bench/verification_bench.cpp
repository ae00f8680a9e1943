#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "model/action_value.h"
#include "model/verification.h"
#include "platform/pacing.h"
#include "support/server_lists.h"

#include <benchmark/benchmark.h>

namespace {

// Server lists of a large installation.
AppContext makeContext() {
    AppContext ctx;
    ctx.Nb_arbre = 5;
    ctx.translation.setText(QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[LABELS]\r\nDebugAnalyse=Checking\r\n"
                                           "DebugAnn4_Abs=unknown announcement\r\nactAnn=Announcement\r\n"));
    testing_support::addServerLists(ctx, 500);
    return ctx;
}

// Leaf menus get every kind of action; a few announcements are missing from the server's list.
QString leafAction(int n, int digit) {
    switch (digit % 5) {
    case 0:
        return QStringLiteral("trf;%1").arg(201 + n % 500);
    case 1:
        return QStringLiteral("ann;%1;2;2").arg(n % 500 == 1 ? 999 : 1 + n % 500);
    case 2:
        return QStringLiteral("sau;A1");
    case 3:
        return QStringLiteral("bvo;%1").arg(801 + n % 500);
    default:
        return QStringLiteral("std");
    }
}

void addMenu(Configuration& c, const QString& name, const QString& parent, int digit, int depth, int& counter,
             int tree) {
    c.sections.ensureSection(name, digit, parent);
    const QStringList head = {QStringLiteral("Menu ") + name, "1", QString::number(1 + counter % 500), "2",
                              "2"};
    for (int i = 0; i < head.size(); ++i)
        c.sections.setValue(name, i + 1, head[i]);
    c.nodes.CreerNoeud(name, name, parent, QStringLiteral("Menu"));
    for (int d = 0; d <= 9; ++d) {
        if (depth < 3) {
            const QString child = QStringLiteral("M%1").arg(tree * 1000 + ++counter);
            c.sections.setValue(name, MenuValue::forDigit(d), QStringLiteral("men;") + child);
            addMenu(c, child, name, d, depth + 1, counter, tree);
        } else {
            const QString value = leafAction(counter * 10 + d, d);
            c.sections.setValue(name, MenuValue::forDigit(d), value);
            c.nodes.CreerNoeud(action::code(value), action::keyNodeKey(name, d), name,
                               QStringLiteral("NoAction"));
        }
    }
}

// Five active trees, each with a root menu, 10 sub-menus and 100 sub-sub-menus: 555 menus.
Configuration makeMaximalTree() {
    Configuration c;
    for (int t = 1; t <= 5; ++t) {
        const QString tree = QStringLiteral("A%1").arg(t);
        c.sections.ensureSection(tree, -1, QString());
        const QStringList values = {"Tree",    "10",         "11",
                                    "2",       "1",          QStringLiteral("M%1").arg(t * 1000),
                                    "trf;201", "ann;12;2;2", "sau;A1"};
        for (int i = 0; i < values.size(); ++i)
            c.sections.setValue(tree, i + 1, values[i]);
        c.nodes.CreerNoeud(tree, tree, QString(), QStringLiteral("Arbre"));
        int counter = 0;
        addMenu(c, QStringLiteral("M%1").arg(t * 1000), tree, -1, 1, counter, t);
    }
    return c;
}

void BM_VerifyMaximalTree(benchmark::State& state) {
    const AppContext ctx = makeContext();
    Configuration config = makeMaximalTree();
    NullDiagnostics sink;
    platform::NoPacing pacing;
    TreeVerifier verifier(ctx, sink, pacing);
    int errors = 0;
    for (auto _ : state) {
        errors = verifier.verifArbo(config);
        benchmark::DoNotOptimize(errors);
    }
    state.counters["sections"] = config.sections.size();
    state.counters["errors"] = errors;
    state.counters["warnings"] = verifier.lastWarningCount();
}
BENCHMARK(BM_VerifyMaximalTree)->Unit(benchmark::kMillisecond);

} // namespace
