#pragma once
#include <cstdint>

#include "render/Brush.h"
#include "render/Pen.h"

namespace qurix {

// The pen of a pattern element: w = width * num / den; style 0 is a solid pen of width w;
// another style is a dotted pen while w <= 1 and a dashed pen (dash 2w, gap 2w) from 2 on.
Pen PatternPen(int32_t style, int32_t width, Colour colour, int32_t num, int32_t den);

// The brush of a closed element: fill -1 none, 1 the drawing colour; any other fill
// stock black, or stock white when the drawing colour is black.
Brush PatternBrush(int32_t fill, Colour colour);

}  // namespace qurix
