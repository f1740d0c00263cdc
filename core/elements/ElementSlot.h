#pragma once
// Any one element held by value: a pattern keeps its elements in one block instead of
// one allocation each.
#include <string_view>
#include <variant>
#include <vector>

#include "core/elements/ArcElement.h"
#include "core/elements/CircleElement.h"
#include "core/elements/LineElement.h"
#include "core/elements/PolygonElement.h"
#include "core/elements/TextElement.h"
#include "core/memory/Arena.h"

namespace qurix {

using ElementSlot =
    std::variant<CLineElement, CCircleElement, CPolygonElement, CArcElement, CTextElement>;

// Appends a default-constructed element for "+L", "+C", "+PG", "+AR" or "+TX" (the
// whole token); false, with nothing appended, for any other token.
bool EmplaceElementByTag(std::vector<ElementSlot>& slots, std::string_view tag);

// The same made in arena, where it is never destroyed; null for any other token.
CPatternElement* MakeElementByTag(CArena& arena, std::string_view tag);

inline CPatternElement& ElementOf(ElementSlot& slot) {
    return std::visit([](CPatternElement& e) -> CPatternElement& { return e; }, slot);
}
inline const CPatternElement& ElementOf(const ElementSlot& slot) {
    return std::visit([](const CPatternElement& e) -> const CPatternElement& { return e; }, slot);
}

}  // namespace qurix
