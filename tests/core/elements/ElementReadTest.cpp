#include <gtest/gtest.h>

#include "core/elements/ArcElement.h"
#include "core/elements/CircleElement.h"
#include "core/elements/ElementRecords.h"
#include "core/elements/LineElement.h"
#include "core/elements/PolygonElement.h"
#include "core/elements/TextElement.h"
#include "tests/core/elements/ElementTestUtil.h"

namespace qurix {
namespace {

using test::ReadInto;

TEST(ElementFactoryTest, CreatesByWholeTag) {
    struct Case {
        const char* tag;
        ElementKind kind;
    } cases[] = {{"+L", ElementKind::Line},
                 {"+C", ElementKind::Circle},
                 {"+PG", ElementKind::Polygon},
                 {"+AR", ElementKind::Arc},
                 {"+TX", ElementKind::Text}};
    for (const auto& c : cases) {
        auto e = CreateElementByTag(c.tag);
        ASSERT_NE(e, nullptr) << c.tag;
        EXPECT_EQ(e->Kind(), c.kind) << c.tag;
    }
    for (const char* tag : {"+LL", "+l", "+P", "L", "-L", "", "+BMP", "+TXT"}) {
        EXPECT_EQ(CreateElementByTag(tag), nullptr) << tag;
    }
}

// The rules every element record shares, checked on each kind with a body that makes the
// element usable. Where a kind deviates it says so in its own tests below.
struct KindCase {
    const char* tag;
    const char* endTag;
    const char* usableBody;  // data tokens that make the element readable
};
const KindCase KINDS[] = {
    {"+L", "-L", "X:1,Y:2,X:3,Y:4"},       {"+C", "-C", "X:1,Y:2,X:3,Y:4"},
    {"+PG", "-PG", "N:2,X:1,Y:2,X:3,Y:4"}, {"+AR", "-AR", "X:1,Y:2,R:3"},
    {"+TX", "-TX", "X:1,Y:2,S:T"},
};

TEST(ElementReadTest, CommonShapeOnEveryKind) {
    for (const auto& k : KINDS) {
        const std::string body = k.usableBody;
        const std::string end = k.endTag;
        SCOPED_TRACE(k.tag);
        std::string after;
        {
            auto e = CreateElementByTag(k.tag);
            EXPECT_TRUE(ReadInto(*e, body + "," + end + ",NEXT\n", &after));
            EXPECT_EQ(after, "NEXT");  // consumed exactly through its end tag
        }
        {
            auto e = CreateElementByTag(k.tag);
            EXPECT_FALSE(ReadInto(*e, body + ",-PTN,NEXT\n", &after));  // foreign end tag
            EXPECT_EQ(after, "NEXT");
        }
        {
            // An unknown nested block is skipped to its own end tag, however much lies in it.
            auto e = CreateElementByTag(k.tag);
            EXPECT_TRUE(ReadInto(*e, body + ",+XYZ,-L,-TX,+XYZ,W:9,-XYZ," + end + ",NEXT", &after));
            EXPECT_EQ(after, "NEXT");
            EXPECT_NE(e->Width(), 9);
        }
        {
            auto e = CreateElementByTag(k.tag);
            EXPECT_FALSE(ReadInto(*e, body + ",+XYZ,W:9," + end));  // never ends
        }
        {
            // The end of input completes the record, except for a text, which needs its end.
            auto e = CreateElementByTag(k.tag);
            EXPECT_EQ(ReadInto(*e, body), e->Kind() != ElementKind::Text);
        }
    }
}

TEST(ElementReadTest, DataTokensAreFilteredAndParsedLikeAtoi) {
    struct Case {
        const char* token;
        int32_t width;
    } cases[] = {
        {"W:", 1},            // empty value ignored
        {":5", 1},            // empty key ignored
        {"W5", 1},            // no colon
        {"W:abc", 0},         // junk reads as 0
        {"W: 7", 7},          // leading blank
        {"W:-3x", -3},        // stops at the first non-digit
        {"WW:4", 1},          // keys match whole
        {"w:4", 1},           // and by case
        {"W:4:5", 4},         // the value is everything after the first colon
        {"W:%00", 1},         // a value cut at an embedded NUL is empty
        {"W:4294967298", 2},  // wraps to 32 bits
    };
    for (const auto& c : cases) {
        CLineElement line;
        EXPECT_TRUE(ReadInto(line, std::string(c.token) + ",-L")) << c.token;
        EXPECT_EQ(line.Width(), c.width) << c.token;
    }
}

TEST(ElementReadTest, ReadingDefaultsDifferFromConstructorDefaults) {
    CLineElement line;
    EXPECT_EQ(line.P1(), Point::Make(-1, -1));
    ASSERT_TRUE(ReadInto(line, "-L"));
    EXPECT_EQ(line.P1(), Point::Zero());
    EXPECT_EQ(line.P2(), Point::Zero());
    EXPECT_EQ(line.Width(), 1);
    EXPECT_EQ(line.Style(), 0);
    EXPECT_EQ(line.Fill(), -1);

    CCircleElement circle;
    EXPECT_EQ(circle.P2(), Point::Make(-1, -1));
    ASSERT_TRUE(ReadInto(circle, "-C"));
    EXPECT_EQ(circle.P1(), Point::Zero());
    EXPECT_EQ(circle.P2(), Point::Zero());
    EXPECT_EQ(circle.Fill(), -1);

    CArcElement arc;
    EXPECT_EQ(arc.End(), 5760);
    ASSERT_TRUE(ReadInto(arc, "-AR"));
    EXPECT_EQ(arc.Centre(), Point::Make(10, 10));
    EXPECT_EQ(arc.Radius(), 10);
    EXPECT_EQ(arc.Begin(), 0);
    EXPECT_EQ(arc.End(), 0);
    EXPECT_EQ(arc.Bounds(), Rect::Make(0, 0, 20, 20));  // begin = end: a full circle
}

TEST(ElementReadTest, FailedReadLeavesLineCircleAndArcUnchanged) {
    CLineElement line;
    line.SetPoints({5, 6}, {7, 8});
    line.SetWidth(3);
    EXPECT_FALSE(ReadInto(line, "W:9,X:1,Y:1,-C"));
    EXPECT_EQ(line.P1(), Point::Make(5, 6));
    EXPECT_EQ(line.Width(), 3);

    CArcElement arc;
    arc.SetArc({1, 2}, 3, 4, 5);
    EXPECT_FALSE(ReadInto(arc, "R:50,+Q"));
    EXPECT_EQ(arc.Radius(), 3);
    EXPECT_EQ(arc.End(), 5);
}

TEST(ElementReadTest, LineAndCirclePairPointsAtTheFirstY) {
    struct Case {
        const char* body;
        Point p1;
        Point p2;
    } cases[] = {
        {"X:0,Y:0,X:100,Y:0", {0, 0}, {100, 0}},
        {"X:5,X:7,Y:1,X:9,Y:2", {7, 1}, {9, 2}},
        {"Y:3,X:4", {0, 3}, {4, 0}},                  // a Y first closes the first point
        {"X:1,Y:2,X:3,Y:4,X:5,Y:6", {1, 2}, {5, 6}},  // later pairs overwrite the second
        {"X:1", {1, 0}, {0, 0}},
    };
    for (const auto& c : cases) {
        CLineElement line;
        ASSERT_TRUE(ReadInto(line, std::string(c.body) + ",-L")) << c.body;
        EXPECT_EQ(line.P1(), c.p1) << c.body;
        EXPECT_EQ(line.P2(), c.p2) << c.body;
        CCircleElement circle;
        ASSERT_TRUE(ReadInto(circle, std::string("F:0,") + c.body + ",-C")) << c.body;
        EXPECT_EQ(circle.P1(), c.p1) << c.body;
        EXPECT_EQ(circle.P2(), c.p2) << c.body;
        EXPECT_EQ(circle.Fill(), 0);
    }
    CLineElement line;
    ASSERT_TRUE(ReadInto(line, "X:3,Y:3,X:3,Y:3,F:1,-L"));
    EXPECT_FALSE(line.IsValid());  // equal end points read, but are degenerate
    EXPECT_EQ(line.Fill(), -1);    // a line has no fill key
}

TEST(PolygonReadTest, CountAndPointRules) {
    struct Case {
        const char* body;
        bool ok;
        std::vector<Point> points;
    } cases[] = {
        {"N:4,X:0,Y:0,X:10,Y:0,X:10,Y:0,X:0,Y:0", true, {{0, 0}, {10, 0}}},
        {"N:3,X:0,Y:0,X:10,Y:10", true, {{0, 0}, {10, 10}}},  // fewer pairs than declared
        {"N:2,X:5,Y:5,X:5,Y:5", false, {}},                   // one distinct point
        {"N:33,X:0,Y:0,X:1,Y:1", false, {}},
        {"N:1,X:0,Y:0,X:1,Y:1", false, {}},
        {"X:0,N:2,Y:0,X:1,Y:1", false, {}},  // a coordinate before the count
        {"Y:0,N:2,X:0,Y:0,X:1,Y:1", false, {}},
        // Pairs beyond the count are ignored; a later Y reuses the pending x.
        {"N:2,X:1,Y:1,X:2,Y:2,X:3,Y:3", true, {{1, 1}, {2, 2}}},
        {"N:3,X:1,Y:1,Y:5,X:9,Y:9", true, {{1, 1}, {1, 5}, {9, 9}}},
        // Only the N-th pair is dropped as the implied closing point.
        {"N:3,X:0,Y:0,X:0,Y:0,X:4,Y:4", true, {{0, 0}, {4, 4}}},
        {"N:3,X:0,Y:0,X:4,Y:4,X:0,Y:0", true, {{0, 0}, {4, 4}}},
        {"N:4,X:0,Y:0,X:4,Y:4,X:0,Y:0,X:4,Y:0", true, {{0, 0}, {4, 4}, {0, 0}, {4, 0}}},
        {"W:3,S:1,F:0,N:32", false, {}},
    };
    for (const auto& c : cases) {
        CPolygonElement pg;
        std::string after;
        EXPECT_EQ(ReadInto(pg, std::string(c.body) + ",-PG,NEXT", &after), c.ok) << c.body;
        EXPECT_EQ(after, "NEXT") << c.body;  // a rejected count skips to its -PG
        if (c.ok) {
            EXPECT_EQ(pg.PointList(), c.points) << c.body;
        }
    }
}

TEST(PolygonReadTest, ThirtyTwoPointsAndAttributes) {
    std::string body = "W:2,S:1,F:1,N:32";
    for (int i = 0; i < 40; ++i) body += ",X:" + std::to_string(i) + ",Y:" + std::to_string(i * i);
    CPolygonElement pg;
    ASSERT_TRUE(ReadInto(pg, body + ",-PG"));
    EXPECT_EQ(pg.Count(), 32);
    EXPECT_EQ(pg.Handle(31), Point::Make(31, 961));
    EXPECT_EQ(pg.Width(), 2);
    EXPECT_EQ(pg.Style(), 1);
    EXPECT_EQ(pg.Fill(), 1);

    // Reading starts by discarding the old points, even when the new record fails.
    EXPECT_FALSE(ReadInto(pg, "N:40,-PG"));
    EXPECT_EQ(pg.Count(), 0);
    EXPECT_EQ(pg.Points(), nullptr);
}

TEST(TextReadTest, KeysAndMandatoryFields) {
    CTextElement t;
    ASSERT_TRUE(ReadInto(t, "X:10,Y:20,S:AB,-TX"));
    EXPECT_EQ(t.Position(), Point::Make(10, 20));
    EXPECT_TRUE(t.IsHorizontal());
    EXPECT_EQ(t.Align(), 0);
    EXPECT_EQ(t.FontSize(), 8);
    EXPECT_EQ(t.Text(), "AB");
    EXPECT_EQ(t.FontName(), "");

    CTextElement u;
    ASSERT_TRUE(ReadInto(u, "S:a:b,X:1,Y:2,D:0,A:6,FN:Some Face,FS:12,FF:BUx,-TX"));
    EXPECT_EQ(u.Text(), "a:b");
    EXPECT_FALSE(u.IsHorizontal());
    EXPECT_EQ(u.Align(), 6);
    EXPECT_EQ(u.FontName(), "Some Face");
    EXPECT_EQ(u.FontSize(), 12);
    EXPECT_TRUE(u.IsBold());
    EXPECT_FALSE(u.IsItalic());
    EXPECT_TRUE(u.IsUnderline());
    EXPECT_FALSE(u.IsStrikeout());

    const char* dropped[] = {
        "X:1,Y:2,S:,-TX",      // empty text
        "X:1,S:A,-TX",         // no Y
        "Y:1,S:A,-TX",         // no X
        "X:1,Y:2,-TX",         // no text
        "X:1,Y:2,S:A",         // not closed
        "X:1,Y:2,S:A,-L",      // closed by another tag
        "X:1,Y:2,S:%00A,-TX",  // a text cut at NUL is empty
    };
    for (const char* body : dropped) {
        CTextElement e;
        EXPECT_FALSE(ReadInto(e, body)) << body;
    }
}

TEST(TextReadTest, FontSizeIsClampedAndForgetsTheMeasuredSize) {
    struct Case {
        const char* value;
        int32_t size;
    } cases[] = {{"2", 4}, {"4", 4}, {"80", 80}, {"200", 80}, {"-9", 4}, {"x", 4}, {"13", 13}};
    for (const auto& c : cases) {
        CTextElement t;
        t.SetDrawnSize(50, 10);
        ASSERT_TRUE(ReadInto(t, std::string("X:0,Y:0,S:A,FS:") + c.value + ",-TX"));
        EXPECT_EQ(t.FontSize(), c.size) << c.value;
        EXPECT_FALSE(t.IsSizeKnown()) << c.value;
    }
    // Flags are only ever set by reading; a D of any non-zero value is horizontal.
    CTextElement t;
    t.SetFontStyle(false, true, false, false);
    t.SetHorizontal(false);
    ASSERT_TRUE(ReadInto(t, "X:0,Y:0,S:A,FF:S,D:-2,-TX"));
    EXPECT_TRUE(t.IsItalic());
    EXPECT_TRUE(t.IsStrikeout());
    EXPECT_TRUE(t.IsHorizontal());
}

}  // namespace
}  // namespace qurix
