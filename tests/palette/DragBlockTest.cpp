#include "palette/DragBlock.h"

#include <gtest/gtest.h>

#include <string>

namespace qurix {
namespace {

TEST(DragBlock, LayoutOfTheEditorsExample) {
    std::string block;
    ASSERT_TRUE(MakeDragBlock("D:\\lib\\std.lib", "NAND2", block));
    ASSERT_EQ(block.size(), 520u);
    EXPECT_EQ(block.substr(0, 14), "D:\\lib\\std.lib");
    for (size_t i = 14; i < 260; ++i) ASSERT_EQ(block[i], '\0') << "byte " << i;
    EXPECT_EQ(block.substr(260, 5), "NAND2");
    for (size_t i = 265; i < 520; ++i) ASSERT_EQ(block[i], '\0') << "byte " << i;
}

TEST(DragBlock, FieldBoundaries) {
    struct Case {
        size_t pathLength;
        size_t nameLength;
        bool made;
    };
    const Case cases[] = {
        {1, 1, true},      {258, 1, true},   {259, 1, true},  {260, 1, false},
        {261, 1, false},   {1, 259, true},   {1, 260, false}, {259, 259, true},
        {260, 260, false}, {1000, 5, false}, {0, 5, false},   {5, 0, false},
    };
    for (const Case& c : cases) {
        const std::string path(c.pathLength, 'p');
        const std::string name(c.nameLength, 'n');
        std::string block = "stale";
        const bool made = MakeDragBlock(path, name, block);
        EXPECT_EQ(made, c.made) << c.pathLength << "/" << c.nameLength;
        if (!made) {
            EXPECT_TRUE(block.empty());
            continue;
        }
        ASSERT_EQ(block.size(), DRAG_BLOCK_SIZE);
        // A 259-byte text leaves exactly its terminating NUL in the field.
        EXPECT_EQ(block[c.pathLength], '\0');
        EXPECT_EQ(block[DRAG_FIELD_SIZE + c.nameLength], '\0');
        if (c.pathLength > 0) {
            EXPECT_EQ(block[c.pathLength - 1], 'p');
        }
        EXPECT_EQ(block[DRAG_FIELD_SIZE], 'n');

        std::string gotPath;
        std::string gotName;
        bool padded = false;
        ASSERT_TRUE(DecodeDragBlock(block, gotPath, gotName, &padded));
        EXPECT_EQ(gotPath, path);
        EXPECT_EQ(gotName, name);
        EXPECT_TRUE(padded);
    }
}

TEST(DragBlock, RefusesEmbeddedNul) {
    std::string block;
    EXPECT_FALSE(MakeDragBlock(std::string("a\0b", 3), "X", block));
    EXPECT_FALSE(MakeDragBlock("a", std::string("X\0Y", 3), block));
}

TEST(DragBlock, ShiftJisBytesPassUnchanged) {
    const std::string path = "C:\\\x83\x89\x83\x43\x83\x75\x83\x89\x83\x8A\\std.lib";
    const std::string name = "\x92\xEF\x8D\x52\xFF\x80";
    std::string block;
    ASSERT_TRUE(MakeDragBlock(path, name, block));
    std::string gotPath;
    std::string gotName;
    ASSERT_TRUE(DecodeDragBlock(block, gotPath, gotName));
    EXPECT_EQ(gotPath, path);
    EXPECT_EQ(gotName, name);
}

TEST(DragBlock, DecodeRejectsMalformedBlocks) {
    std::string block;
    ASSERT_TRUE(MakeDragBlock("lib", "part", block));
    std::string path;
    std::string name;

    for (size_t size : {size_t{0}, size_t{1}, size_t{259}, size_t{260}, size_t{519}}) {
        EXPECT_FALSE(DecodeDragBlock(block.substr(0, size), path, name)) << size;
        EXPECT_TRUE(path.empty());
        EXPECT_TRUE(name.empty());
    }

    std::string noPathNul = block;
    for (size_t i = 0; i < 260; ++i) noPathNul[i] = 'x';
    EXPECT_FALSE(DecodeDragBlock(noPathNul, path, name));

    std::string noNameNul = block;
    for (size_t i = 260; i < 520; ++i) noNameNul[i] = 'y';
    EXPECT_FALSE(DecodeDragBlock(noNameNul, path, name));

    // Longer blocks are read (a platform may round the allocation up).
    std::string longer = block + std::string(16, '\x7F');
    bool padded = false;
    ASSERT_TRUE(DecodeDragBlock(longer, path, name, &padded));
    EXPECT_EQ(path, "lib");
    EXPECT_EQ(name, "part");
    EXPECT_TRUE(padded);

    // Junk behind a NUL is reported, not hidden.
    std::string junk = block;
    junk[200] = 'j';
    ASSERT_TRUE(DecodeDragBlock(junk, path, name, &padded));
    EXPECT_EQ(path, "lib");
    EXPECT_FALSE(padded);
    junk = block;
    junk[519] = 'j';
    ASSERT_TRUE(DecodeDragBlock(junk, path, name, &padded));
    EXPECT_FALSE(padded);
}

// The refusal rules a drag from the list follows, in the order they are checked.
TEST(DragBlock, RefusalReasons) {
    struct Case {
        std::string path;
        std::string name;
        DragRefusal want;
    };
    const Case cases[] = {
        {"a.lib", "R", DragRefusal::None},
        {"", "R", DragRefusal::NoLibrary},                    // nothing to drag from
        {std::string(260, 'p'), "R", DragRefusal::LongPath},  // path first
        {std::string(260, 'p'), std::string(260, 'n'), DragRefusal::LongPath},
        {"a.lib", std::string(260, 'n'), DragRefusal::LongName},
        {"a.lib", "", DragRefusal::Other},                  // an empty name
        {std::string("a\0b", 3), "R", DragRefusal::Other},  // a NUL in the path
    };
    for (const Case& c : cases) {
        std::string block = "stale";
        EXPECT_EQ(MakePartDragBlock(c.path, c.name, block), c.want) << c.path.size();
        EXPECT_EQ(block.size(), c.want == DragRefusal::None ? DRAG_BLOCK_SIZE : 0u);
    }
}

#ifndef _WIN32
// On Linux the block names the library as the editor under Wine opens it: on Z: (no
// prefix here), in its code page; a path it cannot spell, or too long there, is refused.
TEST(DragBlock, EditorsFormUnderWine) {
    const CWinePaths editor("/nowhere/", 932, "/nowhere/prefix", "");
    struct Case {
        std::string path;
        DragRefusal want;
        std::string blockPath;
    } cases[] = {
        {"/lib/\xE9\x83\xA8\xE5\x93\x81/a.lib", DragRefusal::None,
         "Z:\\lib\\\x95\x94\x95\x69\\a.lib"},
        {"/lib/\xC3\xA9.lib", DragRefusal::NotInCodePage, ""},
        {"/" + std::string(257, 'p'), DragRefusal::LongPath, ""},  // "Z:\\" makes 260
    };
    for (const Case& c : cases) {
        std::string block;
        EXPECT_EQ(MakePartDragBlock(c.path, "R", block, &editor), c.want) << c.path;
        std::string path;
        std::string name;
        if (c.want == DragRefusal::None && DecodeDragBlock(block, path, name)) {
            EXPECT_EQ(path, c.blockPath);
        }
    }
}
#endif

}  // namespace
}  // namespace qurix
