#include "core/elements/LineElement.h"

#include "core/elements/ElementRecords.h"
#include "core/elements/PointPairReader.h"

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

bool CLineElement::Read(CRecordReader& reader) {
    int32_t width = DEFAULT_WIDTH;
    int32_t style = DEFAULT_STYLE;
    PointPairReader points;
    const RecordEnd end = ReadElementRecord(reader, "-L", strayEndTag_,
                                            [&](const std::string& key, const std::string& value) {
                                                if (key == "W") {
                                                    width = ParseInt(value);
                                                } else if (key == "S") {
                                                    style = ParseInt(value);
                                                } else {
                                                    points.Take(key, value);
                                                }
                                                return true;
                                            });
    if (end == RecordEnd::Failed) return false;
    width_ = width;
    style_ = style;
    p1_ = points.first;
    p2_ = points.second;
    return true;
}

bool CLineElement::Write(CRecordWriter& writer, const Point* origin) const {
    const Point o = origin ? *origin : Point::Zero();
    const Point a = p1_ - o;
    const Point b = p2_ - o;
    return writer.WriteToken("+L") == 0 && writer.WriteKeyInt("W", width_) == 0 &&
           writer.WriteKeyInt("S", style_) == 0 && writer.WriteKeyInt("X", a.x) == 0 &&
           writer.WriteKeyInt("Y", a.y) == 0 && writer.WriteKeyInt("X", b.x) == 0 &&
           writer.WriteKeyInt("Y", b.y) == 0 && writer.WriteToken("-L") == 0 &&
           writer.EndLine() == 0;
}

}  // namespace qurix
