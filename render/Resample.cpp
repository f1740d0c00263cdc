#include "render/Resample.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace qurix {

namespace {

// The output is allocated per call; beyond this many pixels a request is refused rather
// than risking an allocation the process cannot survive.
constexpr int64_t MAX_OUTPUT_PIXELS = int64_t{1} << 26;
// Overlap is measured in 1/128 of a source pixel.
constexpr uint64_t SUBPIXELS = 128;

// One source row or column touched by an output row or column, with its overlap.
struct Span {
    int32_t index;
    uint32_t weight;
};

// For each of outCount output cells of step subpixels, the source cells it overlaps, all
// in one list; first[c] .. first[c + 1] are those of cell c. False when a cell would
// reach beyond the source (cannot happen for a step derived from the source size, but
// the loop below must never read outside it).
bool BuildSpans(int32_t outCount, uint64_t step, int32_t srcCount, std::vector<Span>& spans,
                std::vector<size_t>& first) {
    first.assign(static_cast<size_t>(outCount) + 1, 0);
    spans.clear();
    uint64_t p1 = 0;
    for (int32_t c = 0; c < outCount; ++c) {
        const uint64_t p0 = p1;
        p1 = p0 + step;
        first[static_cast<size_t>(c)] = spans.size();
        for (uint64_t k = p0 / SUBPIXELS; k < (p1 + SUBPIXELS - 1) / SUBPIXELS; ++k) {
            if (k >= static_cast<uint64_t>(srcCount)) return false;
            const uint64_t lo = std::max(p0, k * SUBPIXELS);
            const uint64_t hi = std::min(p1, k * SUBPIXELS + SUBPIXELS);
            spans.push_back(Span{static_cast<int32_t>(k), static_cast<uint32_t>(hi - lo)});
        }
    }
    first[static_cast<size_t>(outCount)] = spans.size();
    return true;
}

// One source row (top-down index y) decoded to 0x00RRGGBB.
void DecodeRow(int32_t y, int32_t srcW, int32_t srcH, const uint8_t* pixels, int64_t stride,
               const PixelBufferDesc& desc, uint32_t* dst) {
    const int64_t memRow = desc.height > 0 ? srcH - 1 - y : y;
    const uint8_t* row = pixels + memRow * stride;
    switch (desc.bitsPerPixel) {
        case 8:
            for (int32_t x = 0; x < srcW; ++x) {
                const RgbQuad& q = desc.colourTable[row[x]];
                dst[x] = (uint32_t{q.red} << 16) | (uint32_t{q.green} << 8) | q.blue;
            }
            break;
        case 16:
            for (int32_t x = 0; x < srcW; ++x) {
                const uint32_t v = row[2 * x] | (uint32_t{row[2 * x + 1]} << 8);
                const uint32_t b = (v & 0x1F) << 3;
                const uint32_t g = ((v >> 5) & 0x1F) << 3;
                const uint32_t r = ((v >> 10) & 0x1F) << 3;
                dst[x] = (r << 16) | (g << 8) | b;
            }
            break;
        case 24:
            for (int32_t x = 0; x < srcW; ++x) {
                const uint8_t* p = row + 3 * static_cast<int64_t>(x);
                dst[x] = (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
            }
            break;
        case 32:
            for (int32_t x = 0; x < srcW; ++x) {
                const uint8_t* p = row + 4 * static_cast<int64_t>(x);
                dst[x] = (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
            }
            break;
        default:
            std::fill(dst, dst + srcW, 0u);  // an unknown depth reads as black
            break;
    }
}

// The weights are separable (overlap in x times overlap in y), so each output row first
// sums its source rows column by column, then each output pixel sums its columns. The
// integers are the same as summing every pixel with wx * wy; Acc holds one column's
// vertical sum and must hold 255 * stepY.
template <typename Acc>
bool AverageRows(int32_t dstW, int32_t dstH, int32_t srcW, int32_t srcH, const uint8_t* pixels,
                 int64_t stride, const PixelBufferDesc& desc, const std::vector<Span>& colSpans,
                 const std::vector<size_t>& colFirst, const std::vector<Span>& rowSpans,
                 const std::vector<size_t>& rowFirst, std::vector<uint8_t>& out) {
    const int64_t outStride = OutputRowStride(dstW);
    std::vector<uint32_t> row(static_cast<size_t>(srcW));
    std::vector<Acc> acc(static_cast<size_t>(srcW) * 3);
    int32_t decoded = -1;
    for (int32_t i = 0; i < dstH; ++i) {
        const size_t r0 = rowFirst[static_cast<size_t>(i)];
        const size_t r1 = rowFirst[static_cast<size_t>(i) + 1];
        if (r0 == r1) return false;
        std::fill(acc.begin(), acc.end(), Acc{0});
        uint64_t weightY = 0;
        for (size_t r = r0; r < r1; ++r) {
            const Span& span = rowSpans[r];
            // A source row shared by two output rows is decoded once.
            if (span.index != decoded) {
                DecodeRow(span.index, srcW, srcH, pixels, stride, desc, row.data());
                decoded = span.index;
            }
            const Acc wy = static_cast<Acc>(span.weight);
            weightY += span.weight;
            Acc* a = acc.data();
            for (int32_t x = 0; x < srcW; ++x) {
                const uint32_t v = row[static_cast<size_t>(x)];
                a[0] += wy * (v & 0xFF);
                a[1] += wy * ((v >> 8) & 0xFF);
                a[2] += wy * ((v >> 16) & 0xFF);
                a += 3;
            }
        }
        uint8_t* outRow = out.data() + i * outStride;
        for (int32_t j = 0; j < dstW; ++j) {
            const size_t c0 = colFirst[static_cast<size_t>(j)];
            const size_t c1 = colFirst[static_cast<size_t>(j) + 1];
            // A source of 1040 pixels shrunk to 32 already gives weights of 4160 x 4160
            // per output pixel; times 255 that no longer fits in 32 bits.
            uint64_t weightX = 0, sumB = 0, sumG = 0, sumR = 0;
            for (size_t c = c0; c < c1; ++c) {
                const Span& col = colSpans[c];
                const Acc* a = acc.data() + static_cast<size_t>(col.index) * 3;
                weightX += col.weight;
                sumB += uint64_t{col.weight} * a[0];
                sumG += uint64_t{col.weight} * a[1];
                sumR += uint64_t{col.weight} * a[2];
            }
            const uint64_t total = weightX * weightY;
            if (total == 0) return false;
            uint8_t* p = outRow + 3 * static_cast<int64_t>(j);
            p[0] = static_cast<uint8_t>((sumB + 64) / total);
            p[1] = static_cast<uint8_t>((sumG + 64) / total);
            p[2] = static_cast<uint8_t>((sumR + 64) / total);
        }
    }
    return true;
}

}  // namespace

int64_t SourceRowStride(int32_t width, int32_t bitsPerPixel) {
    if (width < 1 || bitsPerPixel < 1) return 0;
    const int64_t bytes = static_cast<int64_t>(width) * bitsPerPixel / 8;
    return (bytes - 1) / 4 * 4 + 4;
}

int64_t OutputRowStride(int32_t width) {
    if (width < 1) return 0;
    return (static_cast<int64_t>(width) * 3 + 3) / 4 * 4;
}

std::vector<uint8_t> AreaAverage(int32_t dstW, int32_t dstH, int32_t srcW, int32_t srcH,
                                 const uint8_t* pixels, size_t pixelBytes,
                                 const PixelBufferDesc& desc) {
    if (dstW < 1 || dstH < 1 || srcW < 1 || srcH < 1 || pixels == nullptr) return {};
    if (srcW > MAX_RESAMPLE_SOURCE_SIDE || srcH > MAX_RESAMPLE_SOURCE_SIDE) return {};
    if (static_cast<int64_t>(dstW) * dstH > MAX_OUTPUT_PIXELS) return {};
    const int64_t stride = SourceRowStride(srcW, desc.bitsPerPixel);
    if (stride <= 0) return {};
    const bool knownDepth = desc.bitsPerPixel == 8 || desc.bitsPerPixel == 16 ||
                            desc.bitsPerPixel == 24 || desc.bitsPerPixel == 32;
    if (knownDepth && static_cast<uint64_t>(pixelBytes) <
                          static_cast<uint64_t>(stride) * static_cast<uint64_t>(srcH)) {
        return {};
    }

    const uint64_t stepX = static_cast<uint64_t>(srcW) * SUBPIXELS / static_cast<uint64_t>(dstW);
    const uint64_t stepY = static_cast<uint64_t>(srcH) * SUBPIXELS / static_cast<uint64_t>(dstH);
    std::vector<Span> colSpans, rowSpans;
    std::vector<size_t> colFirst, rowFirst;
    if (!BuildSpans(dstW, stepX, srcW, colSpans, colFirst)) return {};
    if (!BuildSpans(dstH, stepY, srcH, rowSpans, rowFirst)) return {};

    const int64_t outStride = OutputRowStride(dstW);
    std::vector<uint8_t> out(static_cast<size_t>(outStride * dstH + 3), 0);
    // 32-bit column sums whenever 255 times the rows' total weight fits.
    const bool ok = stepY * 255 <= UINT32_MAX
                        ? AverageRows<uint32_t>(dstW, dstH, srcW, srcH, pixels, stride, desc,
                                                colSpans, colFirst, rowSpans, rowFirst, out)
                        : AverageRows<uint64_t>(dstW, dstH, srcW, srcH, pixels, stride, desc,
                                                colSpans, colFirst, rowSpans, rowFirst, out);
    if (!ok) return {};
    return out;
}

ArgbImage Bgr24ToImage(const std::vector<uint8_t>& bgr, int32_t width, int32_t height) {
    ArgbImage image;
    if (width < 1 || height < 1) return image;
    const int64_t stride = OutputRowStride(width);
    if (static_cast<int64_t>(bgr.size()) < stride * height) return image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = bgr.data() + y * stride;
        uint32_t* dst = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = row + 3 * static_cast<int64_t>(x);
            dst[x] = 0xFF000000u | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
        }
    }
    return image;
}

ArgbImage ResamplePixels(const CanvasPixels& pixels, int32_t dstW, int32_t dstH) {
    PixelBufferDesc desc;
    desc.width = pixels.width;
    desc.height = -pixels.height;
    desc.bitsPerPixel = 32;
    const std::vector<uint8_t> bgr = AreaAverage(dstW, dstH, pixels.width, pixels.height,
                                                 pixels.bgrx.data(), pixels.bgrx.size(), desc);
    if (bgr.empty()) return ArgbImage{};
    return Bgr24ToImage(bgr, dstW, dstH);
}

ArgbImage ResampleBitmap(const CDrawSurface& surface, int32_t dstW, int32_t dstH) {
    CanvasPixels pixels;
    if (!surface.ReadPixels(pixels)) return ArgbImage{};
    return ResamplePixels(pixels, dstW, dstH);
}

ArgbImage ResampleImage(const ArgbImage& source, int32_t dstW, int32_t dstH) {
    if (source.IsNull() || source.pixels.size() < static_cast<size_t>(source.width) *
                                                      static_cast<size_t>(source.height)) {
        return ArgbImage{};
    }
    PixelBufferDesc desc;
    desc.width = source.width;
    desc.height = -source.height;
    desc.bitsPerPixel = 32;
    // 0xAARRGGBB stored little-endian is blue, green, red, alpha in memory; read the bytes
    // explicitly so the result does not depend on the host's byte order.
    std::vector<uint8_t> bytes(source.pixels.size() * 4);
    for (size_t i = 0; i < source.pixels.size(); ++i) {
        const uint32_t v = source.pixels[i];
        bytes[4 * i] = static_cast<uint8_t>(v);
        bytes[4 * i + 1] = static_cast<uint8_t>(v >> 8);
        bytes[4 * i + 2] = static_cast<uint8_t>(v >> 16);
        bytes[4 * i + 3] = static_cast<uint8_t>(v >> 24);
    }
    const std::vector<uint8_t> bgr =
        AreaAverage(dstW, dstH, source.width, source.height, bytes.data(), bytes.size(), desc);
    if (bgr.empty()) return ArgbImage{};
    return Bgr24ToImage(bgr, dstW, dstH);
}

}  // namespace qurix
