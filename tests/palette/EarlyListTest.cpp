// The early list's file: what a start shows before the libraries are parsed.
#include "palette/EarlyList.h"

#include <gtest/gtest.h>
#include <xxhash.h>

#include <functional>
#include <string>

#include "palette/LittleEndian.h"

namespace qurix {
namespace {

ArgbImage Square(int32_t side, uint32_t seed) {
    ArgbImage image{side, side, std::vector<uint32_t>(static_cast<size_t>(side * side))};
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        // A ground with a few marks, as a thumbnail is.
        image.pixels[i] = i % 7 == 0 ? 0xFF000000u | (seed * 2654435761u + i) : 0x00FFFFFFu;
    }
    return image;
}

EarlyListParts ThreeParts() {
    EarlyListParts list;
    list.row = 3;
    // A Shift-JIS name and an empty one: names are bytes.
    list.names = {"R1", "\x83\x8c\x83\x57\x83\x58\x83\x5e", ""};
    for (uint32_t i = 0; i < 3; ++i) {
        list.large.Append(Square(LARGE_THUMB_SIZE, i));
        list.smallImage.Append(Square(SMALL_THUMB_SIZE, i + 10));
    }
    list.libraryLines = {"passive.lib|1700000000", "D:\\lib\\logic.lib|-5"};
    list.drawing = 0x0123456789ABCDEFull;
    return list;
}

TEST(EarlyListTest, RoundTripKeepsNamesTheKeptImagesAndWhatTheyWereMadeFrom) {
    for (const EarlyImages kept : {EarlyImages::Both, EarlyImages::Large, EarlyImages::Small}) {
        SCOPED_TRACE(static_cast<int>(kept));
        EarlyListParts list = ThreeParts();
        list.kept = kept;
        // What is not kept need not be there.
        if (kept == EarlyImages::Large) list.smallImage.Clear();
        const std::string bytes = EncodeEarlyList(list);
        ASSERT_FALSE(bytes.empty());
        EarlyList read;
        ASSERT_TRUE(DecodeEarlyList(bytes, read));
        EXPECT_EQ(read.row, 3);
        EXPECT_EQ(read.kept, kept);
        EXPECT_EQ(read.names, list.names);
        EXPECT_EQ(read.libraryLines, list.libraryLines);
        EXPECT_EQ(read.drawing, list.drawing);
        ASSERT_EQ(read.Count(), 3u);
        const bool large = Holds(kept, EarlyImages::Large);
        const bool smallImages = Holds(kept, EarlyImages::Small);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(read.LargeImage(i).pixels,
                      large ? list.large.Image(i).pixels : std::vector<uint32_t>())
                << i;
            EXPECT_EQ(read.SmallImage(i).pixels,
                      smallImages ? list.smallImage.Image(i).pixels : std::vector<uint32_t>())
                << i;
        }
        EXPECT_TRUE(read.LargeImage(3).IsNull());
    }
    // One kind is about a third of the file that holds both.
    EarlyListParts one = ThreeParts();
    one.kept = EarlyImages::Small;
    EXPECT_LT(EncodeEarlyList(one).size(), EncodeEarlyList(ThreeParts()).size() / 2);
}

TEST(EarlyListTest, NamesAndImagesThatDoNotPairUpAreNotWritten) {
    EarlyListParts list = ThreeParts();
    list.names.pop_back();
    EXPECT_TRUE(EncodeEarlyList(list).empty());
    // A kind kept must be there whole.
    list = ThreeParts();
    list.kept = EarlyImages::Large;
    list.large.Clear();
    EXPECT_TRUE(EncodeEarlyList(list).empty());
}

TEST(EarlyListTest, DamagedFilesAreRefusedWhole) {
    const std::string good = EncodeEarlyList(ThreeParts());
    ASSERT_GT(good.size(), 100u);
    const struct {
        const char* what;
        std::function<void(std::string&)> damage;
    } cases[] = {
        {"empty file", [](std::string& b) { b.clear(); }},
        {"cut by one byte", [](std::string& b) { b.pop_back(); }},
        {"cut after the header", [](std::string& b) { b.resize(24); }},
        {"a byte more", [](std::string& b) { b += '\0'; }},
        {"another magic", [](std::string& b) { b[5] = 'I'; }},
        // Right digest, no kind of image kept.
        {"nothing kept",
         [](std::string& b) {
             b[24] = 0;
             b.resize(b.size() - 8);
             PutU64(b, XXH3_64bits(b.data(), b.size()));
         }},
        {"a flipped pixel byte", [](std::string& b) { b[b.size() / 2] ^= 0x10; }},
        // Right digest, wrong version: a later format is not read as this one.
        {"another version",
         [](std::string& b) {
             b[8] = 9;
             b.resize(b.size() - 8);
             PutU64(b, XXH3_64bits(b.data(), b.size()));
         }},
        // Right digest, a name's length running past the end.
        {"a length too long",
         [](std::string& b) {
             const size_t nameLength = b.find("R1") - 4;
             b[nameLength + 3] = 0x7F;
             b.resize(b.size() - 8);
             PutU64(b, XXH3_64bits(b.data(), b.size()));
         }},
    };
    for (const auto& c : cases) {
        std::string bytes = good;
        c.damage(bytes);
        EarlyList read;
        ASSERT_TRUE(DecodeEarlyList(good, read));
        EXPECT_FALSE(DecodeEarlyList(bytes, read)) << c.what;
        EXPECT_EQ(read.Count(), 0u) << c.what;
        EXPECT_TRUE(read.LargeImage(0).IsNull()) << c.what;
    }
}

}  // namespace
}  // namespace qurix
