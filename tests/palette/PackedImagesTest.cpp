#include "palette/PackedImages.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "palette/ImageCache.h"
#include "palette/PixelRuns.h"
#include "tests/palette/TestImages.h"

namespace qurix {
namespace {

// Key pixels (alpha 0) of two colours among opaque stripes: what a thumbnail looks like.
ArgbImage KeyedImage(int side, int seed) {
    ArgbImage image = Filled(side, side, 0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool key = (x * 3 + y + seed) % 7 < 3;
            SetPixel(image, x, y,
                     key ? Rgba(255, 255, 255, 0)
                         : Rgba((x / 4 * 16 + seed) & 0xFF, (y * 5) & 0xFF, seed & 0xFF, 255));
        }
    }
    SetPixel(image, 1, 1, Rgba(9, 8, 7, 0));  // a key pixel that is not white
    return image;
}

// The first colours pixels all different, then the last of them repeated.
ArgbImage ColoursImage(int side, int colours) {
    ArgbImage image = Filled(side, side, 0);
    for (int i = 0; i < side * side; ++i) {
        const int c = std::min(i, colours - 1);
        SetPixel(image, i % side, i / side, Rgba(c & 0xFF, c >> 8, 7, c % 2 ? 255 : 0));
    }
    return image;
}

ArgbImage Flat(int side, uint32_t colour) {
    ArgbImage image = Filled(side, side, colour);
    return image;
}

std::string FileRuns(const ArgbImage& image) {
    std::string runs;
    PackPixels(image.pixels.data(), image.pixels.size(), runs);
    return runs;
}

void ExpectSamePixels(const ArgbImage& got, const ArgbImage& want) {
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    for (int y = 0; y < want.height; ++y) {
        for (int x = 0; x < want.width; ++x) {
            ASSERT_EQ(got.Pixel(x, y), want.Pixel(x, y)) << x << "," << y;
        }
    }
}

struct RoundTrip {
    const char* what;
    int side;
    std::function<ArgbImage(int side)> make;
};

class PackedRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(PackedRoundTrip, DecodesPixelExactAndGivesTheFileRunsBack) {
    const RoundTrip& c = GetParam();
    const ArgbImage drawn = c.make(c.side);
    CPackedImages images(c.side);
    ASSERT_TRUE(images.Append(Flat(c.side, Rgba(1, 2, 3, 4))));  // not at offset 0
    ASSERT_TRUE(images.Append(drawn));
    ASSERT_EQ(images.Count(), 2u);
    ExpectSamePixels(images.Image(1), drawn);
    std::string runs;
    ASSERT_TRUE(images.WriteRuns(1, runs));
    EXPECT_EQ(runs, FileRuns(drawn));
    // Taken from the file form, stored and written again: the same bytes.
    CPackedImages again(c.side);
    ASSERT_TRUE(again.AppendRuns(reinterpret_cast<const unsigned char*>(runs.data()), runs.size()));
    std::string back;
    ASSERT_TRUE(again.WriteRuns(0, back));
    EXPECT_EQ(back, runs);
}

INSTANTIATE_TEST_SUITE_P(
    Images, PackedRoundTrip,
    testing::Values(
        // key pixels of two colours keep their colour under alpha 0
        RoundTrip{"Keyed", 64, [](int s) { return KeyedImage(s, 3); }},
        RoundTrip{"KeyedSmall", 32, [](int s) { return KeyedImage(s, 9); }},
        // one repeat run after another, across rows
        RoundTrip{"Flat", 64, [](int s) { return Flat(s, Rgba(0, 0, 0, 0)); }},
        // the most colours a table holds, and one more (kept as file runs)
        RoundTrip{"Colours255", 32, [](int s) { return ColoursImage(s, 255); }},
        RoundTrip{"Colours256", 32, [](int s) { return ColoursImage(s, 256); }},
        // every pixel different
        RoundTrip{"AllDifferent", 64, [](int s) { return ColoursImage(s, s * s); }},
        // not ARGB32 to begin with: converted as the files were
        RoundTrip{"Rgb32", 16, [](int s) { return Opaque(KeyedImage(s, 1)); }},
        RoundTrip{"OnePixel", 1, [](int s) { return Flat(s, Rgba(5, 6, 7, 0)); }}),
    [](const testing::TestParamInfo<RoundTrip>& info) { return std::string(info.param.what); });

TEST(PackedImages, RefusesRunsThatDoNotMakeTheImage) {
    const std::string px(4, '\x11');
    const struct {
        std::string runs;
        const char* why;
    } refused[] = {
        {"", "no pixels"},
        {"\x80" + px, "two pixels of four"},
        {"\x81" + px + "\x80" + px, "five pixels of four"},
        {std::string("\x03") + px + px + px, "a literal run cut short"},
        {"\x82", "a repeat without its pixel"},
        {"\x82" + px + std::string(1, '\0') + px, "a run after the last pixel"},
    };
    for (const auto& r : refused) {
        CPackedImages images(2);
        EXPECT_FALSE(
            images.AppendRuns(reinterpret_cast<const unsigned char*>(r.runs.data()), r.runs.size()))
            << r.why;
        EXPECT_EQ(images.Count(), 0u) << r.why;
    }
    CPackedImages images(2);
    const std::string four = "\x82" + px;
    EXPECT_TRUE(
        images.AppendRuns(reinterpret_cast<const unsigned char*>(four.data()), four.size()));
    EXPECT_FALSE(images.Append(Flat(3, 0)));  // another size
    EXPECT_FALSE(images.Append(ArgbImage()));
    EXPECT_EQ(images.Count(), 1u);
    EXPECT_TRUE(images.Image(1).IsNull());
}

TEST(PackedImages, SharedImagesOutliveTheirFirstSet) {
    CPackedImages first(32);
    for (int seed = 0; seed < 40; ++seed) ASSERT_TRUE(first.Append(KeyedImage(32, seed)));
    CPackedImages second(32);
    ASSERT_TRUE(second.AppendFrom(first, 7));
    ASSERT_TRUE(second.AppendFrom(first, 39));
    EXPECT_FALSE(second.AppendFrom(first, 40));
    CPackedImages other(64);
    EXPECT_FALSE(other.AppendFrom(first, 0));
    EXPECT_EQ(second.Where(0), first.Where(7));  // shared, not copied

    // Both go on growing and are cleared or moved away; the shared bytes stay.
    ASSERT_TRUE(first.Append(Flat(32, 0)));
    ASSERT_TRUE(second.Append(KeyedImage(32, 100)));
    CPackedImages moved = std::move(first);
    first.Clear();
    ASSERT_TRUE(first.Append(Flat(32, 1)));
    moved.Clear();
    ExpectSamePixels(second.Image(0), KeyedImage(32, 7));
    ExpectSamePixels(second.Image(1), KeyedImage(32, 39));
    ExpectSamePixels(second.Image(2), KeyedImage(32, 100));
    ExpectSamePixels(first.Image(0), Flat(32, 1));
}

// Files written from the same images are byte for byte those of earlier versions: the
// sizes and CRCs below were taken from files written before images were kept packed.
TEST(PackedImages, ImageFilesAreWrittenAsBefore) {
    const struct {
        int side;
        size_t size;
        uint32_t crc;
    } files[] = {{64, 46507, 0x99f4cfacu}, {32, 11643, 0x928b7e21u}};
    for (const auto& f : files) {
        std::vector<ArgbImage> images;
        for (int seed : {0, 1, 5}) images.push_back(KeyedImage(f.side, seed));
        const CacheStamp stamp{0x0123456789ABCDEFull, 0xCAFEF00Du, 0xFEDCBA9876543210ull};
        const std::vector<int32_t> entries = {0, 3, 9};
        const std::vector<uint64_t> identities = {11, 22, ~0ull};
        const std::string bytes = EncodeImageFile(images, entries, identities, f.side, stamp);
        ASSERT_EQ(bytes.size(), f.size) << f.side;
        EXPECT_EQ(Crc32(bytes.data(), bytes.size() - 4), f.crc) << f.side;
        // Read back packed and written again: the same file.
        CPackedImages packed;
        std::vector<int32_t> backEntries;
        std::vector<uint64_t> backIdentities;
        CacheStamp backStamp;
        ASSERT_TRUE(DecodeImageFile(bytes, f.side, packed, backEntries, backIdentities, backStamp));
        EXPECT_EQ(EncodeImageFile(packed, backEntries, backIdentities, f.side, backStamp), bytes);
    }
}

}  // namespace
}  // namespace qurix
