#include "render/qt/QtCanvas.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "render/PixelRaster.h"
#include "render/qt/QtBridge.h"
#include "render/qt/QtFont.h"
#include "render/qt/TextDecode.h"

namespace qurix {

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;

// Above this many dashes a figure is stroked solid: only absurd coordinates get there,
// and nothing of the pattern could be seen.
constexpr double MAX_DASHES = 100000.0;

// RGB32 keeps 0xff in the unused byte; the raster base writes it with every pixel.
constexpr uint8_t OPAQUE = 0xff;

QImage MakeImage(int32_t width, int32_t height, Colour background) {
    if (width <= 0 || height <= 0) return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (!image.isNull()) image.fill(ToQColor(background));
    return image;
}

// Canvas pixel (x, y) covers [x, x+1) in painter coordinates; paths go through pixel
// centres so that strokes and fills are symmetric about the one-pixel path.
QPointF Centre(Point p) {
    return QPointF(p.x + 0.5, p.y + 0.5);
}

const CQtFont& QtFontOf(const CSurfaceFont& font, std::unique_ptr<CQtFont>& holder) {
    if (const auto* own = dynamic_cast<const CQtFont*>(&font)) return *own;
    holder = std::make_unique<CQtFont>(font.Description());
    return *holder;
}

// A pen for the painter's own stroking (wide, dashed).
QPen PainterPen(const Pen& pen) {
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

// The same for a curve about length pixels long.
QPen CurvePen(const Pen& pen, double length) {
    QPen out = PainterPen(pen);
    const double period = static_cast<double>(pen.dash) + pen.gap;
    const bool patterned =
        pen.style == PenStyle::Dashed || (pen.style == PenStyle::Dotted && pen.width <= 1);
    const double unit = pen.style == PenStyle::Dashed ? std::max(period, 2.0) : 6.0;
    if (patterned && length / unit > MAX_DASHES) out.setStyle(Qt::SolidLine);
    return out;
}

// The painter's rectangle through the ink pixels' centres of box.
QRectF InkEllipse(const Rect& box) {
    return QRectF(box.left + 0.5, box.top + 0.5,
                  static_cast<qreal>(static_cast<int64_t>(box.right) - box.left - 1),
                  static_cast<qreal>(static_cast<int64_t>(box.bottom) - box.top - 1));
}

}  // namespace

CQtCanvas::CQtCanvas(int32_t width, int32_t height, Colour background)
    : detail::CanvasStorage{MakeImage(width, height, background), QPainter()},
      CRasterCanvas(image.isNull() ? nullptr : image.bits(), image.width(), image.height(),
                    OPAQUE) {
    if (image.isNull()) return;
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);
}

CQtCanvas::~CQtCanvas() {
    if (painter.isActive()) painter.end();
}

QImage CQtCanvas::TakeImage() {
    if (painter.isActive()) painter.end();
    Detach();
    return std::exchange(image, QImage());
}

void CQtCanvas::StrokePath(std::span<const Point> points, bool closed, const Pen& pen) {
    QPen qpen = PainterPen(pen);
    const double width = qpen.widthF();
    const bool dashed = pen.style == PenStyle::Dashed;
    // Each segment is drawn on its own, clipped to what can show (with room for the
    // pen), its dash pattern going on from where the previous one stopped. Round caps
    // where segments meet draw what round joins would.
    const double left = -width - 2;
    const double top = -width - 2;
    const double right = Width() + width + 2;
    const double bottom = Height() + width + 2;
    painter.setBrush(Qt::NoBrush);
    double travelled = 0.0;
    const size_t count = closed ? points.size() + 1 : points.size();
    for (size_t i = 1; i < count; ++i) {
        const QPointF a = Centre(points[i - 1]);
        const QPointF b = Centre(points[i % points.size()]);
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        double t0 = 0.0;
        double t1 = 1.0;
        if (raster::ClipSegment(a.x(), a.y(), b.x(), b.y(), left, top, right, bottom, t0, t1)) {
            if (dashed) {
                // Within one period, so a far start keeps its precision.
                const QList<qreal> pattern = qpen.dashPattern();
                const double period = pattern.size() == 2 ? pattern[0] + pattern[1] : 1.0;
                qpen.setDashOffset(std::fmod((travelled + t0 * length) / width, period));
            }
            painter.setPen(qpen);
            const QPointF d = b - a;
            if (length == 0.0) {
                painter.drawPoint(a);
            } else {
                painter.drawLine(QLineF(a + d * t0, a + d * t1));
            }
        }
        travelled += length;
    }
}

void CQtCanvas::FillPolygon(std::span<const Point> points, Colour colour) {
    QPolygonF shape;
    for (const Point& p : points) shape << Centre(p);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(colour));
    painter.drawPolygon(shape, Qt::WindingFill);
}

void CQtCanvas::PaintEllipse(const Rect& box, const Pen& pen, const Brush& brush) {
    const int64_t w = static_cast<int64_t>(box.right) - box.left;
    const int64_t h = static_cast<int64_t>(box.bottom) - box.top;
    painter.setPen(CurvePen(pen, static_cast<double>(w + h) * 2.0));
    painter.setBrush(brush.Fills() ? QBrush(ToQColor(brush.FillColour())) : QBrush(Qt::NoBrush));
    painter.drawEllipse(InkEllipse(box));
}

void CQtCanvas::PaintArc(const Rect& box, double from, double sweep, const Pen& pen) {
    const int64_t w = static_cast<int64_t>(box.right) - box.left;
    const int64_t h = static_cast<int64_t>(box.bottom) - box.top;
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
    const QRectF ellipse = InkEllipse(box);
    QPainterPath path;
    path.arcMoveTo(ellipse, p0 * 180.0 / std::numbers::pi);
    path.arcTo(ellipse, p0 * 180.0 / std::numbers::pi, pSweep * 180.0 / std::numbers::pi);
    painter.setPen(CurvePen(pen, static_cast<double>(w + h) * 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

std::unique_ptr<CSurfaceFont> CQtCanvas::MakeFont(const LogFont& font) {
    return std::make_unique<CQtFont>(font);
}

Extent CQtCanvas::TextExtent(const CSurfaceFont& font, std::string_view text) {
    std::unique_ptr<CQtFont> holder;
    const CQtFont& f = QtFontOf(font, holder);
    return Extent{f.Metrics().horizontalAdvance(DecodeText(text)), f.Metrics().height()};
}

int32_t CQtCanvas::FontAscent(const CSurfaceFont& font) {
    std::unique_ptr<CQtFont> holder;
    return QtFontOf(font, holder).Metrics().ascent();
}

void CQtCanvas::DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                           Colour colour) {
    if (!Active() || text.empty()) return;
    std::unique_ptr<CQtFont> holder;
    const CQtFont& f = QtFontOf(font, holder);
    painter.save();
    painter.setFont(f.Font());
    painter.setPen(ToQColor(colour));
    painter.translate(cellTopLeft.x, cellTopLeft.y);
    if (f.Rotation() != 0.0) painter.rotate(f.Rotation());
    painter.drawText(QPoint(0, f.Metrics().ascent()), DecodeText(text));
    painter.restore();
}

}  // namespace qurix
