#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/component/SchematicObject.h"
#include "core/geometry/Geometry.h"
#include "core/library/ComponentDef.h"
#include "core/library/LibEntry.h"
#include "core/library/PinDef.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix {

class CLibrarySet;

// One pin of a placed component, where it ends up after the placement.
struct PlacedPin {
    const CPinDef* pin = nullptr;  // null: no such pin
    // The side after turning and mirroring: CPinDef::SIDE_LEFT, _TOP, _RIGHT or _BOTTOM.
    int32_t side = CPinDef::SIDE_LEFT;
    Point position;  // on the body outline
    Point tip;  // where wires attach: CPinDef::PIN_LENGTH outward, or the position for a "Z" pin

    explicit operator bool() const { return pin != nullptr; }
};

// A component definition set down in drawing space: at a position (the lower right
// corner of its body), in one of eight directions, showing one block, with a name label
// and a reference label. It holds its own deep copy of the definition unless it was
// given a shared part.
class CPlacedComponent : public CSchematicObject {
public:
    static constexpr int32_t DEFAULT_BODY_SIZE = 20;  // width and height without a part
    static constexpr int32_t DIRECTION_COUNT = 8;
    // Bits of the pin-side mask.
    static constexpr int32_t SIDE_BIT_LEFT = 1;
    static constexpr int32_t SIDE_BIT_TOP = 2;
    static constexpr int32_t SIDE_BIT_RIGHT = 4;
    static constexpr int32_t SIDE_BIT_BOTTOM = 8;
    // Bits added to the hit-test score for each part that is hit.
    static constexpr int32_t HIT_BODY = 0x10000;
    static constexpr int32_t HIT_NAME = 0x20000;
    static constexpr int32_t HIT_REFERENCE = 0x40000;
    static constexpr int32_t HIT_SCORE_MASK = 0xFFFF;
    // Label defaults, relative to the position.
    static constexpr Point DEFAULT_NAME_OFFSET{2, 20};
    static constexpr Point DEFAULT_REFERENCE_OFFSET{2, 10};
    // Width per byte and height of a label whose drawn size is not known yet.
    static constexpr int32_t LABEL_CHAR_WIDTH = 8;
    static constexpr int32_t LABEL_HEIGHT = 10;
    // The part name an embedded definition is written under when there is no other.
    static constexpr const char* EMBEDDED_PART_NAME = "EMB";

    CPlacedComponent() = default;
    // Copies follow the ownership rules: an owned definition is deep-copied, a shared
    // part stays shared.
    CPlacedComponent(const CPlacedComponent& other);
    CPlacedComponent& operator=(const CPlacedComponent& other);
    ~CPlacedComponent() override;

    // --- The object contract (slot order is kept in CSchematicObject) ---
    // The "+COMPONENT" record; the reader stands just after "+COMPONENT". "LIB" names
    // are looked up in the library set given to SetLibrarySet (none: nothing is found).
    bool Read(CRecordReader& reader, const Point* origin = nullptr) override;
    // True only when every byte was written.
    bool Write(CRecordWriter& writer, const Point* origin = nullptr) const override;
    ObjectKind Kind() const override { return ObjectKind::Component; }
    // The second point has no meaning for a component.
    void SetX2(int32_t) override {}
    void SetY2(int32_t) override {}
    void SetPoint2(Point) override {}
    std::unique_ptr<CSchematicObject> Clone() const override;
    void Move(int32_t dx, int32_t dy) override;
    // Mirrors about the body's centre; the body stays where it is.
    void MirrorInPlace() override;
    // Mirrors left to right about the vertical line x = axisX: labels, direction,
    // pin-side mask and position.
    void MirrorAbout(int32_t axisX) override;
    // A quarter turn clockwise that keeps the lower right corner; labels go back to
    // their default places.
    void RotateInPlace() override;
    // A quarter turn clockwise of the body's centre about centre.
    void RotateAbout(Point centre) override;
    // 0 on a miss; else HIT_BODY, HIT_NAME and HIT_REFERENCE for the parts hit, plus the
    // best score (1 at an edge up to 65 in the middle).
    int32_t HitTest(Point p) const override;
    int32_t TouchTest(const Rect& r) const override;
    int32_t InnerTouchTest(const Rect& r) const override;
    bool HasConnectableBody() const override { return true; }
    int32_t PinCount() const override;
    // The pin's tip; (0, 0) for an index without a pin.
    Point PinTip(int32_t index) const override;
    // The body grown by a pin stub on every side that has pins with stubs.
    Rect Area() const override;
    // The body rectangle.
    Rect Bounds() const override;
    bool IsSelectable() const override { return true; }
    bool IsPart() const override { return true; }

    // --- The part ---
    // A deep copy of entry's definition becomes the owned part; libraryName becomes
    // the entry's name. Null changes nothing.
    void SetPart(const CLibEntry* entry);
    // Shows entry without copying it; the caller keeps it alive as long as this object
    // and its copies use it.
    void SetSharedPart(const CLibEntry* entry);
    // Null without a part.
    const CLibEntry* Part() const { return part_; }
    // Null without a part or when the part has no definition.
    const CComponentDef* Definition() const { return part_ ? part_->ComponentDef() : nullptr; }
    bool OwnsPart() const { return ownsPart_; }
    // The part's name in the libraries ("LIB").
    const std::string& LibraryName() const { return libraryName_; }
    void SetLibraryName(std::string name) { libraryName_ = std::move(name); }
    const std::string& Note() const { return note_; }
    void SetNote(std::string note) { note_ = std::move(note); }
    // Where "LIB" names are looked up while reading; not owned, may be null.
    void SetLibrarySet(const CLibrarySet* libraries) { libraries_ = libraries; }

    // --- Placement ---
    // 0..3 quarter turns clockwise, plus DIRECTION_MIRRORED (core/geometry).
    int32_t Direction() const { return direction_; }
    // Only 0 to 7 is taken; false and no change otherwise.
    bool SetDirection(int32_t direction);
    // The block shown; always 0 to block count - 1 (0 without a part).
    int32_t Block() const { return block_; }
    // Out-of-range values (and any value without a part) give block 0; false then.
    bool SetBlock(int32_t block);
    // The SIDE_BIT_ flags of the placed sides that carry pins with stubs.
    int32_t PinSideMask() const { return pinSideMask_; }
    // The body's width and height in drawing units, swapped for odd directions.
    Point BodySize() const;
    // A point of the part's own drawing (upper left corner at (0, 0), unturned) placed
    // into drawing space.
    Point PlacePoint(Point local) const;
    // Where an unturned side of the body ends up.
    int32_t PlacedSide(int32_t side) const;
    // Pin index with its placed side, its point on the body outline and its tip; a
    // null pin for an index out of range or without a part.
    PlacedPin PinPosition(int32_t index) const;

    // --- Labels ---
    // Setting a text forgets its drawn size.
    const std::string& Name() const { return name_.text; }
    void SetName(std::string name) { SetLabelText(name_, std::move(name)); }
    Point NameOffset() const { return name_.offset; }
    void SetNameOffset(Point offset) { name_.offset = offset; }
    bool NameHorizontal() const { return name_.horizontal; }
    void SetNameHorizontal(bool horizontal) { name_.horizontal = horizontal; }
    // position + name offset: the lower left corner of a horizontal label, the lower
    // right corner of a vertical one (its text runs upward).
    Point NameAnchor() const { return Position() + name_.offset; }
    bool NameSizeKnown() const { return name_.sizeKnown; }
    // (width along the text, height); meaningful when NameSizeKnown().
    Point NameDrawnSize() const { return name_.drawnSize; }
    // Called by the renderer after drawing the name label.
    void ReportNameSize(int32_t width, int32_t height) { ReportSize(name_, width, height); }
    // The drawn size when known, else LABEL_CHAR_WIDTH per byte by LABEL_HEIGHT.
    Point NameExtent() const { return LabelExtent(name_); }
    Rect NameLabelRect() const { return LabelRect(name_); }

    const std::string& Reference() const { return reference_.text; }
    void SetReference(std::string reference) { SetLabelText(reference_, std::move(reference)); }
    Point ReferenceOffset() const { return reference_.offset; }
    void SetReferenceOffset(Point offset) { reference_.offset = offset; }
    bool ReferenceHorizontal() const { return reference_.horizontal; }
    void SetReferenceHorizontal(bool horizontal) { reference_.horizontal = horizontal; }
    Point ReferenceAnchor() const { return Position() + reference_.offset; }
    bool ReferenceSizeKnown() const { return reference_.sizeKnown; }
    Point ReferenceDrawnSize() const { return reference_.drawnSize; }
    void ReportReferenceSize(int32_t width, int32_t height) {
        ReportSize(reference_, width, height);
    }
    Point ReferenceExtent() const { return LabelExtent(reference_); }
    Rect ReferenceLabelRect() const { return LabelRect(reference_); }

private:
    struct Label {
        std::string text;
        Point offset;
        bool sizeKnown = false;
        Point drawnSize;  // width, height
        bool horizontal = true;
    };

    static void SetLabelText(Label& label, std::string text) {
        label.text = std::move(text);
        label.sizeKnown = false;
    }
    static void ReportSize(Label& label, int32_t width, int32_t height) {
        label.drawnSize = Point{width, height};
        label.sizeKnown = true;
    }
    static Point LabelExtent(const Label& label);
    Rect LabelRect(const Label& label) const;
    // The label's reach along x, negative for a vertical label (it lies left of its anchor).
    static int32_t LabelWidthAlongX(const Label& label);
    static void MirrorLabel(Label& label, int32_t bodyWidth);

    void CopyFrom(const CPlacedComponent& other);
    void ReleasePart();
    // def (null: no part) becomes the owned part; block and pin sides follow.
    void InstallDefinition(std::unique_ptr<CComponentDef> def);
    void KeepBlockInRange();
    void RecomputePinSideMask();
    // The direction and mask of a quarter turn clockwise; labels back to defaults.
    void TurnQuarter();
    // Unturned width and height of the part's drawing.
    Point UnturnedSize() const;

    bool ReadRecord(CRecordReader& reader, const Point* origin);
    bool ReadEmbeddedLibrary(CRecordReader& reader, CComponentDef& def, std::string& partName);

    Label name_{std::string(), DEFAULT_NAME_OFFSET, false, Point{}, true};
    Label reference_{std::string(), DEFAULT_REFERENCE_OFFSET, false, Point{}, true};
    int32_t block_ = 0;
    int32_t direction_ = 0;
    int32_t pinSideMask_ = 0;
    // The part shown: ownedEntry_ when ownsPart_, else an entry kept alive elsewhere.
    const CLibEntry* part_ = nullptr;
    bool ownsPart_ = true;
    std::unique_ptr<CLibEntry> ownedEntry_;
    std::unique_ptr<CComponentDef> ownedDef_;
    std::string libraryName_;
    std::string note_;
    const CLibrarySet* libraries_ = nullptr;
};

}  // namespace qurix
