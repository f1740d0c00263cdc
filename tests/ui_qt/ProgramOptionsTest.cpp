// --help, --version and refused arguments of every installed program, run as programs
// with no display at hand.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "QurixVersion.h"
#include "tests/ScratchFolder.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ProgramOptionsTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        exe_ = fs::path(QURIX_BINARY_DIR) / GetParam();
        if (!fs::exists(exe_)) GTEST_SKIP() << GetParam() << " is not built";
        ASSERT_FALSE(scratch_.Path().empty());
    }

    // Runs the program with arguments (already quoted). No display is reachable and Qt
    // is told to use X11, so a program that started Qt to answer would fail.
    Outcome Start(const std::string& args, const std::string& out = "") {
        const fs::path outFile = dir_ / "out.txt";
        const fs::path errFile = dir_ / "err.txt";
        // Appended piece by piece: g++ 12 at -O3 takes "x" + string for an overlapping copy.
        std::string target = out;
        if (target.empty()) target.append("'").append(outFile.string()).append("'");
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '" +
                                    exe_.string() + "' " + args + " >" + target + " 2>'" +
                                    errFile.string() + "' </dev/null";
        const int status = std::system(command.c_str());
        Outcome r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadAll(outFile);
        r.err = ReadAll(errFile);
        return r;
    }

    fs::path exe_;
    test::ScratchFolder scratch_;
    fs::path dir_{scratch_.Path()};
};

TEST_P(ProgramOptionsTest, VersionPrintsNameAndProjectVersion) {
    const Outcome r = Start("--version");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::string(GetParam()) + " " + VERSION + "\n");
    EXPECT_EQ(r.err, "");
}

TEST_P(ProgramOptionsTest, HelpStartsWithTheUsageARefusalPrints) {
    const Outcome refused = Start("--no-such-option");
    const Outcome help = Start("--help");
    EXPECT_EQ(help.code, 0) << help.err;
    EXPECT_EQ(help.err, "");
    // The usage names the program and both options; after it come a blank line and the
    // text with the exit status.
    EXPECT_EQ(refused.err.rfind(std::string("usage: ") + GetParam(), 0), 0u) << refused.err;
    EXPECT_NE(refused.err.find("--help | --version"), std::string::npos) << refused.err;
    EXPECT_EQ(help.out.rfind(refused.err + "\n", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("\nExit status: 0"), std::string::npos) << help.out;
}

TEST_P(ProgramOptionsTest, AnythingElseIsAUsageError) {
    const char* const refused[] = {
        "--no-such-option",  // unknown option
        "--HELP",            // options are case-sensitive
        "-h",                // no short forms
        "--version=1",       // no values
        "--help --version",  // one option at a time
        "--version extra",   // nothing after the option
        "'' --help",         // an empty argument first
    };
    for (const char* args : refused) {
        const Outcome r = Start(args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.rfind("usage: ", 0), 0u) << args << ": " << r.err;
    }
}

TEST_P(ProgramOptionsTest, UnwritableOutputIsAFailure) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (const char* option : {"--version", "--help"}) {
        const Outcome r = Start(option, "/dev/full");
        EXPECT_EQ(r.code, 1) << option;
        EXPECT_NE(r.err.find("cannot write"), std::string::npos) << option << ": " << r.err;
    }
}

// The measuring option starts the palette as usual, prints one line of figures when the
// parts list is first shown and ends as a closed window does (status 0, settings saved).
TEST(PaletteExitWhenShown, PrintsTheFiguresAndCloses) {
    const fs::path exe = fs::path(QURIX_BINARY_DIR) / "qurix";
    if (!fs::exists(exe)) GTEST_SKIP() << "qurix is not built";
    test::ScratchFolder scratch;
    const fs::path dir = scratch.Path();
    std::ofstream(dir / "a.lib", std::ios::binary)
        << "+KIVOX_LIB_V.1.0\n+COMP,N:R1\nX:4,Y:2,B:1\nR:R\n-COMP\n-KIVOX_LIB_V.1.0\n";
    std::ofstream(dir / "KIVOX.INI", std::ios::binary) << "[Library]\nLIB0=a.lib\n";
    const std::string command = "cd '" + dir.string() + "' && QT_QPA_PLATFORM=offscreen '" +
                                exe.string() + "' --exit-when-shown >out.txt 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string out = ReadAll(dir / "out.txt");
    double shownMs = -1;
    long long shownAt = 0;
    long rss = 0;
    long peak = 0;
    ASSERT_EQ(std::sscanf(out.c_str(), "shown_ms=%lf shown_at_ns=%lld rss_kib=%ld peak_rss_kib=%ld",
                          &shownMs, &shownAt, &rss, &peak),
              4)
        << out;
    EXPECT_GE(shownMs, 0);
    EXPECT_GT(rss, 0);
    EXPECT_GT(peak, 0);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    // Closed as a user closes it: the cache of the part drawn is written.
    EXPECT_TRUE(fs::exists(dir / "cache" / "largeimage.cache"));
    EXPECT_TRUE(fs::exists(dir / "cache" / "earlylist.cache"));

    // The next start shows the list from the cache first and closes once it has loaded.
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string again = ReadAll(dir / "out.txt");
    const char* ready = std::strstr(again.c_str(), "ready_ms=");
    ASSERT_NE(ready, nullptr) << again;
    ASSERT_EQ(std::sscanf(again.c_str(), "shown_ms=%lf", &shownMs), 1) << again;
    EXPECT_GE(std::atof(ready + 9), shownMs) << again;
}

INSTANTIATE_TEST_SUITE_P(Installed, ProgramOptionsTest,
                         testing::Values("qurix", "qurix-lib", "qurix-thumbs"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (c == '-') c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace qurix
