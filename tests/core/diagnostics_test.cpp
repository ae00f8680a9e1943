#include "core/diagnostics_list.h"
#include "support/qt_print.h"

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
        list.AjouteInfo(QStringLiteral("message %1").arg(c.level), c.level, QStringLiteral("E-M1-1"));
    ASSERT_EQ(list.rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        const auto& c = cases[row];
        const QModelIndex index = list.index(row);
        EXPECT_EQ(index.data().toString(), QStringLiteral("09:05:07 - message %1").arg(c.level));
        EXPECT_EQ(index.data(DiagnosticsList::ImageRole).toString(), c.image);
        EXPECT_EQ(index.data(DiagnosticsList::RgbRole).toInt(), c.rgb) << c.level;
        EXPECT_EQ(index.data(DiagnosticsList::TagRole).toString(), "E-M1-1");
    }
}
