// The thumbnail pool against drawing one part after another on this thread.
#include "render/ThumbnailPool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/library/PartLibrary.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "render/Thumbnails.h"
#include "render/qt/QtBridge.h"

namespace qurix {
namespace {

// The sample libraries with the colours and fonts of their KIVOX.INI, as the palette
// loads them.
class Samples {
public:
    Samples() {
        const std::string ini = std::string(QURIX_SOURCE_DIR) + "/examples/KIVOX.INI";
        LoadDisplaySettings(settings, CProfile(ini), ConfigFolder(ini));
        for (int32_t slot = 0; slot < settings.libraries.Count(); ++slot) {
            const CPartLibrary* library = settings.libraries.GetLibrary(slot);
            for (int32_t e = 0; library != nullptr && e < library->EntryCount(); ++e) {
                parts.push_back(library->Entry(e));
            }
        }
    }
    // Each part drawn on this thread, one after another, as before the pool.
    std::vector<CThumbnailPool::Images> DrawOneByOne() const {
        const CanvasMaker maker = QtCanvasMaker(settings.colours.Get(ColourKey::BG));
        std::vector<CThumbnailPool::Images> out;
        for (const CLibEntry* part : parts) {
            PartThumbnails t = MakePartThumbnails(maker, settings, *part);
            out.push_back({std::move(t.large), std::move(t.smallImage)});
        }
        return out;
    }

    CDisplaySettings settings;
    std::vector<const CLibEntry*> parts;
};

// Same size and pixels.
bool SameBytes(const ArgbImage& a, const ArgbImage& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

TEST(ThumbnailPoolTest, EveryThreadCountDrawsTheSamePixelsInListOrder) {
    Samples s;
    // More parts than the lookahead: the ring of results wraps around.
    std::vector<const CLibEntry*> parts;
    while (parts.size() <= CThumbnailPool::LOOKAHEAD + 10) {
        parts.insert(parts.end(), s.parts.begin(), s.parts.end());
    }
    const std::vector<CThumbnailPool::Images> expected = s.DrawOneByOne();
    ASSERT_GT(expected.size(), 50u);
    for (const int32_t threads : {1, 2, 3, 8}) {
        SCOPED_TRACE(threads);
        CThumbnailPool pool(s.settings, parts, threads, QtCanvasMaker);
        EXPECT_EQ(pool.Workers(), threads == 1 ? 0 : threads);
        for (size_t i = 0; i < parts.size(); ++i) {
            const CThumbnailPool::Images got = pool.Next();
            const CThumbnailPool::Images& want = expected[i % expected.size()];
            ASSERT_TRUE(got.IsValid()) << i;
            // Every part lists several times and is drawn by several threads at once,
            // which also shares its pattern between them.
            ASSERT_TRUE(SameBytes(got.large, want.large)) << i;
            ASSERT_TRUE(SameBytes(got.smallImage, want.smallImage)) << i;
        }
        CThumbnailPool::Images after;
        EXPECT_FALSE(pool.Next(after, std::chrono::milliseconds(0)));
        EXPECT_FALSE(pool.Next().IsValid());
    }
}

TEST(ThumbnailPoolTest, StopEndsTheListAndDropsThePartsUnderWay) {
    Samples s;
    for (const int32_t threads : {1, 4}) {
        SCOPED_TRACE(threads);
        CThumbnailPool pool(s.settings, s.parts, threads, QtCanvasMaker);
        for (int i = 0; i < 5; ++i) ASSERT_TRUE(pool.Next().IsValid()) << i;
        pool.Stop();
        CThumbnailPool::Images images;
        EXPECT_FALSE(pool.Next(images, std::chrono::milliseconds(0)));
        EXPECT_FALSE(pool.Next().IsValid());
    }
    // Destroyed without Stop while the workers draw: they end with it.
    CThumbnailPool busy(s.settings, s.parts, 4, QtCanvasMaker);
}

TEST(ThumbnailPoolTest, AMissingPartGivesNoImagesAndTheOthersKeepTheirPlaces) {
    Samples s;
    const std::vector<CThumbnailPool::Images> expected = s.DrawOneByOne();
    const std::vector<const CLibEntry*> parts = {nullptr, s.parts[0], nullptr, s.parts[1]};
    for (const int32_t threads : {1, 3}) {
        CThumbnailPool pool(s.settings, parts, threads, QtCanvasMaker);
        EXPECT_FALSE(pool.Next().IsValid());
        EXPECT_TRUE(SameBytes(pool.Next().large, expected[0].large));
        EXPECT_FALSE(pool.Next().IsValid());
        EXPECT_TRUE(SameBytes(pool.Next().large, expected[1].large));
    }
    // Nothing to draw: no worker, nothing to hand back.
    CThumbnailPool empty(s.settings, {}, 4, QtCanvasMaker);
    EXPECT_EQ(empty.Workers(), 0);
    CThumbnailPool::Images images;
    EXPECT_FALSE(empty.Next(images, std::chrono::milliseconds(0)));
    // Never more workers than parts.
    EXPECT_EQ(CThumbnailPool(s.settings, {s.parts[0], s.parts[1]}, 8, QtCanvasMaker).Workers(), 2);
}

TEST(ThumbnailPoolTest, ThreadCount) {
    const int32_t cores = std::max(static_cast<int32_t>(std::thread::hardware_concurrency()), 1);
    const struct {
        int32_t wanted;
        int32_t expected;
    } cases[] = {
        {0, cores},                           // the default: one per core
        {-5, cores},                          // a strange INI value: the default
        {1, 1},                               // drawn on the caller's thread
        {6, 6},                               // more than the cores: as asked
        {1000, CThumbnailPool::MAX_THREADS},  // within bounds
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CThumbnailPool::ThreadCount(c.wanted), c.expected) << c.wanted;
    }
}

}  // namespace
}  // namespace qurix
