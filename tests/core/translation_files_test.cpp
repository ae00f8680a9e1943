#include "core/translation.h"

#include "platform/codepage.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QString shippedPath(const char* name) {
    return testing_support::resourcesDir() + '/' + name;
}

// "SECTION/KEY" for every entry line of a translation file.
QSet<QString> keysOf(const char* name) {
    QSet<QString> keys;
    QString section;
    for (const QString& line :
         platform::decodeAnsi(testing_support::readBytes(shippedPath(name))).split("\r\n")) {
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
        ASSERT_TRUE(t.loadFile(shippedPath(file)));
        for (const QString& key : wanted) {
            const QString label = t.getLabel(key.section('/', 0, 0), key.section('/', 1));
            EXPECT_TRUE(label != "*" && !label.isEmpty()) << file << ": " << key.toStdString();
        }
    }
}

} // namespace
