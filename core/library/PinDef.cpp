#include "core/library/PinDef.h"

#include <algorithm>
#include <cstring>

#include "core/records/RecordLoop.h"

namespace qurix {

namespace {

// A component never has more blocks than this; a larger count would only waste memory.
constexpr int32_t MAX_PIN_BLOCKS = 256;

// The letters of sides and pin flags in library files.
struct Letter {
    char letter;
    uint32_t value;
};
constexpr Letter SIDE_LETTERS[] = {{'L', CPinDef::SIDE_LEFT},
                                   {'T', CPinDef::SIDE_TOP},
                                   {'R', CPinDef::SIDE_RIGHT},
                                   {'B', CPinDef::SIDE_BOTTOM}};
constexpr Letter FLAG_LETTERS[] = {{'S', CPinDef::PIN_SHORT_NUMBER},
                                   {'Z', CPinDef::PIN_ZERO_LENGTH},
                                   {'C', CPinDef::PIN_CLOCK},
                                   {'N', CPinDef::PIN_NEGATED},
                                   {'m', CPinDef::PIN_HIDE_NUMBER}};

int32_t SideFromLetter(char c, int32_t current) {
    for (const Letter& side : SIDE_LETTERS) {
        if (side.letter == c) return static_cast<int32_t>(side.value);
    }
    return current;
}

// Any other side is written as the bottom.
char SideLetter(int32_t side) {
    for (const Letter& known : SIDE_LETTERS) {
        if (static_cast<int32_t>(known.value) == side) return known.letter;
    }
    return 'B';
}

// Unknown letters are ignored.
uint32_t FlagsFromLetters(std::string_view letters) {
    uint32_t flags = 0;
    for (const char c : letters) {
        for (const Letter& flag : FLAG_LETTERS) {
            if (flag.letter == c) flags |= flag.value;
        }
    }
    return flags;
}

}  // namespace

size_t CPinDef::SlotStart(int32_t k) const {
    size_t at = 0;
    for (int32_t i = 0; i < k && at < numbers_.size(); ++i) {
        at = numbers_[at] == 0 ? at + 1 : numbers_.View().find('\0', at + 1) + 1;
    }
    return at;
}

const char* CPinDef::Number(int32_t k) const {
    if (k < 0 || k >= numberSlots_) return nullptr;
    const size_t at = SlotStart(k);
    return numbers_[at] == 0 ? nullptr : numbers_.c_str() + at + 1;
}

void CPinDef::SetNumber(int32_t k, const char* text) {
    if (k < 0 || k >= BlockCount()) return;
    if (!text && k >= numberSlots_) return;
    // Slots up to k, then this one, then the rest as they were.
    const size_t at = SlotStart(k);
    const size_t rest = k < numberSlots_ ? SlotStart(k + 1) : numbers_.size();
    const std::string_view old = numbers_.View();
    std::string packed(old.substr(0, at));
    for (int32_t i = numberSlots_; i < k; ++i) packed.push_back('\0');
    if (text) {
        packed.push_back('\1');
        packed.append(text);
        packed.push_back('\0');
    } else {
        packed.push_back('\0');
    }
    packed.append(old.substr(rest));
    numbers_ = CText(packed);
    numberSlots_ = std::max(numberSlots_, k + 1);
    // Trailing blocks without a number take no slot.
    while (numberSlots_ > 0 && !Number(numberSlots_ - 1)) {
        --numberSlots_;
        numbers_ = CText(numbers_.View().substr(0, SlotStart(numberSlots_)));
    }
}

int64_t CPinDef::MemoryBytes() const {
    return static_cast<int64_t>(sizeof(CPinDef) + numbers_.size() + name_.size());
}

void CPinDef::SetName(const char* encoded) {
    if (!encoded) {
        name_ = CText();
        hasName_ = false;
        return;
    }
    SetName(std::string_view(encoded));
}

void CPinDef::SetName(std::string_view encoded) {
    DecodeName(encoded.substr(0, encoded.find('\0')), nullptr);
}

void CPinDef::DecodeName(std::string_view encoded, CArena* arena) {
    char name[MAX_PIN_NAME];
    size_t n = 0;
    size_t i = 0;
    while (i < encoded.size() && n < static_cast<size_t>(MAX_PIN_NAME)) {
        if (encoded[i] == '\\') {
            // A lone mark at the end has nothing to overline and is dropped.
            if (i + 1 == encoded.size()) break;
            name[n++] = static_cast<char>(static_cast<unsigned char>(encoded[i + 1]) | 0x80);
            i += 2;
        } else {
            name[n++] = encoded[i];
            ++i;
        }
    }
    name_ = CText::Make(arena, std::string_view(name, n));
    hasName_ = true;
}

std::string CPinDef::EncodedName() const {
    std::string out;
    for (const char ch : name_) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == 0x80) {
            // "\" and a NUL would end the text; the bare byte reads back the same.
            out.push_back(ch);
        } else if (c & 0x80) {
            out.push_back('\\');
            out.push_back(static_cast<char>(c & 0x7F));
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

bool CPinDef::ReadPin(CRecordReader& reader, int32_t blockCount, CArena* arena) {
    if (blockCount < 0) blockCount = 0;
    if (blockCount > MAX_PIN_BLOCKS) blockCount = MAX_PIN_BLOCKS;
    name_ = CText();
    hasName_ = false;
    numberSlots_ = 0;
    blockCount_ = blockCount;
    // Packed here and put in place once, at the end: on the stack while they fit (they
    // mostly do), in a string from there on.
    char packed[64];
    size_t packedSize = 0;
    std::string numbers;
    const auto addNumber = [&](std::string_view value) {
        if (numbers.empty() && packedSize + value.size() + 2 <= sizeof packed) {
            packed[packedSize] = '\1';
            std::memcpy(packed + packedSize + 1, value.data(), value.size());
            packed[packedSize + 1 + value.size()] = '\0';
            packedSize += value.size() + 2;
            return;
        }
        if (numbers.empty()) numbers.assign(packed, packedSize);
        numbers.push_back('\1');
        numbers.append(value);
        numbers.push_back('\0');
    };

    const auto onData = [&](std::string_view key, std::string_view value) {
        // Every key of a pin is one letter.
        if (key.size() != 1) return true;
        // Values come without a NUL inside: their end is the text's end.
        switch (key[0]) {
            case 'N':
                DecodeName(value, arena);
                break;
            case 'L':
                if (value.empty()) return true;
                side_ = SideFromLetter(value[0], side_);
                if (const int32_t offset = ParseInt(value.substr(1));
                    offset >= 0 && offset <= MAX_PIN_OFFSET) {
                    offset_ = offset;
                }
                break;
            case 'T':
                flags_ = FlagsFromLetters(value);
                break;
            case 'M':
                if (numberSlots_ < blockCount) {
                    addNumber(value);
                    ++numberSlots_;
                }
                break;
            default:
                break;
        }
        return true;
    };
    const auto reason = [](RecordFault fault, const std::string& tag, int32_t line) {
        if (fault == RecordFault::NestedNeverEnds) return NestedNeverEndsReason(tag, line);
        return "unexpected end tag " + tag + " in a pin";
    };
    const bool ok =
        ReadRecord(reader, {"-PIN"}, onData, SkipAllNested{}, reason) != RecordEnd::Failed;
    numbers_ = CText::Make(
        arena, numbers.empty() ? std::string_view(packed, packedSize) : std::string_view(numbers));
    return ok;
}

bool CPinDef::WritePin(CRecordWriter& writer) const {
    if (writer.WriteToken("+PIN") != 0) return false;
    if (writer.WriteKeyValue("N", EncodedName()) != 0) return false;
    std::string place(1, SideLetter(side_));
    place += std::to_string(offset_);
    if (writer.WriteKeyValue("L", place) != 0) return false;
    std::string letters;
    if (flags_ & PIN_ZERO_LENGTH) letters += 'Z';
    if (flags_ & PIN_SHORT_NUMBER) letters += 'S';
    if (flags_ & PIN_NEGATED) letters += 'N';
    if (flags_ & PIN_CLOCK) letters += 'C';
    if (flags_ & PIN_HIDE_NUMBER) letters += 'm';
    if (writer.WriteKeyValue("T", letters) != 0) return false;
    // One walk over the packed slots (a lookup per block would cost the square).
    size_t at = 0;
    for (int32_t k = 0; k < BlockCount(); ++k) {
        const char* n = "";
        if (k < numberSlots_) {
            if (numbers_[at] != 0) n = numbers_.c_str() + at + 1;
            at = numbers_[at] == 0 ? at + 1 : numbers_.View().find('\0', at + 1) + 1;
        }
        if (writer.WriteKeyValue("M", n) != 0) return false;
    }
    return writer.WriteToken("-PIN") == 0;
}

}  // namespace qurix
