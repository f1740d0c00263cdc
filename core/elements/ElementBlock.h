#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/elements/ElementSlot.h"

namespace qurix {

// A pattern's elements in their order, packed at their own sizes into one allocation: a
// library holds tens of thousands of patterns, and one allocation each (or a slot of the
// largest kind each) would cost their loading, their freeing and their memory.
class CElementBlock {
public:
    CElementBlock() = default;
    // Moves the elements of slots in, in their order (slots keeps moved-from elements).
    explicit CElementBlock(std::vector<ElementSlot>& slots);
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
        return reinterpret_cast<CPatternElement* const*>(storage_.get());
    }
    CPatternElement** Elements() { return reinterpret_cast<CPatternElement**>(storage_.get()); }

    std::unique_ptr<std::byte[]> storage_;
    size_t bytes_ = 0;
    int32_t count_ = 0;
};

}  // namespace qurix
