#include "core/elements/TwoPointElement.h"

#include "core/elements/ElementRecords.h"
#include "core/elements/TwoPointRecord.h"

namespace qurix {

void CTwoPointElement::Move(int32_t dx, int32_t dy) {
    p1_ += Point{dx, dy};
    p2_ += Point{dx, dy};
}

void CTwoPointElement::SetHandle(int32_t index, int32_t x, int32_t y) {
    (index == 0 ? p1_ : p2_) = Point{x, y};
}

void CTwoPointElement::MirrorAbout(int32_t axisX) {
    p1_.x = MirrorX(p1_.x, axisX);
    p2_.x = MirrorX(p2_.x, axisX);
}

void CTwoPointElement::RotateInPlace() {
    RotateAbout(Point{Mid(p1_.x, p2_.x), Mid(p1_.y, p2_.y)});
}

void CTwoPointElement::RotateAbout(Point centre) {
    p1_ = RotateQuarter(p1_, centre);
    p2_ = RotateQuarter(p2_, centre);
}

bool CTwoPointElement::IsInside(const Rect& r) {
    return r.Contains(p1_) && r.Contains(p2_);
}

bool CTwoPointElement::ReadPoints(CRecordReader& reader, const char* endTag, bool withFill) {
    TwoPointFields f;
    std::string stray;
    const RecordEnd end = ReadTwoPointRecord(reader, endTag, withFill, stray, f);
    KeepStrayEndTag(std::move(stray));
    if (end == RecordEnd::Failed) {
        return false;
    }
    width_ = f.pen.width;
    style_ = f.pen.style;
    if (withFill) fill_ = f.pen.fill;
    p1_ = f.p1;
    p2_ = f.p2;
    return true;
}

bool CTwoPointElement::WritePoints(CRecordWriter& writer, const char* startTag, const char* endTag,
                                   bool withFill, const Point* origin) const {
    TwoPointFields f;
    f.pen.width = width_;
    f.pen.style = style_;
    if (withFill) f.pen.fill = fill_;
    f.p1 = p1_;
    f.p2 = p2_;
    return WriteTwoPointRecord(writer, startTag, endTag, withFill, f, origin);
}

}  // namespace qurix
