// The main window's file commands, recent files, quitting and help.
#include "window_fixture.h"

#include "model/tree_file.h"

#include <QUrl>

using namespace editor_testing;
using testing_support::readBytes;

namespace {

TEST_F(WindowTest, SaveWritesTheTreeClearsTheMarkAndListsTheFile) {
    const QString path = dir.filePath("accueil.maa");
    open();
    changeAndRecord("Saved name");
    action("toolEnregistrer")->trigger();

    EXPECT_EQ(readBytes(path), treeFileBytes(config()));
    EXPECT_TRUE(readBytes(path).contains("lib=Saved name\r\n"));
    EXPECT_FALSE(titleMarked());
    EXPECT_EQ(recentMenu(), QStringList{path});
}

TEST_F(WindowTest, SaveAsOntoAnExistingFileAsksFirst) {
    const QString current = dir.filePath("accueil.maa");
    const QString other = writeFile("other.maa", "old content\r\n");
    open();
    changeAndRecord("New name");

    prompts.fileNames << other;
    prompts.answers << Prompts::Answer::No;
    action("mnuSaveAs")->trigger();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].text, "Replace it?");
    EXPECT_EQ(readBytes(other), QByteArray("old content\r\n"));
    EXPECT_EQ(config().fileCourant, current);

    prompts.fileNames << other;
    prompts.answers << Prompts::Answer::Yes;
    action("mnuSaveAs")->trigger();
    EXPECT_TRUE(readBytes(other).contains("lib=New name\r\n"));
    EXPECT_EQ(window->windowTitle(), "QAVO Editor - " + other);
    EXPECT_EQ(recentEntries().mid(0, 2), (QStringList{other, current}));
}

TEST_F(WindowTest, SaveThatCannotBeWrittenKeepsTheOldFileAndSaysSo) {
    // A folder below a regular file cannot exist, whoever runs the test.
    writeFile("blocker", "x");
    const QString blocked = dir.filePath("blocker/sub/copy.maa");
    const QString current = dir.filePath("accueil.maa");
    open();
    const QByteArray before = readBytes(current);
    changeAndRecord("Unsaved");
    prompts.fileNames << blocked;
    action("mnuSaveAs")->trigger();

    ASSERT_FALSE(prompts.shown.isEmpty());
    EXPECT_EQ(prompts.shown.last().kind, "critical");
    EXPECT_EQ(prompts.shown.last().text, "Could not save " + QDir::toNativeSeparators(blocked) + '.');
    EXPECT_EQ(readBytes(current), before);
    EXPECT_TRUE(titleMarked());
    EXPECT_EQ(config().fileCourant, current);
}

TEST_F(WindowTest, RecentFilesAreMovedPackedAndDropped) {
    QStringList f;
    for (int i = 1; i <= 5; ++i)
        f << writeFile(QStringLiteral("f%1.maa").arg(i), workedExample());
    testing_support::writeBytes(ctx.fileServeur, workedExample());
    QFile::remove(f[4]);
    setRecentEntries({f[0], ctx.fileServeur, f[1], f[4], f[2]});

    // The server copy and a deleted file are dropped, the rest closes up.
    load(QString());
    EXPECT_EQ(recentMenu(), (QStringList{f[0], f[1], f[2]}));
    EXPECT_EQ(recentEntries(), (QStringList{f[0], f[1], f[2], "", ""}));

    // The third one chosen moves to the top.
    action(QStringLiteral("mnuFile%1").arg(2 + 1))->trigger();
    EXPECT_EQ(config().fileCourant, f[2]);
    EXPECT_EQ(recentEntries(), (QStringList{f[2], f[0], f[1], "", ""}));

    // Deleted after the menu was built: choosing it opens nothing and drops it.
    QFile::remove(f[1]);
    action(QStringLiteral("mnuFile%1").arg(2 + 1))->trigger();
    EXPECT_EQ(config().fileCourant, f[2]);
    EXPECT_EQ(recentMenu(), (QStringList{f[2], f[0]}));

    // A new file pushes in at the top.
    prompts.fileNames << f[3];
    action("mnuOpen")->trigger();
    EXPECT_EQ(recentMenu(), (QStringList{f[3], f[2], f[0]}));
}

TEST_F(WindowTest, QuittingKeepsTheCurrentFolder) {
    open();
    QDir(dir.path()).mkpath("sub");
    prompts.fileNames << writeFile("sub/other.maa", workedExample());
    action("mnuOpen")->trigger();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(userSettings().value("Config/repCourant").toString(), dir.filePath("sub"));
}

TEST_F(WindowTest, HelpOpensTheHelpFileOfTheCurrentLanguage) {
    ctx.LANG = QStringLiteral("1");
    writeFile("QAVO_Hp00.html", "<html>fr</html>");
    const QString english = writeFile("QAVO_Hp01.html", "<html>en</html>");
    open();
    QList<QUrl> opened;
    window->setHelpOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    action("toolAide")->trigger();
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(english)});
}

} // namespace
