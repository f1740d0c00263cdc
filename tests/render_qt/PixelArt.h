#pragma once
// Pictures of canvas pixels as rows of characters, so pixel tests read like drawings.
#include <QImage>
#include <map>
#include <string>
#include <vector>

#include "render/Colour.h"

namespace qurix {

// One character per pixel of the region: the legend's character for its colour, `other`
// for a colour not in the legend, ' ' outside the image.
inline std::vector<std::string> PixelArt(const QImage& image, int left, int top, int width,
                                         int height, const std::map<Colour, char>& legend,
                                         char other = '?') {
    std::vector<std::string> rows;
    for (int y = top; y < top + height; ++y) {
        std::string row;
        for (int x = left; x < left + width; ++x) {
            if (!image.valid(x, y)) {
                row += ' ';
                continue;
            }
            const QRgb p = image.pixel(x, y);
            const Colour c =
                MakeColour(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                           static_cast<uint8_t>(qBlue(p)));
            const auto it = legend.find(c);
            row += it != legend.end() ? it->second : other;
        }
        rows.push_back(row);
    }
    return rows;
}

// The smallest rectangle holding every pixel that differs from background (null if none).
inline QRect InkBounds(const QImage& image, Colour background) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const Colour c =
                MakeColour(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                           static_cast<uint8_t>(qBlue(p)));
            if (c != background) bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

inline Colour PixelColour(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return MakeColour(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                      static_cast<uint8_t>(qBlue(p)));
}

}  // namespace qurix
