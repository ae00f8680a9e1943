#include "platform/codepage.h"

#include <gtest/gtest.h>

TEST(CodePage, Windows1252RoundTripsEveryByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(platform::encodeAnsi(platform::decodeAnsi(all)), all);
}

TEST(CodePage, AccentsAndEuroSign) {
    EXPECT_EQ(platform::decodeAnsi(QByteArray("\xe9t\xe9 \x80", 5)), QString::fromUtf8("été €"));
    EXPECT_EQ(platform::encodeAnsi(QString::fromUtf8("Accueil général")),
              QByteArray("Accueil g\xe9n\xe9ral"));
    EXPECT_EQ(platform::encodeAnsi(QString::fromUtf8("日")), QByteArray("?"));
}

TEST(CodePage, LocalesMapToTheirAnsiCodePage) {
    struct Case {
        int locale;
        int codePage;
    } cases[] = {{1036, 1252}, {1033, 1252}, {1049, 1251}, {1029, 1250},   {1041, 932},    {2052, 936},
                 {1042, 949},  {1028, 950},  {1054, 874},  {1032, 1253},   {1055, 1254},   {1037, 1255},
                 {1025, 1256}, {1061, 1257}, {1066, 1258}, {0x081A, 1250}, {0x0C1A, 1251}, {99999, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(platform::codePageForLocale(c.locale), c.codePage) << c.locale;
}

TEST(CodePage, OtherCodePagesConvert) {
    const QString cyrillic = QString::fromUtf8("Привет");
    EXPECT_EQ(platform::decodeCodePage(1251, platform::encodeCodePage(1251, cyrillic)), cyrillic);
    const QString japanese = QString::fromUtf8("日本");
    EXPECT_EQ(platform::decodeCodePage(932, platform::encodeCodePage(932, japanese)), japanese);
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
    struct Case {
        int codePage;
        const char* utf8;
        QByteArray expected;
    } cases[] = {{1251, "é", "?"},
                 {1251, "aéb", "a?b"},
                 {1253, "Ωé", "\xd9?"},
                 {1251, "\x1a\xc3\xa9", "\x1a?"}}; // the SUB control itself stays
    for (const Case& c : cases)
        EXPECT_EQ(platform::encodeCodePage(c.codePage, QString::fromUtf8(c.utf8)), c.expected) << c.utf8;
}
