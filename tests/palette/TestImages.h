#pragma once
// Small images for the palette's tests, in the project's own pixel type.
#include <cstdint>

#include "render/ArgbImage.h"

namespace qurix {

inline uint32_t Rgba(int r, int g, int b, int a) {
    return (static_cast<uint32_t>(a & 0xFF) << 24) | (static_cast<uint32_t>(r & 0xFF) << 16) |
           (static_cast<uint32_t>(g & 0xFF) << 8) | static_cast<uint32_t>(b & 0xFF);
}

inline uint32_t Alpha(uint32_t pixel) {
    return pixel >> 24;
}

inline ArgbImage Filled(int width, int height, uint32_t pixel) {
    ArgbImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), pixel);
    return image;
}

inline void SetPixel(ArgbImage& image, int x, int y, uint32_t pixel) {
    image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) +
                 static_cast<size_t>(x)] = pixel;
}

// Every pixel made opaque, as an image without alpha would be taken.
inline ArgbImage Opaque(ArgbImage image) {
    for (uint32_t& p : image.pixels) p |= 0xFF000000u;
    return image;
}

}  // namespace qurix
