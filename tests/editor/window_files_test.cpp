// The main window's tree view, title, start file and diagnostics list; its file commands, recent files,
// quitting and help, and what a closed tree or a running check lets a user do.
#include "window_fixture.h"

#include "model/tree_file.h"

using namespace editor_testing;

namespace {

using testing_support::readBytes;

TEST_F(WindowTest, StartFileIsOpenedIntoTheTreeViewOrTheEditorStartsClosed) {
    const QString file = writeFile("accueil.maa", workedExample());
    ctx.VERSION_500 = false; // refuses voice boxes
    const QString voiceBox = writeFile("bv.maa", workedExample("bvo;201"));
    const QString online = "QAVO Editor - 10.1.2.3";
    // The start file, local mode, then "title|closed|findings|messages|commands enabled|tree 1".
    const std::tuple<QString, bool, QString> cases[] = {
        {"", false, "QAVO Editor|closed|Ready|||"},
        {voiceBox, true, "QAVO Editor|closed|Ready|ERROR - VERSION||"},
        // No server tree fetched: a new one is made and saved as the server's copy, quietly.
        {"$$NEW$$", false, online + "||Ready||mnuValide mnuEnvoi|1 - Tree 1"},
        {ctx.fileServeur, false,
         online + "||Ready||mnuValide mnuEnvoi|1 - Tree 1"}, // the server's copy is no user file
        {file, true,
         "QAVO Editor - " + file + "||Ready;Opening file \"" + file + "\"||mnuValide|1 - Reception"},
    };
    for (const auto& [start, local, expected] : cases) {
        SCOPED_TRACE(start.toStdString());
        ctx.modeLocal = local;
        ctx.HADDR = "10.1.2.3";
        prompts.shown.clear();
        frmMain& w = load(start);
        const bool closed = find<QWidget>("picClose")->isVisible();
        QStringList findings, messages;
        for (const DiagnosticEntry& e : document->diagnostics().entries())
            findings << e.message;
        for (const auto& shown : prompts.shown)
            messages << shown.text;
        EXPECT_EQ(
            QStringList({w.windowTitle(), closed ? "closed" : "", findings.join(';'), messages.join(';'),
                         enabledOf({"mnuValide", "mnuEnvoi"}).join(' '), closed ? "" : nodeText("A1")})
                .join('|'),
            expected);
    }
    // The menus under their keys; inactive trees empty.
    const QAbstractItemModel* m = treeV()->model();
    EXPECT_EQ(rowTexts(m),
              (QStringList{"1 - Reception", "2 - Tree 2", "3 - Tree 3", "4 - Tree 4", "5 - Tree 5"}));
    EXPECT_EQ(rowTexts(m, indexOf("M1")).mid(0, 3),
              (QStringList{"0 - No action", "1 - Transfer (201)", "2 - Service"}));
    EXPECT_EQ(QList<int>({m->rowCount(indexOf("M1")), m->rowCount(indexOf("A2"))}), QList<int>({10, 0}));
}

TEST_F(WindowTest, ClickingAFindingShowsItsNode) {
    open();
    document->diagnostics().AjouteInfo("menu 2", 2, "M2");
    document->diagnostics().AjouteInfo("gone", 2, "M9");
    QListView* list = find<QListView>("lstDebug");
    const int last = list->model()->rowCount() - 1;
    EXPECT_EQ(list->model()->index(last, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(173, 0, 0))
        << "an error";
    clickRow(list, last - 1);
    EXPECT_EQ(selectedKey() + '|' + find<QLineEdit>("txtLib_1")->text(), "M2|Service");

    clickRow(list, last); // its node is gone
    EXPECT_EQ(selectedKey(), "M2");
}

TEST_F(WindowTest, SaveAndSaveAsWriteTheTreeAskBeforeReplacingAFileAndSayWhenTheyCannot) {
    const QString current = dir.filePath("accueil.maa");
    const QString other = writeFile("other.maa", "old content\r\n");
    writeFile("blocker", "x"); // a folder below a regular file cannot exist, whoever runs the test
    const QString blocked = dir.filePath("blocker/sub/copy.maa");
    open();
    changeAndRecord("Saved name");
    action("toolEnregistrer")->trigger();
    const QByteArray saved = readBytes(current);
    EXPECT_TRUE(saved.contains("lib=Saved name\r\n"));

    changeAndRecord("New name");
    prompts.fileNames << dir.filePath("other"); // the tree extension is added
    prompts.answers << Prompts::Answer::No;
    action("mnuSaveAs")->trigger();
    EXPECT_EQ(prompts.shown.last().text, "Replace it?");
    EXPECT_EQ(readBytes(other), QByteArray("old content\r\n"));

    prompts.fileNames << blocked;
    action("mnuSaveAs")->trigger();
    EXPECT_EQ(prompts.shown.last().text,
              "Could not save " + QDir::toNativeSeparators(blocked) + ".\r\n(Not a directory)");
    EXPECT_EQ(readBytes(current), saved);
    EXPECT_EQ(window->windowTitle(), "QAVO Editor - " + current + '*');
    action("toolEnregistrer")->trigger(); // still the current file
    EXPECT_TRUE(readBytes(current).contains("lib=New name\r\n"));

    prompts.fileNames << dir.filePath("other");
    prompts.answers << Prompts::Answer::Yes;
    action("mnuSaveAs")->trigger();
    EXPECT_TRUE(readBytes(other).contains("lib=New name\r\n"));
    EXPECT_EQ(recentMenu().mid(0, 2) << window->windowTitle(),
              (QStringList{other, current, "QAVO Editor - " + other}));
}

TEST_F(WindowTest, RecentFilesAreMovedPackedAndDroppedAndQuittingKeepsTheCurrentFolder) {
    QStringList f;
    for (int i = 1; i <= 5; ++i)
        f << writeFile(QStringLiteral("f%1.maa").arg(i), workedExample());
    testing_support::writeBytes(ctx.fileServeur, workedExample());
    QFile::remove(f[4]);
    const QStringList stored = {f[0], ctx.fileServeur, f[1], f[4], f[2]};
    for (int n = 1; n <= 5; ++n)
        userSettings().setValue(QStringLiteral("Files/F%1").arg(n), stored[n - 1]);

    // The server copy and a deleted file are dropped, the rest closes up.
    load(QString());
    EXPECT_EQ(recentMenu(), (QStringList{f[0], f[1], f[2]}));

    action("mnuFile3")->trigger();
    EXPECT_EQ(recentMenu() << window->windowTitle(),
              (QStringList{f[2], f[0], f[1], "QAVO Editor - " + f[2]}));

    load(QString());
    EXPECT_EQ(recentMenu(), (QStringList{f[2], f[0], f[1]})) << "kept for the next start";

    QDir(dir.path()).mkpath("sub");
    prompts.fileNames << writeFile("sub/other.maa", workedExample());
    action("mnuOpen")->trigger();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(userSettings().value("Config/repCourant").toString(), dir.filePath("sub"));
}

// Runs act once, at the first pause of a verification: what a user could click while it runs.
class PausingOnce final : public platform::Pacing {
public:
    std::function<void()> act;
    void pause(int) override { processEvents(); }
    void processEvents() override {
        if (auto run = std::exchange(act, nullptr)) run();
    }
};

TEST_F(WindowTest, AfterCloseNothingEditsOrWritesTheClosedTree) {
    const QString path = dir.filePath("accueil.maa");
    open();
    const QByteArray before = readBytes(path);
    clickNode("E-M1-1");
    treeV()->setFocus();
    action("mnuClose")->trigger();

    EXPECT_FALSE(treeV()->hasFocus());
    QTest::keyClick(treeV(), Qt::Key_Delete);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);

    EXPECT_TRUE(find<QWidget>("picClose")->isVisible());
    EXPECT_EQ(value("M1", MenuValue::forDigit(1)), "trf;201") << "Delete reached the closed tree";
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(enabledOf({"mnuSave", "mnuSaveAs", "mnuClose", "mnuValide", "toolEnregistrer", "toolAnnuler"}),
              QStringList{});
}

TEST_F(WindowTest, WhileACheckRunsTheCommandsThatReplaceTheTreeWait) {
    open();
    changeAndRecord("Edited");
    PausingOnce pacing;
    document->setPacing(pacing);
    QStringList enabled = {"never paused"};
    pacing.act = [&] {
        enabled = enabledOf({"mnuNew", "mnuOpen", "mnuClose", "mnuFile1", "mnuQuit", "toolNouveau",
                             "toolOuvrir", "toolAnnuler", "mnuValide", "mnuHoraires", "mnuParam"});
        prompts.answers << Prompts::Answer::Yes;
        if (window->close()) enabled << "closed";
    };
    action("mnuValide")->trigger();

    EXPECT_EQ(enabled, QStringList{});
    EXPECT_EQ(enabledOf({"mnuNew", "toolAnnuler"}).size(), 2) << "once the check is over";
}

TEST_F(WindowTest, AFileThatIsNoTreeIsRefusedWithItsReasonAndTheTreeStays) {
    const QString noise = writeFile("noise.maa", QByteArray(300, '\x07'));
    open();
    window->OuvertureFichierArbre(noise);
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(lastMessage(),
              "The file " + QDir::toNativeSeparators(noise) + " is not opened: it is not a tree file.");
    EXPECT_EQ(config().fileCourant + '|' + menuName(), dir.filePath("accueil.maa") + "|Main menu");
}

} // namespace
