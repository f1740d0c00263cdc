// Load, write, load, write: the two writings must be the same bytes, for the test
// libraries here and for every sample library that ships in examples/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/platform/TempFiles.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "tests/core/TextReader.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

std::string Write(const CPartLibrary& lib) {
    return test::WrittenText([&](CRecordWriter& w) { return lib.WriteLibrary(w); });
}

bool LoadText(CPartLibrary& lib, const std::string& text) {
    FILE* file = OpenBytesAsFile(text);
    if (!file) return false;
    const bool ok = lib.LoadStream(file, "dump");
    std::fclose(file);
    return ok;
}

void ExpectRoundTrip(const std::string& path) {
    SCOPED_TRACE(path);
    CPartLibrary original;
    ASSERT_TRUE(original.LoadFile(path));
    const std::string once = Write(original);
    CPartLibrary again;
    ASSERT_TRUE(LoadText(again, once));
    ASSERT_EQ(again.EntryCount(), original.EntryCount());
    for (int32_t i = 0; i < original.EntryCount(); ++i) {
        EXPECT_EQ(again.Entry(i)->Name(), original.Entry(i)->Name());
        EXPECT_EQ(again.Entry(i)->PinCount(), original.Entry(i)->PinCount());
        EXPECT_EQ(again.Entry(i)->Pattern() != nullptr, original.Entry(i)->Pattern() != nullptr);
    }
    EXPECT_EQ(again.PropertyText(), original.PropertyText());
    EXPECT_EQ(Write(again), once);
}

std::vector<std::string> FilesIn(const fs::path& dir, const std::vector<std::string>& exts) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        const std::string ext = e.path().extension().string();
        if (e.is_regular_file() && std::find(exts.begin(), exts.end(), ext) != exts.end()) {
            files.push_back(e.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(LibraryRoundTrip, TestLibraries) {
    const auto files =
        FilesIn(fs::path(QURIX_SOURCE_DIR) / "tests/core/data/library", {".lib", ".kvx"});
    ASSERT_GE(files.size(), 2u);
    for (const std::string& f : files) ExpectRoundTrip(f);
}

TEST(LibraryRoundTrip, WritingAnAliasGivesAFullCopy) {
    CPartLibrary lib;
    ASSERT_TRUE(
        lib.LoadFile(std::string(QURIX_SOURCE_DIR) + "/tests/core/data/library/roundtrip.lib"));
    const std::string text = Write(lib);
    EXPECT_NE(text.find("+PTN,N:NAND2,X:40,Y:30\n"), std::string::npos);
    EXPECT_NE(text.find("+COMP,N:NAND2\nX:4,Y:3,B:4\nR:U\nP:NAND2\n"), std::string::npos);
    EXPECT_NE(text.find("+COMP,N:R(1)\n"), std::string::npos);
    EXPECT_EQ(text.rfind("+KIVOX_LIB_V.1.0\nPROP:Round-trip%20test%20library\n", 0), 0u);
    EXPECT_EQ(text.find("ALIAS"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 17), "-KIVOX_LIB_V.1.0\n");
}

TEST(LibraryRoundTrip, PartWithoutANameIsLeftOutAndReported) {
    CPartLibrary lib;
    ASSERT_TRUE(LoadText(lib, "+KIVOX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n+COMP,X:1"));
    ASSERT_EQ(lib.EntryCount(), 2);
    std::string out;
    CRecordWriter writer(&out);
    EXPECT_FALSE(lib.WriteLibrary(writer));
    EXPECT_EQ(out,
              "+KIVOX_LIB_V.1.0\nPROP:\n+COMP,N:A\nX:1,Y:1,B:1\nR:U\nNOTE:,-COMP\n"
              "-KIVOX_LIB_V.1.0\n");
}

// The sample set: every library its KIVOX.INI names loads, and every sample library
// survives the round trip.
TEST(LibraryRoundTrip, SampleLibraries) {
    const fs::path examples = fs::path(QURIX_SOURCE_DIR) / "examples";
    const std::string ini = (examples / CONFIG_FILE_NAME).string();
    std::vector<std::string> files = FilesIn(examples, {".lib", ".LIB", ".kvx", ".kxd"});
    if (fs::exists(ini)) {
        const CProfile profile(ini);
        int32_t keys = 0;
        while (keys < CLibrarySet::MAX_LIBRARIES &&
               !profile.GetString("Library", "LIB" + std::to_string(keys)).empty()) {
            ++keys;
        }
        CLibrarySet set;
        set.LoadLibrarySet(profile, ConfigFolder(ini));
        EXPECT_EQ(set.Count(), keys) << "a library named by " << ini << " fails to load";
        for (int32_t i = 0; i < set.Count(); ++i) {
            const std::string path = set.GetLibrary(i)->Path();
            if (std::find(files.begin(), files.end(), path) == files.end()) files.push_back(path);
        }
    }
    if (files.empty()) GTEST_SKIP() << "no sample libraries in " << examples;
    for (const std::string& f : files) ExpectRoundTrip(f);
}

}  // namespace
}  // namespace qurix
