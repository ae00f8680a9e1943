#include "platform/codepage.h"

#include "support/qt_print.h"

#include <gtest/gtest.h>

TEST(CodePage, Windows1252RoundTripsEveryByteAndReadsAccentsAndTheEuro) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(platform::encodeAnsi(platform::decodeAnsi(all)), all);
    EXPECT_EQ(platform::decodeAnsi("\xe9t\xe9 \x80"), QStringLiteral("été €"));
    EXPECT_EQ(platform::encodeAnsi(QStringLiteral("Accueil général 日")), "Accueil g\xe9n\xe9ral ?");
}

TEST(CodePage, OtherCodePagesConvertAndUnmappableCharactersBecomeQuestionMarks) {
    for (const auto& [codePage, text] : {std::pair{1251, "Привет"}, {932, "日本"}})
        EXPECT_EQ(platform::decodeCodePage(codePage, platform::encodeCodePage(codePage, text)), text);
    const std::tuple<int, const char*, QByteArray> cases[] = {
        {1251, "aéb", "a?b"}, {1253, "Ωé", "\xd9?"}, {1251, "\x1a\xc3\xa9", "\x1a?"}}; // SUB itself stays
    for (const auto& [codePage, utf8, expected] : cases)
        EXPECT_EQ(platform::encodeCodePage(codePage, utf8), expected) << utf8;
}
