// Folds arbitrary bytes as a part name and as a query, and checks what the matcher
// relies on: single inner blanks only, no overbar marker, no hiragana left.
#include <cstdint>
#include <string_view>

#include "core/search/TextFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static qurix::CTextFolder folder;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string folded = folder.Fold(bytes);
    if (!folded.empty() && (folded.front() == u' ' || folded.back() == u' ')) __builtin_trap();
    for (size_t i = 0; i < folded.size(); ++i) {
        const char16_t c = folded[i];
        if (c == u'\\' || (c >= 0x3041 && c <= 0x3096)) __builtin_trap();
        if (c == u' ' && i > 0 && folded[i - 1] == u' ') __builtin_trap();
        qurix::IsWordStart(folded, i);
    }
    for (const std::u16string& term : qurix::SplitTerms(folded)) {
        if (term.empty() || folded.find(term) == std::u16string::npos) __builtin_trap();
    }
    return 0;
}
