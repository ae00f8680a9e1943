#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_report.h"
#include "cli/scenario_gate.h"

#include "flow/scenarios.h"

#include <QJsonArray>
#include <QJsonObject>

namespace cli {

namespace {

constexpr int kScenariosFailedTest = 1;

QJsonObject resultJson(const flow::ScenarioResult& r, const Translation& t) {
    QJsonObject o{{QStringLiteral("name"), r.scenario.name},
                  {QStringLiteral("line"), r.scenario.line},
                  {QStringLiteral("tree"), r.scenario.tree},
                  {QStringLiteral("moment"), r.scenario.momentText},
                  {QStringLiteral("keys"), flow::eventsText(r.scenario.events)},
                  {QStringLiteral("expected"), r.scenario.expected.text()},
                  {QStringLiteral("got"), r.gotText(t)},
                  {QStringLiteral("node"), r.nodeKey},
                  {QStringLiteral("passed"), r.passed}};
    if (!r.passed) o.insert(QStringLiteral("steps"), flow::stepsArray(r.steps));
    return o;
}

} // namespace

// Runs call scenarios on a tree: pass or fail per scenario, with the steps of each failing one; with
// --json, the report lists the scenarios run.
int runTest(const QStringList& args) {
    // Its own state, not the process's: send runs it after the check has used that.
    Options options;
    AppContext ctx;
    if (auto error = startCommand(args, 2, QStringLiteral("test TREE SCENARIOS [--json]"), options, ctx))
        return fail(*error);
    const QString& tree = options.positional.at(0);
    const QString& file = options.positional.at(1);
    Configuration config = makeConfiguration(ctx);
    if (const OpenResult result = loadTree(config, tree, ctx); result != OpenResult::Opened)
        return fail(openFailure(result, tree));
    const flow::ScenarioFile scenarios = flow::readScenarioFile(file, ctx.translation);
    if (!scenarios.ok()) return fail(file + QStringLiteral(": ") + scenarios.error);

    const QList<flow::ScenarioResult> results =
        flow::runScenarios(flow::CallWalker(config, ctx), scenarios.scenarios);
    QString out;
    QJsonArray list;
    for (const flow::ScenarioResult& r : results) {
        list.append(resultJson(r, ctx.translation));
        out += flow::resultLine(r, ctx.translation) + QLatin1Char('\n');
        if (r.passed) continue;
        for (const flow::CallStep& s : r.steps)
            out += QStringLiteral("    ") + s.text + QLatin1Char('\n');
    }
    report().msg = flow::summaryLine(results, ctx.translation);
    report().extra.insert(QStringLiteral("scenarios"), list);
    printOut(out + report().msg + QLatin1Char('\n'));
    return std::all_of(results.begin(), results.end(), [](const auto& r) { return r.passed; })
               ? kOk
               : kScenariosFailedTest;
}

int runScenarioGate(const QString& scenarios, QStringList checkArgs, const AppContext& ctx) {
    checkArgs.insert(1, scenarios);
    switch (runTest(checkArgs)) {
    case kOk:
        return kOk;
    case kScenariosFailedTest:
        warn(say(ctx, "CliScenariosFailed", "scenarios failed, nothing sent"));
        return kScenariosFailed;
    default:
        return kFailure; // runTest has said why
    }
}

} // namespace cli
