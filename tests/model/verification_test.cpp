#include "model/action_value.h"
#include "model/verification.h"
#include "platform/pacing.h"
#include "startup/app_context.h"
#include "startup/diagnostics_sink.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

struct Entry {
    QString message;
    short level;
    QString tag;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
    *os << "{" << e.level << ", " << e.tag.toStdString() << ", \"" << e.message.toStdString() << "\"}";
}

class RecordingSink : public DiagnosticsSink {
public:
    void AjouteInfo(const QString& message, short level, const QString& tag) override {
        entries.push_back({message, level, tag});
    }
    // The findings of the last run: what lies between the heading lines and the summary.
    std::vector<Entry> findings() const {
        std::vector<Entry> out(entries.begin() + 2, entries.end() - 1);
        return out;
    }
    std::vector<Entry> entries;
};

const char* const kLabels = R"(
[LANGID]
1=1033
[LABELS]
actTransfert=Transfer
actAnn=Announcement
actSaut=Jump
actBvo=Voice box
DebugAnalyse=Checking the trees
DebugAnalyseFin=Check finished
DebugAnalyseErr=error(s)
DebugAnalyseWar=warning(s)
ErrAnalyse=Check stopped
DebugAnn1_Err=bad welcome announcement
DebugAnn1_Abs=unknown welcome announcement
DebugAnn2_Err=bad language announcement
DebugAnn2_Abs=unknown language announcement
DebugAnn3_NA=no menu announcement
DebugAnn3_Err=bad menu announcement
DebugAnn3_Abs=unknown menu announcement
DebugAnn4_NA=no announcement
DebugAnn4_Err=bad announcement
DebugAnn4_Abs=unknown announcement
DebugRepetNA=no repetitions
DebugRepet=bad repetitions
DebugSilenceNA=no silences
DebugSilence=bad silences
DebugPoste_NA=no station
DebugPoste_Err=bad station
DebugPoste_Abs=unknown station
DebugSaut_NA=no target
DebugSaut_Abs=unknown target
DebugBV_NA=no voice box
DebugBV_Err=bad voice box
DebugBV_Abs=unknown voice box
)";

AppContext makeContext() {
    AppContext ctx;
    ctx.Nb_arbre = 1;
    // Translation files end their lines with CR LF.
    ctx.translation.setText(QString::fromLatin1(kLabels).replace(QLatin1Char('\n'), QLatin1String("\r\n")));
    for (qint32 n : {10, 11, 13, 15}) {
        Announcement a;
        a.number = n;
        a.flags[0] = 1;
        ctx.Announcements.append(a);
    }
    Station s;
    s.number = QStringLiteral("201");
    s.voiceBox = QStringLiteral("801");
    ctx.Stations.append(s);
    return ctx;
}

// Adds a menu section with its node and the nodes of its keys, as the loader does ("men" keys are shown by
// the sub-menu's own node, added separately).
void addMenu(Configuration& c, const QString& name, const QString& parent, int digit,
             const QStringList& values) {
    c.sections.ensureSection(name, digit, parent);
    for (int i = 0; i < values.size(); ++i)
        c.sections.setValue(name, i + 1, values[i]);
    c.nodes.CreerNoeud(name, name, parent, QStringLiteral("Menu"));
    for (int d = 0; d <= 9; ++d) {
        const QString v = c.sections.value(name, MenuValue::forDigit(d));
        if (action::code(v) != QLatin1String("men"))
            c.nodes.CreerNoeud(QString::number(d), action::keyNodeKey(name, d), name,
                               QStringLiteral("NoAction"));
    }
}

// Tree 1 "Reception" (root menu M1), trees 2 to 5 inactive. Nothing in it is faulty.
Configuration makeValidTree() {
    Configuration c;
    for (int i = 1; i <= 5; ++i) {
        const QString name = QStringLiteral("A%1").arg(i);
        c.sections.ensureSection(name, -1, QString());
        c.sections.setValue(name, TreeValue::lib, QStringLiteral("Tree %1").arg(i));
        c.sections.setValue(name, TreeValue::rep2, QStringLiteral("2"));
        c.sections.setValue(name, TreeValue::langue, QStringLiteral("1"));
        c.nodes.CreerNoeud(name, name, QString(), QStringLiteral("Arbre"));
        if (i > 1) c.nodes.setColour(name, NodeColour::Grey);
    }
    const QStringList tree = {"Reception", "10", "", "2", "1", "M1", "std", "ann;11;2;2", "std"};
    for (int i = 0; i < tree.size(); ++i)
        c.sections.setValue(QStringLiteral("A1"), i + 1, tree[i]);
    addMenu(c, "M1", "A1", -1,
            {"Main menu", "", "11", "2", "2", "", "trf;201", "men;M2", "ann;15;2;2", "bvo;801", "sau;M2",
             "std", "num", "bvn", ""});
    addMenu(c, "M2", "M1", 2, {"Service", "1", "13", "2", "2", "std", "", "", "", "", "", "", "", "", ""});
    return c;
}

struct Outcome {
    RecordingSink sink;
    int result = 0;
};

Outcome verify(Configuration& config, const AppContext& ctx) {
    Outcome run;
    platform::NoPacing pacing;
    TreeVerifier verifier(ctx, run.sink, pacing);
    run.result = verifier.verifArbo(config);
    return run;
}

const short E = DiagnosticsSink::Error;
const short W = DiagnosticsSink::Warning;

} // namespace

TEST(Verification, ValidTreeGivesOnlyHeadingAndSummary) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    const Outcome run = verify(config, ctx);
    EXPECT_EQ(run.result, 0);
    const std::vector<Entry> expected = {
        {QString(80, QLatin1Char('-')), DiagnosticsSink::Info, ""},
        {"Checking the trees", DiagnosticsSink::Info, ""},
        {"Check finished : 0 error(s) - 0 warning(s)", DiagnosticsSink::Ok, ""},
    };
    EXPECT_EQ(run.sink.entries, expected);
}

TEST(Verification, EachFaultIsReportedWithItsMessageNodeAndFieldCode) {
    struct Case {
        const char* section;
        int index;
        const char* value;
        std::vector<Entry> findings;
        const char* errorFields;
        const char* warningFields;
    };
    const QString menuKey1 = QStringLiteral("E-M1-1");
    const std::vector<Case> cases = {
        // Menu fields.
        {"M1", MenuValue::ann, "", {{"Main menu - no menu announcement", E, "M1"}}, "03;", ""},
        {"M1", MenuValue::ann, "1x", {{"Main menu - bad menu announcement : 1x", E, "M1"}}, "03;", ""},
        {"M1", MenuValue::ann, "99", {{"Main menu - unknown menu announcement : 99", W, "M1"}}, "", "03;"},
        {"M1", MenuValue::ann, "0011", {}, "", ""},
        {"M1", MenuValue::rep, "", {{"Main menu - no repetitions", E, "M1"}}, "04;", ""},
        {"M1", MenuValue::rep, "2x", {{"Main menu - bad repetitions : 2x", E, "M1"}}, "04;", ""},
        {"M1", MenuValue::sil, "", {{"Main menu - no silences", E, "M1"}}, "05;", ""},
        {"M1", MenuValue::sil, "-1", {{"Main menu - bad silences : -1", E, "M1"}}, "05;", ""},
        // Transfer on key 1.
        {"M1", 7, "trf;", {{"Main menu - Transfer - no station", E, menuKey1}}, "07;", ""},
        {"M1", 7, "trf;12.5", {{"Main menu - Transfer - bad station : 12.5", E, menuKey1}}, "07;", ""},
        {"M1", 7, "trf;-3", {{"Main menu - Transfer - bad station : -3", E, menuKey1}}, "07;", ""},
        {"M1", 7, "trf;&H10", {{"Main menu - Transfer - bad station : &H10", E, menuKey1}}, "07;", ""},
        {"M1",
         7,
         "trf;99999999999",
         {{"Main menu - Transfer - bad station : 99999999999", E, menuKey1}},
         "07;",
         ""},
        {"M1", 7, "trf;202", {{"Main menu - Transfer - unknown station : 202", W, menuKey1}}, "", "07;"},
        {"M1", 7, "trf;12*", {{"Main menu - Transfer - unknown station : 12*", W, menuKey1}}, "", "07;"},
        {"M1", 7, "trf;a#", {{"Main menu - Transfer - unknown station : a#", W, menuKey1}}, "", "07;"},
        // Announcement on key 1: each parameter has its own suffix.
        {"M1", 7, "ann;;2;2", {{"Main menu - Announcement - no announcement", E, menuKey1}}, "07;1;", ""},
        {"M1",
         7,
         "ann;1x;2;2",
         {{"Main menu - Announcement - bad announcement : 1x", E, menuKey1}},
         "07;1;",
         ""},
        {"M1",
         7,
         "ann;12;2;2",
         {{"Main menu - Announcement - unknown announcement : 12", W, menuKey1}},
         "",
         "07;1;"},
        {"M1",
         7,
         "ann;15;x;2",
         {{"Main menu - Announcement - bad repetitions : x", E, menuKey1}},
         "07;2;",
         ""},
        {"M1", 7, "ann;15;;2", {{"Main menu - Announcement - no repetitions", E, menuKey1}}, "07;2;", ""},
        {"M1", 7, "ann;15;2;", {{"Main menu - Announcement - no silences", E, menuKey1}}, "07;3;", ""},
        {"M1", 7, "ann;15;2;y", {{"Main menu - Announcement - bad silences : y", E, menuKey1}}, "07;3;", ""},
        {"M1",
         7,
         "ann;12;x;",
         {{"Main menu - Announcement - unknown announcement : 12", W, menuKey1},
          {"Main menu - Announcement - bad repetitions : x", E, menuKey1},
          {"Main menu - Announcement - no silences", E, menuKey1}},
         "07;2;07;3;",
         "07;1;"},
        // Jumps: to any node of the tree.
        {"M1", 7, "sau;M2", {}, "", ""},
        {"M1", 7, "sau;E-M2-0", {}, "", ""},
        {"M1", 7, "sau;", {{"Main menu - Jump - no target", E, menuKey1}}, "07;", ""},
        {"M1", 7, "sau;M99", {{"Main menu - Jump - unknown target", E, menuKey1}}, "07;", ""},
        // Voice box of a station.
        {"M1", 7, "bvo;", {{"Main menu - Voice box - no voice box", E, menuKey1}}, "07;", ""},
        {"M1", 7, "bvo;x", {{"Main menu - Voice box - bad voice box : x", E, menuKey1}}, "07;", ""},
        {"M1", 7, "bvo;802", {{"Main menu - Voice box - unknown voice box : 802", W, menuKey1}}, "", "07;"},
        {"M1", 7, "bvo;201", {{"Main menu - Voice box - unknown voice box : 201", W, menuKey1}}, "", "07;"},
        // Codes without parameters to check.
        {"M1", 7, "std", {}, "", ""},
        {"M1", 7, "xyz;1", {}, "", ""},
        // Tree fields: only filled-in announcements and repetitions are checked.
        {"A1", TreeValue::ann1, "", {}, "", ""},
        {"A1", TreeValue::ann1, "x", {{"Reception - bad welcome announcement : x", E, "A1"}}, "02;", ""},
        {"A1",
         TreeValue::ann1,
         "99",
         {{"Reception - unknown welcome announcement : 99", W, "A1"}},
         "",
         "02;"},
        {"A1", TreeValue::ann2, "x", {{"Reception - bad language announcement : x", E, "A1"}}, "03;", ""},
        {"A1",
         TreeValue::ann2,
         "99",
         {{"Reception - unknown language announcement : 99", W, "A1"}},
         "",
         "03;"},
        {"A1", TreeValue::rep2, "", {}, "", ""},
        {"A1", TreeValue::rep2, "z", {{"Reception - bad repetitions : z", E, "A1"}}, "04;", ""},
        // Tree exits: reported on the tree node, never with a parameter suffix; voice boxes unchecked.
        {"A1",
         TreeValue::exit_trf,
         "trf;202",
         {{"Reception - Transfer - unknown station : 202", W, "A1"}},
         "",
         "07;"},
        {"A1",
         TreeValue::exit_fer,
         "ann;12;;",
         {{"Reception - Announcement - unknown announcement : 12", W, "A1"},
          {"Reception - Announcement - no repetitions", E, "A1"},
          {"Reception - Announcement - no silences", E, "A1"}},
         "08;08;",
         "08;"},
        {"A1", TreeValue::exit_nac, "sau;M99", {{"Reception - Jump - unknown target", E, "A1"}}, "09;", ""},
        {"A1", TreeValue::exit_nac, "bvo;x", {}, "", ""},
        // An inactive tree is not examined.
        {"A2", TreeValue::ann1, "x", {}, "", ""},
    };
    const AppContext ctx = makeContext();
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 value %2 = %3").arg(c.section).arg(c.index).arg(c.value).toStdString());
        Configuration config = makeValidTree();
        config.sections.setValue(c.section, c.index, c.value);
        const Outcome run = verify(config, ctx);
        EXPECT_EQ(run.sink.findings(), c.findings);
        const Section& s = *config.sections.find(c.section);
        EXPECT_EQ(s.errorFields, QString::fromLatin1(c.errorFields));
        EXPECT_EQ(s.warningFields, QString::fromLatin1(c.warningFields));

        int errors = 0, warnings = 0;
        for (const Entry& e : c.findings)
            (e.level == E ? errors : warnings)++;
        EXPECT_EQ(run.result, errors);
        EXPECT_EQ(run.sink.entries.back().message,
                  QStringLiteral("Check finished : %1 error(s) - %2 warning(s)").arg(errors).arg(warnings));
        if (!c.findings.empty()) {
            const int colour = errors > 0 ? NodeColour::Red : NodeColour::Orange;
            EXPECT_EQ(config.nodes.nodeByKey(c.findings.front().tag)->colour, colour);
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

TEST(Verification, NextRunClearsColoursAndCodesOfFixedFaults) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    config.sections.setValue("M1", MenuValue::ann, "");
    config.sections.setValue("M1", 7, "trf;");
    EXPECT_EQ(verify(config, ctx).result, 2);
    EXPECT_EQ(config.nodes.nodeByKey("M1")->colour, NodeColour::Red);

    config.sections.setValue("M1", MenuValue::ann, "11");
    config.sections.setValue("M1", 7, "trf;201");
    EXPECT_EQ(verify(config, ctx).result, 0);
    EXPECT_EQ(config.nodes.nodeByKey("M1")->colour, NodeColour::Black);
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-1")->colour, NodeColour::Black);
    EXPECT_EQ(config.sections.find("M1")->errorFields, "");
}

TEST(Verification, SectionsOutsideTheTreeAreSkippedAndLoseTheirCodes) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    // A deleted menu keeps its record but has no node; a grey tree is not examined either.
    config.sections.ensureSection("M7", 3, "M1");
    config.sections.find("M7")->errorFields = "03;";
    config.sections.find("A3")->warningFields = "02;";
    config.sections.setValue("A3", TreeValue::exit_trf, "trf;");
    const Outcome run = verify(config, ctx);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(run.sink.findings().empty());
    EXPECT_EQ(config.sections.find("M7")->errorFields, "");
    EXPECT_EQ(config.sections.find("A3")->warningFields, "");
    EXPECT_EQ(config.nodes.nodeByKey("A3")->colour, NodeColour::Grey);
}

TEST(Verification, SummaryCountsAllFindings) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    config.sections.setValue("M1", MenuValue::rep, "");
    config.sections.setValue("M2", MenuValue::ann, "14");
    config.sections.setValue("M2", 6, "trf;x");
    config.sections.setValue("A1", TreeValue::ann1, "12");
    const Outcome run = verify(config, ctx);
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(run.sink.entries.back(),
              (Entry{"Check finished : 2 error(s) - 2 warning(s)", DiagnosticsSink::Ok, ""}));
    // Sections in store order: A1 first, then M1, then M2.
    std::vector<QString> tags;
    for (const Entry& e : run.sink.findings())
        tags.push_back(e.tag);
    EXPECT_EQ(tags, (std::vector<QString>{"A1", "M1", "M2", "E-M2-0"}));
}

TEST(Verification, ShortActionValueAbortsTheAnalysis) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"ann;15;2", 7}, {"ann", 7}, {"trf", 7}, {"sau", 7}, {"bvo", 7}, {"ann;10;2", TreeValue::exit_fer}};
    const AppContext ctx = makeContext();
    for (const auto& [value, index] : cases) {
        SCOPED_TRACE(value);
        Configuration config = makeValidTree();
        const char* section = index == 7 ? "M1" : "A1";
        config.sections.setValue(section, index, value);
        config.sections.setValue("M1", MenuValue::ann, ""); // a fault found before the abort
        config.sections.find("M2")->errorFields = "03;";
        const Outcome run = verify(config, ctx);
        EXPECT_EQ(run.result, TreeVerifier::Aborted);
        EXPECT_EQ(run.sink.entries.back(), (Entry{"Check stopped", DiagnosticsSink::Error, ""}));
        for (const Entry& e : run.sink.entries)
            EXPECT_FALSE(e.message.startsWith("Check finished"));
        if (index == 7) {
            // What was found before the fault stays; later sections are not reached.
            EXPECT_EQ(config.nodes.nodeByKey("M1")->colour, NodeColour::Red);
            EXPECT_EQ(config.sections.find("M1")->errorFields, "03;");
            EXPECT_EQ(config.sections.find("M2")->errorFields, "03;");
        }
    }
}

TEST(Verification, ShortValuesWithoutCheckedParametersDoNotAbort) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    config.sections.setValue("M1", 7, "bvn");
    config.sections.setValue("A1", TreeValue::exit_trf, "bvo");
    EXPECT_EQ(verify(config, ctx).result, 0);
}

TEST(Verification, EmptyStoreLogsHeadingAndZeroSummary) {
    const AppContext ctx = makeContext();
    Configuration config;
    const Outcome run = verify(config, ctx);
    EXPECT_EQ(run.result, 0);
    ASSERT_EQ(run.sink.entries.size(), 3u);
    EXPECT_EQ(run.sink.entries[1].message, "Checking the trees");
    EXPECT_EQ(run.sink.entries[2],
              (Entry{"Check finished : 0 error(s) - 0 warning(s)", DiagnosticsSink::Ok, ""}));
}

namespace {

// Records the pauses and, on request, tries to start a second run from inside the first one (as a click
// on the validate command would while the window processes events).
class ProbingPacing : public platform::Pacing {
public:
    void pause(int ms) override {
        pauses.push_back(ms);
        if (verifier && config && nestedResult == 0)
            nestedResult = verifier->verifArbo(*config) == TreeVerifier::Aborted ? 1 : 2;
    }
    void processEvents() override {}
    std::vector<int> pauses;
    TreeVerifier* verifier = nullptr;
    Configuration* config = nullptr;
    int nestedResult = 0; // 1 refused, 2 ran
};

class ProgressRecorder : public VerificationObserver {
public:
    void verificationStarted() override { events.push_back({-1, -1}); }
    void verificationProgress(int current, int maximum) override { events.push_back({current, maximum}); }
    void verificationFinished() override { events.push_back({0, 0}); }
    std::vector<std::pair<int, int>> events;
};

} // namespace

TEST(Verification, PausesAndReportsProgressOncePerSection) {
    const AppContext ctx = makeContext();
    Configuration config = makeValidTree();
    config.sections.ensureSection("M9", 1, "M1"); // no node: skipped but still counted
    RecordingSink sink;
    ProbingPacing pacing;
    ProgressRecorder progress;
    TreeVerifier verifier(ctx, sink, pacing, &progress);
    verifier.verifArbo(config);
    const int sections = config.sections.size();
    EXPECT_EQ(pacing.pauses, std::vector<int>(size_t(sections), 20));
    ASSERT_EQ(progress.events.size(), size_t(sections + 2));
    EXPECT_EQ(progress.events.front(), std::make_pair(-1, -1));
    EXPECT_EQ(progress.events[1], std::make_pair(1, sections));
    EXPECT_EQ(progress.events[size_t(sections)], std::make_pair(sections, sections));
    EXPECT_EQ(progress.events.back(), std::make_pair(0, 0));
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
    // One heading, one finding, one summary: the refused run wrote nothing.
    EXPECT_EQ(sink.entries.size(), 4u);
    // Once finished, a new run is accepted.
    pacing.verifier = nullptr;
    EXPECT_EQ(verifier.verifArbo(config), 1);
}

TEST(NumberField, AcceptsNonNegativeNumbersAndAllowedCharacters) {
    const QString dial = QStringLiteral("ABCD*#+");
    const std::vector<std::tuple<const char*, QString, bool>> cases = {
        {"", "", false},          {"0", "", true},           {"007", "", true},
        {"2147483647", "", true}, {"2147483648", "", false}, {"99999999999", "", false},
        {"-3", "", false},        {"12.5", "", false},       {"1,5", "", false},
        {"&H10", "", false},      {"12a", "", false},        {"   ", "", false},
        {" 12 ", "", true},       {"+5", "", true},          {"12*", dial, true},
        {"A#", dial, true},       {"a#", dial, true},        {"*#", dial, true},
        {"+33 1", dial, false},   {"12.5", dial, false},     {"-3", dial, false},
        {"E12", dial, false},     {"D-", dial, false},       {"201", dial, true},
    };
    for (const auto& [value, allowed, expected] : cases)
        EXPECT_EQ(isNumberField(QString::fromLatin1(value), allowed), expected)
            << value << " / " << allowed.toStdString();
}

TEST(ReferenceLists, AnnouncementsStationsAndVoiceBoxes) {
    QList<Announcement> announcements(2);
    announcements[0].number = 7;
    announcements[0].flags[1] = 1; // language 2 only
    announcements[1].number = 8;
    EXPECT_TRUE(announcementExists(announcements, 7, 0));
    EXPECT_TRUE(announcementExists(announcements, 7, 2));
    EXPECT_FALSE(announcementExists(announcements, 7, 1));
    EXPECT_FALSE(announcementExists(announcements, 8, 4));
    EXPECT_TRUE(announcementExists(announcements, 8, 0));
    EXPECT_FALSE(announcementExists(announcements, 9, 0));

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
    const std::vector<std::tuple<int, const char*, int>> cases = {
        {3, "", NodeColour::Red},      {7, "", NodeColour::Red},     {7, "1;", NodeColour::Red},
        {7, "2;", NodeColour::Orange}, {7, "3;", NodeColour::Black}, {9, "", NodeColour::Orange},
        {4, "", NodeColour::Black},    {13, "", NodeColour::Black},
    };
    for (const auto& [index, suffix, colour] : cases)
        EXPECT_EQ(fieldStateColour(store, m, index, suffix), colour) << index << suffix;
    EXPECT_EQ(fieldStateColour(store, 2, 3), NodeColour::Black);
    EXPECT_EQ(fieldCode(15, "3;"), "15;3;");
}
