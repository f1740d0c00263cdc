#pragma once
#include <cstdint>

#include "core/geometry/Geometry.h"
#include "render/Colour.h"

namespace qurix {

enum class PenStyle : int32_t {
    Solid,   // cosmetic: width 0 or 1 draws one pixel; wider draws round caps and joins
    Dotted,  // cosmetic, 3 pixels on and 3 off along the path; wider than 1 draws solid
    Dashed,  // geometric: dash and gap in pixels, round caps and joins
};

// A pen as a value: the surface makes and drops whatever it needs per call.
struct Pen {
    PenStyle style = PenStyle::Solid;
    int32_t width = 0;
    Colour colour = 0;
    int32_t dash = 0;  // Dashed only
    int32_t gap = 0;   // Dashed only

    static Pen Solid(int32_t width, Colour colour) {
        return Pen{PenStyle::Solid, width, colour, 0, 0};
    }
    static Pen Dotted(int32_t width, Colour colour) {
        return Pen{PenStyle::Dotted, width, colour, 0, 0};
    }
    // The user dash pattern of pattern elements: dash 2w, gap 2w.
    static Pen Dashed(int32_t width, Colour colour) {
        const int32_t len = WrapMul(width, 2);
        return Pen{PenStyle::Dashed, width, colour, len, len};
    }

    // Whether the surface draws it as a one-pixel path.
    bool IsOnePixel() const { return style != PenStyle::Dashed && width <= 1; }

    friend bool operator==(const Pen&, const Pen&) = default;
};

}  // namespace qurix
