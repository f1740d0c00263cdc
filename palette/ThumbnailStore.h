#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "palette/BuildProgress.h"
#include "palette/EarlyList.h"
#include "palette/EntryIdentities.h"
#include "palette/ExtraThumbnails.h"
#include "palette/FileStamp.h"
#include "palette/ImageCache.h"
#include "render/Thumbnails.h"

namespace qurix {

class CLibEntry;
class CPartLibrary;
class CQurixDoc;

// The thumbnails of every part of every loaded library: built after each load, taken from
// the cache in ./cache when that still matches the libraries, or from the load before for
// the libraries whose file did not change; the others are drawn on worker threads. Saves
// the cache when it holds images the files do not.
class CThumbnailStore {
public:
    // canvases makes the canvases parts are drawn on (the front end's backend).
    CThumbnailStore(CQurixDoc& doc, CanvasFactory canvases);
    CThumbnailStore(const CThumbnailStore&) = delete;
    CThumbnailStore& operator=(const CThumbnailStore&) = delete;

    // After the first load: reads the cache (ChooseCacheFolder) as it is now.
    void Open();
    // After every later load: the images of the load before are kept for the next build.
    void OnLoad();
    // The libraries are about to go: every reference into them goes first.
    void Release();
    // Writes the cache files when this run built images not taken from a valid cache.
    void Save();
    // Before the first load, with the document's drawing settings read: the early list
    // when it may be shown (palette/EarlyList.h). Taken from read when it read the cache
    // folder in use, with its drawing digest when it made one (of the same settings).
    bool ReadEarlyList(EarlyList& list, CEarlyListReader* read = nullptr);
    // Keeps the early list of library, the loaded library number row, from the images of
    // the latest build, with the kinds of images kept. Written only when the file does not
    // hold that list already.
    void SaveEarlyList(const CPartLibrary* library, int32_t row,
                       EarlyImages kept = EarlyImages::Both);
    // The same for the document's current library, by its number among the loaded ones.
    void SaveCurrentEarlyList(EarlyImages kept);
    // After a build with images to keep: says once in the status bar when the cache
    // folder cannot take them.
    void CheckCacheWritable();

    // Whether the images of the latest load were built (also when that build stopped
    // early: a cancelled build is not started again by every later notification).
    bool Built() const { return built_; }
    // Gives every entry of every loaded library its images, from the cache when it is
    // valid, else by drawing. A cancel or a close stops it at once; the entries not
    // reached have no image.
    void Build(CBuildProgress& progress);

    struct BuildStats {
        int32_t total = 0;     // entries of all libraries
        int32_t done = 0;      // entries walked before the build ended
        int32_t rendered = 0;  // images drawn
        int32_t reused = 0;    // images taken from the cache
        bool stopped = false;  // cancelled, or the window was closed
        int32_t workers = 0;   // threads that drew in the background (0: the caller's own)
    };
    const BuildStats& LastBuild() const { return lastBuild_; }
    // How many threads draw: 0 (the default) takes "render_threads" of section "qurix",
    // and where that is missing or 0 one per core; 1 draws on the caller's thread.
    void SetRenderThreads(int32_t threads) { renderThreads_ = threads; }
    // Called after the progress moved, before the cancel check (tests cancel from here).
    std::function<void(int32_t done)> onStep;

    // The image index of an entry, -1 when it has none.
    int32_t ImageIndex(const CLibEntry* entry) const;
    const ThumbnailSet& Images() const { return images_; }
    bool CacheValid() const { return cacheValid_; }
    bool CacheDirty() const { return cacheDirty_; }
    const std::string& CacheFolder() const { return cacheFolder_; }
    const CExtraThumbnails& Extras() const { return extras_; }
    // The extra-large image, or one drawn for a device pixel ratio above 1, of the entry
    // whose image index is image; null when there is none (ratio 1 for Large and Small).
    ArgbImage ExtraImage(CExtraThumbnails::Kind kind, int32_t ratio, int32_t image,
                         const CLibEntry* entry);

private:
    struct BuildRun;
    struct BuildStep;
    std::vector<const CPartLibrary*> CollectLibraries() const;
    // The entries of all loaded libraries: no cache file may hold more images.
    size_t EntryTotal() const;
    int32_t AppendImage(const ArgbImage& large, const ArgbImage& smallImage, int32_t ordinal,
                        uint64_t identity);
    // Appends image index of from (a cached or previous set) for the entry at ordinal.
    int32_t TakeImage(const ThumbnailSet& from, size_t index, int32_t ordinal);
    // Lists every entry with where its image comes from, and starts drawing those that
    // neither the cache nor the previous load has.
    void PlanImages(BuildRun& build, const std::vector<const CPartLibrary*>& libraries,
                    const std::vector<uint64_t>& identities,
                    std::map<std::string, FileStamp>& stamps);
    bool FindCachedImage(BuildRun& build, BuildStep& step, int32_t ordinal) const;
    void ReuseImage(BuildRun& build, BuildStep& step);
    // Takes the entry's drawn images, running events while they are drawn; false when
    // the build was stopped meanwhile.
    bool RenderImage(BuildRun& build, BuildStep& step);
    // Shows progress and runs events; stops the build on a cancel or a close.
    void Pump(BuildRun& build, bool drawn);
    bool RunEvents(BuildRun& build);
    void KeepUnreachedImages(BuildRun& build);

    CQurixDoc& doc_;
    const CanvasFactory canvases_;
    // The thumbnails of all entries in image-index order, and which entry has which.
    ThumbnailSet images_;
    std::unordered_map<const CLibEntry*, int32_t> imageIndex_;
    // The identities of the loaded libraries' entries, for the next build.
    CEntryIdentities identities_;
    bool built_ = false;
    std::string cacheFolder_;
    bool cacheValid_ = false;
    bool cacheDirty_ = false;
    bool cacheChecked_ = false;
    // The libraries' lines as they were when the images were built: what the cache files
    // say the images were made from.
    std::vector<std::string> libraryLines_;
    // The DrawingDigest of the settings the images were built with.
    uint64_t drawing_ = 0;
    BuildStats lastBuild_;
    // Between a reload and its build: the images of the load before. The file of each
    // library as it was when the last build began.
    ThumbnailSet previous_;
    std::map<std::string, FileStamp> builtStamps_;
    CExtraThumbnails extras_;
    int32_t renderThreads_ = 0;
    // The library number the early list on disk was made for while nothing was drawn
    // since; -1 when it may hold anything else.
    int32_t earlyOnDisk_ = -1;
    EarlyImages earlyKept_ = EarlyImages::Both;
};

}  // namespace qurix
