#include "core/profile_file.h"

#include "support/qt_print.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ProfileFile, LookupsFollowTheWindowsProfileReader) {
    const ProfileFile p =
        ProfileFile::parse(QStringLiteral("[General]\r\nNb_arbre=3\r\nversion =  900.2  \r\n"
                                          "quoted=\"  spaced  \"\r\nhalf=\"open\r\ntwice=\"\"inner\"\"\r\n"
                                          "empty=\r\n; comment=1\r\nNb_arbre=9\r\nnul= cut") +
                           QChar(0) + "after \r\nlong=" + QString(300, 'x') +
                           "\r\n[Other]\r\nNb_arbre=7\r\n[general]\r\nStandard=999\r\n");
    const struct {
        const char *section, *key, *expected;
    } cases[] = {
        {"General", "Nb_arbre", "3"},        // header on the very first line; the first of a key wins
        {"general", "version", "900.2"},     // blanks around key and value dropped
        {"General", "quoted", "  spaced  "}, // one pair of quotes dropped, inner blanks kept
        {"General", "half", "\"open"},       // a lone quote stays
        {"General", "twice", "\"inner\""},   // only one pair is dropped
        {"General", "empty", ""},            // present but empty: "" and not the default
        {"General", "nul", "cut"},           // a value ends at its first NUL
        {"General", "; comment", "<def>"},   // comment lines are not keys
        {"Other", "Nb_arbre", "7"},
        {"General", "Standard", "<def>"}, // a repeated section is never reached
        {"Missing", "Nb_arbre", "<def>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(p.value(c.section, c.key, "<def>"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(p.value("General", "long"), QString(254, 'x'));
}

TEST(ProfileFile, FilesAreReadInTheAnsiCodePageAndAMissingOneGivesTheDefault) {
    QTemporaryDir dir;
    testing_support::writeBytes(dir.filePath("a.ini"), "[S]\r\nk=g\xe9n\xe9ral\r\n");
    EXPECT_EQ(readProfileString("S", "k", dir.filePath("a.ini"), QString()), QStringLiteral("général"));
    EXPECT_EQ(readProfileString("S", "k", dir.filePath("none.ini"), "dflt"), "dflt");
}
