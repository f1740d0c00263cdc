#pragma once
#include "core/elements/TwoPointElement.h"

namespace qurix {

// A straight segment from p1 to p2 ("+L" record). It has no fill key: fill stays -1.
class CLineElement : public CTwoPointElement {
public:
    CLineElement() = default;

    ElementKind Kind() const override { return ElementKind::Line; }
    std::unique_ptr<CPatternElement> Clone() const override;
    void MirrorInPlace() override;
    bool HitTest(Point p) override;
    Rect Bounds() override { return Rect::FromPoints(p1_, p2_).Normalized(); }
    bool Read(CRecordReader& reader, CArena* arena = nullptr) override;
    bool Write(CRecordWriter& writer, const Point* origin = nullptr) const override;

    void SetPoints(Point p1, Point p2) {
        p1_ = p1;
        p2_ = p2;
    }
};

}  // namespace qurix
