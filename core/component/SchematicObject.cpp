#include "core/component/SchematicObject.h"

#include "core/elements/PatternElement.h"

namespace qurix {

bool CSchematicObject::SetLayer(int32_t layer) {
    if (layer < 0 || layer > MAX_LAYER) return false;
    layer_ = layer;
    return true;
}

void CSchematicObject::Move(int32_t dx, int32_t dy) {
    const Point d{dx, dy};
    const int32_t which = editState_ & (EDIT_MOVE_POSITION | EDIT_MOVE_POINT2);
    // A selected end point moves alone; otherwise the whole object moves.
    if (which != EDIT_MOVE_POINT2) SetPosition(Position() + d);
    if (which != EDIT_MOVE_POSITION) SetPoint2(Point2() + d);
}

void CSchematicObject::MirrorInPlace() {
    MirrorAbout(Mid(Position().x, Point2().x));
}

void CSchematicObject::MirrorAbout(int32_t axisX) {
    SetX(MirrorX(Position().x, axisX));
    SetX2(MirrorX(Point2().x, axisX));
}

void CSchematicObject::RotateInPlace() {
    RotateAbout(Point{Mid(Position().x, Point2().x), Mid(Position().y, Point2().y)});
}

void CSchematicObject::RotateAbout(Point centre) {
    SetPosition(RotateQuarter(Position(), centre));
    SetPoint2(RotateQuarter(Point2(), centre));
}

}  // namespace qurix
