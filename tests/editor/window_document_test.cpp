// What the window lets a user do with the document around the commands that replace, close or check it.
#include "window_fixture.h"

#include "startup/settings.h"

using namespace editor_testing;
using testing_support::readBytes;

namespace {

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

    EXPECT_TRUE(find<QWidget>("picClose")->isVisible());
    EXPECT_FALSE(treeV()->hasFocus());
    QTest::keyClick(treeV(), Qt::Key_Delete);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    action("mnuSave")->trigger();
    action("toolEnregistrer")->trigger();
    action("toolAnnuler")->trigger();

    EXPECT_TRUE(find<QWidget>("picClose")->isVisible());
    EXPECT_EQ(value("M1", MenuValue::forDigit(1)), "trf;201") << "Delete reached the closed tree";
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(window->windowTitle(), "QAVO Editor");
    for (const char* name :
         {"mnuSave", "mnuSaveAs", "mnuClose", "mnuValide", "toolEnregistrer", "toolAnnuler"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
}

TEST_F(WindowTest, WhileACheckRunsTheCommandsThatReplaceTheTreeWait) {
    const QString path = dir.filePath("accueil.maa");
    open();
    changeAndRecord("Edited");
    PausingOnce pacing;
    document->setPacing(pacing);
    QStringList enabled;
    bool closed = true;
    pacing.act = [&] {
        for (const char* name : {"mnuNew", "mnuOpen", "mnuClose", "mnuFile1", "mnuQuit", "toolNouveau",
                                 "toolOuvrir", "toolAnnuler", "mnuValide", "mnuHoraires", "mnuParam"})
            if (action(name)->isEnabled()) enabled << name;
        action("mnuNew")->trigger();
        action("toolAnnuler")->trigger();
        prompts.answers << Prompts::Answer::Yes;
        closed = window->close();
    };
    action("mnuValide")->trigger();

    EXPECT_EQ(enabled, QStringList{});
    EXPECT_FALSE(closed);
    EXPECT_EQ(menuName(), "Edited");
    EXPECT_EQ(config().fileCourant, path);
    EXPECT_TRUE(action("mnuNew")->isEnabled());
    EXPECT_TRUE(action("toolAnnuler")->isEnabled());
}

TEST_F(WindowTest, SaveAsGivesANameWithoutExtensionTheTreeExtension) {
    open();
    prompts.fileNames << dir.filePath("copy");
    action("mnuSaveAs")->trigger();
    EXPECT_TRUE(QFileInfo(dir.filePath("copy.maa")).isFile());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("copy")));
    EXPECT_EQ(config().fileCourant, dir.filePath("copy.maa"));
}

TEST_F(WindowTest, AFolderGivenAsTheFileToOpenIsIgnored) {
    const QString folder = dir.filePath("trees.maa");
    QDir().mkpath(folder);
    load(folder);
    EXPECT_TRUE(find<QWidget>("picClose")->isVisible());
    EXPECT_EQ(window->windowTitle(), "QAVO Editor");
    window->OuvertureFichierArbre(folder);
    EXPECT_TRUE(find<QWidget>("picClose")->isVisible());
    EXPECT_EQ(recentEntries(), QStringList(5, QString()));
}

TEST_F(WindowTest, ServerInformationFileGivesLocalModeTheListsAndIsRemembered) {
    ctx.modeLocal = true;
    const QString info = QStringLiteral(QAVO_TEST_DATA "/server_info_check.txt");
    open();
    ASSERT_TRUE(ctx.Announcements.isEmpty());
    prompts.fileNames << info;
    action("mnuInfoServeur")->trigger();

    EXPECT_FALSE(ctx.Announcements.isEmpty());
    EXPECT_FALSE(ctx.Stations.isEmpty());
    EXPECT_TRUE(ctx.modeLocal);
    EXPECT_TRUE(find<QLabel>("lblStatutServeur")->text().endsWith(" - server_info_check.txt"));

    ctx.Announcements.clear();
    open();
    EXPECT_FALSE(ctx.Announcements.isEmpty()) << "the file is read again at the next start";
}

} // namespace

namespace {

TEST_F(WindowTest, AFileThatIsNoTreeIsRefusedWithItsReasonAndTheTreeStays) {
    ctx.translation.setText(windowLabels() + "ErrFichierPasArbre=$FICHIER$ is no tree.\r\n" +
                            "ErrFichierTropGros=$FICHIER$ is too large.\r\n");
    const QString noise = writeFile("noise.maa", QByteArray(300, '\x07'));
    QFile large(dir.filePath("large.maa"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(65 * 1024 * 1024));
    large.close();
    const struct {
        QString path;
        QString message;
    } cases[] = {
        {noise, QDir::toNativeSeparators(noise) + " is no tree."},
        {large.fileName(), QDir::toNativeSeparators(large.fileName()) + " is too large."},
    };
    for (const auto& c : cases) {
        open();
        prompts.shown.clear();
        window->OuvertureFichierArbre(c.path);
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].text, c.message);
        EXPECT_EQ(config().fileCourant, dir.filePath("accueil.maa"));
        EXPECT_EQ(menuName(), "Main menu");
    }
}

} // namespace
