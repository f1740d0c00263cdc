#include "render/qt/QtBridge.h"

#include <algorithm>

#include "render/qt/QtCanvas.h"

namespace qurix {

QColor ToQColor(Colour colour) {
    return QColor(ColourRed(colour), ColourGreen(colour), ColourBlue(colour));
}

QImage ToQImage(const ArgbImage& image) {
    if (image.IsNull()) return QImage();
    const QImage view(reinterpret_cast<const uchar*>(image.pixels.data()), image.width,
                      image.height, image.width * 4, QImage::Format_ARGB32);
    return view.copy();
}

ArgbImage ToArgbImage(const QImage& image) {
    if (image.isNull()) return ArgbImage();
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    ArgbImage out;
    out.width = argb.width();
    out.height = argb.height();
    out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        std::copy(row, row + out.width, out.pixels.begin() + static_cast<ptrdiff_t>(y) * out.width);
    }
    return out;
}

CanvasMaker QtCanvasMaker(Colour background) {
    return [background](int32_t width, int32_t height) -> std::unique_ptr<CDrawSurface> {
        auto canvas = std::make_unique<CQtCanvas>(width, height, background);
        if (!canvas->IsValid()) return nullptr;
        return canvas;
    };
}

}  // namespace qurix
