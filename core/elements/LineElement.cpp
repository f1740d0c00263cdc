#include "core/elements/LineElement.h"

#include "core/elements/ElementRecords.h"
#include "core/elements/TwoPointRecord.h"

namespace qurix {

std::unique_ptr<CPatternElement> CLineElement::Clone() const {
    return std::make_unique<CLineElement>(*this);
}

void CLineElement::Move(int32_t dx, int32_t dy) {
    p1_ += Point{dx, dy};
    p2_ += Point{dx, dy};
}

void CLineElement::SetHandle(int32_t index, int32_t x, int32_t y) {
    (index == 0 ? p1_ : p2_) = Point{x, y};
}

void CLineElement::MirrorInPlace() {
    MirrorAbout(Mid(p1_.x, p2_.x));
}

void CLineElement::MirrorAbout(int32_t axisX) {
    p1_.x = MirrorX(p1_.x, axisX);
    p2_.x = MirrorX(p2_.x, axisX);
}

void CLineElement::RotateInPlace() {
    RotateAbout(Point{Mid(p1_.x, p2_.x), Mid(p1_.y, p2_.y)});
}

void CLineElement::RotateAbout(Point centre) {
    p1_ = RotateQuarter(p1_, centre);
    p2_ = RotateQuarter(p2_, centre);
}

bool CLineElement::HitTest(Point p) {
    return SegmentHitTest(p1_, p2_, p);
}

bool CLineElement::IsInside(const Rect& r) {
    return r.Contains(p1_) && r.Contains(p2_);
}

bool CLineElement::Read(CRecordReader& reader, CArena* /*arena*/) {
    TwoPointFields f;
    std::string stray;
    const RecordEnd end = ReadTwoPointRecord(reader, "-L", false, stray, f);
    KeepStrayEndTag(std::move(stray));
    if (end == RecordEnd::Failed) {
        return false;
    }
    width_ = f.pen.width;
    style_ = f.pen.style;
    p1_ = f.p1;
    p2_ = f.p2;
    return true;
}

bool CLineElement::Write(CRecordWriter& writer, const Point* origin) const {
    TwoPointFields f;
    f.pen.width = width_;
    f.pen.style = style_;
    f.p1 = p1_;
    f.p2 = p2_;
    return WriteTwoPointRecord(writer, "+L", "-L", false, f, origin);
}

}  // namespace qurix
