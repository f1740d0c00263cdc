#pragma once
#include <cstdint>
#include <optional>

#include "render/ColourTable.h"

namespace qurix {

// The bit set passed with every drawing call: it chooses colours and what is left out.
using DrawMode = uint32_t;

inline constexpr DrawMode DRAW_NORMAL = 0x001;            // each element in its own colour
inline constexpr DrawMode DRAW_BLACK = 0x002;             // everything in colour 0
inline constexpr DrawMode DRAW_SELECTED = 0x004;          // everything in "Select"
inline constexpr DrawMode DRAW_NO_TEXTS = 0x008;          // no name, reference, pin texts
inline constexpr DrawMode DRAW_FRAME = 0x020;             // frame even with a pattern
inline constexpr DrawMode DRAW_INACTIVE = 0x040;          // everything in "InactiveLayer"
inline constexpr DrawMode DRAW_NO_NAME = 0x100;           // no component name
inline constexpr DrawMode DRAW_NO_REFERENCE = 0x200;      // no component reference
inline constexpr DrawMode DRAW_NO_BODY = 0x400;           // no pins, frame or pattern
inline constexpr DrawMode DRAW_NO_ZERO_PIN_MARK = 0x800;  // no marker on zero-length pins

// Lines, marks, frames, patterns and pattern bitmaps: inactive, else normal, else black,
// else selected. Empty when no colour bit is set: the element is not drawn.
inline std::optional<Colour> ChooseLineColour(DrawMode mode, Colour normal,
                                              const CColourTable& colours) {
    if (mode & DRAW_INACTIVE) return colours.Get(ColourKey::InactiveLayer);
    if (mode & DRAW_NORMAL) return normal;
    if (mode & DRAW_BLACK) return COLOUR_BLACK;
    if (mode & DRAW_SELECTED) return colours.Get(ColourKey::Select);
    return std::nullopt;
}

// Pin names and numbers, component name and reference: inactive, else selected, else
// black, else normal. These are drawn even without a colour bit.
inline Colour ChooseTextColour(DrawMode mode, Colour normal, const CColourTable& colours) {
    if (mode & DRAW_INACTIVE) return colours.Get(ColourKey::InactiveLayer);
    if (mode & DRAW_SELECTED) return colours.Get(ColourKey::Select);
    if (mode & DRAW_BLACK) return COLOUR_BLACK;
    return normal;
}

}  // namespace qurix
