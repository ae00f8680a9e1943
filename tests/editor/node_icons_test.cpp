#include "editor/node_icons.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

QImage render(const QIcon& icon, qreal dpr) {
    return icon.pixmap(QSize(16, 16), dpr).toImage();
}

int paintedPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

} // namespace

TEST(NodeIcons, EveryImageKeyHasItsOwnVisiblePicture) {
    const NodeIcons icons;
    QStringList keys = NodeIcons::nodeImageKeys() + NodeIcons::diagnosticImageKeys();
    QList<QImage> seen;
    for (const QString& key : keys) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_TRUE(icons.hasIcon(key));
        const QImage image = render(icons.icon(key), 1.0);
        EXPECT_GT(paintedPixels(image), 30);
        EXPECT_FALSE(seen.contains(image));
        seen << image;
    }
    EXPECT_NE(render(icons.modeLocal(), 1.0), render(icons.modeServeur(), 1.0));
    EXPECT_NE(render(icons.toggleUp(), 1.0), render(icons.toggleDown(), 1.0));
}

TEST(NodeIcons, PicturesAreDrawnAtTheDevicePixelRatio) {
    const NodeIcons icons;
    const QPixmap sharp = icons.icon(QStringLiteral("Menu")).pixmap(QSize(16, 16), 2.0);
    EXPECT_EQ(sharp.size(), QSize(32, 32));
    EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);
}

TEST(NodeIcons, UnknownKeyGivesAPlaceholder) {
    const NodeIcons icons;
    EXPECT_FALSE(icons.hasIcon(QStringLiteral("xyz")));
    const QImage unknown = render(icons.icon(QStringLiteral("xyz")), 1.0);
    EXPECT_GT(paintedPixels(unknown), 30);
    EXPECT_NE(unknown, render(icons.icon(QStringLiteral("NoAction")), 1.0));
}
