#include "model/configuration.h"
#include "model/journal_host.h"
#include "model/tree_file.h"
#include "model/undo_journal.h"
#include "startup/app_context.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using testing_support::readBytes;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

const char* const kLabels = "\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nHistoDeb=Opened\r\nHistoAction=Action\r\n"
                            "HistoMenu=Menu added\r\nHistoDelMenu=Menu deleted\r\nHistoHoraires=Schedules\r\n"
                            "NoeudArbre=Tree\r\n";

// The window's side: the tree view's selection and the modified mark.
class WindowHost : public ConfigurationJournalHost {
public:
    using ConfigurationJournalHost::ConfigurationJournalHost;

    QString selectedNodeKey() const override { return selected; }
    void loadTreeFile(const QString& path) override {
        ConfigurationJournalHost::loadTreeFile(path);
        selected.clear(); // the view is rebuilt
    }
    void showNode(const QString& key) override {
        selected = key;
        shown.append(key);
    }
    void setBoolSave(bool saved) override { m_config.boolSave = saved; }

    QString selected;
    QStringList shown;
};

class Journal : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        ctx.repTMP = tmp.path() + QLatin1Char('/');
        ctx.translation.setText(QString::fromLatin1(kLabels));
        ChargementArbres(config, QString(), ctx);
        host = std::make_unique<WindowHost>(config, ctx);
        journal = std::make_unique<UndoJournal>(*host, ctx.repTMP, ctx.translation);
        journal->setClock([] { return QTime(9, 5, 7); });
    }

    // What opening a file does to the journal.
    void open(const QString& treeName) {
        setTreeName(treeName);
        host->selected = QStringLiteral("A1");
        journal->clearCancel(0);
        ASSERT_TRUE(journal->addCancel(QStringLiteral("HistoDeb"), true));
    }
    void setTreeName(const QString& name) {
        config.sections.setValue(QStringLiteral("A1"), TreeValue::lib, name);
    }
    QString treeName() const { return config.sections.value(QStringLiteral("A1"), TreeValue::lib); }
    // A change recorded as a step of its own.
    void step(const QString& treeName, const QString& label = QStringLiteral("HistoAction")) {
        setTreeName(treeName);
        ASSERT_TRUE(journal->addCancel(label, true));
    }

    QStringList filesOnDisk() const { return QDir(tmp.path()).entryList(QDir::Files, QDir::Name); }
    QByteArray stepBytes(const QString& name) const { return readBytes(tmp.filePath(name)); }
    QStringList items() const {
        QStringList out;
        for (int r = 0; r < journal->rowCount(); ++r)
            out << journal->data(journal->index(r)).toString();
        return out;
    }

    QTemporaryDir tmp;
    AppContext ctx;
    Configuration config;
    std::unique_ptr<WindowHost> host;
    std::unique_ptr<UndoJournal> journal;
};

TEST_F(Journal, FirstStepIsFile0001HoldingTheWholeTree) {
    open(QStringLiteral("Reception"));

    EXPECT_EQ(filesOnDisk(), QStringList{QStringLiteral("0001.can")});
    EXPECT_EQ(stepBytes(QStringLiteral("0001.can")), treeFileBytes(config));
    EXPECT_EQ(items(), QStringList{QStringLiteral("09:05:07 -> Opened : 1 - Tree 1")});
    EXPECT_EQ(journal->lstCancelKey(), QStringList{QStringLiteral("A1")});
    EXPECT_EQ(journal->cancelPosition(), 0);
    EXPECT_EQ(journal->cancelFileNumber(), 1);
    EXPECT_FALSE(journal->undoEnabled());
    EXPECT_FALSE(journal->redoEnabled());
}

TEST_F(Journal, TypingTenCharactersRewritesTheCurrentStep) {
    open(QStringLiteral("R"));
    step(QStringLiteral("S"));
    const QByteArray first = stepBytes(QStringLiteral("0001.can"));

    QString typed;
    for (QChar c : QStringLiteral("Reception!")) {
        typed += c;
        setTreeName(typed);
        ASSERT_TRUE(journal->addCancel(UndoJournal::lastAction(), true));
        EXPECT_EQ(filesOnDisk(), (QStringList{QStringLiteral("0001.can"), QStringLiteral("0002.can")}));
        EXPECT_EQ(stepBytes(QStringLiteral("0002.can")), treeFileBytes(config)) << typed.toStdString();
        EXPECT_EQ(journal->rowCount(), 2);
    }
    EXPECT_EQ(stepBytes(QStringLiteral("0001.can")), first);
    EXPECT_TRUE(stepBytes(QStringLiteral("0002.can")).contains("lib=Reception!\r\n"));
    EXPECT_EQ(journal->cancelFileNumber(), 2);
}

TEST_F(Journal, TypingAfterUndoRewritesTheStepShownAndKeepsRedo) {
    open(QStringLiteral("a"));
    step(QStringLiteral("b"));
    const QByteArray later = stepBytes(QStringLiteral("0002.can"));
    journal->undo();

    setTreeName(QStringLiteral("a2"));
    ASSERT_TRUE(journal->addCancel(UndoJournal::lastAction(), true));

    EXPECT_TRUE(stepBytes(QStringLiteral("0001.can")).contains("lib=a2\r\n"));
    EXPECT_EQ(stepBytes(QStringLiteral("0002.can")), later);
    EXPECT_TRUE(journal->redoEnabled());
}

TEST_F(Journal, NewStepAfterTwoUndosDropsTheLaterStepsAndTakesTheNextNumber) {
    open(QStringLiteral("a"));
    step(QStringLiteral("b"));
    step(QStringLiteral("c"));
    journal->undo();
    journal->undo();
    EXPECT_EQ(treeName(), QStringLiteral("a"));

    step(QStringLiteral("d"), QStringLiteral("HistoMenu"));

    EXPECT_EQ(filesOnDisk(), (QStringList{QStringLiteral("0001.can"), QStringLiteral("0004.can")}));
    EXPECT_EQ(items(), (QStringList{QStringLiteral("09:05:07 -> Opened : 1 - Tree 1"),
                                    QStringLiteral("09:05:07 -> Menu added : 1 - a")}));
    EXPECT_EQ(journal->cancelFileNumber(), 4);
    EXPECT_EQ(journal->cancelPosition(), 1);
    EXPECT_TRUE(journal->undoEnabled());
    EXPECT_FALSE(journal->redoEnabled());

    journal->undo();
    EXPECT_EQ(treeName(), QStringLiteral("a"));
    journal->redo();
    EXPECT_EQ(treeName(), QStringLiteral("d"));
}

TEST_F(Journal, ButtonsFollowThePosition) {
    enum Op { Step, Undo, Redo, GoTo0, GoTo2 };
    struct Case {
        Op op;
        int position;
        bool undo;
        bool redo;
        const char* treeName;
    };
    const Case cases[] = {
        {Step, 1, true, false, "s1"},  {Step, 2, true, false, "s2"},  {Undo, 1, true, true, "s1"},
        {Undo, 0, false, true, "s0"},  {Redo, 1, true, true, "s1"},   {Redo, 2, true, false, "s2"},
        {GoTo0, 0, false, true, "s0"}, {GoTo2, 2, true, false, "s2"}, {Undo, 1, true, true, "s1"},
        {Step, 2, true, false, "s3"},
    };
    open(QStringLiteral("s0"));
    int stepNo = 0;
    for (const Case& c : cases) {
        switch (c.op) {
        case Step:
            step(QStringLiteral("s%1").arg(++stepNo));
            break;
        case Undo:
            journal->undo();
            break;
        case Redo:
            journal->redo();
            break;
        case GoTo0:
            journal->goTo(0);
            break;
        case GoTo2:
            journal->goTo(2);
            break;
        }
        SCOPED_TRACE(c.treeName);
        EXPECT_EQ(journal->cancelPosition(), c.position);
        EXPECT_EQ(journal->undoEnabled(), c.undo);
        EXPECT_EQ(journal->redoEnabled(), c.redo);
        EXPECT_EQ(treeName(), QString::fromLatin1(c.treeName));
    }
}

TEST_F(Journal, ClickingTheCurrentItemDoesNothing) {
    open(QStringLiteral("a"));
    step(QStringLiteral("b"));
    setTreeName(QStringLiteral("not recorded"));
    config.boolSave = true;

    journal->goTo(1);

    EXPECT_EQ(treeName(), QStringLiteral("not recorded"));
    EXPECT_TRUE(config.boolSave);
    EXPECT_TRUE(host->shown.isEmpty());
    EXPECT_TRUE(journal->undoEnabled());
}

TEST_F(Journal, RestoringSelectsTheRecordedNodeWhenItStillExists) {
    struct Case {
        const char* name;
        QString selected;        // selection when the step is recorded
        bool menuGoneAfterwards; // the menu is removed by typing folded into the same step
        QString recordedKey;
        QString shown; // "" when no node is selected
    };
    const Case cases[] = {
        {"tree node", QStringLiteral("A2"), false, QStringLiteral("A2"), QStringLiteral("A2")},
        {"menu node", QStringLiteral("M1"), false, QStringLiteral("M1"), QStringLiteral("M1")},
        {"no selection", QString(), false, QStringLiteral("NO_KEY"), QString()},
        {"vanished menu", QStringLiteral("M1"), true, QStringLiteral("M1"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChargementArbres(config, QString(), ctx);
        open(QStringLiteral("a"));
        config.sections.ensureSection(QStringLiteral("M1"), -1, QStringLiteral("A1"));
        config.sections.setValue(QStringLiteral("M1"), MenuValue::lib, QStringLiteral("Main"));
        config.sections.setValue(QStringLiteral("A1"), TreeValue::menu, QStringLiteral("M1"));
        config.nodes.CreerNoeud(QStringLiteral("1 - Main"), QStringLiteral("M1"), QStringLiteral("A1"),
                                QStringLiteral("Menu"));
        host->selected = c.selected;
        ASSERT_TRUE(journal->addCancel(QStringLiteral("HistoMenu"), true));
        if (c.menuGoneAfterwards) {
            config.sections.setValue(QStringLiteral("A1"), TreeValue::menu, QString());
            config.nodes.removeNode(QStringLiteral("M1"));
            ASSERT_TRUE(journal->addCancel(UndoJournal::lastAction(), true));
        }
        journal->undo();
        host->shown.clear();
        config.boolSave = true;

        journal->redo();

        EXPECT_EQ(journal->lstCancelKey().value(1), c.recordedKey);
        EXPECT_EQ(host->selected, c.shown);
        EXPECT_EQ(host->shown.size(), c.shown.isEmpty() ? 0 : 1);
        EXPECT_FALSE(config.boolSave);
        EXPECT_EQ(config.nodes.noeudExiste(QStringLiteral("M1")), !c.menuGoneAfterwards);
    }
}

TEST_F(Journal, ItemTextJoinsTimeLabelAndNodeText) {
    struct Case {
        QString label;
        QString suffix;
        bool withNodeText;
        QString selected;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("HistoAction"),
         {},
         true,
         QStringLiteral("A2"),
         QStringLiteral("09:05:07 -> Action : 2 - Tree 2")},
        {QStringLiteral("HistoHoraires"),
         {},
         false,
         QStringLiteral("A2"),
         QStringLiteral("09:05:07 -> Schedules")},
        {QString(), {}, true, QStringLiteral("A3"), QStringLiteral("09:05:07 -> 3 - Tree 3")},
        {QStringLiteral("HistoAction"), {}, true, QString(), QStringLiteral("09:05:07 -> Action : ")},
        {QStringLiteral("HistoDelMenu"), QStringLiteral(" '1 - Main'"), true, QStringLiteral("A1"),
         QStringLiteral("09:05:07 -> Menu deleted '1 - Main' : 1 - Tree 1")},
        {QStringLiteral("Unknown"), {}, false, QString(), QStringLiteral("09:05:07 -> *")},
    };
    for (const Case& c : cases) {
        host->selected = c.selected;
        ASSERT_TRUE(journal->addCancel(c.label, c.withNodeText, c.suffix));
        EXPECT_EQ(items().constLast(), c.expected);
    }
}

TEST_F(Journal, CaptionAlreadyTranslatedIsShownAsGivenAndCanFoldTyping) {
    open(QStringLiteral("R"));
    host->selected = QStringLiteral("A2");
    ASSERT_TRUE(journal->addCancelCaption(QStringLiteral("Menu deleted '2 - Sales'"), true));
    EXPECT_EQ(items().constLast(), QStringLiteral("09:05:07 -> Menu deleted '2 - Sales' : 2 - Tree 2"));
    EXPECT_EQ(journal->lstCancelKey().constLast(), QStringLiteral("A2"));

    setTreeName(QStringLiteral("Typed"));
    ASSERT_TRUE(journal->addCancelCaption(UndoJournal::lastAction(), true));
    EXPECT_EQ(journal->rowCount(), 2);
    EXPECT_EQ(filesOnDisk(), (QStringList{QStringLiteral("0001.can"), QStringLiteral("0002.can")}));
    EXPECT_TRUE(stepBytes(QStringLiteral("0002.can")).contains("lib=Typed\r\n"));
}

TEST_F(Journal, ClearingFromZeroEmptiesTheFolderAndRestartsNumbering) {
    testing_support::writeBytes(tmp.filePath(QStringLiteral("ArbreSERVEUR.maa")), "[general]\r\n");
    open(QStringLiteral("a"));
    step(QStringLiteral("b"));
    step(QStringLiteral("c"));
    journal->undo();

    journal->clearCancel(0);

    EXPECT_EQ(filesOnDisk(), QStringList{QStringLiteral("ArbreSERVEUR.maa")});
    EXPECT_EQ(journal->rowCount(), 0);
    EXPECT_TRUE(journal->lstCancelKey().isEmpty());
    EXPECT_EQ(journal->cancelPosition(), -1);
    EXPECT_EQ(journal->cancelFileNumber(), 0);
    EXPECT_FALSE(journal->undoEnabled());
    EXPECT_FALSE(journal->redoEnabled());
    EXPECT_FALSE(journal->addCancel(UndoJournal::lastAction(), true)); // nothing to fold into
    EXPECT_EQ(filesOnDisk(), QStringList{QStringLiteral("ArbreSERVEUR.maa")});

    open(QStringLiteral("z"));
    EXPECT_EQ(filesOnDisk(), (QStringList{QStringLiteral("0001.can"), QStringLiteral("ArbreSERVEUR.maa")}));
}

TEST_F(Journal, StepThatCannotBeWrittenIsNotListed) {
    UndoJournal broken(*host, tmp.filePath(QStringLiteral("missing/folder")), ctx.translation);
    EXPECT_FALSE(broken.addCancel(QStringLiteral("HistoDeb"), true));
    EXPECT_EQ(broken.rowCount(), 0);
    EXPECT_EQ(broken.cancelPosition(), -1);
}

TEST(JournalFile, NamesEndingInCanAreJournalFiles) {
    const std::pair<QString, bool> cases[] = {
        {QStringLiteral("0001.can"), true},      {QStringLiteral("/tmp/qavo/0042.can"), true},
        {QStringLiteral("arbre.maa"), false},    {QStringLiteral("0001.CAN"), false},
        {QStringLiteral("0001.can.maa"), false},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(UndoJournal::isFileCancel(name), expected) << name.toStdString();
    EXPECT_EQ(UndoJournal::stepFileName(1), QStringLiteral("0001.can"));
    EXPECT_EQ(UndoJournal::stepFileName(123), QStringLiteral("0123.can"));
}

} // namespace
