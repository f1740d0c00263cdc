#include <gtest/gtest.h>

#include <climits>

#include "core/geometry/Geometry.h"

namespace qurix {
namespace {

TEST(GeometryTest, PointArithmeticAndCompare) {
    Point p = Point::Make(3, -4);
    p += Point::Make(10, 10);
    EXPECT_EQ(p, Point::Make(13, 6));
    p -= Point::Make(13, 6);
    EXPECT_EQ(p, Point::Zero());
    Point big = Point::Make(INT32_MAX, INT32_MIN);
    big += Point::Make(1, -1);  // wraps, never undefined
    EXPECT_EQ(big, Point::Make(INT32_MIN, INT32_MAX));
}

TEST(GeometryTest, RectConstructionAndNormalise) {
    EXPECT_EQ(Rect::FromOriginSize(Point::Make(5, 6), 10, 20), Rect::Make(5, 6, 15, 26));
    Rect r = Rect::FromPoints(Point::Make(10, 20), Point::Make(-5, 3));
    r.Normalize();
    EXPECT_EQ(r, Rect::Make(-5, 3, 10, 20));
}

TEST(GeometryTest, CentreTruncatesTowardZero) {
    EXPECT_EQ(Rect::Make(0, 0, 5, 5).Center(), Point::Make(2, 2));
    EXPECT_EQ(Rect::Make(-5, -5, 0, 0).Center(), Point::Make(-2, -2));
    EXPECT_EQ(Rect::Make(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX).Center(),
              Point::Make(INT32_MAX, INT32_MAX));
}

TEST(GeometryTest, ContainsIsInclusive) {
    const Rect r = Rect::Make(0, 0, 10, 10);
    struct Case {
        Point p;
        bool in;
    } cases[] = {{{0, 0}, true},   {{10, 10}, true}, {{10, 0}, true},
                 {{11, 5}, false}, {{5, -1}, false}, {{5, 5}, true}};
    for (const auto& c : cases) EXPECT_EQ(r.Contains(c.p), c.in) << c.p.x << "," << c.p.y;
}

TEST(GeometryTest, Overlap) {
    const Rect r = Rect::Make(0, 0, 10, 10);
    EXPECT_TRUE(r.Overlaps(Rect::Make(10, 10, 20, 20)));  // touching edges overlap
    EXPECT_TRUE(r.Overlaps(Rect::Make(2, 2, 3, 3)));
    EXPECT_FALSE(r.Overlaps(Rect::Make(11, 0, 20, 10)));
    EXPECT_FALSE(r.Overlaps(Rect::Make(0, -10, 10, -1)));
}

TEST(GeometryTest, EmptyAccumulator) {
    Rect acc = Rect::Empty();
    EXPECT_EQ(acc, Rect::Make(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN));
    EXPECT_TRUE(acc.IsEmptyAccumulator());
    acc.Include(Point::Make(3, 4));
    EXPECT_EQ(acc, Rect::Make(3, 4, 3, 4));
    acc.Include(Point::Make(-1, 9));
    EXPECT_EQ(acc, Rect::Make(-1, 4, 3, 9));
}

TEST(GeometryTest, WrappingHelpers) {
    EXPECT_EQ(WrapNeg(INT32_MIN), INT32_MIN);
    EXPECT_EQ(WrapDiv(INT32_MIN, -1), INT32_MIN);
    EXPECT_EQ(WrapDiv(7, 0), 0);
    EXPECT_EQ(WrapDiv(-7, 2), -3);
    EXPECT_EQ(WrapMul(INT32_MAX, 2), -2);
}

}  // namespace
}  // namespace qurix
