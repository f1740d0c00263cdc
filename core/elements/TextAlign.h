#pragma once
#include <cstdint>

namespace qurix {

// Where a text's anchor lies, as library files store it ("A" of a text record) and as the
// text routines take it. One set for every layer: along the text it is the centre, across
// it the middle.
enum : int32_t {
    // Bits 0-1, along the text: start (0, also 3), end (1) or centre (2).
    ALIGN_ALONG_MASK = 0x3,
    ALIGN_ALONG_START = 0x0,
    ALIGN_ALONG_END = 0x1,
    ALIGN_ALONG_CENTRE = 0x2,
    // Bits 2-3, across the text: baseline (0), top edge (4) or middle (8, also 12).
    ALIGN_ACROSS_MASK = 0xC,
    ALIGN_ACROSS_BASELINE = 0x0,
    ALIGN_ACROSS_TOP = 0x4,
    ALIGN_ACROSS_MIDDLE = 0x8,
};

}  // namespace qurix
