// The "+COMPONENT" record of a placed component: its placement, labels, note and part
// name, optionally preceded by its own definition in an embedded library block.
#include <memory>
#include <string>

#include "core/component/PlacedComponent.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/library/Pattern.h"
#include "core/records/RecordLoop.h"

namespace qurix {

namespace {

constexpr const char* START_TAG = "+COMPONENT";
constexpr const char* END_TAG = "-COMPONENT";

}  // namespace

bool CPlacedComponent::Write(CRecordWriter& writer, const Point* origin) const {
    bool ok = writer.WriteToken(START_TAG) == 0;
    const CComponentDef* def = Definition();
    // A definition its own reader would refuse (a library cut short can leave one) is not
    // embedded, so that every record written can be read back.
    if (def != nullptr && def->ReadsBack()) {
        std::string partName = libraryName_.c_str();
        if (partName.empty()) partName = name_.text.c_str();
        if (partName.empty()) partName = EMBEDDED_PART_NAME;
        ok = ok && writer.EndLine() == 0 && writer.WriteToken(CPartLibrary::LIB_HEADER) == 0 &&
             writer.EndLine() == 0;
        ok = ok && def->WriteComponent(writer, partName);
        ok = ok && writer.WriteToken(CPartLibrary::LIB_TRAILER) == 0 && writer.EndLine() == 0;
    }
    const int32_t x = origin ? WrapSub(position_.x, origin->x) : position_.x;
    const int32_t y = origin ? WrapSub(position_.y, origin->y) : position_.y;
    ok = ok && writer.WriteKeyInt("L", layer_) == 0 && writer.WriteKeyInt("X", x) == 0 &&
         writer.WriteKeyInt("Y", y) == 0 && writer.WriteKeyValue("LIB", libraryName_) == 0 &&
         writer.WriteKeyInt("DIR", direction_) == 0 && writer.WriteKeyInt("BLK", block_) == 0;
    ok = ok && writer.WriteKeyValue("N", name_.text) == 0 &&
         writer.WriteKeyInt("ND", name_.horizontal ? 1 : 0) == 0 &&
         writer.WriteKeyInt("NX", name_.offset.x) == 0 &&
         writer.WriteKeyInt("NY", name_.offset.y) == 0;
    ok = ok && writer.WriteKeyValue("R", reference_.text) == 0 &&
         writer.WriteKeyInt("RD", reference_.horizontal ? 1 : 0) == 0 &&
         writer.WriteKeyInt("RX", reference_.offset.x) == 0 &&
         writer.WriteKeyInt("RY", reference_.offset.y) == 0;
    return ok && writer.WriteKeyValue("NOTE", note_) == 0 && writer.WriteToken(END_TAG) == 0 &&
           writer.EndLine() == 0;
}

bool CPlacedComponent::Read(CRecordReader& reader, const Point* origin) {
    const bool ok = ReadRecord(reader, origin);
    // A failed read keeps what it stored; the pin sides still follow the part and
    // direction it left behind.
    RecomputePinSideMask();
    return ok;
}

bool CPlacedComponent::ReadRecord(CRecordReader& reader, const Point* origin) {
    bool seenX = false, seenY = false, seenLib = false, blockRead = false;
    const auto onNested = [&](const std::string& tag, int32_t) {
        // One embedded definition per record; a second block is passed over.
        if (tag != CPartLibrary::LIB_HEADER || blockRead) return Nested::Skip;
        auto def = std::make_unique<CComponentDef>();
        std::string partName;
        if (!ReadEmbeddedLibrary(reader, *def, partName)) {
            reader.Fail("component: embedded library block fails");
            return Nested::Failed;
        }
        InstallDefinition(std::move(def));
        libraryName_ = std::move(partName);
        blockRead = true;
        return Nested::Read;
    };
    const auto onData = [&](const std::string& key, const std::string& v) {
        const int32_t n = ParseInt(v);
        if (key == "L") {
            SetLayer(n);  // only 0 to 7 is taken
        } else if (key == "X") {
            position_.x = origin ? WrapAdd(n, origin->x) : n;
            seenX = true;
        } else if (key == "Y") {
            position_.y = origin ? WrapAdd(n, origin->y) : n;
            seenY = true;
        } else if (key == "LIB") {
            libraryName_ = v;
            seenLib = true;
            // An embedded definition wins over the libraries.
            if (!blockRead) {
                const CLibEntry* found = libraries_ ? libraries_->FindPartByName(v) : nullptr;
                std::unique_ptr<CComponentDef> def;
                if (found != nullptr && found->ComponentDef() != nullptr) {
                    def = std::make_unique<CComponentDef>(*found->ComponentDef());
                }
                InstallDefinition(std::move(def));
            }
        } else if (key == "DIR") {
            SetDirection(n);  // only 0 to 7 is taken
        } else if (key == "BLK") {
            SetBlock(n);  // out of range (or no part yet) gives 0
        } else if (key == "N") {
            SetName(v);
        } else if (key == "R") {
            SetReference(v);
        } else if (key == "NOTE") {
            note_ = v;
        } else if (key == "ND") {
            name_.horizontal = n != 0;
        } else if (key == "RD") {
            reference_.horizontal = n != 0;
        } else if (key == "NX") {
            name_.offset.x = n;
        } else if (key == "NY") {
            name_.offset.y = n;
        } else if (key == "RX") {
            reference_.offset.x = n;
        } else if (key == "RY") {
            reference_.offset.y = n;
        }
        return true;
    };
    const auto reason = [](RecordFault fault, const std::string& tag, int32_t line) {
        if (fault == RecordFault::StrayEndTag) return "component: unexpected end tag " + tag;
        if (tag == CPartLibrary::LIB_HEADER) {
            return std::string("component: embedded library block never ends");
        }
        return "component: " + NestedNeverEndsReason(tag, line);
    };
    const RecordSyntax syntax{.endTag = END_TAG, .endOfInputReason = "component record never ends"};
    if (qurix::ReadRecord(reader, syntax, onData, onNested, reason) == RecordEnd::Failed) {
        return false;
    }
    if (seenX && seenY && seenLib) return true;
    return reader.Fail("component: X, Y or LIB missing at -COMPONENT");
}

// Reads the block after "+KIVOX_LIB_V.1.0": one pattern and one component. Tokens of
// other records pass unnoticed, but their end tags fail the block.
bool CPlacedComponent::ReadEmbeddedLibrary(CRecordReader& reader, CComponentDef& def,
                                           std::string& partName) {
    std::unique_ptr<CPattern> pattern;
    bool componentRead = false;
    const auto onNested = [&](const std::string& tag, int32_t) {
        if (tag == "+PTN") {
            if (pattern) return Nested::Skip;
            auto read = std::make_unique<CPattern>();
            // A pattern that fails to read is dropped; the part is still usable.
            if (read->ReadPattern(reader)) pattern = std::move(read);
        } else if (tag == "+COMP") {
            if (componentRead) return Nested::Skip;
            std::string patternName;
            if (!def.ReadComponent(reader, partName, patternName)) {
                reader.Fail("embedded library: component fails");
                return Nested::Failed;
            }
            componentRead = true;
        }
        return Nested::Read;
    };
    const auto reason = [&](RecordFault fault, const std::string& tag, int32_t) {
        if (fault == RecordFault::NestedNeverEnds) {
            return std::string(tag == "+PTN" ? "embedded library: second pattern never ends"
                                             : "embedded library: second component never ends");
        }
        return componentRead ? "embedded library: unexpected end tag " + tag
                             : std::string("embedded library without a component");
    };
    const auto ignoreData = [](const std::string&, const std::string&) { return true; };
    const RecordSyntax syntax{.endTag = CPartLibrary::LIB_TRAILER,
                              .endOfInputReason = "embedded library never ends"};
    if (qurix::ReadRecord(reader, syntax, ignoreData, onNested, reason) == RecordEnd::Failed) {
        return false;
    }
    if (!componentRead) return reader.Fail("embedded library without a component");
    // The budget of a library stream of unknown size: what the part may hold however long
    // its record is.
    const int64_t bytes = def.MemoryBytes() + (pattern ? pattern->MemoryBytes() : 0);
    if (bytes > CPartLibrary::MEMORY_BUDGET_BASE) {
        return reader.Fail("embedded library: the part needs more than " +
                           std::to_string(CPartLibrary::MEMORY_BUDGET_BASE) + " bytes of memory");
    }
    def.SetPattern(std::move(pattern));
    return true;
}

}  // namespace qurix
