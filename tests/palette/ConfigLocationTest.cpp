#include "palette/ConfigLocation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/ScratchFolder.h"

// The per-user folder taken here is XDG's; Windows' own is tested with core/platform.
#ifndef _WIN32
namespace qurix {
namespace {

namespace fs = std::filesystem;

class RealFolders : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(scratch_.Path().empty());
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "work");
        fs::create_directories(root_ / "cfg" / "Tolmera");
        oldCwd_ = fs::current_path();
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        hadXdg_ = xdg != nullptr;
        if (xdg) oldXdg_ = xdg;
        setenv("XDG_CONFIG_HOME", (root_ / "cfg").c_str(), 1);
    }
    void TearDown() override {
        fs::current_path(oldCwd_);
        if (hadXdg_) {
            setenv("XDG_CONFIG_HOME", oldXdg_.c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }
    void Touch(const fs::path& p) { std::ofstream(p) << "[Library]\n"; }
    std::string Exe() const { return (root_ / "bin" / "qurix").string(); }

    test::ScratchFolder scratch_;
    fs::path root_{scratch_.Path()};
    fs::path oldCwd_;
    std::string oldXdg_;
    bool hadXdg_ = false;
};

TEST_F(RealFolders, CanOpenForReadingWantsARegularFile) {
    Touch(root_ / "work" / "KIVOX.INI");
    fs::create_directories(root_ / "bin" / "KIVOX.INI");
    EXPECT_TRUE(CanOpenForReading((root_ / "work" / "KIVOX.INI").string()));
    EXPECT_FALSE(CanOpenForReading((root_ / "bin" / "KIVOX.INI").string()));
    EXPECT_FALSE(CanOpenForReading((root_ / "missing.ini").string()));
    EXPECT_FALSE(CanOpenForReading(""));
}

TEST_F(RealFolders, WorkingFolderThenPerUserThenProgramFolder) {
    const std::string work = (root_ / "work" / "KIVOX.INI").string();
    const std::string user = (root_ / "cfg" / "Tolmera" / "KIVOX.INI").string();
    const std::string bin = (root_ / "bin" / "KIVOX.INI").string();

    // Nothing anywhere: the program folder's path, to be created by the first write.
    fs::current_path(root_ / "work");
    EXPECT_EQ(LocateConfigFile(RealConfigLocationInputs(Exe())), bin);

    Touch(user);
    EXPECT_EQ(LocateConfigFile(RealConfigLocationInputs(Exe())), user);

    Touch(work);
    EXPECT_EQ(LocateConfigFile(RealConfigLocationInputs(Exe())), work);

    // Run from the program's own folder: its file is looked at only after the per-user one.
    Touch(bin);
    fs::current_path(root_ / "bin");
    EXPECT_EQ(LocateConfigFile(RealConfigLocationInputs(Exe())), user);
    fs::remove(user);
    EXPECT_EQ(LocateConfigFile(RealConfigLocationInputs(Exe())), bin);
}

TEST_F(RealFolders, AFolderNamedLikeTheFileIsPassedOver) {
    fs::create_directories(root_ / "work" / "KIVOX.INI");
    Touch(root_ / "cfg" / "Tolmera" / "KIVOX.INI");
    fs::current_path(root_ / "work");
    EXPECT_EQ(LocateConfigFile(RealConfigLocationInputs(Exe())),
              (root_ / "cfg" / "Tolmera" / "KIVOX.INI").string());
}

TEST_F(RealFolders, ARemovedWorkingFolderIsNotSearched) {
    fs::create_directories(root_ / "gone");
    fs::current_path(root_ / "gone");
    fs::remove(root_ / "gone");
    const ConfigLocationInputs in = RealConfigLocationInputs(Exe());
    EXPECT_EQ(LocateConfigFile(in), (root_ / "bin" / "KIVOX.INI").string());
}

TEST_F(RealFolders, FirstStartTheGivenFileThenTheRememberedOneThenTheRule) {
    ConfigLocationInputs in = RealConfigLocationInputs(Exe());
    in.currentDirectory = (root_ / "bin").string();  // the installed program's folder
    const std::string own = PaletteDataFolder();
    EXPECT_EQ(own, (root_ / "cfg" / "qurix").string());
    // Nothing anywhere: not found, with every place looked at.
    ConfigChoice none = ChooseConfigFile(in, "", RememberedConfigFile(own));
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.path, (root_ / "bin" / "KIVOX.INI").string());
    EXPECT_GE(none.looked.size(), 2u);
    EXPECT_EQ(fs::exists(root_ / "bin" / "KIVOX.INI"), false);  // looking made nothing
    EXPECT_EQ(FirstStartPlaces(none), none.looked);

    const fs::path chosen = root_ / "editor" / "KIVOX.INI";
    fs::create_directories(chosen.parent_path());
    Touch(chosen);
    ASSERT_TRUE(RememberConfigFile(own, chosen.string()));
    EXPECT_EQ(RememberedConfigFile(own), chosen.string());
    // Kept in the palette's own file, found again at the next start.
    ConfigChoice later = ChooseConfigFile(in, "", RememberedConfigFile(own));
    EXPECT_TRUE(later.found);
    EXPECT_EQ(later.path, chosen.string());
    // The command line wins, found or not; a remembered file that went is passed over.
    EXPECT_EQ(ChooseConfigFile(in, "/x/KIVOX.INI", chosen.string()).path, "/x/KIVOX.INI");
    EXPECT_FALSE(ChooseConfigFile(in, "/x/KIVOX.INI", chosen.string()).found);
    // The page names a given file that is not there before the rule's places.
    const std::vector<std::string> places =
        FirstStartPlaces(ChooseConfigFile(in, "/x/KIVOX.INI", ""));
    EXPECT_EQ(places.front(), "/x/KIVOX.INI");
    EXPECT_EQ(places.size(), none.looked.size() + 1);
    fs::remove(chosen);
    EXPECT_EQ(ChooseConfigFile(in, "", chosen.string()).path, none.path);
    EXPECT_TRUE(RememberedConfigFile("").empty());
}

}  // namespace
}  // namespace qurix
#endif
