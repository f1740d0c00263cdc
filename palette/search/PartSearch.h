#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>
#include <thread>
#include <vector>

#include "core/search/PartIndex.h"

namespace qurix {

class CLibrarySet;

// The search behind the search bar: an index of every part of the loaded libraries, made
// on the first search after a load and dropped with the libraries (it refers into them).
// A small set is indexed at once; a large one on a worker, so that the window never
// waits for it: Find answers "not yet" until the index is there.
class CPartSearch {
public:
    // Sets of up to this many parts are indexed at once, on the caller's thread.
    static constexpr int32_t AT_ONCE_PARTS = 20000;

    explicit CPartSearch(int32_t atOnceParts = AT_ONCE_PARTS) : atOnceParts_(atOnceParts) {}
    ~CPartSearch();
    CPartSearch(const CPartSearch&) = delete;
    CPartSearch& operator=(const CPartSearch&) = delete;

    // The parts matching query (UTF-8), best first; nothing for a blank query. False, with
    // no hits, while the index is still being made: ready then runs once, on the worker,
    // when it is (a front end posts it to its own thread and searches again).
    bool Find(const CLibrarySet& libraries, std::string_view query, std::vector<SearchHit>& hits,
              const std::function<void()>& ready = {});
    // The libraries are about to go: a build under way stops, and the index is dropped.
    void Release();
    // Whether the index of the loaded libraries is made (a search typed during a load is
    // run again once it is not).
    bool Ready() const { return built_.load(std::memory_order_acquire); }

private:
    int32_t atOnceParts_;
    CPartIndex index_;
    std::atomic<bool> built_{false};
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

}  // namespace qurix
