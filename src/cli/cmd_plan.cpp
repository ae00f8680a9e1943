#include "cli/cli_support.h"
#include "cli/commands.h"

#include "core/diagnostics_sink.h"
#include "flow/render/plan_picture.h"
#include "model/verification.h"
#include "platform/pacing.h"

#include <QFileInfo>

namespace cli {

// Draws the call flow of one tree, or of every active tree, into OUT; the format is OUT's extension
// (svg, pdf, png, mmd, dot). The tree is verified first, so that faulty boxes show in colour as in the
// editor. Exit 0 when written, 2 for bad usage, a file that does not open, or an output not written.
int runPlan(const QStringList& arguments) {
    QStringList args = arguments;
    QString treeText;
    if (auto error = takeOption(args, QLatin1String("--tree"), treeText)) return fail(*error);
    Options options;
    AppContext ctx;
    if (auto error = startCommand(args, 2, QStringLiteral("plan FILE OUT [--tree N]"), options, ctx))
        return fail(*error);
    int tree = 0;
    if (!treeText.isEmpty()) {
        bool ok = false;
        tree = treeText.toInt(&ok);
        if (!ok || tree < 1 || tree > 5) return fail(QStringLiteral("--tree takes a number from 1 to 5"));
    }
    const QString& path = options.positional.at(0);
    const QString& out = options.positional.at(1);
    const flow::PlanFormat format = flow::planFormatOf(out);
    if (format == flow::PlanFormat::Unknown)
        return fail(QStringLiteral("unknown format (svg, pdf, png, mmd or dot): ") + out);

    Configuration config = makeConfiguration(ctx);
    if (const OpenResult result = loadTree(config, path, ctx); result != OpenResult::Opened)
        return fail(openFailure(result, path));
    NullDiagnostics silent;
    platform::NoPacing pacing;
    TreeVerifier(ctx, silent, pacing).verifArbo(config);

    const bool picture =
        format == flow::PlanFormat::Svg || format == flow::PlanFormat::Pdf || format == flow::PlanFormat::Png;
    const std::vector<flow::FlowLayout> trees =
        flow::layoutTrees(config, ctx, tree, picture ? flow::pictureMetrics() : flow::PlanMetrics{});
    if (trees.empty()) return fail(QStringLiteral("no active tree in ") + path);
    const flow::PlanWriting written = flow::writePlan(out, trees, QFileInfo(path).fileName());
    switch (written.outcome) {
    case flow::PlanOutcome::TextTooSmall:
        return fail(say(ctx, "CliPlanPngPetit",
                        "in a PNG picture the plan's text would be under 8 pixels, even one tree a "
                        "picture: write it as PDF or SVG; %1 not written")
                        .arg(out));
    case flow::PlanOutcome::NotWritten:
        return fail(say(ctx, "CliPlanNonEcrit", "cannot write %1: %2").arg(out, written.reason));
    default:
        break;
    }
    if (written.files.size() > 1)
        warn(say(ctx, "CliPlanParArbre", "the plan is too large for one legible file, one file a tree: %1")
                 .arg(written.files.join(QStringLiteral(", "))));
    if (written.overMermaidLimit)
        warn(say(ctx, "CliPlanMermaidLong",
                 "longer than the 50,000 characters Mermaid reads by default (maxTextSize), raise that "
                 "setting to show it: %1")
                 .arg(written.files.join(QStringLiteral(", "))));
    return kOk;
}

} // namespace cli
