#include "ui/win32/WinApi.h"

#include "ui/win32/GdiCanvas.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/win32/WinText.h"

namespace qurix::win32 {

namespace {

// GDI takes coordinates within 27 bits; beyond that nothing would be visible anyway.
constexpr int32_t LIMIT = 1 << 26;

int Clamp(int32_t v) {
    return std::clamp(v, -LIMIT, LIMIT);
}

POINT ToPoint(Point p) {
    return POINT{Clamp(p.x), Clamp(p.y)};
}

// The editor's texts are Shift-JIS.
unsigned TextCodePage() {
    return IsValidCodePage(932) ? 932 : CP_ACP;
}

HPEN MakePen(const Pen& pen) {
    LOGBRUSH lb{BS_SOLID, pen.colour & COLOUR_RGB_MASK, 0};
    switch (pen.style) {
        case PenStyle::Dashed: {
            const DWORD style[2] = {static_cast<DWORD>(std::max(1, pen.dash)),
                                    static_cast<DWORD>(std::max(1, pen.gap))};
            return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                static_cast<DWORD>(std::max(1, pen.width)), &lb, 2, style);
        }
        case PenStyle::Dotted:
            if (pen.width <= 1) return CreatePen(PS_DOT, 1, lb.lbColor);
            [[fallthrough]];
        default:
            if (pen.width <= 1) return CreatePen(PS_SOLID, 1, lb.lbColor);
            return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                static_cast<DWORD>(pen.width), &lb, 0, nullptr);
    }
}

class CGdiFont : public CSurfaceFont {
public:
    explicit CGdiFont(const LogFont& d) : CSurfaceFont(d) {
        LOGFONTW lf{};
        lf.lfHeight = d.height;
        lf.lfWidth = d.width;
        lf.lfEscapement = d.escapement;
        lf.lfOrientation = d.orientation;
        lf.lfWeight = d.weight;
        lf.lfItalic = d.italic;
        lf.lfUnderline = d.underline;
        lf.lfStrikeOut = d.strikeOut;
        lf.lfCharSet = d.charSet;
        lf.lfOutPrecision = d.outPrecision;
        lf.lfClipPrecision = d.clipPrecision;
        lf.lfQuality = d.quality;
        lf.lfPitchAndFamily = d.pitchAndFamily;
        const std::wstring face = FromCodePage(d.FaceName(), TextCodePage());
        face.copy(lf.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE - 1));
        font = CreateFontIndirectW(&lf);
    }
    ~CGdiFont() override {
        if (font != nullptr) DeleteObject(font);
    }
    HFONT font = nullptr;
};

}  // namespace

class CGdiCanvas::CTools {
public:
    CTools(HDC dc, const Pen* pen, const Brush* brush) : dc_(dc) {
        pen_ = pen != nullptr ? MakePen(*pen) : nullptr;
        oldPen_ = SelectObject(
            dc, pen_ != nullptr ? static_cast<HGDIOBJ>(pen_) : GetStockObject(NULL_PEN));
        if (brush != nullptr && brush->Fills()) {
            brush_ = CreateSolidBrush(brush->FillColour() & COLOUR_RGB_MASK);
        }
        oldBrush_ = SelectObject(
            dc, brush_ != nullptr ? static_cast<HGDIOBJ>(brush_) : GetStockObject(NULL_BRUSH));
    }
    ~CTools() {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        if (pen_ != nullptr) DeleteObject(pen_);
        if (brush_ != nullptr) DeleteObject(brush_);
    }
    CTools(const CTools&) = delete;
    CTools& operator=(const CTools&) = delete;

private:
    HDC dc_;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
    HGDIOBJ oldPen_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
};

CGdiCanvas::CGdiCanvas(int32_t width, int32_t height, Colour background, Point origin)
    : origin_(origin) {
    if (width <= 0 || height <= 0 || width > 32768 || height > 32768) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_ == nullptr) return;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ == nullptr) return;
    oldBitmap_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    SetViewportOrgEx(dc_, -origin.x, -origin.y, nullptr);
    SetBkMode(dc_, TRANSPARENT);
    SetPolyFillMode(dc_, WINDING);
    SetArcDirection(dc_, AD_COUNTERCLOCKWISE);
    FillRect(Rect{origin.x, origin.y, origin.x + width, origin.y + height}, background);
}

CGdiCanvas::~CGdiCanvas() {
    if (oldBitmap_ != nullptr) SelectObject(dc_, oldBitmap_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (dc_ != nullptr) DeleteDC(dc_);
}

void CGdiCanvas::FillRect(const Rect& rect, Colour colour) {
    if (!IsValid()) return;
    const RECT r{Clamp(rect.left), Clamp(rect.top), Clamp(rect.right), Clamp(rect.bottom)};
    HBRUSH brush = CreateSolidBrush(colour & COLOUR_RGB_MASK);
    ::FillRect(dc_, &r, brush);
    DeleteObject(brush);
}

void CGdiCanvas::Polyline(std::span<const Point> points, const Pen& pen) {
    if (!IsValid() || points.size() < 2) return;
    std::vector<POINT> p;
    p.reserve(points.size());
    for (const Point& q : points) p.push_back(ToPoint(q));
    const CTools tools(dc_, &pen, nullptr);
    ::Polyline(dc_, p.data(), static_cast<int>(p.size()));
}

void CGdiCanvas::Rectangle(const Rect& box, const Pen& pen, const Brush& brush) {
    if (!IsValid()) return;
    const CTools tools(dc_, &pen, &brush);
    ::Rectangle(dc_, Clamp(box.left), Clamp(box.top), Clamp(box.right), Clamp(box.bottom));
}

void CGdiCanvas::Ellipse(const Rect& box, const Pen& pen, const Brush& brush) {
    if (!IsValid()) return;
    const CTools tools(dc_, &pen, &brush);
    ::Ellipse(dc_, Clamp(box.left), Clamp(box.top), Clamp(box.right), Clamp(box.bottom));
}

void CGdiCanvas::Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) {
    if (!IsValid() || points.size() < 2) return;
    std::vector<POINT> p;
    p.reserve(points.size());
    for (const Point& q : points) p.push_back(ToPoint(q));
    const CTools tools(dc_, &pen, &brush);
    ::Polygon(dc_, p.data(), static_cast<int>(p.size()));
}

void CGdiCanvas::Arc(const Rect& box, Point start, Point end, const Pen& pen) {
    if (!IsValid()) return;
    const CTools tools(dc_, &pen, nullptr);
    ::Arc(dc_, Clamp(box.left), Clamp(box.top), Clamp(box.right), Clamp(box.bottom), Clamp(start.x),
          Clamp(start.y), Clamp(end.x), Clamp(end.y));
}

std::unique_ptr<CSurfaceFont> CGdiCanvas::MakeFont(const LogFont& font) {
    return std::make_unique<CGdiFont>(font);
}

HFONT CGdiCanvas::FontOf(const CSurfaceFont& font) {
    const auto* own = dynamic_cast<const CGdiFont*>(&font);
    return own != nullptr ? own->font : nullptr;
}

Extent CGdiCanvas::TextExtent(const CSurfaceFont& font, std::string_view text) {
    HFONT f = FontOf(font);
    if (!IsValid() || f == nullptr) return {};
    const HGDIOBJ old = SelectObject(dc_, f);
    const std::wstring wide = FromCodePage(text, TextCodePage());
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    SelectObject(dc_, old);
    return Extent{size.cx, tm.tmHeight};
}

int32_t CGdiCanvas::FontAscent(const CSurfaceFont& font) {
    HFONT f = FontOf(font);
    if (!IsValid() || f == nullptr) return 0;
    const HGDIOBJ old = SelectObject(dc_, f);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    SelectObject(dc_, old);
    return tm.tmAscent;
}

void CGdiCanvas::DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                            Colour colour) {
    HFONT f = FontOf(font);
    if (!IsValid() || f == nullptr || text.empty()) return;
    const HGDIOBJ old = SelectObject(dc_, f);
    SetTextColor(dc_, colour & COLOUR_RGB_MASK);
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const std::wstring wide = FromCodePage(text, TextCodePage());
    TextOutW(dc_, Clamp(cellTopLeft.x), Clamp(cellTopLeft.y), wide.c_str(),
             static_cast<int>(wide.size()));
    SelectObject(dc_, old);
}

void CGdiCanvas::StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) {
    if (!IsValid() || bitmap.bits == nullptr || bitmap.width <= 0 || bitmap.height <= 0) return;
    const int64_t dw = int64_t{dest.right} - dest.left;
    const int64_t dh = int64_t{dest.bottom} - dest.top;
    if (dw <= 0 || dh <= 0) return;
    GdiFlush();
    const uint32_t rgb = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    // Each set source pixel covers its share of the target, at least one pixel: set bits
    // win when shrinking.
    for (int32_t y = 0; y < bitmap.height; ++y) {
        const int64_t y0 = dest.top + dh * y / bitmap.height - origin_.y;
        const int64_t y1 = std::max(y0 + 1, dest.top + dh * (y + 1) / bitmap.height - origin_.y);
        for (int32_t x = 0; x < bitmap.width; ++x) {
            if (!bitmap.Pixel(x, y)) continue;
            const int64_t x0 = dest.left + dw * x / bitmap.width - origin_.x;
            const int64_t x1 =
                std::max(x0 + 1, dest.left + dw * (x + 1) / bitmap.width - origin_.x);
            for (int64_t ty = std::max<int64_t>(y0, 0); ty < std::min<int64_t>(y1, height_); ++ty) {
                for (int64_t tx = std::max<int64_t>(x0, 0); tx < std::min<int64_t>(x1, width_);
                     ++tx) {
                    bits_[ty * width_ + tx] = rgb;
                }
            }
        }
    }
}

bool CGdiCanvas::ReadPixels(CanvasPixels& out) const {
    if (!IsValid()) return false;
    GdiFlush();
    out.width = width_;
    out.height = height_;
    const size_t n = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    out.bgrx.resize(n * 4);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t p = bits_[i];
        out.bgrx[i * 4] = static_cast<uint8_t>(p & 0xFF);
        out.bgrx[i * 4 + 1] = static_cast<uint8_t>((p >> 8) & 0xFF);
        out.bgrx[i * 4 + 2] = static_cast<uint8_t>((p >> 16) & 0xFF);
        out.bgrx[i * 4 + 3] = 0;
    }
    return true;
}

HBITMAP ArgbBitmap(const ArgbImage& image) {
    if (image.IsNull()) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        out[i] = (image.pixels[i] >> 24) == 0 ? 0 : image.pixels[i];
    }
    return bitmap;
}

void AddToImageList(HIMAGELIST list, const ArgbImage& image, int32_t width, int32_t height) {
    ArgbImage clear;
    const ArgbImage* added = &image;
    if (image.width != width || image.height != height || image.IsNull()) {
        clear.width = width;
        clear.height = height;
        clear.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        added = &clear;
    }
    HBITMAP bitmap = ArgbBitmap(*added);
    ImageList_Add(list, bitmap, nullptr);
    if (bitmap != nullptr) DeleteObject(bitmap);
}

CanvasFactory MakeCanvasFactory() {
    return [](Colour background) -> CanvasMaker {
        return [background](int32_t width, int32_t height) -> std::unique_ptr<CDrawSurface> {
            auto canvas = std::make_unique<CGdiCanvas>(width, height, background);
            if (!canvas->IsValid()) return nullptr;
            return canvas;
        };
    };
}

}  // namespace qurix::win32
