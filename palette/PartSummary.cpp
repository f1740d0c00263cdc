#include "palette/PartSummary.h"

#include <cstdint>
#include <set>

#include "core/library/LibEntry.h"
#include "core/library/PartLibrary.h"
#include "core/library/PinDef.h"
#include "core/text/TextDecode.h"
#include "palette/Texts.h"

namespace qurix {

namespace {

// The blanks Qt's trimming removes: ASCII blanks, NEL, and Unicode's separators.
bool IsBlank(char32_t c) {
    return c == 0x20 || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// The character of valid UTF-8 that starts at i, and its length.
char32_t CharAt(std::string_view s, size_t i, size_t& length) {
    const auto c = static_cast<unsigned char>(s[i]);
    length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = length == 1 ? c : c & (0x7Fu >> length);
    for (size_t k = 1; k < length && i + k < s.size(); ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
    }
    return cp;
}

std::string_view TrimBlanks(std::string_view s) {
    size_t length = 0;
    while (!s.empty() && IsBlank(CharAt(s, 0, length))) s.remove_prefix(length);
    while (!s.empty()) {
        size_t start = s.size() - 1;
        while (start > 0 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) --start;
        if (!IsBlank(CharAt(s, start, length))) break;
        s.remove_suffix(s.size() - start);
    }
    return s;
}

}  // namespace

std::string ReadableText(std::string_view bytes) {
    const std::string decoded = DecodeToUtf8(bytes);
    std::string text;
    text.reserve(decoded.size());
    for (size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] != '\r') {
            text.push_back(decoded[i]);
            continue;
        }
        text.push_back('\n');
        if (i + 1 < decoded.size() && decoded[i + 1] == '\n') ++i;
    }
    return text;
}

std::string BlocksAndPinsText(const CLibEntry& entry) {
    std::set<std::string> numbers;
    for (int32_t i = 0; i < entry.PinCount(); ++i) {
        const CPinDef* pin = entry.Pin(i);
        if (pin == nullptr) continue;
        for (int32_t k = 0; k < pin->BlockCount(); ++k) {
            const char* number = pin->Number(k);
            if (number != nullptr && *number != '\0') numbers.insert(number);
        }
    }
    return FormatText(texts::BLOCKS_AND_PINS, std::to_string(entry.BlockCount()),
                      std::to_string(numbers.size()));
}

const CLibEntry* AliasTarget(const CPartLibrary& library, const CLibEntry& entry) {
    if (entry.ComponentDef() == nullptr) return nullptr;
    for (int32_t i = 0; i < library.EntryCount(); ++i) {
        const CLibEntry* other = library.Entry(i);
        if (other == &entry) return nullptr;
        if (other != nullptr && other->ComponentDef() == entry.ComponentDef()) return other;
    }
    return nullptr;
}

std::string PartToolTip(std::string_view text, const CLibEntry& entry,
                        const CPartLibrary* library) {
    // Appended piece by piece: GCC 12 at -O3 mistakes "\n" + a temporary for an overlap.
    std::string tip(text);
    const auto line = [&tip](const char* label, const std::string& value) {
        tip += '\n';
        tip += label;
        tip += value;
    };
    if (library != nullptr) line(texts::TIP_LIBRARY, ReadableText(library->Path()));
    line("", BlocksAndPinsText(entry));
    if (library != nullptr) {
        if (const CLibEntry* target = AliasTarget(*library, entry)) {
            line(texts::TIP_ALIAS_OF, ReadableText(target->Name()));
        }
    }
    const std::string note = ReadableText(entry.Note());
    const std::string_view first = TrimBlanks(std::string_view(note).substr(0, note.find('\n')));
    if (!first.empty()) (tip += '\n') += first;
    return tip;
}

}  // namespace qurix
