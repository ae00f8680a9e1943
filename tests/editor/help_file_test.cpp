#include "editor/help_file.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(HelpFile, NamedAfterTheLanguageWithFrenchAsFallback) {
    const struct {
        const char* lang;
        const char* present; // besides the French help
        const char* expected;
    } cases[] = {
        {"1", "QAVO_Hp01.html", "QAVO_Hp01.html"},
        {"12", "QAVO_Hp12.html", "QAVO_Hp12.html"},
        {"2", "QAVO_Hp01.html", "QAVO_Hp00.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("LANG ") + c.lang);
        QTemporaryDir dir;
        for (const char* name : {"QAVO_Hp00.html", c.present})
            testing_support::writeBytes(dir.filePath(name), "<html></html>");
        EXPECT_EQ(helpFilePath(dir.path(), c.lang), dir.filePath(c.expected));
    }
}

} // namespace
