#include "render/TextRenderer.h"

#include <string_view>

#include "render/Scale.h"

namespace qurix {

namespace {

constexpr int32_t MAX_FONT_TEXT = 255;

// The bytes before the first NUL, at most max of them (and at most length when it is not
// negative). Never reads past a NUL, so a short string is never overrun.
int32_t BoundedLength(const char* text, int32_t length, int32_t max) {
    const int32_t limit = length < 0 || length > max ? max : length;
    int32_t n = 0;
    while (n < limit && text[n] != '\0') ++n;
    return n;
}

// Moves the cell's top-left corner from the reference point by the alignment.
Point PlaceCell(Point s, Extent extent, int32_t across, bool vertical, int32_t alignment) {
    const int32_t along = alignment & ALIGN_ALONG_MASK;
    if (!vertical) {
        s.y = WrapSub(s.y, across);
        if (along == ALIGN_ALONG_END) s.x = WrapSub(s.x, extent.cx);
        if (along == ALIGN_ALONG_CENTRE) s.x = WrapSub(s.x, extent.cx / 2);
    } else {
        s.x = WrapSub(s.x, across);
        if (along == ALIGN_ALONG_END) s.y = WrapAdd(s.y, extent.cx);
        if (along == ALIGN_ALONG_CENTRE) s.y = WrapAdd(s.y, extent.cx / 2);
    }
    return s;
}

int32_t AcrossOffset(int32_t alignment, int32_t baseline, int32_t full) {
    switch ((alignment & ALIGN_ACROSS_MASK) >> 2) {
        case 0:
            return baseline;
        case 1:
            return 0;
        default:
            return full / 2;
    }
}

}  // namespace

void CTextRenderer::MakeFonts(CDrawSurface& surface, int32_t num, int32_t den, bool vertical) {
    horizontal_.reset();
    vertical_.reset();
    LogFont font = font_;
    // The stored height is a character height even when written as a cell height.
    const int32_t h = font.height > 0 ? -font.height : font.height;
    font.height = ScaleValue(h, num, den);
    font.outPrecision = LogFont::OUT_TT_ONLY_PRECIS;
    font.charSet = LogFont::DEFAULT_CHARSET;
    horizontal_ = surface.MakeFont(font);
    font.escapement = LogFont::VERTICAL_ESCAPEMENT;
    font.orientation = LogFont::VERTICAL_ESCAPEMENT;
    vertical_ = surface.MakeFont(font);
    cachedNum_ = num;
    cachedDen_ = den;
    if (HasFonts()) ascent_ = surface.FontAscent(vertical ? *vertical_ : *horizontal_);
}

Extent CTextRenderer::DrawLabel(CDrawSurface& surface, Point at, const char* text,
                                const TextStyle& style, int32_t length) {
    const auto [num, den] = style.scale;
    const bool vertical = style.vertical;
    if (!text) text = "";
    length = BoundedLength(text, length, MAX_TEXT);

    std::array<char, MAX_TEXT + 1> buffer{};
    int32_t n = 0;
    bool hasBars = false;
    for (; n < length; ++n) {
        auto c = static_cast<unsigned char>(text[n]);
        if (style.overbars && (c & 0x80)) {
            hasBars = true;
            c &= 0x7F;
            if (c < 0x20 || c > 0x7E) c = ' ';
        }
        buffer[static_cast<size_t>(n)] = static_cast<char>(c);
    }
    buffer[static_cast<size_t>(n)] = '\0';
    count_ = n;
    if (n == 0) return Extent{};

    if (!(cachedNum_ == num && cachedDen_ == den && HasFonts())) {
        MakeFonts(surface, num, den, vertical);
        if (!HasFonts()) return Extent{};  // a surface that could not make them
    }
    const CSurfaceFont& font = vertical ? *vertical_ : *horizontal_;
    const std::string_view copied(buffer.data(), static_cast<size_t>(n));

    const Extent extent = surface.TextExtent(font, copied);
    const Point reference = ScalePoint(at, style.scale);
    const Point s = PlaceCell(reference, extent, AcrossOffset(style.alignment, ascent_, ascent_),
                              vertical, style.alignment);
    surface.DrawString(font, s, copied, style.colour);

    if (hasBars) {
        const Pen pen = Pen::Solid(WrapDiv(num, den), style.colour);
        auto prefix = [&](int32_t count) {
            return count > 0
                       ? surface.TextExtent(font, copied.substr(0, static_cast<size_t>(count))).cx
                       : 0;
        };
        for (int32_t i = 0; i < n;) {
            if (!(static_cast<unsigned char>(text[i]) & 0x80)) {
                ++i;
                continue;
            }
            int32_t j = i;
            while (j < n && (static_cast<unsigned char>(text[j]) & 0x80)) ++j;
            const int32_t a = prefix(i);
            const int32_t b = prefix(j);
            if (!vertical) {
                surface.Line(Point{WrapAdd(s.x, a), s.y}, Point{WrapAdd(s.x, b), s.y}, pen);
            } else {
                surface.Line(Point{s.x, WrapSub(s.y, a)}, Point{s.x, WrapSub(s.y, b)}, pen);
            }
            i = j;
        }
    }
    return extent;
}

Extent DrawTextWithFont(CDrawSurface& surface, Point at, const char* text, const LogFont& font,
                        DrawMode mode, const TextStyle& style, int32_t length) {
    if (!text) text = "";
    length = BoundedLength(text, length, MAX_FONT_TEXT);
    if (length == 0) return Extent{};

    LogFont description = font;
    description.outPrecision = LogFont::OUT_TT_ONLY_PRECIS;
    description.height = ScaleValue(description.height, style.scale);
    if (style.vertical) {
        description.escapement = LogFont::VERTICAL_ESCAPEMENT;
        description.orientation = LogFont::VERTICAL_ESCAPEMENT;
    }
    const std::unique_ptr<CSurfaceFont> made = surface.MakeFont(description);
    if (!made) return Extent{};
    const std::string_view bytes(text, static_cast<size_t>(length));

    const Extent extent = surface.TextExtent(*made, bytes);
    const Point reference = ScalePoint(at, style.scale);
    const Point s =
        PlaceCell(reference, extent, AcrossOffset(style.alignment, extent.cy, extent.cy),
                  style.vertical, style.alignment);
    if (mode & (DRAW_NORMAL | DRAW_SELECTED)) {
        surface.DrawString(*made, s, bytes, style.colour);
    } else if (mode & DRAW_BLACK) {
        surface.DrawString(*made, s, bytes, COLOUR_BLACK);
    }
    return extent;
}

}  // namespace qurix
