#include "core/library/ComponentDef.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/core/TextReader.h"

namespace qurix {
namespace {

using test::TextReader;

struct ReadResult {
    bool ok = false;
    std::string name;
    std::string pattern;
    std::string reason;
};

// Reads the text that follows a "+COMP" token.
ReadResult ReadCompText(CComponentDef& def, const std::string& text) {
    TextReader in(text);
    ReadResult r;
    const CRecordReader::Listener listener = [&](int32_t, const std::string& why) {
        r.reason = why;
    };
    in.reader.SetListener(&listener);
    r.ok = def.ReadComponent(in.reader, r.name, r.pattern);
    return r;
}

std::string WriteCompText(const CComponentDef& def, const std::string& name) {
    return test::WrittenText([&](CRecordWriter& w) { return def.WriteComponent(w, name); });
}

TEST(ComponentDef, ReadsTheSmallestRecord) {
    CComponentDef def;
    const ReadResult r = ReadCompText(def, "N:R\nX:2\nY:1\nB:1\n-COMP\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.name, "R");
    EXPECT_EQ(r.pattern, "");
    EXPECT_STREQ(def.ReferencePrefix(), "U");
    EXPECT_EQ(def.Width(), 2);
    EXPECT_EQ(def.Height(), 1);
    EXPECT_EQ(def.BlockCount(), 1);
    EXPECT_EQ(def.PinCount(), 0);
    EXPECT_EQ(def.Pattern(), nullptr);
}

TEST(ComponentDef, ReadsEveryKeyAndPinsInOrder) {
    CComponentDef def;
    const ReadResult r = ReadCompText(def,
                                      "N:NAND\nX:4,Y:3,B:4\nR:IC\nP:NANDP\n"
                                      "+PIN,N:A,L:L1,T:,M:1,M:4,M:9,M:12,-PIN\n"
                                      "+PIN,N:\\Y,L:R2,T:N,M:3,M:6,M:8,M:11,-PIN\n"
                                      "NOTE:quad 2-input NAND,-COMP\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.name, "NAND");
    EXPECT_EQ(r.pattern, "NANDP");
    EXPECT_STREQ(def.ReferencePrefix(), "IC");
    EXPECT_EQ(def.Size(), Point::Make(4, 3));
    EXPECT_EQ(def.BlockCount(), 4);
    ASSERT_EQ(def.PinCount(), 2);
    EXPECT_EQ(def.Pin(0)->NameBytes(), "A");
    EXPECT_STREQ(def.Pin(0)->Number(3), "12");
    EXPECT_EQ(def.Pin(1)->NameBytes(), "\xD9");
    EXPECT_EQ(def.Pin(1)->Side(), CPinDef::SIDE_RIGHT);
    EXPECT_EQ(def.Pin(1)->BlockCount(), 4);
    EXPECT_EQ(def.Pin(2), nullptr);
    EXPECT_EQ(def.Pin(-1), nullptr);
    EXPECT_EQ(def.Note(), "quad 2-input NAND");
}

TEST(ComponentDef, RecordChecks) {
    struct Case {
        const char* text;
        int32_t blocks;      // when read
        const char* reason;  // empty when read
    };
    const Case cases[] = {
        {"N:A,X:1,Y:1,B:0,-COMP", 0, "component A: no block count at -COMP"},
        {"N:A,X:1,Y:1,B:0,+PIN,-PIN,-COMP", 0, "component A: pin before size and block count"},
        {"N:A,X:1,Y:1,B:0,B:2,-COMP", 2, ""},
        {"N:A,X:1,Y:1,B:2,B:2,-COMP", 0, "component A: second block count 2"},
        {"N:A,X:1,Y:1,B:2,B:0,-COMP", 0, "component A: second block count 0"},
        {"N:A,X:1,Y:1,B:256,-COMP", 256, ""},
        {"N:AMP,X:1,Y:1,B:300,-COMP", 0, "component AMP: block count 300 out of range"},
        {"N:A,X:1,Y:1,B:257,-COMP", 0, "component A: block count 257 out of range"},
        {"N:A,X:1,Y:1,B:-1,-COMP", 0, "component A: block count -1 out of range"},
        {"N:A,X:1,Y:1,B:4294967297,-COMP", 1, ""},  // atoi wraps
        {"N:A,X:-1", 0, "component A: width -1 is negative"},
        {"X:1,Y:-2,N:A", 0, "component: height -2 is negative"},
        {"N:A,X:,Y:1,B:1,-COMP", 0, "component A: size 0 x 1 at -COMP"},
        {"N:A,X:,Y:1,B:1,+PIN,-PIN", 0, "component A: pin before size and block count"},
        {"N:A,X:1,Y:1,+PIN,-PIN,B:1,-COMP", 0, "component A: pin before size and block count"},
        {"X:1,Y:1,B:1,-COMP", 0, "component: no name at -COMP"},
        {"N:,X:1,Y:1,B:1,-COMP", 0, "component: no name at -COMP"},
        {"N:A,X:1,Y:1,B:1,-PTN", 0, "component A: unexpected end tag -PTN"},
        {"N:A,X:1,Y:1,B:1,-COMPX", 0, "component A: unexpected end tag -COMPX"},
        {"N:A,X:1,Y:1,B:1,+FOO,N:B,-FOO,-COMP", 1, ""},
        {"N:A,X:1,Y:1,B:1,+FOO,-COMP", 0, "record +FOO from line 1 never ends"},
        {"N:A,X:1,Y:1,B:1,+PIN,-COMP", 0, "unexpected end tag -COMP in a pin"},
        {"N:A,X:1,Y:1,B:1,+PIN,N:x", 1, ""},  // the cut ends the pin and the record
        {"N:A", 0, ""},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        CComponentDef def;
        const ReadResult r = ReadCompText(def, c.text);
        const bool ok = *c.reason == '\0';
        EXPECT_EQ(r.ok, ok) << c.text;
        if (ok) {
            EXPECT_EQ(def.BlockCount(), c.blocks) << c.text;
        } else {
            EXPECT_EQ(r.reason, c.reason) << c.text;
        }
    }
}

TEST(ComponentDef, CutRecordKeepsWhatWasRead) {
    CComponentDef def;
    ReadResult r = ReadCompText(def, "N:A\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.name, "A");
    EXPECT_EQ(def.Size(), Point::Make(0, 0));
    EXPECT_EQ(def.BlockCount(), 0);
    EXPECT_STREQ(def.ReferencePrefix(), "U");

    r = ReadCompText(def, "N:B,X:3,Y:2,B:2,R:Q,+PIN,N:x,M:1,-PIN,+PIN,N:y,L:B");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(def.Size(), Point::Make(3, 2));
    EXPECT_STREQ(def.ReferencePrefix(), "Q");
    ASSERT_EQ(def.PinCount(), 2);
    EXPECT_EQ(def.Pin(1)->Side(), CPinDef::SIDE_BOTTOM);
}

TEST(ComponentDef, KeysAreExactAndEmptyValuesCount) {
    CComponentDef def;
    ReadResult r = ReadCompText(def, "N:A,X:1,Y:1,B:1,R:,NOTE:,n:b,NOTES:x,:x,junk,-COMP");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.name, "A");
    EXPECT_STREQ(def.ReferencePrefix(), "");
    EXPECT_EQ(def.Note(), "");

    r = ReadCompText(def, "N:A,N:B,P:x,P:,X:5,X:6,Y:1,B:1,NOTE:a:b,-COMP");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.name, "B");
    EXPECT_EQ(r.pattern, "");
    EXPECT_EQ(def.Width(), 6);
    EXPECT_EQ(def.Note(), "a:b");
}

TEST(ComponentDef, WritesWithoutPattern) {
    CComponentDef def;
    ASSERT_TRUE(ReadCompText(def, "N:ignored,X:4,Y:3,B:1,NOTE:x,-COMP").ok);
    EXPECT_EQ(WriteCompText(def, "A"), "+COMP,N:A\nX:4,Y:3,B:1\nR:U\nNOTE:x,-COMP\n");
}

TEST(ComponentDef, EmptyNameWritesNothing) {
    CComponentDef def;
    ASSERT_TRUE(ReadCompText(def, "N:A,X:4,Y:3,B:1,-COMP").ok);
    std::string out;
    CRecordWriter writer(&out);
    EXPECT_FALSE(def.WriteComponent(writer, ""));
    EXPECT_EQ(out, "");
    CRecordWriter nowhere;
    EXPECT_FALSE(def.WriteComponent(nowhere, "A"));
}

TEST(ComponentDef, WritesPinsAndThePatternUnderThePartName) {
    CComponentDef def;
    ASSERT_TRUE(ReadCompText(def,
                             "N:OLD,X:2,Y:2,B:2,R:IC,P:BODY,"
                             "+PIN,N:\\C,L:T1,T:C,M:1,M:2,-PIN,"
                             "+PIN,N:Q,L:B1,T:Zm,M:3,-PIN,NOTE:two%2C blocks,-COMP")
                    .ok);
    TextReader ptn("N:BODY,X:10,Y:1,+BMP,JEL@,-BMP,-PTN");
    auto pattern = std::make_unique<CPattern>();
    ASSERT_TRUE(pattern->ReadPattern(ptn.reader));
    def.SetPattern(std::move(pattern));

    EXPECT_EQ(WriteCompText(def, "NEW"),
              "+PTN,N:NEW,X:10,Y:1\n+BMP\nJEL@\n-BMP\n-PTN\n"
              "+COMP,N:NEW\nX:2,Y:2,B:2\nR:IC\nP:NEW\n"
              "+PIN,N:\\C,L:T1,T:C,M:1,M:2,-PIN\n"
              "+PIN,N:Q,L:B1,T:Zm,M:3,M:,-PIN\n"
              "NOTE:two%2C%20blocks,-COMP\n");
}

TEST(ComponentDef, CopyOwnsItsPinsAndSharesThePattern) {
    auto def = std::make_unique<CComponentDef>();
    ASSERT_TRUE(ReadCompText(*def, "N:A,X:2,Y:3,B:2,R:Q,+PIN,N:p,M:1,M:2,-PIN,NOTE:n,-COMP").ok);
    TextReader ptn("N:P,X:16,Y:2,+BMP,@@OO,H@@A,-BMP,-PTN");
    auto pattern = std::make_unique<CPattern>();
    ASSERT_TRUE(pattern->ReadPattern(ptn.reader));
    def->SetPattern(std::move(pattern));

    const std::unique_ptr<CComponentDef> copy = def->Clone();
    const std::string before = WriteCompText(*def, "A");
    ASSERT_EQ(copy->Pattern(), def->Pattern());
    ASSERT_NE(copy->Pin(0), def->Pin(0));
    def.reset();  // the shared pattern lives on with the copy
    EXPECT_EQ(WriteCompText(*copy, "A"), before);
    EXPECT_EQ(copy->Pattern()->BitmapByteCount(), 4);
    EXPECT_STREQ(copy->Pin(0)->Number(1), "2");
}

TEST(ComponentDef, RoundTrip) {
    const std::string text =
        "N:OP,X:6,Y:4,B:2,R:IC,+PIN,N:\\EN,L:L1,T:N,M:1,M:7,-PIN,"
        "+PIN,N:OUT,L:R2,T:S,M:2,M:,-PIN,NOTE:\x83\x49\x83\x76\x83\x41\x83\x76 dual,-COMP";
    CComponentDef first;
    ReadResult r = ReadCompText(first, text);
    ASSERT_TRUE(r.ok);
    const std::string once = WriteCompText(first, r.name);
    CComponentDef second;
    r = ReadCompText(second, once.substr(std::string("+COMP,").size()));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.name, "OP");
    EXPECT_EQ(WriteCompText(second, r.name), once);
}

}  // namespace
}  // namespace qurix
