#include "palette/LibraryList.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace qurix {
namespace {

TEST(LibraryDisplayName, DropsFolderAndExtension) {
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\lib\\std.lib", "std"},
        {"/usr/share/kivox/std.lib", "std"},
        {"std.lib", "std"},
        {"noext", "noext"},
        {"/a.b/noext", "noext"},
        {"two.dots.lib", "two.dots"},
        {".lib", ""},
        {"folder/", ""},
        {"", ""},
        // Shift-JIS "表示" ends in 0x5C, which is no separator inside the character.
        {"D:\\lib\\\x95\x5C\x8E\xA6.lib", "\x95\x5C\x8E\xA6"},
        {"\x95\x5C.lib", "\x95\x5C"},
        // UTF-8 names split at every separator.
        {"/lib/表示.lib", "表示"},
        // A colon is a separator only after a drive letter.
        {"/home/u/rev:2.lib", "rev:2"},
        {"D:std.lib", "std"},
        {"D:\\x:y.lib", "x:y"},
        {"1:a.lib", "1:a"},
        {"ab:c.lib", "ab:c"},
    };
    for (const auto& [path, want] : cases) EXPECT_EQ(LibraryDisplayName(path), want) << path;
}

TEST(LibraryList, TheRestoredRow) {
    const std::vector<std::string> paths = {"a.lib", "b.lib", "c.lib"};
    const struct {
        int32_t remembered;
        const char* place;
        int32_t row;
    } cases[] = {
        {1, "", 1},          // the row selected last
        {1, "c.lib", 2},     // a reload puts its library back
        {1, "gone.lib", 1},  // a library no longer there: the remembered row
        {3, "", 0},          // beyond the rows: the first
        {-1, "", 0},         // a strange INI value: the first
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RestoredLibraryRow(paths, c.remembered, c.place), c.row) << c.remembered;
    }
    EXPECT_EQ(RestoredLibraryRow({}, 2, ""), 0);
}

}  // namespace
}  // namespace qurix
