#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "core/platform/FileReplace.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Which way each kind of target is written, and that the bytes arrive.
TEST(FileReplace, ChoosesTheReplaceThatKeepsTheFile) {
    const fs::path dir =
        fs::temp_directory_path() /
        ("qurix-replace-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    struct Case {
        const char* name;
        const char* file;                              // the target, inside the scratch folder
        std::function<void(const fs::path&)> prepare;  // makes what the target names
        ReplaceMethod expected;
    } cases[] = {
        {"plain file: atomic", "t", [](const fs::path& t) { std::ofstream(t) << "old"; },
         ReplaceMethod::Atomic},
        {"new file: atomic", "t", [](const fs::path&) {}, ReplaceMethod::Atomic},
        {"hard-linked file: in place (a rename would split the links)", "t",
         [](const fs::path& t) {
             std::ofstream(t) << "old, longer than the new bytes";
             fs::create_hard_link(t, t.parent_path() / "twin");
         },
         ReplaceMethod::InPlace},
        {"folder: refused", "t", [](const fs::path& t) { fs::create_directory(t); },
         ReplaceMethod::Failed},
        {"missing folder: refused", "no/t", [](const fs::path&) {}, ReplaceMethod::Failed},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        const fs::path target = dir / c.file;
        c.prepare(target);
        EXPECT_EQ(ReplaceFileContents(target.string(), "new\n"), c.expected) << c.name;
        if (c.expected != ReplaceMethod::Failed) {
            EXPECT_EQ(Slurp(target), "new\n") << c.name;
            if (fs::exists(dir / "twin")) {
                EXPECT_EQ(Slurp(dir / "twin"), "new\n") << c.name;
            }
        }
        // No temporary file is left behind.
        size_t entries = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++entries;
        EXPECT_LE(entries, fs::exists(dir / "twin") ? 2u : 1u) << c.name;
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace qurix
