#include "render/ComponentRenderer.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "core/library/PinDef.h"
#include "render/PatternDraw.h"
#include "render/Scale.h"

namespace qurix {

namespace {

constexpr uint32_t PIN_NUMBER_NEAR =
    CPinDef::PIN_SHORT_NUMBER | CPinDef::PIN_ZERO_LENGTH;  // number 2 units out, not 9

int32_t ByteLength(const char* text) {
    if (text == nullptr) return 0;
    const size_t n = std::strlen(text);
    return n > 0x7FFFFFF ? 0x7FFFFFF : static_cast<int32_t>(n);
}

// A box from p plus the two corner offsets.
Rect Box(Point p, int32_t l, int32_t t, int32_t r, int32_t b) {
    return Rect{WrapAdd(p.x, l), WrapAdd(p.y, t), WrapAdd(p.x, r), WrapAdd(p.y, b)};
}

// Places a pin text from its box: the reference point, direction and alignment of the
// placement side t.
void DrawPinText(CDrawSurface& surface, CTextRenderer& renderer, const Rect& box, int32_t t,
                 const char* text, Colour colour, int32_t num, int32_t den) {
    Point at;
    TextStyle style{.colour = colour, .scale = Scale{num, den}, .overbars = true};
    switch (t & 3) {
        case 0:
            at = Point{box.left, box.bottom};
            break;
        case 1:
            at = Point{box.right, box.top};
            style.vertical = true;
            style.alignment = ALIGN_ALONG_END;
            break;
        case 2:
            at = Point{box.right, box.bottom};
            style.alignment = ALIGN_ALONG_END;
            break;
        default:
            at = Point{box.right, box.bottom};
            style.vertical = true;
            break;
    }
    renderer.DrawLabel(surface, at, text, style);
}

// Draws a component's name or reference in its label box, anchored at the box's lower
// left (lower right when vertical), and returns its size in drawing units.
Point DrawLabel(CDrawSurface& surface, CTextRenderer& renderer, const Rect& box, bool vertical,
                const std::string& text, Colour colour, Scale scale) {
    const Point at{vertical ? box.right : box.left, WrapSub(box.bottom, 1)};
    const Extent e =
        renderer.DrawLabel(surface, at, text.c_str(),
                           TextStyle{.colour = colour, .vertical = vertical, .scale = scale});
    return Point{UnscaleValue(e.cx, scale), UnscaleValue(e.cy, scale)};
}

}  // namespace

bool MeetsClip(const Rect* clip, const Rect& box) {
    if (clip == nullptr) return true;
    const int32_t l = std::max(clip->left, box.left);
    const int32_t r = std::min(clip->right, box.right);
    const int32_t t = std::max(clip->top, box.top);
    const int32_t b = std::min(clip->bottom, box.bottom);
    return l < r && t < b;
}

Rect PinMarkBox(Point p, int32_t side) {
    switch (side & 3) {
        case 0:
            return Box(p, -10, -4, 6, 5);
        case 1:
            return Box(p, -4, -10, 5, 6);
        case 2:
            return Box(p, -6, -4, 10, 5);
        default:
            return Box(p, -4, -6, 5, 10);
    }
}

Rect PinNameBox(Point p, int32_t side, int32_t byteLength) {
    const int32_t l = WrapMul(PIN_TEXT_CHAR_WIDTH, byteLength);
    switch (side & 3) {
        case 0:
            return Box(p, 5, -7, WrapAdd(5, l), 3);
        case 1:
            return Box(p, -7, 5, 3, WrapAdd(5, l));
        case 2:
            return Box(p, WrapSub(-5, l), -7, -5, 3);
        default:
            return Box(p, -7, WrapSub(-5, l), 3, -5);
    }
}

Rect PinNumberBox(Point p, int32_t side, int32_t byteLength, uint32_t flags) {
    const int32_t l = WrapMul(PIN_TEXT_CHAR_WIDTH, byteLength);
    const int32_t m = (flags & PIN_NUMBER_NEAR) ? 2 : 9;
    switch (side & 3) {
        case 0:
            return Box(p, WrapSub(-m, l), -10, -m, -2);
        case 1:
            return Box(p, -10, WrapSub(-m, l), -2, -m);
        case 2:
            return Box(p, m, -10, WrapAdd(m, l), -2);
        default:
            return Box(p, -10, m, -2, WrapAdd(m, l));
    }
}

void DrawPinMark(CDrawSurface& surface, const CColourTable& colours, Point p, int32_t side,
                 uint32_t flags, DrawMode mode, int32_t num, int32_t den) {
    const bool zeroLength = (flags & CPinDef::PIN_ZERO_LENGTH) != 0;
    if (zeroLength && num < den) return;
    const int32_t width = zeroLength ? 0 : WrapDiv(num, den);
    const std::optional<Colour> colour = ChooseLineColour(
        mode, zeroLength ? ZeroLengthPinColor : colours.Get(ColourKey::ComponentPin), colours);
    if (!colour) return;
    const Pen pen = Pen::Solid(width, *colour);
    auto S = [&](int32_t dx, int32_t dy) { return ScalePoint(p, Point{dx, dy}, num, den); };

    // Offsets outward from the body for each side: the direction a pin leaves it.
    static constexpr Point OUT[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    const Point o = OUT[side & 3];
    if (zeroLength) {
        if (!(mode & DRAW_NO_ZERO_PIN_MARK)) {
            const Point a = S(-2, -2), b = S(2, 2);
            surface.Rectangle(Rect{a.x, a.y, WrapAdd(b.x, 1), WrapAdd(b.y, 1)}, pen, Brush::Null());
        }
    } else if (flags & CPinDef::PIN_NEGATED) {
        // A 4-unit stub, then a bubble 6 units across between it and the body.
        surface.Line(S(10 * o.x, 10 * o.y), S(6 * o.x, 6 * o.y), pen);
        static constexpr Rect BUBBLE[4] = {
            {-6, -3, 0, 3}, {-3, -6, 3, 0}, {0, -3, 6, 3}, {-3, 0, 3, 6}};
        const Rect& e = BUBBLE[side & 3];
        const Point a = S(e.left, e.top), b = S(e.right, e.bottom);
        surface.Ellipse(Rect{a.x, a.y, WrapAdd(b.x, 1), WrapAdd(b.y, 1)}, pen, Brush::Null());
    } else {
        surface.Line(S(10 * o.x, 10 * o.y), S(0, 0), pen);
    }
    if (flags & CPinDef::PIN_CLOCK) {
        // A wedge pointing into the body from the pin's point.
        static constexpr Point CLOCK[4][3] = {
            {{0, 4}, {4, 0}, {0, -4}},
            {{-4, 0}, {0, 4}, {4, 0}},
            {{0, 4}, {-4, 0}, {0, -4}},
            {{-4, 0}, {0, -4}, {4, 0}},
        };
        const Point* c = CLOCK[side & 3];
        const Point points[3] = {S(c[0].x, c[0].y), S(c[1].x, c[1].y), S(c[2].x, c[2].y)};
        surface.Polyline(points, pen);
    }
}

void DrawPin(CDrawSurface& surface, const CDisplaySettings& settings, Point p, int32_t side,
             uint32_t flags, const char* name, const char* number, DrawMode mode, int32_t num,
             int32_t den, const Rect* clip) {
    const bool textsLeftOut = (mode & DRAW_NO_TEXTS) || num < den;
    if (MeetsClip(clip, PinMarkBox(p, side))) {
        DrawPinMark(surface, settings.colours, p, side, flags, mode, num, den);
    }
    if (textsLeftOut || !settings.labelRenderer) return;
    CTextRenderer& renderer = *settings.labelRenderer;

    const int32_t nameLength = ByteLength(name);
    if (nameLength > 0) {
        const Rect box = PinNameBox(p, side, nameLength);
        if (MeetsClip(clip, box)) {
            const Colour colour =
                ChooseTextColour(mode, settings.colours.Get(ColourKey::PinName), settings.colours);
            DrawPinText(surface, renderer, box, side, name, colour, num, den);
        }
    }
    const int32_t numberLength = ByteLength(number);
    if (numberLength > 0 && !(flags & CPinDef::PIN_HIDE_NUMBER)) {
        const Rect box = PinNumberBox(p, side, numberLength, flags);
        if (MeetsClip(clip, box)) {
            const Colour colour =
                ChooseTextColour(mode, settings.colours.Get(ColourKey::PinNum), settings.colours);
            DrawPinText(surface, renderer, box, side ^ 2, number, colour, num, den);
        }
    }
}

void DrawComponentBody(CDrawSurface& surface, const CDisplaySettings& settings,
                       const CPlacedComponent& component, DrawMode mode, int32_t num, int32_t den) {
    const CColourTable& colours = settings.colours;
    const Point pos = component.Position();
    const Point size = component.BodySize();
    const Point topLeft{WrapSub(pos.x, size.x), WrapSub(pos.y, size.y)};
    const CComponentDef* def = component.Definition();
    const CPattern* pattern = def ? def->Pattern() : nullptr;

    if (pattern == nullptr || (mode & DRAW_FRAME)) {
        const Colour normal =
            colours.Get(pattern ? ColourKey::ComponentFrame : ColourKey::Component);
        const std::optional<Colour> colour = ChooseLineColour(mode, normal, colours);
        if (!colour) return;
        const Pen pen = Pen::Solid(pattern ? 0 : WrapDiv(num, den), *colour);
        const int32_t l = ScaleValue(topLeft.x, num, den), t = ScaleValue(topLeft.y, num, den);
        const int32_t r = ScaleValue(pos.x, num, den), b = ScaleValue(pos.y, num, den);
        const Point frame[5] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
        surface.Polyline(frame, pen);
    }
    if (pattern != nullptr) {
        const std::optional<Colour> colour =
            ChooseLineColour(mode, colours.Get(ColourKey::Component), colours);
        if (!colour) return;
        const PatternPlacement at{
            .direction = component.Direction(),
            .bodySize = Point{WrapMul(def->Width(), GRID_UNIT), WrapMul(def->Height(), GRID_UNIT)},
            .topLeft = topLeft,
            .scale = Scale{num, den}};
        DrawPattern(surface, *pattern, *colour, mode, at, settings.labelRenderer.get());
    }
}

void DrawComponent(CDrawSurface& surface, const CDisplaySettings& settings,
                   CSchematicObject& object, DrawMode mode, int32_t num, int32_t den,
                   const Rect* clip) {
    if (object.Kind() != ObjectKind::Component) return;
    auto* component = dynamic_cast<CPlacedComponent*>(&object);
    if (component == nullptr) return;
    // Without a scale nothing can be placed.
    if (num == 0 || den == 0) return;

    if (!(mode & DRAW_NO_BODY)) {
        if (const CComponentDef* def = component->Definition()) {
            const int32_t block = component->Block();
            for (int32_t i = 0; i < def->PinCount(); ++i) {
                const PlacedPin placed = component->PinPosition(i);
                if (!placed) continue;
                DrawPin(surface, settings, placed.position, placed.side, placed.pin->Flags(),
                        placed.pin->Name(), placed.pin->Number(block), mode, num, den, clip);
            }
        }
        DrawComponentBody(surface, settings, *component, mode, num, den);
    }
    if ((mode & DRAW_NO_TEXTS) || !settings.compNameRenderer) return;
    CTextRenderer& renderer = *settings.compNameRenderer;
    const CColourTable& colours = settings.colours;

    // One label where it meets the clip, in its colour; its drawn size, none when clipped.
    const auto label = [&](const Rect& box, bool horizontal, const auto& text,
                           ColourKey key) -> std::optional<Point> {
        if (!MeetsClip(clip, box)) return std::nullopt;
        const Colour colour = ChooseTextColour(mode, colours.Get(key), colours);
        return DrawLabel(surface, renderer, box, !horizontal, text, colour, Scale{num, den});
    };
    if (!(mode & DRAW_NO_NAME)) {
        if (const auto size = label(component->NameLabelRect(), component->NameHorizontal(),
                                    component->Name(), ColourKey::ComponentName)) {
            component->ReportNameSize(size->x, size->y);
        }
    }
    if (!(mode & DRAW_NO_REFERENCE)) {
        if (const auto size =
                label(component->ReferenceLabelRect(), component->ReferenceHorizontal(),
                      component->Reference(), ColourKey::ComponentNum)) {
            component->ReportReferenceSize(size->x, size->y);
        }
    }
}

}  // namespace qurix
