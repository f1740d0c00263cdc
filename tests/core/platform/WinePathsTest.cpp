#include "core/platform/WinePaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/library/LibrarySet.h"
#include "tests/ScratchFolder.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
const std::string BUHIN_UTF8 = "\xE9\x83\xA8\xE5\x93\x81";  // 部品
const std::string BUHIN_CP932 = "\x95\x94\x95\x69";

// A Wine prefix of its own: C: its drive_c, D: a folder outside it, Z: the root; the
// editor's INI in the user's Tolmera folder, files named as Wine stores them (UTF-8).
class WinePathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(prefix + "/dosdevices");
        fs::create_directories(ini + "/sub");
        fs::create_directories(prefix + "/drive_c/Kivox/Lib");
        fs::create_directories(data + "/" + BUHIN_UTF8);
        fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
        fs::create_directory_symlink(data, prefix + "/dosdevices/d:");
        fs::create_directory_symlink("/", prefix + "/dosdevices/z:");
        scratch.Write("wine/drive_c/Kivox/Lib/Analog.lib", "x");
        scratch.Write("data/" + BUHIN_UTF8 + "/logic.lib", "x");
        scratch.Write(iniRel + "/local.lib", "x");
    }

    test::ScratchFolder scratch;
    std::string prefix = scratch.Path() + "/wine";
    std::string data = scratch.Path() + "/data";
    std::string iniRel = "wine/drive_c/users/you/AppData/Local/Tolmera";
    std::string ini = scratch.Path() + "/" + iniRel;
};

TEST_F(WinePathsTest, WindowsPathsNameTheFilesWineOpens) {
    CWinePaths paths(ini + "/", 932, "/elsewhere", "/home/nobody");
    EXPECT_EQ(paths.Prefix(), prefix);
    const std::string c = prefix + "/dosdevices/c:/Kivox/Lib/Analog.lib";
    struct Case {
        std::string value;
        std::string expected;
    } cases[] = {
        {"C:\\Kivox\\lib\\analog.lib", c},
        {"c:/KIVOX/LIB/ANALOG.LIB", c},
        {"C:\\..\\..\\Kivox\\Lib\\Analog.lib", c},  // ".." stops at the drive's root
        {"D:\\" + BUHIN_CP932 + "\\LOGIC.lib",
         prefix + "/dosdevices/d:/" + BUHIN_UTF8 + "/logic.lib"},
        {".\\local.lib", ini + "/local.lib"},
        {"sub\\..\\LOCAL.LIB", ini + "/local.lib"},
        {"..\\Tolmera\\local.lib", ini.substr(0, ini.size() - 8) + "/Tolmera/local.lib"},
        {"\\Kivox\\Lib\\Analog.lib", c},                 // the root of the INI's own drive
        {"Q:\\x.lib", prefix + "/dosdevices/q:/x.lib"},  // no such drive: not found
        {"Z:" + data + "/logic.lib", prefix + "/dosdevices/z:" + data + "/logic.lib"},
        // Linux paths as always.
        {"/abs/x.lib", "/abs/x.lib"},
        {"rel/x.lib", ini + "/rel/x.lib"},
    };
    for (const auto& c : cases) EXPECT_EQ(paths.Resolve(c.value), c.expected) << c.value;
}

TEST_F(WinePathsTest, LinuxPathsInTheEditorsForm) {
    const CWinePaths paths(ini + "/", 932, "", "");
    struct Case {
        std::string path;
        CWinePaths::ToWindowsResult result;
        std::string expected;
    } cases[] = {
        {prefix + "/drive_c/Kivox/Lib/Analog.lib", CWinePaths::ToWindowsResult::Done,
         "C:\\Kivox\\Lib\\Analog.lib"},
        {data + "/" + BUHIN_UTF8 + "/logic.lib", CWinePaths::ToWindowsResult::Done,
         "D:\\" + BUHIN_CP932 + "\\logic.lib"},
        {"/no/such/\xC3\xA9.lib", CWinePaths::ToWindowsResult::NotInCodePage, ""},
        {"/" + std::string(258, 'a'), CWinePaths::ToWindowsResult::TooLong, ""},
    };
    for (const auto& c : cases) {
        std::string windows;
        EXPECT_EQ(paths.ToWindows(c.path, windows), c.result) << c.path;
        if (!c.expected.empty()) {
            EXPECT_EQ(windows, c.expected) << c.path;
        }
    }
    std::string windows;
    EXPECT_EQ(paths.ToWindows("/etc", windows), CWinePaths::ToWindowsResult::Done);
    EXPECT_EQ(windows, "Z:\\etc");
}

// The editor's INI in the prefix loads every library it names the Windows way.
TEST_F(WinePathsTest, LibrarySetLoadsWindowsPaths) {
    const std::string part = "+KIVOX_LIB_V.1.0\n+COMP,N:A,X:2,Y:1,B:1,-COMP\n-KIVOX_LIB_V.1.0\n";
    scratch.Write("wine/drive_c/Kivox/Lib/Analog.lib", part);
    scratch.Write("data/" + BUHIN_UTF8 + "/logic.lib", part);
    const std::string path = scratch.Write(
        iniRel + "/KIVOX.INI", "[Library]\r\nLIB0=C:\\KIVOX\\LIB\\ANALOG.LIB\r\nLIB1=D:\\" +
                                   BUHIN_CP932 + "\\logic.lib\r\n");
    CLibrarySet set;
    EXPECT_TRUE(set.LoadLibrarySet(CProfile(path), ini + "/"));
    EXPECT_EQ(set.Count(), 2);
}
#endif

}  // namespace
}  // namespace qurix
