#include "render/qt/QtBridge.h"

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

CanvasMaker QtCanvasMaker(Colour background) {
    return [background](int32_t width, int32_t height) -> std::unique_ptr<CDrawSurface> {
        auto canvas = std::make_unique<CQtCanvas>(width, height, background);
        if (!canvas->IsValid()) return nullptr;
        return canvas;
    };
}

}  // namespace qurix
