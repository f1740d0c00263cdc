#pragma once
#include <QColor>
#include <QPainter>
#include <QRect>
#include <vector>

#include "render/DrawSurface.h"

namespace qurix {

// The drawing surface on a QPainter, with the pixel rules of the editor's platform.
// One-pixel pens (solid or dotted, width 0 or 1) are rasterised here exactly; wider pens,
// dashed pens and polygon insides go through the painter without antialiasing. Every call
// leaves the painter's state as it found it.
class CQtSurface : public CDrawSurface {
public:
    // Draws through painter, which stays the caller's. bounds is the part of the surface
    // that can show, in surface coordinates: one-pixel paths are computed only there.
    CQtSurface(QPainter& painter, const QRect& bounds);

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
    // This surface draws on someone else's device: no pixels to give.
    bool ReadPixels(CanvasPixels& out) const override;

protected:
    // For a canvas that opens its painter after this base is made.
    CQtSurface(QPainter* painter, const QRect& bounds);

private:
    bool Active() const;
    // The painter set up for one call, put back as it was when this ends.
    class Session;

    // Pixels of a one-pixel path.
    void PlotPixels(const std::vector<Point>& pixels, Colour colour);
    // The outline pixels of box on the canvas (visible) that a one-pixel pen sets on the
    // arc from angle `from` over `sweep` radians.
    void PlotOutline(const Rect& box, const std::vector<Point>& visible, const Pen& pen,
                     double from, double sweep);
    // Wide or dashed segments through the painter.
    void StrokeSegments(std::span<const Point> points, bool closed, const Pen& pen);
    // A pen for the painter's own stroking (wide, dashed).
    static QPen PainterPen(const Pen& pen);
    // The same for a curve about length pixels long.
    static QPen CurvePen(const Pen& pen, double length);
    static QBrush PainterBrush(const Brush& brush);

    QPainter* painter_;
    QRect bounds_;
};

}  // namespace qurix
