#pragma once
// The raster canvas on its own pixels, with no backend below it: what it cannot compute
// itself is counted, not drawn, so a test can tell that a drawing stayed exact.
#include <cstdint>
#include <vector>

#include "render/RasterCanvas.h"

namespace qurix::test {

namespace detail {
struct RasterStorage {
    std::vector<uint8_t> pixels;
};
}  // namespace detail

class CTestRaster : private detail::RasterStorage, public CRasterCanvas {
public:
    CTestRaster(int32_t width, int32_t height, Colour background)
        : detail::RasterStorage{std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)},
          CRasterCanvas(pixels.data(), width, height) {
        FillRect(Bounds(), background);
    }

    int painted = 0;  // calls left to a painter

    std::unique_ptr<CSurfaceFont> MakeFont(const LogFont& font) override {
        return std::make_unique<CSurfaceFont>(font);
    }
    Extent TextExtent(const CSurfaceFont&, std::string_view) override { return {}; }
    int32_t FontAscent(const CSurfaceFont&) override { return 0; }
    void DrawString(const CSurfaceFont&, Point, std::string_view, Colour) override { ++painted; }

protected:
    void StrokePath(std::span<const Point>, bool, const Pen&) override { ++painted; }
    void FillPolygon(std::span<const Point>, Colour) override { ++painted; }
    void PaintEllipse(const Rect&, const Pen&, const Brush&) override { ++painted; }
    void PaintArc(const Rect&, double, double, const Pen&) override { ++painted; }
};

}  // namespace qurix::test
