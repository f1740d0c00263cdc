#include "core/search/UnicodeFold.h"

#include <algorithm>
#include <cstdint>

#include "core/search/FoldData.h"

// The tables generated from ICU, compiled with their only reader.
#include "core/search/FoldTables.inc"

namespace qurix {

namespace {

using namespace fold;

constexpr char32_t CODE_POINTS = 0x110000;
// Hangul syllables decompose and compose by rule (Unicode 3.12).
constexpr char32_t S_BASE = 0xAC00;
constexpr char32_t L_BASE = 0x1100;
constexpr char32_t V_BASE = 0x1161;
constexpr char32_t T_BASE = 0x11A7;
constexpr char32_t L_COUNT = 19;
constexpr char32_t V_COUNT = 21;
constexpr char32_t T_COUNT = 28;
constexpr char32_t N_COUNT = V_COUNT * T_COUNT;
constexpr char32_t S_COUNT = L_COUNT * N_COUNT;

template <typename T>
T Lookup(const uint16_t* stage1, const T* stage2, char32_t c) {
    const uint32_t block = stage1[c >> BLOCK_SHIFT];
    return stage2[(block << BLOCK_SHIFT) | (c & BLOCK_MASK)];
}

uint16_t Props(char32_t c) {
    return c < CODE_POINTS ? Lookup(PROP_STAGE1, PROP_STAGE2, c) : 0;
}

uint8_t CombiningClass(char32_t c) {
    return static_cast<uint8_t>(Props(c) & COMBINING_CLASS);
}

bool IsHangulSyllable(char32_t c) {
    return c >= S_BASE && c < S_BASE + S_COUNT;
}

void AppendUtf32(std::u16string_view units, std::u32string& out) {
    for (size_t i = 0; i < units.size();) out.push_back(NextCodePoint(units, i));
}

void Decompose(char32_t c, std::u32string& out) {
    if (IsHangulSyllable(c)) {
        const char32_t s = c - S_BASE;
        out.push_back(L_BASE + s / N_COUNT);
        out.push_back(V_BASE + (s % N_COUNT) / T_COUNT);
        if (s % T_COUNT != 0) out.push_back(T_BASE + s % T_COUNT);
        return;
    }
    const uint16_t k = c < CODE_POINTS ? Lookup(MAP_STAGE1, MAP_STAGE2, c) : 0;
    if (k == 0) {
        out.push_back(c);
        return;
    }
    const std::u16string_view mapped(MAP_POOL + MAP_START[k], MAP_START[k + 1] - MAP_START[k]);
    AppendUtf32(mapped, out);
}

// Marks of a run are sorted by their combining class, keeping the order of equal ones.
void CanonicalOrder(std::u32string& text) {
    for (size_t i = 1; i < text.size(); ++i) {
        const char32_t c = text[i];
        const uint8_t cc = CombiningClass(c);
        if (cc == 0) continue;
        size_t j = i;
        while (j > 0) {
            const uint8_t before = CombiningClass(text[j - 1]);
            if (before <= cc) break;
            text[j] = text[j - 1];
            --j;
        }
        text[j] = c;
    }
}

// The character first and second compose to, or 0.
char32_t ComposePair(char32_t first, char32_t second) {
    if (first >= L_BASE && first < L_BASE + L_COUNT && second >= V_BASE &&
        second < V_BASE + V_COUNT) {
        return S_BASE + ((first - L_BASE) * V_COUNT + (second - V_BASE)) * T_COUNT;
    }
    if (IsHangulSyllable(first) && (first - S_BASE) % T_COUNT == 0 && second > T_BASE &&
        second < T_BASE + T_COUNT) {
        return first + (second - T_BASE);
    }
    if ((Props(second) & COMBINES_BACK) == 0) return 0;
    size_t low = 0;
    size_t high = PAIR_COUNT;
    while (low < high) {
        const size_t mid = (low + high) / 2;
        const uint32_t* pair = PAIRS + mid * 3;
        if (pair[0] < first || (pair[0] == first && pair[1] < second)) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    if (low < PAIR_COUNT && PAIRS[low * 3] == first && PAIRS[low * 3 + 1] == second) {
        return PAIRS[low * 3 + 2];
    }
    return 0;
}

// A mark composes with the last starter unless a mark of its class or a starter
// stands between them.
void Compose(std::u32string& text) {
    if (text.empty()) return;
    size_t starter = 0;
    bool haveStarter = CombiningClass(text[0]) == 0;
    int lastClass = haveStarter ? 0 : 256;
    size_t kept = 1;
    for (size_t i = 1; i < text.size(); ++i) {
        const char32_t c = text[i];
        const int cc = CombiningClass(c);
        if (haveStarter && (lastClass < cc || lastClass == 0)) {
            const char32_t composite = ComposePair(text[starter], c);
            if (composite != 0) {
                text[starter] = composite;
                continue;
            }
        }
        if (cc == 0) {
            starter = kept;
            haveStarter = true;
        }
        lastClass = cc;
        text[kept++] = c;
    }
    text.resize(kept);
}

uint8_t Classes(char16_t unit) {
    return Lookup(CLASS_STAGE1, CLASS_STAGE2, unit);
}

}  // namespace

void AppendNfkcCasefold(std::u16string_view text, std::u16string& out, std::u32string& scratch) {
    scratch.clear();
    std::u32string& decomposed = scratch;
    for (size_t i = 0; i < text.size();) Decompose(NextCodePoint(text, i), decomposed);
    CanonicalOrder(decomposed);
    Compose(decomposed);
    for (const char32_t c : decomposed) AppendUtf16(c, out);
}

char32_t NextCodePoint(std::u16string_view text, size_t& i) {
    const char32_t c = text[i++];
    if (c >= 0xD800 && c < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] < 0xE000) {
        return 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
    }
    return c;
}

void AppendUtf16(char32_t c, std::u16string& out) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    out.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
}

bool IsUnicodeWhiteSpace(char16_t unit) {
    return (Classes(unit) & WHITE_SPACE) != 0;
}

bool IsUnicodeDigit(char16_t unit) {
    return (Classes(unit) & DIGIT) != 0;
}

bool IsUnicodeAlpha(char16_t unit) {
    return (Classes(unit) & ALPHA) != 0;
}

}  // namespace qurix
