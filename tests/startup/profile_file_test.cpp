#include "startup/profile_file.h"

#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSample = QStringLiteral("[General]\r\n"
                                       "Nb_arbre=3\r\n"
                                       "version =  900.2  \r\n"
                                       "quoted=\"  spaced  \"\r\n"
                                       "half=\"open\r\n"
                                       "twice=\"\"inner\"\"\r\n"
                                       "empty=\r\n"
                                       "; comment=1\r\n"
                                       "Nb_arbre=9\r\n"
                                       "[Other]\r\n"
                                       "Nb_arbre=7\r\n"
                                       "[general]\r\n"
                                       "Standard=999\r\n");

} // namespace

TEST(ProfileFile, LookupsFollowTheWindowsProfileReader) {
    const ProfileFile p = ProfileFile::parse(kSample);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"General", "Nb_arbre", "3"},        // header on the very first line is found
        {"GENERAL", "NB_ARBRE", "3"},        // names match without regard to case
        {"general", "version", "900.2"},     // blanks around key and value dropped
        {"General", "quoted", "  spaced  "}, // one pair of quotes dropped, inner blanks kept
        {"General", "half", "\"open"},       // a lone quote stays
        {"General", "twice", "\"inner\""},   // only one pair is dropped
        {"General", "empty", ""},            // present but empty: "" and not the default
        {"General", "; comment", "<def>"},   // comment lines are not keys
        {"Other", "Nb_arbre", "7"},
        {"General", "Standard", "<def>"}, // a repeated section is never reached
        {"Missing", "Nb_arbre", "<def>"},
        {"General", "missing", "<def>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(p.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QStringLiteral("<def>")),
                  QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    }
}

TEST(ProfileFile, ValueIsCutTo254Characters) {
    const QString longValue(300, QLatin1Char('x'));
    const ProfileFile p = ProfileFile::parse(QStringLiteral("[S]\nk=") + longValue + QStringLiteral("\n"));
    EXPECT_EQ(p.value(QStringLiteral("S"), QStringLiteral("k")), QString(254, QLatin1Char('x')));
}

TEST(ProfileFile, MissingFileGivesDefaultsAndAnsiBytesDecode) {
    QTemporaryDir dir;
    EXPECT_EQ(readProfileString(QStringLiteral("S"), QStringLiteral("k"),
                                dir.filePath(QStringLiteral("none.ini")), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
    EXPECT_FALSE(ProfileFile::load(dir.filePath(QStringLiteral("none.ini"))).exists());
    EXPECT_EQ(readProfileString(QStringLiteral("S"), QStringLiteral("k"), QString(), QStringLiteral("d")),
              QStringLiteral("d"));

    const QString path = dir.filePath(QStringLiteral("a.ini"));
    testing_support::writeBytes(path, QByteArray("[S]\r\nk=g\xe9n\xe9ral\r\n"));
    EXPECT_EQ(readProfileString(QStringLiteral("s"), QStringLiteral("K"), path, QString()),
              QString::fromUtf8("général"));
}
