#pragma once
#include "render/DrawSurface.h"

namespace qurix {

// Draws on another surface with every coordinate moved by -origin: what is drawn at origin
// lands on the target's top-left pixel. A view scrolled to origin draws its whole picture
// through it onto a canvas the size of the window. Fonts and pixels are the target's.
class CShiftedSurface : public CDrawSurface {
public:
    // target is only referred to and must outlive this surface.
    CShiftedSurface(CDrawSurface& target, Point origin) : target_(target), origin_(origin) {}

    void FillRect(const Rect& rect, Colour colour) override;
    void Polyline(std::span<const Point> points, const Pen& pen) override;
    void Rectangle(const Rect& box, const Pen& pen, const Brush& brush) override;
    void Ellipse(const Rect& box, const Pen& pen, const Brush& brush) override;
    void Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) override;
    void Arc(const Rect& box, Point start, Point end, const Pen& pen) override;
    std::unique_ptr<CSurfaceFont> MakeFont(const LogFont& font) override;
    Extent TextExtent(const CSurfaceFont& font, std::string_view text) override;
    int32_t FontAscent(const CSurfaceFont& font) override;
    void DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                    Colour colour) override;
    void StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) override;
    bool ReadPixels(CanvasPixels& out) const override;

private:
    Point Moved(Point p) const { return p - origin_; }
    Rect Moved(Rect r) const;
    // The points moved, in a buffer kept between calls.
    std::span<const Point> Moved(std::span<const Point> points);

    CDrawSurface& target_;
    Point origin_;
    std::vector<Point> moved_;
};

}  // namespace qurix
