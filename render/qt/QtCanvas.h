#pragma once
#include <QImage>
#include <QPainter>

#include "render/qt/QtSurface.h"

namespace qurix {

namespace detail {
// Made before the surface base, so the surface can be given the painter.
struct CanvasStorage {
    QImage image;
    QPainter painter;
};
}  // namespace detail

// A memory canvas: an RGB image filled with a colour and a surface that draws on it.
// A canvas whose image cannot be had (too large) draws nothing and gives no pixels.
class CQtCanvas : private detail::CanvasStorage, public CQtSurface {
public:
    CQtCanvas(int32_t width, int32_t height, Colour background);
    ~CQtCanvas() override;
    CQtCanvas(const CQtCanvas&) = delete;
    CQtCanvas& operator=(const CQtCanvas&) = delete;

    bool IsValid() const { return !image.isNull(); }
    int32_t Width() const { return image.width(); }
    int32_t Height() const { return image.height(); }
    // The image as drawn so far (Format_RGB32).
    const QImage& Image() const { return image; }
    // Ends drawing and hands the image over; the canvas draws nothing afterwards.
    QImage TakeImage();

    bool ReadPixels(CanvasPixels& out) const override;
};

}  // namespace qurix
