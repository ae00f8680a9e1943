// What the three programs say of themselves: --help, --version, a command's help, and the refusal of an
// option they do not know, run as a user runs them.
#include "cli/cli_run.h"

#include "core/version.h"

#include <gtest/gtest.h>

using namespace cli_testing;

namespace {

const QString kEditor = QStringLiteral(QAVO_EDITOR), kSim = QStringLiteral(QAVO_SIM);
// Without a display: asking the editor for its help or version must not need one.
const QStringList kNoDisplay = {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"};

TEST(ProgramHelp, HelpVersionAndUnknownOptions) {
    const QString cliUsage = "usage: qavo-cli nodes|normalize|check|";
    expectRuns(
        {{{"--version"}, 0, "qavo-cli " QAVO_VERSION, ""},
         {{"-v"}, 0, "qavo-cli " QAVO_VERSION, ""},
         {{"--help"}, 0, "'qavo-cli help COMMAND'", ""},
         {{"help"}, 0, "  lines-import   CSV becomes", ""},
         {{"help", "call"}, 0, "Usage: qavo-cli call FILE [--tree N]", ""},
         {{"call", "--help"}, 0, "Usage: qavo-cli call FILE [--tree N]", ""},
         {{"send", "x.maa", "-h"}, 0, "  --scenarios FILE", ""},
         {{"fetch", "--help"}, 0, "QAVO_PASS", ""},
         {{"--frobnicate"}, 2, "", "qavo-cli: unknown option --frobnicate\n" + cliUsage},
         {{"help", "frobnicate"}, 2, "", "qavo-cli: unknown command frobnicate\n" + cliUsage},
         {{"--version"}, 0, "qavo " QAVO_VERSION, "", kEditor},
         {{"--help"}, 0, "/FORCEVERSION:text", "", kEditor},
         {{"/HADDR:x", "--frobnicate"}, 2, "", "qavo: unknown option '--frobnicate'\nUsage: qavo", kEditor},
         {{"--version"}, 0, "qavo-sim " QAVO_VERSION, "", kSim},
         {{"--help"}, 0, "--init-from <DIR>", "", kSim},
         {{"--frobnicate"},
          2,
          "",
          "qavo-sim: Unknown option 'frobnicate'.\nqavo-sim: usage: qavo-sim",
          kSim}},
        kNoDisplay);
}

// Every command of the usage line has its help, with its usage line first.
TEST(ProgramHelp, EveryCommandHasItsHelp) {
    const CliRun usage = runCli({});
    ASSERT_EQ(usage.exitCode, 2);
    const QStringList names = usage.err.section("usage: qavo-cli ", 1).section(' ', 0, 0).split('|');
    ASSERT_GE(names.size(), 10) << qPrintable(usage.err);
    for (const QString& name : names) {
        const CliRun r = runCli({"help", name});
        EXPECT_EQ(r.exitCode, 0) << qPrintable(name);
        EXPECT_TRUE(r.out.startsWith("Usage: qavo-cli " + name + ' ')) << qPrintable(r.out);
    }
}

} // namespace
