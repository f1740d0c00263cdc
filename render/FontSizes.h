#pragma once
#include <cstdint>

namespace qurix {

// Font sizes every canvas backend keeps to. Sizes are kept within this many pixels, so a
// hostile size cannot exhaust memory.
inline constexpr int32_t MAX_FONT_PIXEL_SIZE = 2048;
// The character height of a description whose height is 0.
inline constexpr int32_t DEFAULT_FONT_PIXEL_SIZE = 12;

}  // namespace qurix
