// Reads and writes INI text held in memory. The names and the value are drawn from the
// input's last bytes, the INI text is the rest. A write may change only the key's own
// line (or add lines): every other byte must survive, and the value must read back.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/profile/Profile.h"

namespace {

// Names and values the reading rules return unchanged: no blanks at the ends, no quotes,
// no line ends, no brackets or '='.
std::string PlainWord(FuzzedDataProvider& in, size_t maxLength, bool mayBeEmpty) {
    static constexpr char ALPHABET[] = "abcXYZ019_.";
    std::string word;
    const size_t length = in.ConsumeIntegralInRange<size_t>(mayBeEmpty ? 0 : 1, maxLength);
    for (size_t i = 0; i < length; ++i) {
        word += ALPHABET[in.ConsumeIntegralInRange<size_t>(0, sizeof ALPHABET - 2)];
    }
    return word;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

void Require(bool condition) {
    if (!condition) std::abort();
}

// Writes key=value into text and checks what changed.
void CheckWrite(const std::string& text, const std::string& section, const std::string& key,
                const std::string& value, bool newSection) {
    const std::string out = qurix::CProfile::Update(text, section, key, value);
    std::string back;
    Require(qurix::CProfile::Lookup(out, section, key, back) && back == value);
    if (newSection) {
        // A section that was not there goes at the end: the old text is kept whole.
        Require(out.compare(0, text.size(), text) == 0);
        return;
    }
    // The bytes between the common head and the common tail lay on one old line.
    size_t head = 0;
    while (head < text.size() && head < out.size() && text[head] == out[head]) ++head;
    size_t tail = 0;
    while (tail < text.size() - head && tail < out.size() - head &&
           text[text.size() - 1 - tail] == out[out.size() - 1 - tail]) {
        ++tail;
    }
    const std::string removed = text.substr(head, text.size() - head - tail);
    Require(removed.find('\n') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string section = PlainWord(in, 8, false);
    const std::string key = PlainWord(in, 8, false);
    const std::string value = PlainWord(in, 16, true);
    const std::string text = in.ConsumeRemainingBytesAsString();

    std::string read;
    qurix::CProfile::Lookup(text, section, key, read);
    CheckWrite(text, section, key, value, false);

    // A name of letters the text does not hold (ignoring case) cannot be one of its sections.
    const std::string lowerText = Lower(text);
    std::string fresh = "new";
    while (lowerText.find(fresh) != std::string::npos) fresh += 'q';
    CheckWrite(text, fresh, key, value, true);
    return 0;
}
