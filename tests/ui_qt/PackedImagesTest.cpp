#include "ui/qt/PackedImages.h"

#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "palette/PixelRuns.h"
#include "tests/ui_qt/TestApp.h"
#include "ui/qt/IconCache.h"
#include "ui/qt/ImageCache.h"

namespace qurix {
namespace {

// Key pixels (alpha 0) of two colours among opaque stripes: what a thumbnail looks like.
QImage KeyedImage(int side, int seed) {
    QImage image(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool key = (x * 3 + y + seed) % 7 < 3;
            image.setPixel(
                x, y,
                key ? qRgba(255, 255, 255, 0)
                    : qRgba((x / 4 * 16 + seed) & 0xFF, (y * 5) & 0xFF, seed & 0xFF, 255));
        }
    }
    image.setPixel(1, 1, qRgba(9, 8, 7, 0));  // a key pixel that is not white
    return image;
}

// The first colours pixels all different, then the last of them repeated.
QImage ColoursImage(int side, int colours) {
    QImage image(side, side, QImage::Format_ARGB32);
    for (int i = 0; i < side * side; ++i) {
        const int c = std::min(i, colours - 1);
        image.setPixel(i % side, i / side, qRgba(c & 0xFF, c >> 8, 7, c % 2 ? 255 : 0));
    }
    return image;
}

QImage Flat(int side, QRgb colour) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

std::string FileRuns(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    std::string runs;
    PackPixels(reinterpret_cast<const uint32_t*>(argb.constBits()),
               static_cast<size_t>(argb.width()) * static_cast<size_t>(argb.height()), runs);
    return runs;
}

void ExpectSamePixels(const QImage& got, const QImage& want) {
    ASSERT_EQ(got.format(), QImage::Format_ARGB32);
    ASSERT_EQ(got.size(), want.size());
    for (int y = 0; y < want.height(); ++y) {
        for (int x = 0; x < want.width(); ++x) {
            ASSERT_EQ(got.pixel(x, y), want.pixel(x, y)) << x << "," << y;
        }
    }
}

struct RoundTrip {
    const char* what;
    int side;
    std::function<QImage(int side)> make;
};

class PackedRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(PackedRoundTrip, DecodesPixelExactAndGivesTheFileRunsBack) {
    const RoundTrip& c = GetParam();
    const QImage drawn = c.make(c.side);
    CPackedImages images(c.side);
    ASSERT_TRUE(images.Append(Flat(c.side, qRgba(1, 2, 3, 4))));  // not at offset 0
    ASSERT_TRUE(images.Append(drawn));
    ASSERT_EQ(images.Count(), 2u);
    ExpectSamePixels(images.Image(1), drawn.convertToFormat(QImage::Format_ARGB32));
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
        RoundTrip{"Flat", 64, [](int s) { return Flat(s, qRgba(0, 0, 0, 0)); }},
        // the most colours a table holds, and one more (kept as file runs)
        RoundTrip{"Colours255", 32, [](int s) { return ColoursImage(s, 255); }},
        RoundTrip{"Colours256", 32, [](int s) { return ColoursImage(s, 256); }},
        // every pixel different
        RoundTrip{"AllDifferent", 64, [](int s) { return ColoursImage(s, s * s); }},
        // not ARGB32 to begin with: converted as the files were
        RoundTrip{"Rgb32", 16,
                  [](int s) { return KeyedImage(s, 1).convertToFormat(QImage::Format_RGB32); }},
        RoundTrip{"OnePixel", 1, [](int s) { return Flat(s, qRgba(5, 6, 7, 0)); }}),
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
    EXPECT_FALSE(images.Append(QImage()));
    EXPECT_EQ(images.Count(), 1u);
    EXPECT_TRUE(images.Image(1).isNull());
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
        std::vector<QImage> images;
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
