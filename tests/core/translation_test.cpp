#include "core/translation.h"

#include "platform/codepage.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QTemporaryDir>
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
        {"LABELS", "Titre", "Editor"}, // lower-case header and key found, value keeps its case
        {"LABELS", "Add", "*"},        // a key must start its line
        {"LABELS", "Empty", ""},       // "NULL", "0-0" and "9900990099" stand for empty
        {"LABELS", "Dash", ""},
        {"LABELS", "Nines", ""},
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

TEST(Translation, HeaderOnTheFirstLineOrMissingLangIdGivesTheDefault) {
    const QString body = "[LABELS]\r\nTitre=Editor\r\n";
    const std::pair<const char*, const char*> cases[] = {
        {"\r\n[LANGID]\r\n1=1036\r\n", "Editor"},
        {"[LANGID]\r\n1=1036\r\n", "*"},      // the first line is never a header
        {"\r\n", "*"},                        // no [LANGID]
        {"\r\n[LANGID]\r\n2=1036\r\n", "*"},  // no "1="
        {"\r\n[LANGID]\r\n1=\r\n", "Editor"}, // its line end makes it non-empty
        {"\r\n[LANGID]\r\n1=", "*"},          // empty up to the next "["
    };
    for (const auto& [head, expected] : cases)
        EXPECT_EQ(withText(head + body).getLabel("Titre"), expected) << head;
}

TEST(Translation, ValuesPassThroughTheCodePageOfTheirLanguage) {
    // The workstation's ANSI code page here is Windows-1252. A value goes to bytes in the code page of the
    // file's LANGID and back through the ANSI code page, so text the language's code page cannot hold
    // reads as "?", exactly as on a Western Windows workstation.
    const struct {
        int locale;
        QByteArray value;
        QString expected;
    } cases[] = {
        {1036, "\xe9t\xe9", QStringLiteral("été")},
        {1049, platform::encodeCodePage(1251, QStringLiteral("Привет")), "??????"},
        {99999, "\xe9", QStringLiteral("é")}, // unknown locale: unchanged
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QString path = dir.filePath("qavo_lg07.txt");
        testing_support::writeBytes(path, "\r\n[LANGID]\r\n1=" + QByteArray::number(c.locale) +
                                              "\r\n[LABELS]\r\nTitre=" + c.value + "\r\n");
        Translation t;
        ASSERT_TRUE(t.loadFile(path));
        EXPECT_EQ(t.getLabel("Titre"), c.expected) << c.locale;
        t.setChineseSystem(true); // a Chinese system uses the value as the file gives it
        EXPECT_EQ(t.getLabel("Titre"), platform::decodeAnsi(c.value)) << c.locale;
    }
}

} // namespace
