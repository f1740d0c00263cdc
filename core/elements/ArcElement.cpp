#include "core/elements/ArcElement.h"

#include <algorithm>
#include <cmath>

#include "core/elements/ElementRecords.h"

namespace qurix {

namespace {

constexpr double RADIANS_PER_UNIT = 0.001090830782496456;  // 2 pi / 5760
constexpr double PI = 3.14159265358979323846;
constexpr int32_t QUARTER = CPatternElement::ANGLE_FULL_TURN / 4;

// An angle reduced to one turn by the remainder is still negative when it was; the
// comparisons of Bounds and HitTest need it in 0 .. 5759.
int32_t Positive(int32_t reduced) {
    return reduced < 0 ? reduced + CPatternElement::ANGLE_FULL_TURN : reduced;
}

bool InRange(int32_t v, int32_t lo, int32_t hi) {
    return lo <= v && v <= hi;
}

}  // namespace

std::unique_ptr<CPatternElement> CArcElement::Clone() const {
    return std::make_unique<CArcElement>(*this);
}

void CArcElement::SetArc(Point centre, int32_t radius, int32_t begin, int32_t end) {
    centre_ = centre;
    radius_ = radius;
    begin_ = begin;
    end_ = end;
    DeriveRays();
}

Point CArcElement::PointAtAngle(int32_t angle, int32_t distance) const {
    const double t = angle * RADIANS_PER_UNIT;
    return Point{TruncateToInt(centre_.x + std::cos(t) * distance),
                 TruncateToInt(centre_.y - std::sin(t) * distance)};
}

int32_t CArcElement::AngleOf(Point p) const {
    const double dx = static_cast<double>(p.x) - centre_.x;
    const double dy = static_cast<double>(p.y) - centre_.y;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0) return 0;  // no direction: taken as pointing right
    double t = std::acos(std::clamp(dx / d, -1.0, 1.0));
    if (p.y > centre_.y) t = 2 * PI - t;
    return TruncateToInt(t * 2880 / PI + 0.5);
}

void CArcElement::DeriveRays() {
    rayBegin_ = begin_;
    rayEnd_ = end_;
}

void CArcElement::ReduceAngles() {
    begin_ %= ANGLE_FULL_TURN;
    end_ %= ANGLE_FULL_TURN;
}

Rect CArcElement::CircleBox() const {
    return Rect::Make(WrapSub(centre_.x, radius_), WrapSub(centre_.y, radius_),
                      WrapAdd(centre_.x, radius_), WrapAdd(centre_.y, radius_));
}

void CArcElement::Move(int32_t dx, int32_t dy) {
    centre_ += Point{dx, dy};
    DeriveRays();
}

Point CArcElement::Handle(int32_t index) const {
    switch (index) {
        case 0:
            return PointAtAngle(begin_, radius_);
        case 1:
            return PointAtAngle(end_, radius_);
        case 2:
            return centre_;
        case 3:
            return Point{WrapAdd(centre_.x, radius_), centre_.y};
        case 4:
            return Point{centre_.x, WrapSub(centre_.y, radius_)};
        case 5:
            return Point{WrapSub(centre_.x, radius_), centre_.y};
        default:
            return Point{centre_.x, WrapAdd(centre_.y, radius_)};
    }
}

void CArcElement::SetHandle(int32_t index, int32_t x, int32_t y) {
    const auto distance = [](int32_t a, int32_t b) {
        const int32_t d = WrapSub(a, b);
        return d < 0 ? WrapNeg(d) : d;
    };
    switch (index) {
        case 0:
            begin_ = AngleOf(Point{x, y});
            break;
        case 1:
            end_ = AngleOf(Point{x, y});
            break;
        case 2:
            centre_ = Point{x, y};
            break;
        case 3:
        case 5:
            radius_ = distance(centre_.x, x);
            break;
        default:
            radius_ = distance(centre_.y, y);
            break;
    }
    DeriveRays();
}

void CArcElement::MirrorAbout(int32_t axisX) {
    centre_.x = MirrorX(centre_.x, axisX);
    ReduceAngles();
    // Reflected about the vertical, the arc also runs the other way round.
    const int32_t oldBegin = begin_;
    const int32_t oldEnd = end_;
    begin_ = (oldEnd <= 2 * QUARTER ? 2 * QUARTER : 6 * QUARTER) - oldEnd;
    end_ = (oldBegin <= 2 * QUARTER ? 2 * QUARTER : 6 * QUARTER) - oldBegin;
    DeriveRays();
}

void CArcElement::RotateAbout(Point centre) {
    centre_ = RotateQuarter(centre_, centre);
    // A quarter turn clockwise is three quarters counter-clockwise.
    begin_ = static_cast<int32_t>((static_cast<int64_t>(begin_) + 3 * QUARTER) % ANGLE_FULL_TURN);
    end_ = static_cast<int32_t>((static_cast<int64_t>(end_) + 3 * QUARTER) % ANGLE_FULL_TURN);
    DeriveRays();
}

Rect CArcElement::Bounds() {
    ReduceAngles();
    const int32_t b = Positive(begin_);
    const int32_t e = Positive(end_);
    if (b == e) return CircleBox();
    const Point p0 = Handle(0);
    const Point p1 = Handle(1);
    Rect r = Rect::Make(std::min(p0.x, p1.x), std::min(p0.y, p1.y), std::max(p0.x, p1.x),
                        std::max(p0.y, p1.y));
    const Rect circle = CircleBox();
    int32_t h = e;
    if (e < b) {
        r.right = circle.right;
        h = e + ANGLE_FULL_TURN;
    }
    if (InRange(QUARTER, b, h) || InRange(5 * QUARTER, b, h)) r.top = circle.top;
    if (InRange(2 * QUARTER, b, h) || InRange(6 * QUARTER, b, h)) r.left = circle.left;
    if (InRange(3 * QUARTER, b, h) || InRange(7 * QUARTER, b, h)) r.bottom = circle.bottom;
    return r;
}

bool CArcElement::HitTest(Point p) {
    const double dx = static_cast<double>(p.x) - centre_.x;
    const double dy = static_cast<double>(p.y) - centre_.y;
    if (std::abs(std::sqrt(dx * dx + dy * dy) - radius_) > 1) return false;
    const int32_t theta = AngleOf(p) % ANGLE_FULL_TURN;
    ReduceAngles();
    const int32_t b = Positive(begin_);
    const int32_t e = Positive(end_);
    if (b <= e) return b <= theta && theta <= e;
    return theta >= b || theta <= e;
}

bool CArcElement::IsInside(const Rect& r) {
    const Rect b = Bounds();
    return r.Contains(Point{b.left, b.top}) && r.Contains(Point{b.right, b.bottom});
}

bool CArcElement::Read(CRecordReader& reader, CArena* /*arena*/) {
    PenFields pen;
    Point centre{10, 10};
    int32_t radius = 10;
    int32_t begin = 0;
    int32_t end = 0;
    std::string stray;
    const RecordEnd result = ReadRecord(reader, ElementSyntax("-AR", stray),
                                        [&](std::string_view key, std::string_view value) {
                                            if (pen.Read(key, value, false)) return true;
                                            if (key == "X") {
                                                centre.x = ParseInt(value);
                                            } else if (key == "Y") {
                                                centre.y = ParseInt(value);
                                            } else if (key == "R") {
                                                radius = ParseInt(value);
                                            } else if (key == "B") {
                                                begin = ParseInt(value);
                                            } else if (key == "E") {
                                                end = ParseInt(value);
                                            }
                                            return true;
                                        });
    KeepStrayEndTag(std::move(stray));
    if (result == RecordEnd::Failed) return false;
    width_ = pen.width;
    style_ = pen.style;
    SetArc(centre, radius, begin, end);
    return true;
}

bool CArcElement::Write(CRecordWriter& writer, const Point* origin) const {
    const Point c = centre_ - (origin ? *origin : Point::Zero());
    return writer.WriteToken("+AR") == 0 && writer.WriteKeyInt("W", width_) == 0 &&
           writer.WriteKeyInt("S", style_) == 0 && writer.WriteKeyInt("X", c.x) == 0 &&
           writer.WriteKeyInt("Y", c.y) == 0 && writer.WriteKeyInt("R", radius_) == 0 &&
           writer.WriteKeyInt("B", begin_) == 0 && writer.WriteKeyInt("E", end_) == 0 &&
           writer.WriteToken("-AR") == 0 && writer.EndLine() == 0;
}

}  // namespace qurix
