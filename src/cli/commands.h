#pragma once

#include <QStringList>

// The commands of qavo-cli. Each takes the arguments after its name and returns the exit code.
namespace cli {

int runNodes(const QStringList& args);
int runNormalize(const QStringList& args);
int runCheck(const QStringList& args);
int runPlan(const QStringList& args);
int runFetch(const QStringList& args);
int runSend(const QStringList& args);
int runLinesExport(const QStringList& args);
int runLinesImport(const QStringList& args);
int runCall(const QStringList& args);
int runDiff(const QStringList& args);
int runTest(const QStringList& args);
int runHistory(const QStringList& args);

} // namespace cli
