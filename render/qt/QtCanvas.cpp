#include "render/qt/QtCanvas.h"

#include <utility>

#include "render/qt/QtBridge.h"

namespace qurix {

namespace {

QImage MakeImage(int32_t width, int32_t height, Colour background) {
    if (width <= 0 || height <= 0) return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (!image.isNull()) image.fill(ToQColor(background));
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
    const int w = image.width();
    const int h = image.height();
    out.width = w;
    out.height = h;
    out.bgrx.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    uint8_t* dst = out.bgrx.data();
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x];
            *dst++ = static_cast<uint8_t>(qBlue(c));
            *dst++ = static_cast<uint8_t>(qGreen(c));
            *dst++ = static_cast<uint8_t>(qRed(c));
            *dst++ = 0;
        }
    }
    return true;
}

}  // namespace qurix
