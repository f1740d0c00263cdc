// Library files as an attacker might write them: a load takes memory in proportion to
// the file, or refuses it with a reason.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/platform/TempFiles.h"
#include "core/records/RecordWriter.h"
#include "tests/ScratchFolder.h"

namespace qurix {
namespace {

std::string Repeat(const std::string& text, int n) {
    std::string out;
    out.reserve(text.size() * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) out += text;
    return out;
}

std::string Lib(const std::string& body) {
    return "+KIVOX_LIB_V.1.0\n" + body + "-KIVOX_LIB_V.1.0\n";
}

struct Loaded {
    bool ok = false;
    int32_t line = 0;
    std::string reason;
    int32_t entries = 0;
    std::string dump;
};

Loaded LoadText(const std::string& text, bool dump = false) {
    Loaded r;
    FILE* file = OpenBytesAsFile(text);
    const CPartLibrary::Listener listener = [&](int32_t line, const std::string& why) {
        r.line = line;
        r.reason = why;
    };
    CPartLibrary lib;
    r.ok = lib.LoadStream(file, "mem.lib", &listener);
    std::fclose(file);
    r.entries = lib.EntryCount();
    if (dump) {
        CRecordWriter writer(&r.dump);
        lib.WriteLibrary(writer);
    }
    return r;
}

struct MemoryCase {
    const char* name;
    std::string text;
    int32_t entries;
};

// Each of these took gigabytes (or ran out of memory) when every component copied its
// pattern, every pin held a slot for every block and bitmaps held every declared row.
std::vector<MemoryCase> MemoryCases() {
    const std::string comp = "+COMP,N:A,X:1,Y:1,B:1,P:P,-COMP\n";
    return {
        {"a wide bitmap named by many components",
         Lib("+PTN,N:P,X:65536,Y:2048,+BMP,-BMP,-PTN\n" + Repeat(comp, 200)), 200},
        {"a pattern of many elements named by many components",
         Lib("+PTN,N:P,X:1,Y:1\n" + Repeat("+L,-L\n", 20000) + "-PTN\n" + Repeat(comp, 2000)),
         2000},
        {"many pins of a part of 256 blocks",
         Lib("+COMP,N:A,X:1,Y:1,B:256\n" + Repeat("+PIN,-PIN\n", 100000) + "-COMP\n"), 1},
        // 13 components took 232 MB; 100 are enough to pass the limit.
        {"a tall bitmap named by many components",
         Lib("+PTN,N:P,X:16,Y:8388608,+BMP,-BMP,-PTN\n" + Repeat(comp, 100)), 100},
    };
}

#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)
// The sanitizer reserves terabytes up front; Windows has no address-space limit to set.
constexpr bool ADDRESS_LIMIT_WORKS = false;
#else
constexpr bool ADDRESS_LIMIT_WORKS = true;
#endif

// Loads text under a 512 MB address-space limit and exits 0 when it loads as expected.
[[noreturn]] void LoadUnderLimit(const MemoryCase& c) {
#ifndef _WIN32
    if (ADDRESS_LIMIT_WORKS) {
        const rlimit limit{512u << 20, 512u << 20};
        setrlimit(RLIMIT_AS, &limit);
    }
#endif
    const Loaded r = LoadText(c.text);
    std::exit(r.ok && r.entries == c.entries ? 0 : 1);
}

TEST(HostileLibrary, LoadsWithinMemoryProportionalToTheFile) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no address-space limit to load under";
#endif
    for (const MemoryCase& c : MemoryCases()) {
        EXPECT_EXIT(LoadUnderLimit(c), ::testing::ExitedWithCode(0), "") << c.name;
    }
}

TEST(HostileLibrary, DumpOfAliasesHoldsOnlyTheRealBitmapRows) {
    // Each alias is written as a full copy: the declared 8 million rows once made 461 MB.
    const std::string text = Lib("+PTN,N:P,X:16,Y:8388608,+BMP,-BMP,-PTN\n" +
                                 std::string("+COMP,N:A,X:1,Y:1,B:1,P:P,-COMP\n") +
                                 Repeat("+ALIAS,N:A,A:B,-ALIAS\n", 10));
    const Loaded r = LoadText(text, true);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.entries, 11);
    EXPECT_LT(r.dump.size(), 11u * 502 * 6);  // 501 rows of "@@@@" per copy
    const Loaded back = LoadText(r.dump, true);
    ASSERT_TRUE(back.ok) << back.reason;
    EXPECT_EQ(back.dump, r.dump);
}

TEST(HostileLibrary, MoreThanTheBudgetFailsWithAReason) {
    // Each pattern holds 501 rows of 64 bytes, 32 KB for 40 bytes of text: four hundred of
    // them pass the 8 MB and a bit the file's size allows, near the end of the file.
    std::string body;
    for (int i = 0; i < 400; ++i) {
        body += "+PTN,N:P" + std::to_string(i) + ",X:65536,Y:501,+BMP,-BMP,-PTN\n";
    }
    const Loaded r = LoadText(Lib(body));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.entries, 0);
    EXPECT_EQ(r.reason.rfind("the parts need more than ", 0), 0u) << r.reason;
    EXPECT_GT(r.line, 250);
    EXPECT_LT(r.line, 400);

    // The palette's set drops such a file and keeps the others.
    test::ScratchFolder dir;
    dir.Write("big.lib", Lib(body));
    dir.Write("good.lib", Lib("+COMP,N:G,X:1,Y:1,B:1,-COMP\n"));
    const std::string ini = dir.Write("KIVOX.INI", "[Library]\nLIB0=big.lib\nLIB1=good.lib\n");
    CProfile profile(ini);
    CLibrarySet set;
    std::string heard;
    const CLibrarySet::LoadListener listener = [&](const std::string& key, const std::string&,
                                                   int32_t, const std::string&) { heard += key; };
    set.LoadLibrarySet(profile, dir.Path() + "/", &listener);
    EXPECT_EQ(set.Count(), 1);
    EXPECT_NE(set.FindPartByName("G"), nullptr);
    EXPECT_EQ(heard, "LIB0");
}

}  // namespace
}  // namespace qurix
