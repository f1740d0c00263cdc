#pragma once
#include <vector>

#include "core/elements/PatternElement.h"
#include "core/memory/HeldArray.h"

namespace qurix {

// A closed polygon ("+PG" record); the closing edge from the last point back to the first
// is implied. A polygon read from a file holds 2 to 32 points.
class CPolygonElement : public CPatternElement {
public:
    static constexpr int32_t MAX_POINTS = 32;

    CPolygonElement() = default;

    ElementKind Kind() const override { return ElementKind::Polygon; }
    std::unique_ptr<CPatternElement> Clone() const override;
    // Drops repeated points first; true when any point remains.
    bool IsValid() override;
    void Move(int32_t dx, int32_t dy) override;
    int32_t HandleCount() const override { return Count(); }
    // Indexes below 0 address the first point, at or beyond the count the last; (0, 0)
    // for an empty polygon.
    Point Handle(int32_t index) const override;
    void SetHandle(int32_t index, int32_t x, int32_t y) override;
    void MirrorAbout(int32_t axisX) override;
    void RotateAbout(Point centre) override;
    // Drops repeated points first.
    bool HitTest(Point p) override;
    bool IsInside(const Rect& r) override;
    // All four edges 2147483647 for an empty polygon.
    Rect Bounds() override { return PointBounds(); }
    bool Read(CRecordReader& reader, CArena* arena = nullptr) override;
    // Writes nothing and answers false unless the polygon can be stored (IsWritable).
    bool Write(CRecordWriter& writer, const Point* origin = nullptr) const override;

    int32_t Count() const { return static_cast<int32_t>(points_.size()); }
    // The vertices in drawing order; null when there are none.
    const Point* Points() const { return points_.empty() ? nullptr : points_.data(); }
    std::vector<Point> PointList() const { return {points_.begin(), points_.end()}; }
    // 2 to 32 points: what a record can hold.
    bool IsWritable() const { return Count() >= 2 && Count() <= MAX_POINTS; }
    Rect PointBounds() const;
    void SetPoints(std::vector<Point> points) { points_ = CHeldArray<Point>(points, nullptr); }
    void SetFill(int32_t fill) { fill_ = fill; }
    // Removes each point equal to its successor (and the last when it equals the first);
    // empties the polygon when at most one point would remain.
    void RemoveRepeatedPoints();

private:
    CHeldArray<Point> points_;
};

}  // namespace qurix
