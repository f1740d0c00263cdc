#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/library/LibEntry.h"
#include "render/ArgbImage.h"
#include "render/DisplaySettings.h"
#include "render/Thumbnails.h"

namespace qurix {

// Draws the large and small thumbnails of a list of parts on worker threads and hands
// them back in the list's order, the images those made one by one with MakePartThumbnails
// would be. Workers take the parts in order and run at most LOOKAHEAD parts ahead of the
// one handed back last, so memory stays small however long the list. Each worker draws
// with its own copy of the settings (CopyDrawingSettings) on canvases of the factory. With one
// thread nothing runs in the background: Next draws the part itself on the caller's thread.
class CThumbnailPool {
public:
    static constexpr size_t LOOKAHEAD = 256;
    static constexpr int32_t MAX_THREADS = 64;

    // Both null when the part could not be drawn (no part, no canvas).
    struct Images {
        ArgbImage large;
        ArgbImage smallImage;
        bool IsValid() const { return !large.IsNull() && !smallImage.IsNull(); }
    };

    // Starts drawing at once. settings must outlive the pool and stay unchanged meanwhile;
    // the parts (null ones give invalid images) too. threads as ThreadCount takes it.
    CThumbnailPool(const CDisplaySettings& settings, std::vector<const CLibEntry*> parts,
                   int32_t threads, CanvasFactory canvases);
    // Stops, waiting for the parts under way.
    ~CThumbnailPool();
    CThumbnailPool(const CThumbnailPool&) = delete;
    CThumbnailPool& operator=(const CThumbnailPool&) = delete;

    // The wanted number of drawing threads within 1 .. MAX_THREADS; 0 or less: one per
    // core.
    static int32_t ThreadCount(int32_t wanted);
    // Threads drawing in the background: 0 when Next draws.
    int32_t Workers() const { return static_cast<int32_t>(workers_.size()); }

    // The images of the next part in the list's order, waiting at most `wait` for them to
    // be drawn; false while they are not (or after the last part, or after Stop). Called
    // from one thread only.
    bool Next(Images& out, std::chrono::milliseconds wait);
    // The same, waiting as long as it takes.
    Images Next();
    // No part is started after this; those under way are finished and dropped.
    void Stop();

private:
    struct Slot {
        Images images;
        bool ready = false;
    };

    void Work(std::stop_token stop, const CDisplaySettings& settings);
    Images Draw(const CDisplaySettings& settings, const CLibEntry* part) const;

    const CDisplaySettings& settings_;
    const CanvasFactory canvases_;
    const std::vector<const CLibEntry*> parts_;
    // One copy per worker, made before the workers start.
    std::vector<std::unique_ptr<CDisplaySettings>> copies_;
    std::mutex mutex_;
    // Parts [taken_, taken_ + LOOKAHEAD) are in ring_ at index % LOOKAHEAD.
    std::vector<Slot> ring_;
    size_t taken_ = 0;    // the next part to hand back; only the caller changes it
    size_t started_ = 0;  // the next part a worker takes
    // Set under mutex_ (for the waits), read by the caller without it.
    std::atomic<bool> stopped_ = false;
    std::condition_variable_any room_;   // a worker may take a part
    std::condition_variable_any ready_;  // a part was drawn
    // Last: they go first at destruction, while everything they use is still there.
    std::vector<std::jthread> workers_;
};

}  // namespace qurix
