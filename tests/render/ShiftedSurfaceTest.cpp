#include "render/ShiftedSurface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "tests/render/RecordingSurface.h"
#include "tests/render/TestRaster.h"

namespace qurix {
namespace {

constexpr Colour INK = MakeColour(160, 0, 32);
constexpr Colour BG = MakeColour(255, 255, 224);

// A scene of every call with its coordinates moved by d.
void DrawScene(CDrawSurface& s, Point d) {
    auto at = [d](int32_t x, int32_t y) { return Point{x, y} + d; };
    auto box = [&](int32_t l, int32_t t, int32_t r, int32_t b) {
        const Point lt = at(l, t);
        const Point rb = at(r, b);
        return Rect{lt.x, lt.y, rb.x, rb.y};
    };
    s.FillRect(box(1, 1, 5, 3), INK);
    const Point path[] = {at(0, 10), at(12, 10), at(12, 20)};
    s.Polyline(path, Pen::Dotted(1, INK));
    s.Rectangle(box(14, 2, 22, 9), Pen::Solid(1, INK), Brush::Solid(BG));
    s.Ellipse(box(24, 2, 34, 12), Pen::Solid(1, INK), Brush::Null());
    const Point triangle[] = {at(2, 24), at(10, 24), at(6, 30)};
    s.Polygon(triangle, Pen::Solid(1, INK), Brush::Solid(INK));
    s.Arc(box(20, 16, 32, 28), at(32, 22), at(26, 16), Pen::Solid(1, INK));
    const uint8_t bits[] = {0xA0, 0x40};
    s.StretchMonoBitmap(box(36, 0, 42, 4), MonoBitmap{bits, 3, 2, 1}, INK);
    const auto font = s.MakeFont(LogFont{});
    s.DrawString(*font, at(3, 32), "R1", INK);
}

struct ShiftCase {
    Point origin;
};

class ShiftedSurfaceTest : public ::testing::TestWithParam<ShiftCase> {};

// Drawing through the shifted surface equals drawing the moved coordinates directly: the
// same pixels on a raster and the same calls on a recorder.
TEST_P(ShiftedSurfaceTest, DrawsAsIfMovedByMinusOrigin) {
    const Point origin = GetParam().origin;
    test::CTestRaster direct(48, 40, BG);
    DrawScene(direct, Point{});
    test::CTestRaster target(48, 40, BG);
    CShiftedSurface shifted(target, origin);
    DrawScene(shifted, origin);
    CanvasPixels want;
    CanvasPixels got;
    ASSERT_TRUE(direct.ReadPixels(want));
    ASSERT_TRUE(shifted.ReadPixels(got));
    EXPECT_EQ(got.bgrx, want.bgrx);
    EXPECT_EQ(target.painted, direct.painted);

    CRecordingSurface recordedDirect;
    DrawScene(recordedDirect, Point{});
    CRecordingSurface recorded;
    CShiftedSurface through(recorded, origin);
    DrawScene(through, origin);
    EXPECT_EQ(recorded.DrawLog(), recordedDirect.DrawLog());
}

constexpr int32_t MAX = std::numeric_limits<int32_t>::max();
constexpr int32_t MIN = std::numeric_limits<int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Origins, ShiftedSurfaceTest,
    ::testing::Values(ShiftCase{{0, 0}},          // no shift at all
                      ShiftCase{{100, 50}},       // a view scrolled right and down
                      ShiftCase{{-7, -30}},       // an origin left of and above the drawing
                      ShiftCase{{MAX, MIN}},      // coordinates wrap, as all drawing does
                      ShiftCase{{MIN + 5, 3}}));  // the most negative origin cannot be negated

}  // namespace
}  // namespace qurix
