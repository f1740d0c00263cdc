#include "core/library/PinDef.h"

#include "core/records/RecordLoop.h"

namespace qurix {

namespace {

// A component never has more blocks than this; a larger count would only waste memory.
constexpr int32_t MAX_PIN_BLOCKS = 256;

int32_t SideFromLetter(char c, int32_t current) {
    switch (c) {
        case 'L':
            return CPinDef::SIDE_LEFT;
        case 'T':
            return CPinDef::SIDE_TOP;
        case 'R':
            return CPinDef::SIDE_RIGHT;
        case 'B':
            return CPinDef::SIDE_BOTTOM;
        default:
            return current;
    }
}

char SideLetter(int32_t side) {
    switch (side) {
        case CPinDef::SIDE_LEFT:
            return 'L';
        case CPinDef::SIDE_TOP:
            return 'T';
        case CPinDef::SIDE_RIGHT:
            return 'R';
        default:
            return 'B';
    }
}

uint32_t FlagsFromLetters(std::string_view letters) {
    uint32_t flags = 0;
    for (const char c : letters) {
        switch (c) {
            case 'S':
                flags |= CPinDef::PIN_SHORT_NUMBER;
                break;
            case 'Z':
                flags |= CPinDef::PIN_ZERO_LENGTH;
                break;
            case 'C':
                flags |= CPinDef::PIN_CLOCK;
                break;
            case 'N':
                flags |= CPinDef::PIN_NEGATED;
                break;
            case 'm':
                flags |= CPinDef::PIN_HIDE_NUMBER;
                break;
            default:
                break;
        }
    }
    return flags;
}

}  // namespace

const char* CPinDef::Number(int32_t k) const {
    if (k < 0 || static_cast<size_t>(k) >= numbers_.size()) return nullptr;
    const auto& n = numbers_[static_cast<size_t>(k)];
    return n ? n->c_str() : nullptr;
}

void CPinDef::SetNumber(int32_t k, const char* text) {
    if (k < 0 || k >= BlockCount()) return;
    const size_t at = static_cast<size_t>(k);
    if (text) {
        if (at >= numbers_.size()) numbers_.resize(at + 1);
        numbers_[at] = std::string(text);
        return;
    }
    if (at >= numbers_.size()) return;
    numbers_[at].reset();
    while (!numbers_.empty() && !numbers_.back()) numbers_.pop_back();
}

int64_t CPinDef::MemoryBytes() const {
    int64_t bytes = sizeof(CPinDef) +
                    static_cast<int64_t>(numbers_.capacity() * sizeof(std::optional<std::string>));
    for (const auto& n : numbers_) {
        if (n) bytes += static_cast<int64_t>(n->capacity());
    }
    return bytes;
}

const std::string& CPinDef::NameBytes() const {
    static const std::string EMPTY;
    return name_ ? *name_ : EMPTY;
}

void CPinDef::SetName(const char* encoded) {
    if (!encoded) {
        name_.reset();
        return;
    }
    SetName(std::string_view(encoded));
}

void CPinDef::SetName(std::string_view encoded) {
    encoded = encoded.substr(0, encoded.find('\0'));
    std::string name;
    size_t i = 0;
    while (i < encoded.size() && name.size() < static_cast<size_t>(MAX_PIN_NAME)) {
        if (encoded[i] == '\\') {
            // A lone mark at the end has nothing to overline and is dropped.
            if (i + 1 == encoded.size()) break;
            name.push_back(static_cast<char>(static_cast<unsigned char>(encoded[i + 1]) | 0x80));
            i += 2;
        } else {
            name.push_back(encoded[i]);
            ++i;
        }
    }
    name_ = std::move(name);
}

std::string CPinDef::EncodedName() const {
    std::string out;
    if (!name_) return out;
    for (const char ch : *name_) {
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

bool CPinDef::ReadPin(CRecordReader& reader, int32_t blockCount) {
    if (blockCount < 0) blockCount = 0;
    if (blockCount > MAX_PIN_BLOCKS) blockCount = MAX_PIN_BLOCKS;
    name_.reset();
    numbers_.clear();
    blockCount_ = blockCount;

    const auto onData = [&](std::string_view key, std::string_view value) {
        // Values come without a NUL inside: their end is the text's end.
        if (key == "N") {
            SetName(value);
        } else if (key == "L") {
            if (value.empty()) return true;
            side_ = SideFromLetter(value[0], side_);
            const int32_t offset = ParseInt(value.substr(1));
            if (offset >= 0 && offset <= MAX_PIN_OFFSET) offset_ = offset;
        } else if (key == "T") {
            flags_ = FlagsFromLetters(value);
        } else if (key == "M") {
            if (numbers_.size() < static_cast<size_t>(blockCount)) numbers_.emplace_back(value);
        }
        return true;
    };
    const auto reason = [](RecordFault fault, const std::string& tag, int32_t line) {
        if (fault == RecordFault::NestedNeverEnds) return NestedNeverEndsReason(tag, line);
        return "unexpected end tag " + tag + " in a pin";
    };
    return ReadRecord(reader, {"-PIN"}, onData, SkipAllNested{}, reason) != RecordEnd::Failed;
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
    for (int32_t k = 0; k < BlockCount(); ++k) {
        const char* n = Number(k);
        if (writer.WriteKeyValue("M", n ? n : "") != 0) return false;
    }
    return writer.WriteToken("-PIN") == 0;
}

}  // namespace qurix
