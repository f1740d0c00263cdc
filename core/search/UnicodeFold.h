#pragma once
#include <string>
#include <string_view>

namespace qurix {

// NFKC_Casefold of UTF-16 text as ICU gives it, from the generated tables (FoldData.h):
// each code point's fold, decomposed, put in canonical order and composed again. An
// unpaired surrogate stays as it is. Appends to out; scratch is working space.
void AppendNfkcCasefold(std::u16string_view text, std::u16string& out, std::u32string& scratch);

// The Unicode properties White_Space, Nd (decimal digit) and Alphabetic of a UTF-16 unit.
bool IsUnicodeWhiteSpace(char16_t unit);
bool IsUnicodeDigit(char16_t unit);
bool IsUnicodeAlpha(char16_t unit);

}  // namespace qurix
