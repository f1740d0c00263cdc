#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "core/geometry/Geometry.h"
#include "render/Brush.h"
#include "render/Colour.h"
#include "render/LogFont.h"
#include "render/Pen.h"
#include "render/SurfaceFont.h"

namespace qurix {

// Width along the text and cell height, in surface units.
struct Extent {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const Extent&, const Extent&) = default;
};

// A one-bit bitmap held by the caller: rows top to bottom, `stride` bytes apart, the most
// significant bit of a byte the leftmost pixel, a set bit a drawn pixel. The bytes must
// cover stride * height.
struct MonoBitmap {
    const uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;

    bool Pixel(int32_t x, int32_t y) const {
        const uint8_t byte =
            bits[static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x / 8)];
        return (byte & (0x80 >> (x % 8))) != 0;
    }
};

// The pixels of a canvas: rows top to bottom, 4 bytes per pixel (blue, green, red, unused),
// rows width * 4 bytes long.
struct CanvasPixels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgrx;
};

// Where all drawing goes. Stateless: every call carries its pen, brush, font and colour,
// so no call can leave anything behind for the next. Coordinates are surface pixels
// (x right, y down); every call takes any int32 values without failing.
class CDrawSurface {
public:
    virtual ~CDrawSurface() = default;

    // Fills left <= x < right, top <= y < bottom.
    virtual void FillRect(const Rect& rect, Colour colour) = 0;

    // Connected segments, as a move to the first point and lines to the others: each
    // segment sets its start pixel and not its end pixel. A dotted pen's pattern runs
    // on from one segment to the next.
    virtual void Polyline(std::span<const Point> points, const Pen& pen) = 0;
    void Line(Point from, Point to, const Pen& pen) {
        const Point points[2] = {from, to};
        Polyline(points, pen);
    }

    // Outline in the pen, inside in the brush; the right and bottom edges are excluded,
    // so a one-pixel outline covers left..right-1 and top..bottom-1.
    virtual void Rectangle(const Rect& box, const Pen& pen, const Brush& brush) = 0;
    // The ellipse inscribed in box, right and bottom excluded as for Rectangle.
    virtual void Ellipse(const Rect& box, const Pen& pen, const Brush& brush) = 0;
    // Closed polygon, inside filled by the winding rule.
    virtual void Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) = 0;
    // Part of the ellipse inscribed in box, counter-clockwise on screen from the ray
    // through start to the ray through end (the same ray: the whole ellipse).
    virtual void Arc(const Rect& box, Point start, Point end, const Pen& pen) = 0;

    // Fonts: escapement 900 draws a quarter turn counter-clockwise.
    virtual std::unique_ptr<CSurfaceFont> MakeFont(const LogFont& font) = 0;
    // Width of the bytes along the text and the font's cell height.
    virtual Extent TextExtent(const CSurfaceFont& font, std::string_view text) = 0;
    // Cell height minus descent.
    virtual int32_t FontAscent(const CSurfaceFont& font) = 0;
    // Draws the bytes with the top-left corner of their cell at cellTopLeft (for a rotated
    // font: the cell's own top-left corner, rotated with it), background untouched.
    virtual void DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                            Colour colour) = 0;

    // Stretches the whole bitmap onto dest (right and bottom excluded): set bits take
    // colour, clear bits leave the target alone; when shrinking, set bits win.
    virtual void StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) = 0;

    // The canvas's pixels as they stand; false for a surface that has none to give.
    virtual bool ReadPixels(CanvasPixels& out) const = 0;
};

}  // namespace qurix
