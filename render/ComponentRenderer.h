#pragma once
#include <cstdint>

#include "core/component/PlacedComponent.h"
#include "core/component/SchematicObject.h"
#include "core/geometry/Geometry.h"
#include "render/DisplaySettings.h"
#include "render/DrawMode.h"
#include "render/DrawSurface.h"

namespace qurix {

// Estimated width per byte of a pin or label text, for the clip test only.
inline constexpr int32_t PIN_TEXT_CHAR_WIDTH = 8;

// Draws a placed component: its pins with their marks, names and numbers, then its body
// (frame and pattern, lying over the pins), then its name and reference, whose measured
// sizes it reports back to the component. Any other kind of object draws nothing.
// Geometry is in drawing units, scaled as num * v / den where it reaches the surface.
// clip (drawing units, right and bottom exclusive) skips the pieces whose boxes miss it;
// null skips nothing. Colours and text renderers come from settings; texts whose renderer
// is not made (settings not loaded) are left out.
void DrawComponent(CDrawSurface& surface, const CDisplaySettings& settings,
                   CSchematicObject& object, DrawMode mode, int32_t num, int32_t den,
                   const Rect* clip);

// One pin at point p on the body outline, leaving the body from side (0 left, 1 top,
// 2 right, 3 bottom) with the CPinDef flags: its mark, then its name inside the body and
// its number outside along the pin. name and number may be null. Texts are left out in
// mode DRAW_NO_TEXTS and at scales below 1.
void DrawPin(CDrawSurface& surface, const CDisplaySettings& settings, Point p, int32_t side,
             uint32_t flags, const char* name, const char* number, DrawMode mode, int32_t num,
             int32_t den, const Rect* clip);

// The pin's line (or the marker of a zero-length pin), its bubble and its clock mark.
void DrawPinMark(CDrawSurface& surface, const CColourTable& colours, Point p, int32_t side,
                 uint32_t flags, DrawMode mode, int32_t num, int32_t den);

// The frame (without a pattern, or always in mode DRAW_FRAME) and the pattern.
void DrawComponentBody(CDrawSurface& surface, const CDisplaySettings& settings,
                       const CPlacedComponent& component, DrawMode mode, int32_t num, int32_t den);

// The boxes the clip test uses, in drawing units (right and bottom exclusive).
Rect PinMarkBox(Point p, int32_t side);
Rect PinNameBox(Point p, int32_t side, int32_t byteLength);
Rect PinNumberBox(Point p, int32_t side, int32_t byteLength, uint32_t flags);

// Whether box meets the clip: always without a clip, else when the two overlap in at
// least one pixel (right and bottom exclusive).
bool MeetsClip(const Rect* clip, const Rect& box);

}  // namespace qurix
