#include "model/tree_file.h"
#include "startup/app_context.h"
#include "startup/diagnostics_sink.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testing_support::dataDir;
using testing_support::readBytes;
using testing_support::resourcesDir;
using testing_support::writeBytes;

namespace {

struct NodeLine {
    int depth;
    QString key, text, image;
    int colour;
    bool operator==(const NodeLine&) const = default;
};

void PrintTo(const NodeLine& n, std::ostream* os) {
    *os << n.depth << ' ' << n.key.toStdString() << " '" << n.text.toStdString() << "' "
        << n.image.toStdString() << ' ' << n.colour;
}

class RecordingDiagnostics : public DiagnosticsSink {
public:
    void AjouteInfo(const QString& message, short level, const QString& tag) override {
        lines << QString::number(level) + QLatin1Char('|') + message + QLatin1Char('|') + tag;
    }
    QStringList lines;
};

class Loader : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ctx.translation.loadFile(dataDir() + QStringLiteral("/labels_en.txt")));
        config.actionTypes = makeActionTypes(ctx.translation);
        config.schedules = makeSchedules(ctx.translation);
    }

    // Writes a tree file whose lines are given with "\n" ends; the file gets CR LF.
    QString writeTree(const QString& text, const QString& name = QStringLiteral("t.maa")) {
        QString crlf = text;
        crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        const QString path = dir.filePath(name);
        writeBytes(path, crlf.toLatin1());
        return path;
    }

    void load(const QString& path) { ChargementArbres(config, path, ctx); }

    QList<NodeLine> nodes() const {
        QList<NodeLine> out;
        for (int id : config.nodes.displayOrder()) {
            const TreeNode& n = config.nodes.node(id);
            out.append({config.nodes.depthOf(id), n.key, n.text, n.image, n.colour});
        }
        return out;
    }

    QString value(const QString& section, int index) const { return config.sections.value(section, index); }
    QString saved() const { return QString::fromLatin1(treeFileBytes(config)); }

    QTemporaryDir dir;
    AppContext ctx;
    Configuration config;
};

QList<NodeLine> emptyKeys(int depth, const QString& menu, int from, int to) {
    QList<NodeLine> out;
    for (int d = from; d <= to; ++d)
        out.append({depth, QStringLiteral("E-%1-%2").arg(menu).arg(d),
                    QStringLiteral("%1 - No action").arg(d), QStringLiteral("NoAction"), 0});
    return out;
}

TEST_F(Loader, WorkedExampleShowsItsMenusKeysAndGreyInactiveTrees) {
    ctx.Nb_arbre = 1;
    load(resourcesDir() + QStringLiteral("/examples/accueil.maa"));

    QList<NodeLine> expected = {
        {0, "A1", QStringLiteral("1 - Accueil général"), "Arbre", 0},
        {1, "M1", "1 - Menu principal", "Menu", 0},
        {2, "E-M1-0", "0 - No action", "NoAction", 0},
        {2, "E-M1-1", "1 - Transfer (201)", "Transfert", 0},
        {2, "M2", "2 - Service", "Menu", 0},
        {3, "E-M2-0", "0 - Operator", "Standard", 0},
    };
    expected += emptyKeys(3, "M2", 1, 9);
    expected.append({2, "E-M1-3", "3 - Announcement (15)", "Annonce", 0});
    expected += emptyKeys(2, "M1", 4, 9);
    for (int i = 2; i <= 5; ++i)
        expected.append({0, QStringLiteral("A%1").arg(i), QStringLiteral("%1 - Tree %1").arg(i), "Arbre",
                         NodeColour::Grey});
    EXPECT_EQ(nodes(), expected);

    EXPECT_TRUE(config.nodes.nodeByKey("A1")->expanded);
    EXPECT_FALSE(config.nodes.nodeByKey("A2")->expanded);
    EXPECT_EQ(config.sections.at(config.sections.findSection("M2")).parentDigit, 2);
    EXPECT_EQ(config.sections.at(config.sections.findSection("M2")).parentKey, "M1");
    EXPECT_EQ(config.sections.at(config.sections.findSection("M1")).parentDigit, -1);
    EXPECT_EQ(config.maxNumMenu, 2);
}

TEST_F(Loader, ExamplesAreWrittenBackByteForByte) {
    for (const char* name : {"accueil.maa", "demo.maa"}) {
        const QString path = resourcesDir() + QStringLiteral("/examples/") + QLatin1String(name);
        load(path);
        EXPECT_EQ(treeFileBytes(config), readBytes(path)) << name;
    }
}

TEST_F(Loader, AccentedTextsSurviveInTheAnsiCodePage) {
    load(resourcesDir() + QStringLiteral("/examples/accueil.maa"));
    EXPECT_EQ(value("A1", TreeValue::lib), QStringLiteral("Accueil général"));
    EXPECT_TRUE(treeFileBytes(config).contains("lib=Accueil g\xe9n\xe9ral\r\n"));
}

TEST_F(Loader, SectionNamesMatchWithoutCaseButKeepTheReferencedName) {
    load(writeTree("[a1]\nLIB=Main\nMenu=M1\n[m1]\nlib=Top\n1=men;M2\n[M2]\nlib=Sub\n"));
    EXPECT_EQ(config.nodes.nodeByKey("A1")->text, "1 - Main");
    ASSERT_TRUE(config.nodes.noeudExiste("M1"));
    EXPECT_EQ(config.nodes.nodeByKey("M1")->text, "1 - Top");
    EXPECT_EQ(config.sections.findSection("m1"), 0);
    EXPECT_TRUE(saved().contains("[A1]\r\nlib=Main\r\n"));
    EXPECT_TRUE(saved().contains("[M1]\r\nlib=Top\r\nhor=\r\n"));
    EXPECT_FALSE(saved().contains("[m1]"));
}

TEST_F(Loader, MenuReachedTwiceIsShownOnceUnderTheLowerKey) {
    load(writeTree("[A1]\nmenu=M1\n[M1]\nlib=Top\n4=men;M5\n1=men;M5\n[M5]\nlib=Shared\n"));
    const TreeNode* shared = config.nodes.nodeByKey("M5");
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->text, "1 - Shared");
    EXPECT_EQ(config.nodes.node(shared->parent).key, "M1");
    EXPECT_FALSE(config.nodes.noeudExiste("E-M1-4"));
    EXPECT_FALSE(config.nodes.noeudExiste("E-M1-1"));
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "men;M5");
    EXPECT_EQ(config.nodes.childrenOf(config.nodes.find("M1")).size(), 9u);
}

TEST_F(Loader, MenuLeadingBackToItselfStopsWithoutANode) {
    load(writeTree("[A1]\nmenu=M1\n[M1]\nlib=Top\n2=men;M1\n"));
    EXPECT_FALSE(config.nodes.noeudExiste("E-M1-2"));
    EXPECT_EQ(value("M1", MenuValue::forDigit(2)), "men;M1");
    EXPECT_EQ(config.nodes.count(), 5 + 1 + 9);
}

TEST_F(Loader, MenusTooDeepOrMissingBecomeEmptyKeysAndAreDroppedOnSave) {
    load(writeTree("[A1]\nmenu=M1\n[M1]\nlib=One\n3=men;M2\n5=men;M9\n[M2]\nlib=Two\n7=men;M3\n"
                   "[M3]\nlib=Three\n0=men;M4\n[M4]\nlib=Four\n1=trf;5\n[M7]\nlib=*\n[M6]\nlib=Star\n"));
    EXPECT_TRUE(config.nodes.noeudExiste("M3"));
    EXPECT_FALSE(config.nodes.noeudExiste("M4"));
    EXPECT_FALSE(config.nodes.noeudExiste("M9"));
    for (const auto& [key, text] : {std::pair{"E-M3-0", "0 - "}, std::pair{"E-M1-5", "5 - "}}) {
        const TreeNode* n = config.nodes.nodeByKey(key);
        ASSERT_NE(n, nullptr) << key;
        EXPECT_EQ(n->text, text);
        EXPECT_EQ(n->image, "NoAction");
    }
    EXPECT_EQ(value("M3", MenuValue::forDigit(0)), "");
    EXPECT_EQ(value("M1", MenuValue::forDigit(5)), "");
    EXPECT_FALSE(saved().contains("[M4]"));
    EXPECT_TRUE(saved().contains("[M3]\r\nlib=Three\r\nhor=\r\nann=\r\nrep=\r\nsil=\r\n0=\r\n"));
    EXPECT_EQ(config.maxNumMenu, 3);
}

TEST_F(Loader, MenuWhoseNameIsAStarCountsAsMissing) {
    load(writeTree("[A1]\nmenu=M1\n[M1]\nlib=One\n1=men;M7\n[M7]\nlib=*\n"));
    EXPECT_FALSE(config.nodes.noeudExiste("M7"));
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-1")->text, "1 - ");
}

TEST_F(Loader, TreeWithAMissingRootMenuShowsNoMenuAndKeepsItsValue) {
    load(writeTree("[A1]\nlib=Lonely\nmenu=M3\n"));
    EXPECT_TRUE(config.nodes.childrenOf(config.nodes.find("A1")).empty());
    EXPECT_EQ(value("A1", TreeValue::menu), "M3");
}

TEST_F(Loader, TreesAboveTheActiveCountAreNotReadAndSaveWithDefaults) {
    ctx.Nb_arbre = 2;
    load(writeTree("[A1]\nlib=One\n[A2]\nlib=Two\n[A3]\nlib=Three\nmenu=M1\nann1=9\n[M1]\nlib=Menu\n"));
    EXPECT_EQ(config.nodes.nodeByKey("A2")->text, "2 - Two");
    EXPECT_EQ(config.nodes.nodeByKey("A2")->colour, NodeColour::Black);
    EXPECT_EQ(config.nodes.nodeByKey("A3")->text, "3 - Tree 3");
    EXPECT_EQ(config.nodes.nodeByKey("A3")->colour, NodeColour::Grey);
    EXPECT_FALSE(config.nodes.noeudExiste("M1"));
    EXPECT_TRUE(saved().contains("[A3]\r\nlib=Tree 3\r\nann1=\r\nann2=\r\nrep2=2\r\nlangue=1\r\nmenu=\r\n"));
}

TEST_F(Loader, ValuesLoseSurroundingBlanksQuotesAndExcessLength) {
    const QString longLib(300, QLatin1Char('x'));
    load(writeTree("[general]\ncode_retour = \"9\" \n[H2]\nlun=  08:00-12:00  \n[A1]\nlib=  Padded  \nann1=" +
                   longLib + "\n"));
    EXPECT_EQ(config.general[0].value, "9");
    EXPECT_EQ(config.schedules[1].days[0].value, "08:00-12:00");
    EXPECT_EQ(value("A1", TreeValue::lib), "Padded");
    EXPECT_EQ(value("A1", TreeValue::ann1).size(), 254);
    EXPECT_TRUE(saved().contains("[A1]\r\nlib=Padded\r\n"));
}

TEST_F(Loader, MissingFileKeysReadAsEmptyNotAsTemplateDefaults) {
    load(writeTree("[A1]\nlib=One\n"));
    EXPECT_EQ(config.general[0].value, "");
    EXPECT_EQ(value("A1", TreeValue::rep2), "");
    EXPECT_EQ(value("A1", TreeValue::langue), "1");
}

TEST_F(Loader, NoFileGivesFiveDefaultTrees) {
    for (const QString& path : {QString(), dir.filePath("absent.maa")}) {
        load(path);
        ASSERT_EQ(config.nodes.count(), 5);
        EXPECT_EQ(config.nodes.nodeByKey("A4")->text, "4 - Tree 4");
        EXPECT_EQ(value("A4", TreeValue::lib), "Tree 4");
        EXPECT_EQ(value("A4", TreeValue::rep2), "2");
        EXPECT_EQ(value("A4", TreeValue::langue), "1");
        EXPECT_EQ(config.general[2].value, "10");
        EXPECT_EQ(config.general[1].value, "#");
    }
}

TEST_F(Loader, JumpDescriptionNamesTheTargetFoundInTheFile) {
    load(writeTree("[A1]\nmenu=M1\n[M1]\nlib=Top\n1=sau;A2\n2=sau;M8\n3=sau;m9\n4=sau;\n[A2]\nlib=Night\n"
                   "[M9]\nlib=Hidden\n"));
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-1")->text, "1 - Jump (Night)");
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-2")->text, "2 - Jump");
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-3")->text, "3 - Jump (Hidden)");
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-4")->text, "4 - Jump");
    EXPECT_EQ(config.nodes.nodeByKey("E-M1-1")->image, "Saut");
}

TEST_F(Loader, MaxMenuNumberIsTheHighestLoaded) {
    load(writeTree("[A1]\nmenu=M3\n[M3]\nlib=a\n1=men;M12\n[M12]\nlib=b\n[A2]\nmenu=M40\n"));
    EXPECT_EQ(config.maxNumMenu, 12);
}

TEST_F(Loader, OpeningIsReportedExceptForServerAndJournalFiles) {
    RecordingDiagnostics diagnostics;
    QStringList recent;
    TreeFileHooks hooks{&diagnostics, [&](const QString& p) { recent << p; },
                        [](const QString& p) { return p.endsWith(QLatin1String(".cancel")); }};
    const QString path = writeTree("[A1]\nlib=One\n");
    ctx.fileServeur = writeTree("[A1]\nlib=One\n", "ArbreSERVEUR.maa");
    const QString journal = writeTree("[A1]\nlib=One\n", "x.cancel");

    for (const QString& p : {QString(), ctx.fileServeur, journal, path})
        ChargementArbres(config, p, ctx, hooks);
    EXPECT_EQ(diagnostics.lines, QStringList{"0|Opened \"" + path + "\"|"});
    EXPECT_EQ(recent, QStringList{path});
}

TEST(TreeVersion, VoiceBoxesAreRefusedOnlyBeforeGeneration500) {
    QTemporaryDir dir;
    struct Case {
        const char* content;
        bool version500;
        bool accepted;
    } cases[] = {
        {"[M1]\r\n1=bvo;12\r\n", false, false}, {"[M1]\r\n1=bvn\r\n", false, false},
        {"[M1]\r\n1=BVO;12\r\n", false, true},  {"[M1]\r\n1=trf;bvo\r\n", false, true},
        {"[M1]\r\n1=bvo;12\r\n", true, true},   {"[M1]\r\n1=std\r\n", false, true},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath("v.maa");
        writeBytes(path, c.content);
        AppContext ctx;
        ctx.VERSION_500 = c.version500;
        EXPECT_EQ(verifVersionArbo(path, ctx), c.accepted) << c.content << " 500=" << c.version500;
    }
}

} // namespace
