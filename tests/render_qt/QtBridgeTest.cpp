#include <gtest/gtest.h>

#include "render/qt/QtBridge.h"

namespace qurix {
namespace {

TEST(QtBridgeTest, ColourChannelsKeepTheirPlace) {
    // Red lives in the low byte of a Colour: a swap would turn red parts blue.
    EXPECT_EQ(ToQColor(MakeColour(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(ToQColor(0xFF000000u | MakeColour(9, 8, 7)), QColor(9, 8, 7));
}

TEST(QtBridgeTest, ImageIsACopyWithAlphaAndRowsInPlace) {
    ArgbImage argb{2, 2, {0x00112233u, 0xFF445566u, 0x80778899u, 0xFFAABBCCu}};
    const QImage image = ToQImage(argb);
    argb.pixels.assign(4, 0);  // the QImage must not refer to these pixels
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(image.pixel(0, 0), 0x00112233u);
    EXPECT_EQ(image.pixel(1, 0), 0xFF445566u);
    EXPECT_EQ(image.pixel(0, 1), 0x80778899u);
    EXPECT_EQ(image.pixel(1, 1), 0xFFAABBCCu);
    EXPECT_TRUE(ToQImage(ArgbImage{}).isNull());
}

struct CanvasCase {
    int32_t width;
    int32_t height;
    bool made;
};

class QtCanvasMakerTest : public testing::TestWithParam<CanvasCase> {};

TEST_P(QtCanvasMakerTest, MakesFilledCanvasOrNothing) {
    const CanvasCase c = GetParam();
    const Colour background = MakeColour(10, 20, 30);
    const std::unique_ptr<CDrawSurface> surface = QtCanvasMaker(background)(c.width, c.height);
    ASSERT_EQ(surface != nullptr, c.made);
    if (!c.made) return;
    CanvasPixels pixels;
    ASSERT_TRUE(surface->ReadPixels(pixels));
    EXPECT_EQ(pixels.width, c.width);
    EXPECT_EQ(pixels.height, c.height);
    const size_t last = pixels.bgrx.size() - 4;
    EXPECT_EQ(pixels.bgrx[last], 30);
    EXPECT_EQ(pixels.bgrx[last + 1], 20);
    EXPECT_EQ(pixels.bgrx[last + 2], 10);
}

INSTANTIATE_TEST_SUITE_P(Sizes, QtCanvasMakerTest,
                         testing::Values(CanvasCase{3, 2, true},              // ordinary
                                         CanvasCase{1, 1, true},              // smallest
                                         CanvasCase{0, 5, false},             // no width
                                         CanvasCase{5, -1, false},            // negative
                                         CanvasCase{1 << 30, 1 << 30, false}  // too large
                                         ));

}  // namespace
}  // namespace qurix
