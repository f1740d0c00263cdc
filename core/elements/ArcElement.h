#pragma once
#include "core/elements/PatternElement.h"

namespace qurix {

// A circular arc ("+AR" record): centre, radius and begin and end angles in sixteenths of
// a degree (0 to the right, counter-clockwise on screen). It runs counter-clockwise from
// begin to end, through angle 0 when begin is greater than end. It has no fill key.
class CArcElement : public CPatternElement {
public:
    // Distance of the derived ray points from the centre.
    static constexpr int32_t ARC_RAY_LENGTH = 500;

    CArcElement() { DeriveRays(); }

    ElementKind Kind() const override { return ElementKind::Arc; }
    std::unique_ptr<CPatternElement> Clone() const override;
    bool IsValid() override { return radius_ > 0; }
    void Move(int32_t dx, int32_t dy) override;
    int32_t HandleCount() const override { return 7; }
    // 0 and 1 the arc's end points, 2 the centre, 3 to 6 the right, top, left and bottom of
    // the circle (any other index counts as 6).
    Point Handle(int32_t index) const override;
    void SetHandle(int32_t index, int32_t x, int32_t y) override;
    void MirrorAbout(int32_t axisX) override;
    void RotateAbout(Point centre) override;
    // Reduces begin and end to within one turn and stores them.
    bool HitTest(Point p) override;
    bool IsInside(const Rect& r) override;
    // Reduces begin and end to within one turn and stores them.
    Rect Bounds() override;
    bool Read(CRecordReader& reader, CArena* arena = nullptr) override;
    bool Write(CRecordWriter& writer, const Point* origin = nullptr) const override;

    const Point& Centre() const { return centre_; }
    int32_t Radius() const { return radius_; }
    int32_t Begin() const { return begin_; }
    int32_t End() const { return end_; }
    // The points at ARC_RAY_LENGTH from the centre in the directions of begin and end; what
    // an arc drawing call takes as its start and end.
    Point BeginRay() const { return PointAtAngle(rayBegin_, ARC_RAY_LENGTH); }
    Point EndRay() const { return PointAtAngle(rayEnd_, ARC_RAY_LENGTH); }
    // The square box of the whole circle: centre -+ radius.
    Rect CircleBox() const;
    // The point at distance from the centre in the direction of angle.
    Point PointAtAngle(int32_t angle, int32_t distance) const;
    // The angle of p seen from the centre, 0 to 5760; 0 for the centre itself.
    int32_t AngleOf(Point p) const;

    void SetArc(Point centre, int32_t radius, int32_t begin, int32_t end);

private:
    void DeriveRays();
    void ReduceAngles();

    Point centre_{10, 10};
    int32_t radius_ = 10;
    int32_t begin_ = 0;
    int32_t end_ = ANGLE_FULL_TURN;
    // The angles of the rays, as they were when the arc was last set or moved: reducing
    // the angles to one turn leaves the rays as they were. Worked out only when asked for,
    // since a library reads far more arcs than it draws.
    int32_t rayBegin_ = 0;
    int32_t rayEnd_ = ANGLE_FULL_TURN;
};

}  // namespace qurix
