// Editing and checking the model: action and schedule values, menus added and deleted, the journal's steps
// where the window tests cannot reach them (a step recorded with no node selected, or whose node a change
// folded into it removed), and the check's findings.
#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "model/action_value.h"
#include "model/configuration.h"
#include "model/example_tree.h"
#include "model/journal_host.h"
#include "model/menu_edit.h"
#include "model/schedule_value.h"
#include "model/tree_file.h"
#include "model/undo_journal.h"
#include "model/verification.h"
#include "platform/pacing.h"
#include "support/test_support.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>

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

// Thousands of keys, then removals and renames at random: each key is found exactly while its node lives.
TEST(NodeTree, EveryLiveKeyIsFoundAndNoOtherAfterRemovalsAndRenames) {
    NodeTree tree;
    QSet<QString> live{"A1"}, seen{"A1"};
    tree.CreerNoeud("root", "A1", "", "Arbre");
    for (int i = 0; i < 3000; ++i) {
        const QString key = QStringLiteral("E-M%1-%2").arg(i / 10).arg(i % 10);
        tree.CreerNoeud(key, key, "A1", "NoAction");
        live << key;
        seen << key;
    }
    QRandomGenerator random(7);
    for (int step = 0; step < 3000; ++step) {
        const QString key = QStringLiteral("E-M%1-%2").arg(random.bounded(300)).arg(random.bounded(10));
        if (!live.remove(key)) continue;
        if (random.bounded(2)) {
            tree.removeNode(key);
        } else {
            ASSERT_TRUE(tree.rekey(key, key + 'r'));
            live << key + 'r';
            seen << key + 'r';
        }
    }
    for (const QString& key : seen) {
        const int id = tree.find(key);
        EXPECT_EQ(id >= 0 && tree.node(id).key == key, live.contains(key)) << qPrintable(key);
    }
    EXPECT_EQ(tree.count(), live.size());
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

// Entries as "E tag message" (E error, W warning, I info, O ok).
class RecordingSink : public DiagnosticsSink {
public:
    void AjouteInfo(const QString& message, short level, const QString& tag) override {
        entries << QChar("IWEO"[std::clamp<int>(level, 0, 3)]) + (' ' + tag + ' ' + message);
    }
    // What lies between the two heading lines and the summary.
    QStringList findings() const { return entries.mid(2, entries.size() - 3); }
    QStringList entries;
};

// Announcements 10, 11, 13 and 15; station 201 with voice box 801.
AppContext makeContext() {
    AppContext ctx;
    ctx.Nb_arbre = 1;
    EXPECT_TRUE(ctx.translation.loadFile(testing_support::dataDir() + "/labels_check.txt"));
    for (qint32 n : {10, 11, 13, 15})
        ctx.Announcements.append({n, {}, {1, 0, 0, 0}});
    ctx.Stations = {{"201", {}, 0, "801"}};
    return ctx;
}

// Tree 1 "Reception" (root menu M1, sub-menu M2 on key 2), trees 2 to 5 inactive. Nothing in it is faulty.
Configuration makeValidTree(const AppContext& ctx) {
    Configuration c;
    example::build(
        c, ctx, {{1, QString("Reception|10||2|1|M1|std|ann;11;2;2|std").split('|')}},
        {{"M1",
          QString("Main menu||11|2|2||trf;201|men;M2|ann;15;2;2|bvo;801|sau;M2|std|num|bvn|").split('|')},
         {"M2", {"Service", "1", "13", "2", "2", "std"}}});
    return c;
}

struct Outcome {
    RecordingSink sink;
    int result = 0;
};
Outcome verify(Configuration& config, const AppContext& ctx) {
    Outcome run;
    platform::NoPacing pacing;
    run.result = TreeVerifier(ctx, run.sink, pacing).verifArbo(config);
    return run;
}

QString summary(int errors, int warnings) {
    return QStringLiteral("O  Check finished : %1 error(s) - %2 warning(s)").arg(errors).arg(warnings);
}

// One row per message the check can raise; "E|W tag message", then the error and warning field codes.
TEST(Verification, EachFaultIsReportedWithItsMessageNodeAndFieldCode) {
    const int ann = MenuValue::ann, rep = MenuValue::rep, sil = MenuValue::sil, key1 = 7;
    const struct {
        const char* section;
        int index;
        const char *value, *finding, *errorFields, *warningFields;
    } cases[] = {
        {"M1", ann, "", "E M1 Main menu - no menu announcement", "03;", ""},
        {"M1", ann, "1x", "E M1 Main menu - bad menu announcement : 1x", "03;", ""},
        {"M1", ann, "99", "W M1 Main menu - unknown menu announcement : 99", "", "03;"},
        {"M1", rep, "", "E M1 Main menu - no repetitions", "04;", ""},
        {"M1", sil, "", "E M1 Main menu - no silences", "05;", ""},
        {"M1", key1, "trf;", "E E-M1-1 Main menu - Transfer - no station", "07;", ""},
        {"M1", key1, "trf;12.5", "E E-M1-1 Main menu - Transfer - bad station : 12.5", "07;", ""},
        {"M1", key1, "trf;202", "W E-M1-1 Main menu - Transfer - unknown station : 202", "", "07;"},
        {"M1", key1, "ann;;2;2", "E E-M1-1 Main menu - Announcement - no announcement", "07;1;", ""},
        {"M1", key1, "ann;12;2;2", "W E-M1-1 Main menu - Announcement - unknown announcement : 12", "",
         "07;1;"},
        {"M1", key1, "ann;15;x;2", "E E-M1-1 Main menu - Announcement - bad repetitions : x", "07;2;", ""},
        {"M1", key1, "ann;15;2;", "E E-M1-1 Main menu - Announcement - no silences", "07;3;", ""},
        {"M1", key1, "sau;", "E E-M1-1 Main menu - Jump - no target", "07;", ""},
        {"M1", key1, "sau;M99", "E E-M1-1 Main menu - Jump - unknown target", "07;", ""},
        {"M1", key1, "bvo;", "E E-M1-1 Main menu - Station voice box - no voice box", "07;", ""},
        {"M1", key1, "bvo;201", "W E-M1-1 Main menu - Station voice box - unknown voice box : 201", "",
         "07;"},
        {"A1", TreeValue::ann1, "x", "E A1 Reception - bad welcome announcement : x", "02;", ""},
        {"A1", TreeValue::ann1, "99", "W A1 Reception - unknown welcome announcement : 99", "", "02;"},
        {"A1", TreeValue::ann2, "99", "W A1 Reception - unknown language announcement : 99", "", "03;"},
        // Tree exits are reported on the tree node, without parameter suffix.
        {"A1", TreeValue::exit_nac, "sau;M99", "E A1 Reception - Jump - unknown target", "09;", ""},
        {"A2", TreeValue::ann1, "x", "", "", ""}, // an inactive tree is not examined
        // A value too short to analyse stops the check: no finding, no mark.
        {"M1", key1, "ann;15;2", "stopped", "", ""},
        {"M1", key1, "trf", "stopped", "", ""},
        {"A1", TreeValue::exit_fer, "ann;10;2", "stopped", "", ""},
    };
    const AppContext ctx = makeContext();
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 = %3").arg(c.section).arg(c.index).arg(c.value).toStdString());
        Configuration config = makeValidTree(ctx);
        config.sections.setValue(c.section, c.index, c.value);
        const Outcome run = verify(config, ctx);
        const bool stopped = QByteArray(c.finding) == "stopped", error = c.finding[0] == 'E',
                   none = !*c.finding || stopped;
        const TreeNode* node = config.nodes.nodeByKey(QString(c.finding).section(' ', 1, 1));
        EXPECT_EQ(QStringList({run.sink.findings().join('\n'), config.sections.find(c.section)->errorFields,
                               config.sections.find(c.section)->warningFields, QString::number(run.result),
                               run.sink.entries.constLast(), node ? QString::number(node->colour) : ""}),
                  QStringList({none ? "" : c.finding, c.errorFields, c.warningFields,
                               QString::number(stopped ? TreeVerifier::Aborted : error),
                               stopped ? "E  Check stopped" : summary(error, !none && !error),
                               none ? "" : QString::number(error ? NodeColour::Red : NodeColour::Orange)}));
    }
}

TEST(Verification, RedIsNeverReplacedByOrangeAndTheNextRunClearsTheMarks) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree(ctx);
    config.sections.setValue("A1", TreeValue::ann1, "x");  // error first
    config.sections.setValue("A1", TreeValue::ann2, "99"); // then a warning on the same node
    config.sections.setValue("M1", 9, "ann;12;2;2");       // warning only
    // The result, the colours of A1 and E-M1-3, and A1's error and warning fields.
    const auto marks = [&] {
        const int result = verify(config, ctx).result;
        return QStringLiteral("%1 %2 %3 ")
                   .arg(result)
                   .arg(config.nodes.nodeByKey("A1")->colour)
                   .arg(config.nodes.nodeByKey("E-M1-3")->colour) +
               config.sections.find("A1")->errorFields + '|' + config.sections.find("A1")->warningFields;
    };
    EXPECT_EQ(marks(), QStringLiteral("1 %1 %2 02;|03;").arg(NodeColour::Red).arg(NodeColour::Orange));
    config.sections.setValue("A1", TreeValue::ann1, "10");
    config.sections.setValue("A1", TreeValue::ann2, "");
    config.sections.setValue("M1", 9, "ann;15;2;2");
    EXPECT_EQ(marks(), QStringLiteral("0 %1 %1 |").arg(NodeColour::Black));
}

TEST(NumberField, AcceptsNonNegativeNumbersAndAllowedCharacters) {
    const QString dial = "ABCD*#+";
    const std::tuple<const char*, QString, bool> cases[] = {
        {"", "", false},    {"007", "", true},      {"2147483647", "", true}, {"2147483648", "", false},
        {"-3", "", false},  {"12.5", "", false},    {"&H10", "", false},      {" 12 ", "", true},
        {"a#", dial, true}, {"+33 1", dial, false}, {"E12", dial, false},
    };
    for (const auto& [value, allowed, expected] : cases)
        EXPECT_EQ(isNumberField(value, allowed), expected) << value << " / " << allowed.toStdString();
}

} // namespace

// The window's pauses let events run, among them a second click on the check command.
class ReenteringPacing : public platform::Pacing {
public:
    void pause(int milliseconds) override {
        pauses << milliseconds;
        if (verifier && config && !reentered) {
            reentered = true;
            secondResult = verifier->verifArbo(*config);
        }
    }
    void processEvents() override {}
    TreeVerifier* verifier = nullptr;
    Configuration* config = nullptr;
    bool reentered = false;
    int secondResult = 0;
    QList<int> pauses;
};

TEST(Verification, PausesAfterEachSectionAndRefusesASecondRunMeanwhile) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree(ctx);
    RecordingSink sink;
    ReenteringPacing pacing;
    TreeVerifier verifier(ctx, sink, pacing);
    pacing.verifier = &verifier;
    pacing.config = &config;
    EXPECT_EQ(verifier.verifArbo(config), 0);
    EXPECT_EQ(pacing.secondResult, TreeVerifier::Aborted);
    EXPECT_EQ(pacing.pauses, QList<int>(config.sections.size(), TreeVerifier::SectionPauseMs));
    EXPECT_EQ(sink.entries.size(), 3) << "the refused run writes nothing";
    EXPECT_FALSE(verifier.isRunning());
}
