#include "render/gdi/GdiCanvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/text/TextDecode.h"
#include "render/PixelRaster.h"
#include "render/gdi/GdiFont.h"
// Last: its macros would rename our own names.
#include <windows.h>

namespace qurix {

namespace {

// GDI's own coordinates are safe within this range; beyond it, figures are clipped first.
constexpr int32_t GDI_LIMIT = 1 << 26;

const CGdiFont& GdiFontOf(const CSurfaceFont& font, std::unique_ptr<CGdiFont>& holder) {
    if (const auto* own = dynamic_cast<const CGdiFont*>(&font)) return *own;
    holder = std::make_unique<CGdiFont>(font.Description());
    return *holder;
}

bool InGdiRange(Point p) {
    return p.x > -GDI_LIMIT && p.x < GDI_LIMIT && p.y > -GDI_LIMIT && p.y < GDI_LIMIT;
}

POINT Clamped(Point p) {
    return POINT{std::clamp(p.x, -GDI_LIMIT, GDI_LIMIT), std::clamp(p.y, -GDI_LIMIT, GDI_LIMIT)};
}

// A GDI object selected into dc for one call, deleted (when made here) afterwards.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object, bool owned)
        : dc_(dc), object_(object), owned_(owned), old_(SelectObject(dc, object)) {}
    ~Selected() {
        SelectObject(dc_, old_);
        if (owned_) DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    bool owned_;
    HGDIOBJ old_;
};

// Round caps and joins; a dashed pen's dash and gap in pixels (a wide dotted pen is solid).
HPEN MakePen(const Pen& pen) {
    LOGBRUSH brush{BS_SOLID, pen.colour & COLOUR_RGB_MASK, 0};
    const DWORD width = static_cast<DWORD>(std::clamp<int32_t>(pen.width, 1, 1 << 20));
    const DWORD shape = PS_GEOMETRIC | PS_ENDCAP_ROUND | PS_JOIN_ROUND;
    if (pen.style == PenStyle::Dashed) {
        const DWORD style[2] = {static_cast<DWORD>(std::max(pen.dash, 1)),
                                static_cast<DWORD>(std::max(pen.gap, 1))};
        return ExtCreatePen(shape | PS_USERSTYLE, width, &brush, 2, style);
    }
    return ExtCreatePen(shape | PS_SOLID, width, &brush, 0, nullptr);
}

}  // namespace

CGdiCanvas::Dib CGdiCanvas::MakeDib(int32_t width, int32_t height) {
    Dib dib;
    if (width <= 0 || height <= 0) return dib;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as CanvasPixels
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dib.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib.bitmap == nullptr || bits == nullptr) {
        if (dib.bitmap != nullptr) DeleteObject(dib.bitmap);
        return Dib{};
    }
    dib.dc = CreateCompatibleDC(nullptr);
    if (dib.dc == nullptr) {
        DeleteObject(dib.bitmap);
        return Dib{};
    }
    dib.oldBitmap = SelectObject(dib.dc, dib.bitmap);
    dib.bits = static_cast<uint8_t*>(bits);
    return dib;
}

CGdiCanvas::CGdiCanvas(int32_t width, int32_t height, Colour background)
    : CGdiCanvas(MakeDib(width, height), width, height, background) {}

CGdiCanvas::CGdiCanvas(Dib dib, int32_t width, int32_t height, Colour background)
    : CRasterCanvas(dib.bits, dib.bits ? width : 0, dib.bits ? height : 0), dib_(dib) {
    if (Active()) {
        SetBkMode(dib_.dc, TRANSPARENT);
        SetPolyFillMode(dib_.dc, WINDING);
        SetArcDirection(dib_.dc, AD_COUNTERCLOCKWISE);
        SetTextAlign(dib_.dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
        FillRect(Bounds(), background);
    }
}

CGdiCanvas::~CGdiCanvas() {
    if (dib_.dc != nullptr) {
        SelectObject(dib_.dc, dib_.oldBitmap);
        DeleteDC(dib_.dc);
    }
    if (dib_.bitmap != nullptr) DeleteObject(dib_.bitmap);
}

void CGdiCanvas::BeforePixels() const {
    GdiFlush();
}

void CGdiCanvas::StrokePath(std::span<const Point> points, bool closed, const Pen& pen) {
    if (!Active() || points.empty()) return;
    Selected penIn(dib_.dc, MakePen(pen), true);
    Selected brushIn(dib_.dc, GetStockObject(NULL_BRUSH), false);
    std::vector<POINT> path;
    path.reserve(points.size() + 1);
    if (std::all_of(points.begin(), points.end(), InGdiRange)) {
        for (const Point& p : points) path.push_back(POINT{p.x, p.y});
        if (closed) path.push_back(path.front());
        if (path.size() == 1) path.push_back(path.front());
        ::Polyline(dib_.dc, path.data(), static_cast<int>(path.size()));
        return;
    }
    // Far figures: each segment clipped to what can show, with room for the pen.
    const double reach = static_cast<double>(std::clamp<int32_t>(pen.width, 1, 1 << 20)) + 2.0;
    const size_t count = closed ? points.size() + 1 : points.size();
    for (size_t i = 1; i < count; ++i) {
        const Point a = points[i - 1];
        const Point b = points[i % points.size()];
        double t0 = 0.0;
        double t1 = 1.0;
        if (!raster::ClipSegment(a.x, a.y, b.x, b.y, -reach, -reach, Width() + reach,
                                 Height() + reach, t0, t1)) {
            continue;
        }
        const double dx = static_cast<double>(b.x) - a.x;
        const double dy = static_cast<double>(b.y) - a.y;
        MoveToEx(dib_.dc, static_cast<int>(std::lround(a.x + dx * t0)),
                 static_cast<int>(std::lround(a.y + dy * t0)), nullptr);
        LineTo(dib_.dc, static_cast<int>(std::lround(a.x + dx * t1)),
               static_cast<int>(std::lround(a.y + dy * t1)));
    }
}

void CGdiCanvas::FillPolygon(std::span<const Point> points, Colour colour) {
    if (!Active() || points.size() < 3) return;
    Selected penIn(dib_.dc, GetStockObject(NULL_PEN), false);
    Selected brushIn(dib_.dc, CreateSolidBrush(colour & COLOUR_RGB_MASK), true);
    std::vector<POINT> corners;
    corners.reserve(points.size());
    for (const Point& p : points) corners.push_back(Clamped(p));
    ::Polygon(dib_.dc, corners.data(), static_cast<int>(corners.size()));
}

void CGdiCanvas::PaintEllipse(const Rect& box, const Pen& pen, const Brush& brush) {
    if (!Active()) return;
    Selected penIn(dib_.dc, MakePen(pen), true);
    Selected brushIn(dib_.dc,
                     brush.Fills() ? CreateSolidBrush(brush.FillColour() & COLOUR_RGB_MASK)
                                   : GetStockObject(NULL_BRUSH),
                     brush.Fills());
    const POINT tl = Clamped({box.left, box.top});
    const POINT br = Clamped({box.right, box.bottom});
    ::Ellipse(dib_.dc, tl.x, tl.y, br.x, br.y);
}

void CGdiCanvas::PaintArc(const Rect& box, double from, double sweep, const Pen& pen) {
    if (!Active()) return;
    Selected penIn(dib_.dc, MakePen(pen), true);
    const POINT tl = Clamped({box.left, box.top});
    const POINT br = Clamped({box.right, box.bottom});
    // The rays as points on a circle round the centre; y runs down on screen.
    const double cx = (static_cast<double>(tl.x) + br.x) / 2.0;
    const double cy = (static_cast<double>(tl.y) + br.y) / 2.0;
    const double r = std::max(br.x - tl.x, br.y - tl.y);
    const double to = from + sweep;
    ::Arc(dib_.dc, tl.x, tl.y, br.x, br.y, static_cast<int>(std::lround(cx + r * std::cos(from))),
          static_cast<int>(std::lround(cy - r * std::sin(from))),
          static_cast<int>(std::lround(cx + r * std::cos(to))),
          static_cast<int>(std::lround(cy - r * std::sin(to))));
}

std::unique_ptr<CSurfaceFont> CGdiCanvas::MakeFont(const LogFont& font) {
    return std::make_unique<CGdiFont>(font);
}

Extent CGdiCanvas::TextExtent(const CSurfaceFont& font, std::string_view text) {
    std::unique_ptr<CGdiFont> holder;
    const CGdiFont& f = GdiFontOf(font, holder);
    Extent extent{0, f.CellHeight()};
    if (text.empty() || f.Handle() == nullptr) return extent;
    HDC dc = dib_.dc != nullptr ? dib_.dc : CreateCompatibleDC(nullptr);
    if (dc == nullptr) return extent;
    for (const TextRun& run : TextRuns(dc, f, DecodeToUtf16(text))) extent.cx += run.width;
    if (dc != dib_.dc) DeleteDC(dc);
    return extent;
}

int32_t CGdiCanvas::FontAscent(const CSurfaceFont& font) {
    std::unique_ptr<CGdiFont> holder;
    return GdiFontOf(font, holder).Ascent();
}

void CGdiCanvas::DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                            Colour colour) {
    if (!Active() || text.empty() || !InGdiRange(cellTopLeft)) return;
    std::unique_ptr<CGdiFont> holder;
    const CGdiFont& f = GdiFontOf(font, holder);
    if (f.Handle() == nullptr) return;
    const std::u16string wide = DecodeToUtf16(text);
    const std::vector<TextRun> runs = TextRuns(dib_.dc, f, wide);
    SetTextColor(dib_.dc, colour & COLOUR_RGB_MASK);
    if (runs.size() == 1) {
        // Aligned at the cell's top-left corner (for a rotated font: the rotated cell's own
        // corner), which is the surface's rule.
        Selected fontIn(dib_.dc, runs.front().font, false);
        TextOutW(dib_.dc, cellTopLeft.x, cellTopLeft.y,
                 reinterpret_cast<const wchar_t*>(wide.data()), static_cast<int>(wide.size()));
        return;
    }
    // Runs of two fonts share the first font's baseline, one after the other along the
    // text's direction.
    const double angle = (f.Description().escapement % 3600) * 3.14159265358979323846 / 1800.0;
    const double alongX = std::cos(angle);
    const double alongY = -std::sin(angle);
    const double baseX = cellTopLeft.x + std::sin(angle) * f.Ascent();
    const double baseY = cellTopLeft.y + std::cos(angle) * f.Ascent();
    SetTextAlign(dib_.dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    double advance = 0.0;
    for (const TextRun& run : runs) {
        Selected fontIn(dib_.dc, run.font, false);
        TextOutW(dib_.dc, static_cast<int>(std::lround(baseX + alongX * advance)),
                 static_cast<int>(std::lround(baseY + alongY * advance)),
                 reinterpret_cast<const wchar_t*>(run.text.data()),
                 static_cast<int>(run.text.size()));
        advance += run.width;
    }
    SetTextAlign(dib_.dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
}

std::vector<CGdiCanvas::TextRun> CGdiCanvas::TextRuns(HDC__* dc, const CGdiFont& font,
                                                      std::u16string_view text) {
    std::vector<TextRun> runs;
    if (text.empty()) return runs;
    // Which characters the font lacks: those go to the fallback in runs of their own.
    std::vector<WORD> glyphs(text.size(), 0);
    if (font.Fallback() != nullptr) {
        Selected fontIn(dc, font.Handle(), false);
        if (GetGlyphIndicesW(dc, reinterpret_cast<const wchar_t*>(text.data()),
                             static_cast<int>(text.size()), glyphs.data(),
                             GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
            std::fill(glyphs.begin(), glyphs.end(), 0);
        }
    }
    constexpr WORD MISSING = 0xFFFF;
    size_t start = 0;
    for (size_t i = 1; i <= text.size(); ++i) {
        if (i < text.size() && (glyphs[i] == MISSING) == (glyphs[start] == MISSING)) continue;
        HFONT__* runFont = glyphs[start] == MISSING ? font.Fallback() : font.Handle();
        runs.push_back(TextRun{text.substr(start, i - start), runFont, 0});
        start = i;
    }
    for (TextRun& run : runs) {
        Selected fontIn(dc, run.font, false);
        SIZE size{};
        if (GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(run.text.data()),
                                  static_cast<int>(run.text.size()), &size)) {
            run.width = size.cx;
        }
    }
    return runs;
}

CanvasFactory MakeGdiCanvasFactory() {
    return [](Colour background) -> CanvasMaker {
        return [background](int32_t width, int32_t height) -> std::unique_ptr<CDrawSurface> {
            auto canvas = std::make_unique<CGdiCanvas>(width, height, background);
            if (!canvas->IsValid()) return nullptr;
            return canvas;
        };
    };
}

}  // namespace qurix
