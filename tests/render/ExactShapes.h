#pragma once
// Drawings every backend sets exactly the same pixels for: one-pixel pens, fills, the
// insides of rectangles and ellipses, stretched bitmaps. Each row catches one rule.
#include <functional>
#include <vector>

#include "render/DrawSurface.h"

namespace qurix::test {

inline constexpr int32_t SHAPE_CANVAS_WIDTH = 48;
inline constexpr int32_t SHAPE_CANVAS_HEIGHT = 40;
inline constexpr Colour SHAPE_BACKGROUND = 0xE0F0FF;

struct ExactShape {
    const char* name;
    std::function<void(CDrawSurface&)> draw;
};

inline std::vector<ExactShape> ExactShapes() {
    const Pen red = Pen::Solid(1, 0x0000C0);
    const Pen dots = Pen::Dotted(0, 0x804000);
    // 10 x 4 bits: a frame with a diagonal, shrunk and grown.
    static const uint8_t bits[] = {0xFF, 0xC0, 0xA0, 0x40, 0x90, 0x40, 0xFF, 0xC0};
    const MonoBitmap bitmap{bits, 10, 4, 2};
    return {
        {"fill reaching past the edges",
         [](CDrawSurface& s) {
             s.FillRect({-5, 30, 60, 50}, 0x00FF00);
         }},
        {"lines in every octant",
         [red](CDrawSurface& s) {
             for (const Point end : {Point{45, 5}, Point{30, 38}, Point{2, 30}, Point{5, 1}}) {
                 s.Line({24, 20}, end, red);
             }
         }},
        {"dotted polyline counting on",
         [dots](CDrawSurface& s) {
             const Point path[] = {{2, 2}, {40, 2}, {40, 30}, {3, 36}};
             s.Polyline(path, dots);
         }},
        {"filled rectangle and a one-pixel bar",
         [red](CDrawSurface& s) {
             s.Rectangle({4, 4, 20, 15}, red, Brush::Solid(0xC0C0C0));
             s.Rectangle({30, 4, 31, 30}, red, Brush::StockBlack());
         }},
        {"dotted rectangle, reversed corners",
         [dots](CDrawSurface& s) {
             s.Rectangle({44, 36, 6, 8}, dots, Brush::Null());
         }},
        {"filled ellipse and one cut by the edge",
         [red](CDrawSurface& s) {
             s.Ellipse({3, 3, 26, 18}, red, Brush::StockWhite());
             s.Ellipse({30, 20, 70, 60}, red, Brush::Solid(0x00A0A0));
         }},
        {"arcs solid and dotted",
         [red, dots](CDrawSurface& s) {
             s.Arc({4, 4, 40, 36}, {40, 20}, {22, 4}, red);
             s.Arc({8, 8, 36, 32}, {8, 20}, {40, 20}, dots);
         }},
        {"polygon outline without a brush",
         [red](CDrawSurface& s) {
             const Point star[] = {{24, 2}, {30, 36}, {2, 14}, {46, 14}, {18, 36}};
             s.Polygon(star, red, Brush::Null());
         }},
        {"bitmap shrunk and grown",
         [bitmap](CDrawSurface& s) {
             s.StretchMonoBitmap({2, 2, 7, 4}, bitmap, 0x400040);
             s.StretchMonoBitmap({10, 10, 45, 38}, bitmap, 0x004000);
         }},
    };
}

}  // namespace qurix::test
