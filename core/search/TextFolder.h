#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qurix {

// Turns library and query bytes into the form the part search compares: decoded as the
// palette decodes (UTF-8 when valid, else CP932, U+FFFD for what does not decode), then
// folded so that width, Latin case and hiragana/katakana do not matter and the overbar
// marker is ignored. Keeps a scratch buffer, so one object serves one thread.
class CTextFolder {
public:
    std::u16string Decode(std::string_view bytes);
    // Blanks (of any width, and control characters) become single spaces, none at
    // either end.
    std::u16string Fold(std::string_view bytes);

private:
    std::u16string scratch_;
    std::u32string codePoints_;
};

// Folded text split at its blanks: the terms of a query; none for empty text.
std::vector<std::u16string> SplitTerms(std::u16string_view folded);

// Whether a match at pos of folded text starts a word: at the start, after a blank,
// "_", "-" or "/", or where digits and letters meet ("74HC00" has words at 7, H and 0).
bool IsWordStart(std::u16string_view folded, size_t pos);

}  // namespace qurix
