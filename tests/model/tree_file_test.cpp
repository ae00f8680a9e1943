#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "core/profile_file.h"
#include "model/tree_file.h"
#include "model/tree_file_reader.h"
#include "support/test_support.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <filesystem>

using testing_support::readBytes;
using testing_support::writeBytes;

namespace {

QString example(const char* name) {
    return testing_support::resource(QString("examples/") + name);
}

class TreeFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ctx.translation.loadFile(testing_support::dataDir() + "/labels_en.txt"));
        config.actionTypes = makeActionTypes(ctx.translation);
        config.schedules = makeSchedules(ctx.translation);
    }

    // Writes a tree file whose lines are given with "\n" ends; the file gets CR LF.
    QString writeTree(QString text, const QString& name = "t.maa") {
        const QString path = dir.filePath(name);
        writeBytes(path, text.replace('\n', "\r\n").toLatin1());
        return path;
    }
    void load(const QString& path) { ChargementArbres(config, path, ctx); }
    QString saved() const { return QString::fromLatin1(treeFileBytes(config)); }

    // "key|text|image|colour" of every node in display order, with its depth as indentation.
    QStringList nodes() const {
        QStringList out;
        for (int id : config.nodes.displayOrder())
            out << QString(config.nodes.depthOf(id), ' ') + describe(config.nodes.node(id).key);
        return out;
    }
    QString describe(const QString& key) const {
        const TreeNode* n = config.nodes.nodeByKey(key);
        return n ? QStringLiteral("%1|%2|%3|%4").arg(key, n->text, n->image).arg(n->colour) : key + "|-";
    }

    QTemporaryDir dir;
    AppContext ctx;
    Configuration config;
};

TEST_F(TreeFile, WorkedExampleShowsItsMenusKeysAndGreyInactiveTrees) {
    ctx.Nb_arbre = 1;
    load(example("accueil.maa"));
    QStringList expected = {QStringLiteral("A1|1 - Accueil général|Arbre|0"),
                            " M1|1 - Menu principal|Menu|0",
                            "  E-M1-0|0 - No action|NoAction|0",
                            "  E-M1-1|1 - Transfer (201)|Transfert|0",
                            "  M2|2 - Service|Menu|0",
                            "   E-M2-0|0 - Operator|Standard|0"};
    for (int d = 1; d <= 9; ++d)
        expected << QStringLiteral("   E-M2-%1|%1 - No action|NoAction|0").arg(d);
    expected << "  E-M1-3|3 - Announcement (15)|Annonce|0";
    for (int d = 4; d <= 9; ++d)
        expected << QStringLiteral("  E-M1-%1|%1 - No action|NoAction|0").arg(d);
    for (int i = 2; i <= 5; ++i)
        expected << QStringLiteral("A%1|%1 - Tree %1|Arbre|%2").arg(i).arg(NodeColour::Grey);
    EXPECT_EQ(nodes(), expected);
    EXPECT_TRUE(config.nodes.nodeByKey("A1")->expanded);
    EXPECT_FALSE(config.nodes.nodeByKey("A2")->expanded);
    EXPECT_EQ(config.sections.find("M2")->parentDigit, 2);
    EXPECT_EQ(config.sections.find("M2")->parentKey, "M1");
    EXPECT_EQ(config.maxNumMenu, 2);
}

TEST_F(TreeFile, NewTreeWritesDefaultsAndEndsWithAnEmptyLine) {
    load(QString());
    const QString text = saved();
    EXPECT_TRUE(
        text.startsWith("[general]\r\ncode_retour=*\r\ncode_dialing=#\r\ntp_inter_digit=10\r\n[H1]\r\n"
                        "lun=\r\nmar=\r\nmer=\r\njeu=\r\nven=\r\nsam=\r\ndim=\r\n[H2]\r\n"));
    EXPECT_TRUE(text.contains("[H10]\r\nlun=\r\n"));
    EXPECT_TRUE(text.endsWith("[A5]\r\nlib=Tree 5\r\nann1=\r\nann2=\r\nrep2=2\r\nlangue=1\r\nmenu=\r\n"
                              "exit_trf=\r\nexit_fer=\r\nexit_nac=\r\n\r\n"));
}

// Nodes "key|text|image|colour" ("key|-": no node) and what the saved file holds ("!": lacks), " ; " apart.
TEST_F(TreeFile, LoaderCases) {
    const struct {
        const char *name, *file;
        int activeTrees, maxMenu;
        QString nodes, saved;
    } cases[] = {
        {"section names match without case, the referenced name is kept",
         "[a1]\nLIB=Main\nMenu=M1\n[m1]\nlib=Top\n1=men;M2\n[M2]\nlib=Sub\n", 5, 2,
         "A1|1 - Main|Arbre|0 ; M1|1 - Top|Menu|0 ; M2|1 - Sub|Menu|0",
         "[A1]\r\nlib=Main\r\n ; [M1]\r\nlib=Top\r\nhor=\r\n ; ![m1] ; ![a1]"},
        {"a menu reached twice is shown once under the lower key",
         "[A1]\nmenu=M1\n[M1]\nlib=Top\n4=men;M5\n1=men;M5\n[M5]\nlib=Shared\n", 5, 5,
         "M5|1 - Shared|Menu|0 ; E-M1-4|- ; E-M1-1|- ; E-M1-2|2 - No action|NoAction|0",
         "1=men;M5\r\n ; 4=men;M5\r\n"},
        {"menus too deep, missing, named * or with white space at the end become empty keys and are dropped",
         "[A1]\nmenu=M1\n[M1]\nlib=One\n3=men;M2\n5=men;M9\n6=men;M7\n8=men;M8\f\n[M2]\nlib=Two\n7=men;M3\n"
         "[M3]\nlib=Three\n0=men;M4\n[M4]\nlib=Four\n1=trf;5\n[M7]\nlib=*\n[M8]\nlib=Eight\n",
         5, 3,
         "M3|7 - Three|Menu|0 ; M4|- ; M9|- ; M7|- ; E-M3-0|0 - |NoAction|0 ; E-M1-5|5 - |NoAction|0 ; "
         "E-M1-6|6 - |NoAction|0 ; E-M1-8|8 - |NoAction|0",
         "[M3]\r\nlib=Three\r\nhor=\r\nann=\r\nrep=\r\nsil=\r\n0=\r\n ; 4=\r\n5=\r\n6=\r\n7=\r\n ; "
         "![M4] ; ![M7] ; ![M9] ; ![M8"},
        {"trees above the active count are not read and save with defaults",
         "[A1]\nlib=One\n[A2]\nlib=Two\n[A3]\nlib=Three\nmenu=M1\nann1=9\n[M1]\nlib=Menu\n", 2, 0,
         QStringLiteral("A2|2 - Two|Arbre|0 ; A3|3 - Tree 3|Arbre|%1 ; M1|-").arg(NodeColour::Grey),
         "[A3]\r\nlib=Tree 3\r\nann1=\r\nann2=\r\nrep2=2\r\nlangue=1\r\nmenu=\r\n ; ![M1]"},
        {"a value that keeps quotes of its own is written with another pair, so it reads back the same",
         "[general]\ncode_retour=\"\"*\"\"\n[A1]\nlib=\"\"Quoted\"\"\nmenu=M1\n[M1]\nlib=\"\"\n", 5, 1,
         "A1|1 - \"Quoted\"|Arbre|0 ; M1|1 - |Menu|0",
         "code_retour=\"\"*\"\"\r\n ; lib=\"\"Quoted\"\"\r\n ; [M1]\r\nlib=\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.Nb_arbre = c.activeTrees;
        load(writeTree(c.file));
        QStringList nodes, saved;
        for (const QString& n : c.nodes.split(" ; "))
            nodes << describe(n.section('|', 0, 0));
        for (const QString& part : c.saved.split(" ; "))
            saved << (part.startsWith('!') != this->saved().contains(part.mid(part.startsWith('!')))
                          ? part
                          : "not " + part);
        EXPECT_EQ(nodes.join(" ; "), c.nodes);
        EXPECT_EQ(saved.join(" ; "), c.saved);
        EXPECT_EQ(config.maxNumMenu, c.maxMenu);
    }
}

// Voice boxes are refused before generation 500, by their code alone.
TEST_F(TreeFile, OpeningAFileThatDoesNotLoadChangesNothing) {
    const QString large = dir.filePath("large.maa");
    writeBytes(large, "");
    ASSERT_TRUE(QFile::resize(large, kMaxTreeFileSize + 1)); // sparse, cheap
    const struct {
        QString path;
        bool version500;
        OpenResult result;
    } cases[] = {
        {writeTree("[A1]\nlib=First\n[M1]\n1=bvo;12\n", "first.maa"), true, OpenResult::Opened},
        {writeTree("[A1]\nlib=Second\nmenu=M1\n[M1]\nlib=x\n1=bvn\n", "bvn.maa"), false,
         OpenResult::RefusedVersion},
        {writeTree("[M1]\n1=bvo;12\n", "bvo.maa"), false, OpenResult::RefusedVersion},
        {dir.filePath("absent.maa"), false, OpenResult::Missing},
        {large, false, OpenResult::TooLarge},
        {writeTree("\x8f\x01 no section [here\n[X]\nlib=y\n", "bytes.maa"), false, OpenResult::NotTreeFile},
        {writeTree("", "empty.maa"), false, OpenResult::NotTreeFile},
        {writeTree("[A1]\nlib=Upper\n[M1]\n1=BVO;12\n2=trf;bvo\n", "upper.maa"), false, OpenResult::Opened},
    };
    QString current, shown;
    for (const auto& c : cases) {
        ctx.VERSION_500 = c.version500;
        config.boolSave = false;
        EXPECT_EQ(checkTreeFile(c.path, ctx), c.result) << c.path.toStdString();
        EXPECT_EQ(openTreeFile(config, c.path, ctx), c.result) << c.path.toStdString();
        if (c.result == OpenResult::Opened) {
            current = c.path;
            shown = describe("A1");
        }
        EXPECT_EQ(config.fileCourant, current);
        EXPECT_EQ(describe("A1"), shown);
        EXPECT_EQ(config.boolSave, c.result == OpenResult::Opened);
    }
}

TEST(TreeFileReader, AnswersLikeTheProfileReader) {
    const QString x300(300, 'x');
    const QString texts[] = {
        "[M1]\nlib=One\n[m1]\nlib=Repeated\n[M2]\n LIB = \"Two\" \n1=a\n1=b\n",
        "; comment\n[ general ]\ncode_retour=*\n;lib=no\n=novalue\nnoequals\n[A1\nlib=unclosed\n",
        "[H1]\r\nlun=" + x300 + "\r\n\r\n[Ab]\r\n\tlıb=dotless\r\nexit_trf=a=b\r\n[",
        "lib=before any section\n[]\nlib=nameless\n[M3]\nlib=\"\n2=\"\"\n[M3]\n",
    };
    const QStringList sections = {"M1", "m2", "M2 ", "general", "A1", "H1", "AB", "", "M3", "Z"};
    const QStringList keys = {"lib", "LIB", "1", "code_retour", "lun", "exit_trf", "2", " lib", "x"};
    for (const QString& text : texts) {
        const ProfileFile profile = ProfileFile::parse(text);
        const TreeFileReader reader(text);
        for (const QString& section : sections) {
            QStringList values;
            reader.readValues(reader.section(section), keys, values);
            for (qsizetype k = 0; k < keys.size(); ++k) {
                const QString expected = profile.value(section, keys[k], "-");
                EXPECT_EQ(reader.value(section, keys[k], "-"), expected)
                    << (section + '|' + keys[k]).toStdString();
                EXPECT_EQ(values[k], expected == "-" ? QString() : expected)
                    << (section + '|' + keys[k]).toStdString();
                EXPECT_EQ(reader.hasKey(reader.section(section), keys[k]), profile.hasKey(section, keys[k]));
            }
        }
    }
}

// A file is replaced whole, never rewritten in place: other hard links of it keep the old content, which
// the diagnostics say.
TEST_F(TreeFile, ExamplesAreSavedByteForByteAndABrokenHardLinkIsSaid) {
    struct Warnings : DiagnosticsSink {
        void AjouteInfo(const QString& message, short level, const QString&) override {
            if (level == Warning) said << message;
        }
        QStringList said;
    } warnings;
    TreeFileHooks hooks;
    hooks.diagnostics = &warnings;
    ctx.translation.setText("\r\n[LANGID]\r\n1=1033\r\n[LABELS]\r\nMsgLienCoupe=Link broken:\r\n");
    for (const char* name : {"accueil.maa", "demo.maa"}) {
        load(example(name));
        const QString path = dir.filePath(name), other = dir.filePath(QString("link-") + name);
        writeBytes(path, "old");
        std::filesystem::create_hard_link(QFileInfo(path).filesystemFilePath(),
                                          QFileInfo(other).filesystemFilePath());
        ASSERT_TRUE(SaveArbre(config, path, true, ctx, hooks));
        EXPECT_EQ(readBytes(path), readBytes(example(name))) << name;
        EXPECT_EQ(readBytes(other), "old") << name;
        EXPECT_EQ(warnings.said.takeFirst(), "Link broken: \"" + path + '"');
        ASSERT_TRUE(SaveArbre(config, path, true, ctx, hooks));
        EXPECT_TRUE(warnings.said.isEmpty()) << "said once";
    }
}

} // namespace
