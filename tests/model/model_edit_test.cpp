// Editing the model: action and schedule values, menus added and deleted, and the journal's steps where
// the window tests cannot reach them (a step recorded with no node selected, or whose node a change folded
// into it removed).
#include "core/app_context.h"
#include "model/action_value.h"
#include "model/configuration.h"
#include "model/example_tree.h"
#include "model/journal_host.h"
#include "model/menu_edit.h"
#include "model/schedule_value.h"
#include "model/tree_file.h"
#include "model/undo_journal.h"
#include "support/qt_print.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// For each type, "|"-separated: what choosing it writes for key 4 and for a tree exit ("-": exits do not
// offer it), the key's text then, and the value and text once the detail fields hold "15", "3", "1" (the
// exit's parameter: "15"; "-": no value).
TEST(ActionValue, TypeChoiceAndDetailFieldsComposeValueAndNodeText) {
    AppContext ctx;
    example::setUpContext(ctx);
    const ActionTypes types = makeActionTypes(ctx.translation);
    const char* const cases[] = {
        "trf|trf;|trf;|4 - Transfer ()|trf;15|4 - Transfer (15)|trf;15",
        "ann|ann;;2;2|ann;;;|4 - Announcement ()|ann;15;3;1|4 - Announcement (15)|ann;15;1;1",
        "bvo|bvo;|-|4 - Station voice box|bvo;15|4 - Station voice box (15)|-",
        "sau|sau;|sau;|4 - Jump|-|-|-",
        "std|std|std|4 - Operator|-|-|-",
        "num|num|-|4 - Free dialling|-|-|-",
        "bvn|bvn|-|4 - Voice box|-|-|-",
        "|||4 - No action|-|-|-",
    };
    for (const QString c : cases) {
        const QString code = c.section('|', 0, 0);
        const std::optional<QString> value = action::keyValue(code, {"15", "3", "1"});
        EXPECT_EQ(QStringList({code, action::keyDefault(code),
                               action::exitRow(code) >= 0 ? action::exitDefault(code) : "-",
                               action::keyTypeText(4, code, types), value.value_or("-"),
                               value ? action::keyNodeText(4, *value, types) : "-",
                               action::exitValue(code, "15").value_or("-")})
                      .join('|'),
                  c);
    }

    // A jump shows its target's name in brackets, even an empty one, and none without a target.
    const struct {
        std::optional<QString> name;
        const char* text;
    } jumps[] = {{"Sales", "7 - Jump (Sales)"}, {"", "7 - Jump ()"}, {std::nullopt, "7 - Jump"}};
    for (const auto& j : jumps)
        EXPECT_EQ(action::keyNodeText(7, action::jumpValue("M2"), types, j.name), j.text);
    EXPECT_EQ(action::keyNodeText(2, "xyz;1", types), "2 - xyz;1") << "an unknown code shows as it is";
}

// Eight fields "hh:mm-hh:mm hh:mm-hh:mm" as written in a table; "__" stands for a blank field.
schedule_value::DayTimes times(const char* fields) {
    QStringList f = QString(fields).split(QRegularExpression("[:\\- ]"));
    f.resize(8);
    f.replaceInStrings("__", "  ");
    return {{f[0], f[1], f[2], f[3]}, {f[4], f[5], f[6], f[7]}};
}

// What the table's fields write as a day value and what a day value shows in them; some cases hold one
// way only.
TEST(ScheduleValue, TableFieldsAndDayValue) {
    enum Way { Both, Writes, Reads };
    const struct {
        const char *fields, *value;
        Way way;
    } cases[] = {
        {"08:30-12:00 __:__-__:__", "08:30-12:00", Both},
        {"08:30-12:00 14:00-18:00", "08:30-12:00/14:00-18:00", Both},
        {"08:30-12:00 __:__-__:45", "08:30-12:00/  :  -  :45", Both}, // one field set writes the range
        {"__:__-__:__ __:__-__:__", "  :  -  :  ", Both},
        {"18:00-08:00 __:__-__:__", "18:00-08:00", Both},  // ending before it starts is kept
        {"08:00-12:00", "08:00-12:00", Writes},            // unselected second fields do not count
        {"__:__-__:__ __:__-__:__", "8:30-12:00", Reads},  // ten characters is no day value
        {"08:30-12:00 __:__-__:__", "08h30x12h00", Reads}, // separators are not checked
    };
    for (const auto& [fields, value, way] : cases) {
        if (way != Reads) {
            EXPECT_EQ(schedule_value::formatDayValue(times(fields)), value) << fields;
        }
        if (way != Writes) {
            const schedule_value::DayTimes parsed = schedule_value::parseDayValue(value),
                                           expected = times(fields);
            EXPECT_EQ(std::tie(parsed.first, parsed.second), std::tie(expected.first, expected.second))
                << value;
        }
    }
}

QStringList childKeys(const Configuration& c, const QString& key) {
    QStringList out;
    for (int id : c.nodes.childrenOf(c.nodes.find(key)))
        out << c.nodes.node(id).key;
    return out;
}

class MenuEdit : public ::testing::Test {
protected:
    void SetUp() override {
        example::setUpContext(ctx, 2);
        // Tree 1 starts at M3, tree 2 has no menu; menus up to M12 were loaded before.
        example::build(config, ctx, {{1, {"Reception", "", "", "2", "1", "M3"}}},
                       {{"M3", example::menuValues("Main", "", "11", {{1, "trf;201"}})}});
        config.maxNumMenu = 12;
    }
    QString add(const QString& key, int digit) { return menu_edit::AddMenu(config, key, digit, "New menu"); }
    bool remove(QString key) { return menu_edit::SupMenu(config, key, config.sections.findSection(key)); }

    AppContext ctx;
    Configuration config;
};

TEST_F(MenuEdit, StartMenuOfATreeIsAddedOnlyWhenItHasNoneAndDeletingItEmptiesTheTree) {
    EXPECT_EQ(add("A1", -1), "") << "tree 1 already has its start menu";
    EXPECT_EQ(add("A2", -1), "M13");
    EXPECT_EQ(config.sections.value("A2", TreeValue::menu), "M13");
    EXPECT_EQ(childKeys(config, "A2"), QStringList{"M13"});
    EXPECT_TRUE(remove("M3"));
    EXPECT_TRUE(childKeys(config, "A1").isEmpty());
    EXPECT_EQ(config.sections.value("A1", TreeValue::menu), "");
    EXPECT_EQ(add("A1", -1), "M14") << "the tree takes a start menu again";
}

TEST_F(MenuEdit, DeletingAMenuRemovesEveryLevelBelowItAndNothingElse) {
    add("E-M3-2", 2);  // M13 at depth 2
    add("E-M13-5", 5); // M14 at depth 3
    ASSERT_EQ(config.nodes.depthOf(config.nodes.find("E-M14-0")), 4);
    const int nodes = config.nodes.count();
    EXPECT_EQ(add("E-M14-0", 0), "") << "no fourth level";
    EXPECT_EQ(config.nodes.count(), nodes);
    EXPECT_EQ(config.sections.value("M14", MenuValue::forDigit(0)), "");
    add("E-M3-4", 4); // M15, a sibling that must survive
    EXPECT_EQ(config.maxNumMenu, 15);
    remove("M13");
    for (const char* gone : {"M13", "M14", "E-M13-5", "E-M14-0"})
        EXPECT_FALSE(config.nodes.noeudExiste(gone)) << gone;
    EXPECT_EQ(config.sections.findSection("M14"), 0);
    EXPECT_EQ(config.sections.value("M3", MenuValue::forDigit(4)), "men;M15");
    EXPECT_EQ(config.nodes.count(), 5 + 1 + 10 + 10);
}

TEST(NodeTree, TakenOrEmptyKeyGetsARandomStandIn) {
    NodeTree tree;
    tree.CreerNoeud("1 - One", "A1", "", "Arbre");
    for (const QString& requested : {QStringLiteral("A1"), QString()}) {
        const QString key = tree.CreerNoeud("text", requested, "A1", "Menu");
        EXPECT_TRUE(QRegularExpression("^K[0-9]+$").match(key).hasMatch()) << key.toStdString();
        ASSERT_NE(tree.nodeByKey(key), nullptr);
        EXPECT_EQ(tree.node(tree.nodeByKey(key)->parent).key, "A1");
    }
    EXPECT_EQ(tree.nodeByKey("A1")->text, "1 - One");
    EXPECT_EQ(tree.count(), 3);
}

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
