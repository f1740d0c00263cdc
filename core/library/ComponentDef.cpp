#include "core/library/ComponentDef.h"

#include <iterator>

#include "core/records/RecordLoop.h"

namespace qurix {

CComponentDef::CComponentDef(const CComponentDef& other)
    : prefix_(other.prefix_),
      hasPrefix_(other.hasPrefix_),
      width_(other.width_),
      height_(other.height_),
      blockCount_(other.blockCount_),
      pattern_(other.pattern_),
      heldPattern_(other.SharedPattern()),
      pins_(other.pins_),
      note_(other.note_) {}

std::shared_ptr<const CPattern> CComponentDef::SharedPattern() const {
    if (heldPattern_ || !pattern_) return heldPattern_;
    return pattern_->Arena() ? pattern_->Arena()->SharedFrom(pattern_) : nullptr;
}

CComponentDef::~CComponentDef() = default;

const CPinDef* CComponentDef::Pin(int32_t i) const {
    if (i < 0 || i >= PinCount()) return nullptr;
    return &pins_[static_cast<size_t>(i)];
}

int64_t CComponentDef::MemoryBytes() const {
    int64_t bytes = sizeof(CComponentDef) + static_cast<int64_t>(note_.size() + prefix_.size());
    for (const CPinDef& pin : pins_) bytes += pin.MemoryBytes();
    return bytes;
}

bool CComponentDef::ReadComponent(CRecordReader& reader, std::string& partName,
                                  std::string& patternName, std::vector<CPinDef>* scratch,
                                  CArena* arena,
                                  const std::function<void(std::string_view)>* onName) {
    prefix_ = CText();
    hasPrefix_ = false;
    SetPattern(nullptr);
    pins_ = {};
    partName.clear();
    patternName.clear();
    std::string_view prefix = "U";
    CText note;
    int32_t x = 0, y = 0, blocks = 0;
    std::vector<CPinDef> own;
    std::vector<CPinDef>& pins = scratch ? *scratch : own;
    pins.clear();

    // Reasons name the part when its name has been read, so a check can point at it.
    const auto named = [&](const std::string& why) {
        return (partName.empty() ? std::string("component")
                                 : "component " + ReasonToken(partName)) +
               ": " + why;
    };
    const auto fail = [&](const std::string& why) {
        return reader.Fail([&] { return named(why); });
    };

    const auto onNested = [&](std::string_view tag, int32_t) {
        if (tag != "+PIN") return Nested::Skip;
        if (x < 1 || y < 1 || blocks < 1) {
            fail("pin before size and block count");
            return Nested::Failed;
        }
        CPinDef& pin = pins.emplace_back();
        if (!pin.ReadPin(reader, blocks, arena)) {
            pins.pop_back();
            fail("pin " + std::to_string(pins.size()));
            return Nested::Failed;
        }
        return Nested::Read;
    };
    const auto onData = [&](std::string_view key, std::string_view v) {
        if (key == "N") {
            partName = v;
            if (onName) (*onName)(v);
        } else if (key == "X" || key == "Y") {
            const int32_t n = ParseInt(v);
            if (n < 0) {
                return fail(std::string(key == "X" ? "width " : "height ") + std::to_string(n) +
                            " is negative");
            }
            (key == "X" ? x : y) = n;
        } else if (key == "B") {
            const int32_t n = ParseInt(v);
            if (blocks != 0) return fail("second block count " + ReasonToken(v));
            if (n < 0 || n > MAX_BLOCKS) {
                return fail("block count " + std::to_string(n) + " out of range");
            }
            blocks = n;
        } else if (key == "R") {
            prefix_ = CText::Make(arena, v);
            prefix = prefix_;
        } else if (key == "P") {
            patternName = v;
        } else if (key == "NOTE") {
            note = CText::Make(arena, v);
        }
        return true;
    };
    const auto reason = [&](RecordFault fault, const std::string& tag, int32_t line) {
        if (fault == RecordFault::NestedNeverEnds) return NestedNeverEndsReason(tag, line);
        return named("unexpected end tag " + tag);
    };

    switch (ReadRecord(reader, {"-COMP"}, onData, onNested, reason)) {
        case RecordEnd::Failed:
            return false;
        case RecordEnd::EndOfInput:
            break;  // a cut file keeps what it has
        case RecordEnd::EndTag:
            if (partName.empty()) return fail("no name at -COMP");
            if (x < 1 || y < 1) {
                return fail("size " + std::to_string(x) + " x " + std::to_string(y) + " at -COMP");
            }
            if (blocks < 1) return fail("no block count at -COMP");
            break;
    }

    if (prefix.data() != prefix_.data()) prefix_ = CText::Make(arena, prefix);
    hasPrefix_ = true;
    width_ = x;
    height_ = y;
    blockCount_ = blocks;
    // One block of the exact size.
    pins_ = CHeldArray<CPinDef>(pins, arena);
    pins.clear();
    note_ = std::move(note);
    return true;
}

bool CComponentDef::WriteComponent(CRecordWriter& writer, std::string_view partName) const {
    if (partName.empty() || partName[0] == '\0') return false;
    // The pattern is written under the name up to its first NUL, as a C text would be.
    const std::string name(partName.substr(0, partName.find('\0')));
    if (pattern_ && !pattern_->WritePattern(writer, name.c_str())) return false;
    bool ok = writer.WriteToken("+COMP") == 0 && writer.WriteKeyValue("N", partName) == 0 &&
              writer.EndLine() == 0;
    ok = ok && writer.WriteKeyInt("X", width_) == 0 && writer.WriteKeyInt("Y", height_) == 0 &&
         writer.WriteKeyInt("B", blockCount_) == 0 && writer.EndLine() == 0;
    ok = ok && writer.WriteKeyValue("R", prefix_) == 0 && writer.EndLine() == 0;
    if (ok && pattern_) ok = writer.WriteKeyValue("P", partName) == 0 && writer.EndLine() == 0;
    for (const CPinDef& pin : pins_) {
        if (!ok) break;
        ok = pin.WritePin(writer) && writer.EndLine() == 0;
    }
    return ok && writer.WriteKeyValue("NOTE", note_) == 0 && writer.WriteToken("-COMP") == 0 &&
           writer.EndLine() == 0;
}

}  // namespace qurix
