#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/scenario_gate.h"

#include "flow/scenarios.h"

#include <QJsonArray>
#include <QJsonDocument>
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

// The one document of --json: the common keys, and the scenarios run.
void printJson(int rc, const QString& msg, const QList<flow::ScenarioResult>& results, const Translation& t) {
    QJsonArray scenarios;
    for (const flow::ScenarioResult& r : results)
        scenarios.append(resultJson(r, t));
    const QJsonObject doc{{QStringLiteral("changed"), false},
                          {QStringLiteral("changes"), QJsonArray()},
                          {QStringLiteral("findings"), QJsonArray()},
                          {QStringLiteral("revision"), QJsonValue()},
                          {QStringLiteral("msg"), msg},
                          {QStringLiteral("failed"), rc != 0},
                          {QStringLiteral("rc"), rc},
                          {QStringLiteral("scenarios"), scenarios}};
    printOut(QString::fromUtf8(QJsonDocument(doc).toJson(QJsonDocument::Indented)));
}

} // namespace

// Runs call scenarios on a tree: pass or fail per scenario, with the steps of each failing one.
int runTest(const QStringList& arguments) {
    QStringList args = arguments;
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    // Its own state, not the process's: send runs it after the check has used that.
    Options options;
    AppContext ctx;
    const auto failWith = [&](const QString& message) {
        if (json) printJson(kFailure, message, {}, ctx.translation);
        return fail(message);
    };
    if (auto error = startCommand(args, 2, QStringLiteral("test TREE SCENARIOS [--json]"), options, ctx))
        return failWith(*error);
    const QString& tree = options.positional.at(0);
    const QString& file = options.positional.at(1);
    Configuration config = makeConfiguration(ctx);
    if (const OpenResult result = loadTree(config, tree, ctx); result != OpenResult::Opened)
        return failWith(openFailure(result, tree));
    const flow::ScenarioFile scenarios = flow::readScenarioFile(file, ctx.translation);
    if (!scenarios.ok()) return failWith(file + QStringLiteral(": ") + scenarios.error);

    const QList<flow::ScenarioResult> results =
        flow::runScenarios(flow::CallWalker(config, ctx), scenarios.scenarios);
    const bool allPassed =
        std::all_of(results.begin(), results.end(), [](const auto& r) { return r.passed; });
    const int rc = allPassed ? kOk : kScenariosFailedTest;
    const QString summary = flow::summaryLine(results, ctx.translation);
    if (json) {
        printJson(rc, summary, results, ctx.translation);
        return rc;
    }
    QString out;
    for (const flow::ScenarioResult& r : results) {
        out += flow::resultLine(r, ctx.translation) + QLatin1Char('\n');
        if (r.passed) continue;
        for (const flow::CallStep& s : r.steps)
            out += QStringLiteral("    ") + s.text + QLatin1Char('\n');
    }
    printOut(out + summary + QLatin1Char('\n'));
    return rc;
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
