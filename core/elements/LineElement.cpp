#include "core/elements/LineElement.h"

#include "core/elements/ElementRecords.h"
#include "core/elements/TwoPointRecord.h"

namespace qurix {

std::unique_ptr<CPatternElement> CLineElement::Clone() const {
    return std::make_unique<CLineElement>(*this);
}

void CLineElement::MirrorInPlace() {
    MirrorAbout(Mid(p1_.x, p2_.x));
}

bool CLineElement::HitTest(Point p) {
    return SegmentHitTest(p1_, p2_, p);
}

bool CLineElement::Read(CRecordReader& reader, CArena* /*arena*/) {
    return ReadPoints(reader, "-L", false);
}

bool CLineElement::Write(CRecordWriter& writer, const Point* origin) const {
    return WritePoints(writer, "+L", "-L", false, origin);
}

}  // namespace qurix
