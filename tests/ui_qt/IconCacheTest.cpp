#include "ui/qt/IconCache.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QIcon>
#include <QPixmap>

#include "tests/ui_qt/TestApp.h"

namespace qurix {
namespace {

TEST(IconCache, DropsTheIconAskedForLongestAgo) {
    TestApp();
    const auto icon = [](QRgb colour) {
        QPixmap pixmap(4, 4);
        pixmap.fill(QColor::fromRgba(colour));
        return QIcon(pixmap);
    };
    CIconCache cache(2);
    cache.Put(1, icon(qRgb(1, 0, 0)));
    cache.Put(2, icon(qRgb(2, 0, 0)));
    ASSERT_NE(cache.Find(1), nullptr);  // 1 is now the latest
    cache.Put(3, icon(qRgb(3, 0, 0)));
    EXPECT_EQ(cache.Size(), 2u);
    EXPECT_EQ(cache.Find(2), nullptr);
    ASSERT_NE(cache.Find(1), nullptr);
    EXPECT_EQ(cache.Find(1)->pixmap(4, 4).toImage().pixel(0, 0), qRgb(1, 0, 0));
    cache.Put(1, icon(qRgb(9, 0, 0)));  // replaced, not added
    EXPECT_EQ(cache.Size(), 2u);
    EXPECT_EQ(cache.Find(1)->pixmap(4, 4).toImage().pixel(0, 0), qRgb(9, 0, 0));
    cache.SetCapacity(1);
    EXPECT_EQ(cache.Size(), 1u);
    EXPECT_NE(cache.Find(1), nullptr);
    cache.SetCapacity(0);  // at least one
    EXPECT_EQ(cache.Capacity(), 1u);
}

}  // namespace
}  // namespace qurix
