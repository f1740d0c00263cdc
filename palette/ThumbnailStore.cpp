#include "palette/ThumbnailStore.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <utility>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/platform/FileReplaceSteps.h"
#include "core/platform/Paths.h"
#include "palette/CacheLocation.h"
#include "palette/PartsList.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "render/DisplaySettings.h"
#include "render/ThumbnailPool.h"

namespace qurix {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto PUMP_INTERVAL = std::chrono::milliseconds(10);

}  // namespace

// One image build under way: the cached images it may take, where each entry's image
// comes from, the drawing of those that need it and how far the build got.
struct CThumbnailStore::BuildStep {
    enum class Source { None, Cached, Previous, Drawn };
    const CLibEntry* entry = nullptr;
    Source source = Source::None;
    size_t image = 0;       // in the cached images or previous_
    uint64_t identity = 0;  // ImageIdentity of the entry
};

struct CThumbnailStore::BuildRun {
    BuildRun(const CDisplaySettings& s, CBuildProgress& p) : settings(s), progress(p) {}
    const CDisplaySettings& settings;
    CBuildProgress& progress;
    ThumbnailSet cached;
    // The previous load's images by identity, and whether the library walked now is
    // unchanged since then (only its images are taken from there).
    std::unordered_map<uint64_t, size_t> previous;
    bool libraryUnchanged = false;
    size_t next = 0;  // the first cached image not yet passed
    // Every entry of every library, in order.
    std::vector<BuildStep> steps;
    // Draws the steps of source Drawn, in their order.
    std::unique_ptr<CThumbnailPool> pool;
    int32_t ordinal = 0;  // the entry's position among all entries
    BuildStats stats;
    Clock::time_point lastPump = Clock::now();
};

CThumbnailStore::CThumbnailStore(CQurixDoc& doc, CanvasFactory canvases)
    : doc_(doc), canvases_(std::move(canvases)) {}

void CThumbnailStore::Open() {
    // The process's working folder, as it is at start.
    cacheFolder_ = ChooseCacheFolder(RealCacheLocationInputs(doc_.Profile().Path()));
    CacheExpectation expect;
    expect.drawing = DrawingDigest(doc_.Settings(), canvases_);
    expect.maxImages = EntryTotal();
    // Made on another thread while the cache is read.
    identities_.Start(CollectLibraries());
    cacheValid_ =
        LoadImageCache(cacheFolder_, doc_.Profile(), doc_.ConfigFolder(), expect, images_);
    extras_.Reset(cacheFolder_, expect.drawing, expect.maxImages);
}

bool CThumbnailStore::ReadEarlyList(EarlyList& list, CEarlyListReader* read) {
    cacheFolder_ = ChooseCacheFolder(RealCacheLocationInputs(doc_.Profile().Path()));
    std::optional<uint64_t> drawing;
    const bool readFile = read != nullptr && read->CacheFolder() == cacheFolder_
                              ? read->Take(list, drawing)
                              : ReadEarlyListFile(cacheFolder_, list);
    if (readFile && !drawing) drawing = DrawingDigest(doc_.Settings(), canvases_);
    if (!readFile || !EarlyListMatches(list, doc_.Profile(), doc_.ConfigFolder(), *drawing)) {
        list = EarlyList();
        return false;
    }
    earlyOnDisk_ = list.row;
    earlyKept_ = list.kept;
    return true;
}

void CThumbnailStore::SaveEarlyList(const CPartLibrary* library, int32_t row, EarlyImages kept) {
    if (!built_ || library == nullptr || row < 0) return;
    // Drawn images change the list even for the same library.
    if (lastBuild_.rendered > 0) earlyOnDisk_ = -1;
    if (earlyOnDisk_ == row && earlyKept_ == kept) return;
    EarlyListParts list;
    list.row = row;
    list.kept = kept;
    list.libraryLines = libraryLines_;
    list.drawing = drawing_;
    const bool large = Holds(kept, EarlyImages::Large);
    const bool smallImages = Holds(kept, EarlyImages::Small);
    for (const PartsListItem& item : CPartsList::LibraryItems(library, *this)) {
        list.names.push_back(item.entry->Name().str());
        const auto image = static_cast<size_t>(item.image);
        if (large) list.large.AppendFrom(images_.large, image);
        if (smallImages) list.smallImage.AppendFrom(images_.smallImage, image);
    }
    if (qurix::SaveEarlyList(cacheFolder_, list)) {
        earlyOnDisk_ = row;
        earlyKept_ = kept;
    }
}

void CThumbnailStore::SaveCurrentEarlyList(EarlyImages kept) {
    const CPartLibrary* current = doc_.CurrentLibrary();
    const CLibrarySet& libraries = doc_.Libraries();
    for (int32_t row = 0; current != nullptr && row < libraries.Count(); ++row) {
        if (libraries.GetLibrary(row) != current) continue;
        SaveEarlyList(current, row, kept);
        return;
    }
}

void CThumbnailStore::OnLoad() {
    // Images drawn so far are kept in their files; the new settings may differ.
    extras_.Save(images_);
    extras_.Reset(cacheFolder_, DrawingDigest(doc_.Settings(), canvases_), EntryTotal());
    // A valid cache is kept for the build to take its images from; otherwise the images
    // of the previous load are, for the libraries that did not change.
    if (!cacheValid_) {
        previous_ = std::move(images_);
        images_.Clear();
    }
    imageIndex_.clear();
    built_ = false;
}

void CThumbnailStore::Release() {
    // Keyed by entries that are about to be released. The images stay: they are saved
    // at the end.
    imageIndex_.clear();
    identities_.Wait();
    built_ = false;
}

void CThumbnailStore::CheckCacheWritable() {
    // Once a run, and only when there is something to keep: a folder that cannot take the
    // cache makes every start as slow as the first.
    if (cacheChecked_ || !cacheDirty_ || images_.Count() == 0) return;
    cacheChecked_ = true;
    if (!CanWriteInFolder(cacheFolder_)) {
        const CUiHost* host = doc_.Host();
        const std::string folder = host != nullptr ? host->PathText(cacheFolder_) : cacheFolder_;
        doc_.ShowStatus(FormatText(texts::CACHE_NOT_WRITABLE, folder));
    }
}

void CThumbnailStore::Save() {
    // Nothing to cache makes no folder. The user's cache folder may lack the folders above
    // it (~/.cache/qurix); ./cache is made alone, as before.
    if (cacheDirty_ && images_.Count() > 0) {
        if (cacheFolder_ != DefaultCacheFolder()) MakeFolders(FolderOfPath(cacheFolder_));
        SaveImageCache(cacheFolder_, libraryLines_, drawing_, images_);
    }
    extras_.Save(images_);
}

size_t CThumbnailStore::EntryTotal() const {
    size_t total = 0;
    for (const CPartLibrary* lib : CollectLibraries()) {
        total += static_cast<size_t>(std::max(lib->EntryCount(), 0));
    }
    return total;
}

std::vector<const CPartLibrary*> CThumbnailStore::CollectLibraries() const {
    std::vector<const CPartLibrary*> libraries;
    for (int32_t i = 0; i < CLibrarySet::MAX_LIBRARIES; ++i) {
        const CPartLibrary* lib = doc_.Libraries().GetLibrary(i);
        if (lib == nullptr) break;
        libraries.push_back(lib);
    }
    return libraries;
}

int32_t CThumbnailStore::ImageIndex(const CLibEntry* entry) const {
    const auto it = imageIndex_.find(entry);
    return it == imageIndex_.end() ? -1 : it->second;
}

ArgbImage CThumbnailStore::ExtraImage(CExtraThumbnails::Kind kind, int32_t ratio, int32_t image,
                                      const CLibEntry* entry) {
    if (ratio == 1 && kind != CExtraThumbnails::Kind::ExtraLarge) return ArgbImage();
    if (image < 0 || static_cast<size_t>(image) >= images_.identities.size() || !entry ||
        !canvases_) {
        return ArgbImage();
    }
    const CDisplaySettings& settings = doc_.Settings();
    const auto draw = [&](CExtraThumbnails::Kind k, int32_t r, ArgbImage& first,
                          ArgbImage& second) {
        const CanvasMaker maker = canvases_(settings.colours.Get(ColourKey::BG));
        if (k == CExtraThumbnails::Kind::ExtraLarge) {
            first = MakeExtraLargeThumbnail(maker, settings, *entry, Scale{r, 1});
            return;
        }
        PartThumbnails thumbs = MakePartThumbnails(maker, settings, *entry, Scale{r, 1});
        if (!thumbs.IsValid()) return;
        first = std::move(thumbs.large);
        second = std::move(thumbs.smallImage);
    };
    return extras_.Get(kind, ratio, images_.identities[static_cast<size_t>(image)], draw);
}

void CThumbnailStore::Build(CBuildProgress& progress) {
    const std::vector<const CPartLibrary*> libraries = CollectLibraries();
    // Taken now, before drawing: a library saved while the build runs must not be
    // recorded with a time newer than its images.
    libraryLines_ = MakeLibraryLines(doc_.Profile(), doc_.ConfigFolder());
    const uint64_t previousDrawing = drawing_;
    drawing_ = DrawingDigest(doc_.Settings(), canvases_);
    std::map<std::string, FileStamp> stamps;
    for (const CPartLibrary* lib : libraries) stamps[lib->Path()] = StampOf(lib->Path());

    const bool reuse = cacheValid_;
    BuildRun build(doc_.Settings(), progress);
    if (reuse) build.cached = std::move(images_);
    // Other colours or fonts change every image.
    if (previousDrawing != drawing_) previous_.Clear();
    for (size_t i = 0; i < previous_.Count(); ++i)
        build.previous.emplace(previous_.identities[i], i);
    images_.Clear();
    imageIndex_.clear();
    if (!reuse) cacheDirty_ = true;
    cacheValid_ = false;
    const std::vector<uint64_t> identities = identities_.Take(libraries);
    int64_t total = 0;
    for (const CPartLibrary* lib : libraries) total += lib->EntryCount();
    build.stats.total =
        static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));

    doc_.BeginBusy();
    progress.Begin(build.stats.total);
    PlanImages(build, libraries, identities, stamps);
    for (BuildStep& step : build.steps) {
        const bool drawn = step.source == BuildStep::Source::Drawn;
        if (step.source == BuildStep::Source::Cached ||
            step.source == BuildStep::Source::Previous) {
            ReuseImage(build, step);
        }
        // Stopped while waiting for the drawing: the entry counts as not reached.
        if (drawn && !RenderImage(build, step)) break;
        ++build.ordinal;
        ++build.stats.done;
        Pump(build, drawn);
        if (build.stats.stopped) break;
    }
    // Parts under way are dropped; the workers end before the progress goes.
    build.pool.reset();
    if (build.stats.stopped) KeepUnreachedImages(build);
    progress.End(build.stats.stopped);
    // A cache that did not cover every part is completed at the next save.
    if (reuse && build.stats.rendered > 0) cacheDirty_ = true;
    lastBuild_ = build.stats;
    builtStamps_ = std::move(stamps);
    previous_.Clear();
    built_ = true;
    CheckCacheWritable();
    doc_.EndBusy();
}

void CThumbnailStore::PlanImages(BuildRun& build, const std::vector<const CPartLibrary*>& libraries,
                                 const std::vector<uint64_t>& identities,
                                 std::map<std::string, FileStamp>& stamps) {
    build.steps.reserve(static_cast<size_t>(build.stats.total));
    std::vector<const CLibEntry*> drawn;
    for (const CPartLibrary* lib : libraries) {
        const auto was = builtStamps_.find(lib->Path());
        build.libraryUnchanged =
            was != builtStamps_.end() && was->second.valid && was->second == stamps[lib->Path()];
        for (int32_t e = 0; e < lib->EntryCount(); ++e) {
            BuildStep step;
            step.entry = lib->Entry(e);
            const auto ordinal = static_cast<int32_t>(build.steps.size());
            step.identity =
                static_cast<size_t>(ordinal) < identities.size() ? identities[ordinal] : 0;
            if (!FindCachedImage(build, step, ordinal) && step.entry != nullptr) {
                step.source = BuildStep::Source::Drawn;
                drawn.push_back(step.entry);
            }
            build.steps.push_back(step);
        }
    }
    if (drawn.empty()) return;
    const int32_t threads =
        renderThreads_ > 0 ? renderThreads_ : doc_.Profile().GetInt("qurix", "render_threads", 0);
    build.pool =
        std::make_unique<CThumbnailPool>(build.settings, std::move(drawn), threads, canvases_);
    build.stats.workers = build.pool->Workers();
}

bool CThumbnailStore::FindCachedImage(BuildRun& build, BuildStep& step, int32_t ordinal) const {
    const ThumbnailSet& cached = build.cached;
    while (build.next < cached.Count() && cached.entries[build.next] < ordinal) ++build.next;
    if (build.next < cached.Count() && cached.entries[build.next] == ordinal) {
        // An image made from another part (a library that failed to load shifts every
        // later entry) is never shown for this one.
        if (step.entry == nullptr || cached.identities[build.next] != step.identity) return false;
        step.source = BuildStep::Source::Cached;
        step.image = build.next++;
        return true;
    }
    // The identity is checked too: a library saved between its load and its stamp keeps
    // its old stamp with new parts.
    if (!build.libraryUnchanged || step.entry == nullptr) return false;
    const auto found = build.previous.find(step.identity);
    if (found == build.previous.end()) return false;
    step.source = BuildStep::Source::Previous;
    step.image = found->second;
    return true;
}

int32_t CThumbnailStore::AppendImage(const ArgbImage& large, const ArgbImage& smallImage,
                                     int32_t ordinal, uint64_t identity) {
    // Both sides or neither, so that an image index means the same in both.
    if (large.width != LARGE_THUMB_SIZE || large.height != LARGE_THUMB_SIZE ||
        smallImage.width != SMALL_THUMB_SIZE || smallImage.height != SMALL_THUMB_SIZE) {
        return -1;
    }
    images_.large.Append(large);
    images_.smallImage.Append(smallImage);
    images_.entries.push_back(ordinal);
    images_.identities.push_back(identity);
    return static_cast<int32_t>(images_.large.Count() - 1);
}

int32_t CThumbnailStore::TakeImage(const ThumbnailSet& from, size_t index, int32_t ordinal) {
    // Shared, not copied: the packed bytes never change.
    images_.large.AppendFrom(from.large, index);
    images_.smallImage.AppendFrom(from.smallImage, index);
    images_.entries.push_back(ordinal);
    images_.identities.push_back(from.identities[index]);
    return static_cast<int32_t>(images_.large.Count() - 1);
}

void CThumbnailStore::ReuseImage(BuildRun& build, BuildStep& step) {
    // Shared, not taken away: equal parts in one library share a previous image.
    const ThumbnailSet& from = step.source == BuildStep::Source::Cached ? build.cached : previous_;
    imageIndex_[step.entry] = TakeImage(from, step.image, build.ordinal);
    ++build.stats.reused;
}

bool CThumbnailStore::RenderImage(BuildRun& build, BuildStep& step) {
    CThumbnailPool::Images images;
    // The window stays usable while the workers draw.
    while (!build.pool->Next(images, PUMP_INTERVAL)) {
        if (!RunEvents(build)) {
            build.stats.stopped = true;
            return false;
        }
    }
    if (images.IsValid()) {
        imageIndex_[step.entry] =
            AppendImage(images.large, images.smallImage, build.ordinal, step.identity);
        ++build.stats.rendered;
    }
    return true;
}

bool CThumbnailStore::RunEvents(BuildRun& build) {
    return build.progress.Pump() && !doc_.CloseRequested();
}

void CThumbnailStore::Pump(BuildRun& build, bool drawn) {
    // Progress shows after every drawn part. Events run there too when this thread drew
    // it; otherwise only every few milliseconds: taking a cached image costs next to
    // nothing, and parts drawn by workers arrive faster than a pump each could keep up
    // with (the pumps would take the workers' processor time).
    const Clock::time_point now = Clock::now();
    const bool due = build.stats.done >= build.stats.total || now - build.lastPump >= PUMP_INTERVAL;
    if (!drawn && !due) return;
    build.progress.SetPos(build.stats.done);
    if (onStep) onStep(build.stats.done);
    const bool workersDrew = drawn && build.pool && build.pool->Workers() > 0;
    if (due || !workersDrew) {
        build.lastPump = now;
        if (!RunEvents(build)) build.stats.stopped = true;
    } else if (build.progress.CancelRequested() || doc_.CloseRequested()) {
        // A cancel or a close from within the step (tests) stops at once, as a pump would.
        build.stats.stopped = true;
    }
}

void CThumbnailStore::KeepUnreachedImages(BuildRun& build) {
    // Cached images not reached stay with the set, so that saving it after a cancel does
    // not throw them away; they are listed after the next load.
    ThumbnailSet& cached = build.cached;
    for (size_t i = 0; i < cached.Count(); ++i) {
        if (cached.entries[i] >= build.ordinal) {
            TakeImage(cached, i, cached.entries[i]);
        }
    }
}

}  // namespace qurix
