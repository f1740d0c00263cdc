// The thumbnail build with its drawing on worker threads ("render_threads" in section
// "qurix"), on the sample libraries.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/profile/Profile.h"
#include "render/ThumbnailPool.h"
#include "render/qt/QtBridge.h"
#include "tests/ui_qt/PaletteTestBase.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/ProgressDlg.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

const char* const SAMPLE_LIBRARIES[] = {"passive.lib", "semiconductor.lib", "logic.lib",
                                        "analog.lib",  "connector.lib",     "demo_sheet.kxd"};

// The images of a build with the entry each belongs to.
struct Built {
    std::vector<QImage> large;
    std::vector<QImage> smallImage;
    std::vector<int32_t> entries;
};

class PooledBuildTest : public PaletteTestBase {
protected:
    void SetUp() override {
        PaletteTestBase::SetUp();
        const fs::path examples = fs::path(QURIX_SOURCE_DIR) / "examples";
        fs::copy_file(examples / "KIVOX.INI", root_ / "work" / "KIVOX.INI");
        for (const char* lib : SAMPLE_LIBRARIES)
            fs::copy_file(examples / lib, root_ / "work" / lib);
    }
    // "render_threads"; an empty value removes nothing but reads as 0.
    void SetThreads(const std::string& value) const {
        CProfile((root_ / "work" / "KIVOX.INI").string())
            .WriteString("qurix", "render_threads", value);
    }
    // A start without the cache: every part drawn.
    void ColdStart() {
        fs::remove_all(root_ / "work" / "cache");
        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
    }
    // Every library saved again, so that a reload draws everything.
    void TouchAll() const {
        for (const char* lib : SAMPLE_LIBRARIES) {
            const fs::path p = root_ / "work" / lib;
            fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(10));
        }
    }
    CPartsView& Parts() const { return *Frame().PartsList(); }
    Built Images() const {
        const ThumbnailSet& set = Parts().Images();
        Built built{{}, {}, set.entries};
        for (size_t i = 0; i < set.Count(); ++i) {
            built.large.push_back(ToQImage(set.large.Image(i)));
            built.smallImage.push_back(ToQImage(set.smallImage.Image(i)));
        }
        return built;
    }
    // The images of a cold start drawn on the window's own thread.
    Built OneThread() {
        SetThreads("1");
        ColdStart();
        Built built = Images();
        Close();
        return built;
    }
};

TEST_F(PooledBuildTest, EveryThreadCountLandsTheSameImagesInEntryOrder) {
    const Built one = OneThread();
    ASSERT_GT(one.entries.size(), 50u);
    for (size_t i = 0; i < one.entries.size(); ++i) {
        ASSERT_EQ(one.entries[i], static_cast<int32_t>(i));
    }
    for (const int threads : {2, 3, 8}) {
        SCOPED_TRACE(threads);
        SetThreads(std::to_string(threads));
        ColdStart();
        EXPECT_EQ(Parts().LastBuild().workers, threads);
        EXPECT_EQ(Parts().LastBuild().rendered, static_cast<int32_t>(one.entries.size()));
        const Built pooled = Images();
        EXPECT_EQ(pooled.entries, one.entries);
        ASSERT_EQ(pooled.large.size(), one.large.size());
        for (size_t i = 0; i < one.large.size(); ++i) {
            // Same format, size and pixels.
            EXPECT_EQ(pooled.large[i], one.large[i]) << i;
            EXPECT_EQ(pooled.smallImage[i], one.smallImage[i]) << i;
        }
        Close();
    }
}

TEST_F(PooledBuildTest, ThreadsFromTheSetterTheIniOrTheCores) {
    const int32_t cores = CThumbnailPool::ThreadCount(0);
    const int32_t byCores = cores > 1 ? cores : 0;
    const struct {
        const char* ini;
        int32_t setter;
        int32_t workers;
    } cases[] = {
        {"", 0, byCores},     // nothing said: one per core
        {"1", 0, 0},          // the window's own thread
        {"3", 0, 3},          //
        {"-2", 0, byCores},   // a strange value: the default
        {"abc", 0, byCores},  // not a number: 0, the default
        {"3", 1, 0},          // the setter wins over the INI
        {"1", 2, 2},          //
    };
    SetThreads("1");
    ColdStart();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.ini) + " / " + std::to_string(c.setter));
        SetThreads(c.ini);
        Parts().SetRenderThreads(c.setter);
        TouchAll();
        ASSERT_TRUE(Doc().Reload());
        EXPECT_EQ(Parts().LastBuild().workers, c.workers);
        EXPECT_GT(Parts().LastBuild().rendered, 0);
    }
}

// Cancelled with several workers drawing ahead: the images are a prefix in entry order,
// each the one drawing on one thread gives, and the next start draws only the rest.
TEST_F(PooledBuildTest, ACancelKeepsAWholePrefix) {
    const Built one = OneThread();
    const auto total = static_cast<int32_t>(one.entries.size());
    ASSERT_GT(total, 50);
    for (const int32_t cancelAt : {1, 40, total - 1}) {
        SCOPED_TRACE(cancelAt);
        SetThreads("3");
        ColdStart();
        TouchAll();
        int32_t steps = 0;
        Parts().onBuildStep = [&](CProgressDlg& dialog, int32_t done) {
            ++steps;
            EXPECT_EQ(done, steps);  // counted in entry order
            if (done == cancelAt) dialog.CancelButton()->click();
        };
        ASSERT_TRUE(Doc().Reload());
        const CPartsView::BuildStats& stats = Parts().LastBuild();
        EXPECT_TRUE(stats.stopped);
        EXPECT_EQ(stats.done, cancelAt);
        EXPECT_EQ(stats.rendered, cancelAt);
        EXPECT_EQ(stats.workers, 3);
        const Built kept = Images();
        ASSERT_EQ(kept.entries.size(), static_cast<size_t>(cancelAt));
        for (size_t i = 0; i < kept.entries.size(); ++i) {
            EXPECT_EQ(kept.entries[i], static_cast<int32_t>(i));
            EXPECT_EQ(kept.large[i], one.large[i]) << i;
        }
        EXPECT_FALSE(Doc().IsBusy());
        Close();

        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
        EXPECT_EQ(Parts().LastBuild().reused, cancelAt);
        EXPECT_EQ(Parts().LastBuild().rendered, total - cancelAt);
        EXPECT_EQ(Images().entries, one.entries);
        Close();
    }
}

TEST_F(PooledBuildTest, ClosingTheWindowEndsAPooledBuild) {
    SetThreads("4");
    ColdStart();
    TouchAll();
    Parts().onBuildStep = [&](CProgressDlg&, int32_t done) {
        if (done == 3) Frame().close();
    };
    ASSERT_TRUE(Doc().Reload());
    EXPECT_TRUE(Parts().LastBuild().stopped);
    EXPECT_EQ(Parts().LastBuild().done, 3);
    EXPECT_EQ(Parts().LastBuild().workers, 4);
    QApplication::processEvents();
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_FALSE(Doc().IsLoaded());
}

}  // namespace
}  // namespace qurix
