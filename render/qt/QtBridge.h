#pragma once
#include <QColor>
#include <QImage>

#include "render/ArgbImage.h"
#include "render/Colour.h"
#include "render/Thumbnails.h"

namespace qurix {

// The one place where the drawing layer's values become Qt's.

QColor ToQColor(Colour colour);

// A deep copy with the alpha kept (Format_ARGB32); null for a null image.
QImage ToQImage(const ArgbImage& image);
// The pixels of any image as ARGB32; null for a null image.
ArgbImage ToArgbImage(const QImage& image);

// Makes memory canvases filled with background; null where no image can be had (a size
// of nothing or too large), so that the thumbnail code reports the part as not drawn.
CanvasMaker QtCanvasMaker(Colour background);

}  // namespace qurix
