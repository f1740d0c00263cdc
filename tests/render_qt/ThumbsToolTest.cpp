// qurix-thumbs run as a program on a small library of its own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

const std::string TOOL = std::string(QURIX_BINARY_DIR) + "/qurix-thumbs";

struct Result {
    int code = -1;
    std::string err;
};

// Runs the tool with arguments (already quoted), standard error captured.
Result RunTool(const std::string& args, const fs::path& errFile) {
    const std::string command = "'" + TOOL + "' " + args + " 2>'" + errFile.string() + "'";
    const int status = std::system(command.c_str());
    Result r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile);
    std::stringstream text;
    text << in.rdbuf();
    r.err = text.str();
    return r;
}

class ThumbsToolTest : public testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(TOOL)) GTEST_SKIP() << "qurix-thumbs is not built";
        ASSERT_FALSE(scratch_.Path().empty());
        // Two parts in one library, one in a second; a third key names a missing file.
        Write("a.lib",
              "+KIVOX_LIB_V.1.0\n"
              "+COMP,N:BOX\nX:4,Y:2,B:1\nR:U\n+PIN,N:IN,L:L1,T:N,M:1,-PIN\n-COMP\n"
              "+COMP,N:TINY\nX:1,Y:1,B:1\nR:R\n-COMP\n"
              "-KIVOX_LIB_V.1.0\n");
        Write("b.lib",
              "+KIVOX_LIB_V.1.0\n+COMP,N:ONE\nX:2,Y:2,B:1\nR:Q\n-COMP\n-KIVOX_LIB_V.1.0\n");
        Write("KIVOX.INI",
              "[Library]\nLIB0=a.lib\nLIB1=missing.lib\nLIB2=b.lib\n"
              "[DefaultColor]\nBG=65280\n");
    }
    void Write(const std::string& name, const std::string& text) { scratch_.Write(name, text); }
    std::string Ini() const { return "--ini '" + (dir_ / "KIVOX.INI").string() + "'"; }
    fs::path Err() const { return dir_ / "err.txt"; }

    qurix::test::ScratchFolder scratch_;
    fs::path dir_{scratch_.Path()};
};

TEST_F(ThumbsToolTest, ThumbsWritesImagesAndIndexInSlotOrder) {
    const fs::path out = dir_ / "out";
    const Result r = RunTool("thumbs " + Ini() + " --out '" + out.string() + "'", Err());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::ifstream index(out / "index.tsv");
    std::stringstream text;
    text << index.rdbuf();
    // The missing library takes no slot: b.lib is slot 1.
    EXPECT_EQ(text.str(), "0\t0\t0\tBOX\n1\t0\t1\tTINY\n2\t1\t0\tONE\n");
    for (int n = 0; n < 3; ++n) {
        QImage large((out / (std::to_string(n) + "-64.png")).c_str());
        QImage smallImage((out / (std::to_string(n) + "-32.png")).c_str());
        ASSERT_EQ(large.size(), QSize(64, 64)) << n;
        ASSERT_EQ(smallImage.size(), QSize(32, 32)) << n;
        ASSERT_TRUE(large.hasAlphaChannel());
        // The background (green here) is fully transparent, the frame fully opaque.
        EXPECT_EQ(qAlpha(large.pixel(0, 0)), 0) << n;
        EXPECT_EQ(qAlpha(smallImage.pixel(0, 0)), 0) << n;
    }
    QImage tiny((out / "1-64.png").c_str());
    EXPECT_EQ(tiny.pixel(27, 27), qRgba(192, 0, 0, 255));
}

TEST_F(ThumbsToolTest, PreviewIsExactlyTheExtent) {
    const fs::path file = dir_ / "p.png";
    Result r =
        RunTool("preview " + Ini() + " --lib 0 --part BOX --out '" + file.string() + "'", Err());
    ASSERT_EQ(r.code, 0) << r.err;
    QImage image(file.c_str());
    ASSERT_EQ(image.size(), QSize(120, 100));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 255, 0));    // filled with "BG"
    EXPECT_EQ(image.pixel(40, 40), qRgb(192, 0, 0));  // the frame's corner
    EXPECT_EQ(image.pixel(30, 50), qRgb(192, 0, 0));  // the pin's stub

    r = RunTool("preview " + Ini() + " --lib 1 --part box --out '" + file.string() + "'", Err());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    r = RunTool("preview " + Ini() + " --lib 2 --part ONE --out '" + file.string() + "'", Err());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    r = RunTool("preview " + Ini() + " --lib x --part ONE --out '" + file.string() + "'", Err());
    EXPECT_EQ(r.code, 1);
}

TEST_F(ThumbsToolTest, PreviewAtAZoom) {
    const fs::path file = dir_ / "z.png";
    struct Case {
        const char* options;
        int code;
        QSize size;  // of the image when made
    };
    const Case cases[] = {
        {"--zoom 2:1", 0, {240, 200}},
        {"--zoom 1:2 --block 0", 0, {60, 50}},
        {"--zoom 3:2 --block 7", 0, {180, 150}},  // a block the part lacks: block A
        {"--zoom 9:1", 2, {}},                    // beyond 8:1
        {"--zoom 1:4", 2, {}},                    // below 1:2
        {"--zoom 2", 2, {}},
        {"--block -1", 2, {}},
    };
    for (const Case& c : cases) {
        fs::remove(file);
        const Result r = RunTool(
            "preview " + Ini() + " --lib 0 --part BOX --out '" + file.string() + "' " + c.options,
            Err());
        EXPECT_EQ(r.code, c.code) << c.options << ": " << r.err;
        if (c.code == 0) {
            EXPECT_EQ(QImage(file.c_str()).size(), c.size) << c.options;
        }
    }
}

TEST_F(ThumbsToolTest, SheetAndUsage) {
    const fs::path file = dir_ / "s.png";
    Result r = RunTool("sheet " + Ini() + " --out '" + file.string() + "'", Err());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(QImage(file.c_str()).isNull());
    EXPECT_EQ(RunTool("", Err()).code, 2);
    EXPECT_EQ(RunTool("thumbs " + Ini(), Err()).code, 2);
    EXPECT_EQ(RunTool("thumbs " + Ini() + " --out x --out y", Err()).code, 2);
    EXPECT_EQ(RunTool("sheet " + Ini() + " --out x --zoom 0", Err()).code, 2);
    r = RunTool("thumbs --ini '" + (dir_ / "none.ini").string() + "' --out x", Err());
    EXPECT_EQ(r.code, 1);
}

// The files of a folder by name, with their bytes.
std::map<std::string, std::string> FolderBytes(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& f : fs::directory_iterator(dir)) {
        std::ifstream in(f.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        files[f.path().filename().string()] = bytes.str();
    }
    return files;
}

TEST_F(ThumbsToolTest, EveryThreadCountWritesTheSameBytes) {
    std::map<std::string, std::string> first;
    for (const char* threads : {"1", "0", "2", "7"}) {
        SCOPED_TRACE(threads);
        const fs::path out = dir_ / ("t" + std::string(threads));
        const std::string t = std::string(" --threads ") + threads;
        Result r = RunTool("thumbs " + Ini() + " --out '" + out.string() + "'" + t, Err());
        ASSERT_EQ(r.code, 0) << r.err;
        r = RunTool("sheet " + Ini() + " --out '" + (out / "sheet.png").string() + "'" + t, Err());
        ASSERT_EQ(r.code, 0) << r.err;
        const std::map<std::string, std::string> files = FolderBytes(out);
        EXPECT_EQ(files.size(), 8u);  // 3 x 2 images, the index, the sheet
        if (first.empty()) first = files;
        EXPECT_TRUE(files == first);
    }
    // Out of range or not a number: a usage error.
    for (const char* threads : {"-1", "65", "two", ""}) {
        EXPECT_EQ(RunTool("thumbs " + Ini() + " --out x --threads '" + threads + "'", Err()).code,
                  2)
            << threads;
    }
    EXPECT_EQ(RunTool("preview " + Ini() + " --lib 0 --part BOX --out x --threads 2", Err()).code,
              2);
}

}  // namespace
