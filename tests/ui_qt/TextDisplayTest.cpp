#include "ui/qt/TextDisplay.h"

#include <gtest/gtest.h>

#include <string>

namespace qurix {
namespace {

TEST(DisplayText, DecodesUtf8ElseShiftJis) {
    const struct {
        std::string bytes;
        QString want;
    } cases[] = {
        {"", QString()},
        {"NAND2", QStringLiteral("NAND2")},
        {"\xE6\x8A\xB5\xE6\x8A\x97", QStringLiteral("抵抗")},
        {"\x92\xEF\x8D\x52", QStringLiteral("抵抗")},
        // Half-width katakana and the 0x5C trail byte of "表".
        {"\xB1\xB2 \x95\x5C", QStringLiteral("ｱｲ 表")},
        // A lead byte cut off at the end, and bytes that start no character.
        {std::string("ab\x92", 3), QStringLiteral("ab\uFFFD")},
        {std::string("\x80x\xFDy", 4), QStringLiteral("\uFFFDx\uFFFDy")},
        {std::string("a\0b", 3), QString::fromUtf16(u"a\0b", 3)},
        // The editor's line breaks.
        {"one\r\ntwo\rthree\nfour", QStringLiteral("one\ntwo\nthree\nfour")},
        {"\x92\xEF\r\n\x8D\x52", QStringLiteral("抵\n抗")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayText(c.bytes), c.want) << c.bytes;
    }
}

}  // namespace
}  // namespace qurix
