#include "startup/app_context.h"
#include "startup/debug_log.h"
#include "startup/diagnostics_list.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(DiagnosticsList, LevelsGiveImageAndColour) {
    const struct {
        short level;
        const char* image;
        int rgb;
    } cases[] = {{1, "Warning", 0xcc5f00}, {2, "Erreur", 0xad0000}, {3, "Ok", 0x1b6100},
                 {0, "Info", 0},           {4, "Info", 0},          {-1, "Info", 0}};
    DiagnosticsList list;
    list.setClock([] { return QTime(9, 5, 7); });
    for (const auto& c : cases)
        list.AjouteInfo(QStringLiteral("message %1").arg(c.level), c.level,
                        QStringLiteral("E-M1-%1").arg(c.level));
    ASSERT_EQ(list.rowCount(), 6);
    for (int row = 0; row < 6; ++row) {
        const auto& c = cases[row];
        const QModelIndex index = list.index(row);
        EXPECT_EQ(list.data(index, Qt::DisplayRole).toString(),
                  QStringLiteral("09:05:07 - message %1").arg(c.level));
        EXPECT_EQ(list.data(index, DiagnosticsList::ImageRole).toString(), c.image);
        EXPECT_EQ(list.data(index, DiagnosticsList::RgbRole).toInt(), c.rgb) << c.level;
        EXPECT_EQ(list.data(index, DiagnosticsList::TagRole).toString(),
                  QStringLiteral("E-M1-%1").arg(c.level));
        EXPECT_EQ(list.data(index, DiagnosticsList::MessageRole).toString(),
                  QStringLiteral("message %1").arg(c.level));
    }
}

TEST(DiagnosticsList, SilenceAndInitDebug) {
    Translation t;
    t.setText(QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nDebugReady=Prêt\r\n"));
    DiagnosticsList list;
    list.setClock([] { return QTime(23, 59, 0); });
    list.AjouteInfo("a", 0, QString());
    list.setSilent(true);
    list.AjouteInfo("b", 2, QString());
    EXPECT_EQ(list.rowCount(), 1);
    list.setSilent(false);
    list.InitDebug(t);
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.entries().at(0).text, QStringLiteral("23:59:00 - Prêt"));
    EXPECT_EQ(list.entries().at(0).image, "Ok");
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
    // date - time - text, in the system's short formats.
    const QStringList parts = QString::fromLatin1(lines[1]).chopped(1).split(" - ");
    ASSERT_EQ(parts.size(), 3);
    EXPECT_TRUE(QLocale::system().toDate(parts[0], QLocale::ShortFormat).isValid()) << parts[0].toStdString();
    EXPECT_TRUE(QLocale::system().toTime(parts[1], QLocale::ShortFormat).isValid()) << parts[1].toStdString();

    ctx.RepData = dir.filePath("missing/"); // a missing folder is ignored
    writeDebugLog(ctx, "lost");
    EXPECT_FALSE(QFile::exists(ctx.RepData + kDebugLogName));
}
