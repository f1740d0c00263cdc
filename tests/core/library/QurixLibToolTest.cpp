// The qurix-lib program's output, when it has been built beside the tests.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/ScratchFolder.h"
#include "tests/core/search/SearchSamples.h"

namespace qurix {
namespace {

struct ToolRun {
    int code = -1;
    std::string out;
};

std::string Tool() {
    return std::string(QURIX_BINARY_DIR) + "/qurix-lib";
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs the tool with its standard error thrown away unless errToOut.
ToolRun RunTool(const std::string& args, bool errToOut = false, const std::string& cwd = "") {
    ToolRun r;
#ifdef _WIN32
    (void)args, (void)errToOut, (void)cwd;
#else
    const std::string command = (cwd.empty() ? "" : "cd " + Quote(cwd) + " && ") + Quote(Tool()) +
                                " " + args + (errToOut ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
    const int status = pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return r;
}

class QurixLibTool : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "runs qurix-lib through a POSIX shell; on Windows scripts/test-windows "
                        "compares the tool's output with the Linux build's instead";
#endif
        if (!std::filesystem::exists(Tool())) GTEST_SKIP() << "qurix-lib is not built";
    }
    test::ScratchFolder dir;
};

TEST_F(QurixLibTool, DumpWritesALibraryThatDumpsTheSame) {
    const std::string source =
        std::string(QURIX_SOURCE_DIR) + "/tests/core/data/library/roundtrip.lib";
    const ToolRun first = RunTool("dump " + Quote(source));
    ASSERT_EQ(first.code, 0);
    EXPECT_EQ(first.out.rfind("+KIVOX_LIB_V.1.0\nPROP:", 0), 0u);
    const std::string copy = dir.Write("copy.lib", first.out);
    const ToolRun second = RunTool("dump " + Quote(copy));
    ASSERT_EQ(second.code, 0);
    EXPECT_EQ(second.out, first.out);

    const std::string empty = dir.Write("empty.lib", "+KIVOX_LIB_V.1.0\n");
    EXPECT_EQ(RunTool("dump " + Quote(empty)).out, "+KIVOX_LIB_V.1.0\nPROP:\n-KIVOX_LIB_V.1.0\n");
}

TEST_F(QurixLibTool, DumpOfABrokenFile) {
    const std::string bad = dir.Write("bad.lib", "hello\n");
    const ToolRun r = RunTool("dump " + Quote(bad), true);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "qurix-lib: cannot load " + bad + "\n");
}

TEST_F(QurixLibTool, DumpRefusesPartsThatWouldNotReadBack) {
    // Cut inside its last record, a part keeps no size; written, it would fail the load.
    const std::string cut =
        dir.Write("cut.lib",
                  "+KIVOX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n+ALIAS,N:A,A:C,-ALIAS\n"
                  "+COMP,N:B\n+ALIAS,N:B,A:D,-ALIAS\n");
    const ToolRun r = RunTool("dump " + Quote(cut));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out,
              "+KIVOX_LIB_V.1.0\nPROP:\n+COMP,N:A\nX:1,Y:1,B:1\nR:U\nNOTE:,-COMP\n"
              "+COMP,N:C\nX:1,Y:1,B:1\nR:U\nNOTE:,-COMP\n-KIVOX_LIB_V.1.0\n");
    const std::string rest = dir.Write("rest.lib", r.out);
    EXPECT_EQ(RunTool("check " + Quote(rest)).out, rest + ": ok, 2 parts\n");
}

TEST_F(QurixLibTool, CheckSaysWhereAndWhy) {
    const std::string good = dir.Write("good.lib",
                                       "+KIVOX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n"
                                       "+ALIAS,N:A,A:B,-ALIAS\n-KIVOX_LIB_V.1.0\n");
    const std::string bad = dir.Write(
        "bad.lib", "+KIVOX_LIB_V.1.0\n+COMP,N:AMP\nX:1,Y:1\nB:300\n-COMP\n-KIVOX_LIB_V.1.0\n");
    const std::string stray =
        dir.Write("stray.lib", "+KIVOX_LIB_V.1.0\n\n-COMP\n-KIVOX_LIB_V.1.0\n");

    ToolRun r = RunTool("check " + Quote(good));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, good + ": ok, 2 parts\n");

    r = RunTool("check " + Quote(good) + " " + Quote(bad) + " " + Quote(stray));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, good + ": ok, 2 parts\n" + bad +
                         ": fails at line 4: component AMP: block count 300 out of range\n" +
                         stray + ": fails at line 3: unexpected end tag -COMP\n");

    // A token that would set the terminal's title and clear it is shown escaped.
    const std::string hostile = dir.Write(
        "hostile.lib", "+KIVOX_LIB_V.1.0\n+COMP,N:\x1b[2J" + std::string(100, 'A') + "\n-PTN\n");
    r = RunTool("check " + Quote(hostile));
    EXPECT_EQ(r.out, hostile + ": fails at line 3: component \\x1b[2J" + std::string(76, 'A') +
                         "\xE2\x80\xA6: unexpected end tag -PTN\n");

    r = RunTool("check " + Quote(dir.Path() + "/none.lib"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, dir.Path() +
                         "/none.lib: fails at line 0: cannot open: No such file or "
                         "directory\n");
}

TEST_F(QurixLibTool, ListShowsTheLoadedSet) {
    dir.Write("a.lib", "+KIVOX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n-KIVOX_LIB_V.1.0\n");
    dir.Write("b.lib", "+KIVOX_LIB_V.1.0\n-KIVOX_LIB_V.1.0\n");
    const std::string ini =
        dir.Write("KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=missing.lib\nLIB2=b.lib\n");
    const ToolRun r = RunTool("list " + Quote(ini));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "0\t1\t" + dir.Path() + "/a.lib\n1\t0\t" + dir.Path() + "/b.lib\n");

    // Relative to the INI's folder, also when the INI itself is named relatively.
    const ToolRun rel = RunTool("list KIVOX.INI", false, dir.Path());
    EXPECT_EQ(rel.code, 0);
    EXPECT_EQ(rel.out, "0\t1\ta.lib\n1\t0\tb.lib\n");
    std::filesystem::create_directory(dir.Path() + "/sub");
    const ToolRun up = RunTool("list ../KIVOX.INI", false, dir.Path() + "/sub");
    EXPECT_EQ(up.out, "0\t1\t../a.lib\n1\t0\t../b.lib\n");
}

TEST_F(QurixLibTool, Usage) {
    EXPECT_EQ(RunTool("").code, 2);
    EXPECT_EQ(RunTool("frob x").code, 2);
    EXPECT_EQ(RunTool("dump a b").code, 2);
    EXPECT_EQ(RunTool("list " + Quote(dir.Path() + "/none.ini")).code, 1);
}

TEST_F(QurixLibTool, FindPrintsRankedPartsWithRawNames) {
    test::WriteSearchSamples(dir);
    // The words of the query make one query; paths as the INI names them.
    ToolRun r = RunTool("find KIVOX.INI ｺﾝﾃﾞﾝｻ", false, dir.Path());
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "0\tutf8.lib\tコンデンサ\texact\n"
              "1\tcp932.lib\t\xBA\xDD\xC3\xDE\xDD\xBB\texact\n"
              "0\tutf8.lib\tCAP\talias\n");
    r = RunTool("find KIVOX.INI LM358 dual", false, dir.Path());
    EXPECT_EQ(r.out, "0\tutf8.lib\tLM358 DUAL\texact\n");
    r = RunTool("find KIVOX.INI 8", false, dir.Path());
    EXPECT_EQ(r.out, "0\tutf8.lib\tR_ARRAY-8\tword\n0\tutf8.lib\tLM358 DUAL\tinside\n");
    r = RunTool("find KIVOX.INI たいま", false, dir.Path());
    EXPECT_EQ(r.out, "0\tutf8.lib\tNE555\tnote\n1\tcp932.lib\tNE555\tnote\n");

    // No result is 1; a missing query or configuration file is a usage error.
    EXPECT_EQ(RunTool("find KIVOX.INI zzz", false, dir.Path()).code, 1);
    EXPECT_EQ(RunTool("find KIVOX.INI ' '", false, dir.Path()).code, 1);
    EXPECT_EQ(RunTool("find KIVOX.INI", false, dir.Path()).code, 2);
    EXPECT_EQ(RunTool("find none.ini R", false, dir.Path()).code, 2);
}

#ifndef _WIN32
// A FIFO, a socket, a folder and a device named as a library or as the INI are refused at
// once (a FIFO used to block the open for good); a link to a regular file still reads.
TEST_F(QurixLibTool, SpecialFilesAreRefusedAtOnce) {
    const std::string fifo = dir.File("fifo.lib");
    const std::string socketPath = dir.File("socket.lib");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string good = dir.Write("good.lib", "+KIVOX_LIB_V.1.0\n-KIVOX_LIB_V.1.0\n");
    std::filesystem::create_symlink(good, dir.File("link.lib"));
    for (const std::string& path : {fifo, socketPath, dir.Path(), std::string("/dev/null")}) {
        EXPECT_EQ(RunTool("check " + Quote(path)).out,
                  path + ": fails at line 0: not a regular file\n");
    }
    EXPECT_EQ(RunTool("check " + Quote(dir.File("link.lib"))).out,
              dir.File("link.lib") + ": ok, 0 parts\n");
    const std::string ini = dir.Write("KIVOX.INI", "[Library]\nLIB0=fifo.lib\nLIB1=good.lib\n");
    const ToolRun list = RunTool("list " + Quote(ini), true);
    EXPECT_NE(list.out.find("LIB0 " + fifo + ": fails at line 0: not a regular file"),
              std::string::npos)
        << list.out;
    EXPECT_EQ(RunTool("list " + Quote(fifo), true).out,
              "qurix-lib: cannot read " + fifo + ": not a regular file\n");
    close(s);
}
#endif

}  // namespace
}  // namespace qurix
