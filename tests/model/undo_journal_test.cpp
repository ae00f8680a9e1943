// What the window tests cannot reach: a step recorded with no node selected, or whose node a change
// folded into it removed. The rest of the journal is tested through the main window.
#include "core/app_context.h"
#include "model/configuration.h"
#include "model/journal_host.h"
#include "model/tree_file.h"
#include "model/undo_journal.h"
#include "support/qt_print.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The window's side: the tree view's selection and the modified mark.
class WindowHost : public ConfigurationJournalHost {
public:
    using ConfigurationJournalHost::ConfigurationJournalHost;
    QString selectedNodeKey() const override { return selected; }
    void showNode(const QString& key) override { shown << (selected = key); }
    void setBoolSave(bool saved) override { m_config.boolSave = saved; }
    QString selected;
    QStringList shown;
};

TEST(Journal, RestoredStepShowsTheNodeSelectedWhenItWasRecordedIfItStillExists) {
    const struct {
        const char* selected;    // when the step is recorded
        bool menuGoneAfterwards; // a change folded into the same step removes the menu
        QStringList shown;
    } cases[] = {{"A2", false, {"A2"}}, {"", false, {}}, {"M1", true, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected + std::string(c.menuGoneAfterwards ? " gone" : ""));
        QTemporaryDir tmp;
        AppContext ctx;
        ctx.translation.setText(
            "\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nHistoDeb=Opened\r\nHistoMenu=Menu added\r\n"
            "NoeudArbre=Tree\r\n");
        Configuration config;
        ChargementArbres(config, QString(), ctx);
        WindowHost host(config, ctx);
        UndoJournal journal(host, tmp.path(), ctx.translation);
        journal.setClock([] { return QTime(9, 5, 7); });
        host.selected = "A1";
        ASSERT_TRUE(journal.addCancel("HistoDeb", true));
        EXPECT_EQ(journal.index(0).data().toString(), "09:05:07 -> Opened : 1 - Tree 1");

        config.sections.ensureSection("M1", -1, "A1");
        config.sections.setValue("A1", TreeValue::menu, "M1");
        config.nodes.CreerNoeud("1 - Main", "M1", "A1", "Menu");
        host.selected = c.selected;
        ASSERT_TRUE(journal.addCancel("HistoMenu", true));
        if (c.menuGoneAfterwards) {
            config.sections.setValue("A1", TreeValue::menu, "");
            config.nodes.removeNode("M1");
            ASSERT_TRUE(journal.addCancel(UndoJournal::LastAction, true));
        }
        journal.undo();
        host.shown.clear();
        config.boolSave = true;
        journal.redo();
        EXPECT_EQ(host.shown, c.shown);
        EXPECT_FALSE(config.boolSave) << "a restored step is a change to save";
        EXPECT_EQ(config.nodes.noeudExiste("M1"), !c.menuGoneAfterwards);
    }
}

} // namespace
