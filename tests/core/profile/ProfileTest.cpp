#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "core/platform/FileIo.h"
#include "core/platform/FileReplace.h"
#include "core/platform/TempFiles.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "tests/ScratchFolder.h"
#include "tests/core/profile/OrdinaryUser.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

constexpr fs::perms ReadOnlyFolder = fs::perms::owner_read | fs::perms::owner_exec |
                                     fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec;

class ProfileTest : public ::testing::Test {
protected:
    void Write(const std::string& bytes) { scratch_.Write("KIVOX.INI", bytes); }
    std::string Read() const { return scratch_.Read("KIVOX.INI"); }

    test::ScratchFolder scratch_;
    fs::path dir_{scratch_.Path()};
    std::string path_{scratch_.File("KIVOX.INI")};
};

TEST_F(ProfileTest, ReadingRules) {
    Write(
        "; comment=1\n"
        "[Library]\n"
        "LIB0 = a.lib \n"
        "lib1=\"quoted b.lib\"\n"
        "LIB2='single'\n"
        "LIB3=\"unbalanced\n"
        "Eq=a=b=c\n"
        "dup=first\n"
        "DUP=second\n"
        "  [ library ]  \n"
        "LIB9=from second section\n"
        "[qurix]\n"
        "win_width=-1\n"
        "big=4294967296\n"
        "junk=12abc\n"
        "neg= -42\n"
        "empty=\n"
        ";plib_last=5\n");
    const CProfile p(path_);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } strings[] = {
        {"Library", "LIB0", "a.lib"},
        {"LIBRARY", "Lib1", "quoted b.lib"},
        {"Library", "LIB2", "single"},
        {"Library", "LIB3", "\"unbalanced"},
        {"Library", "eq", "a=b=c"},
        {"Library", "dup", "first"},
        {" Library ", " LIB0 ", "a.lib"},
        {"Library", "LIB9", "<default>"},  // the first matching section wins
        {"Library", "comment", "<default>"},
        {"Nope", "LIB0", "<default>"},
        {"qurix", "empty", ""},
    };
    struct IntCase {
        const char* key;
        int32_t expected;
    } ints[] = {{"win_width", -1}, {"big", 0},    {"junk", 12},
                {"neg", -42},      {"empty", 77}, {"plib_last", 77}};
    // Read line by line, and from the index a hold makes.
    for (const bool held : {false, true}) {
        std::optional<CProfile::CReadHold> hold;
        if (held) hold.emplace(p);
        for (const auto& c : strings) {
            EXPECT_EQ(p.GetString(c.section, c.key, "<default>"), c.expected)
                << c.section << "/" << c.key << (held ? " held" : "");
        }
        for (const auto& c : ints) EXPECT_EQ(p.GetInt("qurix", c.key, 77), c.expected) << c.key;
    }
}

// Line ends and Shift-JIS names as the platform's profile functions read them.
TEST_F(ProfileTest, LineEndsAndShiftJisNames) {
    const std::string zone = "\x83\x5D\x81\x5B\x83\x93";  // "ゾーン": 5D is ']'
    const std::string a = "\x83\x41";                     // "ア"
    const std::string dji = "\x83\x61";                   // "ヂ": 'a' where "ア" has 'A'
    struct Case {
        const char* name;
        std::string text;
        std::string section;
        std::string key;
        const char* expected;
    } cases[] = {
        {"CR alone ends lines", "[Library]\rLIB0=a.lib\r", "Library", "LIB0", "a.lib"},
        {"CR before CR LF is an empty line", "[Library]\r\r\nLIB0=a.lib\r\r\n", "Library", "LIB0",
         "a.lib"},
        {"LF CR is two line ends", "[Library]\n\rLIB0=a.lib\n\rLIB1=b\n\r", "Library", "LIB1", "b"},
        {"stray CR inside a line splits it", "[L]\nx=1\ry=2\n", "L", "y", "2"},
        {"stray CR: the first half keeps its value", "[L]\nx=1\ry=2\n", "L", "x", "1"},
        {"CR-only sections end each other", "[A]\rk=1\r[B]\rk=2\r", "B", "k", "2"},
        {"Shift-JIS trail byte is no ']'", "[" + zone + "]\nk=1\n", zone, "k", "1"},
        {"Shift-JIS section is not a prefix match", "[" + zone + "]\nk=1\n", "\x83", "k",
         "<default>"},
        {"trail byte not case-folded (ヂ before ア)", "[S]\n" + dji + "=dji\n" + a + "=a\n", "S", a,
         "a"},
        {"trail byte not case-folded (ア before ヂ)", "[S]\n" + a + "=a\n" + dji + "=dji\n", "S",
         dji, "dji"},
        {"UTF-8 name is not walked as Shift-JIS", "[\xE3\x81\x82]\nk=utf8\n", "\xE3\x81\x82", "k",
         "utf8"},
        {"ASCII letters after a UTF-8 character still fold",
         "[S]\n\xE3\x81\x82"
         "a=1\n",
         "S",
         "\xE3\x81\x82"
         "A",
         "1"},
    };
    for (const auto& c : cases) {
        std::string value = "<default>";
        CProfile::Lookup(c.text, c.section, c.key, value);
        EXPECT_EQ(value, c.expected) << c.name;
        Write(c.text);
        const CProfile p(path_);
        const CProfile::CReadHold hold(p);
        EXPECT_EQ(p.GetString(c.section, c.key, "<default>"), c.expected) << c.name << " held";
    }
}

TEST_F(ProfileTest, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
    const CProfile p(path_);
    EXPECT_EQ(p.GetInt("qurix", "win_width", 320), 320);
    EXPECT_EQ(p.GetString("Library", "LIB0", ""), "");
    EXPECT_TRUE(p.WriteInt("qurix", "win_width", 640));
    EXPECT_EQ(Read(), std::string("[qurix]") + NATIVE_LINE_END + "win_width=640" + NATIVE_LINE_END);
}

TEST_F(ProfileTest, ReadsTheFileAgainOnEveryCall) {
    const CProfile p(path_);
    Write("[qurix]\nplib_last=1\n");
    EXPECT_EQ(p.GetInt("qurix", "plib_last", 0), 1);
    Write("[qurix]\nplib_last=2\n");
    EXPECT_EQ(p.GetInt("qurix", "plib_last", 0), 2);
}

TEST_F(ProfileTest, WritesKeepEveryOtherByte) {
    struct Case {
        const char* name;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    } cases[] = {
        {"replace in place, CR LF kept",
         "; keep\r\n[qurix]\r\nwin_width=1\r\nx=2\r\n\r\n[Other]\r\na=\xE9\r\n", "qurix",
         "WIN_WIDTH", "640",
         "; keep\r\n[qurix]\r\nwin_width=640\r\nx=2\r\n\r\n[Other]\r\na=\xE9\r\n"},
        {"new key at end of its section, before the blank line", "[qurix]\nx=2\n\n[Other]\na=1\n",
         "QURIX", "plib_last", "3", "[qurix]\nx=2\nplib_last=3\n\n[Other]\na=1\n"},
        {"new key in an empty section", "[qurix]\n[Other]\n", "qurix", "k", "v",
         "[qurix]\nk=v\n[Other]\n"},
        {"new section at the end, CR LF followed", "[A]\r\na=1\r\n", "qurix", "k", "1",
         "[A]\r\na=1\r\n[qurix]\r\nk=1\r\n"},
        {"file without final line end", "[A]\na=1", "qurix", "k", "1", "[A]\na=1\n[qurix]\nk=1\n"},
        {"section without final line end gets its key after", "[qurix]\nx=1", "qurix", "k", "2",
         "[qurix]\nx=1\nk=2\n"},
        {"only the first duplicate section changes", "[q]\na=1\n[q]\na=2\n", "q", "a", "9",
         "[q]\na=9\n[q]\na=2\n"},
        {"comment line is not a key", "[q]\n;a=1\n", "q", "a", "5", "[q]\n;a=1\na=5\n"},
        {"value with equals sign", "[q]\na=1\n", "q", "a", "x=y", "[q]\na=x=y\n"},
        {"the file's spelling of the key is kept", "[q]\n  Key = old\n", "q", "KEY", "new",
         "[q]\nKey=new\n"},
        {"new key after a section line ended by CR alone", "[qurix]\r", "qurix", "parts_style", "3",
         "[qurix]\rparts_style=3\r"},
        {"new section in a CR-only file", "[A]\ra=1\r", "q", "k", "1", "[A]\ra=1\r[q]\rk=1\r"},
        {"CR CR LF line ends kept around a replaced value", "[q]\r\r\na=1\r\r\nb=2\r\r\n", "q", "a",
         "9", "[q]\r\r\na=9\r\r\nb=2\r\r\n"},
        {"Shift-JIS section written in place", "[\x83\x5D]\nk=1\n", "\x83\x5D", "k", "2",
         "[\x83\x5D]\nk=2\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CProfile::Update(c.before, c.section, c.key, c.value), c.after) << c.name;
        Write(c.before);
        EXPECT_TRUE(CProfile(path_).WriteString(c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(Read(), c.after) << c.name;
        EXPECT_EQ(CProfile(path_).GetString(c.section, c.key), c.value) << c.name;
    }
}

TEST_F(ProfileTest, RefusesWritesThatWouldChangeTheStructure) {
    Write("[q]\na=1\n");
    const CProfile p(path_);
    EXPECT_FALSE(p.WriteString("q", "a", "1\n[Library]"));
    EXPECT_FALSE(p.WriteString("q", "a=b", "1"));
    EXPECT_FALSE(p.WriteString("q]", "a", "1"));
    EXPECT_FALSE(p.WriteString("q", " ", "1"));
    EXPECT_FALSE(p.WriteString("q", ";a", "1"));     // would read as a comment
    EXPECT_FALSE(p.WriteString("q", "[a", "1"));     // would read as a section header
    EXPECT_FALSE(p.WriteString("q\x83", "a", "1"));  // the lead byte would swallow the ']'
    EXPECT_EQ(Read(), "[q]\na=1\n");
}

TEST_F(ProfileTest, ReadOnlyFolderWritableFileIsWrittenInPlace) {
    if (test::NO_POSIX_FILES) GTEST_SKIP() << test::NO_POSIX_FILES;
    Write("[q]\na=1\n");
    // Readable by all (the test user keeps root's group), writable by none.
    fs::permissions(dir_, ReadOnlyFolder);
    bool written = false;
    ASSERT_TRUE(
        test::AsOrdinaryUser([&] { written = CProfile(path_).WriteInt("q", "b", 2); }, path_));
    EXPECT_TRUE(written);
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(Read(), "[q]\na=1\nb=2\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ProfileTest, WriteThroughAHardLinkReachesEveryName) {
    Write("[q]\na=1\n");
    const fs::path other = dir_ / "other.ini";
    fs::create_hard_link(path_, other);
    EXPECT_TRUE(CProfile(other.string()).WriteInt("q", "a", 2));
    EXPECT_EQ(Read(), "[q]\na=2\n");  // a rename would have left this name the old bytes
}

TEST_F(ProfileTest, FailedWriteLeavesFileUntouched) {
    if (test::NO_POSIX_FILES) GTEST_SKIP() << test::NO_POSIX_FILES;
    Write("[q]\na=1\n");
    // Readable by all (the test user keeps root's group), writable by none.
    fs::permissions(dir_, ReadOnlyFolder);
    bool written = true;
    ASSERT_TRUE(test::AsOrdinaryUser([&] { written = CProfile(path_).WriteInt("q", "a", 2); }));
    EXPECT_FALSE(written);
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(Read(), "[q]\na=1\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ProfileTest, ReadOnlyFileIsNotReplacedInAWritableFolder) {
    if (test::NO_POSIX_FILES) GTEST_SKIP() << test::NO_POSIX_FILES;
    Write("[q]\na=1\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir_, fs::perms::all);  // the ordinary user could add files here
    bool written = true;
    ASSERT_TRUE(
        test::AsOrdinaryUser([&] { written = CProfile(path_).WriteInt("q", "a", 2); }, path_));
    EXPECT_FALSE(written);
    EXPECT_EQ(Read(), "[q]\na=1\n");
}

TEST_F(ProfileTest, UnreadableTargetFailsWithoutChange) {
    fs::create_directory(path_);  // a folder where the file should be
    EXPECT_FALSE(CProfile(path_).WriteInt("q", "a", 1));
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_EQ(CProfile(path_).GetInt("q", "a", 5), 5);
}

TEST_F(ProfileTest, WriteIntoMissingFolderFails) {
    const CProfile p((dir_ / "missing" / "KIVOX.INI").string());
    EXPECT_FALSE(p.WriteInt("q", "a", 1));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(ProfileTest, WriteThroughALinkKeepsTheLink) {
    if (test::NO_POSIX_FILES) GTEST_SKIP() << test::NO_POSIX_FILES;
    Write("[q]\na=1\n");
    const fs::path link = dir_ / "link.ini";
    fs::create_symlink(path_, link);
    EXPECT_TRUE(CProfile(link.string()).WriteInt("q", "a", 2));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(), "[q]\na=2\n");
}

TEST_F(ProfileTest, WriteKeepsPermissions) {
    if (test::NO_POSIX_FILES) GTEST_SKIP() << test::NO_POSIX_FILES;
    Write("[q]\na=1\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(CProfile(path_).WriteInt("q", "a", 2));
    EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A file with a byte-order mark is read as the platform reads it and written back in its
// own encoding; UTF-16 that is not well formed is read as well as it goes, never written.
TEST_F(ProfileTest, ByteOrderMarksAreReadAndKept) {
    const std::string le = std::string("\xFF\xFE[\0Q\0]\0\n\0a\0=\0\xE8\x90=\0\n\0", 20);
    const std::string be = std::string("\xFE\xFF\0[\0Q\0]\0\n\0a\0=\x90\xE8\0=\0\n", 20);
    struct Case {
        const char* name;
        std::string before;
        const char* read;   // a's value as UTF-8
        std::string after;  // after b=1 is written; empty when refused
    } cases[] = {
        {"UTF-16 LE", le, "\xE9\x83\xA8=", le + std::string("b\0=\0001\0\n\0", 8)},
        {"UTF-16 BE", be, "\xE9\x83\xA8=", be + std::string("\0b\0=\0001\0\n", 8)},
        {"UTF-8 mark", "\xEF\xBB\xBF[Q]\na=x\n", "x", "\xEF\xBB\xBF[Q]\na=x\nb=1\n"},
        {"UTF-16 odd length", le + "x", "\xE9\x83\xA8=", ""},
        {"UTF-16 lone surrogate", std::string("\xFF\xFE[\0Q\0]\0\n\0a\0=\0\x00\xD8", 16),
         "\xEF\xBF\xBD", ""},
    };
    for (const auto& c : cases) {
        Write(c.before);
        const CProfile p(path_);
        EXPECT_EQ(p.GetString("q", "A", "-"), c.read) << c.name;
        EXPECT_EQ(p.WriteInt("q", "b", 1), !c.after.empty()) << c.name;
        EXPECT_EQ(Read(), c.after.empty() ? c.before : c.after) << c.name;
        if (c.after.empty()) {
            EXPECT_EQ(p.LastWriteProblem(), CProfile::WriteProblem::Encoding) << c.name;
        }
    }
}

// A batch writes once, at its end; reads see its values at once. A hold serves reads from
// one read of the file and sees the palette's own writes.
TEST_F(ProfileTest, BatchesWriteOnceAndHoldsReadOnce) {
    Write("[Library]\nLIB0=a.lib\n");
    const CProfile p(path_);
    const CProfile copy = p;  // views keep copies of one profile
    {
        CProfile::CWriteBatch batch(p);
        EXPECT_TRUE(copy.WriteInt("qurix", "win_x", 5));
        EXPECT_TRUE(p.WriteInt("qurix", "win_y", 6));
        EXPECT_TRUE(p.WriteInt("qurix", "win_x", 7));
        EXPECT_EQ(p.GetInt("QURIX", "WIN_X", 0), 7);
        EXPECT_EQ(Read(), "[Library]\nLIB0=a.lib\n");
        EXPECT_TRUE(batch.Commit());
    }
    EXPECT_EQ(Read(), "[Library]\nLIB0=a.lib\n[qurix]\nwin_x=7\nwin_y=6\n");
    {
        CProfile::CReadHold hold(copy);
        EXPECT_EQ(p.GetString("Library", "LIB0"), "a.lib");
        Write("[Library]\nLIB0=b.lib\n");
        EXPECT_EQ(p.GetString("Library", "LIB0"), "a.lib");
        EXPECT_TRUE(p.WriteInt("qurix", "plib_last", 1));  // written over b.lib
        EXPECT_EQ(p.GetString("Library", "LIB0"), "b.lib");
    }
    Write("[Library]\nLIB0=c.lib\n");
    EXPECT_EQ(p.GetString("Library", "LIB0"), "c.lib");
}

#ifndef _WIN32
// The editor's own way of saving: it reads the file, changes its key, and writes it back
// in place (truncated, then one write per section) or as a new file renamed over it.
void EditorSave(const std::string& path, int n, bool byRename) {
    std::string text;
    FileSnapshot snap;
    if (ReadSnapshot(path, snap) != SnapshotRead::Done) return;
    text = CProfile::Update(snap.bytes, "Editor", "saves", std::to_string(n));
    const std::string target = byRename ? path + ".editor" : path;
    const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (size_t from = 0; from < text.size();) {
        size_t next = text.find("\n[", from);
        next = next == std::string::npos ? text.size() : next + 1;
        if (write(fd, text.data() + from, next - from) < 0) break;
        from = next;
        usleep(300);  // each write a round trip to Wine's server
    }
    close(fd);
    if (byRename) rename(target.c_str(), path.c_str());
}

// The palette writes its keys while an editor stand-in saves; no save of the editor's is
// lost, whichever way it saves. QURIX_STRESS_ROUNDS sets the palette's writes per way.
TEST_F(ProfileTest, EditorSavesAreNeverLost) {
    const char* env = std::getenv("QURIX_STRESS_ROUNDS");
    const int rounds = env ? std::atoi(env) : 20;
    std::string initial = "[Library]\n";
    for (int i = 0; i < 16; ++i)
        initial += "LIB" + std::to_string(i) + "=lib" + std::to_string(i) + ".lib\n";
    initial += "[DefaultColor]\nBack=16777215\nPin=255\n[Editor]\nsaves=0\n";
    for (const bool byRename : {false, true}) {
        Write(initial);
        std::atomic<bool> stop{false};
        int saved = 0;
        std::thread editor([&] {
            std::mt19937 random(byRename ? 2 : 1);
            while (!stop) {
                EditorSave(path_, ++saved, byRename);
                std::this_thread::sleep_for(std::chrono::milliseconds(random() % 80));
            }
        });
        int written = 0;
        for (int round = 0; round < rounds; ++round) {
            const CProfile p(path_);
            CProfile::CWriteBatch batch(p);
            p.WriteInt("qurix", "win_x", round);
            p.WriteInt("qurix", "plib_last", round % 16);
            written += batch.Commit();
        }
        stop = true;
        editor.join();
        const CProfile p(path_);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(p.GetString("Library", "LIB" + std::to_string(i)),
                      "lib" + std::to_string(i) + ".lib");
        }
        EXPECT_EQ(p.GetInt("DefaultColor", "Pin", 0), 255);
        EXPECT_EQ(p.GetInt("Editor", "saves", 0), saved) << (byRename ? "by rename" : "in place");
        std::printf("%s: %d palette writes (%d written), %d editor saves\n",
                    byRename ? "editor saves by rename" : "editor saves in place", rounds, written,
                    saved);
    }
}
#endif

// The location rule as a table over which candidate files can be opened.
TEST(ConfigFileTest, LocateConfigFile) {
    if (NativePathStyle().windows) GTEST_SKIP() << "POSIX paths; Paths.* checks the Windows rules";
    struct Case {
        const char* name;
        const char* current;
        const char* perUser;
        std::vector<std::string> existing;
        const char* expected;
    } cases[] = {
        {"working folder wins even over the per-user file",
         "/work",
         "/home/u/.config",
         {"/work/KIVOX.INI", "/home/u/.config/Tolmera/KIVOX.INI"},
         "/work/KIVOX.INI"},
        {"program folder as working folder: per-user first",
         "/opt/q",
         "/home/u/.config",
         {"/opt/q/KIVOX.INI", "/home/u/.config/Tolmera/KIVOX.INI"},
         "/home/u/.config/Tolmera/KIVOX.INI"},
        {"program folder as working folder, no per-user file",
         "/opt/q/",
         "/home/u/.config/",
         {"/opt/q/KIVOX.INI"},
         "/opt/q/KIVOX.INI"},
        {"folders differing only in case differ",
         "/OPT/q",
         "",
         {"/OPT/q/KIVOX.INI"},
         "/OPT/q/KIVOX.INI"},
        {"no per-user folder",
         "/else",
         "",
         {"/home/u/.config/Tolmera/KIVOX.INI"},
         "/opt/q/KIVOX.INI"},
        {"nothing anywhere: the program folder",
         "/else",
         "/home/u/.config",
         {},
         "/opt/q/KIVOX.INI"},
        {"the editor's own under Wine, after the program folder",
         "/else",
         "/home/u/.config",
         {"/w/Old/Tolmera/KIVOX.INI", "/w/Local/Tolmera/KIVOX.INI"},
         "/w/Local/Tolmera/KIVOX.INI"},
        {"the program folder's before Wine's",
         "/else",
         "",
         {"/opt/q/KIVOX.INI", "/w/Local/Tolmera/KIVOX.INI"},
         "/opt/q/KIVOX.INI"},
    };
    for (const auto& c : cases) {
        ConfigLocationInputs in;
        in.modulePath = "/opt/q/qurix";
        in.currentDirectory = c.current;
        in.perUserFolder = c.perUser;
        in.wineDataFolders = {"/w/Local", "/w/Old"};
        const auto existing = c.existing;
        in.canOpen = [existing](const std::string& p) {
            return std::find(existing.begin(), existing.end(), p) != existing.end();
        };
        EXPECT_EQ(LocateConfigFile(in), c.expected) << c.name;
    }
}

TEST(ConfigFileTest, PathHelpers) {
    if (NativePathStyle().windows) GTEST_SKIP() << "POSIX paths; Paths.* checks the Windows rules";
    EXPECT_EQ(ConfigFolder("/a/b/KIVOX.INI"), "/a/b/");
    EXPECT_EQ(ConfigFolder("KIVOX.INI"), "");
    EXPECT_TRUE(IsRelativePath("lib/a.lib"));
    EXPECT_TRUE(IsRelativePath("./a.lib"));
    EXPECT_FALSE(IsRelativePath("/abs/a.lib"));
    EXPECT_EQ(CombinePath("/a/b/", "c.lib"), "/a/b/c.lib");
    EXPECT_EQ(CombinePath("/a/b", "c.lib"), "/a/b/c.lib");
    EXPECT_EQ(CombinePath("", "c.lib"), "c.lib");
}

}  // namespace
}  // namespace qurix
