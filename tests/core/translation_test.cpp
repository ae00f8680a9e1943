// The text formats the programs read (profile files, translation files) in their code pages, and the
// diagnostics list.
#include "core/diagnostics_list.h"
#include "core/profile_file.h"
#include "core/translation.h"
#include "platform/codepage.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(Translation, LabelLookupRules) {
    Translation t;
    t.setText("\r\n[LANGID]\r\n1=1036\r\n[labels]\r\ntitre=Editor\r\nMenuAdd=Ajouter\r\nEmpty=NULL\r\n"
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
        Translation t;
        t.setText(platform::decodeAnsi(c.head + "[LABELS]\r\nTitre=" + c.value + "\r\n"));
        EXPECT_EQ(t.getLabel("Titre"), c.expected) << c.head.constData();
        t.setChineseSystem(true); // a Chinese system uses the value as the file gives it
        const QString asGiven = c.expected == "*" ? c.expected : platform::decodeAnsi(c.value);
        EXPECT_EQ(t.getLabel("Titre"), asGiven) << c.head.constData();
    }
}

// "SECTION/KEY" for every entry line of a translation file.
QSet<QString> keysOf(const char* name) {
    QSet<QString> keys;
    QString section;
    for (const QString& line :
         platform::decodeAnsi(testing_support::readBytes(testing_support::resource(name))).split("\r\n")) {
        if (line.startsWith('['))
            section = line.mid(1, line.indexOf(']') - 1).toUpper();
        else if (line.contains('=') && section != "LANGID")
            keys.insert(section + '/' + line.left(line.indexOf('=')).toUpper());
    }
    return keys;
}

// "SECTION/Key" for every getLabel("Key") or getLabel("Section", "Key") in the sources, the literals bare
// or wrapped in QStringLiteral / QLatin1String.
QSet<QString> labelUsesInSources() {
    const QString literal =
        R"re(\s*(?|(?:QStringLiteral|QLatin1String)\(\s*"([^"\\]*)"\s*\)|u?"([^"\\]*)")\s*)re";
    const QRegularExpression use("getLabel\\(" + literal + "(?:," + literal + ")?\\)");
    QSet<QString> uses;
    QDirIterator it(QAVO_SOURCE_DIR "/src", {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString text = QString::fromUtf8(testing_support::readBytes(it.next()));
        for (auto m = use.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            uses << (match.hasCaptured(2) ? match.captured(1) + '/' + match.captured(2)
                                          : "LABELS/" + match.captured(1));
        }
    }
    return uses;
}

// A label the program asks for but a shipped file lacks (or hides behind a malformed line) shows as "*".
TEST(TranslationFiles, BothFilesHoldTheSameKeysAndEveryLabelTheProgramUses) {
    const QSet<QString> french = keysOf("qavo_lg00.txt");
    ASSERT_GT(french.size(), 150);
    EXPECT_EQ(french, keysOf("qavo_lg01.txt"));
    QSet<QString> wanted = labelUsesInSources();
    // The start-up and the fixed tables alone look up several labels; an empty scan means a broken pattern.
    ASSERT_GT(wanted.size(), 5);
    // Captions whose keys are built from a number: days, languages, general parameters.
    for (const auto& [prefix, last] : {std::pair{"J", 7}, {"LblLangue", 4}, {"G", 3}})
        for (int n = 1; n <= last; ++n)
            wanted << QStringLiteral("LABELS/%1%2").arg(prefix).arg(n);
    wanted += french;
    for (const char* file : {"qavo_lg00.txt", "qavo_lg01.txt"}) {
        Translation t;
        ASSERT_TRUE(t.loadFile(testing_support::resource(file)));
        for (const QString& key : wanted) {
            const QString label = t.getLabel(key.section('/', 0, 0), key.section('/', 1));
            EXPECT_TRUE(label != "*" && !label.isEmpty()) << file << ": " << key.toStdString();
        }
    }
}

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

TEST(DiagnosticsList, LevelsGiveImageAndColour) {
    DiagnosticsList list;
    list.setClock([] { return QTime(9, 5, 7); });
    for (const short level : {1, 2, 3, 0})
        list.AjouteInfo(QStringLiteral("message %1").arg(level), level, QStringLiteral("E-M1-1"));
    QStringList rows; // "text|image|colour|tag"
    for (int row = 0; row < list.rowCount(); ++row) {
        const auto data = [&](int role) { return list.index(row).data(role).toString(); };
        rows << data(Qt::DisplayRole) + '|' + data(DiagnosticsList::ImageRole) + '|' +
                    QString::number(list.index(row).data(DiagnosticsList::RgbRole).toInt(), 16) + '|' +
                    data(DiagnosticsList::TagRole);
    }
    EXPECT_EQ(rows,
              QStringList({"09:05:07 - message 1|Warning|cc5f00|E-M1-1",
                           "09:05:07 - message 2|Erreur|ad0000|E-M1-1",
                           "09:05:07 - message 3|Ok|1b6100|E-M1-1", "09:05:07 - message 0|Info|0|E-M1-1"}));
}

} // namespace
