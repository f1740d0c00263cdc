#pragma once
#include <QFont>
#include <QFontMetrics>

#include "render/SurfaceFont.h"

namespace qurix {

// A logical-font description made into a QFont, with its metrics measured once.
class CQtFont : public CSurfaceFont {
public:
    // Sizes are kept within this many pixels, so a hostile size cannot exhaust memory.
    static constexpr int32_t MAX_PIXEL_SIZE = 2048;
    // The character height of a description whose height is 0.
    static constexpr int32_t DEFAULT_PIXEL_SIZE = 12;

    explicit CQtFont(const LogFont& description);

    const QFont& Font() const { return font_; }
    const QFontMetrics& Metrics() const { return metrics_; }
    // The rotation of escapement in degrees, clockwise on screen as QPainter counts.
    qreal Rotation() const { return rotation_; }

    // A negative height is a character height in pixels, a positive one a cell height
    // (ascent plus descent), 0 the default; weights 1-1000 as they are (0 normal); italic,
    // underline and strike-out; no antialiasing. A face that is not installed falls back
    // through fontconfig, as do characters the face lacks (Japanese to IPAGothic).
    static QFont MakeQFont(const LogFont& description);

private:
    QFont font_;
    QFontMetrics metrics_;
    qreal rotation_;
};

}  // namespace qurix
