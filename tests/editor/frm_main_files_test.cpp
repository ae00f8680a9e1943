#include "window_files_fixture.h"

#include "dialogs/frm_about.h"
#include "dialogs/frm_general.h"
#include "dialogs/frm_horaires.h"
#include "model/tree_file.h"

#include <QUrl>

using namespace editor_testing;
using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

class WindowFiles : public WindowFilesTest {
protected:
    frmMain& openFile(const QString& name = QStringLiteral("accueil.maa")) {
        return load(writeFile(name, workedExample()));
    }
    QString titleOf(const QString& path) const { return QStringLiteral("QAVO Editor - ") + path; }
};

} // namespace

TEST_F(WindowFiles, SaveWritesTheTreeClearsTheMarkAndListsTheFile) {
    const QString path = dir.filePath(QStringLiteral("accueil.maa"));
    openFile();
    changeAndRecord(QStringLiteral("Saved name"));
    ASSERT_TRUE(window->mnuSave->isEnabled());

    window->toolButton(QStringLiteral("Enregistrer"))->trigger();

    EXPECT_EQ(readBytes(path), treeFileBytes(window->config()));
    EXPECT_TRUE(readBytes(path).contains("lib=Saved name\r\n"));
    EXPECT_EQ(window->windowTitle(), titleOf(path));
    EXPECT_FALSE(window->mnuSave->isEnabled());
    EXPECT_EQ(recentEntries().value(0), path);
    EXPECT_EQ(recentMenu(), QStringList{path});
    EXPECT_TRUE(window->mnuVide2->isVisible());
}

TEST_F(WindowFiles, SaveAsOntoAnExistingFileAsksFirst) {
    const QString current = dir.filePath(QStringLiteral("accueil.maa"));
    const QString other = writeFile(QStringLiteral("other.maa"), "old content\r\n");
    openFile();
    changeAndRecord(QStringLiteral("New name"));

    prompts.fileNames << other;
    prompts.answers << Prompts::Answer::No;
    window->mnuSaveAs->trigger();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0].kind, QStringLiteral("save"));
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("Save as"));
    EXPECT_EQ(prompts.shown[1].text, QStringLiteral("Replace it?"));
    EXPECT_EQ(readBytes(other), QByteArray("old content\r\n"));
    EXPECT_EQ(window->config().fileCourant, current);
    EXPECT_EQ(window->windowTitle(), titleOf(current) + QLatin1Char('*'));

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

TEST_F(WindowFiles, SaveAsANewFileAsksNothingMore) {
    load(QString());
    window->mnuNew->trigger();
    EXPECT_FALSE(window->mnuSave->isEnabled()); // a new tree has no name yet
    const QString target = dir.filePath(QStringLiteral("fresh.maa"));
    prompts.shown.clear();
    prompts.fileNames << target;
    window->mnuSaveAs->trigger();
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(readBytes(target), treeFileBytes(window->config()));
    EXPECT_EQ(window->windowTitle(), titleOf(target));
}

TEST_F(WindowFiles, SaveIntoAFolderThatCannotBeCreatedKeepsTheOldFileAndSaysSo) {
    const QString current = dir.filePath(QStringLiteral("accueil.maa"));
    openFile();
    const QByteArray before = readBytes(current);
    changeAndRecord(QStringLiteral("Unsaved"));
    // A folder below a regular file cannot exist, whoever runs the test.
    writeFile(QStringLiteral("blocker"), "x");
    const QString target = dir.filePath(QStringLiteral("blocker/sub/copy.maa"));

    prompts.fileNames << target;
    window->mnuSaveAs->trigger();

    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].kind, QStringLiteral("critical"));
    EXPECT_EQ(prompts.shown[1].text,
              QStringLiteral("Could not save ") + QDir::toNativeSeparators(target) + QLatin1Char('.'));
    EXPECT_EQ(readBytes(current), before);
    EXPECT_EQ(window->config().fileCourant, current);
    EXPECT_EQ(window->windowTitle(), titleOf(current) + QLatin1Char('*'));
    EXPECT_TRUE(window->mnuSave->isEnabled());
    EXPECT_FALSE(recentEntries().contains(target));
}

TEST_F(WindowFiles, SavingOverAFileThatCannotBeReplacedKeepsItAndTheMark) {
    openFile();
    changeAndRecord(QStringLiteral("Unsaved"));
    // The file's folder is replaced by a regular file of the same name: nothing can be written there.
    writeFile(QStringLiteral("blocker"), "x");
    window->config().fileCourant = dir.filePath(QStringLiteral("blocker/accueil.maa"));

    window->mnuSave->trigger();

    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, QStringLiteral("critical"));
    EXPECT_FALSE(window->config().boolSave);
    EXPECT_TRUE(window->windowTitle().endsWith(QLatin1Char('*')));
}

TEST_F(WindowFiles, OpeningTheThirdRecentFileMovesItToTheTop) {
    QStringList files;
    for (int i = 1; i <= 5; ++i)
        files << writeFile(QStringLiteral("f%1.maa").arg(i), workedExample());
    setRecentEntries(files);
    load(QString());
    EXPECT_EQ(recentMenu(), files);
    EXPECT_TRUE(window->mnuVide2->isVisible());

    window->mnuFileN[2]->trigger();

    const QStringList expected = {files[2], files[0], files[1], files[3], files[4]};
    EXPECT_EQ(window->config().fileCourant, files[2]);
    EXPECT_EQ(recentEntries(), expected);
    EXPECT_EQ(recentMenu(), expected);
}

TEST_F(WindowFiles, RecentListDropsTheServerCopyAndDeletedFilesAndPacks) {
    QStringList files;
    for (int i = 1; i <= 5; ++i)
        files << writeFile(QStringLiteral("f%1.maa").arg(i), workedExample());
    writeBytes(ctx.fileServeur, workedExample());
    QFile::remove(files[3]);
    setRecentEntries({files[0], ctx.fileServeur, files[1], files[3], files[2]});

    load(QString());
    EXPECT_EQ(recentMenu(), (QStringList{files[0], files[1], files[2]}));
    EXPECT_EQ(recentEntries(), (QStringList{files[0], files[1], files[2], QString(), QString()}));

    // Deleted after the menu was built: choosing it opens nothing and drops it.
    QFile::remove(files[1]);
    window->mnuFileN[1]->trigger();
    EXPECT_TRUE(window->picClose->isVisible());
    EXPECT_EQ(recentMenu(), (QStringList{files[0], files[2]}));

    // A new file pushes in at the top.
    prompts.fileNames << files[4];
    window->mnuOpen->trigger();
    EXPECT_EQ(recentEntries(), (QStringList{files[4], files[0], files[2], QString(), QString()}));
    EXPECT_EQ(recentMenu(), (QStringList{files[4], files[0], files[2]}));
}

TEST_F(WindowFiles, NoRecentFileHidesTheSeparator) {
    load(QString());
    EXPECT_TRUE(recentMenu().isEmpty());
    EXPECT_FALSE(window->mnuVide2->isVisible());
}

TEST_F(WindowFiles, QuittingAsksOnlyWithUnsavedChangesAndKeepsTheFolder) {
    openFile();
    QDir(dir.path()).mkpath(QStringLiteral("sub"));
    prompts.fileNames << writeFile(QStringLiteral("sub/other.maa"), workedExample());
    window->mnuOpen->trigger();
    changeAndRecord(QStringLiteral("Unsaved"));

    prompts.shown.clear();
    window->mnuQuit->trigger(); // No
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Quit anyway?"));

    prompts.answers << Prompts::Answer::Yes;
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(userSettings().value(QStringLiteral("Config/repCourant")).toString(),
              dir.filePath(QStringLiteral("sub")));
}

TEST_F(WindowFiles, HelpOpensTheHelpFileOfTheCurrentLanguage) {
    ctx.LANG = QStringLiteral("1");
    writeFile(QStringLiteral("QAVO_Hp00.html"), "<html>fr</html>");
    const QString english = writeFile(QStringLiteral("QAVO_Hp01.html"), "<html>en</html>");
    openFile();
    QList<QUrl> opened;
    window->setHelpOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });

    window->mnuHelp->trigger();
    window->toolButton(QStringLiteral("Aide"))->trigger();
    EXPECT_EQ(window->mnuHelp->shortcut(), QKeySequence(Qt::Key_F1));

    ASSERT_EQ(opened.size(), 2);
    for (const QUrl& url : opened)
        EXPECT_EQ(url.toLocalFile(), english);
}

TEST_F(WindowFiles, OtherWindowsOpenModallyWithTheMenuCaptionAsTitle) {
    openFile();
    int seen = 0;
    onModal<FrmHoraires>(window->mnuHoraires, [&](FrmHoraires& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Schedules"));
        ++seen;
    });
    onModal<FrmGeneral>(window->mnuParam, [&](FrmGeneral& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Parameters"));
        ++seen;
    });
    onModal<FrmAPropos>(window->mnuVersion, [&](FrmAPropos& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("About"));
        ++seen;
    });
    EXPECT_EQ(seen, 3);
    // Closing them without a change records nothing.
    EXPECT_EQ(journalItems().size(), 1);
    EXPECT_FALSE(window->windowTitle().endsWith(QLatin1Char('*')));
}
