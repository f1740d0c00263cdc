#include "render/ShiftedSurface.h"

namespace qurix {

Rect CShiftedSurface::Moved(Rect r) const {
    r.Offset(Point{} - origin_);
    return r;
}

std::span<const Point> CShiftedSurface::Moved(std::span<const Point> points) {
    moved_.clear();
    for (const Point p : points) moved_.push_back(Moved(p));
    return moved_;
}

void CShiftedSurface::FillRect(const Rect& rect, Colour colour) {
    target_.FillRect(Moved(rect), colour);
}

void CShiftedSurface::Polyline(std::span<const Point> points, const Pen& pen) {
    target_.Polyline(Moved(points), pen);
}

void CShiftedSurface::Rectangle(const Rect& box, const Pen& pen, const Brush& brush) {
    target_.Rectangle(Moved(box), pen, brush);
}

void CShiftedSurface::Ellipse(const Rect& box, const Pen& pen, const Brush& brush) {
    target_.Ellipse(Moved(box), pen, brush);
}

void CShiftedSurface::Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) {
    target_.Polygon(Moved(points), pen, brush);
}

void CShiftedSurface::Arc(const Rect& box, Point start, Point end, const Pen& pen) {
    target_.Arc(Moved(box), Moved(start), Moved(end), pen);
}

std::unique_ptr<CSurfaceFont> CShiftedSurface::MakeFont(const LogFont& font) {
    return target_.MakeFont(font);
}

Extent CShiftedSurface::TextExtent(const CSurfaceFont& font, std::string_view text) {
    return target_.TextExtent(font, text);
}

int32_t CShiftedSurface::FontAscent(const CSurfaceFont& font) {
    return target_.FontAscent(font);
}

void CShiftedSurface::DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                                 Colour colour) {
    target_.DrawString(font, Moved(cellTopLeft), text, colour);
}

void CShiftedSurface::StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) {
    target_.StretchMonoBitmap(Moved(dest), bitmap, colour);
}

bool CShiftedSurface::ReadPixels(CanvasPixels& out) const {
    return target_.ReadPixels(out);
}

}  // namespace qurix
