#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry/Geometry.h"
#include "core/library/Pattern.h"
#include "core/library/PinDef.h"
#include "core/memory/Arena.h"
#include "core/memory/HeldArray.h"
#include "core/memory/Text.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix {

// The body of a library part: a rectangle in grid units divided into blocks that share
// body, pattern and pins and differ only in pin numbers, with a reference prefix and
// a note.
class CComponentDef {
public:
    static constexpr int32_t MAX_BLOCKS = 256;

    // Prefix none, size (0, 0), one block, no pattern, no pins, empty note.
    CComponentDef() = default;
    // Pins and texts are copied, all the copy's own; the pattern, immutable, is shared (a
    // pattern in a library's arena keeps that arena alive as long as the copy holds it).
    CComponentDef(const CComponentDef& other);
    CComponentDef& operator=(const CComponentDef&) = delete;
    ~CComponentDef();

    std::unique_ptr<CComponentDef> Clone() const { return std::make_unique<CComponentDef>(*this); }

    // Reads a "+COMP" record; the reader stands just after "+COMP". Hands back the part
    // name ("N") and the pattern name ("P"); the caller attaches the pattern. A caller
    // that reads many parts lends scratch to read the pins into, so that each part
    // allocates only its own block of pins. With an arena (which must hold this
    // definition too), the pins and texts are put there. onName, when given, hears each
    // part name as it is read (the caller may get ready to file the part under it).
    bool ReadComponent(CRecordReader& reader, std::string& partName, std::string& patternName,
                       std::vector<CPinDef>* scratch = nullptr, CArena* arena = nullptr,
                       const std::function<void(std::string_view)>* onName = nullptr);
    // Writes the pattern (named after the part) and the record. False for an empty
    // name (nothing written) or a failed write.
    bool WriteComponent(CRecordWriter& writer, std::string_view partName) const;

    // NUL-terminated; null only before a record was read.
    const char* ReferencePrefix() const { return hasPrefix_ ? prefix_.c_str() : nullptr; }
    // Width and height in grid units (GRID_UNIT drawing units each).
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    Point Size() const { return Point::Make(width_, height_); }
    int32_t BlockCount() const { return blockCount_; }
    // Null when the body has no pattern.
    const CPattern* Pattern() const { return pattern_; }
    // The pattern, keeping what it lives in alive: itself, or its library's arena.
    std::shared_ptr<const CPattern> SharedPattern() const;
    int32_t PinCount() const { return static_cast<int32_t>(pins_.size()); }
    // Null when i is out of range.
    const CPinDef* Pin(int32_t i) const;
    const CText& Note() const { return note_; }

    // Gives the definition a pattern, its own or shared with other definitions (null
    // removes it).
    void SetPattern(std::shared_ptr<const CPattern> pattern) {
        pattern_ = pattern.get();
        heldPattern_ = std::move(pattern);
    }
    // The same for a definition in a library's arena, with a pattern of the same arena:
    // the arena keeps it, nothing is held.
    void SetPatternInArena(const CPattern* pattern) {
        pattern_ = pattern;
        heldPattern_.reset();
    }
    // About how many bytes the definition takes in memory, apart from its pattern and texts.
    int64_t MemoryBytes() const;
    // Whether its own reader would take the record written from it: a definition cut off
    // inside its record can lack its size or block count.
    bool ReadsBack() const { return width_ >= 1 && height_ >= 1 && blockCount_ >= 1; }

private:
    CText prefix_;
    bool hasPrefix_ = false;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t blockCount_ = 1;
    const CPattern* pattern_ = nullptr;
    // Set for a pattern that is not in the definition's own arena (and always outside one).
    std::shared_ptr<const CPattern> heldPattern_;
    CHeldArray<CPinDef> pins_;
    CText note_;
};

}  // namespace qurix
