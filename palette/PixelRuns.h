#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace qurix {

// The run form the image cache files keep pixels in, since a thumbnail is mostly
// background: a control byte c below 0x80 is followed by c + 1 literal pixels; c from
// 0x80 up by one pixel that repeats c - 0x7E times (2 … 129). A pixel is 4 bytes, the
// ARGB value little-endian. Packing is deterministic: the same pixels give the same bytes.
inline constexpr uint32_t RUN_MAX_LITERAL = 128;
inline constexpr uint32_t RUN_MAX_REPEAT = 129;
inline constexpr uint32_t RUN_REPEAT_BASE = 0x80;

// A little-endian 32-bit value, as pixels and the files' numbers are stored.
inline uint32_t GetLE32(const unsigned char* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

void PackPixels(const uint32_t* px, size_t n, std::string& out);
// Exactly n pixels from exactly size bytes, or false.
bool UnpackPixels(const unsigned char* in, size_t size, uint32_t* px, size_t n);
// The most bytes one image of side x side pixels packs into: all literals.
uintmax_t MaxPackedSize(int32_t side);

}  // namespace qurix
