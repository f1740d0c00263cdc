#include "core/elements/ElementBlock.h"

#include <new>
#include <type_traits>
#include <utility>

namespace qurix {

namespace {

// Every element kind is aligned to this or less (checked where one is placed).
constexpr size_t ALIGN = alignof(CPatternElement);

constexpr size_t Aligned(size_t n) {
    return (n + ALIGN - 1) / ALIGN * ALIGN;
}

// Calls f with a value of the element type whose kind is given.
template <typename F>
void WithType(ElementKind kind, F&& f) {
    switch (kind) {
        case ElementKind::Line:
            return f(std::type_identity<CLineElement>{});
        case ElementKind::Circle:
            return f(std::type_identity<CCircleElement>{});
        case ElementKind::Polygon:
            return f(std::type_identity<CPolygonElement>{});
        case ElementKind::Arc:
            return f(std::type_identity<CArcElement>{});
        default:  // Text: a block holds no other kind
            return f(std::type_identity<CTextElement>{});
    }
}

}  // namespace

CElementBlock::CElementBlock(std::vector<ElementSlot>& slots, CArena* arena) {
    if (slots.empty()) return;
    size_t bytes = Aligned(slots.size() * sizeof(CPatternElement*));
    for (const ElementSlot& slot : slots) {
        bytes += std::visit([](const auto& e) { return Aligned(sizeof e); }, slot);
    }
    if (arena) {
        base_ = static_cast<std::byte*>(arena->Allocate(bytes, ALIGN));
    } else {
        storage_ = std::make_unique_for_overwrite<std::byte[]>(bytes);
        base_ = storage_.get();
    }
    bytes_ = bytes;
    size_t at = Aligned(slots.size() * sizeof(CPatternElement*));
    for (ElementSlot& slot : slots) {
        std::visit(
            [&](auto& e) {
                using T = std::decay_t<decltype(e)>;
                static_assert(alignof(T) <= ALIGN);
                Elements()[count_++] = ::new (base_ + at) T(std::move(e));
                at += Aligned(sizeof(T));
            },
            slot);
    }
}

CElementBlock::CElementBlock(std::span<CPatternElement* const> elements, CArena& arena) {
    if (elements.empty()) return;
    bytes_ = elements.size() * sizeof(CPatternElement*);
    base_ = static_cast<std::byte*>(arena.Allocate(bytes_, alignof(CPatternElement*)));
    for (CPatternElement* e : elements) Elements()[count_++] = e;
}

CElementBlock::CElementBlock(const CElementBlock& other) : bytes_(other.bytes_) {
    if (other.count_ == 0) return;
    storage_ = std::make_unique_for_overwrite<std::byte[]>(bytes_);
    base_ = storage_.get();
    size_t at = Aligned(static_cast<size_t>(other.count_) * sizeof(CPatternElement*));
    for (int32_t i = 0; i < other.count_; ++i) {
        const CPatternElement& e = other.At(i);
        WithType(e.Kind(), [&](auto type) {
            using T = typename decltype(type)::type;
            Elements()[count_++] = ::new (base_ + at) T(static_cast<const T&>(e));
            at += Aligned(sizeof(T));
        });
    }
}

CElementBlock::CElementBlock(CElementBlock&& other) noexcept
    : storage_(std::move(other.storage_)),
      base_(std::exchange(other.base_, nullptr)),
      bytes_(std::exchange(other.bytes_, 0)),
      count_(std::exchange(other.count_, 0)) {}

CElementBlock& CElementBlock::operator=(CElementBlock&& other) noexcept {
    if (this != &other) {
        const CElementBlock old(std::move(*this));  // its elements end with it
        storage_ = std::move(other.storage_);
        base_ = std::exchange(other.base_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
        count_ = std::exchange(other.count_, 0);
    }
    return *this;
}

CElementBlock::~CElementBlock() {
    if (!storage_) return;  // an arena's elements end with the arena
    for (int32_t i = 0; i < count_; ++i) Elements()[i]->~CPatternElement();
}

}  // namespace qurix
