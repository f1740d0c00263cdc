#include "render/RasterCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/PixelRaster.h"

namespace qurix {

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;

// Sweep from one ray to the other, counter-clockwise; the same ray is a full turn.
double Sweep(double from, double to) {
    double sweep = std::fmod(to - from + 2.0 * TWO_PI, TWO_PI);
    if (sweep < 1e-12) sweep = TWO_PI;
    return sweep;
}

}  // namespace

CRasterCanvas::CRasterCanvas(uint8_t* pixels, int32_t width, int32_t height, uint8_t unused)
    : pixels_(pixels), width_(width), height_(height), unused_(unused) {}

void CRasterCanvas::FillClipped(const Rect& rect, Colour colour) {
    Rect r = rect.Normalized();
    const int32_t left = std::max(r.left, 0);
    const int32_t top = std::max(r.top, 0);
    const int32_t right = std::min(r.right, width_);
    const int32_t bottom = std::min(r.bottom, height_);
    if (right <= left || bottom <= top) return;
    const uint8_t bgrx[4] = {ColourBlue(colour), ColourGreen(colour), ColourRed(colour), unused_};
    for (int32_t y = top; y < bottom; ++y) {
        uint8_t* p =
            pixels_ +
            (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(left)) * 4;
        for (int32_t x = left; x < right; ++x, p += 4) std::copy(bgrx, bgrx + 4, p);
    }
}

void CRasterCanvas::Plot(const std::vector<Point>& points, Colour colour) {
    for (const Point& p : points) FillClipped(Rect{p.x, p.y, p.x + 1, p.y + 1}, colour);
}

void CRasterCanvas::FillRect(const Rect& rect, Colour colour) {
    if (!Active()) return;
    BeforePixels();
    FillClipped(rect, colour);
}

void CRasterCanvas::Outline(std::span<const Point> points, bool closed, const Pen& pen) {
    if (!pen.IsOnePixel()) {
        StrokePath(points, closed, pen);
        return;
    }
    BeforePixels();
    const bool dotted = pen.style == PenStyle::Dotted;
    std::vector<Point> pixels;
    if (closed) {
        std::vector<Point> ring(points.begin(), points.end());
        ring.push_back(points.front());
        raster::PolylinePixels(ring, dotted, Bounds(), pixels);
    } else {
        raster::PolylinePixels(points, dotted, Bounds(), pixels);
    }
    Plot(pixels, pen.colour);
}

void CRasterCanvas::Polyline(std::span<const Point> points, const Pen& pen) {
    if (!Active() || points.size() < 2) return;
    Outline(points, false, pen);
}

void CRasterCanvas::Rectangle(const Rect& box, const Pen& pen, const Brush& brush) {
    if (!Active()) return;
    const Rect r = box.Normalized();
    if (!r.HasArea()) return;
    BeforePixels();
    if (!pen.IsOnePixel()) {
        if (brush.Fills()) FillClipped(r, brush.FillColour());
        StrokePath(raster::InkCorners(r), true, pen);
        return;
    }
    if (brush.Fills() && int64_t{r.right} - r.left > 2 && int64_t{r.bottom} - r.top > 2) {
        FillClipped(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush.FillColour());
    }
    std::vector<Point> pixels;
    raster::RectanglePixels(r, pen.style == PenStyle::Dotted, Bounds(), pixels);
    Plot(pixels, pen.colour);
}

void CRasterCanvas::Ellipse(const Rect& box, const Pen& pen, const Brush& brush) {
    if (!Active()) return;
    const Rect r = box.Normalized();
    std::vector<Point> outline;
    std::vector<raster::Span> inside;
    if (!pen.IsOnePixel() || !raster::ClippedEllipsePixels(r, Bounds(), outline, inside)) {
        if (r.HasArea()) PaintEllipse(r, pen, brush);
        return;
    }
    BeforePixels();
    if (brush.Fills()) {
        for (const raster::Span& s : inside) {
            FillClipped(Rect{s.left, s.y, s.right + 1, s.y + 1}, brush.FillColour());
        }
    }
    Plot(raster::OutlinePixels(r, outline, pen.style == PenStyle::Dotted, 0.0, TWO_PI), pen.colour);
}

void CRasterCanvas::Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) {
    if (!Active() || points.size() < 2) return;
    if (brush.Fills()) FillPolygon(points, brush.FillColour());
    Outline(points, true, pen);
}

void CRasterCanvas::Arc(const Rect& box, Point start, Point end, const Pen& pen) {
    if (!Active()) return;
    const Rect r = box.Normalized();
    const double from = raster::PixelAngle(r, start.x, start.y);
    const double sweep = Sweep(from, raster::PixelAngle(r, end.x, end.y));
    std::vector<Point> outline;
    std::vector<raster::Span> inside;
    if (pen.IsOnePixel() && raster::ClippedEllipsePixels(r, Bounds(), outline, inside)) {
        BeforePixels();
        Plot(raster::OutlinePixels(r, outline, pen.style == PenStyle::Dotted, from, sweep),
             pen.colour);
        return;
    }
    if (r.HasArea()) PaintArc(r, from, sweep, pen);
}

void CRasterCanvas::StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) {
    if (!Active() || !raster::CanStretch(dest, bitmap)) return;
    const int32_t left = std::max(dest.left, 0);
    const int32_t top = std::max(dest.top, 0);
    const int32_t right = std::min(dest.right, width_);
    const int32_t bottom = std::min(dest.bottom, height_);
    if (right <= left || bottom <= top) return;
    BeforePixels();

    raster::StretchedBitmapRuns(dest, bitmap, Rect{left, top, right, bottom},
                                [&](int32_t y, int32_t runLeft, int32_t runRight) {
                                    FillClipped(Rect{runLeft, y, runRight, y + 1}, colour);
                                });
}

bool CRasterCanvas::ReadPixels(CanvasPixels& out) const {
    if (!Active()) return false;
    BeforePixels();
    out.width = width_;
    out.height = height_;
    out.bgrx.assign(pixels_,
                    pixels_ + static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
    for (size_t i = 3; i < out.bgrx.size(); i += 4) out.bgrx[i] = 0;
    return true;
}

}  // namespace qurix
