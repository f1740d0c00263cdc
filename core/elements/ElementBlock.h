#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/elements/ElementSlot.h"
#include "core/memory/Arena.h"

namespace qurix {

// A pattern's elements in their order, packed at their own sizes into one allocation: a
// library holds tens of thousands of patterns, and one allocation each (or a slot of the
// largest kind each) would cost their loading, their freeing and their memory. The
// allocation is the block's own, or borrowed from a library's arena: then the elements are
// never destroyed, and must hold nothing that is not in the arena too.
class CElementBlock {
public:
    CElementBlock() = default;
    // Moves the elements of slots in, in their order (slots keeps moved-from elements):
    // into arena when one is given, else into an allocation of its own.
    CElementBlock(std::vector<ElementSlot>& slots, CArena* arena);
    // Elements already made in arena, in their order: only the table of them is added.
    CElementBlock(std::span<CPatternElement* const> elements, CArena& arena);
    CElementBlock(const CElementBlock& other);  // deep
    CElementBlock& operator=(const CElementBlock&) = delete;
    CElementBlock(CElementBlock&& other) noexcept;
    CElementBlock& operator=(CElementBlock&& other) noexcept;
    ~CElementBlock();

    int32_t Count() const { return count_; }
    // i must be in range.
    const CPatternElement& At(int32_t i) const { return *Elements()[i]; }
    // The bytes of the allocation.
    size_t Bytes() const { return bytes_; }

private:
    // The allocation starts with a pointer to each element, then the elements.
    CPatternElement* const* Elements() const {
        return reinterpret_cast<CPatternElement* const*>(base_);
    }
    CPatternElement** Elements() { return reinterpret_cast<CPatternElement**>(base_); }

    std::unique_ptr<std::byte[]> storage_;  // null when borrowed from an arena
    std::byte* base_ = nullptr;
    size_t bytes_ = 0;
    int32_t count_ = 0;
};

}  // namespace qurix
