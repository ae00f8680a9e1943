#include "startup/command_line.h"

#include "startup/app_context.h"

#include <gtest/gtest.h>

TEST(CommandLine, SwitchValues) {
    struct Case {
        const char* line;
        const char* key;
        const char* expected;
    } cases[] = {
        {"/HADDR:s1 /HPORT:8080 /USER:u1 /LANG:2", "HADDR", "s1"},
        {"/HADDR:s1 /HPORT:8080 /USER:u1 /LANG:2", "HPORT", "8080"},
        {"/HADDR:s1 /HPORT:8080 /USER:u1 /LANG:2", "LANG", "2"}, // last switch ends at the appended " /"
        {"/HADDR:s1 /HPORT:8080 /USER:u1 /LANG:2", "PASS", ""},
        {"/PPASS:proxy /PASS:server", "PASS", "server"}, // "/PASS:" is not found inside "/PPASS:"
        {"/PPASS:proxy /PASS:server", "PPASS", "proxy"},
        {"/PASS:server /PPASS:proxy", "PASS", "server"},
        {"/USER:Jean Dupont /PASS:x", "USER", "Jean Dupont"}, // inner spaces kept
        {"/USER: padded  /PASS:x", "USER", " padded "},       // only the separator is cut
        {"/USER:\"quoted\" /PASS:x", "USER", "\"quoted\""},   // quotes kept
        {"/USER:a/b /PASS:x", "USER", "a/b"},                 // a slash without a blank before it is data
        {"/LANG:1 /LANG:2", "LANG", "1"},                     // a second occurrence is ignored
        {"/HADDR: /LANG:2", "HADDR", ""},
        {"/haddr:s1", "HADDR", ""}, // keys are case-sensitive
        {"/HADDR:s1 /OTHER:z", "OTHER", "z"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(commandLineSwitch(QString::fromUtf8(c.line), QString::fromUtf8(c.key)),
                  QString::fromUtf8(c.expected))
            << c.line << " / " << c.key;
    }
}

TEST(CommandLine, ParseStoresTheTenValues) {
    AppContext ctx;
    parseOnlineCommandLine(ctx,
                           QStringLiteral("/PPORT:3128 /HADDR:10.0.0.1 /HPORT:80 /USER:admin /PASS:pw "
                                          "/PADDR:proxy /PLOGIN:pl /PPASS:pp /FORCEVERSION:900.1 /LANG:1"));
    EXPECT_EQ(ctx.HADDR, QStringLiteral("10.0.0.1"));
    EXPECT_EQ(ctx.HPORT, QStringLiteral("80"));
    EXPECT_EQ(ctx.USER, QStringLiteral("admin"));
    EXPECT_EQ(ctx.PASS, QStringLiteral("pw"));
    EXPECT_EQ(ctx.PADDR, QStringLiteral("proxy"));
    EXPECT_EQ(ctx.PPORT, QStringLiteral("3128"));
    EXPECT_EQ(ctx.PLOGIN, QStringLiteral("pl"));
    EXPECT_EQ(ctx.PPASS, QStringLiteral("pp"));
    EXPECT_EQ(ctx.FORCEVERSION, QStringLiteral("900.1"));
    EXPECT_EQ(ctx.LANG, QStringLiteral("1"));
}

TEST(CommandLine, ModeAndLocalFile) {
    struct Case {
        const char* line;
        bool online;
        const char* file;
    } cases[] = {
        {"", false, ""},
        {"C:\\Arbres\\tree.maa", false, "C:\\Arbres\\tree.maa"},
        {"\"C:\\My Trees\\tree one.maa\"", false, "C:\\My Trees\\tree one.maa"}, // quotes removed
        {"tree.maa", false, "tree.maa"},
        {"/LANG:2", false, ""},                  // a slash but no server: no file
        {"dir/tree.maa", false, "dir/tree.maa"}, // a Unix path is no switch
        {"\"/home/u/My Trees/t.maa\"", false, "/home/u/My Trees/t.maa"},
        {"/PPASS:x", false, ""},
        {"/HADDR:", true, ""}, // online even with an empty address
        {"/LANG:1 /HADDR:srv", true, ""},
        {"/hADDR:srv", false, ""},
    };
    for (const Case& c : cases) {
        const QString line = QString::fromUtf8(c.line);
        EXPECT_EQ(isOnlineCommandLine(line), c.online) << c.line;
        if (!c.online) {
            EXPECT_EQ(localFileFromCommandLine(line), QString::fromUtf8(c.file)) << c.line;
        }
    }
}
