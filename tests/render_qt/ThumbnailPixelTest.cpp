// Thumbnails and the preview drawn on the Qt canvas, checked pixel by pixel.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "render/Thumbnails.h"
#include "render/qt/QtBridge.h"
#include "render/qt/QtCanvas.h"
#include "tests/render/DrawingTestUtil.h"

namespace qurix {
namespace {

constexpr uint32_t TRANSPARENT_WHITE = 0x00FFFFFFu;
constexpr uint32_t COMPONENT = 0xFFC00000u;  // default "Component", opaque

// A body of gx x gy grid units, no pins, no pattern, and an empty reference prefix so
// that only the frame is drawn.
std::unique_ptr<drawtest::OwnedEntry> Body(int32_t gx, int32_t gy) {
    return drawtest::EntryFrom(
        "B", "N:B,X:" + std::to_string(gx) + ",Y:" + std::to_string(gy) + ",B:1,R:\n-COMP\n");
}

struct Fixture {
    CDisplaySettings settings;
    CanvasMaker maker;
    Fixture() {
        settings.labelRenderer = std::make_unique<CTextRenderer>(settings.labelFont);
        settings.compNameRenderer = std::make_unique<CTextRenderer>(settings.compNameFont);
        maker = QtCanvasMaker(settings.colours.Get(ColourKey::BG));
    }
    // The thumbnails of Body(gx, gy); none when the part does not load.
    PartThumbnails Thumbnails(int32_t gx, int32_t gy) const {
        auto part = Body(gx, gy);
        return part ? MakePartThumbnails(maker, settings, part->entry) : PartThumbnails{};
    }
};

TEST(ThumbnailPixelTest, SmallBodyIsCentredAndKeptOneToOne) {
    Fixture f;
    const PartThumbnails t = f.Thumbnails(1, 1);
    ASSERT_TRUE(t.IsValid());
    // 64 x 64 canvas, frame (27,27)-(37,37) with every outline pixel set; the large image
    // is the canvas itself.
    for (int32_t i = 27; i <= 37; ++i) {
        EXPECT_EQ(t.large.Pixel(i, 27), COMPONENT) << i;
        EXPECT_EQ(t.large.Pixel(i, 37), COMPONENT) << i;
        EXPECT_EQ(t.large.Pixel(27, i), COMPONENT) << i;
        EXPECT_EQ(t.large.Pixel(37, i), COMPONENT) << i;
    }
    for (Point p : {Point{26, 26}, Point{38, 38}, Point{32, 32}, Point{0, 0}, Point{63, 63}}) {
        EXPECT_EQ(t.large.Pixel(p.x, p.y), TRANSPARENT_WHITE) << p.x << "," << p.y;
    }
    // Halved: 2 x 2 blocks. (13,13) covers 26-27: one frame pixel of four.
    const uint32_t corner = t.smallImage.Pixel(13, 13);
    EXPECT_EQ(corner >> 24, 0xFFu);
    EXPECT_EQ(corner & 0xFFFFFF, (255u * 3 * 16384 + 192u * 16384 + 64) / 65536 << 16 |
                                     ((255u * 3 * 16384 + 64) / 65536) << 8 |
                                     ((255u * 3 * 16384 + 64) / 65536));
    // (14,14) covers 28-29 x 28-29, inside the body: background, transparent.
    EXPECT_EQ(t.smallImage.Pixel(14, 14), TRANSPARENT_WHITE);
    // (13,14) covers column 26-27 beside the left edge: two frame pixels of four.
    EXPECT_EQ(t.smallImage.Pixel(13, 14) >> 24, 0xFFu);
}

TEST(ThumbnailPixelTest, WiderBodyShrinksFromItsCanvas) {
    Fixture f;
    const PartThumbnails t = f.Thumbnails(4, 2);
    ASSERT_TRUE(t.IsValid());
    // 80 x 80 canvas to 64: 1.25 source pixels each. The frame's left edge at x = 20 falls
    // in output column 16 (source 20 - 21.25); its top at y = 20 in output row 16.
    EXPECT_EQ(t.large.Pixel(16, 20) >> 24, 0xFFu);
    EXPECT_EQ(t.large.Pixel(30, 16) >> 24, 0xFFu);
    EXPECT_EQ(t.large.Pixel(15, 20), TRANSPARENT_WHITE);
    EXPECT_EQ(t.large.Pixel(30, 20), TRANSPARENT_WHITE);  // inside
    // The body is 20 high: more space below than above.
    for (int32_t y = 33; y < 64; ++y) EXPECT_EQ(t.large.Pixel(30, y), TRANSPARENT_WHITE) << y;
}

TEST(ThumbnailPixelTest, RatioTwoIsDrawnFromVectorsAndEqualsTheExtraLargeImage) {
    Fixture f;
    for (const auto& [gx, gy] : {std::pair{1, 1}, std::pair{4, 2}, std::pair{30, 7}}) {
        SCOPED_TRACE(testing::Message() << gx << "x" << gy);
        auto part = Body(gx, gy);
        ASSERT_TRUE(part);
        const PartThumbnails device = MakePartThumbnails(f.maker, f.settings, part->entry, {2, 1});
        const ArgbImage extra = MakeExtraLargeThumbnail(f.maker, f.settings, part->entry);
        ASSERT_TRUE(device.IsValid());
        ASSERT_EQ(extra.width, 128);
        ASSERT_EQ(extra.height, 128);
        EXPECT_EQ(device.large.width, 128);
        EXPECT_EQ(device.large.pixels, extra.pixels);
    }
    // A 10 x 10 body at twice the scale fills a 128 canvas that is the image itself: the
    // frame (27,27)-(37,37) becomes (54,54)-(74,74) drawn with a pen of 2, not the 64 x 64
    // image enlarged.
    auto part = Body(1, 1);
    ASSERT_TRUE(part);
    const ArgbImage extra = MakeExtraLargeThumbnail(f.maker, f.settings, part->entry);
    for (const int32_t i : {54, 60, 64, 74}) {
        EXPECT_EQ(extra.Pixel(i, 54), COMPONENT) << i;
        EXPECT_EQ(extra.Pixel(54, i), COMPONENT) << i;
    }
    for (Point p : {Point{52, 52}, Point{64, 64}, Point{77, 77}, Point{0, 0}}) {
        EXPECT_EQ(extra.Pixel(p.x, p.y), TRANSPARENT_WHITE) << p.x << "," << p.y;
    }
}

TEST(ThumbnailPixelTest, BlackBackgroundIsTheKey) {
    Fixture f;
    f.settings.colours.Set(ColourKey::BG, COLOUR_BLACK);
    const PartThumbnails t = f.Thumbnails(1, 1);
    ASSERT_TRUE(t.IsValid());
    EXPECT_EQ(t.large.Pixel(0, 0), 0x00000000u);
    EXPECT_EQ(t.large.Pixel(32, 32), 0x00000000u);
    EXPECT_EQ(t.large.Pixel(27, 27), COMPONENT);
}

TEST(ThumbnailPixelTest, PreviewShowsTheBodyAtForty) {
    auto part = Body(4, 2);
    ASSERT_TRUE(part);
    Fixture f;
    const Point extent = PreviewExtent(&part->entry);
    ASSERT_EQ(extent, (Point{120, 100}));
    CQtCanvas canvas(extent.x, extent.y, COLOUR_WHITE);
    DrawPartPreview(canvas, f.settings, &part->entry);
    const QImage& image = canvas.Image();
    auto px = [&](int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; };
    EXPECT_EQ(px(40, 40), 0xC00000u);
    EXPECT_EQ(px(80, 60), 0xC00000u);
    EXPECT_EQ(px(60, 40), 0xC00000u);
    EXPECT_EQ(px(39, 40), 0xFFFFFFu);
    EXPECT_EQ(px(60, 50), 0xFFFFFFu);
    EXPECT_EQ(px(81, 61), 0xFFFFFFu);
}

}  // namespace
}  // namespace qurix
