#include "core/elements/CircleElement.h"

#include <cmath>

#include "core/elements/ElementRecords.h"
#include "core/elements/TwoPointRecord.h"

namespace qurix {

std::unique_ptr<CPatternElement> CCircleElement::Clone() const {
    return std::make_unique<CCircleElement>(*this);
}

namespace {

bool StrictlyBetween(double v, double a, double b) {
    return (a < v && v < b) || (b < v && v < a);
}

}  // namespace

bool CCircleElement::HitTest(Point p) {
    // A box of zero height or width has no axis ratio: the ellipse has collapsed onto the
    // segment through its centre, which is what the user sees and can hit.
    if (p1_.x == p2_.x || p1_.y == p2_.y) {
        const Rect b = Box();
        const Point c = b.Center();
        if (b.Height() == 0) return SegmentHitTest({b.left, c.y}, {b.right, c.y}, p);
        return SegmentHitTest({c.x, b.top}, {c.x, b.bottom}, p);
    }
    const double cx = (static_cast<double>(p1_.x) + p2_.x) / 2;
    const double cy = (static_cast<double>(p1_.y) + p2_.y) / 2;
    const double dx = static_cast<double>(p1_.x) - p2_.x;
    const double dy = static_cast<double>(p1_.y) - p2_.y;
    const double b2 = (dy / 2) * (dy / 2);
    const double k = std::abs(dx / dy);
    const auto sq = [](double v) { return v * v; };
    if (IsFilled()) return sq(p.y - cy) + sq((p.x - cx) / k) <= b2;
    const double u = sq((p.x - cx) / k);
    if (StrictlyBetween(b2, u + sq(p.y - 2.0 - cy), u + sq(p.y + 2.0 - cy))) return true;
    const double v = sq(p.y - cy);
    return StrictlyBetween(b2, v + sq((p.x - 2.0 - cx) / k), v + sq((p.x + 2.0 - cx) / k));
}

bool CCircleElement::Read(CRecordReader& reader, CArena* /*arena*/) {
    return ReadPoints(reader, "-C", true);
}

bool CCircleElement::Write(CRecordWriter& writer, const Point* origin) const {
    return WritePoints(writer, "+C", "-C", true, origin);
}

}  // namespace qurix
