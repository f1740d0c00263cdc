#include "render/PatternPens.h"

#include "render/Scale.h"

namespace qurix {

Pen PatternPen(int32_t style, int32_t width, Colour colour, int32_t num, int32_t den) {
    const int32_t w = ScaleValue(width, num, den);
    if (style == 0) return Pen::Solid(w, colour);
    if (w <= 1) return Pen::Dotted(w, colour);
    return Pen::Dashed(w, colour);
}

Brush PatternBrush(int32_t fill, Colour colour) {
    if (fill == -1) return Brush::Null();
    if (fill == 1) return Brush::Solid(colour);
    return colour != 0 ? Brush::StockBlack() : Brush::StockWhite();
}

}  // namespace qurix
