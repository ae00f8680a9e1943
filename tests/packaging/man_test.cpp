// The man pages: man renders them without a warning, and every command, option, switch, variable and
// file the README names is in them.
#include "packaging/package_support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using package_testing::hasTool;
using package_testing::Result;
using package_testing::run;

namespace {

const QStringList kPages = {"qavo.1", "qavo-cli.1", "qavo-sim.1"};

class ManPages : public ::testing::Test {
protected:
    void SetUp() override {
        if (!hasTool("man")) GTEST_SKIP() << "man is not installed (package man-db)";
        for (const QString& page : kPages)
            if (!QFile::exists(dir.filePath(page)))
                GTEST_SKIP() << "man pages not built (scdoc is not installed)";
    }
    // A page as a reader sees it, on lines long enough never to be hyphenated, in plain ASCII.
    static QString rendered(const QString& page, QString* warnings = nullptr) {
        const Result r =
            run("man", {"-l", "--warnings", dir.filePath(page)}, {"MANWIDTH=80", "LC_ALL=C.UTF-8", "LANG=C"});
        if (warnings) *warnings = r.err;
        return run("man", {"-l", dir.filePath(page)}, {"MANWIDTH=1000", "LC_ALL=C", "MAN_KEEP_FORMATTING="})
            .out;
    }
    static inline const QDir dir{QStringLiteral(QAVO_MAN_DIR)};
};

TEST_F(ManPages, RenderWithoutWarnings) {
    for (const QString& page : kPages) {
        QString warnings;
        const QString text = rendered(page, &warnings);
        EXPECT_EQ(warnings, "") << qPrintable(page);
        EXPECT_TRUE(text.contains("SYNOPSIS") && text.contains("EXIT STATUS")) << qPrintable(page);
    }
}

// What the README names, outside its "Build from source", "Windows" and "Many sites" (Ansible's own options):
// qavo-cli's commands (its command lines), double-dash options, /KEY: switches, QAVO_ variables, and the
// files of "Where it keeps its files".
QSet<QString> namedInReadme() {
    QFile file(QStringLiteral(QAVO_SOURCE_DIR "/README.md"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    // How to build from source (on Linux or Windows) is no matter of the programs' pages.
    QString readme = QString::fromUtf8(file.readAll());
    readme.remove(
        QRegularExpression(QStringLiteral("\n## (Build from source|Windows|Many sites).*?(?=\n## )"),
                           QRegularExpression::DotMatchesEverythingOption));
    QSet<QString> names;
    const auto collect = [&names](const QString& text, const char* pattern, int group) {
        const QRegularExpression re(QString::fromLatin1(pattern), QRegularExpression::MultilineOption);
        for (auto it = re.globalMatch(text); it.hasNext();)
            names << it.next().captured(group);
    };
    collect(readme, R"(^ {4}(?:\S+/)?qavo-cli ([a-z][a-z-]+))", 1);
    collect(readme, R"((?<![\w-])(--[a-z][a-z0-9-]+))", 1);
    collect(readme, R"((/[A-Z]+:))", 1);
    collect(readme, R"(\b(QAVO_[A-Z_]+|APPDATA)\b)", 1);
    const QString files = readme.section("## Where it keeps its files", 1).section("\n## ", 0, 0);
    collect(files, R"(`(?:[^`]*/)?(\w+\.[a-z]{3,4})`)", 1);
    return names;
}

TEST_F(ManPages, NameEverythingTheReadmeNames) {
    QString all;
    for (const QString& page : kPages)
        all += rendered(page);
    const QSet<QString> names = namedInReadme();
    ASSERT_GT(names.size(), 30) << "the README was not read";
    QStringList missing;
    for (const QString& name : names)
        if (!all.contains(name)) missing << name;
    missing.sort();
    EXPECT_TRUE(missing.isEmpty()) << "not in the man pages: " << qPrintable(missing.join(' '));
}

} // namespace
