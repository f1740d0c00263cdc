#include "core/component/PlacedComponent.h"

#include <algorithm>
#include <limits>

#include "core/elements/PatternElement.h"

namespace qurix {

namespace {

constexpr int32_t SIDE_MASK_ALL = 0xF;

bool IsOdd(int32_t direction) {
    return (direction & 1) != 0;
}
bool IsMirrored(int32_t direction) {
    return (direction & DIRECTION_MIRRORED) != 0;
}

// How centrally p lies in r: 0 on or outside an edge, up to 65 in the middle. Computed in
// 64 bits so that far-apart hostile coordinates cannot overflow.
int32_t HitScore(Point p, const Rect& r) {
    const int64_t dl = static_cast<int64_t>(p.x) - r.left;
    const int64_t dr = static_cast<int64_t>(r.right) - p.x;
    const int64_t dt = static_cast<int64_t>(p.y) - r.top;
    const int64_t db = static_cast<int64_t>(r.bottom) - p.y;
    if (dl <= 0 || dr <= 0 || dt <= 0 || db <= 0) return 0;
    const int64_t vertical = std::min(dt, db) * 16 / (dt + db);
    const int64_t horizontal = std::min(dl, dr) * 16 / (dl + dr);
    return static_cast<int32_t>(vertical * horizontal + 1);
}

int32_t ByteCount(const std::string& text) {
    return static_cast<int32_t>(
        std::min<size_t>(text.size(), static_cast<size_t>(std::numeric_limits<int32_t>::max())));
}

}  // namespace

CPlacedComponent::CPlacedComponent(const CPlacedComponent& other) : CSchematicObject(other) {
    CopyFrom(other);
}

CPlacedComponent& CPlacedComponent::operator=(const CPlacedComponent& other) {
    if (this != &other) {
        CSchematicObject::operator=(other);
        CopyFrom(other);
    }
    return *this;
}

CPlacedComponent::~CPlacedComponent() = default;

void CPlacedComponent::CopyFrom(const CPlacedComponent& other) {
    ReleasePart();
    name_ = other.name_;
    reference_ = other.reference_;
    block_ = other.block_;
    direction_ = other.direction_;
    pinSideMask_ = other.pinSideMask_;
    note_ = other.note_;
    ownsPart_ = other.ownsPart_;
    libraries_ = other.libraries_;
    if (!other.ownsPart_) {
        // Someone else keeps a shared part alive; the copy shares it too.
        part_ = other.part_;
    } else if (other.Definition() != nullptr) {
        ownedDef_ = std::make_unique<CComponentDef>(*other.Definition());
        ownedEntry_ = std::make_unique<CLibEntry>(std::string(), ownedDef_.get());
        part_ = ownedEntry_.get();
    }
    libraryName_ = other.libraryName_;
}

std::unique_ptr<CSchematicObject> CPlacedComponent::Clone() const {
    return std::make_unique<CPlacedComponent>(*this);
}

// --- The part ---

void CPlacedComponent::ReleasePart() {
    part_ = nullptr;
    ownedEntry_.reset();
    ownedDef_.reset();
}

void CPlacedComponent::InstallDefinition(std::unique_ptr<CComponentDef> def) {
    ReleasePart();
    ownsPart_ = true;
    if (def) {
        ownedDef_ = std::move(def);
        ownedEntry_ = std::make_unique<CLibEntry>(std::string(), ownedDef_.get());
        part_ = ownedEntry_.get();
    }
    KeepBlockInRange();
    RecomputePinSideMask();
}

void CPlacedComponent::SetPart(const CLibEntry* entry) {
    if (entry == nullptr) return;
    // Copy before releasing: entry may be this object's own part.
    std::string name(entry->Name());
    std::unique_ptr<CComponentDef> def;
    if (entry->ComponentDef() != nullptr) {
        def = std::make_unique<CComponentDef>(*entry->ComponentDef());
    }
    InstallDefinition(std::move(def));
    libraryName_ = std::move(name);
}

void CPlacedComponent::SetSharedPart(const CLibEntry* entry) {
    if (entry == nullptr) return;
    std::string name(entry->Name());
    ReleasePart();
    part_ = entry;
    ownsPart_ = false;
    libraryName_ = std::move(name);
    KeepBlockInRange();
    RecomputePinSideMask();
}

void CPlacedComponent::KeepBlockInRange() {
    const CComponentDef* def = Definition();
    const int32_t count = def ? def->BlockCount() : 0;
    if (block_ < 0 || block_ >= count) block_ = 0;
}

bool CPlacedComponent::SetBlock(int32_t block) {
    const CComponentDef* def = Definition();
    if (def == nullptr || block < 0 || block >= def->BlockCount()) {
        block_ = 0;
        return false;
    }
    block_ = block;
    return true;
}

bool CPlacedComponent::SetDirection(int32_t direction) {
    if (direction < 0 || direction >= DIRECTION_COUNT) return false;
    direction_ = direction;
    RecomputePinSideMask();
    return true;
}

int32_t CPlacedComponent::PinCount() const {
    const CComponentDef* def = Definition();
    return def ? def->PinCount() : 0;
}

// --- Geometry ---

Point CPlacedComponent::UnturnedSize() const {
    const CComponentDef* def = Definition();
    if (def == nullptr) return Point{DEFAULT_BODY_SIZE, DEFAULT_BODY_SIZE};
    return Point{WrapMul(def->Width(), GRID_UNIT), WrapMul(def->Height(), GRID_UNIT)};
}

Point CPlacedComponent::BodySize() const {
    const Point s = UnturnedSize();
    return IsOdd(direction_) ? Point{s.y, s.x} : s;
}

Rect CPlacedComponent::Bounds() const {
    const Point s = BodySize();
    return Rect{WrapSub(position_.x, s.x), WrapSub(position_.y, s.y), position_.x, position_.y};
}

Point CPlacedComponent::PlacePoint(Point local) const {
    const Point u = UnturnedSize();
    const Rect body = Bounds();
    return TransformInBox(local, direction_, u.x, u.y) + Point{body.left, body.top};
}

int32_t CPlacedComponent::PlacedSide(int32_t side) const {
    int32_t placed = WrapAdd(side, direction_) & DIRECTION_TURN_MASK;
    if (IsMirrored(direction_) && (placed == CPinDef::SIDE_LEFT || placed == CPinDef::SIDE_RIGHT)) {
        placed ^= 2;  // left and right change places
    }
    return placed;
}

PlacedPin CPlacedComponent::PinPosition(int32_t index) const {
    PlacedPin out;
    const CComponentDef* def = Definition();
    const CPinDef* pin = def ? def->Pin(index) : nullptr;
    if (pin == nullptr) return out;
    out.pin = pin;
    out.side = PlacedSide(pin->Side());

    const Point size = BodySize();
    const int32_t w = size.x, h = size.y;
    const int32_t d = WrapMul(pin->Offset(), GRID_UNIT);
    const int32_t px = position_.x, py = position_.y;
    const int32_t dir = direction_;
    // Which end of the placed side the offset counts from follows from the turn and the
    // mirror; these are the cases where it counts from the bottom or the right end.
    const bool fromBottom = dir == 2 || dir == 3 || dir == 6 || dir == 7;
    const bool fromRight = dir == 1 || dir == 2 || dir == 4 || dir == 7;
    switch (out.side) {
        case CPinDef::SIDE_LEFT:
        case CPinDef::SIDE_RIGHT:
            out.position.x = out.side == CPinDef::SIDE_LEFT ? WrapSub(px, w) : px;
            out.position.y = fromBottom ? WrapSub(py, d) : WrapAdd(WrapSub(py, h), d);
            break;
        default:
            out.position.y = out.side == CPinDef::SIDE_TOP ? WrapSub(py, h) : py;
            out.position.x = fromRight ? WrapSub(px, d) : WrapAdd(WrapSub(px, w), d);
            break;
    }

    out.tip = out.position;
    if (!pin->HasFlag(CPinDef::PIN_ZERO_LENGTH)) {
        switch (out.side) {
            case CPinDef::SIDE_LEFT:
                out.tip.x = WrapSub(out.tip.x, CPinDef::PIN_LENGTH);
                break;
            case CPinDef::SIDE_TOP:
                out.tip.y = WrapSub(out.tip.y, CPinDef::PIN_LENGTH);
                break;
            case CPinDef::SIDE_RIGHT:
                out.tip.x = WrapAdd(out.tip.x, CPinDef::PIN_LENGTH);
                break;
            default:
                out.tip.y = WrapAdd(out.tip.y, CPinDef::PIN_LENGTH);
                break;
        }
    }
    return out;
}

Point CPlacedComponent::PinTip(int32_t index) const {
    const PlacedPin placed = PinPosition(index);
    return placed ? placed.tip : Point{0, 0};
}

void CPlacedComponent::RecomputePinSideMask() {
    pinSideMask_ = 0;
    const int32_t count = PinCount();
    for (int32_t i = 0; i < count; ++i) {
        const PlacedPin placed = PinPosition(i);
        if (placed && placed.tip != placed.position) pinSideMask_ |= 1 << placed.side;
    }
}

Rect CPlacedComponent::Area() const {
    Rect r = Bounds();
    if (pinSideMask_ & SIDE_BIT_LEFT) r.left = WrapSub(r.left, CPinDef::PIN_LENGTH);
    if (pinSideMask_ & SIDE_BIT_TOP) r.top = WrapSub(r.top, CPinDef::PIN_LENGTH);
    if (pinSideMask_ & SIDE_BIT_RIGHT) r.right = WrapAdd(r.right, CPinDef::PIN_LENGTH);
    if (pinSideMask_ & SIDE_BIT_BOTTOM) r.bottom = WrapAdd(r.bottom, CPinDef::PIN_LENGTH);
    return r;
}

// --- Labels ---

Point CPlacedComponent::LabelExtent(const Label& label) {
    if (label.sizeKnown) return label.drawnSize;
    return Point{WrapMul(LABEL_CHAR_WIDTH, ByteCount(label.text)), LABEL_HEIGHT};
}

Rect CPlacedComponent::LabelRect(const Label& label) const {
    const Point e = LabelExtent(label);
    const Point a = Position() + label.offset;
    // A horizontal text stands on its anchor and runs right; a vertical one runs upward
    // from its anchor and lies to its left.
    if (label.horizontal) return Rect{a.x, WrapSub(a.y, e.y), WrapAdd(a.x, e.x), a.y};
    return Rect{WrapSub(a.x, e.y), WrapSub(a.y, e.x), a.x, a.y};
}

int32_t CPlacedComponent::LabelWidthAlongX(const Label& label) {
    if (label.horizontal) {
        return label.sizeKnown ? label.drawnSize.x
                               : WrapMul(LABEL_CHAR_WIDTH, ByteCount(label.text));
    }
    return label.sizeKnown ? WrapNeg(label.drawnSize.y) : -LABEL_HEIGHT;
}

void CPlacedComponent::MirrorLabel(Label& label, int32_t bodyWidth) {
    // Reflects the label about the body's centre.
    const int32_t c = LabelWidthAlongX(label);
    label.offset.x = WrapSub(WrapMul(WrapSub(WrapNeg(bodyWidth / 2), c / 2), 2), label.offset.x);
}

// --- Turning and mirroring ---

void CPlacedComponent::Move(int32_t dx, int32_t dy) {
    position_ += Point{dx, dy};
}

void CPlacedComponent::TurnQuarter() {
    name_.offset = DEFAULT_NAME_OFFSET;
    name_.horizontal = true;
    reference_.offset = DEFAULT_REFERENCE_OFFSET;
    reference_.horizontal = true;
    if (IsMirrored(direction_)) {
        // Turning a mirrored body clockwise is turning the unmirrored one back.
        direction_ = ((direction_ - 1) & DIRECTION_TURN_MASK) | DIRECTION_MIRRORED;
    } else {
        direction_ = (direction_ + 1) & DIRECTION_TURN_MASK;
    }
    pinSideMask_ = ((pinSideMask_ << 1) | (pinSideMask_ >> 3)) & SIDE_MASK_ALL;
}

void CPlacedComponent::RotateInPlace() {
    TurnQuarter();
}

void CPlacedComponent::RotateAbout(Point centre) {
    const Point m = Bounds().Center();
    TurnQuarter();
    const Point turned = RotateQuarter(m, centre);
    const Point size = BodySize();
    position_ = Point{WrapAdd(turned.x, size.x / 2), WrapAdd(turned.y, size.y / 2)};
}

void CPlacedComponent::MirrorInPlace() {
    MirrorAbout(WrapSub(position_.x, BodySize().x / 2));
}

void CPlacedComponent::MirrorAbout(int32_t axisX) {
    const int32_t b = BodySize().x;
    MirrorLabel(name_, b);
    MirrorLabel(reference_, b);
    // The new lower right corner is the mirror image of the old lower left one.
    position_.x = WrapSub(WrapAdd(WrapAdd(b / 2, WrapMul(2, axisX)), b / 2), position_.x);
    direction_ ^= DIRECTION_MIRRORED;
    const int32_t left = pinSideMask_ & SIDE_BIT_LEFT;
    const int32_t right = pinSideMask_ & SIDE_BIT_RIGHT;
    pinSideMask_ &= ~(SIDE_BIT_LEFT | SIDE_BIT_RIGHT);
    if (left) pinSideMask_ |= SIDE_BIT_RIGHT;
    if (right) pinSideMask_ |= SIDE_BIT_LEFT;
}

// --- Hit tests ---

int32_t CPlacedComponent::HitTest(Point p) const {
    const int32_t body = HitScore(p, Bounds());
    const int32_t name = HitScore(p, NameLabelRect());
    const int32_t reference = HitScore(p, ReferenceLabelRect());
    int32_t answer = 0;
    if (body > 0) answer |= HIT_BODY;
    if (name > 0) answer |= HIT_NAME;
    if (reference > 0) answer |= HIT_REFERENCE;
    return answer + std::max({body, name, reference});
}

int32_t CPlacedComponent::TouchTest(const Rect& r) const {
    return Bounds().Overlaps(r.Normalized()) ? 3 : 0;
}

int32_t CPlacedComponent::InnerTouchTest(const Rect& r) const {
    Rect inner = Bounds();
    inner.left = WrapAdd(inner.left, 3);
    inner.top = WrapAdd(inner.top, 3);
    inner.right = WrapSub(inner.right, 3);
    inner.bottom = WrapSub(inner.bottom, 3);
    return inner.Overlaps(r.Normalized()) ? 3 : 0;
}

}  // namespace qurix
