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

CRasterCanvas::CRasterCanvas(uint8_t* pixels, int32_t width, int32_t height)
    : pixels_(pixels), width_(width), height_(height) {}

void CRasterCanvas::FillClipped(const Rect& rect, Colour colour) {
    Rect r = rect.Normalized();
    const int32_t left = std::max(r.left, 0);
    const int32_t top = std::max(r.top, 0);
    const int32_t right = std::min(r.right, width_);
    const int32_t bottom = std::min(r.bottom, height_);
    if (right <= left || bottom <= top) return;
    const uint8_t bgrx[4] = {ColourBlue(colour), ColourGreen(colour), ColourRed(colour), 0};
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

void CRasterCanvas::OnePixelPolyline(std::span<const Point> points, const Pen& pen,
                                     std::vector<Point>& out) {
    const bool dotted = pen.style == PenStyle::Dotted;
    int64_t index = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        index += raster::LinePixels(points[i - 1], points[i], Bounds(), index,
                                    [&](int32_t x, int32_t y, int64_t k) {
                                        if (!dotted || raster::DotOn(k)) out.push_back({x, y});
                                    });
    }
}

void CRasterCanvas::FillRect(const Rect& rect, Colour colour) {
    if (!Active()) return;
    BeforePixels();
    FillClipped(rect, colour);
}

void CRasterCanvas::Polyline(std::span<const Point> points, const Pen& pen) {
    if (!Active() || points.size() < 2) return;
    if (!pen.IsOnePixel()) {
        StrokePath(points, false, pen);
        return;
    }
    BeforePixels();
    std::vector<Point> pixels;
    OnePixelPolyline(points, pen, pixels);
    Plot(pixels, pen.colour);
}

void CRasterCanvas::Rectangle(const Rect& box, const Pen& pen, const Brush& brush) {
    if (!Active()) return;
    const Rect r = box.Normalized();
    const int64_t w = static_cast<int64_t>(r.right) - r.left;
    const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
    if (w <= 0 || h <= 0) return;
    BeforePixels();
    if (!pen.IsOnePixel()) {
        if (brush.Fills()) FillClipped(r, brush.FillColour());
        const Point corners[4] = {{r.left, r.top},
                                  {r.right - 1, r.top},
                                  {r.right - 1, r.bottom - 1},
                                  {r.left, r.bottom - 1}};
        StrokePath(corners, true, pen);
        return;
    }
    if (brush.Fills() && w > 2 && h > 2) {
        FillClipped(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush.FillColour());
    }
    const Point tl{r.left, r.top};
    const Point tr{r.right - 1, r.top};
    const Point br{r.right - 1, r.bottom - 1};
    const Point bl{r.left, r.bottom - 1};
    std::vector<Point> pixels;
    if (w == 1 || h == 1) {
        // A bar one pixel across: every pixel of it, end included.
        const Point path[2] = {tl, Point{br.x + (h == 1 ? 1 : 0), br.y + (h == 1 ? 0 : 1)}};
        OnePixelPolyline(path, pen, pixels);
    } else {
        const Point path[5] = {tl, tr, br, bl, tl};
        OnePixelPolyline(path, pen, pixels);
    }
    Plot(pixels, pen.colour);
}

void CRasterCanvas::Ellipse(const Rect& box, const Pen& pen, const Brush& brush) {
    if (!Active()) return;
    const Rect r = box.Normalized();
    std::vector<Point> outline;
    std::vector<raster::Span> inside;
    if (!pen.IsOnePixel() || !raster::ClippedEllipsePixels(r, Bounds(), outline, inside)) {
        const int64_t w = static_cast<int64_t>(r.right) - r.left;
        const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
        if (w > 0 && h > 0) PaintEllipse(r, pen, brush);
        return;
    }
    BeforePixels();
    if (brush.Fills()) {
        for (const raster::Span& s : inside) {
            FillClipped(Rect{s.left, s.y, s.right + 1, s.y + 1}, brush.FillColour());
        }
    }
    PlotOutline(r, outline, pen, 0.0, TWO_PI);
}

void CRasterCanvas::PlotOutline(const Rect& box, const std::vector<Point>& visible, const Pen& pen,
                                double from, double sweep) {
    std::vector<Point> path;
    if (pen.style != PenStyle::Dotted) {
        // A whole solid outline needs no order.
        path = sweep >= TWO_PI ? visible : raster::ArcOrder(box, visible, from, sweep);
    } else if (!raster::DottedArcPixels(box, visible, from, sweep, path)) {
        // The dots count along the whole outline.
        std::vector<Point> outline;
        std::vector<raster::Span> inside;
        raster::EllipsePixels(box, outline, inside);
        const std::vector<Point> ordered = raster::ArcOrder(box, outline, from, sweep);
        path.clear();
        for (size_t i = 0; i < ordered.size(); ++i) {
            if (raster::DotOn(static_cast<int64_t>(i))) path.push_back(ordered[i]);
        }
    }
    Plot(path, pen.colour);
}

void CRasterCanvas::Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) {
    if (!Active() || points.size() < 2) return;
    if (brush.Fills()) FillPolygon(points, brush.FillColour());
    if (!pen.IsOnePixel()) {
        StrokePath(points, true, pen);
        return;
    }
    BeforePixels();
    std::vector<Point> closed(points.begin(), points.end());
    closed.push_back(points.front());
    std::vector<Point> pixels;
    OnePixelPolyline(closed, pen, pixels);
    Plot(pixels, pen.colour);
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
        PlotOutline(r, outline, pen, from, sweep);
        return;
    }
    const int64_t w = static_cast<int64_t>(r.right) - r.left;
    const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
    if (w > 0 && h > 0) PaintArc(r, from, sweep, pen);
}

void CRasterCanvas::StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) {
    constexpr int32_t MAX_SIDE = 1 << 20;
    if (!Active() || !bitmap.bits || bitmap.width <= 0 || bitmap.height <= 0) return;
    if (bitmap.width > MAX_SIDE || bitmap.height > MAX_SIDE) return;
    if (bitmap.stride < (bitmap.width + 7) / 8) return;
    const int64_t dw = static_cast<int64_t>(dest.right) - dest.left;
    const int64_t dh = static_cast<int64_t>(dest.bottom) - dest.top;
    if (dw <= 0 || dh <= 0) return;
    const int32_t left = std::max(dest.left, 0);
    const int32_t top = std::max(dest.top, 0);
    const int32_t right = std::min(dest.right, width_);
    const int32_t bottom = std::min(dest.bottom, height_);
    if (right <= left || bottom <= top) return;
    BeforePixels();

    // Destination pixel d covers source [d * s / dd, (d + 1) * s / dd), at least one
    // source pixel; shrinking ORs what it covers, so set bits win.
    auto range = [](int64_t d, int64_t dd, int64_t s) {
        const int64_t first = d * s / dd;
        const int64_t last = std::max(first + 1, (d + 1) * s / dd);
        return std::pair<int32_t, int32_t>(static_cast<int32_t>(first),
                                           static_cast<int32_t>(std::min<int64_t>(last, s)));
    };
    std::vector<uint8_t> rowBits(static_cast<size_t>(bitmap.width));
    for (int32_t y = top; y < bottom; ++y) {
        const auto [sy0, sy1] = range(static_cast<int64_t>(y) - dest.top, dh, bitmap.height);
        std::fill(rowBits.begin(), rowBits.end(), 0);
        for (int32_t sy = sy0; sy < sy1; ++sy) {
            for (int32_t sx = 0; sx < bitmap.width; ++sx) {
                if (bitmap.Pixel(sx, sy)) rowBits[static_cast<size_t>(sx)] = 1;
            }
        }
        for (int32_t x = left; x < right; ++x) {
            const auto [sx0, sx1] = range(static_cast<int64_t>(x) - dest.left, dw, bitmap.width);
            bool set = false;
            for (int32_t sx = sx0; sx < sx1 && !set; ++sx) set = rowBits[static_cast<size_t>(sx)];
            if (set) FillClipped(Rect{x, y, x + 1, y + 1}, colour);
        }
    }
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
