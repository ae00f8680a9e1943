#pragma once

#include <QStringList>

class QTextStream;

// "qavo-cli check FILE [--info FILE] [--lang N] [--translation FILE] [--force-version TEXT]": verifies a
// tree file against a server information file and prints the findings, one per line. arguments are the
// words after "check". Exit code: 0 no error, 1 errors, 2 bad usage or unreadable file, 3 analysis stopped.
int runCheckCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
