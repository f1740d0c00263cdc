#include "palette/ChangeDetector.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/platform/FileIo.h"
#include "tests/ScratchFolder.h"

namespace qurix {
namespace {

using Paths = std::vector<std::string>;

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ChangeDetector, ReportsWhatChangedOnceAndHoldsWhileBusy) {
    test::ScratchFolder folder;
    const std::string a = folder.File("a.lib");
    const std::string b = folder.File("b.lib");
    const std::string missing = folder.File("later.lib");
    Write(a, "one");
    Write(b, "two");
    CChangeDetector detector;
    detector.Watch({a, b, missing, ""});
    EXPECT_EQ(detector.Files(), (Paths{a, b}));  // only what exists
    EXPECT_EQ(detector.Folders(), (Paths{folder.Path(), folder.Path(), folder.Path()}));

    const struct {
        const char* what;
        std::function<void()> change;
        bool canReport;
        bool hold;
        Paths changed;
    } steps[] = {
        {"nothing changed", [] {}, true, false, {}},
        {"a grows", [&] { Write(a, "one more"); }, true, false, {a}},
        {"reported once only", [] {}, true, false, {}},
        {"busy: held", [&] { Write(b, "changed"); }, false, true, {}},
        {"after the build", [] {}, true, false, {b}},
        {"a file appears", [&] { Write(missing, "new"); }, true, false, {missing}},
        {"renamed over",
         [&] {
             Write(folder.File("tmp"), "renamed in place");
             RenameOver(folder.File("tmp"), a);
         },
         true,
         false,
         {a}},
        {"removed", [&] { RemoveFile(b); }, true, false, {b}},
    };
    for (const auto& s : steps) {
        s.change();
        const CChangeDetector::Decision d = detector.Settle(s.canReport);
        EXPECT_EQ(d.hold, s.hold) << s.what;
        EXPECT_EQ(d.changed, s.changed) << s.what;
    }
}

TEST(ChangeDetector, OwnWritesAndAutoReloadOffAreNoChange) {
    test::ScratchFolder folder;
    const std::string ini = folder.File("KIVOX.INI");
    Write(ini, "[qurix]\n");
    CChangeDetector detector;
    detector.Watch({ini});
    Write(ini, "[qurix]\nparts_style=1\n");
    detector.Rearm();  // the palette's own write
    EXPECT_TRUE(detector.Settle(true).changed.empty());
    detector.SetEnabled(false);
    Write(ini, "[qurix]\nparts_style=2\n");
    EXPECT_TRUE(detector.Settle(true).changed.empty());
    detector.SetEnabled(true);
    EXPECT_TRUE(detector.Settle(true).changed.empty());  // taken in silently before
}

// A library whose folder is deleted is watched through the nearest folder above it, and
// reported once the folder and the file are back.
TEST(ChangeDetector, AFolderThatGoesIsWatchedFromAbove) {
    test::ScratchFolder scratch;
    const std::string libs = scratch.File("parts/libs");
    std::filesystem::create_directories(libs);
    const std::string lib = libs + "/a.lib";
    Write(lib, "one");
    CChangeDetector detector;
    detector.Watch({lib});
    EXPECT_EQ(detector.Folders(), Paths{libs});
    std::filesystem::remove_all(scratch.File("parts"));
    EXPECT_EQ(detector.Settle(true).changed, Paths{lib});
    EXPECT_EQ(detector.Folders(), Paths{scratch.Path()});
    std::filesystem::create_directories(libs);
    EXPECT_EQ(detector.Folders(), Paths{libs});
    Write(lib, "two");
    EXPECT_EQ(detector.Settle(true).changed, Paths{lib});
}

}  // namespace
}  // namespace qurix
