#pragma once
#include <cstdint>
#include <string>

#include "core/geometry/Geometry.h"
#include "core/library/ComponentDef.h"
#include "core/memory/Text.h"

namespace qurix {

// One part of a library: a name bound to a component definition. The library owns
// the definition; a part and its aliases share it. A library's entries and their names
// live in its arena. The accessors forward to the
// definition and answer neutrally when there is none.
class CLibEntry {
public:
    CLibEntry() = default;
    CLibEntry(CText name, const CComponentDef* def) : name_(std::move(name)), def_(def) {}
    CLibEntry(std::string_view name, const CComponentDef* def) : name_(name), def_(def) {}

    // NUL-terminated through c_str(); unique within the library under exact comparison.
    const CText& Name() const { return name_; }
    const CComponentDef* ComponentDef() const { return def_; }
    void SetName(std::string_view name) { name_ = CText(name); }
    void SetComponentDef(const CComponentDef* def) { def_ = def; }

    // Null without a definition.
    const char* ReferencePrefix() const { return def_ ? def_->ReferencePrefix() : nullptr; }
    // In grid units; (0, 0) without a definition.
    Point Size() const { return def_ ? def_->Size() : Point::Zero(); }
    // In drawing units: the size times ten.
    Point DrawingSize() const {
        const Point s = Size();
        return Point::Make(WrapMul(s.x, GRID_UNIT), WrapMul(s.y, GRID_UNIT));
    }
    const CPattern* Pattern() const { return def_ ? def_->Pattern() : nullptr; }
    int32_t BlockCount() const { return def_ ? def_->BlockCount() : 0; }
    int32_t PinCount() const { return def_ ? def_->PinCount() : 0; }
    const CPinDef* Pin(int32_t i) const { return def_ ? def_->Pin(i) : nullptr; }
    // The definition's note; empty without a definition.
    const CText& Note() const;

private:
    CText name_;
    const CComponentDef* def_ = nullptr;
};

inline const CText& CLibEntry::Note() const {
    static const CText EMPTY;
    return def_ ? def_->Note() : EMPTY;
}

}  // namespace qurix
