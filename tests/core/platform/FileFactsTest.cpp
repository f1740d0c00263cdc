#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "core/platform/FileIo.h"
#include "core/platform/FileTime.h"
#include "core/platform/Paths.h"
#include "core/platform/TempFiles.h"
#include "core/platform/UserFolders.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

// The seconds come back as they were set, past 2038 too, and nothing is no time.
TEST(FileTime, LastWriteSecondsRoundTrip) {
    const std::string dir = MakeTemporaryFolder("qurix-time-");
    ASSERT_FALSE(dir.empty());
    const std::string file = dir + "/f.lib";
    std::ofstream(file) << "x";
    const int64_t times[] = {
        1,           // just after the epoch
        1000000000,  // 2001
        2147483647,  // the last second a 32-bit time holds
        4102444800,  // 2100
    };
    for (const int64_t t : times) {
        const auto when = std::chrono::sys_seconds(std::chrono::seconds(t));
        fs::last_write_time(file, std::chrono::file_clock::from_sys(when));
        int64_t got = -1;
        EXPECT_TRUE(LastWriteSeconds(file, got)) << t;
        EXPECT_EQ(got, t);
    }
    int64_t untouched = 7;
    EXPECT_FALSE(LastWriteSeconds(dir + "/missing.lib", untouched));
    EXPECT_EQ(untouched, 7);
    fs::remove_all(dir);
}

TEST(UserFolders, XdgRules) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/x/cfg", "/home/u", "/x/cfg"},            // XDG_CONFIG_HOME wins
        {"rel/cfg", "/home/u", "/home/u/.config"},  // a relative value is ignored
        {nullptr, "/home/u/", "/home/u/.config"},   // no doubled separator
        {"", "relative", ""},                       // nothing usable
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XdgConfigFolder(c.xdg, c.home), c.expected)
            << (c.xdg ? c.xdg : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
}

TEST(UserFolders, WindowsLocalAppDataExists) {
    if (!NativePathStyle().windows) GTEST_SKIP() << "the environment decides off Windows";
    const std::string folder = PerUserDataFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_FALSE(IsRelativePath(folder)) << folder;
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
}

}  // namespace
}  // namespace qurix

namespace qurix {
namespace {

// The file operations of the palette's cache, on a file, a folder and nothing.
TEST(FileIo, FilesFoldersAndRenames) {
    const std::string dir = MakeTemporaryFolder("qurix-io-");
    ASSERT_FALSE(dir.empty());
    const std::string a = CombinePath(dir, "a.cache");
    const std::string b = CombinePath(dir, "b.cache");
    std::ofstream(a, std::ios::binary) << "12345";
    std::ofstream(b, std::ios::binary) << "old";
    int64_t size = -1;
    int64_t time = 0;
    EXPECT_TRUE(RegularFileInfo(a, size, time));
    EXPECT_EQ(size, 5);
    EXPECT_FALSE(RegularFileInfo(dir, size, time));  // a folder is no file
    EXPECT_FALSE(RegularFileInfo(CombinePath(dir, "none"), size, time));
    EXPECT_FALSE(RegularFileInfo(std::string("a\0b", 3), size, time));
    std::FILE* f = OpenFile(a, "rb");
    ASSERT_NE(f, nullptr);
    uintmax_t open = 0;
    EXPECT_TRUE(OpenFileSize(f, open));
    EXPECT_EQ(open, 5u);
    std::fclose(f);

    EXPECT_TRUE(RenameOver(a, b));  // replaces the old file
    EXPECT_TRUE(IsMissingFile(a));
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(b, bytes));
    EXPECT_EQ(bytes, "12345");
    EXPECT_FALSE(RenameOver(a, b));  // nothing to rename

    const std::string sub = CombinePath(dir, "cache");
    EXPECT_FALSE(IsFolder(sub));
    EXPECT_TRUE(MakeFolder(sub));
    EXPECT_TRUE(MakeFolder(sub));  // already there
    EXPECT_TRUE(IsFolder(sub));
    EXPECT_FALSE(MakeFolder(CombinePath(dir, "x/y")));  // one level only
    EXPECT_FALSE(IsFolder(b));

    EXPECT_TRUE(RemoveFile(b));
    EXPECT_FALSE(RemoveFile(b));
    EXPECT_FALSE(CurrentFolder().empty());
    fs::remove_all(dir);
}

}  // namespace
}  // namespace qurix
