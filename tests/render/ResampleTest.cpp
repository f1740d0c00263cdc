#include "render/Resample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace qurix {
namespace {

// A 32-bit top-down source whose pixel (x, y) is grey value f(x, y).
template <typename F>
std::vector<uint8_t> GreySource32(int32_t w, int32_t h, F f) {
    std::vector<uint8_t> bytes(static_cast<size_t>(w) * h * 4);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t v = static_cast<uint8_t>(f(x, y));
            uint8_t* p = &bytes[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = p[1] = p[2] = v;
            p[3] = 0x5A;  // ignored
        }
    }
    return bytes;
}

PixelBufferDesc Desc(int32_t w, int32_t h, uint16_t bpp) {
    PixelBufferDesc d;
    d.width = w;
    d.height = -h;
    d.bitsPerPixel = bpp;
    return d;
}

// Blue, green and red of output pixel (x, y).
struct Bgr {
    int b, g, r;
    friend bool operator==(const Bgr&, const Bgr&) = default;
};
Bgr At(const std::vector<uint8_t>& out, int32_t dstW, int32_t x, int32_t y) {
    const uint8_t* p = &out[static_cast<size_t>(y * OutputRowStride(dstW) + 3 * x)];
    return Bgr{p[0], p[1], p[2]};
}
int Grey(const std::vector<uint8_t>& out, int32_t dstW, int32_t x, int32_t y) {
    const Bgr c = At(out, dstW, x, y);
    EXPECT_EQ(c.b, c.g);
    EXPECT_EQ(c.g, c.r);
    return c.b;
}

TEST(ResampleTest, StridesRoundRowsUpToFourBytes) {
    EXPECT_EQ(SourceRowStride(3, 24), 12);
    EXPECT_EQ(SourceRowStride(4, 24), 12);
    EXPECT_EQ(SourceRowStride(5, 24), 16);
    EXPECT_EQ(SourceRowStride(1, 8), 4);
    EXPECT_EQ(SourceRowStride(3, 16), 8);
    EXPECT_EQ(SourceRowStride(7, 32), 28);
    EXPECT_EQ(SourceRowStride(0, 32), 0);
    EXPECT_EQ(OutputRowStride(32), 96);
    EXPECT_EQ(OutputRowStride(5), 16);
    EXPECT_EQ(OutputRowStride(1), 4);
}

TEST(ResampleTest, OutputBufferHasPaddedRowsAndThreeSpareBytes) {
    const auto src = GreySource32(10, 10, [](int, int) { return 7; });
    const auto out = AreaAverage(5, 3, 10, 10, src.data(), src.size(), Desc(10, 10, 32));
    ASSERT_EQ(out.size(), 16u * 3 + 3);
    EXPECT_EQ(Grey(out, 5, 4, 2), 7);
}

TEST(ResampleTest, HalvingAveragesTwoByTwoBlocks) {
    // Each 2x2 block: three white pixels and one black one at its lower right.
    const auto src =
        GreySource32(128, 128, [](int x, int y) { return (x % 2 == 1 && y % 2 == 1) ? 0 : 255; });
    const auto out = AreaAverage(64, 64, 128, 128, src.data(), src.size(), Desc(128, 128, 32));
    ASSERT_FALSE(out.empty());
    // (3 * 255 * 16384 + 64) / 65536
    for (int32_t y : {0, 17, 63}) {
        for (int32_t x : {0, 31, 63}) EXPECT_EQ(Grey(out, 64, x, y), 191) << x << "," << y;
    }
}

TEST(ResampleTest, HundredToThirtyTwoWeighsTheFourthColumnBySixteen) {
    // Only column 3 is white: output column 0 spans source 0 .. 3.125 and gets 16/400 of
    // it, output column 1 spans 3.125 .. 6.25 and gets 112/400.
    const auto src = GreySource32(100, 100, [](int x, int) { return x == 3 ? 255 : 0; });
    const auto out = AreaAverage(32, 32, 100, 100, src.data(), src.size(), Desc(100, 100, 32));
    ASSERT_FALSE(out.empty());
    for (int32_t y : {0, 15, 31}) {
        EXPECT_EQ(Grey(out, 32, 0, y), (255 * 16 * 400 + 64) / (400 * 400));
        EXPECT_EQ(Grey(out, 32, 1, y), (255 * 112 * 400 + 64) / (400 * 400));
        EXPECT_EQ(Grey(out, 32, 2, y), 0);
    }
}

TEST(ResampleTest, LargeSourceSumsDoNotOverflow) {
    // 1040 / 32 = 32.5 source pixels per output pixel: weights of 4160 x 4160 per output
    // pixel, so white alone sums to 255 * 4160^2, well past 32 bits.
    const int32_t n = 1040;
    auto value = [](int x, int y) { return (x * 7 + y * 3) % 256; };
    const auto src = GreySource32(n, n, value);
    const auto out = AreaAverage(32, 32, n, n, src.data(), src.size(), Desc(n, n, 32));
    ASSERT_FALSE(out.empty());
    for (int32_t oy : {0, 5, 31}) {
        for (int32_t ox : {0, 16, 31}) {
            // The exact area mean, from the real-valued coverage of each source pixel.
            const double x0 = ox * 32.5, x1 = x0 + 32.5, y0 = oy * 32.5, y1 = y0 + 32.5;
            double sum = 0, total = 0;
            for (int y = static_cast<int>(y0); y < std::ceil(y1); ++y) {
                const double wy = std::min<double>(y1, y + 1) - std::max<double>(y0, y);
                for (int x = static_cast<int>(x0); x < std::ceil(x1); ++x) {
                    const double wx = std::min<double>(x1, x + 1) - std::max<double>(x0, x);
                    sum += wx * wy * value(x, y);
                    total += wx * wy;
                }
            }
            // The division truncates (the +64 is negligible beside weights this large).
            const double mean = sum / total;
            const int got = Grey(out, 32, ox, oy);
            EXPECT_LE(got, mean + 1e-6) << ox << "," << oy;
            EXPECT_GT(got, mean - 1) << ox << "," << oy;
        }
    }
    const auto white = GreySource32(n, n, [](int, int) { return 255; });
    const auto outWhite = AreaAverage(32, 32, n, n, white.data(), white.size(), Desc(n, n, 32));
    ASSERT_FALSE(outWhite.empty());
    EXPECT_EQ(Grey(outWhite, 32, 31, 31), 255);
}

TEST(ResampleTest, EnlargingTakesTheWeightedMeanOfOneOrTwoPixels) {
    // 10 -> 64: 20/128 of a source pixel per output pixel. Column 0 black, column 1 white.
    const auto src = GreySource32(10, 10, [](int x, int) { return x == 1 ? 255 : 0; });
    const auto out = AreaAverage(64, 64, 10, 10, src.data(), src.size(), Desc(10, 10, 32));
    ASSERT_FALSE(out.empty());
    for (int32_t x = 0; x <= 5; ++x) EXPECT_EQ(Grey(out, 64, x, 3), 0) << x;  // 0 .. 120
    // Output 6 spans 120 .. 140: 8 of column 0 and 12 of column 1.
    EXPECT_EQ(Grey(out, 64, 6, 3), (255 * 12 * 20 + 64) / (20 * 20));
    EXPECT_EQ(Grey(out, 64, 7, 3), 255);  // 140 .. 160
    // Output 12 spans 240 .. 260: 16 of column 1 and 4 of column 2.
    EXPECT_EQ(Grey(out, 64, 12, 3), (255 * 16 * 20 + 64) / (20 * 20));
}

TEST(ResampleTest, DecodesEverySourceDepth) {
    // A 3 x 2 source shrunk to 3 x 1: each output pixel is the mean of two rows whose
    // pixels are the same colour, so it must equal the decoded colour.
    struct Case {
        uint16_t bpp;
        std::vector<uint8_t> row;  // one row, padded to its stride
        Bgr expect[3];
    };
    const std::vector<Case> cases = {
        {8, {0, 1, 255, 0xEE}, {{10, 20, 30}, {40, 50, 60}, {1, 2, 3}}},
        // 5-5-5: blue in bits 0-4, green 5-9, red 10-14, each shifted left by 3.
        {16, {0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0, 0}, {{248, 0, 0}, {0, 248, 0}, {0, 0, 248}}},
        {24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}},
        {32, {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}},
        {4, {0xFF, 0xFF, 0xFF, 0xFF}, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
    };
    for (const Case& c : cases) {
        PixelBufferDesc d = Desc(3, 2, c.bpp);
        d.colourTable[0] = RgbQuad{10, 20, 30, 0};
        d.colourTable[1] = RgbQuad{40, 50, 60, 0};
        d.colourTable[255] = RgbQuad{1, 2, 3, 0};
        ASSERT_EQ(static_cast<int64_t>(c.row.size()), SourceRowStride(3, c.bpp)) << c.bpp;
        std::vector<uint8_t> src = c.row;
        src.insert(src.end(), c.row.begin(), c.row.end());
        const auto out = AreaAverage(3, 1, 3, 2, src.data(), src.size(), d);
        ASSERT_FALSE(out.empty()) << c.bpp;
        for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(At(out, 3, x, 0), c.expect[x]) << c.bpp;
    }
}

TEST(ResampleTest, PositiveHeightMeansBottomUpRows) {
    // Memory row 0 black, row 1 white; bottom-up, so the top output row is white.
    auto src = GreySource32(2, 2, [](int, int y) { return y == 0 ? 0 : 255; });
    PixelBufferDesc d = Desc(2, 2, 32);
    d.height = 2;
    const auto out = AreaAverage(2, 2, 2, 2, src.data(), src.size(), d);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(Grey(out, 2, 0, 0), 255);
    EXPECT_EQ(Grey(out, 2, 0, 1), 0);
}

TEST(ResampleTest, RefusesWhatItCannotDo) {
    const auto src = GreySource32(4, 4, [](int, int) { return 1; });
    const PixelBufferDesc d = Desc(4, 4, 32);
    EXPECT_TRUE(AreaAverage(0, 4, 4, 4, src.data(), src.size(), d).empty());
    EXPECT_TRUE(AreaAverage(4, -1, 4, 4, src.data(), src.size(), d).empty());
    EXPECT_TRUE(AreaAverage(4, 4, 0, 4, src.data(), src.size(), d).empty());
    EXPECT_TRUE(AreaAverage(4, 4, 4, 4, nullptr, 0, d).empty());
    // A buffer one byte short of its rows.
    EXPECT_TRUE(AreaAverage(2, 2, 4, 4, src.data(), src.size() - 1, d).empty());
    // Enlarged more than 128 times: an output pixel covers no whole subpixel.
    EXPECT_TRUE(AreaAverage(200, 4, 1, 4, src.data(), src.size(), Desc(1, 4, 32)).empty());
    EXPECT_TRUE(
        AreaAverage(4, 4, MAX_RESAMPLE_SOURCE_SIDE + 1, 1, src.data(), src.size(), d).empty());
}

TEST(ResampleTest, KeyColourMakesOnlyExactMatchesTransparent) {
    ArgbImage img;
    img.width = 3;
    img.height = 1;
    // The key is given as a colour value (red in the low byte).
    img.pixels = {0xFF102030u, 0xFF102031u, 0x00000000u};
    ApplyKeyColour(img, 0x00302010u);
    EXPECT_EQ(img.pixels[0], 0x00102030u);
    EXPECT_EQ(img.pixels[1], 0xFF102031u);
    EXPECT_EQ(img.pixels[2], 0xFF000000u);
}

}  // namespace
}  // namespace qurix
