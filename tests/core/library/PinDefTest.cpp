#include "core/library/PinDef.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/core/TextReader.h"

namespace qurix {
namespace {

using test::TextReader;

// Reads the text that follows a "+PIN" token.
bool ReadPinText(CPinDef& pin, const std::string& text, int32_t blocks) {
    TextReader in(text);
    return pin.ReadPin(in.reader, blocks);
}

std::string WritePinText(const CPinDef& pin) {
    return test::WrittenText([&](CRecordWriter& w) { return pin.WritePin(w); });
}

TEST(PinDef, ReadsMarkedNameSideFlagsAndNumbers) {
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin, "N:\\A\\BC,L:L1,T:ZN,M:1,M:2,-PIN\n", 2));
    EXPECT_EQ(pin.NameBytes(), std::string("\xC1\xC2"
                                           "C"));
    EXPECT_EQ(pin.Side(), CPinDef::SIDE_LEFT);
    EXPECT_EQ(pin.Offset(), 1);
    EXPECT_EQ(pin.Flags(), 0x0Au);
    EXPECT_TRUE(pin.HasFlag(CPinDef::PIN_ZERO_LENGTH));
    EXPECT_TRUE(pin.HasFlag(CPinDef::PIN_NEGATED));
    ASSERT_EQ(pin.BlockCount(), 2);
    EXPECT_STREQ(pin.Number(0), "1");
    EXPECT_STREQ(pin.Number(1), "2");
    EXPECT_EQ(pin.Number(2), nullptr);
    EXPECT_EQ(pin.Number(-1), nullptr);
}

TEST(PinDef, SideAndOffsetKey) {
    struct Case {
        const char* tokens;
        int32_t side;
        int32_t offset;
    };
    // Each case starts from side top, offset 7.
    const Case cases[] = {
        {"L:R300", CPinDef::SIDE_RIGHT, 7},  {"L:X5", CPinDef::SIDE_TOP, 5},
        {"L:", CPinDef::SIDE_TOP, 7},        {"L:B0", CPinDef::SIDE_BOTTOM, 0},
        {"L:L255", CPinDef::SIDE_LEFT, 255}, {"L:R256", CPinDef::SIDE_RIGHT, 7},
        {"L:R-1", CPinDef::SIDE_RIGHT, 7},   {"L:T 12x", CPinDef::SIDE_TOP, 12},
        {"L:l3", CPinDef::SIDE_TOP, 3},      {"L:R4294967299", CPinDef::SIDE_RIGHT, 3},
    };
    for (const Case& c : cases) {
        CPinDef pin;
        ASSERT_TRUE(ReadPinText(pin, "L:T7,-PIN", 1));
        ASSERT_TRUE(ReadPinText(pin, std::string(c.tokens) + ",-PIN", 1)) << c.tokens;
        EXPECT_EQ(pin.Side(), c.side) << c.tokens;
        EXPECT_EQ(pin.Offset(), c.offset) << c.tokens;
    }
}

TEST(PinDef, FlagLetters) {
    struct Case {
        const char* tokens;
        uint32_t flags;
    };
    const Case cases[] = {
        {"T:Q", 0u}, {"T:", 0u},         {"T:CC", 0x04u},        {"T:S", 0x01u}, {"T:m", 0x10u},
        {"T:M", 0u}, {"T:mCNZS", 0x1Fu}, {"T:ZSNCm,T:C", 0x04u}, {"T:s,T:", 0u},
    };
    for (const Case& c : cases) {
        CPinDef pin;
        ASSERT_TRUE(ReadPinText(pin, std::string(c.tokens) + ",-PIN", 1)) << c.tokens;
        EXPECT_EQ(pin.Flags(), c.flags) << c.tokens;
    }
}

TEST(PinDef, NumbersPerBlock) {
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin, "M:1,-PIN", 2));
    EXPECT_STREQ(pin.Number(0), "1");
    EXPECT_EQ(pin.Number(1), nullptr);

    ASSERT_TRUE(ReadPinText(pin, "M:1,M:,M:3,-PIN", 2));
    EXPECT_STREQ(pin.Number(0), "1");
    ASSERT_NE(pin.Number(1), nullptr);  // an empty value is a number, not none
    EXPECT_STREQ(pin.Number(1), "");
    EXPECT_EQ(pin.Number(2), nullptr);

    // A component with no blocks gives its pins no numbers at all.
    ASSERT_TRUE(ReadPinText(pin, "M:1,-PIN", 0));
    EXPECT_EQ(pin.BlockCount(), 0);
    ASSERT_TRUE(ReadPinText(pin, "M:1,-PIN", -3));
    EXPECT_EQ(pin.BlockCount(), 0);
}

TEST(PinDef, NameIsCutAt255StoredBytes) {
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin, "N:" + std::string(300, 'a') + ",-PIN", 1));
    EXPECT_EQ(pin.NameBytes(), std::string(255, 'a'));

    std::string marked;
    for (int i = 0; i < 200; ++i) marked += "\\a";
    ASSERT_TRUE(ReadPinText(pin, "N:" + marked + ",-PIN", 1));
    EXPECT_EQ(pin.NameBytes(), std::string(200, '\xE1'));

    // 254 plain bytes then a pair: the pair still fits as one stored byte.
    ASSERT_TRUE(ReadPinText(pin, "N:" + std::string(254, 'b') + "\\c\\d,-PIN", 1));
    EXPECT_EQ(pin.NameBytes(), std::string(254, 'b') + "\xE3");
}

TEST(PinDef, NameDecoding) {
    struct Case {
        const char* encoded;
        std::string decoded;
    };
    const Case cases[] = {
        {"", ""},
        {"CLK", "CLK"},
        {"\\\\", "\xDC"},
        {"A\\", "A"},  // a lone mark at the end is dropped
        {"\\R\\S", "\xD2\xD3"},
        {"\x83\x65", "\x83\x65"},  // Shift-JIS bytes pass through
    };
    for (const Case& c : cases) {
        CPinDef pin;
        pin.SetName(c.encoded);
        ASSERT_NE(pin.Name(), nullptr);
        EXPECT_EQ(pin.NameBytes(), c.decoded) << c.encoded;
    }
    CPinDef pin;
    pin.SetName("X");
    pin.SetName(nullptr);
    EXPECT_EQ(pin.Name(), nullptr);
    EXPECT_EQ(pin.NameBytes(), "");
}

TEST(PinDef, EndTagsAndNestedRecords) {
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"N:A,-PIN", true},
        {"N:A,-COMP", false},
        {"N:A,-PINX", false},
        {"N:A", true},  // the end of input ends the record
        {"", true},
        {"+FOO,N:B,-FOO,-PIN", true},
        {"+FOO,+FOO,-FOO,-PIN", true},  // no nesting is counted
        {"+FOO,N:B,-PIN", false},
    };
    for (const Case& c : cases) {
        CPinDef pin;
        EXPECT_EQ(ReadPinText(pin, c.text, 1), c.ok) << c.text;
    }
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin, "N:A,+FOO,N:B,-FOO,-PIN", 1));
    EXPECT_EQ(pin.NameBytes(), "A");
}

TEST(PinDef, FailureReasonNamesTheTag) {
    CPinDef pin;
    TextReader in("N:A\nL:L2\n-COMP\n");
    int32_t line = 0;
    std::string reason;
    const CRecordReader::Listener listener = [&](int32_t l, const std::string& r) {
        line = l;
        reason = r;
    };
    in.reader.SetListener(&listener);
    EXPECT_FALSE(pin.ReadPin(in.reader, 1));
    EXPECT_EQ(reason, "unexpected end tag -COMP in a pin");
    EXPECT_EQ(line, 3);  // the line of the end tag itself

    TextReader cut("N:A\n+FOO\nM:1\n");
    cut.reader.SetListener(&listener);
    EXPECT_FALSE(pin.ReadPin(cut.reader, 1));
    EXPECT_EQ(reason, "record +FOO from line 2 never ends");
}

TEST(PinDef, WritesOneLine) {
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin, "N:\\Ax,L:B12,T:ZSNCm,M:3,-PIN", 2));
    EXPECT_EQ(WritePinText(pin), "+PIN,N:\\Ax,L:B12,T:ZSNCm,M:3,M:,-PIN");

    EXPECT_EQ(WritePinText(CPinDef()), "+PIN,N:,L:L0,T:,-PIN");

    // Blanks, commas and percent signs in the name and numbers are escaped.
    ASSERT_TRUE(ReadPinText(pin, "N:A B%2C,L:T3,T:C,M:1%25,-PIN", 1));
    EXPECT_EQ(WritePinText(pin), "+PIN,N:A%20B%2C,L:T3,T:C,M:1%25,-PIN");
}

TEST(PinDef, RoundTrip) {
    const std::string texts[] = {
        "N:\\R\\S,L:R4,T:NC,M:1,M:,M:12,-PIN",
        "N:\x83\x65\\Q,L:T0,T:Zm,M:A%2C1,M:B,M:C,-PIN",
        "N:,L:B255,T:S,M:,M:,M:,-PIN",
    };
    for (const std::string& text : texts) {
        CPinDef first;
        ASSERT_TRUE(ReadPinText(first, text, 3));
        const std::string once = WritePinText(first);
        CPinDef second;
        ASSERT_TRUE(ReadPinText(second, once.substr(5), 3));  // after "+PIN,"
        EXPECT_EQ(WritePinText(second), once);
        EXPECT_EQ(second.NameBytes(), first.NameBytes());
    }
}

TEST(PinDef, ByteWithOnlyTheMarkBitSurvivesARoundTrip) {
    // "\" with a NUL would end the name; 0x80 is written as itself instead.
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin,
                            "N:A\x80"
                            "B,-PIN",
                            1));
    EXPECT_EQ(pin.NameBytes(),
              "A\x80"
              "B");
    const std::string out = WritePinText(pin);
    CPinDef again;
    ASSERT_TRUE(ReadPinText(again, out.substr(5), 1));
    EXPECT_EQ(again.NameBytes(), pin.NameBytes());
}

TEST(PinDef, CopyIsDeep) {
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin, "N:\\Q,L:R9,T:C,M:1,-PIN", 2));
    CPinDef copy(pin);
    pin.SetNumber(0, "7");
    pin.SetNumber(2, "x");  // out of range: nothing changes
    EXPECT_EQ(pin.BlockCount(), 2);
    pin.SetName("Z");
    EXPECT_STREQ(copy.Number(0), "1");
    EXPECT_EQ(copy.Number(1), nullptr);
    EXPECT_EQ(copy.NameBytes(), "\xD1");
    EXPECT_EQ(copy.Side(), CPinDef::SIDE_RIGHT);
    EXPECT_EQ(copy.Offset(), 9);
    EXPECT_EQ(copy.Flags(), CPinDef::PIN_CLOCK);
}

TEST(PinDef, NumbersOfBlocksWithoutOneAreNone) {
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin, "M:1,M:,-PIN", 256));
    EXPECT_EQ(pin.BlockCount(), 256);
    pin.SetNumber(200, "x");  // past the numbers read but within the blocks
    pin.SetNumber(1, nullptr);
    pin.SetNumber(256, "y");  // past the blocks: nothing changes
    struct Case {
        int32_t block;
        const char* number;  // null: none
    };
    const Case cases[] = {{0, "1"},   {1, nullptr},   {2, nullptr},   {199, nullptr},
                          {200, "x"}, {201, nullptr}, {255, nullptr}, {256, nullptr}};
    for (const Case& c : cases) {
        if (c.number) {
            EXPECT_STREQ(pin.Number(c.block), c.number) << c.block;
        } else {
            EXPECT_EQ(pin.Number(c.block), nullptr) << c.block;
        }
    }
    // Every block is still written, the ones without a number empty.
    const std::string out = WritePinText(pin);
    EXPECT_EQ(out.find("M:1,M:,M:,"), out.find("M:"));
    pin.SetNumber(200, nullptr);
    EXPECT_EQ(pin.Number(200), nullptr);
    const size_t x = out.find("M:x") + 2;
    EXPECT_EQ(WritePinText(pin), out.substr(0, x) + out.substr(x + 1));
}

TEST(PinDef, ReplacingOneNumberKeepsTheOthers) {
    // Numbers of several lengths side by side, each replaced, removed or set in turn.
    const std::string longNumber(40, '9');
    struct Step {
        int32_t block;
        const char* number;       // null: remove
        const char* expected[5];  // blocks 0 to 4 afterwards; null: none
    };
    const Step steps[] = {
        {1, longNumber.c_str(), {"1", longNumber.c_str(), "", "33", nullptr}},  // grows
        {0, "", {"", longNumber.c_str(), "", "33", nullptr}},                   // empties
        {1, nullptr, {"", nullptr, "", "33", nullptr}},  // a gap in the middle
        {4, "5", {"", nullptr, "", "33", "5"}},          // after the last, past a gap
        {3, nullptr, {"", nullptr, "", nullptr, "5"}},
        {4, nullptr, {"", nullptr, "", nullptr, nullptr}},  // trailing gaps go too
        {1, "b", {"", "b", "", nullptr, nullptr}},
    };
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin, "M:1,M:22,M:,M:33,-PIN", 5));
    for (const Step& s : steps) {
        pin.SetNumber(s.block, s.number);
        for (int32_t k = 0; k < 5; ++k) {
            if (s.expected[k]) {
                EXPECT_STREQ(pin.Number(k), s.expected[k]) << s.block << " then " << k;
            } else {
                EXPECT_EQ(pin.Number(k), nullptr) << s.block << " then " << k;
            }
        }
    }
}

TEST(PinDef, EscapedNulEndsAValue) {
    CPinDef pin;
    ASSERT_TRUE(ReadPinText(pin, "N:AB%00C,M:1%002,-PIN", 1));
    EXPECT_EQ(pin.NameBytes(), "AB");
    EXPECT_STREQ(pin.Number(0), "1");
}

}  // namespace
}  // namespace qurix
