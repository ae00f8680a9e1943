#include "editor/node_icons.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(NodeIcons, EveryImageKeyHasItsOwnVisiblePicture) {
    const NodeIcons icons;
    QList<QImage> seen;
    for (const QString& key : NodeIcons::nodeImageKeys() + NodeIcons::diagnosticImageKeys()) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_TRUE(icons.hasIcon(key));
        const QImage image = icons.icon(key).pixmap(16).toImage();
        int painted = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                painted += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(painted, 30);
        EXPECT_FALSE(seen.contains(image));
        seen << image;
    }
}
