#pragma once
// The folding data of the part search, generated from ICU by tools/qurix-fold-data into
// FoldTables.inc. Tables of code points are in two stages: STAGE1[c >> BLOCK_SHIFT] is a
// block, STAGE2[block * BLOCK_SIZE + (c & BLOCK_MASK)] the value.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qurix::fold {

inline constexpr int BLOCK_SHIFT = 7;
inline constexpr uint32_t BLOCK_SIZE = 1u << BLOCK_SHIFT;
inline constexpr uint32_t BLOCK_MASK = BLOCK_SIZE - 1;

// PROP: the canonical combining class in the low byte, and whether the code point is the
// second of a composing pair.
inline constexpr uint16_t COMBINING_CLASS = 0xFF;
inline constexpr uint16_t COMBINES_BACK = 0x100;
// CLASS (UTF-16 units): the white-space, digit and letter properties.
inline constexpr uint8_t WHITE_SPACE = 1;
inline constexpr uint8_t DIGIT = 2;
inline constexpr uint8_t ALPHA = 4;

extern const char UNICODE_VERSION[];
// ICU's own folds of every code point and the classes of every unit, through DigestStep.
extern const uint64_t ICU_DIGEST;
// MAP: 0 for a code point that stays, else k: it becomes MAP_POOL[MAP_START[k]] up to
// MAP_START[k + 1] (its fold, fully decomposed; possibly nothing).
extern const uint16_t MAP_STAGE1[];
extern const uint16_t MAP_STAGE2[];
extern const uint32_t MAP_START[];
extern const char16_t MAP_POOL[];
extern const uint16_t PROP_STAGE1[];
extern const uint16_t PROP_STAGE2[];
// Composing pairs as (first, second, composite), sorted; Hangul goes by rule.
extern const size_t PAIR_COUNT;
extern const uint32_t PAIRS[];
extern const uint16_t CLASS_STAGE1[];
extern const uint8_t CLASS_STAGE2[];

inline constexpr uint64_t DIGEST_SEED = 14695981039346656037ULL;

// FNV-1a over a code point and what it folds to, so the generator and the tests hash alike.
inline uint64_t DigestStep(uint64_t digest, uint32_t codePoint, std::u16string_view folded) {
    auto add = [&digest](uint32_t value) { digest = (digest ^ value) * 1099511628211ULL; };
    add(codePoint);
    for (const char16_t unit : folded) add(unit);
    add(0xFFFFFFFF);
    return digest;
}

}  // namespace qurix::fold
