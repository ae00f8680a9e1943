#include "core/app_context.h"
#include "core/diagnostics_list.h"
#include "startup/debug_log.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(DiagnosticsList, LevelsGiveImageAndColour) {
    const struct {
        short level;
        const char* image;
        int rgb;
    } cases[] = {{1, "Warning", 0xcc5f00}, {2, "Erreur", 0xad0000}, {3, "Ok", 0x1b6100}, {0, "Info", 0}};
    DiagnosticsList list;
    list.setClock([] { return QTime(9, 5, 7); });
    for (const auto& c : cases)
        list.AjouteInfo(QStringLiteral("message %1").arg(c.level), c.level,
                        QStringLiteral("E-M1-%1").arg(c.level));
    ASSERT_EQ(list.rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        const auto& c = cases[row];
        const QModelIndex index = list.index(row);
        EXPECT_EQ(list.data(index, Qt::DisplayRole).toString(),
                  QStringLiteral("09:05:07 - message %1").arg(c.level));
        EXPECT_EQ(list.data(index, DiagnosticsList::ImageRole).toString(), c.image);
        EXPECT_EQ(list.data(index, DiagnosticsList::RgbRole).toInt(), c.rgb) << c.level;
        EXPECT_EQ(list.data(index, DiagnosticsList::TagRole).toString(),
                  QStringLiteral("E-M1-%1").arg(c.level));
    }
}

TEST(DebugLog, WrittenOnlyWhenActiveAndAppended) {
    QTemporaryDir dir;
    AppContext ctx;
    ctx.RepData = dir.path() + '/';
    const QString path = dir.filePath(kDebugLogName);
    writeDebugLog(ctx, "ignored");
    EXPECT_FALSE(QFile::exists(path));

    ctx.fileDebugActive = true;
    testing_support::writeBytes(path, "old\r\n");
    writeDebugLog(ctx, QStringLiteral("Récupèration des postes"));
    writeDebugLog(ctx, "second");
    const QByteArray bytes = testing_support::readBytes(path);
    ASSERT_TRUE(bytes.startsWith("old\r\n"));
    const QList<QByteArray> lines = bytes.mid(5).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(" - R\xe9\x63up\xe8ration des postes\r")) << lines[0].constData();
    EXPECT_TRUE(lines[1].endsWith(" - second\r"));
    EXPECT_TRUE(lines[2].isEmpty());
}
