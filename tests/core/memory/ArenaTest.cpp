#include "core/memory/Arena.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/memory/HeldArray.h"
#include "core/memory/Text.h"

namespace qurix {
namespace {

TEST(Arena, AllocationsAreAlignedAndApart) {
    CArena arena;
    // Sizes and alignments mixed, so that every allocation starts where the last one ended
    // at an odd place.
    struct Case {
        size_t bytes;
        size_t align;
    };
    const Case cases[] = {{1, 1}, {3, 2}, {5, 8}, {24, 8}, {1, 16}, {7, 4}, {100, 8}, {0, 8}};
    std::vector<std::pair<uintptr_t, size_t>> taken;
    for (int round = 0; round < 2000; ++round) {
        for (const Case& c : cases) {
            void* p = arena.Allocate(c.bytes, c.align);
            ASSERT_EQ(reinterpret_cast<uintptr_t>(p) % c.align, 0u);
            std::memset(p, 0xA5, c.bytes);
            taken.emplace_back(reinterpret_cast<uintptr_t>(p), c.bytes);
        }
    }
    std::sort(taken.begin(), taken.end());
    for (size_t i = 1; i < taken.size(); ++i) {
        ASSERT_LE(taken[i - 1].first + taken[i - 1].second, taken[i].first);
    }
}

TEST(Arena, ManySmallObjectsTakeAFewLargeBlocks) {
    CArena arena;
    constexpr int64_t EACH = 48 + CArena::GAP;
    for (int i = 0; i < 200000; ++i) arena.Allocate(48, 8);  // about 10 MB
    EXPECT_GE(arena.Bytes(), 200000 * EACH);
    // Doubling up to the largest block, then largest blocks: no more than 20 in all.
    EXPECT_LE(arena.BlockCount(), 20);
    EXPECT_LE(arena.Bytes(), 200000 * EACH + 2 * static_cast<int64_t>(CArena::MAX_BLOCK));
}

TEST(Arena, ALargeObjectGetsABlockOfItsOwnAndTheCurrentBlockGoesOn) {
    CArena arena;
    char* a = static_cast<char*>(arena.Allocate(16, 8));
    char* big = static_cast<char*>(arena.Allocate(4 * CArena::MAX_BLOCK, 8));
    big[4 * CArena::MAX_BLOCK - 1] = 1;
    char* b = static_cast<char*>(arena.Allocate(16, 8));
    EXPECT_EQ(arena.BlockCount(), 2);
    EXPECT_EQ(b, a + 16 + CArena::GAP);  // the first block is still being filled
}

TEST(Arena, FullBlocksOfAnEndedArenaServeTheNextUpToABound) {
    CArena::ReleaseSpareBlocks();
    // An arena of at least full + 1 blocks' size, most of them full ones.
    const auto fullBlocks = [](int32_t full) {
        auto arena = std::make_unique<CArena>();
        while (arena->Bytes() < static_cast<int64_t>(CArena::MAX_BLOCK) * (full + 1)) {
            std::memset(arena->Allocate(64 * 1024, 8), 0x5A, 64 * 1024);
        }
        return arena;
    };
    auto first = fullBlocks(4);
    EXPECT_EQ(CArena::SpareBlockCount(), 0);
    first.reset();
    EXPECT_GE(CArena::SpareBlockCount(), 3);
    // The same again takes every one of them.
    auto second = fullBlocks(4);
    EXPECT_EQ(CArena::SpareBlockCount(), 0);
    second.reset();
    // An arena of more full blocks than are kept gives the rest back to the system.
    fullBlocks(CArena::MAX_SPARE_BLOCKS + 3).reset();
    EXPECT_EQ(CArena::SpareBlockCount(), CArena::MAX_SPARE_BLOCKS);
    CArena::ReleaseSpareBlocks();
    EXPECT_EQ(CArena::SpareBlockCount(), 0);
}

TEST(Arena, TextsAreCopiedWithTheirNulsAndEndInOne) {
    CArena arena;
    const std::string bytes("a\0b", 3);
    const char* copy = arena.CopyText(bytes);
    EXPECT_EQ(std::string(copy, 4), std::string("a\0b\0", 4));
    EXPECT_STREQ(arena.CopyText(""), "");
}

TEST(Arena, ASharedObjectKeepsTheArenaAliveAlone) {
    auto arena = std::make_shared<CArena>();
    const int* value = arena->Make<int>(42);
    std::shared_ptr<const int> shared = arena->SharedFrom(value);
    const std::weak_ptr<CArena> watch = arena;
    arena.reset();
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(*shared, 42);
    shared.reset();
    EXPECT_TRUE(watch.expired());  // the last holder returned the blocks
    // An arena that is not shared hands out nothing that would claim to keep it.
    CArena local;
    EXPECT_EQ(local.SharedFrom(local.Make<int>(1)), nullptr);
}

TEST(ArenaText, BorrowedTextsCopyIntoTextsOfTheirOwn) {
    std::string copied;
    CText kept;
    {
        CArena arena;
        const CText borrowed = CText::In(arena, "R1");
        EXPECT_FALSE(borrowed.IsOwn());
        kept = borrowed;  // outlives the arena
        CText moved = CText::In(arena, "x");
        const CText taken(std::move(moved));
        EXPECT_FALSE(taken.IsOwn());
        EXPECT_TRUE(moved.empty());
        copied = borrowed.str();
    }
    EXPECT_TRUE(kept.IsOwn());
    EXPECT_EQ(kept, "R1");
    EXPECT_STREQ(kept.c_str(), "R1");
    EXPECT_EQ(copied, "R1");
    EXPECT_STREQ(CText().c_str(), "");
}

TEST(ArenaText, HeldArraysCopyIntoArraysOfTheirOwn) {
    CHeldArray<CText> kept;
    {
        CArena arena;
        std::vector<CText> items;
        items.push_back(CText::In(arena, "A"));
        items.push_back(CText::In(arena, "B"));
        const CHeldArray<CText> borrowed(items, &arena);
        EXPECT_FALSE(borrowed.IsOwn());
        kept = borrowed;
    }
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_TRUE(kept.IsOwn());
    EXPECT_TRUE(kept[0].IsOwn());
    EXPECT_EQ(kept[1], "B");
}

}  // namespace
}  // namespace qurix
