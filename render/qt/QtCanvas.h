#pragma once
#include <QImage>
#include <QPainter>

#include "render/RasterCanvas.h"

namespace qurix {

namespace detail {
// Made before the raster base, so the base can be given the image's pixels.
struct CanvasStorage {
    QImage image;
    QPainter painter;
};
}  // namespace detail

// A memory canvas on an RGB image filled with a colour. What the raster canvas computes
// exactly is set in the image's pixels, as on Windows; wide and dashed pens, polygon
// insides and texts go through a QPainter on the same image, without antialiasing.
// A canvas whose image cannot be had (too large) draws nothing and gives no pixels.
class CQtCanvas : private detail::CanvasStorage, public CRasterCanvas {
public:
    CQtCanvas(int32_t width, int32_t height, Colour background);
    ~CQtCanvas() override;

    // The image as drawn so far (Format_RGB32).
    const QImage& Image() const { return image; }
    // Ends drawing and hands the image over; the canvas draws nothing afterwards.
    QImage TakeImage();

    std::unique_ptr<CSurfaceFont> MakeFont(const LogFont& font) override;
    Extent TextExtent(const CSurfaceFont& font, std::string_view text) override;
    int32_t FontAscent(const CSurfaceFont& font) override;
    void DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                    Colour colour) override;

protected:
    void StrokePath(std::span<const Point> points, bool closed, const Pen& pen) override;
    void FillPolygon(std::span<const Point> points, Colour colour) override;
    void PaintEllipse(const Rect& box, const Pen& pen, const Brush& brush) override;
    void PaintArc(const Rect& box, double from, double sweep, const Pen& pen) override;
};

}  // namespace qurix
