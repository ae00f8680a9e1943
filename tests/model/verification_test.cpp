#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "model/example_tree.h"
#include "model/verification.h"
#include "platform/pacing.h"
#include "support/test_support.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

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
    };
    const AppContext ctx = makeContext();
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 = %3").arg(c.section).arg(c.index).arg(c.value).toStdString());
        Configuration config = makeValidTree(ctx);
        config.sections.setValue(c.section, c.index, c.value);
        const Outcome run = verify(config, ctx);
        const bool error = c.finding[0] == 'E', none = !*c.finding;
        const TreeNode* node = config.nodes.nodeByKey(QString(c.finding).section(' ', 1, 1));
        EXPECT_EQ(QStringList({run.sink.findings().join('\n'), config.sections.find(c.section)->errorFields,
                               config.sections.find(c.section)->warningFields, QString::number(run.result),
                               run.sink.entries.constLast(), node ? QString::number(node->colour) : ""}),
                  QStringList({c.finding, c.errorFields, c.warningFields, QString::number(error),
                               summary(error, !none && !error),
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

TEST(Verification, ShortActionValueAbortsTheAnalysis) {
    const std::pair<const char*, int> cases[] = {
        {"ann;15;2", 7}, {"trf", 7}, {"ann;10;2", TreeValue::exit_fer}};
    const AppContext ctx = makeContext();
    for (const auto& [value, index] : cases) {
        SCOPED_TRACE(value);
        Configuration config = makeValidTree(ctx);
        config.sections.setValue(index == 7 ? "M1" : "A1", index, value);
        const Outcome run = verify(config, ctx);
        EXPECT_EQ(run.result, TreeVerifier::Aborted);
        EXPECT_EQ(run.sink.entries.filter(QRegularExpression("Check (finished|stopped)")),
                  QStringList{"E  Check stopped"});
    }
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
