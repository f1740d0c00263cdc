#include "palette/CacheLocation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/ScratchFolder.h"

namespace qurix {
namespace {

struct CacheCase {
    const char* what;
    const char* cwd;
    const char* ini;
    bool localExists;
    const char* xdg;
    const char* home;
    const char* appData;
    bool windows;
    const char* folder;  // "<d>" stands for the INI path's digest
};

const CacheCase CACHE_CASES[] = {
    // The editor's setup: started in the INI's folder.
    {"ini folder", "/e", "/e/KIVOX.INI", false, "/x", "/h", "", false, "/e/cache"},
    {"ini folder with slash", "/e/", "/e/KIVOX.INI", false, "/x", "/h", "", false, "/e/cache"},
    // An existing ./cache is used wherever it is.
    {"cache exists", "/w", "/e/KIVOX.INI", true, "/x", "/h", "", false, "/w/cache"},
    // Started from the desktop menu in ~: the user's cache folder, not ~/cache.
    {"elsewhere", "/h", "/e/KIVOX.INI", false, "/x", "/h", "", false, "/x/qurix/<d>"},
    {"xdg unset", "/h", "/e/KIVOX.INI", false, "", "/h", "", false, "/h/.cache/qurix/<d>"},
    // A relative XDG_CACHE_HOME is ignored, as the XDG base-directory rules ask.
    {"xdg relative", "/h", "/e/KIVOX.INI", false, "rel", "/h", "", false, "/h/.cache/qurix/<d>"},
    {"no home", "/h", "/e/KIVOX.INI", false, "", "", "", false, "/h/cache"},
    {"no working folder", "", "/e/KIVOX.INI", false, "/x", "/h", "", false, "cache"},
    {"windows elsewhere", "C:\\w", "D:\\e\\KIVOX.INI", false, "", "", "C:\\u\\AppData\\Local", true,
     "C:\\u\\AppData\\Local\\Tolmera\\qurix\\<d>"},
    // Windows folders match ignoring case and separator.
    {"windows ini folder", "d:/E", "D:\\e\\KIVOX.INI", false, "", "", "C:\\L", true, "d:/E\\cache"},
};

class CacheFolderChoice : public ::testing::TestWithParam<CacheCase> {};

TEST_P(CacheFolderChoice, FollowsTheRule) {
    const CacheCase& c = GetParam();
    CacheLocationInputs in;
    in.currentFolder = c.cwd;
    in.configPath = c.ini;
    in.localCacheExists = c.localExists;
    in.xdgCacheHome = c.xdg;
    in.home = c.home;
    in.localAppData = c.appData;
    in.style = c.windows ? WINDOWS_CP932_PATHS : POSIX_PATHS;
    std::string want = c.folder;
    if (const size_t at = want.find("<d>"); at != std::string::npos)
        want.replace(at, 3, ConfigPathDigest(c.ini));
    EXPECT_EQ(ChooseCacheFolder(in), want);
}

INSTANTIATE_TEST_SUITE_P(Cases, CacheFolderChoice, ::testing::ValuesIn(CACHE_CASES));

TEST(CacheFolderDigest, DiffersPerIniAndIsAFolderName) {
    EXPECT_EQ(ConfigPathDigest("/a/KIVOX.INI").size(), 8u);
    EXPECT_NE(ConfigPathDigest("/a/KIVOX.INI"), ConfigPathDigest("/b/KIVOX.INI"));
    EXPECT_EQ(ConfigPathDigest("/a/KIVOX.INI"), ConfigPathDigest("/a/KIVOX.INI"));
}

#ifndef _WIN32
TEST(CacheFolderWrite, ProbedWithoutMakingAnythingAndRefusedInAReadOnlyFolder) {
    test::ScratchFolder dir;
    EXPECT_TRUE(CanWriteInFolder(dir.File("x/qurix/abc")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));  // the probe leaves nothing
    std::filesystem::create_directories(dir.File("ro"));
    std::filesystem::permissions(
        dir.File("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    // Root may write anyway; the rule is only checked where it holds.
    if (!CanWriteInFolder(dir.File("ro/probe"))) {
        EXPECT_FALSE(std::filesystem::exists(dir.File("ro/probe")));
    }
}
#endif

}  // namespace
}  // namespace qurix
