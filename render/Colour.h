#pragma once
#include <cstdint>

namespace qurix {

// A colour as the editor stores it: red in bits 0-7, green in 8-15, blue in 16-23.
using Colour = uint32_t;

inline constexpr Colour COLOUR_BLACK = 0x000000;
inline constexpr Colour COLOUR_WHITE = 0xFFFFFF;
inline constexpr Colour COLOUR_RGB_MASK = 0xFFFFFF;

inline constexpr Colour MakeColour(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
           (static_cast<Colour>(blue) << 16);
}
inline constexpr uint8_t ColourRed(Colour c) {
    return static_cast<uint8_t>(c & 0xFF);
}
inline constexpr uint8_t ColourGreen(Colour c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
inline constexpr uint8_t ColourBlue(Colour c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}

}  // namespace qurix
