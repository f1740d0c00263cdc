#include "render/PixelRaster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <vector>

#include "render/qt/QtCanvas.h"
#include "tests/render_qt/PixelArt.h"

namespace qurix {
namespace {

using raster::Span;

// What the whole-outline computation gives inside clip: the reference for the clipped one.
struct Clipped {
    std::vector<Point> outline;
    std::vector<std::tuple<int32_t, int32_t, int32_t>> inside;
    friend bool operator==(const Clipped&, const Clipped&) = default;
};

Clipped Flatten(const std::vector<Point>& outline, const std::vector<Span>& inside) {
    Clipped out;
    out.outline = outline;
    for (const Span& s : inside) out.inside.emplace_back(s.y, s.left, s.right);
    return out;
}

Clipped WholeThenClipped(const Rect& box, const Rect& clip) {
    std::vector<Point> outline;
    std::vector<Span> inside;
    raster::EllipsePixels(box, outline, inside);
    Clipped out;
    if (clip.left >= clip.right || clip.top >= clip.bottom) return out;
    for (const Point& p : outline) {
        if (p.x >= clip.left && p.x < clip.right && p.y >= clip.top && p.y < clip.bottom) {
            out.outline.push_back(p);
        }
    }
    for (const Span& s : inside) {
        if (s.y >= clip.top && s.y < clip.bottom) out.inside.emplace_back(s.y, s.left, s.right);
    }
    return out;
}

void ExpectSameAsWhole(const Rect& box, const Rect& clip) {
    std::vector<Point> outline;
    std::vector<Span> inside;
    ASSERT_TRUE(raster::ClippedEllipsePixels(box, clip, outline, inside));
    const Clipped whole = WholeThenClipped(box, clip);
    const Clipped clipped = Flatten(outline, inside);
    EXPECT_EQ(clipped.outline.size(), whole.outline.size());
    EXPECT_TRUE(clipped == whole) << "box " << box.left << "," << box.top << "," << box.right << ","
                                  << box.bottom << " clip " << clip.left << "," << clip.top << ","
                                  << clip.right << "," << clip.bottom;
}

struct EllipseCase {
    Rect box;
    Rect clip;
};

class ClippedEllipseTest : public testing::TestWithParam<EllipseCase> {};

TEST_P(ClippedEllipseTest, EqualsTheWholeOutlineCutToTheClip) {
    ExpectSameAsWhole(GetParam().box, GetParam().clip);
}

constexpr int32_t R = 32000;  // the radius of the hostile arcs
constexpr Rect CANVAS{0, 0, 480, 480};

INSTANTIATE_TEST_SUITE_P(
    Table, ClippedEllipseTest,
    testing::Values(
        // Small figures wholly inside, odd and even sides, the sample symbols' sizes.
        EllipseCase{{1, 1, 9, 9}, CANVAS}, EllipseCase{{0, 0, 11, 11}, CANVAS},
        EllipseCase{{3, 5, 28, 12}, CANVAS}, EllipseCase{{8, 8, 33, 33}, CANVAS},
        // Degenerate: one or two pixels wide or high, a single pixel.
        EllipseCase{{4, 4, 5, 40}, CANVAS}, EllipseCase{{4, 4, 6, 40}, CANVAS},
        EllipseCase{{4, 4, 60, 5}, CANVAS}, EllipseCase{{4, 4, 60, 6}, CANVAS},
        EllipseCase{{4, 4, 5, 5}, CANVAS}, EllipseCase{{4, 4, 7, 300}, CANVAS},
        // Very flat and very narrow large ellipses crossing the canvas.
        EllipseCase{{-30000, 100, 30000, 103}, CANVAS},
        EllipseCase{{200, -30000, 203, 30000}, CANVAS},
        EllipseCase{{-30000, -20, 30000, 300}, CANVAS},
        // Radius 32000 circles seen near their right, left, top and bottom extremes, at 45
        // degrees, from inside (spans only) and from outside (nothing).
        EllipseCase{{240 - 2 * R, 240 - R, 241, 241 + R}, CANVAS},
        EllipseCase{{0, 240 - R, 2 * R + 1, 241 + R}, CANVAS},
        EllipseCase{{240 - R, 0, 241 + R, 2 * R + 1}, CANVAS},
        EllipseCase{{240 - R, 240 - 2 * R, 241 + R, 241}, CANVAS},
        EllipseCase{{240 - 22627 - R, 240 - 22627 - R, 241 - 22627 + R, 241 - 22627 + R}, CANVAS},
        EllipseCase{{240 - R, 240 - R, 241 + R, 241 + R}, CANVAS},
        EllipseCase{{1000, 1000, 1000 + 2 * R, 1000 + 2 * R}, CANVAS},
        // The largest exact box, and clips crossing its centre row and column.
        EllipseCase{{-32768, -32768, 32768, 32768}, Rect{-100, -100, 100, 100}},
        EllipseCase{{-32768, -32768, 32768, 32768}, Rect{32700, -50, 32800, 50}},
        EllipseCase{{-32767, -32768, 32768, 32767}, Rect{-32800, -10, -32700, 10}},
        // A clip of one pixel, one row, one column.
        EllipseCase{{0, 0, 101, 51}, Rect{100, 25, 101, 26}},
        EllipseCase{{0, 0, 101, 51}, Rect{-5, 30, 200, 31}},
        EllipseCase{{0, 0, 101, 51}, Rect{50, -5, 51, 100}},
        // At the ends of 32-bit drawing space.
        EllipseCase{{2147482000, -2147483000, 2147483000, -2147482000},
                    Rect{2147482500, -2147482600, 2147482900, -2147482300}},
        // Empty clip.
        EllipseCase{{0, 0, 101, 51}, Rect{10, 10, 10, 20}}));

TEST(ClippedEllipseTest, AgreesOnRandomBoxesAndWindows) {
    std::mt19937 random(1234);
    auto uniform = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(random);
    };
    for (int n = 0; n < 400; ++n) {
        // Mostly small boxes; every tenth up to the largest exact size.
        const int32_t limit = n % 10 == 0 ? 65536 : 600;
        const int32_t w = uniform(1, limit);
        const int32_t h = n % 20 == 5 ? uniform(1, 4) : uniform(1, limit);
        const Rect box{uniform(-300, 300), uniform(-300, 300), 0, 0};
        const Rect full{box.left, box.top, box.left + w, box.top + h};
        // A window about a point of the outline at a random angle, or anywhere over the box.
        const int32_t cw = uniform(1, 200);
        const int32_t ch = uniform(1, 200);
        const double angle = std::uniform_real_distribution<double>(0.0, 6.2832)(random);
        int32_t cx = static_cast<int32_t>(full.left + w / 2.0 + std::cos(angle) * w / 2.0) - cw / 2;
        int32_t cy = static_cast<int32_t>(full.top + h / 2.0 + std::sin(angle) * h / 2.0) - ch / 2;
        if (n % 4 == 3) {
            cx = uniform(full.left - 50, full.right + 50);
            cy = uniform(full.top - 50, full.bottom + 50);
        }
        ExpectSameAsWhole(full, Rect{cx, cy, cx + cw, cy + ch});
        if (HasFailure()) break;
    }
}

TEST(ClippedEllipseTest, RefusesWhatTheWholeOutlineRefuses) {
    std::vector<Point> outline;
    std::vector<Span> inside;
    EXPECT_FALSE(raster::ClippedEllipsePixels(Rect{0, 0, 0, 10}, CANVAS, outline, inside));
    EXPECT_FALSE(raster::ClippedEllipsePixels(Rect{0, 0, 65537, 10}, CANVAS, outline, inside));
    EXPECT_FALSE(raster::ClippedEllipsePixels(Rect{0, 0, 10, 65537}, CANVAS, outline, inside));
    EXPECT_TRUE(raster::ClippedEllipsePixels(Rect{0, 0, 65536, 65536}, CANVAS, outline, inside));
}

// What a dotted pen sets from the whole outline: every pixel ordered by angle from `from`,
// every third three on, cut to the clip.
std::vector<Point> DottedFromWhole(const Rect& box, const Rect& clip, double from, double sweep) {
    std::vector<Point> outline;
    std::vector<Span> inside;
    raster::EllipsePixels(box, outline, inside);
    const std::vector<Point> ordered = raster::ArcOrder(box, outline, from, sweep);
    std::vector<Point> out;
    for (size_t i = 0; i < ordered.size(); ++i) {
        const Point& p = ordered[i];
        if (!raster::DotOn(static_cast<int64_t>(i))) continue;
        if (p.x >= clip.left && p.x < clip.right && p.y >= clip.top && p.y < clip.bottom) {
            out.push_back(p);
        }
    }
    std::sort(out.begin(), out.end(),
              [](const Point& a, const Point& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return out;
}

TEST(ClippedEllipseTest, DottedOutlinesCountTheirDotsAlongTheWholeOutline) {
    std::mt19937 random(99);
    auto uniform = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(random);
    };
    const double turn = 2.0 * std::numbers::pi;
    for (int n = 0; n < 300; ++n) {
        const int32_t limit = n % 10 == 0 ? 20000 : 300;
        // Every shape: degenerate (1 or 2 wide or high), odd and even sides.
        const int32_t w = n % 7 == 0 ? uniform(1, 3) : uniform(1, limit);
        const int32_t h = n % 11 == 0 ? uniform(1, 3) : uniform(1, limit);
        const Rect box{uniform(-200, 200), uniform(-200, 200), 0, 0};
        const Rect full{box.left, box.top, box.left + w, box.top + h};
        const int32_t cw = uniform(1, 300);
        const int32_t ch = uniform(1, 300);
        const double angle = std::uniform_real_distribution<double>(0.0, turn)(random);
        const int32_t cx = static_cast<int32_t>(full.left + w / 2.0 + std::cos(angle) * w / 2.0);
        const int32_t cy = static_cast<int32_t>(full.top + h / 2.0 - std::sin(angle) * h / 2.0);
        const Rect clip = n % 5 == 0
                              ? Rect{full.left - 5, full.top - 5, full.right + 5, full.bottom + 5}
                              : Rect{cx - cw / 2, cy - ch / 2, cx + cw / 2 + 1, cy + ch / 2 + 1};
        // A whole ellipse, an arc from a pixel's own angle, and arbitrary arcs.
        double from = n % 3 == 0 ? 0.0 : std::uniform_real_distribution<double>(0.0, turn)(random);
        const double sweep =
            n % 3 == 0 ? turn : std::uniform_real_distribution<double>(0.0, turn)(random);
        std::vector<Point> visible;
        std::vector<Span> inside;
        ASSERT_TRUE(raster::ClippedEllipsePixels(full, clip, visible, inside));
        if (n % 3 == 1 && !visible.empty()) {
            const auto pick = uniform(0, static_cast<int32_t>(visible.size()) - 1);
            from = raster::PixelAngle(full, visible[static_cast<size_t>(pick)].x,
                                      visible[static_cast<size_t>(pick)].y);
        }
        std::vector<Point> dotted;
        ASSERT_TRUE(raster::DottedArcPixels(full, visible, from, sweep, dotted))
            << w << "x" << h << " from " << from;
        EXPECT_EQ(dotted, DottedFromWhole(full, clip, from, sweep))
            << w << "x" << h << " at " << full.left << "," << full.top << " from " << from
            << " sweep " << sweep;
        if (HasFailure()) break;
    }
}

// The canvas draws solid one-pixel arcs and filled ellipses from the clipped outline: the
// same pixels as the whole outline ordered by angle and cut to the canvas.
TEST(ClippedEllipseTest, CanvasArcsAndEllipsesKeepTheirPixels) {
    constexpr Colour INK = MakeColour(255, 0, 0);
    constexpr Colour FILL = MakeColour(0, 0, 255);
    struct Case {
        Rect box;
        Point start, end;  // the arc's rays; equal: a whole ellipse with a fill
    };
    const Case cases[] = {
        {{2, 2, 40, 30}, {40, 2}, {2, 30}},                     // small, wholly inside
        {{-R + 30, 20 - R, 31 + R, 21 + R}, {0, 0}, {0, 0}},    // huge, its top-left on the canvas
        {{30 - 2 * R, 24 - R, 31, 25 + R}, {31, 0}, {31, 48}},  // right extreme: all but the canvas
        {{30 - 2 * R, 24 - R, 31, 25 + R},
         {31, 48},
         {31, 0}},                          // the same rays the other way: it shows
        {{-R, 10, R, 11}, {0, 0}, {0, 0}},  // a flat one row high
        {{-100, -100, 200, 150}, {200, -100}, {-100, 150}},  // crossing all four edges
    };
    size_t drawn = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.box.left << "," << c.box.top);
        CQtCanvas canvas(64, 48, COLOUR_WHITE);
        const bool whole = c.start == c.end;
        if (whole) {
            canvas.Ellipse(c.box, Pen::Solid(1, INK), Brush::Solid(FILL));
        } else {
            canvas.Arc(c.box, c.start, c.end, Pen::Solid(1, INK));
        }
        std::vector<Point> outline;
        std::vector<Span> inside;
        ASSERT_TRUE(raster::EllipsePixels(c.box, outline, inside));
        std::set<std::pair<int, int>> expectInk, expectFill;
        const double from = raster::PixelAngle(c.box, c.start.x, c.start.y);
        double sweep = 2.0 * std::numbers::pi;
        if (!whole) {
            const double to = raster::PixelAngle(c.box, c.end.x, c.end.y);
            sweep = std::fmod(to - from + 4.0 * std::numbers::pi, 2.0 * std::numbers::pi);
        }
        for (const Point& p : raster::ArcOrder(c.box, outline, from, sweep)) {
            if (p.x >= 0 && p.x < 64 && p.y >= 0 && p.y < 48) expectInk.insert({p.x, p.y});
        }
        for (const Span& sp : whole ? inside : std::vector<Span>{}) {
            for (int x = std::max(sp.left, 0); x <= std::min(sp.right, 63); ++x) {
                if (sp.y >= 0 && sp.y < 48) expectFill.insert({x, sp.y});
            }
        }
        std::set<std::pair<int, int>> ink, fill;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                const Colour colour = PixelColour(canvas.Image(), x, y);
                if (colour == INK) ink.insert({x, y});
                if (colour == FILL) fill.insert({x, y});
            }
        }
        EXPECT_EQ(ink, expectInk);
        EXPECT_EQ(fill, expectFill);
        drawn += ink.size() + fill.size();
    }
    EXPECT_GT(drawn, 1000u);
}

}  // namespace
}  // namespace qurix
