#pragma once

#include "core/app_context.h"

#include <QString>
#include <QStringList>

namespace cli {

// Exit code of a send whose scenarios fail: nothing is sent.
constexpr int kScenariosFailed = 6;

// Runs the scenarios of file `scenarios` on the tree to send, as `test` runs them with checkArgs (the tree
// file first, then the options of the check). kOk when they all pass; else kScenariosFailed once said
// which failed and that nothing is sent, or kFailure for a scenario file that cannot be read.
int runScenarioGate(const QString& scenarios, QStringList checkArgs, const AppContext& ctx);

} // namespace cli
