#include "editor/recent_files.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Entries are written as short tokens: "" stays empty, "gone" is a file that does not exist, "srv" is
// the server copy, any other token is an existing tree file of that name.
class RecentFilesTest : public ::testing::Test {
protected:
    QString path(const QString& token) {
        if (token.isEmpty()) return QString();
        const QString p = m_dir.filePath(token + QStringLiteral(".maa"));
        if (token != QLatin1String("gone") && !QFileInfo::exists(p))
            testing_support::writeBytes(p, "[A1]\r\n");
        return p;
    }
    QStringList paths(const QStringList& tokens) {
        QStringList out;
        for (const QString& t : tokens)
            out.append(path(t));
        return out;
    }
    void store(const QStringList& tokens) {
        for (int n = 1; n <= int(tokens.size()); ++n)
            m_store.setValue(QStringLiteral("Files"), QStringLiteral("F%1").arg(n), path(tokens[n - 1]));
    }
    QStringList nonEmpty(const QStringList& list) {
        QStringList out;
        for (const QString& s : list)
            if (!s.isEmpty()) out.append(s);
        return out;
    }

    QTemporaryDir m_dir;
    MemorySettingsStore m_store;
};

struct AddCase {
    const char* name;
    QStringList before;
    QString added;
    QStringList after;
};

TEST_F(RecentFilesTest, AddingAFilePutsItOnTopAsTheListRules) {
    const AddCase cases[] = {
        {"listed third moves up, 4 and 5 stay", {"a", "b", "c", "d", "e"}, "c", {"c", "a", "b", "d", "e"}},
        {"already first stays", {"a", "b", "c", "d", "e"}, "a", {"a", "b", "c", "d", "e"}},
        {"listed last moves up", {"a", "b", "c", "d", "e"}, "e", {"e", "a", "b", "c", "d"}},
        {"new file pushes out the fifth", {"a", "b", "c", "d", "e"}, "f", {"f", "a", "b", "c", "d"}},
        {"new file in an empty list", {"", "", "", "", ""}, "a", {"a", "", "", "", ""}},
        {"new file in a short list", {"a", "b", "", "", ""}, "c", {"c", "a", "b", "", ""}},
        {"server copy is never listed and still pushes out the fifth",
         {"a", "b", "c", "d", "e"},
         "srv",
         {"a", "b", "c", "d", ""}},
        {"missing file is not listed", {"a", "b", "", "", ""}, "gone", {"a", "b", "", "", ""}},
        {"gaps close up after the move", {"a", "", "b", "", "c"}, "b", {"b", "a", "c", "", ""}},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.name);
        store(c.before);
        RecentFiles recent(m_store, path(QStringLiteral("srv")));
        QStringList heard;
        recent.setMenuListener([&](const QStringList& shown) { heard = shown; });

        const QStringList shown = recent.AjouteDernierFichierOuvert(path(c.added));

        EXPECT_EQ(recent.entries(), paths(c.after));
        EXPECT_EQ(shown, nonEmpty(paths(c.after)));
        EXPECT_EQ(heard, shown);
    }
}

struct RebuildCase {
    const char* name;
    QStringList before;
    QStringList after;
};

TEST_F(RecentFilesTest, RebuildingDropsAndPacksEntries) {
    const RebuildCase cases[] = {
        {"full list unchanged", {"a", "b", "c", "d", "e"}, {"a", "b", "c", "d", "e"}},
        {"empty entries close up", {"", "a", "", "b", "c"}, {"a", "b", "c", "", ""}},
        {"deleted file dropped", {"a", "gone", "b", "c", "d"}, {"a", "b", "c", "d", ""}},
        {"server copy dropped", {"srv", "a", "b", "", ""}, {"a", "b", "", "", ""}},
        {"duplicate dropped", {"a", "b", "a", "c", "b"}, {"a", "b", "c", "", ""}},
        {"nothing left", {"gone", "srv", "", "", ""}, {"", "", "", "", ""}},
    };
    for (const RebuildCase& c : cases) {
        SCOPED_TRACE(c.name);
        store(c.before);
        RecentFiles recent(m_store, path(QStringLiteral("srv")));

        const QStringList shown = recent.afficheMenuFichiersOuverts();

        EXPECT_EQ(recent.entries(), paths(c.after));
        EXPECT_EQ(shown, nonEmpty(paths(c.after)));
    }
}

} // namespace
