#include "core/app_context.h"
#include "model/configuration.h"
#include "model/journal_host.h"
#include "model/tree_file.h"
#include "model/undo_journal.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using testing_support::readBytes;

namespace {

// The window's side: the tree view's selection and the modified mark.
class WindowHost : public ConfigurationJournalHost {
public:
    using ConfigurationJournalHost::ConfigurationJournalHost;
    QString selectedNodeKey() const override { return selected; }
    void loadTreeFile(const QString& path) override {
        ConfigurationJournalHost::loadTreeFile(path);
        selected.clear(); // the view is rebuilt
    }
    void showNode(const QString& key) override { shown << (selected = key); }
    void setBoolSave(bool saved) override { m_config.boolSave = saved; }
    QString selected;
    QStringList shown;
};

class Journal : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.repTMP = tmp.path() + '/';
        ctx.translation.setText(
            "\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nHistoDeb=Opened\r\nHistoAction=Action\r\n"
            "HistoMenu=Menu added\r\nHistoDelMenu=Menu deleted\r\nHistoHoraires=Schedules\r\n"
            "NoeudArbre=Tree\r\n");
        ChargementArbres(config, QString(), ctx);
        host = std::make_unique<WindowHost>(config, ctx);
        journal = std::make_unique<UndoJournal>(*host, ctx.repTMP, ctx.translation);
        journal->setClock([] { return QTime(9, 5, 7); });
    }

    // What opening a file does to the journal.
    void open(const QString& treeName) {
        setTreeName(treeName);
        host->selected = "A1";
        journal->clearCancel(0);
        ASSERT_TRUE(journal->addCancel("HistoDeb", true));
    }
    void setTreeName(const QString& name) { config.sections.setValue("A1", TreeValue::lib, name); }
    QString treeName() const { return config.sections.value("A1", TreeValue::lib); }
    // A change recorded as a step of its own, or folded into the current one.
    void step(const QString& treeName, const QString& label = "HistoAction") {
        setTreeName(treeName);
        ASSERT_TRUE(journal->addCancel(label, true));
    }
    void fold(const QString& treeName) { step(treeName, UndoJournal::LastAction); }

    QStringList files() const { return QDir(tmp.path()).entryList(QDir::Files, QDir::Name); }
    QByteArray stepBytes(const QString& name) const { return readBytes(tmp.filePath(name)); }
    QStringList items() const {
        QStringList out;
        for (int r = 0; r < journal->rowCount(); ++r)
            out << journal->data(journal->index(r)).toString();
        return out;
    }
    // Position, then "U" / "R" when undo / redo are enabled.
    QString buttons() const {
        return QString::number(journal->cancelPosition()) + (journal->undoEnabled() ? "U" : "") +
               (journal->redoEnabled() ? "R" : "");
    }

    QTemporaryDir tmp;
    AppContext ctx;
    Configuration config;
    std::unique_ptr<WindowHost> host;
    std::unique_ptr<UndoJournal> journal;
};

TEST_F(Journal, TypingRewritesTheCurrentStepAndAfterAnUndoEndsTheRedoBranch) {
    open("R");
    step("S");
    QString typed;
    for (QChar c : QStringLiteral("Reception!")) {
        fold(typed += c);
        EXPECT_EQ(files(), QStringList({"0001.can", "0002.can"}));
        EXPECT_EQ(stepBytes("0002.can"), treeFileBytes(config)) << typed.toStdString();
    }
    EXPECT_EQ(items().size(), 2);

    journal->undo();
    fold("R2");
    EXPECT_TRUE(stepBytes("0001.can").contains("lib=R2\r\n"));
    EXPECT_EQ(files(), QStringList{"0001.can"}) << "a redo would hide what was typed";
    EXPECT_EQ(buttons(), "0");
}

TEST_F(Journal, DelayedTypingIsWrittenBeforeTheJournalIsRead) {
    open("R");
    step("S");
    journal->setFoldDelay(60000);
    fold("typed");
    EXPECT_FALSE(stepBytes("0002.can").contains("lib=typed\r\n")) << "written only when typing pauses";
    journal->undo();
    EXPECT_TRUE(stepBytes("0002.can").contains("lib=typed\r\n"));
    journal->redo();
    EXPECT_EQ(treeName(), "typed");

    fold("again");
    ASSERT_TRUE(journal->addCancel("HistoAction", true));
    EXPECT_TRUE(stepBytes("0002.can").contains("lib=again\r\n")) << "the step before a new one";
}

TEST_F(Journal, NewStepAfterTwoUndosDropsTheLaterStepsAndTakesTheNextNumber) {
    open("a");
    step("b");
    step("c");
    journal->undo();
    journal->undo();
    EXPECT_EQ(treeName(), "a");
    step("d", "HistoMenu");
    EXPECT_EQ(files(), QStringList({"0001.can", "0004.can"}));
    EXPECT_EQ(items(), QStringList({"09:05:07 -> Opened : 1 - Tree 1", "09:05:07 -> Menu added : 1 - a"}));
    EXPECT_EQ(journal->cancelFileNumber(), 4);
    EXPECT_EQ(buttons(), "1U");
    journal->undo();
    EXPECT_EQ(treeName(), "a");
    journal->redo();
    EXPECT_EQ(treeName(), "d");
}

TEST_F(Journal, ClickingTheCurrentItemDoesNothing) {
    open("a");
    step("b");
    setTreeName("not recorded");
    config.boolSave = true;
    journal->goTo(1);
    EXPECT_EQ(treeName(), "not recorded");
    EXPECT_TRUE(config.boolSave);
    EXPECT_TRUE(host->shown.isEmpty());
    EXPECT_EQ(buttons(), "1U");
}

TEST_F(Journal, RestoringSelectsTheRecordedNodeWhenItStillExists) {
    const struct {
        const char* selected;    // selection when the step is recorded
        bool menuGoneAfterwards; // the menu is removed by a change folded into the same step
        const char *recordedKey, *shown;
    } cases[] = {{"A2", false, "A2", "A2"}, {"", false, "NO_KEY", ""}, {"M1", true, "M1", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recordedKey + std::string(c.menuGoneAfterwards ? " gone" : ""));
        ChargementArbres(config, QString(), ctx);
        open("a");
        config.sections.ensureSection("M1", -1, "A1");
        config.sections.setValue("A1", TreeValue::menu, "M1");
        config.nodes.CreerNoeud("1 - Main", "M1", "A1", "Menu");
        host->selected = c.selected;
        ASSERT_TRUE(journal->addCancel("HistoMenu", true));
        if (c.menuGoneAfterwards) {
            config.sections.setValue("A1", TreeValue::menu, "");
            config.nodes.removeNode("M1");
            fold("a");
        }
        journal->undo();
        host->shown.clear();
        config.boolSave = true;
        journal->redo();
        EXPECT_EQ(journal->lstCancelKey().value(1), c.recordedKey);
        EXPECT_EQ(host->selected, c.shown);
        EXPECT_EQ(host->shown.size(), *c.shown ? 1 : 0);
        EXPECT_FALSE(config.boolSave);
        EXPECT_EQ(config.nodes.noeudExiste("M1"), !c.menuGoneAfterwards);
    }
}

} // namespace
