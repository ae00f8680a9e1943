#include "editor/help_file.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(HelpFile, NamedAfterTheLanguageWithFrenchAsFallback) {
    QTemporaryDir dir;
    for (const char* name : {"QAVO_Hp00.html", "QAVO_Hp01.html", "QAVO_Hp12.html"})
        testing_support::writeBytes(dir.filePath(name), "<html></html>");
    const std::pair<const char*, const char*> cases[] = {
        {"1", "QAVO_Hp01.html"}, {"12", "QAVO_Hp12.html"}, {"2", "QAVO_Hp00.html"}};
    for (const auto& [lang, expected] : cases)
        EXPECT_EQ(helpFilePath(dir.path(), lang), dir.filePath(expected)) << lang;
}
