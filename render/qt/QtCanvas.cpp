#include "render/qt/QtCanvas.h"

#include <utility>

namespace qurix {

namespace {

QImage MakeImage(int32_t width, int32_t height, Colour background) {
    if (width <= 0 || height <= 0) return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (!image.isNull()) image.fill(CQtSurface::ToQColor(background));
    return image;
}

}  // namespace

CQtCanvas::CQtCanvas(int32_t width, int32_t height, Colour background)
    : detail::CanvasStorage{MakeImage(width, height, background), QPainter()},
      CQtSurface(&painter, image.isNull() ? QRect() : image.rect()) {
    if (!image.isNull()) painter.begin(&image);
}

CQtCanvas::~CQtCanvas() {
    if (painter.isActive()) painter.end();
}

QImage CQtCanvas::TakeImage() {
    if (painter.isActive()) painter.end();
    return std::exchange(image, QImage());
}

bool CQtCanvas::ReadPixels(CanvasPixels& out) const {
    if (image.isNull()) return false;
    out.width = image.width();
    out.height = image.height();
    out.bgrx.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height) * 4);
    size_t k = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            out.bgrx[k++] = static_cast<uint8_t>(qBlue(line[x]));
            out.bgrx[k++] = static_cast<uint8_t>(qGreen(line[x]));
            out.bgrx[k++] = static_cast<uint8_t>(qRed(line[x]));
            out.bgrx[k++] = 0;
        }
    }
    return true;
}

}  // namespace qurix
