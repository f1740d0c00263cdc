#pragma once
#include "core/elements/PatternElement.h"

namespace qurix {

// An element given by two points, p1 and p2 (a segment, an ellipse's box corners), kept in
// one two-point record.
class CTwoPointElement : public CPatternElement {
public:
    bool IsValid() override { return !(p1_ == p2_); }
    void Move(int32_t dx, int32_t dy) override;
    int32_t HandleCount() const override { return 2; }
    Point Handle(int32_t index) const override { return index == 0 ? p1_ : p2_; }
    void SetHandle(int32_t index, int32_t x, int32_t y) override;
    void MirrorAbout(int32_t axisX) override;
    void RotateInPlace() override;
    void RotateAbout(Point centre) override;
    bool IsInside(const Rect& r) override;

    const Point& P1() const { return p1_; }
    const Point& P2() const { return p2_; }

protected:
    CTwoPointElement() = default;

    // The record from its start tag to endTag; withFill: it has a fill key. Nothing
    // changes when the record cannot be read.
    bool ReadPoints(CRecordReader& reader, const char* endTag, bool withFill);
    bool WritePoints(CRecordWriter& writer, const char* startTag, const char* endTag, bool withFill,
                     const Point* origin) const;

    Point p1_{-1, -1};
    Point p2_{-1, -1};
};

}  // namespace qurix
