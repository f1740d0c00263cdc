#include "render/ThumbnailPool.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace qurix {

CThumbnailPool::CThumbnailPool(const CDisplaySettings& settings,
                               std::vector<const CLibEntry*> parts, int32_t threads,
                               CanvasFactory canvases)
    : settings_(settings), canvases_(std::move(canvases)), parts_(std::move(parts)) {
    const auto count = static_cast<size_t>(ThreadCount(threads));
    // One thread gains nothing from a worker: the caller draws.
    if (count < 2 || parts_.empty()) return;
    ring_.resize(LOOKAHEAD);
    const size_t workers = std::min(count, parts_.size());
    for (size_t i = 0; i < workers; ++i) {
        copies_.push_back(std::make_unique<CDisplaySettings>());
        CopyDrawingSettings(settings_, *copies_.back());
    }
    workers_.reserve(workers);
    for (size_t i = 0; i < workers; ++i) {
        const CDisplaySettings& own = *copies_[i];
        workers_.emplace_back([this, &own](std::stop_token stop) { Work(stop, own); });
    }
}

CThumbnailPool::~CThumbnailPool() {
    Stop();
    workers_.clear();
}

int32_t CThumbnailPool::ThreadCount(int32_t wanted) {
    if (wanted <= 0) wanted = static_cast<int32_t>(std::thread::hardware_concurrency());
    return std::clamp(wanted, 1, MAX_THREADS);
}

CThumbnailPool::Images CThumbnailPool::Draw(const CDisplaySettings& settings,
                                            const CLibEntry* part) const {
    if (part == nullptr || !canvases_) return Images{};
    const CanvasMaker maker = canvases_(settings.colours.Get(ColourKey::BG));
    PartThumbnails thumbs = MakePartThumbnails(maker, settings, *part);
    if (!thumbs.IsValid()) return Images{};
    return Images{std::move(thumbs.large), std::move(thumbs.smallImage)};
}

void CThumbnailPool::Work(std::stop_token stop, const CDisplaySettings& settings) {
    for (;;) {
        size_t i = 0;
        {
            std::unique_lock lock(mutex_);
            const bool go = room_.wait(lock, stop, [&] {
                return stopped_ || started_ >= parts_.size() || started_ < taken_ + LOOKAHEAD;
            });
            if (!go || stopped_ || started_ >= parts_.size()) return;
            i = started_++;
        }
        Images images = Draw(settings, parts_[i]);
        {
            const std::lock_guard lock(mutex_);
            Slot& slot = ring_[i % LOOKAHEAD];
            slot.images = std::move(images);
            slot.ready = true;
        }
        ready_.notify_all();
    }
}

bool CThumbnailPool::Next(Images& out, std::chrono::milliseconds wait) {
    if (workers_.empty()) {
        if (stopped_ || taken_ >= parts_.size()) return false;
        out = Draw(settings_, parts_[taken_++]);
        return true;
    }
    {
        std::unique_lock lock(mutex_);
        Slot& slot = ring_[taken_ % LOOKAHEAD];
        const bool ready = ready_.wait_for(
            lock, wait, [&] { return stopped_ || taken_ >= parts_.size() || slot.ready; });
        if (!ready || stopped_ || taken_ >= parts_.size()) return false;
        out = std::move(slot.images);
        slot = Slot{};
        ++taken_;
    }
    // The slot freed lets a worker start one more part.
    room_.notify_one();
    return true;
}

CThumbnailPool::Images CThumbnailPool::Next() {
    Images images;
    while (!Next(images, std::chrono::milliseconds(100))) {
        if (stopped_ || taken_ >= parts_.size()) return Images{};
    }
    return images;
}

void CThumbnailPool::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    room_.notify_all();
    ready_.notify_all();
}

}  // namespace qurix
