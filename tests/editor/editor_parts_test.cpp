// The editor's parts on their own: help file, node icons, recent files and the pickers; the window's use
// of them is tested through the window.
#include "core/app_context.h"
#include "editor/frm_annonces.h"
#include "editor/frm_postes.h"
#include "editor/help_file.h"
#include "editor/node_icons.h"
#include "editor/recent_files.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace {

TEST(HelpFile, NamedAfterTheLanguageWithFrenchAsFallback) {
    QTemporaryDir dir;
    for (const char* name : {"QAVO_Hp00.html", "QAVO_Hp01.html", "QAVO_Hp12.html"})
        testing_support::writeBytes(dir.filePath(name), "<html></html>");
    const std::pair<const char*, const char*> cases[] = {
        {"1", "QAVO_Hp01.html"}, {"12", "QAVO_Hp12.html"}, {"2", "QAVO_Hp00.html"}};
    for (const auto& [lang, expected] : cases)
        EXPECT_EQ(helpFilePath(dir.path(), lang), dir.filePath(expected)) << lang;
}

TEST(NodeIcons, EveryImageKeyHasItsOwnVisiblePicture) {
    const NodeIcons icons;
    QList<QImage> seen;
    for (const QString& key : NodeIcons::nodeImageKeys() + NodeIcons::diagnosticImageKeys()) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_TRUE(icons.hasIcon(key));
        const QImage image = icons.icon(key).pixmap(16).toImage();
        const QImage alpha = image.convertToFormat(QImage::Format_Alpha8);
        EXPECT_GT(std::count_if(alpha.constBits(), alpha.constBits() + alpha.sizeInBytes(),
                                [](uchar a) { return a > 0; }),
                  30);
        EXPECT_FALSE(seen.contains(image));
        seen << image;
    }
}

TEST(RecentFiles, AFullListPushesOutTheFifthAndDuplicatesAreDropped) {
    const char* const cases[][3] = {
        // stored, added, after
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
    for (const auto& [before, added, after] : cases) {
        MemorySettingsStore store;
        const QStringList stored = paths(before);
        for (int n = 1; n <= 5; ++n)
            store.setValue("Files", QStringLiteral("F%1").arg(n), stored[n - 1]);
        RecentFiles recent(store, paths("srv")[0]);
        recent.AjouteDernierFichierOuvert(paths(added)[0]);
        EXPECT_EQ(recent.entries(), paths(after)) << before << " + " << added;
    }
}

TEST(Pickers, ChoosingARowWritesTheValueOfItsKindOnceAndEscapeNothing) {
    AppContext ctx;
    ctx.translation.setText(
        QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nLblBoiteVocale=Boite vocale\r\n"));
    ctx.Stations = {{"201", "Accueil", 1, QString()},
                    {"202", "Compta; paie", 1, "8202"},
                    {"203", "Atelier", 2, QString()},
                    {"204", "Direction", 1, "8204"}};
    ctx.Announcements = {Announcement{12, {}, {}}};
    // The picker's kind ("ann" for announcements, else the station picker's action code), its number of rows,
    // the row chosen and the value it writes.
    const std::tuple<QString, int, int, const char*> cases[] = {
        {"trf", 4, 1, "202"},
        {"bvo", 2, 0, "8202"}, // stations with a voice box only, and the voice box is written
        {"ann", 1, 0, "12"},
    };
    for (const auto& [kind, rows, row, written] : cases) {
        SCOPED_TRACE(kind.toStdString());
        QLineEdit target(QStringLiteral("old"));
        QSignalSpy changed(&target, &QLineEdit::textChanged);
        for (const bool escape : {true, false}) {
            const std::unique_ptr<PickerDialog> picker(
                kind == "ann" ? static_cast<PickerDialog*>(new frmAnnonces(ctx, &target))
                              : new frmPostes(ctx, &target, kind));
            picker->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(picker.get()));
            QTreeWidget* list = picker->list();
            ASSERT_EQ(list->topLevelItemCount(), rows);
            const QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            if (escape)
                QTest::mouseClick(picker->escapeButton(), Qt::LeftButton);
            else
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            EXPECT_EQ(target.text(), escape ? "old" : written);
            EXPECT_EQ(changed.count(), escape ? 0 : 1); // the field's handler runs once, as for a typed value
            EXPECT_FALSE(picker->isVisible());
        }
    }
}

} // namespace
