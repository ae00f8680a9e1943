// The main window's file commands, recent files, quitting and help.
#include "window_fixture.h"

#include "model/tree_file.h"

#include <QUrl>

using namespace editor_testing;
using testing_support::readBytes;

namespace {

QString titleOf(const QString& path) {
    return "QAVO Editor - " + path;
}

TEST_F(WindowTest, SaveWritesTheTreeClearsTheMarkAndListsTheFile) {
    const QString path = dir.filePath("accueil.maa");
    open();
    changeAndRecord("Saved name");
    window->toolButton("Enregistrer")->trigger();

    EXPECT_EQ(readBytes(path), treeFileBytes(window->config()));
    EXPECT_TRUE(readBytes(path).contains("lib=Saved name\r\n"));
    EXPECT_EQ(window->windowTitle(), titleOf(path));
    EXPECT_FALSE(window->mnuSave->isEnabled());
    EXPECT_EQ(recentEntries().value(0), path);
    EXPECT_EQ(recentMenu(), QStringList{path});
    EXPECT_TRUE(window->mnuVide2->isVisible());
}

TEST_F(WindowTest, SaveAsOntoAnExistingFileAsksFirst) {
    const QString current = dir.filePath("accueil.maa");
    const QString other = writeFile("other.maa", "old content\r\n");
    open();
    changeAndRecord("New name");

    prompts.fileNames << other;
    prompts.answers << Prompts::Answer::No;
    window->mnuSaveAs->trigger();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0].kind, "save");
    EXPECT_EQ(prompts.shown[0].title, "Save as");
    EXPECT_EQ(prompts.shown[1].text, "Replace it?");
    EXPECT_EQ(readBytes(other), QByteArray("old content\r\n"));
    EXPECT_EQ(window->config().fileCourant, current);
    EXPECT_EQ(window->windowTitle(), titleOf(current) + '*');

    prompts.shown.clear();
    prompts.fileNames << other;
    prompts.answers << Prompts::Answer::Yes;
    window->mnuSaveAs->trigger();
    EXPECT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(readBytes(other).contains("lib=New name\r\n"));
    EXPECT_EQ(window->config().fileCourant, other);
    EXPECT_EQ(window->windowTitle(), titleOf(other));
    EXPECT_EQ(recentEntries().mid(0, 2), (QStringList{other, current}));
    EXPECT_EQ(window->currentFolder(), dir.path());
}

TEST_F(WindowTest, NewTreeIsSavedOnlyThroughSaveAsWhichAsksNothingMore) {
    load(QString());
    window->mnuNew->trigger();
    changeAndRecord("Fresh");
    EXPECT_EQ(window->windowTitle(), "QAVO Editor - New tree*");
    EXPECT_FALSE(window->mnuSave->isEnabled()) << "a new tree has no name yet";
    EXPECT_TRUE(window->mnuSaveAs->isEnabled());

    const QString target = dir.filePath("fresh.maa");
    prompts.shown.clear();
    prompts.fileNames << target;
    window->mnuSaveAs->trigger();
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(readBytes(target), treeFileBytes(window->config()));
    EXPECT_EQ(window->windowTitle(), titleOf(target));
}

TEST_F(WindowTest, SaveThatCannotBeWrittenKeepsTheOldFileAndSaysSo) {
    // A folder below a regular file cannot exist, whoever runs the test.
    const QString blocked = dir.filePath("blocker/sub/copy.maa");
    const QString current = dir.filePath("accueil.maa");
    const struct {
        const char* command;
        std::function<void()> act;
        QString name; // of the tree afterwards
    } cases[] = {
        {"Save as",
         [&] {
             prompts.fileNames << blocked;
             window->mnuSaveAs->trigger();
         },
         current},
        {"Save",
         [&] {
             window->config().fileCourant = blocked;
             window->mnuSave->trigger();
         },
         blocked},
    };
    writeFile("blocker", "x");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        open();
        const QByteArray before = readBytes(current);
        changeAndRecord("Unsaved");
        prompts.shown.clear();
        c.act();

        ASSERT_FALSE(prompts.shown.isEmpty());
        EXPECT_EQ(prompts.shown.last().kind, "critical");
        EXPECT_EQ(prompts.shown.last().text, "Could not save " + QDir::toNativeSeparators(blocked) + '.');
        EXPECT_EQ(readBytes(current), before);
        EXPECT_TRUE(titleMarked());
        EXPECT_FALSE(window->config().boolSave);
        EXPECT_FALSE(recentEntries().contains(blocked));
        EXPECT_EQ(window->config().fileCourant, c.name);
    }
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
    EXPECT_TRUE(window->mnuVide2->isVisible());

    // The third one chosen moves to the top.
    window->mnuFileN[2]->trigger();
    EXPECT_EQ(window->config().fileCourant, f[2]);
    EXPECT_EQ(recentEntries(), (QStringList{f[2], f[0], f[1], "", ""}));
    EXPECT_EQ(recentMenu(), (QStringList{f[2], f[0], f[1]}));

    // Deleted after the menu was built: choosing it opens nothing and drops it.
    QFile::remove(f[1]);
    window->mnuFileN[2]->trigger();
    EXPECT_EQ(window->config().fileCourant, f[2]);
    EXPECT_EQ(recentMenu(), (QStringList{f[2], f[0]}));

    // A new file pushes in at the top.
    prompts.fileNames << f[3];
    window->mnuOpen->trigger();
    EXPECT_EQ(recentEntries(), (QStringList{f[3], f[2], f[0], "", ""}));
    EXPECT_EQ(recentMenu(), (QStringList{f[3], f[2], f[0]}));
}

TEST_F(WindowTest, QuittingAsksOnlyWithUnsavedChangesAndKeepsTheFolder) {
    open();
    QDir(dir.path()).mkpath("sub");
    prompts.fileNames << writeFile("sub/other.maa", workedExample());
    window->mnuOpen->trigger();
    changeAndRecord("Unsaved");

    prompts.shown.clear();
    window->mnuQuit->trigger(); // No
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "Quit anyway?");

    prompts.answers << Prompts::Answer::Yes;
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
    window->mnuHelp->trigger();
    window->toolButton("Aide")->trigger();
    EXPECT_EQ(window->mnuHelp->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(opened, (QList<QUrl>{QUrl::fromLocalFile(english), QUrl::fromLocalFile(english)}));
}

} // namespace
