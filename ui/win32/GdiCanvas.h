#pragma once
#include "ui/win32/WinApi.h"

#include <commctrl.h>

#include <cstdint>

#include "render/DrawSurface.h"
#include "render/Thumbnails.h"

namespace qurix::win32 {

// A canvas in a 32-bit top-down DIB section drawn with GDI; any thread may make and use
// its own. origin is the drawing coordinate at the canvas's top-left pixel.
class CGdiCanvas : public CDrawSurface {
public:
    CGdiCanvas(int32_t width, int32_t height, Colour background, Point origin = {});
    ~CGdiCanvas() override;
    CGdiCanvas(const CGdiCanvas&) = delete;
    CGdiCanvas& operator=(const CGdiCanvas&) = delete;

    bool IsValid() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

    void FillRect(const Rect& rect, Colour colour) override;
    void Polyline(std::span<const Point> points, const Pen& pen) override;
    void Rectangle(const Rect& box, const Pen& pen, const Brush& brush) override;
    void Ellipse(const Rect& box, const Pen& pen, const Brush& brush) override;
    void Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) override;
    void Arc(const Rect& box, Point start, Point end, const Pen& pen) override;
    std::unique_ptr<CSurfaceFont> MakeFont(const LogFont& font) override;
    Extent TextExtent(const CSurfaceFont& font, std::string_view text) override;
    int32_t FontAscent(const CSurfaceFont& font) override;
    void DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                    Colour colour) override;
    void StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) override;
    bool ReadPixels(CanvasPixels& out) const override;

private:
    // Selects the pen and brush for one call and puts the old ones back after it.
    class CTools;
    HFONT FontOf(const CSurfaceFont& font);

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    Point origin_;
};

// A 32-bit top-down DIB of the image for image lists, drag images and icons: premultiplied,
// which for the palette's images (opaque, or clear where the key colour was; icons decoded
// premultiplied) only means clear pixels become 0. Null when it cannot be made.
HBITMAP ArgbBitmap(const ArgbImage& image);

// Appends image to a 32-bit image list of width x height images; an image of another size
// (or none) goes in as a clear one, so that image indices stay those of their items.
void AddToImageList(HIMAGELIST list, const ArgbImage& image, int32_t width, int32_t height);

// The canvases the palette draws thumbnails and the preview on: the one place a front
// end's drawing backend is chosen.
CanvasFactory MakeCanvasFactory();

}  // namespace qurix::win32
