#pragma once
#include "core/elements/PatternElement.h"

namespace qurix {

// An ellipse given by two opposite corners of its bounding box, in any order ("+C"
// record); optionally filled.
class CCircleElement : public CPatternElement {
public:
    CCircleElement() = default;

    ElementKind Kind() const override { return ElementKind::Circle; }
    std::unique_ptr<CPatternElement> Clone() const override;
    bool IsValid() override { return !(p1_ == p2_); }
    void Move(int32_t dx, int32_t dy) override;
    int32_t HandleCount() const override { return 2; }
    Point Handle(int32_t index) const override { return index == 0 ? p1_ : p2_; }
    void SetHandle(int32_t index, int32_t x, int32_t y) override;
    // A box-shaped ellipse is symmetric about its own centre: nothing changes.
    void MirrorInPlace() override {}
    void MirrorAbout(int32_t axisX) override;
    void RotateInPlace() override;
    void RotateAbout(Point centre) override;
    bool HitTest(Point p) override;
    bool IsInside(const Rect& r) override;
    Rect Bounds() override { return Box(); }
    bool Read(CRecordReader& reader, CArena* arena = nullptr) override;
    bool Write(CRecordWriter& writer, const Point* origin = nullptr) const override;

    const Point& P1() const { return p1_; }
    const Point& P2() const { return p2_; }
    // The normalised bounding box of the two corners.
    Rect Box() const { return Rect::FromPoints(p1_, p2_).Normalized(); }
    void SetCorners(Point p1, Point p2) {
        p1_ = p1;
        p2_ = p2;
    }
    void SetFill(int32_t fill) { fill_ = fill; }

private:
    Point p1_{-1, -1};
    Point p2_{-1, -1};
};

}  // namespace qurix
