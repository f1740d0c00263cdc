#pragma once
#include "core/elements/PatternElement.h"

namespace qurix {

// A straight segment from p1 to p2 ("+L" record). It has no fill key: fill stays -1.
class CLineElement : public CPatternElement {
public:
    CLineElement() = default;

    ElementKind Kind() const override { return ElementKind::Line; }
    std::unique_ptr<CPatternElement> Clone() const override;
    bool IsValid() override { return !(p1_ == p2_); }
    void Move(int32_t dx, int32_t dy) override;
    int32_t HandleCount() const override { return 2; }
    Point Handle(int32_t index) const override { return index == 0 ? p1_ : p2_; }
    void SetHandle(int32_t index, int32_t x, int32_t y) override;
    void MirrorInPlace() override;
    void MirrorAbout(int32_t axisX) override;
    void RotateInPlace() override;
    void RotateAbout(Point centre) override;
    bool HitTest(Point p) override;
    bool IsInside(const Rect& r) override;
    Rect Bounds() override { return Rect::FromPoints(p1_, p2_).Normalized(); }
    bool Read(CRecordReader& reader, CArena* arena = nullptr) override;
    bool Write(CRecordWriter& writer, const Point* origin = nullptr) const override;

    const Point& P1() const { return p1_; }
    const Point& P2() const { return p2_; }
    void SetPoints(Point p1, Point p2) {
        p1_ = p1;
        p2_ = p2;
    }

private:
    Point p1_{-1, -1};
    Point p2_{-1, -1};
};

}  // namespace qurix
