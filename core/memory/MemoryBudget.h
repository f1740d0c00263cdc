#pragma once
#include <cstdint>

namespace qurix {

// What the palette may keep in memory for a whole set of libraries: the loaded parts and,
// for each part, what the palette keeps beside it. Loads spend from it while they read, so
// that the library that would pass it fails early with a reason instead of the process
// running out of memory. One per set, owned by whoever loads the set.
class CMemoryBudget {
public:
    // Well under a gigabyte, so that the palette with its window, fonts and drawing
    // canvases stays under one.
    static constexpr int64_t SET_LIMIT = int64_t{640} * 1024 * 1024;
    // An estimate of what the palette keeps per part beside the loaded objects: its two
    // packed thumbnails (about 600 bytes for a typical part), its identity (about 100) and
    // its search index entry (folded name and note, about 300).
    static constexpr int64_t UPKEEP_PER_PART = 1024;

    explicit CMemoryBudget(int64_t limit = SET_LIMIT) : limit_(limit) {}

    int64_t Limit() const { return limit_; }
    int64_t Spent() const { return spent_; }
    // Whether bytes more would still fit.
    bool Fits(int64_t bytes) const { return bytes <= limit_ - spent_; }
    void Charge(int64_t bytes) { spent_ += bytes; }

private:
    int64_t limit_;
    int64_t spent_ = 0;
};

}  // namespace qurix
