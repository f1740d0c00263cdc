#pragma once
// Point and Rect in drawing units (x grows right, y grows down), and the integer
// helpers every layer shares. All arithmetic wraps instead of overflowing, so
// hostile coordinates from a library file are never undefined behaviour.
#include <cstdint>
#include <limits>
#include <utility>

namespace qurix {

// Drawing units per grid unit: part sizes and pin offsets are counted in grid units.
inline constexpr int32_t GRID_UNIT = 10;

// Direction of a placed part: bits 0-1 count quarter turns clockwise on screen, bit 2
// then mirrors left and right.
inline constexpr int32_t DIRECTION_TURN_MASK = 3;
inline constexpr int32_t DIRECTION_MIRRORED = 4;

// Two's-complement wrapping arithmetic on 32-bit values.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapNeg(int32_t a) {
    return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
// Truncating division; INT32_MIN / -1 wraps to INT32_MIN and division by zero gives 0.
inline int32_t WrapDiv(int32_t a, int32_t b) {
    if (b == 0) return 0;
    if (b == -1) return WrapNeg(a);
    return a / b;
}
// (a + b) / 2 truncating toward zero, computed without overflow.
inline int32_t Mid(int32_t a, int32_t b) {
    return static_cast<int32_t>((static_cast<int64_t>(a) + b) / 2);
}

struct Point {
    int32_t x = 0;
    int32_t y = 0;

    static constexpr Point Make(int32_t x, int32_t y) { return Point{x, y}; }
    static constexpr Point Zero() { return Point{0, 0}; }

    Point& operator+=(const Point& o) {
        x = WrapAdd(x, o.x);
        y = WrapAdd(y, o.y);
        return *this;
    }
    Point& operator-=(const Point& o) {
        x = WrapSub(x, o.x);
        y = WrapSub(y, o.y);
        return *this;
    }
    friend Point operator+(Point a, const Point& b) { return a += b; }
    friend Point operator-(Point a, const Point& b) { return a -= b; }
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    static constexpr Rect Make(int32_t l, int32_t t, int32_t r, int32_t b) {
        return Rect{l, t, r, b};
    }
    // right = x + width, bottom = y + height.
    static Rect FromOriginSize(Point origin, int32_t width, int32_t height) {
        return Rect{origin.x, origin.y, WrapAdd(origin.x, width), WrapAdd(origin.y, height)};
    }
    static constexpr Rect FromPoints(Point a, Point b) { return Rect{a.x, a.y, b.x, b.y}; }
    // The accumulator that any Include() replaces.
    static constexpr Rect Empty() {
        return Rect{std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max(),
                    std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min()};
    }

    bool IsEmptyAccumulator() const { return left > right || top > bottom; }
    int32_t Width() const { return WrapSub(right, left); }
    // Whether it covers a pixel, right and bottom excluded; without the wrap of Width().
    bool HasArea() const { return int64_t{right} > left && int64_t{bottom} > top; }
    int32_t Height() const { return WrapSub(bottom, top); }

    Rect& Normalize() {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
        return *this;
    }
    Rect Normalized() const {
        Rect r = *this;
        return r.Normalize();
    }
    Point Center() const { return Point{Mid(left, right), Mid(top, bottom)}; }
    // Inclusive on all four edges.
    bool Contains(Point p) const {
        return left <= p.x && p.x <= right && top <= p.y && p.y <= bottom;
    }
    // Overlap unless one lies wholly beyond an edge of the other.
    bool Overlaps(const Rect& o) const {
        return !(o.right < left || o.left > right || o.bottom < top || o.top > bottom);
    }
    // Grows the rectangle to hold p.
    void Include(Point p) {
        if (p.x < left) left = p.x;
        if (p.x > right) right = p.x;
        if (p.y < top) top = p.y;
        if (p.y > bottom) bottom = p.y;
    }
    void Include(const Rect& r) {
        Include(Point{r.left, r.top});
        Include(Point{r.right, r.bottom});
    }
    void Offset(Point d) {
        left = WrapAdd(left, d.x);
        right = WrapAdd(right, d.x);
        top = WrapAdd(top, d.y);
        bottom = WrapAdd(bottom, d.y);
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Places p, given in a w × h box drawn unturned, into the same box turned by
// direction. The result is relative to the turned box's top-left corner.
inline Point TransformInBox(Point p, int32_t direction, int32_t w, int32_t h) {
    Point t;
    int32_t mirrorWidth = w;
    switch (direction & DIRECTION_TURN_MASK) {
        case 0:
            t = p;
            break;
        case 1:
            t = Point{WrapSub(h, p.y), p.x};
            mirrorWidth = h;
            break;
        case 2:
            t = Point{WrapSub(w, p.x), WrapSub(h, p.y)};
            break;
        default:
            t = Point{p.y, WrapSub(w, p.x)};
            mirrorWidth = h;
            break;
    }
    if (direction & DIRECTION_MIRRORED) t.x = WrapSub(mirrorWidth, t.x);
    return t;
}

}  // namespace qurix
