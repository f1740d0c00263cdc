#include "core/elements/PatternElement.h"

#include <cmath>
#include <cstdlib>

namespace qurix {

CPatternElement::CPatternElement(const CPatternElement& other)
    : style_(other.style_), width_(other.width_), fill_(other.fill_) {
    if (other.strayEndTag_) KeepStrayEndTag(std::string(*other.strayEndTag_));
}

CPatternElement& CPatternElement::operator=(const CPatternElement& other) {
    style_ = other.style_;
    width_ = other.width_;
    fill_ = other.fill_;
    KeepStrayEndTag(other.strayEndTag_ ? *other.strayEndTag_ : std::string());
    return *this;
}

const std::string& CPatternElement::StrayEndTag() const {
    static const std::string NONE;
    return strayEndTag_ ? *strayEndTag_ : NONE;
}

void CPatternElement::KeepStrayEndTagHeld(std::string&& tag) {
    if (tag.empty()) {
        strayEndTag_.reset();
    } else {
        strayEndTag_ = std::make_unique<std::string>(std::move(tag));
    }
}

int32_t TruncateToInt(double v) {
    if (std::isnan(v)) return 0;
    v = std::trunc(v);
    // Beyond +-2^62 the value is far outside any drawing; clamp before the exact cast.
    constexpr double LIMIT = 4611686018427387904.0;
    if (v > LIMIT) v = LIMIT;
    if (v < -LIMIT) v = -LIMIT;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(v)));
}

bool SegmentHitTest(Point a, Point b, Point p) {
    Rect r = Rect::FromPoints(a, b).Normalized();
    const int64_t px = p.x;
    const int64_t py = p.y;
    if (px - 1 > r.right || py - 1 > r.bottom || px + 1 < r.left || py + 1 < r.top) return false;
    // A vertical segment has no slope; within the box it is always a hit.
    if (a.x == b.x) return true;
    const double m = (static_cast<double>(b.y) - a.y) / (static_cast<double>(b.x) - a.x);
    const double c = a.y - a.x * m;
    const double y0 = m * static_cast<double>(px - 1) + c;
    const double y1 = m * static_cast<double>(px + 1) + c;
    const double hi = static_cast<double>(py + 1);
    const double lo = static_cast<double>(py - 1);
    if (y0 > hi && y1 > hi) return false;
    if (y0 < lo && y1 < lo) return false;
    return true;
}

}  // namespace qurix
