// The cases of the recent-file list that the window tests do not reach.
#include "editor/recent_files.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RecentFiles, AFullListPushesOutTheFifthAndDuplicatesAreDropped) {
    const struct {
        const char *stored, *added, *after;
    } cases[] = {
        {"a b c d e", "f", "f a b c d"},
        {"a b c d e", "srv", "a b c d _"}, // the server copy is not listed yet still pushes out the fifth
        {"a b a c b", "c", "c a b _ _"},
    };
    QTemporaryDir dir;
    // "_" is an empty entry, "srv" the server copy, any other name an existing tree file.
    const auto paths = [&](const char* names) {
        QStringList out;
        for (const QString& name : QString(names).split(' ')) {
            out << (name == "_" ? QString() : dir.filePath(name + ".maa"));
            if (name != "_") testing_support::writeBytes(out.last(), "[A1]\r\n");
        }
        return out;
    };
    for (const auto& c : cases) {
        MemorySettingsStore store;
        const QStringList stored = paths(c.stored);
        for (int n = 1; n <= 5; ++n)
            store.setValue("Files", QStringLiteral("F%1").arg(n), stored[n - 1]);
        RecentFiles recent(store, paths("srv")[0]);
        recent.AjouteDernierFichierOuvert(paths(c.added)[0]);
        EXPECT_EQ(recent.entries(), paths(c.after)) << c.stored << " + " << c.added;
    }
}
