#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "render/DrawSurface.h"

namespace qurix {

// A drawing surface on 32-bit pixels held elsewhere (blue, green, red, unused; rows top to
// bottom, width * 4 bytes apart) that sets the pixels of everything it can compute exactly
// itself, by one set of rules on every platform: fills, one-pixel paths (lines, rectangles,
// ellipses and arcs, solid or dotted), the insides of rectangles and ellipses, and
// stretched one-bit bitmaps. What a painter must draw (wide and dashed pens, polygon
// insides, ellipses too large to compute) and texts are left to the backend below.
class CRasterCanvas : public CDrawSurface {
public:
    // The pixels are someone else's: a copy would draw into them too.
    CRasterCanvas(const CRasterCanvas&) = delete;
    CRasterCanvas& operator=(const CRasterCanvas&) = delete;

    void FillRect(const Rect& rect, Colour colour) override;
    void Polyline(std::span<const Point> points, const Pen& pen) override;
    void Rectangle(const Rect& box, const Pen& pen, const Brush& brush) override;
    void Ellipse(const Rect& box, const Pen& pen, const Brush& brush) override;
    void Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) override;
    void Arc(const Rect& box, Point start, Point end, const Pen& pen) override;
    void StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) override;
    bool ReadPixels(CanvasPixels& out) const override;

    // False for a canvas that could not be made: it draws nothing and gives no pixels.
    bool IsValid() const { return Active(); }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

protected:
    // pixels may be null (a canvas that could not be made): then nothing is drawn. unused
    // is what the fourth byte of each pixel set here holds (the pixel format's rule).
    CRasterCanvas(uint8_t* pixels, int32_t width, int32_t height, uint8_t unused = 0);
    // The pixels are gone: nothing is drawn from now on.
    void Detach() { pixels_ = nullptr; }

    // Called before pixels are set directly, so a backend can finish its own drawing.
    virtual void BeforePixels() const {}
    // Wide or dashed pens along connected segments (closed: back to the first point).
    virtual void StrokePath(std::span<const Point> points, bool closed, const Pen& pen) = 0;
    // The inside of a polygon by the winding rule.
    virtual void FillPolygon(std::span<const Point> points, Colour colour) = 0;
    // An ellipse or arc that is not computed here (a wide pen, or too large).
    virtual void PaintEllipse(const Rect& box, const Pen& pen, const Brush& brush) = 0;
    // from and sweep: radians counter-clockwise, as raster::PixelAngle counts.
    virtual void PaintArc(const Rect& box, double from, double sweep, const Pen& pen) = 0;

    bool Active() const { return pixels_ != nullptr && width_ > 0 && height_ > 0; }
    Rect Bounds() const { return Rect{0, 0, width_, height_}; }

private:
    void FillClipped(const Rect& rect, Colour colour);
    void Plot(const std::vector<Point>& pixels, Colour colour);
    // The segments through points (closed: back to the first), in the pen's width and style.
    void Outline(std::span<const Point> points, bool closed, const Pen& pen);

    uint8_t* pixels_;  // not owned
    int32_t width_;
    int32_t height_;
    uint8_t unused_;
};

}  // namespace qurix
