// The thumbnail build on the palette layer: no window, a canvas that draws nothing, and
// a progress that counts and cancels on the spot.
#include "palette/ThumbnailStore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/platform/Paths.h"
#include "palette/LibraryList.h"
#include "palette/PartsList.h"
#include "palette/QurixDoc.h"
#include "render/DisplaySettings.h"
#include "tests/ScratchFolder.h"
#include "tests/render/RecordingSurface.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

// Records the calls and reads back a canvas of its size in one colour.
class CFlatCanvas : public CRecordingSurface {
public:
    CFlatCanvas(int32_t width, int32_t height) : width_(width), height_(height) {}
    bool ReadPixels(CanvasPixels& out) const override {
        out.width = width_;
        out.height = height_;
        out.bgrx.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4, 0x40);
        return true;
    }

private:
    int32_t width_;
    int32_t height_;
};

// Pixels that tell the parts apart: how many calls drew each.
class CTellingCanvas : public CFlatCanvas {
public:
    using CFlatCanvas::CFlatCanvas;
    bool ReadPixels(CanvasPixels& out) const override {
        CFlatCanvas::ReadPixels(out);
        for (size_t i = 0; i < out.bgrx.size(); i += 52) {
            out.bgrx[i] = static_cast<unsigned char>(calls.size() * 37 + i);
        }
        return true;
    }
};

template <typename Canvas>
CanvasMaker CanvasesOf(Colour) {
    return [](int32_t width, int32_t height) -> std::unique_ptr<CDrawSurface> {
        return std::make_unique<Canvas>(width, height);
    };
}
constexpr auto FlatCanvases = CanvasesOf<CFlatCanvas>;
constexpr auto TellingCanvases = CanvasesOf<CTellingCanvas>;

// Counts what the build shows and cancels after cancelAt steps (never when negative).
class CProbeProgress : public CBuildProgress {
public:
    void Begin(int32_t n) override {
        total = n;
        ++begins;
    }
    void SetPos(int32_t done) override { pos = done; }
    bool Pump() override {
        ++pumps;
        return !CancelRequested();
    }
    bool CancelRequested() const override { return cancelAt >= 0 && pos >= cancelAt; }
    void End(bool wasStopped) override {
        stopped = wasStopped;
        ++ends;
    }
    int32_t total = -1;
    int32_t pos = 0;
    int32_t cancelAt = -1;
    int begins = 0;
    int ends = 0;
    int pumps = 0;
    bool stopped = false;
};

class ThumbnailStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path examples = fs::path(QURIX_SOURCE_DIR) / "examples";
        for (const char* name : {"KIVOX.INI", "passive.lib", "semiconductor.lib", "logic.lib",
                                 "analog.lib", "connector.lib", "demo_sheet.kxd"}) {
            fs::copy_file(examples / name, fs::path(folder_.Path()) / name);
        }
        // The cache goes to ./cache.
        before_ = fs::current_path();
        fs::current_path(folder_.Path());
        doc_ = std::make_unique<CQurixDoc>(settings_, CProfile(folder_.File("KIVOX.INI")),
                                           folder_.Path() + "/");
        ASSERT_TRUE(doc_->OnNewDocument());
        store_ = std::make_unique<CThumbnailStore>(*doc_, FlatCanvases);
        store_->SetRenderThreads(threads_);
    }
    void TearDown() override {
        store_.reset();
        doc_.reset();
        fs::current_path(before_);
    }
    int32_t Entries() const {
        int32_t n = 0;
        for (int32_t i = 0; i < doc_->Libraries().Count(); ++i)
            n += doc_->Libraries().GetLibrary(i)->EntryCount();
        return n;
    }
    // The document's reload as the views take it.
    void Reload() {
        store_->Release();
        ASSERT_TRUE(doc_->Reload());
        store_->OnLoad();
    }

    test::ScratchFolder folder_;
    fs::path before_;
    CDisplaySettings settings_;
    std::unique_ptr<CQurixDoc> doc_;
    std::unique_ptr<CThumbnailStore> store_;
    int32_t threads_ = 1;
};

TEST_F(ThumbnailStoreTest, ColdBuildDrawsEveryPartThenTheCacheServesThem) {
    store_->Open();
    EXPECT_FALSE(store_->CacheValid());
    CProbeProgress progress;
    store_->Build(progress);
    const int32_t n = Entries();
    ASSERT_GT(n, 20);
    EXPECT_EQ(progress.total, n);
    EXPECT_EQ(progress.pos, n);
    EXPECT_EQ(progress.begins, 1);
    EXPECT_EQ(progress.ends, 1);
    EXPECT_FALSE(progress.stopped);
    EXPECT_EQ(store_->LastBuild().rendered, n);
    EXPECT_EQ(store_->LastBuild().reused, 0);
    EXPECT_FALSE(doc_->IsBusy());
    const CPartLibrary* first = doc_->Libraries().GetLibrary(0);
    EXPECT_EQ(store_->ImageIndex(first->Entry(0)), 0);
    EXPECT_TRUE(store_->CacheDirty());
    store_->Save();

    // The next start takes every image from the files.
    store_ = std::make_unique<CThumbnailStore>(*doc_, FlatCanvases);
    store_->Open();
    EXPECT_TRUE(store_->CacheValid());
    CProbeProgress again;
    store_->Build(again);
    EXPECT_EQ(store_->LastBuild().reused, n);
    EXPECT_EQ(store_->LastBuild().rendered, 0);
    EXPECT_FALSE(store_->CacheDirty());
}

TEST_F(ThumbnailStoreTest, ACancelStopsAtOnceAndKeepsWhatWasDrawn) {
    store_->Open();
    CProbeProgress progress;
    progress.cancelAt = 5;
    store_->Build(progress);
    EXPECT_TRUE(progress.stopped);
    EXPECT_TRUE(store_->LastBuild().stopped);
    EXPECT_EQ(store_->LastBuild().done, 5);
    EXPECT_EQ(store_->Images().Count(), 5u);
    EXPECT_TRUE(store_->Built());  // not started again by the next update
    EXPECT_FALSE(doc_->IsBusy());
}

TEST_F(ThumbnailStoreTest, ACloseDuringTheBuildStopsIt) {
    store_->Open();
    CProbeProgress progress;
    store_->onStep = [&](int32_t done) {
        if (done == 3) doc_->RequestClose();
    };
    store_->Build(progress);
    EXPECT_TRUE(store_->LastBuild().stopped);
    EXPECT_EQ(store_->LastBuild().done, 3);
}

TEST_F(ThumbnailStoreTest, AReloadDrawsOnlyTheLibraryWhoseFileChanged) {
    store_->Open();
    CProbeProgress progress;
    store_->Build(progress);
    const int32_t n = Entries();
    // logic.lib saved again (one part more would do; the same bytes with a new time
    // and size are enough to count as changed).
    const CPartLibrary* logic = nullptr;
    for (int32_t i = 0; i < doc_->Libraries().Count(); ++i) {
        const CPartLibrary* lib = doc_->Libraries().GetLibrary(i);
        if (lib->Path().find("logic.lib") != std::string::npos) logic = lib;
    }
    ASSERT_NE(logic, nullptr);
    const int32_t changed = logic->EntryCount();
    const std::string path = logic->Path();
    {
        std::FILE* f = std::fopen(path.c_str(), "ab");
        ASSERT_NE(f, nullptr);
        std::fputs("\n", f);
        std::fclose(f);
    }
    Reload();
    CProbeProgress again;
    store_->Build(again);
    EXPECT_EQ(store_->LastBuild().rendered, changed);
    EXPECT_EQ(store_->LastBuild().reused, n - changed);
    EXPECT_EQ(store_->Images().Count(), static_cast<size_t>(n));
}

// The parts list shows the parts that have images: after a cancel, those reached.
TEST_F(ThumbnailStoreTest, PartsListItemsAreThePartsWithImages) {
    store_->Open();
    CProbeProgress progress;
    const CPartLibrary* first = doc_->Libraries().GetLibrary(0);
    const CPartLibrary* second = doc_->Libraries().GetLibrary(1);
    ASSERT_GT(first->EntryCount(), 3);
    progress.cancelAt = first->EntryCount() + 2;
    store_->Build(progress);
    const std::vector<PartsListItem> all = CPartsList::LibraryItems(first, *store_);
    ASSERT_EQ(all.size(), static_cast<size_t>(first->EntryCount()));
    EXPECT_EQ(all[1].entry, first->Entry(1));
    EXPECT_EQ(all[1].shown, first);
    EXPECT_EQ(all[1].library, nullptr);
    EXPECT_EQ(CPartsList::LibraryItems(second, *store_).size(), 2u);  // reached before the cancel
    EXPECT_TRUE(CPartsList::LibraryItems(nullptr, *store_).empty());

    const std::vector<ListedPart> listed = {
        {second, second->Entry(second->EntryCount() - 1)},  // not drawn: left out
        {first, first->Entry(2)},
        {nullptr, first->Entry(0)},  // no library to drag from: left out
        {second, second->Entry(0)},
    };
    const std::vector<PartsListItem> found = CPartsList::ListedItems(listed, *store_);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].entry, first->Entry(2));
    EXPECT_EQ(found[0].library, first);
    EXPECT_EQ(found[1].entry, second->Entry(0));

    CPartsList list;
    EXPECT_EQ(list.Recall(first), -1);
    list.Remember(first, 7);
    list.Remember(nullptr, 3);
    EXPECT_EQ(list.Recall(first), 7);
    EXPECT_EQ(list.Recall(nullptr), -1);
    list.Forget();
    EXPECT_EQ(list.Recall(first), -1);
}

class EarlyListStoreTest : public ThumbnailStoreTest {
protected:
    // Builds, and keeps the early list of library number row as a close does.
    void BuildAndClose(int32_t row) {
        store_ = std::make_unique<CThumbnailStore>(*doc_, TellingCanvases);
        store_->Open();
        CProbeProgress progress;
        store_->Build(progress);
        ASSERT_TRUE(WriteLastLibrary(doc_->Profile(), row));
        store_->Save();
        store_->SaveEarlyList(doc_->Libraries().GetLibrary(row), row);
    }
    // As the next start reads it, before any library is loaded.
    bool ReadAtStart(EarlyList& list) {
        CThumbnailStore next(*doc_, TellingCanvases);
        return next.ReadEarlyList(list);
    }
};

TEST_F(EarlyListStoreTest, TheEarlyListIsTheListTheLoadShows) {
    BuildAndClose(2);
    EarlyList early;
    ASSERT_TRUE(ReadAtStart(early));
    const CPartLibrary* shown = doc_->Libraries().GetLibrary(2);
    const std::vector<PartsListItem> items = CPartsList::LibraryItems(shown, *store_);
    ASSERT_GT(items.size(), 3u);
    ASSERT_EQ(early.Count(), items.size());
    EXPECT_EQ(early.row, 2);
    const ThumbnailSet& images = store_->Images();
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(early.names[i], items[i].entry->Name().View()) << i;
        const auto image = static_cast<size_t>(items[i].image);
        EXPECT_EQ(early.LargeImage(i).pixels, images.large.Image(image).pixels) << i;
        EXPECT_EQ(early.SmallImage(i).pixels, images.smallImage.Image(image).pixels) << i;
    }
    // The images differ from part to part, so an order mixed up would have shown.
    EXPECT_NE(early.LargeImage(0).pixels, early.LargeImage(1).pixels);
}

TEST_F(EarlyListStoreTest, AStaleEarlyListIsNotShown) {
    BuildAndClose(2);
    EarlyList early;
    ASSERT_TRUE(ReadAtStart(early));
    const CProfile& profile = doc_->Profile();
    const struct {
        const char* what;
        std::function<void()> change;
        std::function<void()> undo;
    } cases[] = {
        {"another library remembered", [&] { WriteLastLibrary(profile, 1); },
         [&] { WriteLastLibrary(profile, 2); }},
        {"other colours",
         [&] {
             profile.WriteInt("DefaultColor", "BG", 0x00FFEE);
             doc_->ReadDrawingSettings();
         },
         [&] {
             profile.WriteInt("DefaultColor", "BG", 16777215);
             doc_->ReadDrawingSettings();
         }},
        {"the list's library saved since",
         [&] {
             const fs::path lib = doc_->Libraries().GetLibrary(2)->Path();
             fs::last_write_time(lib, fs::last_write_time(lib) + std::chrono::seconds(5));
         },
         nullptr},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_FALSE(ReadAtStart(early)) << c.what;
        EXPECT_EQ(early.Count(), 0u) << c.what;
        if (!c.undo) continue;
        c.undo();
        EXPECT_TRUE(ReadAtStart(early)) << c.what << ", undone";
    }
}

TEST_F(EarlyListStoreTest, AnotherLibraryAtCloseReplacesTheList) {
    BuildAndClose(2);
    ASSERT_TRUE(WriteLastLibrary(doc_->Profile(), 0));
    store_->SaveEarlyList(doc_->Libraries().GetLibrary(0), 0);
    EarlyList early;
    ASSERT_TRUE(ReadAtStart(early));
    EXPECT_EQ(early.row, 0);
    EXPECT_EQ(early.Count(), static_cast<size_t>(doc_->Libraries().GetLibrary(0)->EntryCount()));
    // The same library shown in another mode: its images are written instead.
    for (const EarlyImages kept : {EarlyImages::Small, EarlyImages::Large}) {
        store_->SaveEarlyList(doc_->Libraries().GetLibrary(0), 0, kept);
        ASSERT_TRUE(ReadAtStart(early));
        EXPECT_EQ(early.kept, kept);
        EXPECT_EQ(early.LargeImage(0).IsNull(), kept == EarlyImages::Small);
        EXPECT_EQ(early.SmallImage(0).IsNull(), kept == EarlyImages::Large);
    }
}

class PooledStoreTest : public ThumbnailStoreTest {
protected:
    void SetUp() override {
        threads_ = 3;
        ThumbnailStoreTest::SetUp();
    }
};

TEST_F(PooledStoreTest, WorkersDrawTheSameSetInEntryOrder) {
    store_->Open();
    CProbeProgress progress;
    store_->Build(progress);
    EXPECT_EQ(store_->LastBuild().workers, 3);
    EXPECT_EQ(store_->LastBuild().rendered, Entries());
    EXPECT_TRUE(store_->Images().Consistent());
    for (size_t i = 0; i < store_->Images().Count(); ++i) {
        EXPECT_EQ(store_->Images().entries[i], static_cast<int32_t>(i));
    }
}

}  // namespace
}  // namespace qurix
