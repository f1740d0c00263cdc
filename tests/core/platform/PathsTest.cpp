#include <gtest/gtest.h>

#include "core/platform/Paths.h"

namespace qurix {
namespace {

const PathStyle& Posix() {
    return POSIX_PATHS;
}
const PathStyle& Win() {
    return WINDOWS_CP932_PATHS;
}

// "表" in CP932 ends with 0x5C, the byte of '\'.
#define HYO "\x95\x5C"

TEST(Paths, RelativeOrNot) {
    struct Case {
        const PathStyle& style;
        const char* path;
        bool relative;
    } cases[] = {
        {Posix(), "lib/a.lib", true},
        {Posix(), "", true},
        {Posix(), "/abs/a.lib", false},
        {Posix(), "C:\\a.lib", true},      // only '/' roots a path here
        {Posix(), "a:b.lib", true},        // a colon is a plain byte
        {Win(), "lib\\a.lib", true},       // plain relative
        {Win(), "C:\\lib\\a.lib", false},  // drive and root
        {Win(), "C:a.lib", false},         // drive-relative: taken as it stands, like the editor
        {Win(), "\\lib\\a.lib", false},    // root of the current drive
        {Win(), "\\\\srv\\share\\a.lib", false},  // UNC
        {Win(), "/lib/a.lib", true},              // PathIsRelativeA looks for '\' only
        {Win(),
         "\x83"
         ":a.lib",
         true},  // ':' as a trail byte names no drive
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsRelativePath(c.path, c.style), c.relative)
            << c.path << (c.style.windows ? " (Windows)" : " (POSIX)");
    }
}

TEST(Paths, FolderAndCombine) {
    struct Case {
        const PathStyle& style;
        const char* path;
        const char* folder;         // FolderOfPath(path)
        const char* combinedWithX;  // CombinePath(folder, "x.lib")
    } cases[] = {
        {Posix(), "/a/b/KIVOX.INI", "/a/b/", "/a/b/x.lib"},
        {Posix(), "KIVOX.INI", "", "x.lib"},
        {Posix(), "/KIVOX.INI", "/", "/x.lib"},
        {Posix(), "/a/b:c/KIVOX.INI", "/a/b:c/", "/a/b:c/x.lib"},  // ':' is no separator
        {Posix(), "/a\\b/K.INI", "/a\\b/", "/a\\b/x.lib"},         // nor is '\'
        {Win(), "C:\\a\\KIVOX.INI", "C:\\a\\", "C:\\a\\x.lib"},
        {Win(), "C:/a/KIVOX.INI", "C:/a/", "C:/a/x.lib"},
        {Win(), "C:KIVOX.INI", "C:", "C:\\x.lib"},
        {Win(), "KIVOX.INI", "", "x.lib"},
        {Win(), "C:\\" HYO "\\K.INI", "C:\\" HYO "\\", "C:\\" HYO "\\x.lib"},
        {Win(), "C:\\" HYO "K.INI", "C:\\", "C:\\x.lib"},  // the 5C inside "表" is no separator
    };
    for (const auto& c : cases) {
        const std::string folder = FolderOfPath(c.path, c.style);
        EXPECT_EQ(folder, c.folder) << c.path;
        EXPECT_EQ(CombinePath(folder, "x.lib", c.style), c.combinedWithX) << c.path;
    }
    // A folder that ends in "表" still needs its separator.
    EXPECT_EQ(CombinePath("C:\\" HYO, "x.lib", Win()), "C:\\" HYO "\\x.lib");
    EXPECT_EQ(CombinePath("/a", "x.lib", Posix()), "/a/x.lib");
}

}  // namespace
}  // namespace qurix
