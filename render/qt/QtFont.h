#pragma once
#include <QFont>
#include <QFontMetrics>

#include "render/FontSizes.h"
#include "render/SurfaceFont.h"

namespace qurix {

// A logical-font description made into a QFont, with its metrics measured once.
class CQtFont : public CSurfaceFont {
public:
    static constexpr int32_t MAX_PIXEL_SIZE = MAX_FONT_PIXEL_SIZE;
    static constexpr int32_t DEFAULT_PIXEL_SIZE = DEFAULT_FONT_PIXEL_SIZE;
    // With SMALL_JAPANESE_FACE installed (fonts-vlgothic), Japanese text the face cannot
    // show is drawn in it up to SMALL_JAPANESE_MAX_PIXEL_SIZE, where IPAGothic turns kanji
    // into blobs without antialiasing, and in JAPANESE_FACE above: named, so that the
    // choice does not follow fontconfig's order of Japanese faces.
    static constexpr int32_t SMALL_JAPANESE_MAX_PIXEL_SIZE = 10;
    static constexpr const char* SMALL_JAPANESE_FACE = "VL Gothic";
    static constexpr const char* JAPANESE_FACE = "IPAGothic";

    // Raised whenever a change here draws a text with other pixels.
    static constexpr int32_t TEXT_BACKEND_VERSION = 1;

    explicit CQtFont(const LogFont& description);
    // The families as Qt resolved them, the pixel size, Qt's version and ours.
    std::string DrawnWith() const override;

    const QFont& Font() const { return font_; }
    const QFontMetrics& Metrics() const { return metrics_; }
    // The rotation of escapement in degrees, clockwise on screen as QPainter counts.
    qreal Rotation() const { return rotation_; }

    // A negative height is a character height in pixels, a positive one a cell height
    // (ascent plus descent), 0 the default; weights 1-1000 as they are (0 normal); italic,
    // underline and strike-out; no antialiasing. A face that is not installed falls back
    // through fontconfig, as do characters the face lacks (Japanese to the faces above).
    static QFont MakeQFont(const LogFont& description);

private:
    QFont font_;
    QFontMetrics metrics_;
    qreal rotation_;
};

}  // namespace qurix
