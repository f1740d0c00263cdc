#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

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
