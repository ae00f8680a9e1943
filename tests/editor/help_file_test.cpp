#include "editor/help_file.h"
#include "startup/app_context.h"
#include "support/test_support.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct HelpCase {
    const char* lang;
    QStringList present; // help files in the program folder
    const char* expected;
};

TEST(HelpFile, NamedAfterTheLanguageWithFrenchAsFallback) {
    const HelpCase cases[] = {
        {"1", {"QAVO_Hp00.html", "QAVO_Hp01.html"}, "QAVO_Hp01.html"},
        {"01", {"QAVO_Hp00.html", "QAVO_Hp01.html"}, "QAVO_Hp01.html"},
        {"0", {"QAVO_Hp00.html", "QAVO_Hp01.html"}, "QAVO_Hp00.html"},
        {"12", {"QAVO_Hp00.html", "QAVO_Hp12.html"}, "QAVO_Hp12.html"},
        {"2", {"QAVO_Hp00.html", "QAVO_Hp01.html"}, "QAVO_Hp00.html"},
        {"", {"QAVO_Hp00.html", "QAVO_Hp01.html"}, "QAVO_Hp00.html"},
        {"xx", {"QAVO_Hp00.html", "QAVO_Hpxx.html"}, "QAVO_Hpxx.html"},
        {"3", {}, "QAVO_Hp00.html"},
    };
    for (const HelpCase& c : cases) {
        SCOPED_TRACE(std::string("LANG ") + c.lang);
        QTemporaryDir dir;
        for (const QString& name : c.present)
            testing_support::writeBytes(dir.filePath(name), "<html></html>");

        EXPECT_EQ(helpFilePath(dir.path(), QString::fromLatin1(c.lang)),
                  dir.filePath(QString::fromLatin1(c.expected)));
    }
}

TEST(HelpFile, NothingOpensWithoutAHelpFile) {
    QTemporaryDir dir;
    AppContext ctx;
    ctx.programDir = dir.path();
    bool called = false;

    EXPECT_FALSE(openHelpFile(ctx, [&](const QUrl&) { return called = true; }));
    EXPECT_FALSE(called);
}

QSet<QString> sectionIds(const QString& html) {
    QSet<QString> ids;
    static const QRegularExpression id(QStringLiteral("<h2 id=\"([^\"]+)\""));
    for (const QRegularExpressionMatch& m : id.globalMatch(html))
        ids.insert(m.captured(1));
    return ids;
}

// The shipped help: French and English, UTF-8, the same sections, every link of the contents leading to
// one of them.
TEST(HelpFile, ShippedHelpHasTheSameSectionsInBothLanguages) {
    const QString folder = testing_support::resourcesDir() + QStringLiteral("/help/");
    const QString french =
        QString::fromUtf8(testing_support::readBytes(folder + QStringLiteral("QAVO_Hp00.html")));
    const QString english =
        QString::fromUtf8(testing_support::readBytes(folder + QStringLiteral("QAVO_Hp01.html")));
    ASSERT_FALSE(french.isEmpty());
    ASSERT_FALSE(english.isEmpty());
    EXPECT_TRUE(french.contains(QStringLiteral("<html lang=\"fr\">")));
    EXPECT_TRUE(english.contains(QStringLiteral("<html lang=\"en\">")));
    EXPECT_FALSE(french.contains(QChar::ReplacementCharacter));

    const QSet<QString> ids = sectionIds(french);
    EXPECT_GE(ids.size(), 10);
    EXPECT_EQ(sectionIds(english), ids);
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    for (const QString& html : {french, english})
        for (const QRegularExpressionMatch& m : link.globalMatch(html))
            EXPECT_TRUE(ids.contains(m.captured(1))) << m.captured(1).toStdString();
}

} // namespace
