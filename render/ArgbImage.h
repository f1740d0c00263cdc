#pragma once
#include <cstdint>
#include <vector>

namespace qurix {

// A finished image in memory: 32 bits per pixel as 0xAARRGGBB, rows top to bottom with
// no padding. This is the layout of QImage::Format_ARGB32, so the Qt layers can wrap the
// pixels without converting them.
struct ArgbImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    bool IsNull() const { return width <= 0 || height <= 0 || pixels.empty(); }
    uint32_t Pixel(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// Colour values are 0x00BBGGRR (red in the low byte); images hold 0xAARRGGBB.
inline uint32_t ColourToRgb(uint32_t colour) {
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}
inline uint32_t RgbToColour(uint32_t rgb) {
    return ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

// Makes every pixel whose colour equals key fully transparent and every other pixel fully
// opaque: the image-list rule for a key colour.
inline void ApplyKeyColour(ArgbImage& image, uint32_t keyColour) {
    const uint32_t key = ColourToRgb(keyColour);
    for (uint32_t& p : image.pixels) {
        const uint32_t rgb = p & 0x00FFFFFFu;
        p = rgb == key ? rgb : (rgb | 0xFF000000u);
    }
}

}  // namespace qurix
