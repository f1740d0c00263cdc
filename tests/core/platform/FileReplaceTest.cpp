#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#ifndef _WIN32
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/platform/FileReplace.h"
#include "tests/ScratchFolder.h"
#include "tests/core/profile/OrdinaryUser.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

FileSnapshot Snap(const std::string& path) {
    FileSnapshot s;
    EXPECT_EQ(ReadSnapshot(path, s), SnapshotRead::Done) << path;
    return s;
}

size_t EntryCount(const fs::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

// Which way each kind of target is written, and that the bytes arrive.
TEST(FileReplace, ChoosesTheReplaceThatKeepsTheFile) {
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
        {"missing folder: refused", "no/t", [](const fs::path&) {}, ReplaceMethod::Failed},
    };
    for (const auto& c : cases) {
        test::ScratchFolder scratch;
        const fs::path dir = scratch.Path();
        const fs::path target = dir / c.file;
        c.prepare(target);
        const FileSnapshot read = Snap(target.string());
        FileVersion written;
        EXPECT_EQ(ReplaceIfUnchanged(target.string(), read, "new\n", ReplaceOptions(), &written),
                  c.expected)
            << c.name;
        if (c.expected == ReplaceMethod::Failed) continue;
        EXPECT_EQ(Slurp(target), "new\n") << c.name;
        EXPECT_EQ(written, Snap(target.string()).version) << c.name;
        if (fs::exists(dir / "twin")) {
            EXPECT_EQ(Slurp(dir / "twin"), "new\n") << c.name;
        }
        // No temporary file is left behind.
        EXPECT_EQ(EntryCount(dir), fs::exists(dir / "twin") ? 2u : 1u) << c.name;
    }
}

// A file that another writer changed after it was read is never replaced, whichever way
// it was changed and whichever way we would write.
TEST(FileReplace, LeavesAFileChangedSinceItWasRead) {
    struct Case {
        const char* name;
        bool linked;  // a second hard link: written in place
        std::function<void(const fs::path&)> change;
    } cases[] = {
        {"saved in place, same size", false,
         [](const fs::path& t) { std::ofstream(t, std::ios::binary) << "OLD\n"; }},
        {"saved by rename", false,
         [](const fs::path& t) {
             std::ofstream(t.string() + ".e", std::ios::binary) << "editor\n";
             fs::rename(t.string() + ".e", t);
         }},
        {"removed", false, [](const fs::path& t) { fs::remove(t); }},
        {"linked, saved in place", true,
         [](const fs::path& t) { std::ofstream(t, std::ios::binary) << "editor\n"; }},
    };
    for (const auto& c : cases) {
        test::ScratchFolder scratch;
        const fs::path target = scratch.Write("t", "old\n");
        if (c.linked) fs::create_hard_link(target, scratch.File("twin"));
        const FileSnapshot read = Snap(target.string());
        const std::string changed = (c.change(target), fs::exists(target) ? Slurp(target) : "");
        EXPECT_EQ(ReplaceIfUnchanged(target.string(), read, "ours\n", ReplaceOptions()),
                  ReplaceMethod::Changed)
            << c.name;
        EXPECT_EQ(fs::exists(target) ? Slurp(target) : "", changed) << c.name;
    }
    // A file made after we found none is not replaced either.
    test::ScratchFolder scratch;
    const FileSnapshot none = Snap(scratch.File("n"));
    scratch.Write("n", "editor\n");
    EXPECT_EQ(ReplaceIfUnchanged(scratch.File("n"), none, "ours\n", ReplaceOptions()),
              ReplaceMethod::Changed);
    EXPECT_EQ(scratch.Read("n"), "editor\n");
}

#ifndef _WIN32
// An INI whose palette section comes first, so that a change of one value rewrites
// every byte after it.
std::string LargeIni(const std::string& winX) {
    std::string text = "[qurix]\nwin_x=" + winX + "\n[Library]\n";
    for (int i = 0; text.size() < (4u << 20); ++i) {
        text += "LIB" + std::to_string(i) + "=C:\\parts\\library-" + std::to_string(i) + ".lib\n";
    }
    return text;
}

// A rewrite in place killed at any point after its journal is safe is put back at the
// next start: the file is then the old bytes or the new ones, never a mix; a file changed
// since by someone else is left as it is.
TEST(FileReplace, KilledInPlaceRewriteIsPutBack) {
    const std::string a = LargeIni("1");
    const std::string b = LargeIni("123456");
    const std::string editor = "[Library]\nLIB0=editor.lib\n";
    constexpr int TRIALS = 12;
    int restored = 0;
    for (int trial = 0; trial < TRIALS; ++trial) {
        test::ScratchFolder scratch;
        const std::string target = scratch.Write("KIVOX.INI", a);
        fs::create_hard_link(target, scratch.File("twin"));  // so it is written in place
        const ReplaceOptions options{scratch.File("journal")};
        const std::string journal = JournalPath(options.journalFolder, target);
        const pid_t child = fork();
        if (child == 0) {
            FileSnapshot read;
            ReadSnapshot(target, read);
            (void)ReplaceIfUnchanged(target, read, b, options);
            _exit(0);
        }
        // The kill comes once the journal is there, at a point that moves with the trial.
        while (!fs::exists(journal) && waitpid(child, nullptr, WNOHANG) == 0) {
        }
        usleep(static_cast<useconds_t>(trial * 400));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const bool journalLeft = fs::exists(journal);
        std::string expected;
        if (journalLeft && trial % 3 == 1) {
            // As a kill in the middle of the write leaves it.
            const size_t cut = 12 + (b.size() - 12) * trial / TRIALS;
            scratch.Write("KIVOX.INI", b.substr(0, cut) + a.substr(cut));
            expected = a;
        } else if (journalLeft && trial % 3 == 2) {
            scratch.Write("KIVOX.INI", editor);
            expected = editor;
        }
        const Recovery r = RecoverInPlaceWrite(options.journalFolder, target);
        const std::string after = scratch.Read("KIVOX.INI");
        if (expected.empty()) {
            EXPECT_TRUE(after == a || after == b) << "trial " << trial;
        } else {
            EXPECT_EQ(after, expected) << "trial " << trial;
            EXPECT_EQ(r, expected == a ? Recovery::Restored : Recovery::Dropped);
        }
        restored += r == Recovery::Restored;
        EXPECT_FALSE(fs::exists(journal));
    }
    EXPECT_GT(restored, 0);
    std::printf("in-place rewrites put back after a kill: %d of %d\n", restored, TRIALS);
}

// A rewrite in place that fails part-way (a file size limit) writes the old bytes back.
TEST(FileReplace, FailedInPlaceRewriteWritesTheOldBytesBack) {
    test::ScratchFolder scratch;
    const std::string oldBytes = "[Library]\nLIB0=a.lib\n[qurix]\nwin_x=1\n";
    const std::string target = scratch.Write("KIVOX.INI", oldBytes);
    fs::create_hard_link(target, scratch.File("twin"));
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{oldBytes.size() + 4, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
        FileSnapshot read;
        ReadSnapshot(target, read);
        const ReplaceMethod m =
            ReplaceIfUnchanged(target, read, oldBytes + std::string(64, 'x'), ReplaceOptions());
        _exit(m == ReplaceMethod::Failed ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "reported as failed";
    EXPECT_EQ(scratch.Read("KIVOX.INI"), oldBytes);
}

// Only the temporaries of writers that are gone are removed.
TEST(FileReplace, RemovesOnlyAbandonedTemporaries) {
    test::ScratchFolder scratch;
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string target = scratch.Write("KIVOX.INI", "x");
    const std::string mine = "KIVOX.INI.qurix-" + std::to_string(getpid()) + "-aaaaaa";
    const std::string left = "KIVOX.INI.qurix-" + std::to_string(gone) + "-bbbbbb";
    for (const char* other : {"KIVOX.INI.abcdef", "OTHER.INI.qurix-1-cccccc"}) {
        scratch.Write(other, "keep");
    }
    scratch.Write(mine, "keep");
    scratch.Write(left, "drop");
    EXPECT_EQ(RemoveAbandonedTemporaries(target), 1);
    EXPECT_FALSE(fs::exists(scratch.File(left)));
    EXPECT_EQ(EntryCount(scratch.Path()), 4u);
}

// In a shared folder a write keeps the file's owner and group; where the writer may not
// give the owner back, it writes in place. No write bit: left alone, also for root.
TEST(FileReplace, KeepsOwnerGroupAndReadOnly) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to make two users";
    test::ScratchFolder scratch;
    const uid_t a = 61001;
    const uid_t b = 61002;
    const gid_t g = 61000;
    ASSERT_EQ(chmod(scratch.Path().c_str(), 02775), 0);
    ASSERT_EQ(chown(scratch.Path().c_str(), a, g), 0);
    const std::string target = scratch.Write("KIVOX.INI", "[qurix]\nwin_x=1\n");
    ASSERT_EQ(chown(target.c_str(), a, g), 0);
    ASSERT_EQ(chmod(target.c_str(), 0664), 0);
    const pid_t child = fork();
    if (child == 0) {
        const gid_t groups[] = {g};
        if (setgroups(1, groups) != 0 || setgid(g) != 0 || setuid(b) != 0) _exit(2);
        FileSnapshot read;
        ReadSnapshot(target, read);
        _exit(ReplaceIfUnchanged(target, read, "[qurix]\nwin_x=2\n", ReplaceOptions()) ==
                      ReplaceMethod::InPlace
                  ? 0
                  : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, a);
    EXPECT_EQ(st.st_gid, g);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(scratch.Read("KIVOX.INI"), "[qurix]\nwin_x=2\n");
    // Root may change the owner back, so it replaces atomically and keeps both.
    FileSnapshot read = Snap(target);
    EXPECT_EQ(ReplaceIfUnchanged(target, read, "[qurix]\nwin_x=3\n", ReplaceOptions()),
              ReplaceMethod::Atomic);
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, a);
    EXPECT_EQ(st.st_gid, g);
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    read = Snap(target);
    EXPECT_EQ(ReplaceIfUnchanged(target, read, "x", ReplaceOptions()), ReplaceMethod::Failed);
    EXPECT_EQ(scratch.Read("KIVOX.INI"), "[qurix]\nwin_x=3\n");
}
#endif

}  // namespace
}  // namespace qurix
