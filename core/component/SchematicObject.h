#pragma once
#include <cstdint>
#include <memory>

#include "core/geometry/Geometry.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix {

// The kind code of a placeable object; callers switch on the values, so they are fixed.
enum class ObjectKind : int32_t {
    None = 0,
    Component = 8,
};

// A placeable object of a schematic: two defining points, a layer and an edit state.
// The order of the virtual operations below is part of the object contract; keep it
// when adding to the class. All coordinate arithmetic wraps on overflow.
class CSchematicObject {
public:
    // Bits of the edit state that choose which points the base Move shifts.
    static constexpr int32_t EDIT_MOVE_POSITION = 1;
    static constexpr int32_t EDIT_MOVE_POINT2 = 2;
    static constexpr int32_t MAX_LAYER = 7;

    virtual ~CSchematicObject() = default;  // 0
    // Reads the object's record; the reader stands just after the start tag. With an
    // origin, stored coordinates are relative to it.
    virtual bool Read(CRecordReader& /*reader*/, const Point* /*origin*/ = nullptr) {  // 1
        return false;
    }
    // Writes the object's record; with an origin, coordinates are written relative to it.
    virtual bool Write(CRecordWriter& /*writer*/, const Point* /*origin*/ = nullptr) const {  // 2
        return false;
    }
    virtual ObjectKind Kind() const = 0;                                         // 3
    virtual void SetX(int32_t x) { position_.x = x; }                            // 4
    virtual void SetY(int32_t y) { position_.y = y; }                            // 5
    virtual void SetX2(int32_t x) { point2_.x = x; }                             // 6
    virtual void SetY2(int32_t y) { point2_.y = y; }                             // 7
    virtual void SetPosition(Point p) { position_ = p; }                         // 8
    virtual void SetPoint2(Point p) { point2_ = p; }                             // 9
    virtual int32_t X2() const { return point2_.x; }                             // 10
    virtual int32_t Y2() const { return point2_.y; }                             // 11
    virtual Point Point2() const { return point2_; }                             // 12
    virtual Point Position() const { return position_; }                         // 13
    virtual std::unique_ptr<CSchematicObject> Clone() const { return nullptr; }  // 14
    virtual void Move(int32_t dx, int32_t dy);                                   // 15
    virtual void MirrorInPlace();                                                // 16
    virtual void MirrorAbout(int32_t axisX);                                     // 17
    virtual void RotateInPlace();                                                // 18
    // A quarter turn clockwise on screen about centre.
    virtual void RotateAbout(Point centre);  // 19
    // 0 when p misses the object; otherwise which parts are hit and how centrally.
    virtual int32_t HitTest(Point /*p*/) const { return 0; }          // 20
    virtual void SetEditState(int32_t state) { editState_ = state; }  // 21
    virtual void ClearEditState() { editState_ = 0; }                 // 22
    // 3 when r touches the object, else 0.
    virtual int32_t TouchTest(const Rect& /*r*/) const { return 0; }  // 23
    // 3 when r reaches the object's inside, else 0.
    virtual int32_t InnerTouchTest(const Rect& /*r*/) const { return 0; }  // 24
    // Fixed answers kept for the object contract (25, 30, 31); the palette never asks.
    virtual bool HasConnectableBody() const { return false; }  // 25
    virtual int32_t PinCount() const { return 0; }             // 26
    // The point where wires attach to pin index.
    virtual Point PinTip(int32_t /*index*/) const { return Point{-1, -1}; }  // 27
    // Everything the object covers.
    virtual Rect Area() const { return Rect{-1, -1, -1, -1}; }    // 28
    virtual Rect Bounds() const { return Rect{-1, -1, -1, -1}; }  // 29
    virtual bool IsSelectable() const { return true; }            // 30
    virtual bool IsPart() const { return false; }                 // 31

    int32_t Layer() const { return layer_; }
    // Only 0 to MAX_LAYER is taken; false and no change otherwise.
    bool SetLayer(int32_t layer);
    int32_t EditState() const { return editState_; }

protected:
    CSchematicObject() = default;
    CSchematicObject(const CSchematicObject&) = default;
    CSchematicObject& operator=(const CSchematicObject&) = default;

    int32_t layer_ = 0;
    Point position_{-1, -1};
    Point point2_{0, 0};
    int32_t editState_ = 0;
};

}  // namespace qurix
