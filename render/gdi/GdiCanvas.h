#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "render/RasterCanvas.h"
#include "render/Thumbnails.h"

// GDI's handle types, without windows.h (whose macros clash with our names).
struct HDC__;
struct HBITMAP__;
struct HFONT__;

namespace qurix {

class CGdiFont;

// A memory canvas for Windows: a top-down 32-bit DIB section filled with a colour. What
// the raster canvas computes exactly is set in its pixels, as on Linux; wide and dashed
// pens, polygon insides and texts (GDI fonts from the logical-font descriptions) are drawn
// by GDI into the same pixels. A canvas that cannot be made draws nothing.
class CGdiCanvas : public CRasterCanvas {
public:
    CGdiCanvas(int32_t width, int32_t height, Colour background);
    ~CGdiCanvas() override;

    // The memory DC holding the pixels, to copy them to a window.
    HDC__* Dc() const { return dib_.dc; }

    std::unique_ptr<CSurfaceFont> MakeFont(const LogFont& font) override;
    Extent TextExtent(const CSurfaceFont& font, std::string_view text) override;
    int32_t FontAscent(const CSurfaceFont& font) override;
    void DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                    Colour colour) override;

protected:
    void BeforePixels() const override;
    void StrokePath(std::span<const Point> points, bool closed, const Pen& pen) override;
    void FillPolygon(std::span<const Point> points, Colour colour) override;
    void PaintEllipse(const Rect& box, const Pen& pen, const Brush& brush) override;
    void PaintArc(const Rect& box, double from, double sweep, const Pen& pen) override;

private:
    // Part of a text drawn in one font, and its width.
    struct TextRun {
        std::u16string_view text;
        HFONT__* font = nullptr;
        int32_t width = 0;
    };
    // The text in runs of font and of its fallback, for the characters font lacks.
    static std::vector<TextRun> TextRuns(HDC__* dc, const CGdiFont& font, std::u16string_view text);

    // Made before the raster base, which is given the DIB's pixels.
    struct Dib {
        HDC__* dc = nullptr;
        HBITMAP__* bitmap = nullptr;
        void* oldBitmap = nullptr;
        uint8_t* bits = nullptr;
    };
    CGdiCanvas(Dib dib, int32_t width, int32_t height, Colour background);
    static Dib MakeDib(int32_t width, int32_t height);

    Dib dib_;
};

// The canvas makers of the Windows build: CGdiCanvas, null when one cannot be made.
CanvasFactory MakeGdiCanvasFactory();

}  // namespace qurix
