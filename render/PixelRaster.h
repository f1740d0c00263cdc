#pragma once
// The one-pixel paths of the editor's platform, computed exactly rather than left to a
// painter's own rules: a line sets its start pixel and not its end pixel; rectangles and
// ellipses keep inside left..right-1 and top..bottom-1; arcs run counter-clockwise.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/geometry/Geometry.h"
#include "render/DrawSurface.h"

namespace qurix::raster {

// Receives a pixel and its position along the path (for dotted pens).
using PixelSink = std::function<void(int32_t x, int32_t y, int64_t index)>;

// Coordinates beyond this are first clipped, so all arithmetic stays in 64 bits.
inline constexpr int32_t EXACT_LIMIT = 1 << 24;
// Ellipses wider or higher than this are left to the painter.
inline constexpr int64_t MAX_EXACT_ELLIPSE = 1 << 16;

// The pixels of the line from a to b without b, for the pixels inside clip (right and
// bottom excluded); index counts from firstIndex at a. Returns the number of pixels the
// line has, so a polyline can continue the count.
int64_t LinePixels(Point a, Point b, const Rect& clip, int64_t firstIndex, const PixelSink& sink);

// Whether a dotted cosmetic pen sets the pixel at this position: 3 on, 3 off.
inline bool DotOn(int64_t index) {
    return index % 6 < 3;
}

struct Span {
    int32_t y = 0;
    int32_t left = 0;   // inclusive
    int32_t right = 0;  // inclusive
};

// The outline of the ellipse inscribed in box (normalised; right and bottom excluded) as
// distinct pixels, and the spans strictly inside it. False when the box is empty or too
// large to compute exactly.
bool EllipsePixels(const Rect& box, std::vector<Point>& outline, std::vector<Span>& inside);

// The same outline and inside spans as EllipsePixels, restricted to clip (right and bottom
// excluded): the outline pixels inside clip, sorted by row then column, and the inside spans
// of the rows inside clip (their columns not cut). The work follows the size of clip, not
// that of the ellipse. False when EllipsePixels would be false.
bool ClippedEllipsePixels(const Rect& box, const Rect& clip, std::vector<Point>& outline,
                          std::vector<Span>& inside);

// Of the outline pixels `visible` (from ClippedEllipsePixels), those a dotted pen sets on
// the arc from angle `from` over `sweep` radians: the pixels that ArcOrder of the whole
// outline keeps at a DotOn position, found without the whole outline (its order along
// the path is counted row by row). False when that cannot be shown; then use ArcOrder.
bool DottedArcPixels(const Rect& box, const std::vector<Point>& visible, double from, double sweep,
                     std::vector<Point>& dotted);

// Angle of a pixel seen from the ink centre of box, counter-clockwise on screen from the
// right, in [0, 2 pi).
double PixelAngle(const Rect& box, double x, double y);

// Orders outline pixels counter-clockwise starting at angle `from` and keeps those within
// `sweep` radians of it (both ends included).
std::vector<Point> ArcOrder(const Rect& box, const std::vector<Point>& outline, double from,
                            double sweep);

// The pixels of a one-pixel pen along connected segments inside clip, a dotted pen's
// count running on from one segment to the next; appended to out.
void PolylinePixels(std::span<const Point> points, bool dotted, const Rect& clip,
                    std::vector<Point>& out);
// The outline of a normalised, non-empty rectangle (right and bottom excluded) in a
// one-pixel pen; a box one pixel across is a bar with every pixel set.
void RectanglePixels(const Rect& box, bool dotted, const Rect& clip, std::vector<Point>& out);
// Of the outline pixels `visible` of box (from ClippedEllipsePixels), those a one-pixel pen
// sets on the arc from angle `from` over `sweep` radians (2 pi: the whole outline).
std::vector<Point> OutlinePixels(const Rect& box, const std::vector<Point>& visible, bool dotted,
                                 double from, double sweep);
// The corners of a normalised rectangle's ink (right and bottom excluded), clockwise from
// the top left: the path a wide pen strokes.
std::array<Point, 4> InkCorners(const Rect& box);
// Whether bitmap can be stretched onto dest: it has bits, sides up to 2^20 and rows long
// enough for them, and dest is not empty.
bool CanStretch(const Rect& dest, const MonoBitmap& bitmap);
// The runs of pixels, on the rows and columns of visible (inside dest), that bitmap
// stretched onto dest sets: destination pixel d covers source pixels [d * s / dd,
// (d + 1) * s / dd), at least one, and is set when any of them is. run(y, left, right)
// with right excluded. The caller checks the bitmap's sizes.
void StretchedBitmapRuns(const Rect& dest, const MonoBitmap& bitmap, const Rect& visible,
                         const std::function<void(int32_t y, int32_t left, int32_t right)>& run);

// Liang-Barsky: where the segment (x0,y0)-(x1,y1) enters and leaves the box, as
// fractions t0 <= t1 of its length. False when no part of it lies inside.
bool ClipSegment(double x0, double y0, double x1, double y1, double left, double top, double right,
                 double bottom, double& t0, double& t1);

}  // namespace qurix::raster
