#include "startup/translation.h"

#include "platform/codepage.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

Translation withText(const QString& text) {
    Translation t;
    t.setText(text);
    return t;
}

const QString kFile = QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n"
                                     "[labels]\r\n"
                                     "titre=Editor\r\n"
                                     "MenuAdd=Ajouter\r\n"
                                     "Empty=NULL\r\n"
                                     "Lower=null\r\n"
                                     "Dash=0-0\r\n"
                                     "Nines=9900990099\r\n"
                                     "Spaced= \t padded \t \r\n"
                                     "Two=first$CRLF$second\r\n"
                                     "Quoted=say \"hi\"\r\n"
                                     " Indented=no\r\n"
                                     "Cut=before[after\r\n"
                                     "AfterCut=lost\r\n"
                                     "[Other]\r\n"
                                     "Titre=Autre\r\n"
                                     "Last=end");

} // namespace

TEST(Translation, LabelLookupRules) {
    const Translation t = withText(kFile);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"LABELS", "Titre", "Editor"}, // lower-case header and key found, value keeps its case
        {"LABELS", "MenuAdd", "Ajouter"},
        {"LABELS", "Add", "*"},      // a key must start its line
        {"LABELS", "Empty", ""},     // "NULL" stands for empty
        {"LABELS", "Lower", "null"}, // lower case is a real value
        {"LABELS", "Dash", ""},
        {"LABELS", "Nines", ""},
        {"LABELS", "Spaced", "padded"}, // blanks and tabs around dropped
        {"LABELS", "Two", "first\r\nsecond"},
        {"LABELS", "Quoted", "say hi"}, // double quotes dropped
        {"LABELS", "Indented", "*"},    // indented keys are not found
        {"LABELS", "Cut", "before"},    // a "[" inside a value ends the section
        {"LABELS", "AfterCut", "*"},
        {"LABELS", "Last", "*"}, // keys of another section are not seen
        {"Other", "Titre", "Autre"},
        {"Other", "Last", "end"}, // last line without a line end
        {"Missing", "Titre", "*"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t.getLabel(QString::fromUtf8(c.section), QString::fromUtf8(c.key)),
                  QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    }
}

TEST(Translation, HeaderOnTheFirstLineOrMissingLangIdGivesTheDefault) {
    const QString body = QStringLiteral("[LABELS]\r\nTitre=Editor\r\n");
    struct Case {
        QString text;
        const char* expected;
    } cases[] = {
        {QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n") + body, "Editor"},
        {QStringLiteral("[LANGID]\r\n1=1036\r\n") + body, "*"},      // first line is never a header
        {QStringLiteral("\r\n") + body, "*"},                        // no [LANGID]
        {QStringLiteral("\r\n[LANGID]\r\n2=1036\r\n") + body, "*"},  // no "1="
        {QStringLiteral("\r\n[LANGID]\r\n1=\r\n") + body, "Editor"}, // its line end makes it non-empty
        {QStringLiteral("\r\n[LANGID]\r\n1=") + body, "*"},          // empty up to the next "["
        {QStringLiteral("\r\n[LANGID]\r\n1=\t1036\r\n") + body, "Editor"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withText(c.text).getLabel(QStringLiteral("Titre")), QString::fromUtf8(c.expected))
            << c.text.toStdString();
    EXPECT_EQ(withText(cases[0].text)
                  .readTranslation(QStringLiteral("LABELS"), QStringLiteral("None"), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
}

TEST(Translation, ValuesPassThroughTheCodePageOfTheirLanguage) {
    // The workstation's ANSI code page here is Windows-1252. A value goes to bytes in the code page of the
    // file's LANGID and back through the ANSI code page, so text the language's code page cannot hold
    // reads as "?", exactly as on a Western Windows workstation.
    const QByteArray russian = platform::encodeCodePage(1251, QString::fromUtf8("Привет"));
    struct Case {
        int locale;
        QByteArray value;
        QString expected;
    } cases[] = {
        {1036, QByteArray("\xe9t\xe9"), QString::fromUtf8("été")},
        {1033, QByteArray("caf\xe9"), QString::fromUtf8("café")},
        {1049, russian, QStringLiteral("??????")},
        {1049, QByteArray("Hello"), QStringLiteral("Hello")},
        {1032, QByteArray("\xe9"), QStringLiteral("?")},     // Greek code page has no "é"
        {99999, QByteArray("\xe9"), QString::fromUtf8("é")}, // unknown locale: unchanged
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = dir.filePath(QStringLiteral("qavo_lg07.txt"));
        testing_support::writeBytes(path, QByteArray("\r\n[LANGID]\r\n1=") + QByteArray::number(c.locale) +
                                              "\r\n[LABELS]\r\nTitre=" + c.value + "\r\n");
        Translation t;
        ASSERT_TRUE(t.loadFile(path));
        EXPECT_EQ(t.getLabel(QStringLiteral("Titre")), c.expected) << c.locale;
        // A Chinese system uses the value as the file gives it.
        t.setChineseSystem(true);
        EXPECT_EQ(t.getLabel(QStringLiteral("Titre")), platform::decodeAnsi(c.value)) << c.locale;
    }
}

TEST(Translation, FileNamesAndChineseLocales) {
    struct Case {
        const char* lang;
        const char* file;
    } cases[] = {{"3", "/p/qavo_lg03.txt"},
                 {"12", "/p/qavo_lg12.txt"},
                 {"0", "/p/qavo_lg00.txt"},
                 {"", "/p/qavo_lg.txt"},
                 {"x", "/p/qavo_lgx.txt"}};
    for (const Case& c : cases)
        EXPECT_EQ(translationFileFor(QStringLiteral("/p"), QString::fromUtf8(c.lang)),
                  QString::fromUtf8(c.file));
    for (int id : {1028, 2052, 3076, 4100, 5124, 31748})
        EXPECT_TRUE(isChineseLocale(id)) << id;
    for (int id : {1033, 1036, 1041, 0})
        EXPECT_FALSE(isChineseLocale(id)) << id;
}
