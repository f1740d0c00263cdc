#include "core/text/TextDecode.h"

#include <gtest/gtest.h>

#include "core/text/ByteText.h"

namespace qurix {
namespace {

TEST(TextDecodeTest, Utf8WhenValidElseCp932) {
    struct Case {
        const char* bytes;
        size_t size;
        std::u16string expected;
    };
    const Case cases[] = {
        {"", 0, u""},
        {"R1 abc", 6, u"R1 abc"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", 6, u"日本"},              // UTF-8
        {"\x93\xFA\x96\x7B", 4, u"日本"},                      // Shift-JIS
        {"\x81\x60", 2, u"\uFF5E"},                            // CP932's own mapping
        {"\x87\x40", 2, u"\u2460"},                            // NEC row 13
        {"\\", 1, u"\\"},                                      // a backslash, not a yen
        {"\xB1\xB2", 2, u"\uFF71\uFF72"},                      // half-width katakana
        {"\xC0\xAF", 2, u"\uFF80\uFF6F"},                      // overlong UTF-8
        {"\xED\xA0\x80", 3, u"\u605D\uFFFD"},                  // a UTF-8 surrogate is CP932 bytes
        {"\xF0\x9F\x98\x80\xC3\xA9", 6, u"\U0001F600\u00E9"},  // UTF-8 beyond the basic plane
        {"A\xFF"
         "B",
         3, u"A\uFFFDB"},               // undecodable byte
        {"A\x82", 2, u"A\uFFFD"},       // cut lead byte
        {"\x81\x20x", 3, u"\uFFFD x"},  // lead without trail
        {"\x85\x40!", 3, u"\uFFFD!"},   // unmapped pair
        {"\x80\xA0\xFD", 3, u"\uFFFD\uFFFD\uFFFD"},
        {"a\0b", 3, std::u16string(u"a\0b", 3)},  // NUL is a character
    };
    for (const Case& c : cases) {
        const std::string bytes(c.bytes, c.size);
        EXPECT_EQ(DecodeToUtf16(bytes), c.expected) << testing::PrintToString(bytes);
    }
}

TEST(TextDecodeTest, StrictUtf8) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xE6\x97"));          // cut
    EXPECT_FALSE(IsValidUtf8("\xC3"));
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

TEST(TextDecodeTest, LongShiftJisText) {
    std::string bytes;
    std::u16string expected;
    for (int i = 0; i < 5000; ++i) {
        bytes += "\x82\xA0x";  // hiragana A, then ASCII
        expected += u"\u3042x";
    }
    bytes += "\xFF";
    expected += u"\uFFFD";
    EXPECT_EQ(DecodeToUtf16(bytes), expected);
}

TEST(TextDecodeTest, Utf8OutKeepsValidBytesAndDecodesTheRest) {
    EXPECT_EQ(DecodeToUtf8("\xE6\x97\xA5 R1"), "\xE6\x97\xA5 R1");
    EXPECT_EQ(DecodeToUtf8("\x93\xFA\x96\x7B"), "\xE6\x97\xA5\xE6\x9C\xAC");  // 日本
    EXPECT_EQ(DecodeToUtf8("A\xB1\xFF"), "A\xEF\xBD\xB1\xEF\xBF\xBD");        // ｱ, U+FFFD
}

}  // namespace
}  // namespace qurix
