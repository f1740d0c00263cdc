// The "+COMPONENT" record of a placed component: its placement, labels, note and part
// name, optionally preceded by its own definition in an embedded library block.
#include <memory>
#include <string>

#include "core/component/PlacedComponent.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/library/Pattern.h"

namespace qurix {

namespace {

constexpr const char* START_TAG = "+COMPONENT";
constexpr const char* END_TAG = "-COMPONENT";

// Texts end at their first NUL, as everywhere in the record format.
std::string ValueText(const std::string& value) {
    return std::string(value.c_str());
}

// A definition that its own reader would refuse at "-COMP" (a library cut short can
// leave one) is not embedded, so that every record written can be read back.
bool ReadsBack(const CComponentDef& def) {
    return def.Width() >= 1 && def.Height() >= 1 && def.BlockCount() >= 1;
}

}  // namespace

bool CPlacedComponent::Write(CRecordWriter& writer, const Point* origin) const {
    bool ok = writer.WriteToken(START_TAG) == 0;
    const CComponentDef* def = Definition();
    if (def != nullptr && ReadsBack(*def)) {
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
    std::string token, key, value;
    for (;;) {
        const int32_t line = reader.ReadToken(token);
        if (line == -1) return reader.Fail("component record never ends");
        if (IsEndTag(token)) {
            if (token != END_TAG) {
                if (!reader.Listening()) return false;
                return reader.Fail("component: unexpected end tag " + token);
            }
            if (seenX && seenY && seenLib) return true;
            return reader.Fail("component: X, Y or LIB missing at -COMPONENT");
        }
        if (token == CPartLibrary::LIB_HEADER) {
            if (blockRead) {
                // One embedded definition per record; a second block is passed over.
                if (reader.SkipToToken(CPartLibrary::LIB_TRAILER) == -1) {
                    return reader.Fail("component: embedded library block never ends");
                }
                continue;
            }
            auto def = std::make_unique<CComponentDef>();
            std::string partName;
            if (!ReadEmbeddedLibrary(reader, *def, partName)) {
                return reader.Fail("component: embedded library block fails");
            }
            InstallDefinition(std::move(def));
            libraryName_ = std::move(partName);
            blockRead = true;
            continue;
        }
        if (IsStartTag(token)) {
            if (!SkipRecord(reader, token)) {
                if (!reader.Listening()) return false;
                return reader.Fail("component: record " + token + " from line " +
                                   std::to_string(line) + " never ends");
            }
            continue;
        }
        if (!SplitDataToken(token, key, value)) continue;
        const std::string v = ValueText(value);
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
    }
}

// Reads the block after "+KIVOX_LIB_V.1.0": one pattern and one component. Tokens of
// other records pass unnoticed, but their end tags fail the block.
bool CPlacedComponent::ReadEmbeddedLibrary(CRecordReader& reader, CComponentDef& def,
                                           std::string& partName) {
    std::unique_ptr<CPattern> pattern;
    bool componentRead = false;
    std::string token;
    for (;;) {
        if (reader.ReadToken(token) == -1) return reader.Fail("embedded library never ends");
        if (IsEndTag(token)) {
            if (token == CPartLibrary::LIB_TRAILER && componentRead) {
                def.SetPattern(std::move(pattern));
                return true;
            }
            if (!reader.Listening()) return false;
            return reader.Fail(componentRead ? "embedded library: unexpected end tag " + token
                                             : "embedded library without a component");
        }
        if (token == "+PTN") {
            if (pattern) {
                if (reader.SkipToToken("-PTN") == -1) {
                    return reader.Fail("embedded library: second pattern never ends");
                }
                continue;
            }
            auto read = std::make_unique<CPattern>();
            // A pattern that fails to read is dropped; the part is still usable.
            if (read->ReadPattern(reader)) pattern = std::move(read);
            continue;
        }
        if (token == "+COMP") {
            if (componentRead) {
                if (reader.SkipToToken("-COMP") == -1) {
                    return reader.Fail("embedded library: second component never ends");
                }
                continue;
            }
            std::string patternName;
            if (!def.ReadComponent(reader, partName, patternName)) {
                return reader.Fail("embedded library: component fails");
            }
            componentRead = true;
        }
    }
}

}  // namespace qurix
