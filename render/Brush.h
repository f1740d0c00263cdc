#pragma once
#include <cstdint>

#include "render/Colour.h"

namespace qurix {

enum class BrushKind : int32_t {
    Null,        // the inside is left untouched
    Solid,       // filled with the brush colour
    StockBlack,  // filled black
    StockWhite,  // filled white
};

struct Brush {
    BrushKind kind = BrushKind::Null;
    Colour colour = 0;  // Solid only

    static Brush Null() { return Brush{BrushKind::Null, 0}; }
    static Brush Solid(Colour colour) { return Brush{BrushKind::Solid, colour}; }
    static Brush StockBlack() { return Brush{BrushKind::StockBlack, 0}; }
    static Brush StockWhite() { return Brush{BrushKind::StockWhite, 0}; }

    bool Fills() const { return kind != BrushKind::Null; }
    // The fill colour of a brush that fills.
    Colour FillColour() const {
        switch (kind) {
            case BrushKind::Solid:
                return colour;
            case BrushKind::StockWhite:
                return COLOUR_WHITE;
            default:
                return COLOUR_BLACK;
        }
    }

    friend bool operator==(const Brush&, const Brush&) = default;
};

}  // namespace qurix
