#include "startup/translation.h"

#include "platform/codepage.h"
#include "support/test_support.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const char* const kFiles[] = {"qavo_lg00.txt", "qavo_lg01.txt"};

QString shippedPath(const char* name) {
    return testing_support::resourcesDir() + QLatin1Char('/') + QString::fromLatin1(name);
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
    const QStringList lines =
        platform::decodeAnsi(testing_support::readBytes(shippedPath(name))).split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('['))) {
            section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1).toUpper();
        } else if (line.contains(QLatin1Char('='))) {
            keys.insert(section + QLatin1Char('/') + line.left(line.indexOf(QLatin1Char('='))).toUpper());
        }
    }
    return keys;
}

struct LabelUse {
    QString section;
    QString key;
    QString where;
};

// Every getLabel("Key"), getLabel(QStringLiteral("Key")) and getLabel("Section", "Key") in the sources.
QList<LabelUse> labelUsesInSources() {
    // A string literal, bare or wrapped in QStringLiteral / QLatin1String; one capture (branch reset).
    const QString literal = QStringLiteral(
        R"re(\s*(?|(?:QStringLiteral|QLatin1String)\(\s*"([^"\\]*)"\s*\)|u?"([^"\\]*)")\s*)re");
    const QRegularExpression one(QStringLiteral(R"(getLabel\()") + literal + QStringLiteral(R"(\))"));
    const QRegularExpression two(QStringLiteral(R"(getLabel\()") + literal + QLatin1Char(',') + literal +
                                 QStringLiteral(R"(\))"));
    QList<LabelUse> uses;
    QDirIterator it(QStringLiteral(QAVO_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString text = QString::fromUtf8(testing_support::readBytes(path));
        for (auto m = one.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            uses.append({QStringLiteral("LABELS"), match.captured(1), path});
        }
        for (auto m = two.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            uses.append({match.captured(1), match.captured(2), path});
        }
    }
    return uses;
}

} // namespace

TEST(TranslationFiles, EveryLabelUsedInTheSourcesExistsInBothFiles) {
    const QList<LabelUse> uses = labelUsesInSources();
    // The start-up and the fixed tables alone look up several labels; an empty scan means a broken pattern.
    ASSERT_GT(uses.size(), 5);
    for (const char* file : kFiles) {
        const Translation t = shipped(file);
        for (const LabelUse& use : uses) {
            EXPECT_NE(t.getLabel(use.section, use.key), QStringLiteral("*"))
                << file << ": " << use.section.toStdString() << "/" << use.key.toStdString() << " used in "
                << use.where.toStdString();
        }
    }
}

TEST(TranslationFiles, NumberedLabelsExistInBothFiles) {
    struct Family {
        const char* section;
        const char* prefix;
        int first, last;
    } families[] = {
        {"LABELS", "J", 1, 7},           {"LABELS", "LblLangue", 1, 4},    {"LABELS", "G", 1, 3},
        {"frmVoies900", "Trace_", 0, 3}, {"frmVoies900", "Grille_", 1, 9}, {"frmVoies900", "DebugErr", 1, 3},
        {"VOIES", "ARBRE", 1, 5}};
    for (const char* file : kFiles) {
        const Translation t = shipped(file);
        for (const Family& f : families) {
            for (int n = f.first; n <= f.last; ++n) {
                const QString key = QString::fromLatin1(f.prefix) + QString::number(n);
                const QString label = t.getLabel(QString::fromLatin1(f.section), key);
                EXPECT_NE(label, QStringLiteral("*"))
                    << file << ": " << f.section << "/" << key.toStdString();
                EXPECT_FALSE(label.isEmpty()) << file << ": " << key.toStdString();
            }
        }
    }
}

TEST(TranslationFiles, BothFilesHaveTheSameKeysAndEveryKeyIsFound) {
    const QSet<QString> french = keysOf(kFiles[0]);
    const QSet<QString> english = keysOf(kFiles[1]);
    EXPECT_GT(french.size(), 150);
    EXPECT_EQ(french, english);
    for (const char* file : kFiles) {
        const Translation t = shipped(file);
        for (const QString& sk : keysOf(file)) {
            const QString section = sk.section(QLatin1Char('/'), 0, 0);
            if (section == QLatin1String("LANGID")) continue;
            const QString label = t.getLabel(section, sk.section(QLatin1Char('/'), 1));
            EXPECT_NE(label, QStringLiteral("*")) << file << ": " << sk.toStdString();
            EXPECT_FALSE(label.isEmpty()) << file << ": " << sk.toStdString();
        }
    }
}

TEST(TranslationFiles, FormatAndPlaceholders) {
    struct Expect {
        const char* file;
        const char* langId;
        const char* titre;
    } expects[] = {{"qavo_lg00.txt", "1=1036", "Éditeur QAVO"}, {"qavo_lg01.txt", "1=1033", "QAVO editor"}};
    for (const Expect& e : expects) {
        const QByteArray bytes = testing_support::readBytes(shippedPath(e.file));
        ASSERT_TRUE(bytes.startsWith("\r\n[LANGID]\r\n")) << e.file;
        EXPECT_TRUE(bytes.contains(QByteArray("\r\n") + e.langId + "\r\n")) << e.file;
        EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n")) << e.file << ": every line ends with CR LF";
        EXPECT_FALSE(QRegularExpression(QStringLiteral("\\xC3[\\x80-\\xBF]"))
                         .match(QString::fromLatin1(bytes))
                         .hasMatch())
            << e.file << ": accents must be single Windows-1252 bytes";
        const Translation t = shipped(e.file);
        EXPECT_EQ(t.getLabel(QStringLiteral("Titre")), QString::fromUtf8(e.titre));
        for (const char* key : {"LblConnect", "OnLine", "MsgTransfert", "MsgRecup"})
            EXPECT_TRUE(t.getLabel(QString::fromLatin1(key)).contains(QStringLiteral("$IPSERVEUR$"))) << key;
        EXPECT_TRUE(t.getLabel(QStringLiteral("ErrTransfert")).contains(QStringLiteral("$NBERREURS$")));
    }
    EXPECT_EQ(shipped("qavo_lg00.txt").getLabel(QStringLiteral("NoeudArbre")), QStringLiteral("Arbre"));
    EXPECT_EQ(shipped("qavo_lg01.txt").getLabel(QStringLiteral("NoeudArbre")), QStringLiteral("Tree"));
}
