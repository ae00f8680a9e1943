#include "core/translation.h"

#include "platform/codepage.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const char* const kFiles[] = {"qavo_lg00.txt", "qavo_lg01.txt"};

QString shippedPath(const char* name) {
    return testing_support::resourcesDir() + '/' + name;
}

Translation shipped(const char* name) {
    Translation t;
    t.loadFile(shippedPath(name));
    return t;
}

// "SECTION/KEY" for every entry line of a translation file.
QSet<QString> keysOf(const char* name) {
    QSet<QString> keys;
    QString section;
    for (const QString& line :
         platform::decodeAnsi(testing_support::readBytes(shippedPath(name))).split("\r\n")) {
        if (line.startsWith('['))
            section = line.mid(1, line.indexOf(']') - 1).toUpper();
        else if (line.contains('='))
            keys.insert(section + '/' + line.left(line.indexOf('=')).toUpper());
    }
    return keys;
}

// "SECTION/Key (file)" for every getLabel("Key") or getLabel("Section", "Key") in the sources, the literals
// bare or wrapped in QStringLiteral / QLatin1String.
QStringList labelUsesInSources() {
    const QString literal =
        R"re(\s*(?|(?:QStringLiteral|QLatin1String)\(\s*"([^"\\]*)"\s*\)|u?"([^"\\]*)")\s*)re";
    const QRegularExpression one("getLabel\\(" + literal + "\\)"),
        two("getLabel\\(" + literal + ',' + literal + "\\)");
    QStringList uses;
    QDirIterator it(QAVO_SOURCE_DIR "/src", {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString text = QString::fromUtf8(testing_support::readBytes(path));
        for (auto m = one.globalMatch(text); m.hasNext();)
            uses << "LABELS/" + m.next().captured(1) + " (" + path + ")";
        for (auto m = two.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            uses << match.captured(1) + '/' + match.captured(2) + " (" + path + ")";
        }
    }
    return uses;
}

TEST(TranslationFiles, EveryLabelUsedInTheSourcesAndEveryNumberedLabelExistsInBothFiles) {
    QStringList uses = labelUsesInSources();
    // The start-up and the fixed tables alone look up several labels; an empty scan means a broken pattern.
    ASSERT_GT(uses.size(), 5);
    const struct {
        const char *section, *prefix;
        int first, last;
    } families[] = {
        {"LABELS", "J", 1, 7},           {"LABELS", "LblLangue", 1, 4},    {"LABELS", "G", 1, 3},
        {"frmVoies900", "Trace_", 0, 3}, {"frmVoies900", "Grille_", 1, 9}, {"frmVoies900", "DebugErr", 1, 3},
        {"VOIES", "ARBRE", 1, 5}};
    for (const auto& f : families)
        for (int n = f.first; n <= f.last; ++n)
            uses << QStringLiteral("%1/%2%3").arg(f.section, f.prefix).arg(n);
    for (const char* file : kFiles) {
        const Translation t = shipped(file);
        for (const QString& use : uses) {
            const QString key = use.section(' ', 0, 0);
            const QString label = t.getLabel(key.section('/', 0, 0), key.section('/', 1));
            EXPECT_TRUE(label != "*" && !label.isEmpty()) << file << ": " << use.toStdString();
        }
    }
}

TEST(TranslationFiles, BothFilesHaveTheSameKeysAndEveryKeyIsFound) {
    const QSet<QString> french = keysOf(kFiles[0]);
    EXPECT_GT(french.size(), 150);
    EXPECT_EQ(french, keysOf(kFiles[1]));
    for (const char* file : kFiles) {
        const Translation t = shipped(file);
        for (const QString& sk : keysOf(file)) {
            if (sk.startsWith("LANGID/")) continue;
            const QString label = t.getLabel(sk.section('/', 0, 0), sk.section('/', 1));
            EXPECT_TRUE(label != "*" && !label.isEmpty()) << file << ": " << sk.toStdString();
        }
    }
}

} // namespace
