#include "core/translation.h"

#include "platform/codepage.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace {

Translation withText(const QString& text) {
    Translation t;
    t.setText(text);
    return t;
}

TEST(Translation, LabelLookupRules) {
    const Translation t =
        withText("\r\n[LANGID]\r\n1=1036\r\n[labels]\r\ntitre=Editor\r\nMenuAdd=Ajouter\r\nEmpty=NULL\r\n"
                 "Dash=0-0\r\nNines=9900990099\r\nSpaced= \t padded \t \r\nTwo=first$CRLF$second\r\n"
                 "Quoted=say \"hi\"\r\nCut=before[after\r\n[Other]\r\nTitre=Autre\r\nLast=end");
    const struct {
        const char *section, *key, *expected;
    } cases[] = {
        {"LABELS", "Titre", "Editor"},  // lower-case header and key found, value keeps its case
        {"LABELS", "Add", "*"},         // a key must start its line
        {"LABELS", "Empty", ""},        // "NULL", "0-0" and "9900990099" stand for empty
        {"LABELS", "Spaced", "padded"}, // blanks and tabs around dropped
        {"LABELS", "Two", "first\r\nsecond"},
        {"LABELS", "Quoted", "say hi"}, // double quotes dropped
        {"LABELS", "Cut", "before"},    // a "[" inside a value ends the section
        {"LABELS", "Last", "*"},        // keys of another section are not seen
        {"Other", "Titre", "Autre"},
        {"Other", "Last", "end"}, // last line without a line end
        {"Missing", "Titre", "*"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(t.getLabel(c.section, c.key), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(t.readTranslation("LABELS", "None", "dflt"), "dflt");
}

TEST(Translation, LangIdGivesTheCodePageOfTheValues) {
    // The workstation's ANSI code page here is Windows-1252. A value goes to bytes in the code page of the
    // file's LANGID and back through the ANSI code page, so text the language's code page cannot hold
    // reads as "?", exactly as on a Western Windows workstation. Without a LANGID nothing is found.
    const struct {
        QByteArray head, value;
        QString expected;
    } cases[] = {
        {"\r\n[LANGID]\r\n1=1036\r\n", "\xe9t\xe9", QStringLiteral("été")},
        {"[LANGID]\r\n1=1036\r\n", "x", "*"},     // the first line is never a header
        {"\r\n[LANGID]\r\n2=1036\r\n", "x", "*"}, // no "1="
        {"\r\n[LANGID]\r\n1=\r\n", "x", "x"},     // its line end makes it non-empty
        {"\r\n[LANGID]\r\n1=1049\r\n", platform::encodeCodePage(1251, QStringLiteral("Привет")), "??????"},
        {"\r\n[LANGID]\r\n1=99999\r\n", "\xe9", QStringLiteral("é")}, // unknown locale: unchanged
    };
    for (const auto& c : cases) {
        Translation t = withText(platform::decodeAnsi(c.head + "[LABELS]\r\nTitre=" + c.value + "\r\n"));
        EXPECT_EQ(t.getLabel("Titre"), c.expected) << c.head.constData();
        t.setChineseSystem(true); // a Chinese system uses the value as the file gives it
        const QString asGiven = c.expected == "*" ? c.expected : platform::decodeAnsi(c.value);
        EXPECT_EQ(t.getLabel("Titre"), asGiven) << c.head.constData();
    }
}

} // namespace
