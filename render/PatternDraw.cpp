#include "render/PatternDraw.h"

#include <algorithm>
#include <limits>

#include "core/elements/ArcElement.h"
#include "core/elements/CircleElement.h"
#include "core/elements/LineElement.h"
#include "core/elements/PolygonElement.h"
#include "core/elements/TextElement.h"
#include "render/PatternPens.h"
#include "render/Scale.h"

namespace qurix {

namespace {

int32_t ClampToInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// S(p): the pattern point turned for the direction, moved to the body and scaled.
Point ToSurface(const PatternPlacement& at, Point p) {
    return ScalePoint(
        TransformPatternPoint(p, at.direction, at.bodySize.x, at.bodySize.y) + at.topLeft,
        at.scale);
}

// The box of two surface points, ordered; a one-pixel outline also covers the right and
// bottom edge, which the surface would otherwise leave out.
Rect OutlineBox(Point a, Point b, int32_t scaledWidth) {
    Rect box = Rect::FromPoints(a, b).Normalized();
    if (scaledWidth <= 1) {
        box.right = WrapAdd(box.right, 1);
        box.bottom = WrapAdd(box.bottom, 1);
    }
    return box;
}

// Draws e with draw when it is of the kind and the type that goes with it.
template <class Element, class Draw>
bool DrawAs(const CPatternElement& e, ElementKind kind, const Draw& draw) {
    const auto* typed = e.Kind() == kind ? dynamic_cast<const Element*>(&e) : nullptr;
    if (typed != nullptr) draw(*typed);
    return typed != nullptr;
}

void DrawElement(CDrawSurface& surface, const CLineElement& line, Colour colour,
                 const PatternPlacement& at) {
    const Pen pen = PatternPen(line.Style(), line.Width(), colour, at.scale.num, at.scale.den);
    surface.Line(ToSurface(at, line.P1()), ToSurface(at, line.P2()), pen);
}

void DrawElement(CDrawSurface& surface, const CCircleElement& circle, Colour colour,
                 const PatternPlacement& at) {
    const Pen pen = PatternPen(circle.Style(), circle.Width(), colour, at.scale.num, at.scale.den);
    const Rect box = OutlineBox(ToSurface(at, circle.P1()), ToSurface(at, circle.P2()),
                                ScaleValue(circle.Width(), at.scale));
    surface.Ellipse(box, pen, PatternBrush(circle.Fill(), colour));
}

void DrawElement(CDrawSurface& surface, const CPolygonElement& polygon, Colour colour,
                 const PatternPlacement& at) {
    const int32_t count = polygon.Count();
    if (count < 2 || count > CPolygonElement::MAX_POINTS) return;
    Point points[CPolygonElement::MAX_POINTS];
    for (int32_t i = 0; i < count; ++i) points[i] = ToSurface(at, polygon.Points()[i]);
    const Pen pen =
        PatternPen(polygon.Style(), polygon.Width(), colour, at.scale.num, at.scale.den);
    surface.Polygon(std::span<const Point>(points, static_cast<size_t>(count)), pen,
                    PatternBrush(polygon.Fill(), colour));
}

void DrawElement(CDrawSurface& surface, const CArcElement& arc, Colour colour,
                 const PatternPlacement& at) {
    const Pen pen = PatternPen(arc.Style(), arc.Width(), colour, at.scale.num, at.scale.den);
    const Point c = arc.Centre();
    const int32_t r = arc.Radius();
    const Rect box = OutlineBox(ToSurface(at, Point{WrapSub(c.x, r), WrapSub(c.y, r)}),
                                ToSurface(at, Point{WrapAdd(c.x, r), WrapAdd(c.y, r)}),
                                ScaleValue(arc.Width(), at.scale));
    Point start = ToSurface(at, arc.BeginRay());
    Point end = ToSurface(at, arc.EndRay());
    // A mirror reverses the sense of turning; the arc still runs counter-clockwise.
    if (at.Mirrored()) std::swap(start, end);
    surface.Arc(box, start, end, pen);
}

void DrawTextElement(CDrawSurface& surface, const CTextElement& text, Colour colour,
                     const PatternPlacement& at, CTextRenderer* labelRenderer) {
    const Point anchor =
        TransformPatternPoint(text.Position(), at.direction, at.bodySize.x, at.bodySize.y) +
        at.topLeft;
    const TurnedText turned = TurnPatternText(text.IsHorizontal(), text.Align(), at.direction);
    const TextStyle style{.colour = colour,
                          .vertical = turned.vertical,
                          .alignment = turned.align,
                          .scale = at.scale};

    Extent extent;
    if (!text.FontName().empty()) {
        LogFont font;
        font.height = WrapNeg(text.FontSize());
        font.weight = text.IsBold() ? LogFont::WEIGHT_BOLD : LogFont::WEIGHT_NORMAL;
        font.italic = text.IsItalic() ? 1 : 0;
        font.charSet = LogFont::DEFAULT_CHARSET;
        font.SetFaceName(text.FontName());
        extent = DrawTextWithFont(surface, anchor, text.Text().c_str(), font, DRAW_NORMAL, style);
    } else if (labelRenderer != nullptr) {
        extent = labelRenderer->DrawLabel(surface, anchor, text.Text().c_str(), style);
    } else {
        return;
    }
    text.SetDrawnSize(UnscaleValue(extent.cx, at.scale), UnscaleValue(extent.cy, at.scale));
}

}  // namespace

Point TransformPatternPoint(Point p, int32_t direction, int32_t pw, int32_t ph) {
    return TransformInBox(p, direction, pw, ph);
}

TurnedText TurnPatternText(bool horizontal, int32_t align, int32_t direction) {
    const int32_t rotation = direction & DIRECTION_TURN_MASK;
    bool vertical = !horizontal;
    const bool flip =
        vertical ? (rotation == 2 || rotation == 3) : (rotation == 1 || rotation == 2);
    if (flip && !(align & ALIGN_ALONG_CENTRE)) align ^= ALIGN_ALONG_END;
    if (flip && !(align & ALIGN_ACROSS_MIDDLE)) align ^= ALIGN_ACROSS_TOP;
    if (rotation & 1) vertical = !vertical;
    if (direction & DIRECTION_MIRRORED) {
        if (vertical) {
            if (!(align & ALIGN_ACROSS_MIDDLE)) align ^= ALIGN_ACROSS_TOP;
        } else {
            if (!(align & ALIGN_ALONG_CENTRE)) align ^= ALIGN_ALONG_END;
        }
    }
    return TurnedText{vertical, align};
}

void DrawPattern(CDrawSurface& surface, const CPattern& pattern, Colour colour, DrawMode mode,
                 const PatternPlacement& at, CTextRenderer* labelRenderer) {
    const int32_t count = pattern.ElementCount();
    if (count > 0) {
        const auto draw = [&](const auto& element) { DrawElement(surface, element, colour, at); };
        const auto drawText = [&](const CTextElement& text) {
            DrawTextElement(surface, text, colour, at, labelRenderer);
        };
        for (int32_t i = 0; i < count; ++i) {
            const CPatternElement* e = pattern.Element(i);
            // The kind decides; a kind this drawing does not know ends the pattern.
            const bool drawn =
                e != nullptr && (DrawAs<CLineElement>(*e, ElementKind::Line, draw) ||
                                 DrawAs<CCircleElement>(*e, ElementKind::Circle, draw) ||
                                 DrawAs<CPolygonElement>(*e, ElementKind::Polygon, draw) ||
                                 DrawAs<CArcElement>(*e, ElementKind::Arc, draw) ||
                                 DrawAs<CTextElement>(*e, ElementKind::Text, drawText));
            if (!drawn) return;
        }
        return;
    }
    if (pattern.Bitmap() != nullptr) {
        const PatternBitmap bitmap{pattern.Bitmap(), pattern.BitmapByteCount(), pattern.Width(),
                                   pattern.Height()};
        DrawPatternBitmap(surface, bitmap, colour, mode, at);
    }
}

TurnedBitmap TurnPatternBitmap(const PatternBitmap& source, int32_t k, bool flip) {
    TurnedBitmap out;
    if (source.bits == nullptr || source.width <= 0 || source.height <= 0 ||
        source.byteCount <= 0) {
        return out;
    }
    k &= 3;
    // Rows are held at the stride of the columns that can carry data, not the declared width.
    const int64_t stride = CPattern::HeldStride(source.width);
    // Only the corner that can carry data is turned; rows the buffer does not hold are clear.
    const int32_t cw = std::min(source.width, PATTERN_BITMAP_DATA_LIMIT);
    const int32_t ch = static_cast<int32_t>(
        std::min<int64_t>({source.height, PATTERN_BITMAP_DATA_LIMIT, source.byteCount / stride}));
    if (ch <= 0) return out;

    const bool odd = (k & 1) != 0;
    out.fullWidth = odd ? source.height : source.width;
    out.fullHeight = odd ? source.width : source.height;
    const int32_t outW = odd ? ch : cw;
    const int32_t outH = odd ? cw : ch;
    switch (k) {
        case 0:
            break;
        case 1:
            out.offsetX = source.height - ch;
            break;
        case 2:
            out.offsetX = source.width - cw;
            out.offsetY = source.height - ch;
            break;
        default:
            out.offsetY = source.width - cw;
            break;
    }
    if (flip) out.offsetY = out.fullHeight - out.offsetY - outH;

    const int32_t outStride = (outW + 15) / 16 * 2;
    out.bytes.assign(static_cast<size_t>(outStride) * static_cast<size_t>(outH), 0);
    for (int32_t y = 0; y < ch; ++y) {
        const uint8_t* row = source.bits + static_cast<int64_t>(y) * stride;
        for (int32_t xb = 0; xb < (cw + 7) / 8; ++xb) {
            const uint8_t byte = row[xb];
            if (byte == 0) continue;
            for (int32_t bit = 0; bit < 8; ++bit) {
                const int32_t x = xb * 8 + bit;
                if (x >= cw || !(byte & (0x80 >> bit))) continue;
                int32_t ox, oy;
                switch (k) {
                    case 0:
                        ox = x;
                        oy = y;
                        break;
                    case 1:
                        ox = ch - 1 - y;
                        oy = x;
                        break;
                    case 2:
                        ox = cw - 1 - x;
                        oy = ch - 1 - y;
                        break;
                    default:
                        ox = y;
                        oy = cw - 1 - x;
                        break;
                }
                if (flip) oy = outH - 1 - oy;
                out.bytes[static_cast<size_t>(oy) * static_cast<size_t>(outStride) +
                          static_cast<size_t>(ox / 8)] |= static_cast<uint8_t>(0x80 >> (ox % 8));
            }
        }
    }
    out.bitmap = MonoBitmap{out.bytes.data(), outW, outH, outStride};
    return out;
}

void DrawPatternBitmap(CDrawSurface& surface, const PatternBitmap& bitmap, Colour colour,
                       DrawMode mode, const PatternPlacement& at) {
    const int32_t r = at.Rotation();
    const bool mirror = at.Mirrored();
    // Named copies, not a structured binding: clang 14 cannot capture one in a lambda.
    const int32_t num = at.scale.num;
    const int32_t den = at.scale.den;
    const auto [left, top] = at.topLeft;
    // Turning by r + 2 and then reversing the rows is turning by r and mirroring in x.
    const int32_t k = mirror ? (r + 2) % 4 : r;
    const TurnedBitmap turned = TurnPatternBitmap(bitmap, k, mirror);
    if (turned.bitmap.width <= 0 || turned.bitmap.height <= 0) return;
    if (num == 0 || den == 0) return;

    // Enlarged, each bitmap pixel is centred on its drawing-unit point.
    const int32_t g = WrapDiv(num, den);
    const int64_t x0 = int64_t{ScaleValue(left, num, den)} - g / 2;
    const int64_t y0 = int64_t{ScaleValue(top, num, den)} - g / 2;
    const int64_t grow = num < den ? 1 : 0;
    auto scaled = [&](int64_t v) { return int64_t{num} * v / den; };
    Rect dest;
    dest.left = ClampToInt32(x0 + scaled(turned.offsetX));
    dest.top = ClampToInt32(y0 + scaled(turned.offsetY));
    dest.right = ClampToInt32(x0 + scaled(int64_t{turned.offsetX} + turned.bitmap.width) + grow);
    dest.bottom = ClampToInt32(y0 + scaled(int64_t{turned.offsetY} + turned.bitmap.height) + grow);
    surface.StretchMonoBitmap(dest, turned.bitmap, (mode & DRAW_BLACK) ? COLOUR_BLACK : colour);
}

}  // namespace qurix
