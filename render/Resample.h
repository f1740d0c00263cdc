#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/ArgbImage.h"
#include "render/DrawSurface.h"

namespace qurix {

// One colour-table entry of an 8-bit pixel buffer, in memory order.
struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};

// Describes a pixel buffer handed to the resampler: the fields of a device-independent
// bitmap header. A negative height means the first row in memory is the top row; a
// positive one that it is the bottom row. The colour table is used for 8 bits per pixel.
struct PixelBufferDesc {
    uint32_t headerSize = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 32;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t coloursUsed = 0;
    uint32_t coloursImportant = 0;
    std::array<RgbQuad, 256> colourTable{};
};

// Bytes from one source row to the next: the row rounded up to a multiple of 4. 0 when
// the arguments make no sense.
int64_t SourceRowStride(int32_t width, int32_t bitsPerPixel);
// Bytes from one row of the 24-bit output to the next.
int64_t OutputRowStride(int32_t width);

// Largest source side the resampler accepts: keeps every sum well inside 64 bits.
inline constexpr int32_t MAX_RESAMPLE_SOURCE_SIDE = 1 << 20;

// Shrinks (or stretches) srcW x srcH pixels to dstW x dstH by area averaging, each source
// pixel weighted by its exact overlap in 1/128 of a pixel. Source pixels are 8 bits with
// the colour table, 16 bits as 5-5-5, 24 or 32 bits (blue, green, red, then an ignored
// byte); any other depth reads as black. The result is 24 bits per pixel (blue, green,
// red), rows top to bottom, each OutputRowStride(dstW) bytes, with 3 spare bytes at the
// end. Empty when a size is not positive or too large, when the buffer is shorter than
// the description needs, or when an output pixel would cover no source at all.
std::vector<uint8_t> AreaAverage(int32_t dstW, int32_t dstH, int32_t srcW, int32_t srcH,
                                 const uint8_t* pixels, size_t pixelBytes,
                                 const PixelBufferDesc& desc);

// The 24-bit output of AreaAverage as an opaque image; null when it is too short.
ArgbImage Bgr24ToImage(const std::vector<uint8_t>& bgr, int32_t width, int32_t height);

// Reads the finished canvas of surface (its pixels are 32 bits: blue, green, red, unused)
// and averages it down (or up) to dstW x dstH, opaque. Null image when the surface has no
// pixels or the averaging fails.
ArgbImage ResampleBitmap(const CDrawSurface& surface, int32_t dstW, int32_t dstH);
// The same from pixels already read.
ArgbImage ResamplePixels(const CanvasPixels& pixels, int32_t dstW, int32_t dstH);

// The same from an image in memory (0xAARRGGBB, alpha ignored).
ArgbImage ResampleImage(const ArgbImage& source, int32_t dstW, int32_t dstH);

}  // namespace qurix
