// Writes core/search/FoldTables.inc: the folding data of the part search, taken from ICU
// (NFKC_Casefold, canonical combining classes and compositions, and the white-space, digit
// and letter classes), so that the search folds alike where ICU is not at hand (Windows).
//   qurix-fold-data OUT.inc
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/uversion.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/search/FoldData.h"
#include "core/search/UnicodeFold.h"

namespace {

using qurix::fold::BLOCK_SHIFT;
constexpr UChar32 CODE_POINTS = 0x110000;
constexpr UChar32 HANGUL_FIRST = 0xAC00;
constexpr UChar32 HANGUL_LAST = 0xD7A3;

std::u16string Normalize(const UNormalizer2* n, const std::u16string& in) {
    std::u16string out(in.size() * 8 + 16, u'\0');
    UErrorCode error = U_ZERO_ERROR;
    const int32_t length = unorm2_normalize(n, in.data(), static_cast<int32_t>(in.size()),
                                            out.data(), static_cast<int32_t>(out.size()), &error);
    if (U_FAILURE(error)) {
        std::fprintf(stderr, "qurix-fold-data: ICU cannot normalize\n");
        std::exit(1);
    }
    out.resize(static_cast<size_t>(length));
    return out;
}

std::u16string Utf16(UChar32 c) {
    std::u16string s;
    qurix::AppendUtf16(static_cast<char32_t>(c), s);
    return s;
}

std::vector<UChar32> CodePoints(const std::u16string& s) {
    std::vector<UChar32> out;
    for (size_t i = 0; i < s.size();)
        out.push_back(static_cast<UChar32>(qurix::NextCodePoint(s, i)));
    return out;
}

// A table as two stages: the block number of each block of 2^BLOCK_SHIFT values, and the
// distinct blocks one after another.
template <typename T>
void TwoStages(const std::vector<T>& values, std::vector<uint16_t>& stage1,
               std::vector<T>& stage2) {
    const size_t block = size_t{1} << BLOCK_SHIFT;
    // Blocks are keyed by their bytes: GCC 12 at -O3 warns falsely on comparing vectors of
    // bytes.
    std::map<std::string, uint16_t> seen;
    for (size_t start = 0; start < values.size(); start += block) {
        const T* first = values.data() + start;
        const std::string key(reinterpret_cast<const char*>(first), block * sizeof(T));
        auto [it, fresh] = seen.emplace(key, static_cast<uint16_t>(seen.size()));
        if (fresh) stage2.insert(stage2.end(), first, first + block);
        stage1.push_back(it->second);
    }
}

template <typename T>
void WriteArray(FILE* out, const char* type, const char* name, const std::vector<T>& values) {
    std::fprintf(out, "\nconst %s %s[%zu] = {", type, name, values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        std::fprintf(out, "%s%llu,", i % 16 == 0 ? "\n    " : " ",
                     static_cast<unsigned long long>(values[i]));
    }
    std::fprintf(out, "\n};\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qurix-fold-data OUT.inc\n");
        return 2;
    }
    UErrorCode error = U_ZERO_ERROR;
    const UNormalizer2* casefold = unorm2_getNFKCCasefoldInstance(&error);
    const UNormalizer2* nfd = unorm2_getNFDInstance(&error);
    const UNormalizer2* nfc = unorm2_getNFCInstance(&error);
    if (U_FAILURE(error)) {
        std::fprintf(stderr, "qurix-fold-data: ICU has no normalization data\n");
        return 1;
    }

    // Each code point's fold, fully decomposed (a Hangul syllable is decomposed by rule).
    std::vector<uint16_t> mapIndex(CODE_POINTS, 0);
    std::vector<uint32_t> mapStart{0, 0};  // entry 0: the code point itself
    std::u16string pool;
    std::vector<uint16_t> props(CODE_POINTS, 0);
    uint64_t digest = qurix::fold::DIGEST_SEED;
    for (UChar32 c = 0; c < CODE_POINTS; ++c) {
        const std::u16string self = Utf16(c);
        const bool surrogate = c >= 0xD800 && c < 0xE000;
        const std::u16string folded = surrogate ? self : Normalize(casefold, self);
        digest = qurix::fold::DigestStep(digest, c, folded);
        props[static_cast<size_t>(c)] = static_cast<uint16_t>(u_getCombiningClass(c));
        if (surrogate || (c >= HANGUL_FIRST && c <= HANGUL_LAST)) continue;
        const std::u16string mapped = Normalize(nfd, folded);
        if (mapped == self) continue;
        if (mapStart.size() > 0xFFFF) {
            std::fprintf(stderr, "qurix-fold-data: too many mappings\n");
            return 1;
        }
        mapIndex[static_cast<size_t>(c)] = static_cast<uint16_t>(mapStart.size() - 1);
        pool += mapped;
        mapStart.push_back(static_cast<uint32_t>(pool.size()));
    }

    // Canonical pairs that compose into a character the fold keeps.
    std::vector<uint32_t> pairs;
    for (UChar32 c = 0; c < CODE_POINTS; ++c) {
        if (c >= HANGUL_FIRST && c <= HANGUL_LAST) continue;
        UChar raw[8];
        UErrorCode e = U_ZERO_ERROR;
        const int32_t n = unorm2_getRawDecomposition(nfc, c, raw, 8, &e);
        if (U_FAILURE(e) || n <= 0) continue;
        const std::vector<UChar32> parts = CodePoints(std::u16string(raw, static_cast<size_t>(n)));
        if (parts.size() != 2 || unorm2_composePair(nfc, parts[0], parts[1]) != c) continue;
        if (Normalize(casefold, Utf16(c)) != Utf16(c)) continue;
        pairs.insert(pairs.end(), {static_cast<uint32_t>(parts[0]), static_cast<uint32_t>(parts[1]),
                                   static_cast<uint32_t>(c)});
        props[static_cast<size_t>(parts[1])] |= qurix::fold::COMBINES_BACK;
    }
    // Sorted by first, then second, for a binary search.
    std::vector<std::array<uint32_t, 3>> sorted;
    for (size_t i = 0; i < pairs.size(); i += 3)
        sorted.push_back({pairs[i], pairs[i + 1], pairs[i + 2]});
    std::sort(sorted.begin(), sorted.end());
    pairs.clear();
    for (const auto& p : sorted) pairs.insert(pairs.end(), p.begin(), p.end());

    // The classes the folder asks about, for UTF-16 units.
    std::vector<uint8_t> classes(0x10000, 0);
    for (UChar32 c = 0; c < 0x10000; ++c) {
        uint8_t bits = 0;
        if (u_isUWhiteSpace(c)) bits |= qurix::fold::WHITE_SPACE;
        if (u_isdigit(c)) bits |= qurix::fold::DIGIT;
        if (u_isalpha(c)) bits |= qurix::fold::ALPHA;
        classes[static_cast<size_t>(c)] = bits;
        digest = qurix::fold::DigestStep(digest, c, std::u16string(1, static_cast<char16_t>(bits)));
    }

    std::vector<uint16_t> map1, prop1, class1;
    std::vector<uint16_t> map2, prop2;
    std::vector<uint8_t> class2;
    TwoStages(mapIndex, map1, map2);
    TwoStages(props, prop1, prop2);
    TwoStages(classes, class1, class2);

    FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "qurix-fold-data: cannot write %s\n", argv[1]);
        return 1;
    }
    UVersionInfo unicode;
    u_getUnicodeVersion(unicode);
    char version[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(unicode, version);
    std::fprintf(out,
                 "// Generated by tools/qurix-fold-data from ICU (Unicode %s): do not edit.\n"
                 "// clang-format off\n"
                 "#include \"core/search/FoldData.h\"\n\nnamespace qurix::fold {\n"
                 "\nconst char UNICODE_VERSION[] = \"%s\";\n"
                 "const uint64_t ICU_DIGEST = %lluULL;\n",
                 version, version, static_cast<unsigned long long>(digest));
    WriteArray(out, "uint16_t", "MAP_STAGE1", map1);
    WriteArray(out, "uint16_t", "MAP_STAGE2", map2);
    WriteArray(out, "uint32_t", "MAP_START", mapStart);
    std::vector<uint16_t> poolUnits(pool.begin(), pool.end());
    WriteArray(out, "char16_t", "MAP_POOL", poolUnits);
    WriteArray(out, "uint16_t", "PROP_STAGE1", prop1);
    WriteArray(out, "uint16_t", "PROP_STAGE2", prop2);
    std::fprintf(out, "\nconst size_t PAIR_COUNT = %zu;\n", pairs.size() / 3);
    WriteArray(out, "uint32_t", "PAIRS", pairs);
    WriteArray(out, "uint16_t", "CLASS_STAGE1", class1);
    WriteArray(out, "uint8_t", "CLASS_STAGE2", class2);
    std::fprintf(out, "\n}  // namespace qurix::fold\n// clang-format on\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
