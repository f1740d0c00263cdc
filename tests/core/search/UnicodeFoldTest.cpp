#include "core/search/UnicodeFold.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/search/FoldData.h"
#include "core/search/TextFolder.h"

#if QURIX_TEST_WITH_ICU
#include <unicode/unorm2.h>
#endif

namespace qurix {
namespace {

std::u16string Utf16(char32_t c) {
    std::u16string s;
    AppendUtf16(c, s);
    return s;
}

std::u16string Casefold(std::u16string_view text) {
    std::u16string out;
    std::u32string scratch;
    AppendNfkcCasefold(text, out, scratch);
    return out;
}

// Every code point folded alone, and the classes of every unit, hash to what ICU gave the
// generator: on Windows this is the proof that the tables fold as ICU does.
TEST(UnicodeFold, EveryCodePointFoldsAsIcuDid) {
    uint64_t digest = fold::DIGEST_SEED;
    for (char32_t c = 0; c < 0x110000; ++c) {
        digest = fold::DigestStep(digest, c, Casefold(Utf16(c)));
    }
    for (char32_t c = 0; c < 0x10000; ++c) {
        const auto unit = static_cast<char16_t>(c);
        const char16_t bits = static_cast<char16_t>(
            (IsUnicodeWhiteSpace(unit) ? fold::WHITE_SPACE : 0) |
            (IsUnicodeDigit(unit) ? fold::DIGIT : 0) | (IsUnicodeAlpha(unit) ? fold::ALPHA : 0));
        digest = fold::DigestStep(digest, c, std::u16string_view(&bits, 1));
    }
    EXPECT_EQ(digest, fold::ICU_DIGEST) << "tables of Unicode " << fold::UNICODE_VERSION;
}

struct FoldCase {
    const char16_t* text;
    const char16_t* folded;
};

// Texts whose fold depends on their neighbours: what a table of single code points misses.
const FoldCase FOLD_CASES[] = {
    {u"\uFF76\uFF9E", u"\u30AC"},              // half-width ka + voiced mark compose
    {u"\u304B\u3099", u"\u304C"},              // hiragana ka + combining voiced mark
    {u"\u00E9\u0323", u"\u1EB9\u0301"},        // e acute + dot below: reordered, recomposed
    {u"\u1100\u1161\u11A8", u"\uAC01"},        // Hangul jamo L V T
    {u"\uAC00\u11A8", u"\uAC01"},              // syllable LV + T
    {u"\uFB01X", u"fix"},                      // ligature, then case
    {u"\u2460\u216B", u"1xii"},                // circled digit, Roman numeral twelve
    {u"\uFF21\uFF42\u3000", u"ab "},           // full-width letters and blank
    {u"Stra\u00DFe", u"strasse"},              // sharp s
    {u"a\u00ADb\u200B", u"ab"},                // soft hyphen, zero width space vanish
    {u"\U0001D400\U0001F130", u"aa"},          // mathematical bold A, squared A
    {u"\xD800x\xDC00", u"\xD800x\xDC00"},      // lone surrogates stay
    {u"\u0301a", u"\u0301a"},                  // a mark without a starter stays
    {u"\u0041\u030A\u0327", u"\u00E5\u0327"},  // A ring cedilla: canonical order
};

TEST(UnicodeFold, TextsFoldWithTheirNeighbours) {
    for (const FoldCase& c : FOLD_CASES) {
        EXPECT_EQ(Casefold(c.text), std::u16string(c.folded));
    }
}

TEST(UnicodeFold, WordStartsFollowTheClasses) {
    EXPECT_TRUE(IsWordStart(u"74hc00", 2));
    EXPECT_TRUE(IsWordStart(u"\uFF17\u0430", 1));  // full-width digit, Cyrillic letter
    EXPECT_FALSE(IsWordStart(u"ab", 1));
    EXPECT_TRUE(IsUnicodeWhiteSpace(u'\u3000'));
    EXPECT_FALSE(IsUnicodeWhiteSpace(u'\u200B'));
}

#if QURIX_TEST_WITH_ICU
std::u16string IcuCasefold(const std::u16string& text) {
    UErrorCode error = U_ZERO_ERROR;
    const UNormalizer2* n = unorm2_getNFKCCasefoldInstance(&error);
    std::u16string out(text.size() * 18 + 8, u'\0');
    const int32_t length = unorm2_normalize(n, text.data(), static_cast<int32_t>(text.size()),
                                            out.data(), static_cast<int32_t>(out.size()), &error);
    EXPECT_TRUE(U_SUCCESS(error));
    out.resize(static_cast<size_t>(length));
    return out;
}

// Random texts from the characters where composition and ordering happen (marks, kana,
// jamo, Latin, Greek), folded by the tables and by ICU.
TEST(UnicodeFold, RandomTextsFoldAsIcu) {
    const char32_t pool[] = {0x41,   0x61,   0x45,   0xE9,   0x301,  0x323,  0x308,   0x327,
                             0x345,  0x3B1,  0x1F00, 0x304B, 0x3099, 0x309A, 0xFF76,  0xFF9E,
                             0xFF9F, 0x1100, 0x1161, 0x11A8, 0xAC00, 0xAC01, 0x0CC6,  0x0CD5,
                             0x0CC2, 0xFB01, 0x2460, 0x20,   0x3000, 0x5C,   0x110BA, 0x11099};
    uint32_t state = 12345;
    for (int round = 0; round < 20000; ++round) {
        std::u16string text;
        const int length = 1 + round % 7;
        for (int i = 0; i < length; ++i) {
            state = state * 1664525u + 1013904223u;
            text += Utf16(pool[(state >> 16) % std::size(pool)]);
        }
        ASSERT_EQ(Casefold(text), IcuCasefold(text)) << "round " << round;
    }
}
#endif

}  // namespace
}  // namespace qurix
