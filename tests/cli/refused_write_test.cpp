// Every file the programs write, refused by the disk part way: the old file stays whole and the cause is
// said. The disk's refusal is a file-size limit on the writing process (EFBIG, as a full disk's ENOSPC).
#include "cli/cli_run.h"
#include "support/qt_print.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using cli_testing::runCli;
using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

const QByteArray kOld = QByteArray("the previous content, longer than the limit\r\n").repeated(40);
constexpr qint64 kLimit = 600;

QString example(const QString& name) {
    return testing_support::resourcesDir() + "/examples/" + name;
}

TEST(RefusedWrite, KeepsTheOldFileAndSaysWhy) {
    testing_support::SimProcess sim;
    ASSERT_NE(sim.port(), 0);
    const QStringList server{"/HADDR:127.0.0.1", "/HPORT:" + QString::number(sim.port()), "/USER:u",
                             "/PASS:p"};
    const struct {
        QStringList args; // OUT is the file written
        const char* out;
        bool hardLinked;
    } cases[] = {
        {{"normalize", example("demo.maa"), "OUT"}, "out.maa", false},
        {{"normalize", example("demo.maa"), "OUT"}, "linked.maa", true},
        {{"plan", example("demo.maa"), "OUT"}, "plan.svg", false},
        {{"plan", example("demo.maa"), "OUT"}, "plan.pdf", false},
        {{"plan", example("demo.maa"), "OUT"}, "plan.png", false},
        {{"plan", example("demo.maa"), "OUT"}, "plan.mmd", false},
        {QStringList{"fetch", "OUT"} + server, "fetched.maa", false},
        {QStringList{"lines-export", "OUT"} + server, "lines.csv", false},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString out = dir.filePath(c.out), link = dir.filePath("other-name");
        writeBytes(out, kOld);
        if (c.hardLinked) {
            ASSERT_EQ(::link(QFile::encodeName(out), QFile::encodeName(link)), 0);
        }
        QStringList args = c.args;
        args.replaceInStrings(QStringLiteral("OUT"), out);
        const cli_testing::CliRun r = runCli(args, {}, kLimit);
        EXPECT_NE(r.exitCode, 0) << c.out;
        EXPECT_TRUE(r.err.contains("File too large")) << c.out << ": " << r.err.toStdString();
        EXPECT_EQ(readBytes(out), kOld) << c.out;
        if (c.hardLinked) {
            EXPECT_EQ(readBytes(link), kOld) << c.out;
        }
        // Nothing is left beside the file.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), c.hardLinked ? 2 : 1) << c.out;
    }
}

} // namespace
