#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/memory/Arena.h"
#include "core/memory/Text.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix {

// One pin of a component definition: its place on the body outline, how it is drawn,
// its name and its number in each block.
class CPinDef {
public:
    static constexpr int32_t MAX_PIN_NAME = 255;
    static constexpr int32_t MAX_PIN_OFFSET = 255;
    // Drawing units from the body outline to the pin's outer end, unless "Z".
    static constexpr int32_t PIN_LENGTH = 10;

    // Flag bits (record key "T").
    static constexpr uint32_t PIN_SHORT_NUMBER = 0x01;  // "S": number close to the outline
    static constexpr uint32_t PIN_ZERO_LENGTH = 0x02;   // "Z": outer end on the outline
    static constexpr uint32_t PIN_CLOCK = 0x04;         // "C": clock mark
    static constexpr uint32_t PIN_NEGATED = 0x08;       // "N": bubble
    static constexpr uint32_t PIN_HIDE_NUMBER = 0x10;   // "m": number not drawn

    // Sides of the body before any rotation (record key "L").
    static constexpr int32_t SIDE_LEFT = 0;
    static constexpr int32_t SIDE_TOP = 1;
    static constexpr int32_t SIDE_RIGHT = 2;
    static constexpr int32_t SIDE_BOTTOM = 3;

    // Block count 0, no numbers, no name, flags 0, left side, offset 0.
    CPinDef() = default;
    CPinDef(const CPinDef&) = default;  // deep: the copy owns its numbers and name
    CPinDef& operator=(const CPinDef&) = default;
    CPinDef(CPinDef&&) = default;
    CPinDef& operator=(CPinDef&&) = default;

    // Reads a "+PIN" record for a component of blockCount blocks; the reader stands
    // just after "+PIN". False on a foreign end tag or a nested record that never ends;
    // the end of input ends the record with what was read. With an arena, the name and
    // numbers are put there.
    bool ReadPin(CRecordReader& reader, int32_t blockCount, CArena* arena = nullptr);
    // One line of tokens, "+PIN" to "-PIN", without the line end.
    bool WritePin(CRecordWriter& writer) const;

    int32_t BlockCount() const { return blockCount_; }
    // The number in block k (0-based), NUL-terminated; null when it has none or k is
    // out of range.
    const char* Number(int32_t k) const;
    // A copy of text, or none for null; an index out of range changes nothing.
    void SetNumber(int32_t k, const char* text);

    // The decoded name: a byte with bit 7 set is the character of its low seven bits
    // drawn overlined. Null when the pin has no name.
    const char* Name() const { return hasName_ ? name_.c_str() : nullptr; }
    // The same bytes; empty when there is no name.
    std::string_view NameBytes() const { return name_.View(); }
    // Decodes a name with backslash marks ("\A" is an overlined A); null clears it.
    void SetName(const char* encoded);
    // The same from a text that ends at its first NUL or its end.
    void SetName(std::string_view encoded);
    // The name with its marks again, as the record holds it.
    std::string EncodedName() const;

    uint32_t Flags() const { return flags_; }
    bool HasFlag(uint32_t flag) const { return (flags_ & flag) != 0; }
    int32_t Side() const { return side_; }
    // Grid units from the top end of a left or right side, from the left end of a top
    // or bottom side; 0 to 255.
    int32_t Offset() const { return offset_; }

    // About how many bytes the pin takes in memory.
    int64_t MemoryBytes() const;

private:
    // Where block k's slot starts in numbers_, or numbers_.size() past the last slot.
    size_t SlotStart(int32_t k) const;
    // Decodes the marks of encoded (which holds no NUL) into the name, in arena when one is
    // given.
    void DecodeName(std::string_view encoded, CArena* arena);

    // The numbers up to the last block that has one, packed into one text so that a pin
    // of a few short numbers needs no allocation of its own: per block a mark byte, 1 for
    // a number (then its bytes and a NUL) or 0 for none.
    CText numbers_;
    int32_t numberSlots_ = 0;
    int32_t blockCount_ = 0;
    CText name_;
    bool hasName_ = false;
    uint32_t flags_ = 0;
    int32_t side_ = SIDE_LEFT;
    int32_t offset_ = 0;
};

}  // namespace qurix
