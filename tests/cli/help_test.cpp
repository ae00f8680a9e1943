// What the three programs say of themselves: --help, --version, a command's help, and the refusal of an
// option they do not know, run as a user runs them.
#include "cli/cli_run.h"

#include "core/version.h"

#include <gtest/gtest.h>

using cli_testing::CliRun;
using cli_testing::runCli;

namespace {

const QString kCli = QStringLiteral(QAVO_CLI), kEditor = QStringLiteral(QAVO_EDITOR),
              kSim = QStringLiteral(QAVO_SIM);
// Without a display: asking the editor for its help or version must not need one.
const QStringList kNoDisplay = {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"};

TEST(ProgramHelp, HelpVersionAndUnknownOptions) {
    const QString cliUsage = "usage: qavo-cli nodes|normalize|check|";
    const struct {
        QString program;
        QStringList args;
        int exitCode;
        QString out, err; // texts each stream must hold ("" holds nothing)
    } cases[] = {
        {kCli, {"--version"}, 0, "qavo-cli " QAVO_VERSION, ""},
        {kCli, {"-v"}, 0, "qavo-cli " QAVO_VERSION, ""},
        {kCli, {"--help"}, 0, "'qavo-cli help COMMAND'", ""},
        {kCli, {"help"}, 0, "  lines-import   CSV becomes", ""},
        {kCli, {"help", "call"}, 0, "Usage: qavo-cli call FILE [--tree N]", ""},
        {kCli, {"call", "--help"}, 0, "Usage: qavo-cli call FILE [--tree N]", ""},
        {kCli, {"send", "x.maa", "-h"}, 0, "  --scenarios FILE", ""},
        {kCli, {"fetch", "--help"}, 0, "QAVO_PASS", ""},
        {kCli, {"--frobnicate"}, 2, "", "qavo-cli: unknown option --frobnicate\n" + cliUsage},
        {kCli, {"help", "frobnicate"}, 2, "", "qavo-cli: unknown command frobnicate\n" + cliUsage},
        {kEditor, {"--version"}, 0, "qavo " QAVO_VERSION, ""},
        {kEditor, {"--help"}, 0, "/FORCEVERSION:text", ""},
        {kEditor, {"/HADDR:x", "--frobnicate"}, 2, "", "qavo: unknown option '--frobnicate'\nUsage: qavo"},
        {kSim, {"--version"}, 0, "qavo-sim " QAVO_VERSION, ""},
        {kSim, {"--help"}, 0, "--init-from <DIR>", ""},
        {kSim, {"--frobnicate"}, 2, "", "usage: qavo-sim"},
    };
    for (const auto& c : cases) {
        const QString what = c.program.section('/', -1) + ' ' + c.args.join(' ');
        const CliRun r = runCli(c.args, kNoDisplay, 0, c.program);
        EXPECT_EQ(r.exitCode, c.exitCode) << qPrintable(what) << ": " << qPrintable(r.err);
        EXPECT_TRUE(c.out.isEmpty() ? r.out.isEmpty() : r.out.contains(c.out))
            << qPrintable(what + ":\n" + r.out);
        EXPECT_TRUE(c.err.isEmpty() ? r.err.isEmpty() : r.err.contains(c.err))
            << qPrintable(what + ":\n" + r.err);
    }
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
