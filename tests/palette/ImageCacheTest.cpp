#include "palette/ImageCache.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/library/PartLibrary.h"
#include "core/platform/TempFiles.h"
#include "palette/EntryIdentities.h"
#include "render/DisplaySettings.h"
#include "tests/ScratchFolder.h"
#include "tests/palette/TestImages.h"
#include "tests/render/RecordingSurface.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

// ---------- helpers ----------

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void SetTime(const fs::path& path, int64_t seconds) {
    using namespace std::chrono;
    fs::last_write_time(path, file_clock::from_sys(sys_seconds(seconds * 1s)));
}

// An image with every pixel different, masked in a pattern.
ArgbImage MakeImage(int side, int seed) {
    ArgbImage image = Filled(side, side, 0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int alpha = (x + y + seed) % 3 == 0 ? 0 : 255;
            SetPixel(image, x, y,
                     Rgba((x * 7 + seed) & 0xFF, (y * 5 + seed * 3) & 0xFF, (x ^ y ^ seed) & 0xFF,
                          alpha));
        }
    }
    return image;
}

ThumbnailSet MakeSet(std::vector<int32_t> entries) {
    ThumbnailSet set;
    for (int32_t e : entries) {
        set.large.Append(MakeImage(LARGE_THUMB_SIZE, e));
        set.smallImage.Append(MakeImage(SMALL_THUMB_SIZE, e + 1000));
    }
    for (int32_t e : entries) set.identities.push_back(0x1D00000000ull + static_cast<uint64_t>(e));
    set.entries = std::move(entries);
    return set;
}

void ExpectSameImages(const std::vector<ArgbImage>& got, const std::vector<ArgbImage>& want);

std::vector<ArgbImage> Decoded(const CPackedImages& packed) {
    std::vector<ArgbImage> images;
    for (size_t i = 0; i < packed.Count(); ++i) images.push_back(packed.Image(i));
    return images;
}

void ExpectSameImages(const CPackedImages& got, const CPackedImages& want) {
    ExpectSameImages(Decoded(got), Decoded(want));
}

void ExpectSameImages(const std::vector<ArgbImage>& got, const std::vector<ArgbImage>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].width, want[i].width);
        ASSERT_EQ(got[i].height, want[i].height);
        for (int y = 0; y < want[i].height; ++y) {
            for (int x = 0; x < want[i].width; ++x) {
                ASSERT_EQ(got[i].Pixel(x, y), want[i].Pixel(x, y))
                    << "image " << i << " at " << x << "," << y;
            }
        }
    }
}

// Recomputes the trailing checksum after a deliberate edit, so that the check behind
// the checksum is what gets tested.
std::string Reseal(std::string bytes) {
    const uint32_t crc = Crc32(bytes.data(), bytes.size() - 4);
    for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
    return bytes;
}

void PutU32At(std::string& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

// ---------- library lines ----------

TEST(LibraryLine, TextOfKeyValueAndTime) {
    EXPECT_EQ(MakeLibraryLine("D:\\lib\\std.lib", 10), "D:\\lib\\std.lib|10");
    EXPECT_EQ(MakeLibraryLine("std.lib", 0), "std.lib|0");
    EXPECT_EQ(MakeLibraryLine("a", 2147483647), "a|2147483647");
    // Only the low 32 bits, read as signed.
    EXPECT_EQ(MakeLibraryLine("a", 2147483648LL), "a|-2147483648");
    EXPECT_EQ(MakeLibraryLine("a", 4294967296LL + 5), "a|5");
    EXPECT_EQ(MakeLibraryLine("a", -1), "a|-1");
    EXPECT_EQ(MakeLibraryLine("a|b", 3), "a|b|3");
}

TEST(LibraryLines, ExactBytes) {
    EXPECT_EQ(EncodeLibraryLines({}), std::string("\x00\x00", 2));
    EXPECT_EQ(EncodeLibraryLines({"D:\\lib\\std.lib|10"}),
              std::string("\x01\x00\x11", 3) + "D:\\lib\\std.lib|10");
    EXPECT_EQ(EncodeLibraryLines({"", "ab"}), std::string("\x02\x00\x00\x02"
                                                          "ab",
                                                          6));
}

TEST(LibraryLines, LengthPrefixBoundaries) {
    struct Case {
        size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, std::string("\x00", 1)},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {256, std::string("\xFF\x00\x01", 3)},
        {0xFFFD, std::string("\xFF\xFD\xFF", 3)},
        {0xFFFE, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {0xFFFF, std::string("\xFF\xFF\xFF\xFF\xFF\x00\x00", 7)},
        {0x12345, std::string("\xFF\xFF\xFF\x45\x23\x01\x00", 7)},
    };
    for (const Case& c : cases) {
        const std::string line(c.length, 'x');
        const std::string bytes = EncodeLibraryLines({line});
        EXPECT_EQ(bytes.substr(2, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(bytes.size(), 2 + c.prefix.size() + c.length) << c.length;
        std::vector<std::string> back;
        ASSERT_TRUE(DecodeLibraryLines(bytes, back)) << c.length;
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(back[0], line);
    }
}

TEST(LibraryLines, CountPrefixBoundaries) {
    for (size_t count : {size_t{0xFFFE}, size_t{0xFFFF}, size_t{0x10000}}) {
        const std::vector<std::string> lines(count, "l");
        const std::string bytes = EncodeLibraryLines(lines);
        if (count < 0xFFFF) {
            EXPECT_EQ(bytes.substr(0, 2), "\xFE\xFF");
        } else {
            EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFF");
            const std::string wide = count == 0xFFFF ? std::string("\xFF\xFF\x00\x00", 4)
                                                     : std::string("\x00\x00\x01\x00", 4);
            EXPECT_EQ(bytes.substr(2, 4), wide);
        }
        std::vector<std::string> back;
        ASSERT_TRUE(DecodeLibraryLines(bytes, back));
        EXPECT_EQ(back, lines);
    }
}

TEST(LibraryLines, RoundTripOfAnyBytes) {
    const std::vector<std::string> lines = {"C:\\\x83\x89\x83\x43\\a.lib|-5",
                                            std::string("\0|\xFF", 3), "", std::string(300, '\x81'),
                                            "/x/y.lib|1700000000"};
    std::vector<std::string> back;
    ASSERT_TRUE(DecodeLibraryLines(EncodeLibraryLines(lines), back));
    EXPECT_EQ(back, lines);
}

TEST(LibraryLines, EveryTruncationAndExtensionIsRefused) {
    const std::string bytes =
        EncodeLibraryLines({"a.lib|1", std::string(300, 'b'), "", std::string(70000, 'c')});
    std::vector<std::string> back = {"stale"};
    for (size_t n = 0; n < bytes.size(); ++n) {
        // Every cut inside the 70000-byte line looks alike; probe its ends only.
        if (n > 400 && n + 100 < bytes.size() && n % 997 != 0) continue;
        ASSERT_FALSE(DecodeLibraryLines(bytes.substr(0, n), back)) << n;
        ASSERT_TRUE(back.empty());
    }
    EXPECT_FALSE(DecodeLibraryLines(bytes + '\0', back));
    EXPECT_TRUE(DecodeLibraryLines(bytes, back));
}

TEST(LibraryLines, ForeignLayoutsAreRefused) {
    std::vector<std::string> back;
    const std::string cases[] = {
        std::string("\x01", 1),  // half a count
        std::string("\x02\x00\x01"
                    "a",
                    4),                              // second line missing
        std::string("\x05\x00\x00\x00", 4),          // count beyond the bytes
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF", 6),  // 64-bit count
        std::string("\xFF\xFF\x01\x00", 4),          // 4-byte count cut short
        std::string("\x01\x00\xFF\xFE\xFF\x02"
                    "a\0",
                    8),                                          // UTF-16 string marker
        std::string("\x01\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 9),  // 64-bit length
        std::string("\x01\x00\xFF\xFF\xFF\x10\x00\x00\x00"
                    "abc",
                    12),  // length past end
        "\x89PNG\r\n\x1A\n",
    };
    for (const std::string& bytes : cases) {
        EXPECT_FALSE(DecodeLibraryLines(bytes, back)) << testing::PrintToString(bytes);
    }
    // A longer prefix than needed still reads (the framework reads it so).
    ASSERT_TRUE(DecodeLibraryLines(std::string("\x01\x00\xFF\x02\x00"
                                               "ab",
                                               7),
                                   back));
    EXPECT_EQ(back, std::vector<std::string>{"ab"});
}

// ---------- image files ----------

TEST(ImageFile, RoundTripKeepsPixelsMasksAndEntries) {
    for (int side : {LARGE_THUMB_SIZE, SMALL_THUMB_SIZE}) {
        std::vector<ArgbImage> images = {MakeImage(side, 1), MakeImage(side, 2),
                                         MakeImage(side, 3)};
        // Partial alpha and other formats come back as the same ARGB values.
        SetPixel(images[1], 0, 0, Rgba(10, 20, 30, 128));
        images.push_back(Opaque(MakeImage(side, 4)));
        // Long runs, pairs and single pixels mixed, across row ends.
        ArgbImage runs = Filled(side, side, Rgba(1, 2, 3, 0));
        for (int x = 0; x < side; x += 3) SetPixel(runs, x, side / 2, Rgba(9, 9, 9, 255));
        for (int x = 0; x < side; x += 4) SetPixel(runs, x, side - 1, Rgba(x, 0, 0, 255));
        SetPixel(runs, side - 1, 0, Rgba(7, 7, 7, 255));
        SetPixel(runs, 0, 1, Rgba(7, 7, 7, 255));
        images.push_back(runs);
        const std::vector<int32_t> entries = {0, 1, 7, 8, 2147483647};
        const std::vector<uint64_t> identities = {5, 0, ~0ull, 0x8000000000000001ull, 5};
        const CacheStamp stamp{0x0123456789ABCDEFull, 0xCAFEF00Du, 0xFEDCBA9876543210ull};
        const std::string bytes = EncodeImageFile(images, entries, identities, side, stamp);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.substr(0, 8), "QURIXIMG");

        std::vector<ArgbImage> back;
        std::vector<int32_t> backEntries;
        std::vector<uint64_t> backIdentities;
        CacheStamp backStamp;
        ASSERT_TRUE(DecodeImageFile(bytes, side, back, backEntries, backIdentities, backStamp));
        EXPECT_EQ(backEntries, entries);
        EXPECT_EQ(backIdentities, identities);
        EXPECT_EQ(backStamp.drawing, stamp.drawing);
        EXPECT_EQ(backStamp.saveId, stamp.saveId);
        EXPECT_EQ(backStamp.linesCrc, stamp.linesCrc);
        ExpectSameImages(back, images);
        EXPECT_EQ(Alpha(back[0].Pixel(2, 0)), 0);    // masked
        EXPECT_EQ(Alpha(back[0].Pixel(0, 0)), 255);  // not masked
    }
}

TEST(ImageFile, EmptyListRoundTrips) {
    const std::string bytes =
        EncodeImageFile(std::vector<ArgbImage>{}, {}, {}, LARGE_THUMB_SIZE, {});
    ASSERT_EQ(bytes.size(), IMAGE_HEADER_SIZE + 4);
    std::vector<ArgbImage> back = {Filled(1, 1, 0)};
    std::vector<int32_t> entries = {5};
    std::vector<uint64_t> identities = {5};
    CacheStamp stamp;
    ASSERT_TRUE(DecodeImageFile(bytes, LARGE_THUMB_SIZE, back, entries, identities, stamp));
    EXPECT_TRUE(identities.empty());
    EXPECT_TRUE(back.empty());
    EXPECT_TRUE(entries.empty());
}

TEST(ImageFile, EncodingRefusesWhatCannotBeReadBack) {
    const ArgbImage good = MakeImage(32, 0);
    EXPECT_TRUE(EncodeImageFile({good}, {0}, {0}, 32, {}).size() > IMAGE_HEADER_SIZE + 4);
    EXPECT_TRUE(EncodeImageFile({MakeImage(64, 0)}, {0}, {0}, 32, {}).empty());
    EXPECT_TRUE(EncodeImageFile({ArgbImage()}, {0}, {0}, 32, {}).empty());
    EXPECT_TRUE(EncodeImageFile({good, good}, {3, 3}, {0, 0}, 32, {}).empty());
    EXPECT_TRUE(EncodeImageFile({good, good}, {3, 2}, {0, 0}, 32, {}).empty());
    EXPECT_TRUE(EncodeImageFile({good}, {-1}, {0}, 32, {}).empty());
    EXPECT_TRUE(EncodeImageFile({good}, {0, 1}, {0, 0}, 32, {}).empty());
    EXPECT_TRUE(EncodeImageFile({good}, {0}, {}, 32, {}).empty());
}

class ImageFileDamage : public testing::Test {
protected:
    void SetUp() override {
        images_ = {MakeImage(SMALL_THUMB_SIZE, 5), MakeImage(SMALL_THUMB_SIZE, 9)};
        bytes_ = EncodeImageFile(images_, {2, 3}, {7, 8}, SMALL_THUMB_SIZE, {77, 88, 99});
        ASSERT_FALSE(bytes_.empty());
    }
    bool Decodes(const std::string& bytes, int side = SMALL_THUMB_SIZE) {
        std::vector<ArgbImage> images;
        std::vector<int32_t> entries;
        std::vector<uint64_t> identities;
        CacheStamp stamp;
        const bool ok = DecodeImageFile(bytes, side, images, entries, identities, stamp);
        // A refused file never hands out part of its content.
        if (!ok) {
            EXPECT_TRUE(images.empty() && entries.empty() && identities.empty());
        }
        return ok;
    }
    std::vector<ArgbImage> images_;
    std::string bytes_;
};

TEST_F(ImageFileDamage, EveryTruncationIsRefused) {
    ASSERT_TRUE(Decodes(bytes_));
    for (size_t n = 0; n < bytes_.size(); ++n) ASSERT_FALSE(Decodes(bytes_.substr(0, n))) << n;
    EXPECT_FALSE(Decodes(bytes_ + '\0'));
    EXPECT_FALSE(Decodes(bytes_ + bytes_));
}

TEST_F(ImageFileDamage, EveryFlippedByteIsRefused) {
    for (size_t i = 0; i < bytes_.size(); ++i) {
        for (unsigned char mask : {0x01, 0x80, 0xFF}) {
            std::string damaged = bytes_;
            damaged[i] = static_cast<char>(damaged[i] ^ mask);
            ASSERT_FALSE(Decodes(damaged)) << "byte " << i << " ^ " << int(mask);
        }
    }
}

TEST_F(ImageFileDamage, ForeignFilesAreRefused) {
    EXPECT_FALSE(Decodes(""));
    EXPECT_FALSE(Decodes("hello"));
    EXPECT_FALSE(Decodes("\x89PNG\r\n\x1A\n" + std::string(100, '\0')));
    EXPECT_FALSE(Decodes(EncodeLibraryLines({"a.lib|1"})));
    EXPECT_FALSE(Decodes(std::string(4096, '\0')));
    EXPECT_FALSE(Decodes("QURIXIMG" + std::string(100, '\xAB')));
    // The other image size's file.
    EXPECT_FALSE(Decodes(bytes_, LARGE_THUMB_SIZE));
}

TEST_F(ImageFileDamage, ResealedEditsAreRefusedByTheirOwnChecks) {
    ASSERT_TRUE(Decodes(Reseal(bytes_)));
    struct Edit {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const Edit edits[] = {
        {"version", 8, 1},
        {"side", 12, 64},
        {"count one more", 16, 3},
        {"count one less", 16, 1},
        {"count huge", 16, 0xFFFFFFFF},
        {"first entry after second", 40, 4},
        {"entry negative", 40, 0x80000000},
        {"length past end", 52, 0x7FFFFFFF},
        {"length short", 52, 3},
    };
    for (const Edit& e : edits) {
        std::string edited = bytes_;
        PutU32At(edited, e.at, e.value);
        EXPECT_FALSE(Decodes(Reseal(edited))) << e.what;
    }
    // One more packed pixel than the image holds.
    std::string extra = bytes_;
    const size_t firstLength =
        static_cast<unsigned char>(extra[52]) | static_cast<unsigned char>(extra[53]) << 8;
    extra.insert(56 + firstLength, std::string("\x00\x01\x02\x03\x04", 5));
    PutU32At(extra, 52, static_cast<uint32_t>(firstLength + 5));
    EXPECT_FALSE(Decodes(Reseal(extra)));
    // A record with valid pixels of the wrong size.
    std::vector<ArgbImage> other = {MakeImage(16, 1)};
    const std::string small16 = EncodeImageFile(other, {0}, {0}, 16, {});
    std::string patched = small16;
    PutU32At(patched, 12, SMALL_THUMB_SIZE);
    EXPECT_FALSE(Decodes(Reseal(patched)));
}

// One valid 64 x 64 record, then a record head whose length field is the file's own
// trailing CRC: the length is read from beyond the body and must not be believed.
TEST(ImageFile, RecordHeadReachingIntoTheChecksumIsRefused) {
    ArgbImage flat = Filled(LARGE_THUMB_SIZE, LARGE_THUMB_SIZE, Rgba(1, 2, 3, 255));
    std::string bytes = EncodeImageFile({flat}, {0}, {0}, LARGE_THUMB_SIZE, {});
    bytes.resize(bytes.size() - 4);                                      // the checksum
    PutU32At(bytes, 16, 2);                                              // two records
    bytes += std::string("\x01\x00\x00\x00", 4) + std::string(8, '\0');  // entry, identity
    bytes += std::string(4, '\0');                                       // length: the CRC
    bytes = Reseal(bytes);
    ASSERT_EQ(bytes.size(), IMAGE_HEADER_SIZE + 16 + 160 + 12 + 4);
    std::vector<ArgbImage> images;
    std::vector<int32_t> entries;
    std::vector<uint64_t> identities;
    CacheStamp stamp;
    EXPECT_FALSE(DecodeImageFile(bytes, LARGE_THUMB_SIZE, images, entries, identities, stamp));
    EXPECT_TRUE(images.empty());
}

// A file of 2 × 2 images whose records hold the given packed bytes.
std::string TinyFile(const std::vector<std::string>& records) {
    std::string out = "QURIXIMG";
    std::string head(IMAGE_HEADER_SIZE - 8, '\0');
    PutU32At(head, 0, 2);
    PutU32At(head, 4, 2);
    PutU32At(head, 8, static_cast<uint32_t>(records.size()));
    out += head;
    uint32_t entry = 0;
    for (const std::string& r : records) {
        std::string recordHead(16, '\0');
        PutU32At(recordHead, 0, entry++);
        PutU32At(recordHead, 12, static_cast<uint32_t>(r.size()));
        out += recordHead + r;
    }
    return Reseal(out + std::string(4, '\0'));
}

TEST(ImageFile, PackedRunsMustFillTheImageExactly) {
    const std::string px = "\x10\x20\x30\x40";  // 0x40302010
    const std::string qx = "\x01\x02\x03\xFF";
    struct Case {
        const char* what;
        std::string packed;
        bool ok;
    };
    const Case cases[] = {
        {"repeat of 4", "\x82" + px, true},
        {"literal of 4", "\x03" + px + qx + px + qx, true},
        {"two repeats of 2", "\x80" + px + "\x80" + qx, true},
        {"literal 1 then repeat 3", std::string(1, '\0') + qx + "\x81" + px, true},
        {"repeat of 5", "\x83" + px, false},
        {"repeat of 3", "\x81" + px, false},
        {"largest repeat", "\xFF" + px, false},
        {"literal of 4 cut short", "\x03" + px + qx + px, false},
        {"repeat without its pixel", "\x82\x10\x20", false},
        {"nothing", "", false},
        {"a run too many", "\x80" + px + "\x80" + px + std::string(1, '\0') + px, false},
    };
    for (const Case& c : cases) {
        std::vector<ArgbImage> images;
        std::vector<int32_t> entries;
        std::vector<uint64_t> identities;
        CacheStamp stamp;
        EXPECT_EQ(DecodeImageFile(TinyFile({c.packed}), 2, images, entries, identities, stamp),
                  c.ok)
            << c.what;
    }
    std::vector<ArgbImage> images;
    std::vector<int32_t> entries;
    std::vector<uint64_t> identities;
    CacheStamp stamp;
    ASSERT_TRUE(DecodeImageFile(TinyFile({std::string(1, '\0') + qx + "\x81" + px}), 2, images,
                                entries, identities, stamp));
    EXPECT_EQ(images[0].Pixel(0, 0), 0xFF030201u);
    EXPECT_EQ(images[0].Pixel(1, 0), 0x40302010u);
    EXPECT_EQ(images[0].Pixel(0, 1), 0x40302010u);
    EXPECT_EQ(images[0].Pixel(1, 1), 0x40302010u);
}

TEST(Crc32, KnownValueWholeAndInPieces) {
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
    EXPECT_EQ(Crc32("", 0), 0u);
}

// ---------- what an image depends on ----------

TEST(DrawingDigest, EverySettingThatChangesAPixelCounts) {
    CDisplaySettings base;
    const uint64_t original = DrawingDigest(base);
    CDisplaySettings same;
    EXPECT_EQ(DrawingDigest(same), original);
    // One row per kind of setting; each must give another digest.
    const std::function<void(CDisplaySettings&)> edits[] = {
        [](CDisplaySettings& s) { s.colours.Set(ColourKey::BG, 0); },
        [](CDisplaySettings& s) { s.colours.Set(ColourKey::NcMark, 1); },  // the last colour
        [](CDisplaySettings& s) { s.labelFont.height = 12; },
        [](CDisplaySettings& s) { s.labelFont.weight = LogFont::WEIGHT_BOLD; },
        [](CDisplaySettings& s) { s.labelFont.italic = 1; },
        [](CDisplaySettings& s) { s.labelFont.SetFaceName("Other"); },
        [](CDisplaySettings& s) { s.compNameFont.height = 12; },
        [](CDisplaySettings& s) { s.compNameFont.pitchAndFamily = 2; },
        [](CDisplaySettings& s) { s.compNameFont.SetFaceName("Other"); },
    };
    for (size_t i = 0; i < std::size(edits); ++i) {
        CDisplaySettings edited;
        edits[i](edited);
        EXPECT_NE(DrawingDigest(edited), original) << "edit " << i;
    }
    // The two fonts are not interchangeable.
    CDisplaySettings a;
    CDisplaySettings b;
    a.labelFont.height = 12;
    b.compNameFont.height = 12;
    EXPECT_NE(DrawingDigest(a), DrawingDigest(b));
}

// Canvases whose fonts are drawn with the given family, whatever face is asked for.
CanvasFactory CanvasesResolvingTo(const std::string& family) {
    class CResolvingSurface : public CRecordingSurface {
    public:
        explicit CResolvingSurface(std::string family) : family_(std::move(family)) {}
        std::unique_ptr<CSurfaceFont> MakeFont(const LogFont& font) override {
            class CFont : public CSurfaceFont {
            public:
                CFont(const LogFont& font, std::string family)
                    : CSurfaceFont(font), family_(std::move(family)) {}
                std::string DrawnWith() const override { return family_; }

            private:
                std::string family_;
            };
            return std::make_unique<CFont>(font, family_);
        }

    private:
        std::string family_;
    };
    return [family](Colour) -> CanvasMaker {
        return [family](int32_t, int32_t) -> std::unique_ptr<CDrawSurface> {
            return std::make_unique<CResolvingSurface>(family);
        };
    };
}

TEST(DrawingDigest, TheFamilyAFaceResolvesToCounts) {
    const CDisplaySettings settings;
    const uint64_t dejaVu = DrawingDigest(settings, CanvasesResolvingTo("DejaVu Sans|1"));
    EXPECT_EQ(DrawingDigest(settings, CanvasesResolvingTo("DejaVu Sans|1")), dejaVu);
    EXPECT_NE(DrawingDigest(settings, CanvasesResolvingTo("Liberation Sans|1")), dejaVu);
    EXPECT_NE(DrawingDigest(settings, CanvasesResolvingTo("DejaVu Sans|2")), dejaVu);  // backend
    EXPECT_NE(DrawingDigest(settings), dejaVu);  // without a backend: the requested faces only
}

// Two libraries loaded from text; the entries' definitions come from there.
class ImageIdentityTest : public testing::Test {
protected:
    static bool Load(CPartLibrary& library, std::string text) {
        std::FILE* f = OpenBytesAsFile(text);
        const bool ok = f != nullptr && library.LoadStream(f, "x.lib");
        if (f != nullptr) std::fclose(f);
        return ok;
    }
    void SetUp() override {
        ASSERT_TRUE(Load(first_,
                         "+KIVOX_LIB_V.1.0\n+COMP,N:R\nX:2,Y:1,B:1\nR:R\n-COMP\n"
                         "+COMP,N:C\nX:2,Y:1,B:1\nR:R\n-COMP\n-KIVOX_LIB_V.1.0\n"));
        ASSERT_TRUE(Load(second_,
                         "+KIVOX_LIB_V.1.0\n+COMP,N:R\nX:3,Y:1,B:1\nR:R\n-COMP\n"
                         "-KIVOX_LIB_V.1.0\n"));
    }
    CPartLibrary first_;
    CPartLibrary second_;
};

// Identities made on a worker come in entry order, libraries in the order given; taken
// for other libraries than those started, they are made for those.
TEST_F(ImageIdentityTest, MadeAheadInEntryOrder) {
    const auto expected = [](const std::vector<const CPartLibrary*>& libraries) {
        std::vector<uint64_t> ids;
        for (const CPartLibrary* lib : libraries) {
            for (int32_t e = 0; e < lib->EntryCount(); ++e) {
                ids.push_back(ImageIdentity(lib->Path(), *lib->Entry(e)));
            }
        }
        return ids;
    };
    const std::vector<const CPartLibrary*> both = {&second_, &first_};
    CEntryIdentities identities;
    identities.Start(both);
    EXPECT_EQ(identities.Take(both), expected(both));
    identities.Start(both);
    const std::vector<const CPartLibrary*> one = {&first_};
    EXPECT_EQ(identities.Take(one), expected(one));
    EXPECT_EQ(identities.Take({}), std::vector<uint64_t>{});
}

TEST_F(ImageIdentityTest, LibraryNameAndDefinitionEachCount) {
    const CLibEntry& r = *first_.Entry(0);
    const uint64_t id = ImageIdentity("/lib/a.lib", r);
    EXPECT_EQ(ImageIdentity("/lib/a.lib", r), id);
    EXPECT_NE(ImageIdentity("/lib/b.lib", r), id);                  // another library
    EXPECT_NE(ImageIdentity("/lib/a.lib", *first_.Entry(1)), id);   // same body, other name
    EXPECT_NE(ImageIdentity("/lib/a.lib", *second_.Entry(0)), id);  // same name, other body
    // Fields cannot run into each other.
    EXPECT_NE(ImageIdentity("/lib/a.libR", CLibEntry("", nullptr)),
              ImageIdentity("/lib/a.lib", CLibEntry("R", nullptr)));
}

// ---------- the cache against a configuration ----------

class ImageCacheFiles : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp_.Path().empty());
        config_ = fs::path(temp_.Path()) / "config";
        fs::create_directories(config_);
        work_ = fs::path(temp_.Path()) / "work";
        fs::create_directories(work_);
        cache_ = (work_ / "cache").string();
        profile_.SetPath((config_ / "KIVOX.INI").string());
        for (const char* name : {"a.lib", "b.lib", "c.lib", "d.lib"}) {
            WriteFile(config_ / name, "+KIVOX_LIB_V.1.0\n");
            SetTime(config_ / name, 1600000000);
        }
    }

    // LIB0.. as given; an empty value leaves that key empty.
    void SetKeys(const std::vector<std::string>& values) {
        std::string ini = "[DefaultColor]\r\nBG=0\r\n[Library]\r\n";
        for (size_t i = 0; i < values.size(); ++i) {
            ini += "LIB" + std::to_string(i) + "=" + values[i] + "\r\n";
        }
        WriteFile(profile_.Path(), ini);
    }

    bool Save(const ThumbnailSet& set, uint64_t drawing = DRAWING) {
        return SaveImageCache(cache_, MakeLibraryLines(profile_, Folder()), drawing, set);
    }

    bool Load(ThumbnailSet& set) {
        return LoadImageCache(cache_, profile_, Folder(), expect_, set);
    }

    bool Valid() {
        ThumbnailSet set;
        const bool valid = Load(set);
        if (!valid) {
            EXPECT_EQ(set.Count(), 0u);
        }
        return valid;
    }

    std::string Folder() const { return config_.string() + "/"; }
    fs::path CacheFile(const char* name) const { return fs::path(cache_) / name; }

    static constexpr uint64_t DRAWING = 0xD7A3;
    CacheExpectation expect_{DRAWING, SIZE_MAX, {}};
    test::ScratchFolder temp_;
    fs::path config_;
    fs::path work_;
    std::string cache_;
    CProfile profile_;
};

TEST_F(ImageCacheFiles, FirstStartThenSaveThenReuse) {
    SetKeys({"a.lib", (config_ / "b.lib").string()});
    ThumbnailSet set;
    EXPECT_FALSE(Load(set));
    EXPECT_FALSE(fs::exists(cache_));

    const ThumbnailSet made = MakeSet({0, 1, 2, 4});
    ASSERT_TRUE(Save(made));
    EXPECT_TRUE(fs::is_directory(cache_));
    for (const char* name : {LARGE_CACHE_FILE, SMALL_CACHE_FILE, LIBDATA_CACHE_FILE}) {
        EXPECT_TRUE(fs::is_regular_file(CacheFile(name))) << name;
    }
    // Nothing else is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(cache_), fs::directory_iterator()), 3);

    // The library lines carry the key values as written, not resolved.
    std::vector<std::string> lines;
    ASSERT_TRUE(DecodeLibraryLines(ReadFile(CacheFile(LIBDATA_CACHE_FILE)), lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"a.lib|1600000000",
                                               (config_ / "b.lib").string() + "|1600000000"}));

    ASSERT_TRUE(Load(set));
    ExpectSameImages(set.large, made.large);
    ExpectSameImages(set.smallImage, made.smallImage);
    EXPECT_EQ(set.entries, made.entries);
}

TEST_F(ImageCacheFiles, ValidityFollowsTheConfiguredLibraries) {
    struct Case {
        const char* what;
        std::vector<std::string> savedKeys;
        std::vector<std::string> loadedKeys;
        const char* touched;  // library given a new time after the save, or null
        bool valid;
    };
    const Case cases[] = {
        {"unchanged", {"a.lib", "b.lib"}, {"a.lib", "b.lib"}, nullptr, true},
        {"one library touched", {"a.lib", "b.lib"}, {"a.lib", "b.lib"}, "b.lib", false},
        {"an unused library touched", {"a.lib"}, {"a.lib"}, "c.lib", true},
        {"key added at the end", {"a.lib", "b.lib"}, {"a.lib", "b.lib", "c.lib"}, nullptr, false},
        {"key removed", {"a.lib", "b.lib"}, {"a.lib"}, nullptr, false},
        {"keys swapped", {"a.lib", "b.lib"}, {"b.lib", "a.lib"}, nullptr, false},
        {"key renamed", {"a.lib", "b.lib"}, {"a.lib", "c.lib"}, nullptr, false},
        {"gap kept", {"a.lib", "", "c.lib"}, {"a.lib", "", "c.lib"}, nullptr, true},
        {"gap moved", {"a.lib", "", "c.lib"}, {"", "a.lib", "c.lib"}, nullptr, true},
        {"after the gap touched", {"a.lib", "", "c.lib"}, {"a.lib", "", "c.lib"}, "c.lib", false},
        {"no libraries", {}, {}, nullptr, true},
        {"no libraries, then one", {}, {"a.lib"}, nullptr, false},
        {"all sixteen keys", std::vector<std::string>(16, "d.lib"),
         std::vector<std::string>(16, "d.lib"), nullptr, true},
        {"the same file spelled otherwise", {"a.lib"}, {"./a.lib"}, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(cache_);
        for (const char* name : {"a.lib", "b.lib", "c.lib", "d.lib"}) {
            SetTime(config_ / name, 1600000000);
        }
        SetKeys(c.savedKeys);
        ASSERT_TRUE(Save(MakeSet({0, 1})));
        ASSERT_TRUE(Valid());
        if (c.touched != nullptr) SetTime(config_ / c.touched, 1600000001);
        SetKeys(c.loadedKeys);
        EXPECT_EQ(Valid(), c.valid);
    }
}

TEST_F(ImageCacheFiles, AMissingLibraryMakesTheCacheInvalid) {
    // Saved with a and b; then a disappears. Its line would no longer be compared, and
    // b's line would pass as a's, handing a's images to b's parts.
    SetKeys({"a.lib", "b.lib"});
    ASSERT_TRUE(Save(MakeSet({0, 1, 2})));
    ASSERT_TRUE(Valid());
    fs::remove(config_ / "a.lib");
    EXPECT_FALSE(Valid());

    // A configured library that never existed gets no line, so the cache is never reused
    // while it is missing.
    SetKeys({"missing.lib", "b.lib"});
    const std::vector<std::string> lines = MakeLibraryLines(profile_, Folder());
    EXPECT_EQ(lines, (std::vector<std::string>{"b.lib|1600000000"}));
    ASSERT_TRUE(Save(MakeSet({0})));
    EXPECT_FALSE(Valid());
}

// A library that exists but cannot be opened is not loaded, so it must count as missing:
// otherwise its line passes and every later library's parts get its images. (A seam,
// since as root every file opens.)
TEST_F(ImageCacheFiles, AnUnreadableLibraryCountsAsMissing) {
    SetKeys({"a.lib", "b.lib"});
    ASSERT_TRUE(Save(MakeSet({0, 1, 2})));
    ASSERT_TRUE(Valid());
    // By name: Windows joins the folder with its own separator.
    expect_.canOpen = [](const std::string& path) {
        return path.size() < 5 || path.compare(path.size() - 5, 5, "a.lib") != 0;
    };
    EXPECT_FALSE(Valid());
    EXPECT_EQ(MakeLibraryLines(profile_, Folder(), expect_.canOpen),
              (std::vector<std::string>{"b.lib|1600000000"}));
    expect_.canOpen = {};
    EXPECT_TRUE(Valid());
}

TEST_F(ImageCacheFiles, OtherDrawingSettingsMakeItInvalid) {
    SetKeys({"a.lib"});
    ASSERT_TRUE(Save(MakeSet({0, 1})));
    ASSERT_TRUE(Valid());
    expect_.drawing = DRAWING + 1;
    EXPECT_FALSE(Valid());
    ASSERT_TRUE(Save(MakeSet({0, 1}), DRAWING + 1));
    EXPECT_TRUE(Valid());
}

TEST_F(ImageCacheFiles, MoreImagesThanEntriesMakeItInvalid) {
    SetKeys({"a.lib"});
    ASSERT_TRUE(Save(MakeSet({0, 1, 5})));
    expect_.maxImages = 3;
    EXPECT_TRUE(Valid());
    expect_.maxImages = 2;
    EXPECT_FALSE(Valid());
}

// A file far larger than its declared images is refused before it is read. The sparse
// 900 MB file costs no disk; in a child whose address space has room for 256 MB more,
// reading it whole would fail to allocate and end the child.
TEST_F(ImageCacheFiles, AHugeFileIsNotReadWhole) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#elif defined(_WIN32)
    GTEST_SKIP() << "needs fork and an address-space limit";
#else
    SetKeys({"a.lib"});
    ASSERT_TRUE(Save(MakeSet({0})));
    fs::resize_file(CacheFile(LARGE_CACHE_FILE), uintmax_t{900} << 20);
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    ASSERT_TRUE(statm >> pages);
    const rlim_t room =
        pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) + (uint64_t{256} << 20);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child never returns to the test framework.
        try {
            const rlimit limit{room, room};
            ThumbnailSet set;
            const bool refused = setrlimit(RLIMIT_AS, &limit) == 0 && !Load(set);
            _exit(refused ? 0 : 1);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
#endif
}

TEST(ImageFile, SizeMustFitTheDeclaredCount) {
    std::string head = EncodeImageFile(std::vector<ArgbImage>{}, {}, {}, SMALL_THUMB_SIZE, {});
    const uintmax_t empty = head.size();
    const uintmax_t mostPerImage = 16 + 32 * 32 * 4 + 8;  // record head, literals, controls
    PutU32At(head, 16, 3);
    struct Case {
        const char* what;
        uintmax_t size;
        size_t maxImages;
        bool fits;
    };
    const Case cases[] = {
        {"smallest three", empty + 3 * 16, SIZE_MAX, true},
        {"one byte short of three heads", empty + 3 * 16 - 1, SIZE_MAX, false},
        {"largest three", empty + 3 * mostPerImage, SIZE_MAX, true},
        {"one byte past the largest", empty + 3 * mostPerImage + 1, SIZE_MAX, false},
        {"900 MB", uintmax_t{900} << 20, SIZE_MAX, false},
        {"more images than entries", empty + 3 * 16, 2, false},
        {"exactly the entries", empty + 3 * 16, 3, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ImageFileSizeFits(head, c.size, SMALL_THUMB_SIZE, c.maxImages), c.fits) << c.what;
    }
    EXPECT_FALSE(ImageFileSizeFits(head.substr(0, IMAGE_HEADER_SIZE - 1), empty + 48,
                                   SMALL_THUMB_SIZE, SIZE_MAX));
    EXPECT_FALSE(ImageFileSizeFits(head, empty + 48, LARGE_THUMB_SIZE, SIZE_MAX));
}

TEST_F(ImageCacheFiles, RelativeKeysAreFoundInTheConfigurationFolder) {
    SetKeys({"a.lib"});
    // A file of the same name in the working folder must not be the one looked at.
    WriteFile(work_ / "a.lib", "other");
    SetTime(work_ / "a.lib", 1234);
    const fs::path before = fs::current_path();
    fs::current_path(work_);
    ASSERT_TRUE(Save(MakeSet({0})));
    const bool valid = Valid();
    SetTime(config_ / "a.lib", 1600000002);
    const bool validAfterTouch = Valid();
    fs::current_path(before);
    EXPECT_TRUE(valid);
    EXPECT_FALSE(validAfterTouch);
}

TEST_F(ImageCacheFiles, EachWorkingFolderHasItsOwnCache) {
    SetKeys({"a.lib"});
    const fs::path before = fs::current_path();
    const fs::path other = fs::path(temp_.Path()) / "elsewhere";
    fs::create_directories(other);

    fs::current_path(work_);
    const std::string here = DefaultCacheFolder();
    const bool saved = Save(MakeSet({0}));
    ThumbnailSet set;
    const bool validHere = LoadImageCache(DefaultCacheFolder(), profile_, Folder(), expect_, set);
    fs::current_path(other);
    const std::string there = DefaultCacheFolder();
    const bool validThere = LoadImageCache(there, profile_, Folder(), expect_, set);
    fs::current_path(before);

    EXPECT_EQ(fs::path(here), work_ / "cache");
    EXPECT_EQ(fs::path(there), other / "cache");
    EXPECT_TRUE(saved);
    EXPECT_TRUE(validHere);
    EXPECT_FALSE(validThere);
    EXPECT_FALSE(fs::exists(there));
}

TEST_F(ImageCacheFiles, DamagedOrMissingFilesMakeItInvalid) {
    SetKeys({"a.lib", "b.lib"});
    const ThumbnailSet made = MakeSet({0, 1, 2});
    for (const char* name : {LARGE_CACHE_FILE, SMALL_CACHE_FILE, LIBDATA_CACHE_FILE}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Save(made));
        const std::string good = ReadFile(CacheFile(name));

        fs::remove(CacheFile(name));
        EXPECT_FALSE(Valid());

        WriteFile(CacheFile(name), "");
        EXPECT_FALSE(Valid());

        for (size_t cut : {size_t{1}, good.size() / 2, good.size() - 1}) {
            WriteFile(CacheFile(name), good.substr(0, cut));
            EXPECT_FALSE(Valid()) << cut;
        }
        std::string flipped = good;
        flipped[flipped.size() / 2] ^= 0x10;
        WriteFile(CacheFile(name), flipped);
        EXPECT_FALSE(Valid());

        WriteFile(CacheFile(name), good);
        EXPECT_TRUE(Valid());
    }
    // The two image files exchanged.
    const std::string large = ReadFile(CacheFile(LARGE_CACHE_FILE));
    const std::string smallImage = ReadFile(CacheFile(SMALL_CACHE_FILE));
    WriteFile(CacheFile(LARGE_CACHE_FILE), smallImage);
    WriteFile(CacheFile(SMALL_CACHE_FILE), large);
    EXPECT_FALSE(Valid());
    // A folder where a file should be.
    fs::remove(CacheFile(LARGE_CACHE_FILE));
    fs::create_directory(CacheFile(LARGE_CACHE_FILE));
    EXPECT_FALSE(Valid());
}

TEST_F(ImageCacheFiles, FilesFromDifferentSavesDoNotMix) {
    SetKeys({"a.lib", "b.lib"});
    ASSERT_TRUE(Save(MakeSet({0, 1})));
    const std::string oldLarge = ReadFile(CacheFile(LARGE_CACHE_FILE));
    const std::string oldSmall = ReadFile(CacheFile(SMALL_CACHE_FILE));
    const std::string oldLines = ReadFile(CacheFile(LIBDATA_CACHE_FILE));
    // Same libraries, same count, other images: only the save stamp tells them apart.
    ThumbnailSet other = MakeSet({0, 1});
    other.large = CPackedImages(LARGE_THUMB_SIZE);
    other.large.Append(MakeImage(LARGE_THUMB_SIZE, 50));
    other.large.Append(MakeImage(LARGE_THUMB_SIZE, 1));
    ASSERT_TRUE(Save(other));
    ASSERT_TRUE(Valid());

    WriteFile(CacheFile(LARGE_CACHE_FILE), oldLarge);
    EXPECT_FALSE(Valid());
    ASSERT_TRUE(Save(other));
    WriteFile(CacheFile(SMALL_CACHE_FILE), oldSmall);
    EXPECT_FALSE(Valid());

    // Library lines of another save that happen to match the configuration still
    // belong to other images.
    SetKeys({"a.lib"});
    ASSERT_TRUE(Save(MakeSet({0})));
    SetKeys({"a.lib", "b.lib"});
    WriteFile(CacheFile(LIBDATA_CACHE_FILE), oldLines);
    EXPECT_FALSE(Valid());
}

TEST_F(ImageCacheFiles, LinesWrittenBesideTheImagesAreTheOnesGiven) {
    // Lines taken when the build started: a library saved later gets its new time only
    // at the next build, so the next start does not reuse images of its old content.
    SetKeys({"a.lib"});
    const std::vector<std::string> atBuild = MakeLibraryLines(profile_, Folder());
    SetTime(config_ / "a.lib", 1600000100);
    ASSERT_TRUE(SaveImageCache(cache_, atBuild, DRAWING, MakeSet({0})));
    EXPECT_FALSE(Valid());
}

TEST_F(ImageCacheFiles, SavingRefusesInconsistentSets) {
    SetKeys({"a.lib"});
    ThumbnailSet set = MakeSet({0, 1});
    set.smallImage = CPackedImages(SMALL_THUMB_SIZE);
    set.smallImage.Append(MakeImage(SMALL_THUMB_SIZE, 0));
    EXPECT_FALSE(Save(set));
    set = MakeSet({0, 1});
    set.entries = {1, 1};
    EXPECT_FALSE(Save(set));
    set = MakeSet({0});
    set.large = CPackedImages(SMALL_THUMB_SIZE);  // images of the wrong side
    set.large.Append(MakeImage(SMALL_THUMB_SIZE, 0));
    EXPECT_FALSE(Save(set));
    EXPECT_FALSE(fs::exists(cache_));
}

TEST_F(ImageCacheFiles, FailedWritesLeaveTheOldFiles) {
    SetKeys({"a.lib"});
    // The cache folder cannot be made: its parent is missing.
    const std::string deep = (fs::path(temp_.Path()) / "missing" / "cache").string();
    EXPECT_FALSE(SaveImageCache(deep, MakeLibraryLines(profile_, Folder()), 0, MakeSet({0})));
    EXPECT_FALSE(fs::exists(fs::path(temp_.Path()) / "missing"));

    // A file stands where the folder should be.
    WriteFile(cache_, "not a folder");
    EXPECT_FALSE(Save(MakeSet({0})));
    EXPECT_EQ(ReadFile(cache_), "not a folder");
    fs::remove(cache_);

    // The library-line file cannot be replaced after the image files were: the set reads
    // back as invalid, not as new images under old lines, and no temporary file is left.
    const ThumbnailSet first = MakeSet({0, 1});
    ASSERT_TRUE(Save(first));
    fs::remove(CacheFile(LIBDATA_CACHE_FILE));
    fs::create_directory(CacheFile(LIBDATA_CACHE_FILE));
    fs::create_directory(CacheFile(LIBDATA_CACHE_FILE) / "keep");
    EXPECT_FALSE(Save(MakeSet({0, 1, 2})));
    EXPECT_FALSE(Valid());
    for (const auto& item : fs::directory_iterator(cache_)) {
        EXPECT_EQ(item.path().extension(), ".cache") << item.path();
    }
}

TEST_F(ImageCacheFiles, PartsStyle) {
    SetKeys({});
    EXPECT_EQ(ReadPartsStyle(profile_), 0);
    for (int32_t mode : {0, 1, 2, 3, 4}) {
        ASSERT_TRUE(WritePartsStyle(profile_, mode));
        EXPECT_EQ(ReadPartsStyle(profile_), mode);
    }
    for (int32_t mode : {5, -1, 0x7FFFFFFF}) {
        ASSERT_TRUE(WritePartsStyle(profile_, mode));
        EXPECT_EQ(ReadPartsStyle(profile_), 0) << mode;
    }
    // The rest of the file is left alone.
    EXPECT_NE(ReadFile(profile_.Path()).find("[Library]"), std::string::npos);
}

}  // namespace
}  // namespace qurix
