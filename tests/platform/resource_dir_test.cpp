// Where a program finds its files: beside it (a build, Windows), else in ../share/qavo (a package).
#include "platform/paths.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ResourceDir, BesideTheProgramFirstThenShareQavo) {
    const struct {
        bool beside, shared;
        const char* expected; // under the root
    } cases[] = {
        {true, true, "bin"},
        {false, true, "share/qavo"},
        {false, false, "bin"}, // nothing anywhere: the start-up says which file is missing, beside it
    };
    for (const auto& c : cases) {
        QTemporaryDir root;
        ASSERT_TRUE(QDir().mkpath(root.filePath("bin")) && QDir().mkpath(root.filePath("share/qavo")));
        if (c.beside) testing_support::writeBytes(root.filePath("bin/qavo_lg00.txt"), "[LABELS]\r\n");
        if (c.shared) testing_support::writeBytes(root.filePath("share/qavo/qavo_lg00.txt"), "[LABELS]\r\n");
        EXPECT_EQ(platform::resourceDir(root.filePath("bin")), root.filePath(c.expected))
            << c.beside << c.shared;
    }
}

} // namespace
