#pragma once
#include <atomic>
#include <cstdint>

#include "core/geometry/Geometry.h"

namespace qurix {

// A size that drawing measures and keeps as a cache. A pattern is shared by the parts
// that use it and thumbnails are drawn on several threads at once, so two threads may
// report a size while a third reads it: both halves live in atomics. Copies take the
// value.
class CMeasuredSize {
public:
    CMeasuredSize() = default;
    CMeasuredSize(const CMeasuredSize& other) { CopyFrom(other); }
    CMeasuredSize& operator=(const CMeasuredSize& other) {
        if (this != &other) CopyFrom(other);
        return *this;
    }

    void Set(Point size) {
        word_.store(Pack(size), std::memory_order_relaxed);
        known_.store(true, std::memory_order_release);
    }
    void Forget() { known_.store(false, std::memory_order_relaxed); }
    bool IsKnown() const { return known_.load(std::memory_order_acquire); }
    // (0, 0) before the first Set.
    Point Get() const { return Unpack(word_.load(std::memory_order_relaxed)); }

private:
    static uint64_t Pack(Point p) {
        return (uint64_t{static_cast<uint32_t>(p.x)} << 32) | static_cast<uint32_t>(p.y);
    }
    static Point Unpack(uint64_t w) {
        return Point{static_cast<int32_t>(static_cast<uint32_t>(w >> 32)),
                     static_cast<int32_t>(static_cast<uint32_t>(w))};
    }
    void CopyFrom(const CMeasuredSize& other) {
        word_.store(other.word_.load(std::memory_order_relaxed), std::memory_order_relaxed);
        known_.store(other.known_.load(std::memory_order_acquire), std::memory_order_release);
    }

    std::atomic<uint64_t> word_{0};
    std::atomic<bool> known_{false};
};

}  // namespace qurix
