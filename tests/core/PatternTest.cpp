#include <gtest/gtest.h>

#include "core/elements/ArcElement.h"
#include "core/elements/LineElement.h"
#include "core/elements/TextElement.h"
#include "core/library/Pattern.h"
#include "tests/core/elements/ElementTestUtil.h"

namespace qurix {
namespace {

using test::TextReader;

// Reads a pattern from the text after its "+PTN" token.
bool ReadPat(CPattern& p, const std::string& body, std::string* after = nullptr) {
    TextReader m(body);
    const bool ok = p.ReadPattern(m.reader);
    if (after) *after = m.Next();
    return ok;
}

std::string WritePat(const CPattern& p, const char* name = nullptr) {
    std::string out;
    CRecordWriter w(&out);
    EXPECT_TRUE(p.WritePattern(w, name));
    return out;
}

std::vector<uint8_t> BitmapOf(const CPattern& p) {
    if (!p.Bitmap()) return {};
    return std::vector<uint8_t>(p.Bitmap(), p.Bitmap() + p.BitmapByteCount());
}

TEST(PatternTest, DecodesBitmapRows) {
    CPattern p;
    std::string after;
    ASSERT_TRUE(ReadPat(p, "N:P1\nX:16\nY:2\n+BMP\n@@OO\nH@@A\n-BMP\n-PTN\nNEXT\n", &after));
    EXPECT_EQ(after, "NEXT");
    EXPECT_EQ(p.Name(), "P1");
    EXPECT_TRUE(p.HasName());
    EXPECT_EQ(p.BitmapStride(), 2);
    EXPECT_EQ(p.BitmapByteCount(), 4);
    EXPECT_EQ(BitmapOf(p), (std::vector<uint8_t>{0x00, 0xFF, 0x80, 0x01}));
}

TEST(PatternTest, BitmapRowRules) {
    struct Case {
        const char* size;
        const char* rows;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"X:16,Y:1", "Z@O", {0x00, 0x00}},              // bad pair gives 0; odd char ignored
        {"X:16,Y:1", "OOOOOO", {0xFF, 0xFF}},           // beyond the row is not decoded
        {"X:8,Y:2", "OO,,", {0xFF, 0x00, 0x00, 0x00}},  // an empty row is a row
        {"X:8,Y:3", "AO", {0x1F, 0, 0, 0, 0, 0}},       // rows that never come stay 0
        {"X:8,Y:1", "AO,OO,OO", {0x1F, 0x00}},          // rows beyond the height are ignored
        {"X:1,Y:1", "OOOO", {0xFF, 0x00}},              // (1 + 7) / 8 = 1 byte decoded
        {"X:17,Y:1", "OOOOOOOO", {0xFF, 0xFF, 0xFF, 0x00}},
        {"X:16,Y:1", "\x7fO", {0x00, 0x00}},
        {"X:16,Y:1", "?O", {0x00, 0x00}},
        {"X:16,Y:1", "+Q,OO,-Q,OO", {0xFF, 0x00}},  // a nested record is skipped
    };
    for (const auto& c : cases) {
        CPattern p;
        const std::string body = std::string("N:B,") + c.size + ",+BMP," + c.rows + ",-BMP,-PTN";
        ASSERT_TRUE(ReadPat(p, body)) << body;
        EXPECT_EQ(BitmapOf(p), c.bytes) << body;
    }
}

TEST(PatternTest, OnlyRowsAndColumnsThatCarryDataAreHeld) {
    std::string body = "N:W,X:600,Y:3,+BMP";
    for (int r = 0; r < 3; ++r) body += "," + std::string(200, 'O');
    CPattern p;
    ASSERT_TRUE(ReadPat(p, body + ",-BMP,-PTN"));
    EXPECT_EQ(p.BitmapStride(), 64);  // 501 columns, not the declared 600
    ASSERT_EQ(p.BitmapByteCount(), 192);
    for (int r = 0; r < 3; ++r) {
        for (int i = 0; i < 64; ++i) {
            EXPECT_EQ(p.Bitmap()[r * 64 + i], i < 63 ? 0xFF : 0x00) << r << "," << i;
        }
    }
    std::string tall = "N:T,X:8,Y:600,+BMP";
    for (int r = 0; r < 600; ++r) tall += ",AA";
    CPattern q;
    ASSERT_TRUE(ReadPat(q, tall + ",-BMP,-PTN"));
    EXPECT_EQ(q.Height(), 600);
    ASSERT_EQ(q.BitmapByteCount(), 501 * 2);  // the rows past 501 are clear, not held
    EXPECT_EQ(q.Bitmap()[500 * 2], 0x11);
    // A declared width whose full rows would take 16 MiB holds 501 rows of 64 bytes.
    CPattern wide;
    ASSERT_TRUE(ReadPat(wide, "N:W,X:267000,Y:501,+BMP,OO,-BMP,-PTN"));
    EXPECT_EQ(wide.BitmapByteCount(), 501 * 64);
    EXPECT_EQ(wide.Bitmap()[0], 0xFF);
}

TEST(PatternTest, BitmapBlocksThatDoNotQualifyAreSkipped) {
    const char* bodies[] = {
        "X:8,Y:1,+BMP,OO,-BMP,N:A",            // before any name
        "N:A,X:0,Y:1,+BMP,OO,-BMP",            // no width
        "N:A,X:8,Y:-1,+BMP,OO,-BMP",           // negative height
        "N:A,X:8,+BMP,OO,-BMP",                // no height
        "N:A,X:100000,Y:100000,+BMP,OO,-BMP",  // too large to hold
        "N:A,X:2147483647,Y:2147483647,+BMP,OO,-BMP",
    };
    for (const char* body : bodies) {
        CPattern p;
        ASSERT_TRUE(ReadPat(p, std::string(body) + ",+L,-L,-PTN")) << body;
        EXPECT_EQ(p.Bitmap(), nullptr) << body;
        EXPECT_EQ(p.BitmapByteCount(), 0) << body;
        EXPECT_EQ(p.ElementCount(), 1) << body;  // reading went on after the skipped block
    }
    CPattern p;  // a second bitmap is skipped and leaves the first
    ASSERT_TRUE(ReadPat(p, "N:A,X:8,Y:1,+BMP,AB,-BMP,N:B,+BMP,OO,-BMP,-PTN"));
    EXPECT_EQ(BitmapOf(p), (std::vector<uint8_t>{0x12, 0x00}));
    EXPECT_EQ(p.Name(), "B");
}

TEST(PatternTest, SizeAfterTheBitmapKeepsTheBitmapConsistent) {
    CPattern p;
    ASSERT_TRUE(ReadPat(p, "N:A,X:8,Y:1,+BMP,OO,-BMP,X:5000,Y:5000,-PTN"));
    EXPECT_EQ(p.Width(), 8);
    EXPECT_EQ(p.Height(), 1);
    EXPECT_EQ(int64_t{p.BitmapStride()} * p.Height(), p.BitmapByteCount());
    CPattern q;  // without a bitmap the size is whatever came last
    ASSERT_TRUE(ReadPat(q, "N:A,X:8,X:-5,Y:,Y:3,-PTN"));
    EXPECT_EQ(q.Width(), -5);
    EXPECT_EQ(q.Height(), 3);
    EXPECT_EQ(q.BitmapStride(), 0);
}

TEST(PatternTest, FailuresAndTruncation) {
    struct Case {
        const char* body;
        bool ok;
        int32_t elements;
    } cases[] = {
        {"N:A,+L,X:1,Y:1,X:2,Y:2,-L,+TX,X:1,Y:2,S:T,-TX,-PTN", true, 2},
        {"N:A,+L,X:1,Y:1,-C,+L,-L,-PTN", true, 1},  // a failed element is dropped
        {"N:A,+PG,N:33,X:0,Y:0,-PG,+AR,-AR,-PTN", true, 1},
        {"N:A,+L,-L,+C,-C", true, 2},          // end of input keeps what came
        {"N:A,+L,-L,-COMP", false, 1},         // foreign end tag: kept, the owner drops the pattern
        {"N:A,+L,-L,+ZZZ,-L,-PTN", false, 1},  // unknown record never ends
        {"N:A,+ZZZ,+L,-L,-ZZZ,+C,-C,-PTN", true, 1},  // unknown record skipped whole
        {"N:A,X:8,Y:1,+L,-L,+BMP,OO", false, 0},      // bitmap cut by end of input
        {"N:A,X:8,Y:1,+BMP,OO,-PTN", false, 0},       // bitmap closed by another tag
        {"N:A,X:8,Y:1,+BMP,+Q,OO", false, 0},         // record in bitmap never ends
        {"N:A,+L,-L,+C,-COMP,+L,-L,-PTN", true, 2},   // an element ended by a stray tag is dropped
    };
    for (const auto& c : cases) {
        CPattern p;
        EXPECT_EQ(ReadPat(p, c.body), c.ok) << c.body;
        EXPECT_EQ(p.ElementCount(), c.elements) << c.body;
        if (!c.ok) {
            EXPECT_EQ(p.Bitmap(), nullptr) << c.body;
        }
    }
}

TEST(PatternTest, ABrokenElementDoesNotCarryThePatternPastItsEnd) {
    // A text without its "-TX" meets the pattern's "-PTN": the text is dropped and the
    // pattern ends there, so the records after it are read by the library as usual.
    for (const char* body : {"N:A,+L,-L,+TX,X:1,Y:2,S:T,-PTN,NEXT", "N:A,+L,-L,+L,X:1,-PTN,NEXT"}) {
        CPattern p;
        std::string after;
        EXPECT_TRUE(ReadPat(p, body, &after)) << body;
        EXPECT_EQ(p.ElementCount(), 1) << body;
        EXPECT_EQ(after, "NEXT") << body;
    }
}

TEST(PatternTest, FailureReasonsReachTheListener) {
    struct Case {
        const char* body;
        const char* reasonPart;
    } cases[] = {
        {"N:A,-COMP", "-COMP"},
        {"N:A,+ZZZ", "+ZZZ"},
        {"N:A,X:8,Y:1,+BMP,OO", "-BMP"},
    };
    for (const auto& c : cases) {
        std::string reason;
        const CRecordReader::Listener listener = [&](int32_t, const std::string& r) { reason = r; };
        TextReader m(c.body);
        m.reader.SetListener(&listener);
        CPattern p;
        EXPECT_FALSE(p.ReadPattern(m.reader));
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << c.body << ": " << reason;
    }
}

TEST(PatternTest, NamesAndDataKeys) {
    CPattern p;
    ASSERT_TRUE(ReadPat(p, "N:,NAME:X,N:a:b,n:c,:d,X,-PTN"));
    EXPECT_EQ(p.Name(), "a:b");
    EXPECT_EQ(p.Width(), 0);
}

TEST(PatternTest, WritesRecordWithBitmapAndElements) {
    CPattern p;
    ASSERT_TRUE(ReadPat(p, "N:Q,X:10,Y:1,+BMP,JEL@,-BMP,+L,X:1,Y:2,X:3,Y:4,-L,-PTN"));
    EXPECT_EQ(BitmapOf(p), (std::vector<uint8_t>{0xA5, 0xC0}));
    EXPECT_EQ(WritePat(p),
              "+PTN,N:Q,X:10,Y:1\n+BMP\nJEL@\n-BMP\n+L,W:1,S:0,X:1,Y:2,X:3,Y:4,-L\n-PTN\n");
    EXPECT_EQ(WritePat(p, "Other").substr(0, 24), "+PTN,N:Other,X:10,Y:1\n+B");
    CPattern unnamed;
    EXPECT_EQ(WritePat(unnamed), "+PTN,N:,X:0,Y:0\n-PTN\n");
}

TEST(PatternTest, WriteThenReadGivesTheSamePattern) {
    std::string body = "N:Round trip,X:21,Y:3,+BMP,OOOA@,@@H@AB,,-BMP";
    body += ",+C,F:1,X:0,Y:0,X:9,Y:9,-C,+PG,N:3,X:0,Y:0,X:5,Y:0,X:0,Y:5,-PG";
    body += ",+AR,X:3,Y:3,R:2,B:100,E:200,-AR,+TX,X:1,Y:1,S:A%2CB,FF:I,-TX,-PTN";
    CPattern p;
    ASSERT_TRUE(ReadPat(p, body));
    ASSERT_EQ(p.ElementCount(), 4);
    const std::string text = WritePat(p);
    CPattern q;
    TextReader m(text);
    std::string tag;
    ASSERT_NE(m.reader.ReadToken(tag), -1);
    ASSERT_EQ(tag, "+PTN");
    ASSERT_TRUE(q.ReadPattern(m.reader));
    EXPECT_EQ(q.Name(), p.Name());
    EXPECT_EQ(q.Width(), 21);
    EXPECT_EQ(q.Height(), 3);
    EXPECT_EQ(BitmapOf(q), BitmapOf(p));
    EXPECT_EQ(BitmapOf(q), (std::vector<uint8_t>{0xFF, 0xF1, 0x00, 0x00, 0x00, 0x80, 0x12, 0x00,
                                                 0x00, 0x00, 0x00, 0x00}));
    ASSERT_EQ(q.ElementCount(), 4);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(q.Element(i)->Kind(), p.Element(i)->Kind());
    EXPECT_EQ(WritePat(q), text);
}

TEST(PatternTest, CopyIsDeep) {
    auto p = std::make_unique<CPattern>();
    ASSERT_TRUE(ReadPat(*p, "N:C,X:8,Y:1,+BMP,OO,-BMP,+L,X:1,Y:2,X:3,Y:4,-L,+TX,X:1,Y:1,S:T,-TX"));
    const auto* text = static_cast<const CTextElement*>(p->Element(1));
    text->SetDrawnSize(12, 34);
    std::unique_ptr<CPattern> copy = p->Clone();
    const std::string written = WritePat(*p);
    ASSERT_NE(copy->Bitmap(), p->Bitmap());
    ASSERT_NE(copy->Element(0), p->Element(0));
    p.reset();  // the copy owns everything it shows
    EXPECT_EQ(WritePat(*copy), written);
    EXPECT_EQ(copy->Name(), "C");
    EXPECT_EQ(copy->BitmapByteCount(), 2);
    EXPECT_EQ(static_cast<const CTextElement*>(copy->Element(1))->DrawnSize(), Point::Make(12, 34));
    EXPECT_EQ(copy->Element(-1), nullptr);
    EXPECT_EQ(copy->Element(2), nullptr);
}

TEST(PatternTest, CopyHoldsEveryKindInOrderAtItsOwnPlace) {
    // Elements of every kind and size, a broken one between them left out.
    const char* body =
        "N:K,+TX,X:1,Y:1,S:a long text that needs its own buffer,FN:Font,-TX\n"
        "+L,X:1,Y:2,X:3,Y:4,-L\n+AR,X:5,Y:5,R:4,B:0,E:1440,-AR\n+PG,N:1,-PG\n"
        "+C,F:1,X:0,Y:0,X:8,Y:8,-C\n+PG,N:3,X:0,Y:0,X:4,Y:0,X:4,Y:4,-PG\n+TX,X:2,Y:2,S:b,-TX\n";
    const ElementKind kinds[] = {ElementKind::Text,   ElementKind::Line,    ElementKind::Arc,
                                 ElementKind::Circle, ElementKind::Polygon, ElementKind::Text};
    auto p = std::make_unique<CPattern>();
    ASSERT_TRUE(ReadPat(*p, body));
    ASSERT_EQ(p->ElementCount(), 6);
    const std::string written = WritePat(*p);
    const CPattern copy(*p);
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(p->Element(i)->Kind(), kinds[i]) << i;
        EXPECT_NE(copy.Element(i), p->Element(i)) << i;
    }
    p.reset();
    EXPECT_EQ(WritePat(copy), written);
    EXPECT_EQ(static_cast<const CTextElement*>(copy.Element(0))->Text(),
              "a long text that needs its own buffer");
}

TEST(PatternTest, ReadingAgainReplacesElementsAndBitmap) {
    CPattern p;
    ASSERT_TRUE(ReadPat(p, "N:A,X:8,Y:1,+BMP,OO,-BMP,+L,-L,+L,-L,-PTN"));
    ASSERT_TRUE(ReadPat(p, "+C,-C,-PTN"));
    EXPECT_EQ(p.ElementCount(), 1);
    EXPECT_EQ(p.Bitmap(), nullptr);
    EXPECT_EQ(p.BitmapByteCount(), 0);
}

}  // namespace
}  // namespace qurix
