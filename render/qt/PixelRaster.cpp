#include "render/qt/PixelRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace qurix::raster {

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;

// Clips the segment to the square of EXACT_LIMIT; false when nothing is left.
bool ClipToExactRange(double& x0, double& y0, double& x1, double& y1) {
    const double lim = EXACT_LIMIT;
    double t0 = 0.0;
    double t1 = 1.0;
    if (!ClipSegment(x0, y0, x1, y1, -lim, -lim, lim, lim, t0, t1)) return false;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double nx0 = x0 + t0 * dx;
    const double ny0 = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    return true;
}

bool InExactRange(Point p) {
    return p.x >= -EXACT_LIMIT && p.x <= EXACT_LIMIT && p.y >= -EXACT_LIMIT && p.y <= EXACT_LIMIT;
}

// floor(a / b) for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

int64_t ExactLine(Point a, Point b, const Rect& clip, int64_t firstIndex, const PixelSink& sink) {
    const int64_t dx = static_cast<int64_t>(b.x) - a.x;
    const int64_t dy = static_cast<int64_t>(b.y) - a.y;
    const int64_t adx = dx < 0 ? -dx : dx;
    const int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const int64_t n = xMajor ? adx : ady;  // pixels: the start, not the end
    if (n == 0) return 0;
    const int64_t dMajor = n;
    const int64_t dMinor = xMajor ? ady : adx;
    const int64_t sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t major0 = xMajor ? a.x : a.y;
    const int64_t minor0 = xMajor ? a.y : a.x;

    // Only the steps whose major coordinate lies inside the clip.
    const int64_t lo = xMajor ? clip.left : clip.top;
    const int64_t hi = (xMajor ? clip.right : clip.bottom) - 1;
    if (hi < lo) return n;
    int64_t iFirst = 0;
    int64_t iLast = n - 1;
    if (sMajor > 0) {
        iFirst = std::max(iFirst, lo - major0);
        iLast = std::min(iLast, hi - major0);
    } else {
        iFirst = std::max(iFirst, major0 - hi);
        iLast = std::min(iLast, major0 - lo);
    }
    const int64_t minorLo = xMajor ? clip.top : clip.left;
    const int64_t minorHi = (xMajor ? clip.bottom : clip.right) - 1;
    for (int64_t i = iFirst; i <= iLast; ++i) {
        // The nearest pixel to the ideal line, halves rounded away from the start.
        const int64_t offset = FloorDiv(2 * i * dMinor + dMajor, 2 * dMajor);
        const int64_t major = major0 + sMajor * i;
        const int64_t minor = minor0 + sMinor * offset;
        if (minor < minorLo || minor > minorHi) continue;
        const auto x = static_cast<int32_t>(xMajor ? major : minor);
        const auto y = static_cast<int32_t>(xMajor ? minor : major);
        sink(x, y, firstIndex + i);
    }
    return n;
}

}  // namespace

int64_t LinePixels(Point a, Point b, const Rect& clip, int64_t firstIndex, const PixelSink& sink) {
    if (InExactRange(a) && InExactRange(b)) return ExactLine(a, b, clip, firstIndex, sink);

    // Far beyond any canvas: rasterise the part within reach, keeping the dot count.
    const int64_t fullLength = std::max(std::llabs(static_cast<int64_t>(b.x) - a.x),
                                        std::llabs(static_cast<int64_t>(b.y) - a.y));
    double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
    if (!ClipToExactRange(x0, y0, x1, y1)) return fullLength;
    const Point ca{static_cast<int32_t>(std::lround(x0)), static_cast<int32_t>(std::lround(y0))};
    const Point cb{static_cast<int32_t>(std::lround(x1)), static_cast<int32_t>(std::lround(y1))};
    const int64_t skipped = std::max(std::llabs(static_cast<int64_t>(ca.x) - a.x),
                                     std::llabs(static_cast<int64_t>(ca.y) - a.y));
    ExactLine(ca, cb, clip, firstIndex + skipped, sink);
    return fullLength;
}

bool EllipsePixels(const Rect& box, std::vector<Point>& outline, std::vector<Span>& inside) {
    outline.clear();
    inside.clear();
    const int64_t w = static_cast<int64_t>(box.right) - box.left;
    const int64_t h = static_cast<int64_t>(box.bottom) - box.top;
    if (w <= 0 || h <= 0) return false;
    if (w > MAX_EXACT_ELLIPSE || h > MAX_EXACT_ELLIPSE) return false;

    // Corners of the ink, inclusive: the midpoint ellipse of a whole rectangle, which
    // touches all four sides whatever their parity.
    int64_t x0 = box.left;
    int64_t x1 = static_cast<int64_t>(box.right) - 1;
    const int64_t top = box.top;
    int64_t a = x1 - x0;
    const int64_t b = h - 1;
    int64_t b1 = b & 1;
    int64_t dx = 4 * (1 - a) * b * b;
    int64_t dy = 4 * (b1 + 1) * a * a;
    int64_t err = dx + dy + b1 * a * a;
    int64_t y0 = top + (b + 1) / 2;
    int64_t y1 = y0 - b1;
    a = 8 * a * a;
    b1 = 8 * b * b;

    // Per row: the rightmost pixel of the left side and the leftmost of the right side.
    std::vector<int64_t> leftMax(static_cast<size_t>(h), INT64_MIN);
    std::vector<int64_t> rightMin(static_cast<size_t>(h), INT64_MAX);
    auto plot = [&](int64_t x, int64_t y, bool left) {
        if (y < top || y >= top + h) return;
        const auto row = static_cast<size_t>(y - top);
        if (left) {
            leftMax[row] = std::max(leftMax[row], x);
        } else {
            rightMin[row] = std::min(rightMin[row], x);
        }
        outline.push_back(Point{static_cast<int32_t>(x), static_cast<int32_t>(y)});
    };

    do {
        plot(x1, y0, false);
        plot(x0, y0, true);
        plot(x0, y1, true);
        plot(x1, y1, false);
        const int64_t e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            err += dy += a;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            err += dx += b1;
        }
    } while (x0 <= x1);
    // A flat ellipse stops early: finish its tips.
    while (y0 - y1 <= b) {
        plot(x0 - 1, y0, true);
        plot(x1 + 1, y0++, false);
        plot(x0 - 1, y1, true);
        plot(x1 + 1, y1--, false);
    }

    std::sort(outline.begin(), outline.end(),
              [](const Point& p, const Point& q) { return p.y != q.y ? p.y < q.y : p.x < q.x; });
    outline.erase(std::unique(outline.begin(), outline.end()), outline.end());

    for (int64_t row = 0; row < h; ++row) {
        const auto r = static_cast<size_t>(row);
        if (leftMax[r] == INT64_MIN || rightMin[r] == INT64_MAX) continue;
        if (rightMin[r] - leftMax[r] < 2) continue;
        inside.push_back(Span{static_cast<int32_t>(top + row), static_cast<int32_t>(leftMax[r] + 1),
                              static_cast<int32_t>(rightMin[r] - 1)});
    }
    return true;
}

double PixelAngle(const Rect& box, double x, double y) {
    const double cx = (static_cast<double>(box.left) + static_cast<double>(box.right) - 1.0) / 2.0;
    const double cy = (static_cast<double>(box.top) + static_cast<double>(box.bottom) - 1.0) / 2.0;
    const double dx = x - cx;
    const double dy = cy - y;
    if (dx == 0.0 && dy == 0.0) return 0.0;
    double angle = std::atan2(dy, dx);
    if (angle < 0.0) angle += TWO_PI;
    return angle;
}

std::vector<Point> ArcOrder(const Rect& box, const std::vector<Point>& outline, double from,
                            double sweep) {
    constexpr double EPS = 1e-9;
    std::vector<std::pair<double, Point>> keyed;
    keyed.reserve(outline.size());
    for (const Point& p : outline) {
        double offset = std::fmod(PixelAngle(box, p.x, p.y) - from + 2.0 * TWO_PI, TWO_PI);
        if (offset > TWO_PI - EPS) offset = 0.0;
        if (offset <= sweep + EPS) keyed.emplace_back(offset, p);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& l, const auto& r) { return l.first < r.first; });
    std::vector<Point> ordered;
    ordered.reserve(keyed.size());
    for (const auto& k : keyed) ordered.push_back(k.second);
    return ordered;
}

bool ClipSegment(double x0, double y0, double x1, double y1, double left, double top, double right,
                 double bottom, double& t0, double& t1) {
    t0 = 0.0;
    t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    return true;
}

}  // namespace qurix::raster
