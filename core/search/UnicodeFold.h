#pragma once
#include <string>
#include <string_view>

namespace qurix {

// NFKC_Casefold of UTF-16 text as ICU gives it, from the generated tables (FoldData.h):
// each code point's fold, decomposed, put in canonical order and composed again. An
// unpaired surrogate stays as it is. Appends to out; scratch is working space.
void AppendNfkcCasefold(std::u16string_view text, std::u16string& out, std::u32string& scratch);

// The code point at text[i], i moved past it: a surrogate pair is one, an unpaired
// surrogate one of its own.
char32_t NextCodePoint(std::u16string_view text, size_t& i);
// c in UTF-16: two units beyond the Basic Multilingual Plane.
void AppendUtf16(char32_t c, std::u16string& out);

// The Unicode properties White_Space, Nd (decimal digit) and Alphabetic of a UTF-16 unit.
bool IsUnicodeWhiteSpace(char16_t unit);
bool IsUnicodeDigit(char16_t unit);
bool IsUnicodeAlpha(char16_t unit);

}  // namespace qurix
