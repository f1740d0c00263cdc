#pragma once
#include "core/elements/TwoPointElement.h"

namespace qurix {

// An ellipse given by two opposite corners of its bounding box, in any order ("+C"
// record); optionally filled.
class CCircleElement : public CTwoPointElement {
public:
    CCircleElement() = default;

    ElementKind Kind() const override { return ElementKind::Circle; }
    std::unique_ptr<CPatternElement> Clone() const override;
    // A box-shaped ellipse is symmetric about its own centre: nothing changes.
    void MirrorInPlace() override {}
    bool HitTest(Point p) override;
    Rect Bounds() override { return Box(); }
    bool Read(CRecordReader& reader, CArena* arena = nullptr) override;
    bool Write(CRecordWriter& writer, const Point* origin = nullptr) const override;

    // The normalised bounding box of the two corners.
    Rect Box() const { return Rect::FromPoints(p1_, p2_).Normalized(); }
    void SetCorners(Point p1, Point p2) {
        p1_ = p1;
        p2_ = p2;
    }
    void SetFill(int32_t fill) { fill_ = fill; }
};

}  // namespace qurix
