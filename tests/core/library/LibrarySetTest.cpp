#include "core/library/LibrarySet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ScratchFolder.h"

namespace qurix {
namespace {

using test::ScratchFolder;

std::string OnePart(const std::string& name) {
    return "+KIVOX_LIB_V.1.0\n+COMP,N:" + name + ",X:2,Y:1,B:1,-COMP\n-KIVOX_LIB_V.1.0\n";
}

class LibrarySetTest : public ::testing::Test {
protected:
    // Writes KIVOX.INI with the given lines into the folder and loads the set from it.
    void LoadWithIni(const std::string& ini) {
        const std::string path = dir.Write("KIVOX.INI", ini);
        profile.SetPath(path);
        EXPECT_TRUE(set.LoadLibrarySet(profile, dir.Path() + "/"));
    }
    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (int32_t i = 0; i < set.Count(); ++i) paths.push_back(set.GetLibrary(i)->Path());
        return paths;
    }

    ScratchFolder dir;
    CProfile profile;
    CLibrarySet set;
};

TEST_F(LibrarySetTest, StopsAtTheFirstMissingKey) {
    dir.Write("a.lib", OnePart("A"));
    dir.Write("b.lib", OnePart("B"));
    dir.Write("d.lib", OnePart("D"));
    LoadWithIni("[Library]\nLIB0=a.lib\nLIB1=b.lib\nLIB3=d.lib\n");
    EXPECT_EQ(Paths(), (std::vector<std::string>{dir.Path() + "/a.lib", dir.Path() + "/b.lib"}));
}

TEST_F(LibrarySetTest, EmptyValueEndsTheListToo) {
    dir.Write("a.lib", OnePart("A"));
    LoadWithIni("[Library]\nLIB0=\nLIB1=a.lib\n");
    EXPECT_EQ(set.Count(), 0);
    EXPECT_EQ(set.GetLibrary(0), nullptr);
    EXPECT_EQ(set.GetLibrary(-1), nullptr);

    profile.SetPath(dir.Path() + "/none.ini");
    EXPECT_TRUE(set.LoadLibrarySet(profile, dir.Path() + "/"));
    EXPECT_EQ(set.Count(), 0);
}

TEST_F(LibrarySetTest, FailedLibrariesLeaveNoGap) {
    dir.Write("good.lib", OnePart("G"));
    dir.Write("bad.lib", "not a library\n");
    dir.Write("good2.lib", OnePart("H"));
    LoadWithIni("[Library]\nLIB0=missing.lib\nLIB1=good.lib\nLIB2=bad.lib\nLIB3=good2.lib\n");
    EXPECT_EQ(Paths(),
              (std::vector<std::string>{dir.Path() + "/good.lib", dir.Path() + "/good2.lib"}));
    EXPECT_EQ(set.GetLibrary(2), nullptr);
}

TEST_F(LibrarySetTest, AtMostSixteenKeysAreRead) {
    std::string ini = "[Library]\n";
    for (int i = 0; i <= 16; ++i) {
        // Appended, not "l" + string: g++ 12 -O3 warns falsely on the latter.
        const std::string number = std::to_string(i);
        const std::string name = std::string("l").append(number).append(".lib");
        dir.Write(name, OnePart(std::string("P").append(number)));
        ini.append("LIB").append(number).append("=").append(name).append("\n");
    }
    LoadWithIni(ini);
    ASSERT_EQ(set.Count(), CLibrarySet::MAX_LIBRARIES);
    EXPECT_EQ(set.GetLibrary(15)->Path(), dir.Path() + "/l15.lib");
    EXPECT_EQ(set.GetLibrary(16), nullptr);
    EXPECT_EQ(set.FindPartByName("P16"), nullptr);
}

TEST_F(LibrarySetTest, RelativePathsAreTakenFromTheConfigFolder) {
    ScratchFolder other;
    const std::string absolute = other.Write("abs.lib", OnePart("ABS"));
    dir.Write("rel.lib", OnePart("REL"));
    std::filesystem::create_directory(dir.Path() + "/sub");
    dir.Write("sub/deep.lib", OnePart("DEEP"));
    // A file of the same name in the working folder must not be the one loaded.
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(other.Path());
    other.Write("rel.lib", OnePart("WRONG"));
    LoadWithIni("[Library]\nLIB0=rel.lib\nLIB1=" + absolute + "\nLIB2=sub/deep.lib\n");
    std::filesystem::current_path(cwd);
    EXPECT_EQ(Paths(), (std::vector<std::string>{dir.Path() + "/rel.lib", absolute,
                                                 dir.Path() + "/sub/deep.lib"}));
    EXPECT_NE(set.FindPartByName("REL"), nullptr);
    EXPECT_EQ(set.FindPartByName("WRONG"), nullptr);
}

TEST_F(LibrarySetTest, PathBytesAreUsedAsTheyStand) {
    dir.Write("\x95\x94\x95\x69.lib", OnePart("A"));  // Shift-JIS file name
    dir.Write("sp ace.lib", OnePart("B"));
    LoadWithIni("[library]\nlib0 = \x95\x94\x95\x69.lib\nLib1=\"sp ace.lib\"\n");
    EXPECT_EQ(Paths(), (std::vector<std::string>{dir.Path() + "/\x95\x94\x95\x69.lib",
                                                 dir.Path() + "/sp ace.lib"}));
}

TEST_F(LibrarySetTest, FindPartByName) {
    dir.Write("a.lib",
              "+KIVOX_LIB_V.1.0\n"
              "+COMP,N:res,X:1,Y:1,B:1,R:A,-COMP\n"
              "+COMP,N:RES,X:1,Y:1,B:1,R:B,-COMP\n"
              "+COMP,N:\xE0x,X:1,Y:1,B:1,R:C,-COMP\n"
              "+ALIAS,N:res,A:Resistor,-ALIAS\n"
              "-KIVOX_LIB_V.1.0\n");
    dir.Write("b.lib",
              "+KIVOX_LIB_V.1.0\n"
              "+COMP,N:Res,X:1,Y:1,B:1,R:D,-COMP\n"
              "+COMP,N:OnlyB,X:1,Y:1,B:1,R:E,-COMP\n"
              "-KIVOX_LIB_V.1.0\n");
    LoadWithIni("[Library]\nLIB0=a.lib\nLIB1=b.lib\n");
    ASSERT_EQ(set.Count(), 2);
    struct Case {
        std::string name;
        const char* prefix;  // identifies the entry found; null for none
    };
    const Case cases[] = {
        {"RES", "A"},  // the first entry of the lower slot, whatever its case
        {"res", "A"},       {"rEs", "A"},
        {"RESISTOR", "A"},  // an alias
        {"onlyb", "E"},     {"\xE0X", "C"},
        {"\xC0x", nullptr},  // not ASCII: exact
        {"RE", nullptr},    {"RESS", nullptr},
        {"", nullptr},      {std::string("RES\0x", 5), "A"},  // a name ends at its NUL
    };
    for (const Case& c : cases) {
        const CLibEntry* e = set.FindPartByName(c.name);
        if (!c.prefix) {
            EXPECT_EQ(e, nullptr) << c.name;
        } else {
            ASSERT_NE(e, nullptr) << c.name;
            EXPECT_STREQ(e->ReferencePrefix(), c.prefix) << c.name;
        }
    }
}

TEST_F(LibrarySetTest, FreeAndLoadReadsTheConfigAgain) {
    dir.Write("a.lib", OnePart("A"));
    dir.Write("b.lib", OnePart("B"));
    LoadWithIni("[Library]\nLIB0=a.lib\n");
    ASSERT_EQ(set.Count(), 1);
    const CLibEntry* before = set.FindPartByName("A");
    ASSERT_NE(before, nullptr);

    set.FreeLibrarySet();
    EXPECT_EQ(set.Count(), 0);
    EXPECT_EQ(set.GetLibrary(0), nullptr);
    EXPECT_EQ(set.FindPartByName("A"), nullptr);

    dir.Write("a.lib", OnePart("A2"));
    ASSERT_TRUE(profile.WriteString("Library", "LIB1", "b.lib"));
    EXPECT_TRUE(set.LoadLibrarySet(profile, dir.Path() + "/"));
    EXPECT_EQ(set.Count(), 2);
    EXPECT_EQ(set.FindPartByName("A"), nullptr);
    EXPECT_NE(set.FindPartByName("A2"), nullptr);
    EXPECT_NE(set.FindPartByName("B"), nullptr);

    // Loading over a loaded set replaces it rather than adding to it.
    EXPECT_TRUE(set.LoadLibrarySet(profile, dir.Path() + "/"));
    EXPECT_EQ(set.Count(), 2);
}

TEST_F(LibrarySetTest, ListenerHearsEveryFailedLibrary) {
    dir.Write("good.lib", OnePart("G"));
    dir.Write("bad.lib", "+KIVOX_LIB_V.1.0\n-COMP\n");
    const std::string ini =
        dir.Write("KIVOX.INI", "[Library]\nLIB0=missing.lib\nLIB1=good.lib\nLIB2=bad.lib\n");
    profile.SetPath(ini);
    std::vector<std::string> heard;
    const CLibrarySet::LoadListener listener = [&](const std::string& key, const std::string& path,
                                                   int32_t line, const std::string& why) {
        heard.push_back(key + " " + path.substr(dir.Path().size()) + " " + std::to_string(line) +
                        " " + why.substr(0, why.find(':')));
    };
    EXPECT_TRUE(set.LoadLibrarySet(profile, dir.Path() + "/", &listener));
    EXPECT_EQ(set.Count(), 1);
    EXPECT_EQ(heard, (std::vector<std::string>{"LIB0 /missing.lib 0 cannot open",
                                               "LIB2 /bad.lib 2 unexpected end tag -COMP"}));
}

TEST_F(LibrarySetTest, TheLibraryThatWouldPassTheSetBudgetIsLeftOutWithAReason) {
    std::string many = "+KIVOX_LIB_V.1.0\n";
    for (int i = 0; i < 60; ++i) many += "+COMP,N:M" + std::to_string(i) + ",X:2,Y:1,B:1,-COMP\n";
    dir.Write("one.lib", OnePart("A"));
    dir.Write("many.lib", many + "-KIVOX_LIB_V.1.0\n");
    dir.Write("two.lib", OnePart("B"));
    const std::string ini =
        dir.Write("KIVOX.INI", "[Library]\nLIB0=one.lib\nLIB1=many.lib\nLIB2=two.lib\n");
    profile.SetPath(ini);
    std::vector<std::string> heard;
    const CLibrarySet::LoadListener listener = [&](const std::string& key, const std::string&,
                                                   int32_t, const std::string& why) {
        heard.push_back(key + " " + why);
    };
    // Room for the two small libraries (an arena's first block and a part each), not for
    // sixty parts' upkeep on top.
    set.SetMemoryLimit(2 * CArena::FIRST_BLOCK + 40 * CMemoryBudget::UPKEEP_PER_PART);
    EXPECT_TRUE(set.LoadLibrarySet(profile, dir.Path() + "/", &listener));
    EXPECT_EQ(Paths(),
              (std::vector<std::string>{dir.Path() + "/one.lib", dir.Path() + "/two.lib"}));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].substr(0, 42), "LIB1 the library set would need more than ");
    // A budget that fits everything loads everything: the default one.
    set.SetMemoryLimit(CMemoryBudget::SET_LIMIT);
    heard.clear();
    EXPECT_TRUE(set.LoadLibrarySet(profile, dir.Path() + "/", &listener));
    EXPECT_EQ(set.Count(), 3);
    EXPECT_TRUE(heard.empty());
}

}  // namespace
}  // namespace qurix
