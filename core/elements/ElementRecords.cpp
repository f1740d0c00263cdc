#include "core/elements/ElementRecords.h"

#include <iterator>

#include "core/elements/ElementSlot.h"

namespace qurix {

namespace {

// The start tags in the order of ElementSlot's kinds.
constexpr std::string_view ELEMENT_TAGS[] = {"+L", "+C", "+PG", "+AR", "+TX"};

template <size_t I = 0>
void EmplaceKind(std::vector<ElementSlot>& slots, size_t kind) {
    if constexpr (I < std::variant_size_v<ElementSlot>) {
        if (kind == I) {
            slots.emplace_back(std::in_place_index<I>);
        } else {
            EmplaceKind<I + 1>(slots, kind);
        }
    }
}

template <size_t I = 0>
CPatternElement* MakeKind(CArena& arena, size_t kind) {
    if constexpr (I < std::variant_size_v<ElementSlot>) {
        if (kind == I) return arena.Make<std::variant_alternative_t<I, ElementSlot>>();
        return MakeKind<I + 1>(arena, kind);
    } else {
        return nullptr;
    }
}

size_t KindOfTag(std::string_view tag) {
    size_t kind = 0;
    while (kind < std::size(ELEMENT_TAGS) && ELEMENT_TAGS[kind] != tag) ++kind;
    return kind;
}

}  // namespace

std::unique_ptr<CPatternElement> CreateElementByTag(std::string_view tag) {
    const size_t kind = KindOfTag(tag);
    if (kind == std::size(ELEMENT_TAGS)) return nullptr;
    std::vector<ElementSlot> one;
    EmplaceKind(one, kind);
    return ElementOf(one.front()).Clone();
}

CPatternElement* MakeElementByTag(CArena& arena, std::string_view tag) {
    return MakeKind(arena, KindOfTag(tag));
}

bool EmplaceElementByTag(std::vector<ElementSlot>& slots, std::string_view tag) {
    const size_t kind = KindOfTag(tag);
    if (kind == std::size(ELEMENT_TAGS)) return false;
    EmplaceKind(slots, kind);
    return true;
}

}  // namespace qurix
