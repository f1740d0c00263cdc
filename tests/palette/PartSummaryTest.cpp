#include "palette/PartSummary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/library/PartLibrary.h"
#include "core/platform/TempFiles.h"

namespace qurix {
namespace {

TEST(ReadableText, DecodesUtf8ElseShiftJisAndPlainLineBreaks) {
    const struct {
        std::string bytes;
        std::string want;
    } cases[] = {
        {"", ""},
        {"NAND2", "NAND2"},
        {"\xE6\x8A\xB5\xE6\x8A\x97", "抵抗"},
        {"\x92\xEF\x8D\x52", "抵抗"},
        // Half-width katakana and the 0x5C trail byte of "表".
        {"\xB1\xB2 \x95\x5C", "ｱｲ 表"},
        // A lead byte cut off at the end, and bytes that start no character.
        {std::string("ab\x92", 3), "ab\uFFFD"},
        {std::string("\x80x\xFDy", 4), "\uFFFDx\uFFFDy"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        // The editor's line breaks.
        {"one\r\ntwo\rthree\nfour\r", "one\ntwo\nthree\nfour\n"},
        {"\x92\xEF\r\n\x8D\x52", "抵\n抗"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadableText(c.bytes), c.want) << c.bytes;
    }
}

// A two-gate part (pin 5 in both gates), a plain one with a note, an alias, a part
// without pins and one whose note starts and ends with wide blanks.
const std::string GATES_LIB =
    "+KIVOX_LIB_V.1.0\n"
    "+COMP,N:DUAL\nX:4,Y:4,B:2\nR:U\n+PIN,N:,L:L1,T:,M:1,M:3,-PIN\n"
    "+PIN,N:,L:R1,T:,M:2,M:4,-PIN\n+PIN,N:,L:B2,T:,M:5,M:5,-PIN\n-COMP\n"
    "+COMP,N:R\nX:4,Y:2,B:1\nR:U\n+PIN,N:,L:L1,T:,M:1,-PIN\n+PIN,N:,L:R1,T:,M:2,-PIN\n"
    "NOTE:  first line  %0D%0Asecond line,-COMP\n"
    "+ALIAS,N:DUAL,A:DUAL2,-ALIAS\n"
    "+COMP,N:EMPTY\nX:1,Y:1,B:1\nR:U\n-COMP\n"
    "+COMP,N:WIDE\nX:1,Y:1,B:1\nR:U\nNOTE:\x81\x40\x92\xEF\x8D\x52\x81\x40,-COMP\n"
    "-KIVOX_LIB_V.1.0\n";

TEST(PartToolTip, NamesLibraryBlocksPinsAliasAndNote) {
    CPartLibrary library;
    std::FILE* f = OpenBytesAsFile(GATES_LIB);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(library.LoadStream(f, "gates.lib"));
    std::fclose(f);
    const struct {
        int row;
        std::string tip;
    } rows[] = {
        {0, "DUAL\nライブラリ: gates.lib\nブロック数 2 / ピン数 5"},
        // The note's first line, without its blanks.
        {1, "R\nライブラリ: gates.lib\nブロック数 1 / ピン数 2\nfirst line"},
        {2, "DUAL2\nライブラリ: gates.lib\nブロック数 2 / ピン数 5\n別名の元: DUAL"},
        {3, "EMPTY\nライブラリ: gates.lib\nブロック数 1 / ピン数 0"},
        {4, "WIDE\nライブラリ: gates.lib\nブロック数 1 / ピン数 0\n抵抗"},
    };
    ASSERT_EQ(library.EntryCount(), 5);
    for (const auto& r : rows) {
        const CLibEntry& entry = *library.Entry(r.row);
        EXPECT_EQ(PartToolTip(ReadableText(entry.Name()), entry, &library), r.tip) << r.row;
    }
    // Without a library: the text, the blocks and pins, the note.
    EXPECT_EQ(PartToolTip("R", *library.Entry(1), nullptr),
              "R\nブロック数 1 / ピン数 2\nfirst line");
}

}  // namespace
}  // namespace qurix
