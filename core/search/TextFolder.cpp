#include "core/search/TextFolder.h"

#include "core/search/UnicodeFold.h"
#include "core/text/TextDecode.h"

namespace qurix {

namespace {

// The marker a name is written with for an overbar ("\R\S\T").
constexpr char16_t OVERBAR_MARK = u'\\';
constexpr char16_t HIRAGANA_FIRST = 0x3041;
constexpr char16_t HIRAGANA_LAST = 0x3096;
constexpr char16_t HIRAGANA_ITERATION_FIRST = 0x309D;
constexpr char16_t HIRAGANA_ITERATION_LAST = 0x309E;
constexpr char16_t KATAKANA_OFFSET = 0x60;

bool IsBlank(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || IsUnicodeWhiteSpace(c);
}

// What is left of a folded character: nothing (the overbar marker), a blank, or the
// character with hiragana made katakana.
char16_t FoldChar(char16_t c) {
    if (c == OVERBAR_MARK) return 0;
    if (IsBlank(c)) return u' ';
    if ((c >= HIRAGANA_FIRST && c <= HIRAGANA_LAST) ||
        (c >= HIRAGANA_ITERATION_FIRST && c <= HIRAGANA_ITERATION_LAST)) {
        return static_cast<char16_t>(c + KATAKANA_OFFSET);
    }
    return c;
}

// Blanks collapse to one and none stays at either end.
void AppendFolded(std::u16string& out, char16_t c) {
    if (c == 0) return;
    if (c == u' ' && (out.empty() || out.back() == u' ')) return;
    out.push_back(c);
}

void TrimEnd(std::u16string& s) {
    if (!s.empty() && s.back() == u' ') s.pop_back();
}

bool IsAscii(std::string_view bytes) {
    for (const char ch : bytes) {
        if (static_cast<unsigned char>(ch) >= 0x80) return false;
    }
    return true;
}

}  // namespace

std::u16string CTextFolder::Decode(std::string_view bytes) {
    return DecodeToUtf16(bytes);
}

std::u16string CTextFolder::Fold(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    // Most names are ASCII, where folding is only lower case: no decoding, no tables.
    if (IsAscii(bytes)) {
        for (const char ch : bytes) {
            char16_t c = static_cast<unsigned char>(ch);
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
            AppendFolded(out, FoldChar(c));
        }
        TrimEnd(out);
        return out;
    }

    const std::u16string decoded = Decode(bytes);
    scratch_.clear();
    AppendNfkcCasefold(decoded, scratch_, codePoints_);
    for (const char16_t c : scratch_) AppendFolded(out, FoldChar(c));
    TrimEnd(out);
    return out;
}

std::vector<std::u16string> SplitTerms(std::u16string_view folded) {
    std::vector<std::u16string> terms;
    size_t start = 0;
    while (start < folded.size()) {
        size_t end = folded.find(u' ', start);
        if (end == std::u16string_view::npos) end = folded.size();
        terms.emplace_back(folded.substr(start, end - start));
        start = end + 1;
    }
    return terms;
}

bool IsWordStart(std::u16string_view folded, size_t pos) {
    if (pos == 0) return true;
    if (pos >= folded.size()) return false;
    const char16_t before = folded[pos - 1];
    if (before == u' ' || before == u'_' || before == u'-' || before == u'/') return true;
    const char16_t at = folded[pos];
    return (IsUnicodeDigit(before) && IsUnicodeAlpha(at)) ||
           (IsUnicodeAlpha(before) && IsUnicodeDigit(at));
}

}  // namespace qurix
