#pragma once
#include <cstdint>
#include <vector>

#include "core/geometry/Geometry.h"
#include "core/library/Pattern.h"
#include "render/DrawMode.h"
#include "render/DrawSurface.h"
#include "render/Scale.h"
#include "render/TextRenderer.h"

namespace qurix {

// A point of a pattern defined unturned in a pw x ph body, placed for direction: the
// point in body coordinates (top-left of the placed body at (0, 0)).
Point TransformPatternPoint(Point p, int32_t direction, int32_t pw, int32_t ph);

// How a text element of a pattern is drawn once the pattern is turned for direction: the
// anchor keeps its end and side of the text, vertical text still reads upward and
// horizontal text is never upside down.
struct TurnedText {
    bool vertical = false;
    int32_t align = 0;
    friend bool operator==(const TurnedText&, const TurnedText&) = default;
};
TurnedText TurnPatternText(bool horizontal, int32_t align, int32_t direction);

// Where a pattern goes: the placed component's direction, the unturned body size (pw x ph)
// and the placed body's top-left corner, both in drawing units, and the drawing scale.
struct PatternPlacement {
    // Defaulted with = {} so that designated initializers may leave them out.
    int32_t direction = 0;
    Point bodySize = {};
    Point topLeft = {};
    Scale scale = {};

    int32_t Rotation() const { return direction & DIRECTION_TURN_MASK; }
    bool Mirrored() const { return (direction & DIRECTION_MIRRORED) != 0; }
};

// Draws the whole pattern of a body placed by `at`: its elements in order when it has
// any, else its bitmap. Texts without a font of their own go through labelRenderer (none:
// they are left out); every text reports its measured size to its element.
void DrawPattern(CDrawSurface& surface, const CPattern& pattern, Colour colour, DrawMode mode,
                 const PatternPlacement& at, CTextRenderer* labelRenderer);

// A one-bit bitmap as a pattern holds it: rows of ((width + 15) / 16) * 2 bytes, the most
// significant bit leftmost, byteCount bytes in all.
struct PatternBitmap {
    const uint8_t* bits = nullptr;
    int32_t byteCount = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// A bitmap turned by k quarter turns clockwise and, when flipped, then turned upside
// down; only the part of it that can hold set bits is made. (offsetX, offsetY) is where
// that part lies in the whole turned bitmap of fullWidth x fullHeight.
struct TurnedBitmap {
    std::vector<uint8_t> bytes;
    MonoBitmap bitmap;  // points into bytes
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    int32_t fullWidth = 0;
    int32_t fullHeight = 0;
};

// Library files give bitmap data for at most 501 x 501 pixels; columns and rows beyond
// this many never hold set bits, so they are not turned.
inline constexpr int32_t PATTERN_BITMAP_DATA_LIMIT = 512;

// The bitmap turned by k (0 to 3) quarter turns, then rows reversed when flip is set.
// Empty bitmap (width or height 0) when there is nothing to draw.
TurnedBitmap TurnPatternBitmap(const PatternBitmap& source, int32_t k, bool flip);

// Draws the bitmap from the body's top-left corner, turned and mirrored like the elements
// (the body size of `at` is not used): set bits in colour (black when mode has
// DRAW_BLACK), clear bits transparent. Enlarged, each pixel is centred on its
// drawing-unit point.
void DrawPatternBitmap(CDrawSurface& surface, const PatternBitmap& bitmap, Colour colour,
                       DrawMode mode, const PatternPlacement& at);

}  // namespace qurix
