// The cases of the recent-file list that the window tests do not reach.
#include "editor/recent_files.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Entries are written as short tokens: "" stays empty, "srv" is the server copy, any other token is an
// existing tree file of that name.
class RecentFilesTest : public ::testing::Test {
protected:
    QStringList paths(const QStringList& tokens) {
        QStringList out;
        for (const QString& t : tokens) {
            const QString p = t.isEmpty() ? QString() : m_dir.filePath(t + QStringLiteral(".maa"));
            if (!p.isEmpty()) testing_support::writeBytes(p, "[A1]\r\n");
            out.append(p);
        }
        return out;
    }
    RecentFiles stored(const QStringList& tokens) {
        const QStringList p = paths(tokens);
        for (int n = 1; n <= int(p.size()); ++n)
            m_store.setValue(QStringLiteral("Files"), QStringLiteral("F%1").arg(n), p[n - 1]);
        return RecentFiles(m_store, paths({"srv"})[0]);
    }

    QTemporaryDir m_dir;
    MemorySettingsStore m_store;
};

TEST_F(RecentFilesTest, AddingToAFullListPushesOutTheFifth) {
    const struct {
        const char* name;
        const char* added;
        QStringList after;
    } cases[] = {
        {"new file", "f", {"f", "a", "b", "c", "d"}},
        {"the server copy is not listed yet still pushes out the fifth", "srv", {"a", "b", "c", "d", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecentFiles recent = stored({"a", "b", "c", "d", "e"});
        recent.AjouteDernierFichierOuvert(paths({c.added})[0]);
        EXPECT_EQ(recent.entries(), paths(c.after));
    }
}

TEST_F(RecentFilesTest, RebuildingDropsDuplicates) {
    RecentFiles recent = stored({"a", "b", "a", "c", "b"});
    EXPECT_EQ(recent.afficheMenuFichiersOuverts(), paths({"a", "b", "c"}));
    EXPECT_EQ(recent.entries(), paths({"a", "b", "c", "", ""}));
}

} // namespace
