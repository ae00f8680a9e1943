#include "model/action_value.h"
#include "model/verification.h"
#include "platform/pacing.h"
#include "startup/app_context.h"
#include "startup/diagnostics_sink.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

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
    for (qint32 n : {10, 11, 13, 15}) {
        Announcement a;
        a.number = n;
        a.flags[0] = 1;
        ctx.Announcements.append(a);
    }
    Station s;
    s.number = "201";
    s.voiceBox = "801";
    ctx.Stations.append(s);
    return ctx;
}

// Adds a menu section with its node and the nodes of its keys, as the loader does.
void addMenu(Configuration& c, const QString& name, const QString& parent, int digit,
             const QStringList& values) {
    c.sections.ensureSection(name, digit, parent);
    for (int i = 0; i < values.size(); ++i)
        c.sections.setValue(name, i + 1, values[i]);
    c.nodes.CreerNoeud(name, name, parent, "Menu");
    for (int d = 0; d <= 9; ++d)
        if (action::code(c.sections.value(name, MenuValue::forDigit(d))) != "men")
            c.nodes.CreerNoeud(QString::number(d), action::keyNodeKey(name, d), name, "NoAction");
}

// Tree 1 "Reception" (root menu M1, sub-menu M2 on key 2), trees 2 to 5 inactive. Nothing in it is faulty.
Configuration makeValidTree() {
    Configuration c;
    for (int i = 1; i <= 5; ++i) {
        const QString name = QStringLiteral("A%1").arg(i);
        c.sections.ensureSection(name, -1, QString());
        for (int v = TreeValue::lib; v <= TreeValue::langue; ++v)
            c.sections.setValue(name, v, QStringList{"Tree", "", "", "2", "1"}[v - 1]);
        c.nodes.CreerNoeud(name, name, QString(), "Arbre");
        if (i > 1) c.nodes.setColour(name, NodeColour::Grey);
    }
    const QStringList tree = {"Reception", "10", "", "2", "1", "M1", "std", "ann;11;2;2", "std"};
    for (int i = 0; i < tree.size(); ++i)
        c.sections.setValue("A1", i + 1, tree[i]);
    addMenu(c, "M1", "A1", -1,
            {"Main menu", "", "11", "2", "2", "", "trf;201", "men;M2", "ann;15;2;2", "bvo;801", "sau;M2",
             "std", "num", "bvn", ""});
    addMenu(c, "M2", "M1", 2, {"Service", "1", "13", "2", "2", "std"});
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

TEST(Verification, ValidTreeOrEmptyStoreGivesOnlyHeadingAndSummary) {
    const AppContext ctx = makeContext();
    Configuration trees[] = {makeValidTree(), Configuration()};
    for (Configuration& config : trees) {
        const Outcome run = verify(config, ctx);
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.sink.entries,
                  QStringList({"I  " + QString(80, '-'), "I  Checking the trees", summary(0, 0)}));
    }
}

TEST(Verification, EachFaultIsReportedOnceWithItsMessageNodeAndFieldCode) {
    struct Case {
        const char* section;
        int index; // 7 is key 1 of a menu
        const char* value;
        const char* findings; // "E|W tag message", several joined by '|'
        const char *errorFields, *warningFields;
    };
    const int ann1 = TreeValue::ann1, ann2 = TreeValue::ann2, rep2 = TreeValue::rep2;
    const Case cases[] = {
        {"M1", MenuValue::ann, "", "E M1 Main menu - no menu announcement", "03;", ""},
        {"M1", MenuValue::ann, "1x", "E M1 Main menu - bad menu announcement : 1x", "03;", ""},
        {"M1", MenuValue::ann, "99", "W M1 Main menu - unknown menu announcement : 99", "", "03;"},
        {"M1", MenuValue::ann, "0011", "", "", ""},
        {"M1", MenuValue::rep, "", "E M1 Main menu - no repetitions", "04;", ""},
        {"M1", MenuValue::rep, "2x", "E M1 Main menu - bad repetitions : 2x", "04;", ""},
        {"M1", MenuValue::sil, "", "E M1 Main menu - no silences", "05;", ""},
        {"M1", MenuValue::sil, "-1", "E M1 Main menu - bad silences : -1", "05;", ""},
        {"M1", 7, "trf;", "E E-M1-1 Main menu - Transfer - no station", "07;", ""},
        {"M1", 7, "trf;12.5", "E E-M1-1 Main menu - Transfer - bad station : 12.5", "07;", ""},
        {"M1", 7, "trf;&H10", "E E-M1-1 Main menu - Transfer - bad station : &H10", "07;", ""},
        {"M1", 7, "trf;202", "W E-M1-1 Main menu - Transfer - unknown station : 202", "", "07;"},
        {"M1", 7, "trf;a#", "W E-M1-1 Main menu - Transfer - unknown station : a#", "", "07;"},
        // Each parameter of an announcement has its own suffix.
        {"M1", 7, "ann;;2;2", "E E-M1-1 Main menu - Announcement - no announcement", "07;1;", ""},
        {"M1", 7, "ann;1x;2;2", "E E-M1-1 Main menu - Announcement - bad announcement : 1x", "07;1;", ""},
        {"M1", 7, "ann;12;2;2", "W E-M1-1 Main menu - Announcement - unknown announcement : 12", "", "07;1;"},
        {"M1", 7, "ann;15;x;2", "E E-M1-1 Main menu - Announcement - bad repetitions : x", "07;2;", ""},
        {"M1", 7, "ann;15;;2", "E E-M1-1 Main menu - Announcement - no repetitions", "07;2;", ""},
        {"M1", 7, "ann;15;2;", "E E-M1-1 Main menu - Announcement - no silences", "07;3;", ""},
        {"M1", 7, "ann;15;2;y", "E E-M1-1 Main menu - Announcement - bad silences : y", "07;3;", ""},
        {"M1", 7, "ann;12;x;",
         "W E-M1-1 Main menu - Announcement - unknown announcement : 12|"
         "E E-M1-1 Main menu - Announcement - bad repetitions : x|"
         "E E-M1-1 Main menu - Announcement - no silences",
         "07;2;07;3;", "07;1;"},
        // A jump may go to any node of the tree.
        {"M1", 7, "sau;M2", "", "", ""},
        {"M1", 7, "sau;E-M2-0", "", "", ""},
        {"M1", 7, "sau;", "E E-M1-1 Main menu - Jump - no target", "07;", ""},
        {"M1", 7, "sau;M99", "E E-M1-1 Main menu - Jump - unknown target", "07;", ""},
        {"M1", 7, "bvo;", "E E-M1-1 Main menu - Station voice box - no voice box", "07;", ""},
        {"M1", 7, "bvo;x", "E E-M1-1 Main menu - Station voice box - bad voice box : x", "07;", ""},
        {"M1", 7, "bvo;201", "W E-M1-1 Main menu - Station voice box - unknown voice box : 201", "", "07;"},
        {"M1", 7, "xyz;1", "", "", ""},
        {"M1", 7, "bvn", "", "", ""}, // short, but nothing to check
        // Tree fields: only filled-in announcements and repetitions are checked.
        {"A1", ann1, "", "", "", ""},
        {"A1", ann1, "x", "E A1 Reception - bad welcome announcement : x", "02;", ""},
        {"A1", ann1, "99", "W A1 Reception - unknown welcome announcement : 99", "", "02;"},
        {"A1", ann2, "x", "E A1 Reception - bad language announcement : x", "03;", ""},
        {"A1", ann2, "99", "W A1 Reception - unknown language announcement : 99", "", "03;"},
        {"A1", rep2, "", "", "", ""},
        {"A1", rep2, "z", "E A1 Reception - bad repetitions : z", "04;", ""},
        // Tree exits: reported on the tree node without parameter suffix; voice boxes unchecked.
        {"A1", TreeValue::exit_trf, "trf;202", "W A1 Reception - Transfer - unknown station : 202", "",
         "07;"},
        {"A1", TreeValue::exit_fer, "ann;12;;",
         "W A1 Reception - Announcement - unknown announcement : 12|"
         "E A1 Reception - Announcement - no repetitions|E A1 Reception - Announcement - no silences",
         "08;08;", "08;"},
        {"A1", TreeValue::exit_nac, "sau;M99", "E A1 Reception - Jump - unknown target", "09;", ""},
        {"A1", TreeValue::exit_nac, "bvo;x", "", "", ""},
        {"A1", TreeValue::exit_trf, "bvo", "", "", ""},
        {"A2", ann1, "x", "", "", ""}, // an inactive tree is not examined
    };
    const AppContext ctx = makeContext();
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 value %2 = %3").arg(c.section).arg(c.index).arg(c.value).toStdString());
        Configuration config = makeValidTree();
        config.sections.setValue(c.section, c.index, c.value);
        const Outcome run = verify(config, ctx);
        const QStringList findings = QString(c.findings).split('|', Qt::SkipEmptyParts);
        EXPECT_EQ(run.sink.findings(), findings);
        EXPECT_EQ(config.sections.find(c.section)->errorFields, c.errorFields);
        EXPECT_EQ(config.sections.find(c.section)->warningFields, c.warningFields);
        int errors = 0;
        for (const QString& f : findings)
            errors += f.startsWith('E');
        EXPECT_EQ(run.result, errors);
        EXPECT_EQ(run.sink.entries.constLast(), summary(errors, int(findings.size()) - errors));
        if (!findings.isEmpty()) {
            EXPECT_EQ(config.nodes.nodeByKey(findings[0].section(' ', 1, 1))->colour,
                      errors > 0 ? NodeColour::Red : NodeColour::Orange);
        }
    }
}

TEST(Verification, RedIsNeverReplacedByOrange) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    config.sections.setValue("A1", TreeValue::ann1, "x");  // error first
    config.sections.setValue("A1", TreeValue::ann2, "99"); // then a warning on the same node
    config.sections.setValue("M1", 7, "ann;15;x;2");
    config.sections.setValue("M1", 9, "ann;12;2;2"); // warning only
    verify(config, ctx);
    EXPECT_EQ(config.nodes.nodeByKey("A1")->colour, NodeColour::Red);
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-1")->colour, NodeColour::Red);
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-3")->colour, NodeColour::Orange);
    EXPECT_EQ(config.nodes.nodeByKey("M1")->colour, NodeColour::Black);
    EXPECT_EQ(config.sections.find("A1")->errorFields, "02;");
    EXPECT_EQ(config.sections.find("A1")->warningFields, "03;");
}

TEST(Verification, NextRunClearsColoursAndCodesAndSkipsSectionsOutsideTheTree) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    config.sections.setValue("M1", MenuValue::ann, "");
    config.sections.setValue("M1", 7, "trf;");
    EXPECT_EQ(verify(config, ctx).result, 2);
    config.sections.setValue("M1", MenuValue::ann, "11");
    config.sections.setValue("M1", 7, "trf;201");
    // A deleted menu keeps its record but has no node; a grey tree is not examined either.
    config.sections.ensureSection("M7", 3, "M1");
    config.sections.find("M7")->errorFields = "03;";
    config.sections.find("A3")->warningFields = "02;";
    config.sections.setValue("A3", TreeValue::exit_trf, "trf;");
    const Outcome run = verify(config, ctx);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(run.sink.findings().isEmpty());
    EXPECT_EQ(config.nodes.nodeByKey("M1")->colour, NodeColour::Black);
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-1")->colour, NodeColour::Black);
    EXPECT_EQ(config.nodes.nodeByKey("A3")->colour, NodeColour::Grey);
    for (const char* s : {"M1", "M7", "A3"})
        EXPECT_EQ(config.sections.find(s)->errorFields + config.sections.find(s)->warningFields, "") << s;
}

TEST(Verification, FindingsComeInStoreOrderAndAreCounted) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    config.sections.setValue("M1", MenuValue::rep, "");
    config.sections.setValue("M2", MenuValue::ann, "14");
    config.sections.setValue("M2", 6, "trf;x");
    config.sections.setValue("A1", TreeValue::ann1, "12");
    const Outcome run = verify(config, ctx);
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(run.sink.entries.constLast(), summary(2, 2));
    QStringList tags;
    for (const QString& e : run.sink.findings())
        tags << e.section(' ', 1, 1);
    EXPECT_EQ(tags, QStringList({"A1", "M1", "M2", "E-M2-0"}));
}

TEST(Verification, ShortActionValueAbortsTheAnalysis) {
    const std::pair<const char*, int> cases[] = {
        {"ann;15;2", 7}, {"ann", 7}, {"trf", 7}, {"sau", 7}, {"bvo", 7}, {"ann;10;2", TreeValue::exit_fer}};
    const AppContext ctx = makeContext();
    for (const auto& [value, index] : cases) {
        SCOPED_TRACE(value);
        Configuration config = makeValidTree();
        config.sections.setValue(index == 7 ? "M1" : "A1", index, value);
        config.sections.setValue("M1", MenuValue::ann, ""); // a fault found before the abort
        config.sections.find("M2")->errorFields = "03;";
        const Outcome run = verify(config, ctx);
        EXPECT_EQ(run.result, TreeVerifier::Aborted);
        EXPECT_EQ(run.sink.entries.constLast(), "E  Check stopped");
        EXPECT_TRUE(run.sink.entries.filter("Check finished").isEmpty());
        if (index == 7) { // what was found stays; later sections are not reached
            EXPECT_EQ(config.nodes.nodeByKey("M1")->colour, NodeColour::Red);
            EXPECT_EQ(config.sections.find("M1")->errorFields, "03;");
            EXPECT_EQ(config.sections.find("M2")->errorFields, "03;");
        }
    }
}

// Records pauses and, on request, starts a second run from inside the first one (as a click on the
// validate command would while the window processes events).
class ProbingPacing : public platform::Pacing, public VerificationObserver {
public:
    void pause(int ms) override {
        events << QStringLiteral("pause %1").arg(ms);
        if (verifier && config && nestedResult == 0)
            nestedResult = verifier->verifArbo(*config) == TreeVerifier::Aborted ? 1 : 2;
    }
    void processEvents() override {}
    void verificationStarted() override { events << "started"; }
    void verificationProgress(int current, int maximum) override {
        events << QStringLiteral("%1/%2").arg(current).arg(maximum);
    }
    void verificationFinished() override { events << "finished"; }
    QStringList events;
    TreeVerifier* verifier = nullptr;
    Configuration* config = nullptr;
    int nestedResult = 0; // 1 refused, 2 ran
};

TEST(Verification, PausesAndReportsProgressOncePerSection) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    config.sections.ensureSection("M9", 1, "M1"); // no node: skipped but still counted
    RecordingSink sink;
    ProbingPacing pacing;
    TreeVerifier(ctx, sink, pacing, &pacing).verifArbo(config);
    QStringList expected = {"started"};
    for (int s = 1; s <= 8; ++s)
        expected << QStringLiteral("%1/8").arg(s) << "pause 20";
    EXPECT_EQ(pacing.events, expected << "finished");
}

TEST(Verification, SecondRunIsRefusedWhileOneIsInProgress) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    config.sections.setValue("M1", 7, "trf;");
    RecordingSink sink;
    ProbingPacing pacing;
    TreeVerifier verifier(ctx, sink, pacing);
    pacing.verifier = &verifier;
    pacing.config = &config;
    EXPECT_EQ(verifier.verifArbo(config), 1);
    EXPECT_EQ(pacing.nestedResult, 1);
    EXPECT_FALSE(verifier.isRunning());
    EXPECT_EQ(sink.entries.size(), 4); // the refused run wrote nothing
    pacing.verifier = nullptr;
    EXPECT_EQ(verifier.verifArbo(config), 1); // once finished, a new run is accepted
}

TEST(NumberField, AcceptsNonNegativeNumbersAndAllowedCharacters) {
    const QString dial = "ABCD*#+";
    const std::tuple<const char*, QString, bool> cases[] = {
        {"", "", false},     {"0", "", true},      {"007", "", true},      {"2147483647", "", true},
        {"-3", "", false},   {"12.5", "", false},  {"1,5", "", false},     {"2147483648", "", false},
        {"&H10", "", false}, {"12a", "", false},   {"   ", "", false},     {"99999999999", "", false},
        {" 12 ", "", true},  {"+5", "", true},     {"12*", dial, true},    {"A#", dial, true},
        {"a#", dial, true},  {"*#", dial, true},   {"+33 1", dial, false}, {"12.5", dial, false},
        {"-3", dial, false}, {"E12", dial, false}, {"D-", dial, false},    {"201", dial, true},
    };
    for (const auto& [value, allowed, expected] : cases)
        EXPECT_EQ(isNumberField(value, allowed), expected) << value << " / " << allowed.toStdString();
}

TEST(ReferenceLists, AnnouncementsByLanguageStationsAndVoiceBoxes) {
    QList<Announcement> announcements(2);
    announcements[0].number = 7;
    announcements[0].flags[1] = 1; // language 2 only
    announcements[1].number = 8;
    const std::tuple<int, int, bool> cases[] = {{7, 0, true},  {7, 2, true}, {7, 1, false},
                                                {8, 4, false}, {8, 0, true}, {9, 0, false}};
    for (const auto& [number, language, expected] : cases)
        EXPECT_EQ(announcementExists(announcements, number, language), expected) << number << " " << language;
    QList<Station> stations(2);
    stations[0].number = "A12";
    stations[0].voiceBox = "812";
    stations[1].number = "13";
    EXPECT_TRUE(stationExists(stations, "A12"));
    EXPECT_FALSE(stationExists(stations, "a12"));
    EXPECT_FALSE(stationExists(stations, "812"));
    EXPECT_TRUE(voiceBoxExists(stations, "812"));
    EXPECT_FALSE(voiceBoxExists(stations, "A12"));
}

TEST(FieldState, ColourComesFromTheLastRunsCodes) {
    SectionStore store;
    const int m = store.ensureSection("M1", -1, "A1");
    store.at(m).errorFields = "03;07;1;";
    store.at(m).warningFields = "09;07;2;";
    const std::tuple<int, const char*, int> cases[] = {
        {3, "", NodeColour::Red},      {7, "", NodeColour::Red},     {7, "1;", NodeColour::Red},
        {7, "2;", NodeColour::Orange}, {7, "3;", NodeColour::Black}, {9, "", NodeColour::Orange},
        {4, "", NodeColour::Black},    {13, "", NodeColour::Black},
    };
    for (const auto& [index, suffix, colour] : cases)
        EXPECT_EQ(fieldStateColour(store, m, index, suffix), colour) << index << suffix;
    EXPECT_EQ(fieldStateColour(store, 2, 3), NodeColour::Black);
    EXPECT_EQ(fieldCode(15, "3;"), "15;3;");
}

} // namespace
