#include "palette/WindowLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace qurix {
namespace {

Rect At(int32_t x, int32_t y, int32_t width, int32_t height) {
    return Rect::FromOriginSize(Point{x, y}, width, height);
}

TEST(WindowPlacement, KeepsTheWindowOnAScreen) {
    const std::vector<Rect> two = {At(0, 0, 1920, 1080), At(1920, 0, 1280, 1024)};
    const struct {
        const char* what;
        Rect wanted;
        Rect placed;
    } cases[] = {
        {"inside the first", At(100, 50, 320, 600), At(100, 50, 320, 600)},
        {"inside the second", At(2000, 10, 320, 600), At(2000, 10, 320, 600)},
        {"far left of every screen", At(-5000, 50, 320, 600), At(0, 50, 320, 600)},
        {"below the screens", At(100, 3000, 320, 600), At(100, 480, 320, 600)},
        {"bottom border off the screen", At(100, 600, 320, 600), At(100, 480, 320, 600)},
        {"mostly on the second", At(1800, 900, 320, 600), At(1920, 424, 320, 600)},
        {"taller than the second", At(2000, 0, 320, 2000), At(2000, 0, 320, 1024)},
        {"larger than any", At(-10, -10, 9000, 9000), At(0, 0, 1920, 1080)},
    };
    for (const auto& c : cases) {
        const Rect got = PlaceOnScreens(c.wanted, two);
        EXPECT_EQ(got.left, c.placed.left) << c.what;
        EXPECT_EQ(got.top, c.placed.top) << c.what;
        EXPECT_EQ(got.right, c.placed.right) << c.what;
        EXPECT_EQ(got.bottom, c.placed.bottom) << c.what;
    }
    const Rect alone = PlaceOnScreens(At(-5, -5, 10, 10), {});
    EXPECT_EQ(alone.left, -5);
    EXPECT_EQ(alone.right, 5);
}

TEST(WindowLayout, PaneSizesStayWithinReason) {
    EXPECT_EQ(PaneSize(-1), 0);
    EXPECT_EQ(PaneSize(200), 200);
    EXPECT_EQ(PaneSize(99999999), WindowLayout::MAX_PANE);
}

}  // namespace
}  // namespace qurix
