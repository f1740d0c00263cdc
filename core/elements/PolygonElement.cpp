#include "core/elements/PolygonElement.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

#include "core/elements/ElementRecords.h"

namespace qurix {

std::unique_ptr<CPatternElement> CPolygonElement::Clone() const {
    return std::make_unique<CPolygonElement>(*this);
}

bool CPolygonElement::IsValid() {
    RemoveRepeatedPoints();
    return Count() > 0;
}

void CPolygonElement::RemoveRepeatedPoints() {
    const size_t n = points_.size();
    if (n == 0) return;
    // In place: the points may be borrowed from a library's arena, which gives nothing back.
    Point* p = points_.data();
    const bool lastRepeatsFirst = p[n - 1] == p[0];
    size_t kept = 0;
    for (size_t k = 0; k + 1 < n; ++k) {
        if (!(p[k] == p[k + 1])) p[kept++] = p[k];
    }
    if (!lastRepeatsFirst) p[kept++] = p[n - 1];
    points_.Shorten(kept <= 1 ? 0 : kept);
}

namespace {

// a * b / c truncating toward zero, with the product held exactly.
int64_t MulDivTruncate(int64_t a, int64_t b, int64_t c) {
    __extension__ typedef __int128 Wide;
    return static_cast<int64_t>(static_cast<Wide>(a) * b / c);
}

}  // namespace

void CPolygonElement::Move(int32_t dx, int32_t dy) {
    for (Point& p : points_) p += Point{dx, dy};
}

Point CPolygonElement::Handle(int32_t index) const {
    if (points_.empty()) return Point::Zero();
    if (index < 0) return points_.front();
    if (index >= Count()) return points_.back();
    return points_[static_cast<size_t>(index)];
}

void CPolygonElement::SetHandle(int32_t index, int32_t x, int32_t y) {
    if (points_.empty()) return;
    Point& p = index < 0          ? points_.front()
               : index >= Count() ? points_.back()
                                  : points_[static_cast<size_t>(index)];
    p = Point{x, y};
}

void CPolygonElement::MirrorAbout(int32_t axisX) {
    for (Point& p : points_) p.x = MirrorX(p.x, axisX);
}

void CPolygonElement::RotateAbout(Point centre) {
    for (Point& p : points_) p = RotateQuarter(p, centre);
}

Rect CPolygonElement::PointBounds() const {
    constexpr int32_t MAX = std::numeric_limits<int32_t>::max();
    if (points_.empty()) return Rect::Make(MAX, MAX, MAX, MAX);
    Rect r = Rect::Empty();
    for (const Point& p : points_) r.Include(p);
    return r;
}

bool CPolygonElement::HitTest(Point p) {
    RemoveRepeatedPoints();
    const size_t n = points_.size();
    if (n <= 1) return false;
    if (n == 2) return SegmentHitTest(points_[0], points_[1], p);
    if (!PointBounds().Contains(p)) return false;
    // Crossings of the vertical ray going up from p. A vertex exactly above p counts half
    // a crossing on the side its other end points to, so only a true crossing sets both bits.
    int s = 0;
    const bool filled = IsFilled();
    for (size_t k = 0; k < n; ++k) {
        const Point a = points_[k];
        const Point b = points_[(k + 1) % n];
        if (SegmentHitTest(a, b, p)) return true;
        if (!filled || a.x == b.x) continue;
        if (p.x < std::min(a.x, b.x) || p.x > std::max(a.x, b.x)) continue;
        if (a.y > p.y && b.y > p.y) continue;
        // The vertex rules come before the whole-edge rule: two edges leaving a vertex
        // above p toward the same side must cancel even when both lie wholly above p.
        if (a.x == p.x && a.y < p.y) {
            s ^= b.x > p.x ? 1 : 2;
        } else if (b.x == p.x && b.y < p.y) {
            s ^= a.x > p.x ? 1 : 2;
        } else if (a.y < p.y && b.y < p.y) {
            s ^= 3;
        } else {
            // Exact in 64 bits: |p.x - a.x| <= |b.x - a.x|, so the quotient stays below 2^32.
            const int64_t dy = static_cast<int64_t>(b.y) - a.y;
            const int64_t dxp = static_cast<int64_t>(p.x) - a.x;
            const int64_t dx = static_cast<int64_t>(b.x) - a.x;
            const int64_t y = MulDivTruncate(dy, dxp, dx) + a.y;
            if (y < p.y) s ^= 3;
        }
    }
    return s == 3;
}

bool CPolygonElement::IsInside(const Rect& r) {
    const Rect b = Bounds();
    return r.Contains(Point{b.left, b.top}) && r.Contains(Point{b.right, b.bottom});
}

bool CPolygonElement::Read(CRecordReader& reader, CArena* arena) {
    points_ = {};
    PenFields pen;
    int32_t declared = 0;
    bool haveCount = false;
    // At most MAX_POINTS points arrive: one per pair counted against the declared count.
    std::array<Point, MAX_POINTS> read;
    size_t count = 0;
    std::string stray;
    int32_t pendingX = 0;
    int32_t pairs = 0;
    const auto abandon = [&reader]() {
        reader.SkipToToken("-PG");
        return false;
    };
    const RecordEnd end = ReadRecord(
        reader, ElementSyntax("-PG", stray), [&](std::string_view key, std::string_view value) {
            if (pen.Read(key, value, true)) return true;
            if (key == "N") {
                declared = ParseInt(value);
                haveCount = true;
                if (declared < 2 || declared > MAX_POINTS) return abandon();
            } else if (key == "X") {
                if (!haveCount) return abandon();
                if (pairs < declared) pendingX = ParseInt(value);
            } else if (key == "Y") {
                if (!haveCount) return abandon();
                if (pairs < declared) {
                    const Point q{pendingX, ParseInt(value)};
                    if (pairs == 0 || !(q == read[count - 1])) {
                        read[count++] = q;
                        // The closing point is implied, never stored.
                        if (pairs == declared - 1 && count > 1 && q == read[0]) --count;
                    }
                    ++pairs;
                }
            }
            return true;
        });
    KeepStrayEndTag(std::move(stray));
    if (end == RecordEnd::Failed || count < 2) return false;
    width_ = pen.width;
    style_ = pen.style;
    fill_ = pen.fill;
    points_ = CHeldArray<Point>(std::span<Point>(read.data(), count), arena);
    return true;
}

bool CPolygonElement::Write(CRecordWriter& writer, const Point* origin) const {
    if (!IsWritable()) return false;
    const Point o = origin ? *origin : Point::Zero();
    if (writer.WriteToken("+PG") != 0 || writer.WriteKeyInt("W", width_) != 0 ||
        writer.WriteKeyInt("S", style_) != 0 || writer.WriteKeyInt("F", fill_) != 0 ||
        writer.WriteKeyInt("N", Count()) != 0) {
        return false;
    }
    for (const Point& p : points_) {
        const Point q = p - o;
        if (writer.WriteKeyInt("X", q.x) != 0 || writer.WriteKeyInt("Y", q.y) != 0) return false;
    }
    return writer.WriteToken("-PG") == 0 && writer.EndLine() == 0;
}

}  // namespace qurix
