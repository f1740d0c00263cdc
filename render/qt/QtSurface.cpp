#include "render/qt/QtSurface.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/PixelRaster.h"
#include "render/qt/QtBridge.h"
#include "render/qt/QtFont.h"
#include "render/qt/TextDecode.h"

namespace qurix {

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;

// Surface pixel (x, y) covers [x, x+1) in painter coordinates; paths go through pixel
// centres so that strokes and fills are symmetric about the one-pixel path.
QPointF Centre(Point p) {
    return QPointF(p.x + 0.5, p.y + 0.5);
}

Rect ToRect(const QRect& r) {
    return Rect{r.left(), r.top(), static_cast<int32_t>(static_cast<int64_t>(r.left()) + r.width()),
                static_cast<int32_t>(static_cast<int64_t>(r.top()) + r.height())};
}

// The part of rect (right and bottom excluded) inside bounds, as a QRect; empty if none.
QRect Intersect(const Rect& rect, const QRect& bounds) {
    Rect r = rect;
    r.Normalize();
    const int64_t l = std::max<int64_t>(r.left, bounds.left());
    const int64_t t = std::max<int64_t>(r.top, bounds.top());
    const int64_t rr =
        std::min<int64_t>(r.right, static_cast<int64_t>(bounds.left()) + bounds.width());
    const int64_t b =
        std::min<int64_t>(r.bottom, static_cast<int64_t>(bounds.top()) + bounds.height());
    if (rr <= l || b <= t) return QRect();
    return QRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(rr - l),
                 static_cast<int>(b - t));
}

const CQtFont& QtFontOf(const CSurfaceFont& font, std::unique_ptr<CQtFont>& holder) {
    if (const auto* own = dynamic_cast<const CQtFont*>(&font)) return *own;
    holder = std::make_unique<CQtFont>(font.Description());
    return *holder;
}

// The angle of a ray from the ink centre of box through p (counter-clockwise from the
// right), as the arc's rays are given.
double RayAngle(const Rect& box, Point p) {
    return raster::PixelAngle(box, p.x, p.y);
}

// Sweep from one ray to the other, counter-clockwise; the same ray is a full turn.
double Sweep(double from, double to) {
    double sweep = std::fmod(to - from + 2.0 * TWO_PI, TWO_PI);
    if (sweep < 1e-12) sweep = TWO_PI;
    return sweep;
}

// Clips the segment a-b to r; t0 and t1 receive where the kept part starts and ends
// along it (0 to 1). False when nothing is left.
bool ClipSegment(QPointF a, QPointF b, const QRectF& r, double& t0, double& t1) {
    return raster::ClipSegment(a.x(), a.y(), b.x(), b.y(), r.left(), r.top(), r.right(), r.bottom(),
                               t0, t1);
}

// Above this many dashes a figure is stroked solid: only absurd coordinates get there,
// and nothing of the pattern could be seen.
constexpr double MAX_DASHES = 100000.0;

}  // namespace

class CQtSurface::Session {
public:
    explicit Session(QPainter& painter) : painter_(painter) {
        painter_.save();
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, false);
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_.setBackgroundMode(Qt::TransparentMode);
    }
    ~Session() { painter_.restore(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

private:
    QPainter& painter_;
};

CQtSurface::CQtSurface(QPainter& painter, const QRect& bounds)
    : painter_(&painter), bounds_(bounds) {}

CQtSurface::CQtSurface(QPainter* painter, const QRect& bounds)
    : painter_(painter), bounds_(bounds) {}

bool CQtSurface::Active() const {
    return painter_ && painter_->isActive() && !bounds_.isEmpty();
}

QPen CQtSurface::PainterPen(const Pen& pen) {
    const int32_t width = std::clamp<int32_t>(pen.width, 1, 1 << 20);
    QPen out(ToQColor(pen.colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (pen.style == PenStyle::Dashed) {
        // Qt counts dash lengths in pen widths.
        const qreal dash = std::max<qreal>(pen.dash, 1) / width;
        const qreal gap = std::max<qreal>(pen.gap, 1) / width;
        out.setDashPattern({dash, gap});
        out.setCapStyle(Qt::RoundCap);
    } else if (pen.width <= 1) {
        out.setWidth(0);
        if (pen.style == PenStyle::Dotted) out.setDashPattern({3.0, 3.0});
    }
    return out;
}

QPen CQtSurface::CurvePen(const Pen& pen, double length) {
    QPen out = PainterPen(pen);
    const double period = static_cast<double>(pen.dash) + pen.gap;
    const bool patterned =
        pen.style == PenStyle::Dashed || (pen.style == PenStyle::Dotted && pen.width <= 1);
    const double unit = pen.style == PenStyle::Dashed ? std::max(period, 2.0) : 6.0;
    if (patterned && length / unit > MAX_DASHES) out.setStyle(Qt::SolidLine);
    return out;
}

QBrush CQtSurface::PainterBrush(const Brush& brush) {
    if (!brush.Fills()) return Qt::NoBrush;
    return QBrush(ToQColor(brush.FillColour()));
}

void CQtSurface::PlotPixels(const std::vector<Point>& points, Colour colour) {
    if (points.empty()) return;
    if (painter_->deviceTransform().type() <= QTransform::TxTranslate) {
        std::vector<QPoint> pixels;
        pixels.reserve(points.size());
        for (const Point& p : points) pixels.emplace_back(p.x, p.y);
        QPen pen(ToQColor(colour), 0);
        pen.setCapStyle(Qt::SquareCap);
        painter_->setPen(pen);
        painter_->drawPoints(pixels.data(), static_cast<int>(pixels.size()));
        return;
    }
    // A scaled painter (a high-density screen): each surface pixel as the square it is, so
    // one-pixel paths keep no holes.
    std::vector<QRect> squares;
    squares.reserve(points.size());
    for (const Point& p : points) squares.emplace_back(p.x, p.y, 1, 1);
    painter_->setPen(Qt::NoPen);
    painter_->setBrush(ToQColor(colour));
    painter_->drawRects(squares.data(), static_cast<int>(squares.size()));
}

void CQtSurface::FillRect(const Rect& rect, Colour colour) {
    if (!Active()) return;
    const QRect r = Intersect(rect, bounds_);
    if (r.isEmpty()) return;
    Session session(*painter_);
    painter_->fillRect(r, ToQColor(colour));
}

void CQtSurface::Polyline(std::span<const Point> points, const Pen& pen) {
    if (!Active() || points.size() < 2) return;
    Session session(*painter_);
    if (pen.IsOnePixel()) {
        std::vector<Point> pixels;
        raster::PolylinePixels(points, pen.style == PenStyle::Dotted, ToRect(bounds_), pixels);
        PlotPixels(pixels, pen.colour);
        return;
    }
    StrokeSegments(points, false, pen);
}

void CQtSurface::StrokeSegments(std::span<const Point> points, bool closed, const Pen& pen) {
    QPen qpen = PainterPen(pen);
    const double width = qpen.widthF();
    const bool dashed = pen.style == PenStyle::Dashed;
    // Each segment is drawn on its own, clipped to what can show (with room for the
    // pen), its dash pattern going on from where the previous one stopped. Round caps
    // where segments meet draw what round joins would.
    const QRectF reach = QRectF(bounds_).adjusted(-width - 2, -width - 2, width + 2, width + 2);
    painter_->setBrush(Qt::NoBrush);
    double travelled = 0.0;
    const size_t count = closed ? points.size() + 1 : points.size();
    for (size_t i = 1; i < count; ++i) {
        const QPointF a = Centre(points[i - 1]);
        const QPointF b = Centre(points[i % points.size()]);
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        double t0 = 0.0;
        double t1 = 1.0;
        if (ClipSegment(a, b, reach, t0, t1)) {
            if (dashed) {
                // Within one period, so a far start keeps its precision.
                const QList<qreal> pattern = qpen.dashPattern();
                const double period = pattern.size() == 2 ? pattern[0] + pattern[1] : 1.0;
                qpen.setDashOffset(std::fmod((travelled + t0 * length) / width, period));
            }
            painter_->setPen(qpen);
            const QPointF d = b - a;
            if (length == 0.0) {
                painter_->drawPoint(a);
            } else {
                painter_->drawLine(QLineF(a + d * t0, a + d * t1));
            }
        }
        travelled += length;
    }
}

void CQtSurface::Rectangle(const Rect& box, const Pen& pen, const Brush& brush) {
    if (!Active()) return;
    const Rect r = box.Normalized();
    if (!r.HasArea()) return;
    Session session(*painter_);
    if (!pen.IsOnePixel()) {
        if (brush.Fills()) {
            const QRect inside = Intersect(r, bounds_);
            if (!inside.isEmpty()) painter_->fillRect(inside, ToQColor(brush.FillColour()));
        }
        StrokeSegments(raster::InkCorners(r), true, pen);
        return;
    }
    if (brush.Fills() && int64_t{r.right} - r.left > 2 && int64_t{r.bottom} - r.top > 2) {
        const QRect inside =
            Intersect(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, bounds_);
        if (!inside.isEmpty()) painter_->fillRect(inside, ToQColor(brush.FillColour()));
    }
    std::vector<Point> pixels;
    raster::RectanglePixels(r, pen.style == PenStyle::Dotted, ToRect(bounds_), pixels);
    PlotPixels(pixels, pen.colour);
}

void CQtSurface::Ellipse(const Rect& box, const Pen& pen, const Brush& brush) {
    if (!Active()) return;
    const Rect r = box.Normalized();
    std::vector<Point> outline;
    std::vector<raster::Span> inside;
    const bool exact =
        pen.IsOnePixel() && raster::ClippedEllipsePixels(r, ToRect(bounds_), outline, inside);
    Session session(*painter_);
    if (!exact) {
        const int64_t w = static_cast<int64_t>(r.right) - r.left;
        const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
        if (w <= 0 || h <= 0) return;
        painter_->setPen(CurvePen(pen, static_cast<double>(w + h) * 2.0));
        painter_->setBrush(PainterBrush(brush));
        painter_->drawEllipse(QRectF(r.left + 0.5, r.top + 0.5, static_cast<qreal>(w - 1),
                                     static_cast<qreal>(h - 1)));
        return;
    }
    if (brush.Fills()) {
        const QColor fill = ToQColor(brush.FillColour());
        for (const raster::Span& s : inside) {
            const QRect row = Intersect(Rect{s.left, s.y, s.right + 1, s.y + 1}, bounds_);
            if (!row.isEmpty()) painter_->fillRect(row, fill);
        }
    }
    PlotOutline(r, outline, pen, 0.0, TWO_PI);
}

void CQtSurface::PlotOutline(const Rect& box, const std::vector<Point>& visible, const Pen& pen,
                             double from, double sweep) {
    const std::vector<Point> path =
        raster::OutlinePixels(box, visible, pen.style == PenStyle::Dotted, from, sweep);
    std::vector<Point> pixels;
    for (const Point& p : path) {
        if (bounds_.contains(p.x, p.y)) pixels.push_back(p);
    }
    PlotPixels(pixels, pen.colour);
}

void CQtSurface::Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) {
    if (!Active() || points.size() < 2) return;
    Session session(*painter_);
    QPolygonF shape;
    for (const Point& p : points) shape << Centre(p);
    if (brush.Fills()) {
        painter_->setPen(Qt::NoPen);
        painter_->setBrush(PainterBrush(brush));
        painter_->drawPolygon(shape, Qt::WindingFill);
    }
    if (!pen.IsOnePixel()) {
        StrokeSegments(points, true, pen);
        return;
    }
    std::vector<Point> closed(points.begin(), points.end());
    closed.push_back(points.front());
    std::vector<Point> pixels;
    raster::PolylinePixels(closed, pen.style == PenStyle::Dotted, ToRect(bounds_), pixels);
    PlotPixels(pixels, pen.colour);
}

void CQtSurface::Arc(const Rect& box, Point start, Point end, const Pen& pen) {
    if (!Active()) return;
    const Rect r = box.Normalized();
    const double from = RayAngle(r, start);
    const double sweep = Sweep(from, RayAngle(r, end));
    std::vector<Point> outline;
    std::vector<raster::Span> inside;
    Session session(*painter_);
    if (pen.IsOnePixel() && raster::ClippedEllipsePixels(r, ToRect(bounds_), outline, inside)) {
        PlotOutline(r, outline, pen, from, sweep);
        return;
    }
    const int64_t w = static_cast<int64_t>(r.right) - r.left;
    const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
    if (w <= 0 || h <= 0) return;
    // The painter counts arc angles on the ellipse's own circle: turn the rays' angles
    // into those.
    const double rx = std::max<double>(static_cast<double>(w - 1) / 2.0, 0.5);
    const double ry = std::max<double>(static_cast<double>(h - 1) / 2.0, 0.5);
    auto parametric = [&](double angle) {
        return std::atan2(std::sin(angle) / ry, std::cos(angle) / rx);
    };
    const double p0 = parametric(from);
    double pSweep = std::fmod(parametric(from + sweep) - p0 + 2.0 * TWO_PI, TWO_PI);
    if (sweep >= TWO_PI - 1e-12 || pSweep < 1e-12) pSweep = TWO_PI;
    const QRectF ellipse(r.left + 0.5, r.top + 0.5, static_cast<qreal>(w - 1),
                         static_cast<qreal>(h - 1));
    QPainterPath path;
    path.arcMoveTo(ellipse, p0 * 180.0 / std::numbers::pi);
    path.arcTo(ellipse, p0 * 180.0 / std::numbers::pi, pSweep * 180.0 / std::numbers::pi);
    painter_->setPen(CurvePen(pen, static_cast<double>(w + h) * 2.0));
    painter_->setBrush(Qt::NoBrush);
    painter_->drawPath(path);
}

std::unique_ptr<CSurfaceFont> CQtSurface::MakeFont(const LogFont& font) {
    return std::make_unique<CQtFont>(font);
}

Extent CQtSurface::TextExtent(const CSurfaceFont& font, std::string_view text) {
    std::unique_ptr<CQtFont> holder;
    const CQtFont& f = QtFontOf(font, holder);
    return Extent{f.Metrics().horizontalAdvance(DecodeText(text)), f.Metrics().height()};
}

int32_t CQtSurface::FontAscent(const CSurfaceFont& font) {
    std::unique_ptr<CQtFont> holder;
    return QtFontOf(font, holder).Metrics().ascent();
}

void CQtSurface::DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                            Colour colour) {
    if (!Active() || text.empty()) return;
    std::unique_ptr<CQtFont> holder;
    const CQtFont& f = QtFontOf(font, holder);
    Session session(*painter_);
    painter_->setFont(f.Font());
    painter_->setPen(ToQColor(colour));
    painter_->translate(cellTopLeft.x, cellTopLeft.y);
    if (f.Rotation() != 0.0) painter_->rotate(f.Rotation());
    painter_->drawText(QPoint(0, f.Metrics().ascent()), DecodeText(text));
}

void CQtSurface::StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) {
    if (!Active() || !raster::CanStretch(dest, bitmap)) return;
    const QRect visible = Intersect(dest, bounds_);
    if (visible.isEmpty()) return;

    Session session(*painter_);
    const QColor ink = ToQColor(colour);
    raster::StretchedBitmapRuns(dest, bitmap, ToRect(visible),
                                [&](int32_t y, int32_t left, int32_t right) {
                                    painter_->fillRect(QRect(left, y, right - left, 1), ink);
                                });
}

bool CQtSurface::ReadPixels(CanvasPixels&) const {
    return false;
}

}  // namespace qurix
