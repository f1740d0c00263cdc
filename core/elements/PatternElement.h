#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/geometry/Geometry.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix {

class CArena;

// The kind code by which pattern drawing dispatches; the values are stored nowhere but
// are fixed because callers switch on them.
enum class ElementKind : int32_t {
    None = 0,  // the abstract base
    Line = 1,
    Circle = 2,
    Polygon = 3,
    Arc = 4,
    Text = 5,
};

// One vector element of a pattern. The order of the virtual operations below is part of
// the element contract; keep it when adding to the class.
//
// Some operations normalise the element as a side effect (the polygon drops repeated
// points in IsValid and HitTest, the arc reduces its angles to one turn in Bounds and
// HitTest), so they are not const.
class CPatternElement {
public:
    static constexpr int32_t ANGLE_FULL_TURN = 5760;  // sixteenths of a degree
    static constexpr int32_t DEFAULT_STYLE = 0;
    static constexpr int32_t DEFAULT_WIDTH = 1;
    static constexpr int32_t NOT_FILLED = -1;

    virtual ~CPatternElement() = default;                             // 0
    virtual ElementKind Kind() const { return ElementKind::None; }    // 1
    virtual std::unique_ptr<CPatternElement> Clone() const = 0;       // 2
    virtual bool IsValid() { return true; }                           // 3
    virtual void Move(int32_t dx, int32_t dy) = 0;                    // 4
    virtual int32_t HandleCount() const = 0;                          // 5
    virtual Point Handle(int32_t index) const = 0;                    // 6
    virtual void SetHandle(int32_t index, int32_t x, int32_t y) = 0;  // 7
    // By default about the centre of the bounds.
    virtual void MirrorInPlace() { MirrorAbout(Bounds().Center().x); }  // 8
    virtual void MirrorAbout(int32_t axisX) = 0;                        // 9
    virtual void RotateInPlace() { RotateAbout(Bounds().Center()); }    // 10
    virtual void RotateAbout(Point centre) = 0;                         // 11
    virtual bool HitTest(Point /*p*/) { return false; }                 // 12
    virtual bool IsInside(const Rect& /*r*/) { return false; }          // 13
    virtual Rect Bounds() = 0;                                          // 14
    // Consumes the record up to and including its own end tag (the reader stands just
    // after the start tag); false when the element is unusable and must be dropped. With
    // an arena, what the element holds beside itself (texts, points) is put there.
    virtual bool Read(CRecordReader& reader, CArena* arena = nullptr) = 0;  // 15
    // Writes the whole record as one line; with an origin every coordinate is written
    // relative to it. False when nothing usable could be written or the writer failed.
    virtual bool Write(CRecordWriter& writer, const Point* origin = nullptr) const = 0;  // 16

    // Line style: 0 solid, anything else broken.
    int32_t Style() const { return style_; }
    // Pen width in drawing units.
    int32_t Width() const { return width_; }
    // -1 not filled, 1 solid in the drawing colour, any other value a contrasting brush.
    int32_t Fill() const { return fill_; }
    // A fill of 0 or more also makes the inside count for hit tests.
    bool IsFilled() const { return fill_ >= 0; }

    void SetStyle(int32_t style) { style_ = style; }
    void SetWidth(int32_t width) { width_ = width; }

    // The end tag of some other record that ended the last Read (which then failed), or
    // empty. It belongs to an enclosing record: a pattern reader that meets its own "-PTN"
    // here closes the pattern instead of reading on into the records that follow.
    const std::string& StrayEndTag() const;

protected:
    CPatternElement() = default;
    CPatternElement(const CPatternElement& other);
    CPatternElement& operator=(const CPatternElement& other);

    // Keeps the end tag that ended the last Read (empty: none). Inline for the usual case,
    // an element read whole that held none before.
    void KeepStrayEndTag(std::string&& tag) {
        if (tag.empty() && !strayEndTag_) return;
        KeepStrayEndTagHeld(std::move(tag));
    }

    int32_t style_ = DEFAULT_STYLE;
    int32_t width_ = DEFAULT_WIDTH;
    int32_t fill_ = NOT_FILLED;

private:
    void KeepStrayEndTagHeld(std::string&& tag);

    // Held apart, since hardly any element has one and a pattern holds many elements.
    std::unique_ptr<std::string> strayEndTag_;
};

// Geometry shared by the element classes. All of it wraps on overflow.

// A quarter turn about centre, clockwise on screen (y grows downwards).
inline Point RotateQuarter(Point p, Point centre) {
    return Point{WrapSub(WrapAdd(centre.x, centre.y), p.y),
                 WrapSub(WrapAdd(centre.y, p.x), centre.x)};
}
// Mirror of x about the vertical line x = axisX.
inline int32_t MirrorX(int32_t x, int32_t axisX) {
    return WrapSub(WrapMul(2, axisX), x);
}
// Whether p lies within about one unit of the segment a-b.
bool SegmentHitTest(Point a, Point b, Point p);
// Converts a double to an integer by truncation toward zero, wrapping like the integer
// helpers when the result leaves the 32-bit range (and giving 0 for NaN).
int32_t TruncateToInt(double v);

}  // namespace qurix
