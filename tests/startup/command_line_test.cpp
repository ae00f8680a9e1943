#include "startup/command_line.h"

#include "support/qt_print.h"

#include <gtest/gtest.h>

TEST(CommandLine, SwitchValues) {
    const char* const servers = "/HADDR:s1 /HPORT:8080 /USER:u1 /LANG:2";
    const struct {
        const char *line, *key, *expected;
    } cases[] = {
        {servers, "LANG", "2"}, // the last switch ends at the appended " /"
        {servers, "PASS", ""},
        {"/PPASS:proxy /PASS:server", "PASS", "server"},      // "/PASS:" is not found inside "/PPASS:"
        {"/USER:Jean Dupont /PASS:x", "USER", "Jean Dupont"}, // inner spaces kept
        {"/USER: padded  /PASS:x", "USER", " padded "},       // only the separator is cut
        {"/USER:a/b /PASS:x", "USER", "a/b"},                 // a slash without a blank before it is data
        {"/haddr:s1", "HADDR", ""},                           // keys are case-sensitive
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandLineSwitch(c.line, c.key), c.expected) << c.line << " / " << c.key;
}

TEST(CommandLine, ModeAndLocalFile) {
    const struct {
        const char* line;
        bool online;
        const char* file;
    } cases[] = {
        {"", false, ""},
        {"C:\\Arbres\\tree.maa", false, "C:\\Arbres\\tree.maa"},
        {"\"C:\\My Trees\\tree one.maa\"", false, "C:\\My Trees\\tree one.maa"}, // quotes removed
        {"/LANG:2", false, ""},                  // a slash but no server: no file
        {"dir/tree.maa", false, "dir/tree.maa"}, // a Unix path is no switch
        {"/HADDR:", true, ""},                   // online even with an empty address
        {"/LANG:1 /HADDR:srv", true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isOnlineCommandLine(c.line), c.online) << c.line;
        if (!c.online) {
            EXPECT_EQ(localFileFromCommandLine(c.line), c.file) << c.line;
        }
    }
}
