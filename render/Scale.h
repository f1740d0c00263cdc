#pragma once
#include <cstdint>

#include "core/geometry/Geometry.h"

namespace qurix {

// A drawing scale: drawing units reach the surface as num * v / den. 1:1 by default.
struct Scale {
    int32_t num = 1;
    int32_t den = 1;
    friend bool operator==(const Scale&, const Scale&) = default;
};

// The scale rule: a drawing-unit value v reaches the surface as num * v / den in 32-bit
// arithmetic, truncating toward zero. Overflow wraps (hostile coordinates stay defined);
// a zero denominator gives 0.
inline int32_t ScaleValue(int32_t v, int32_t num, int32_t den) {
    return WrapDiv(WrapMul(num, v), den);
}

// An offset is added before scaling, so (v + offset) is scaled as one value.
inline int32_t ScaleValue(int32_t v, int32_t offset, int32_t num, int32_t den) {
    return ScaleValue(WrapAdd(v, offset), num, den);
}

inline Point ScalePoint(Point p, int32_t num, int32_t den) {
    return Point{ScaleValue(p.x, num, den), ScaleValue(p.y, num, den)};
}

inline Point ScalePoint(Point p, Point offset, int32_t num, int32_t den) {
    return ScalePoint(p + offset, num, den);
}

inline int32_t ScaleValue(int32_t v, Scale s) {
    return ScaleValue(v, s.num, s.den);
}

inline Point ScalePoint(Point p, Scale s) {
    return ScalePoint(p, s.num, s.den);
}

// Surface units back to drawing units (den / num), for sizes reported after drawing.
inline int32_t UnscaleValue(int32_t v, Scale s) {
    return WrapDiv(WrapMul(v, s.den), s.num);
}

}  // namespace qurix
