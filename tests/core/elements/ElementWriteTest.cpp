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

using test::TextReader;
using test::WriteOf;

TEST(ElementWriteTest, RecordForms) {
    CLineElement line;
    line.SetPoints({1, 2}, {3, -4});
    line.SetWidth(2);
    EXPECT_EQ(WriteOf(line), "+L,W:2,S:0,X:1,Y:2,X:3,Y:-4,-L\n");

    CCircleElement circle;
    circle.SetCorners({0, 0}, {20, 10});
    circle.SetFill(1);
    circle.SetStyle(3);
    EXPECT_EQ(WriteOf(circle), "+C,W:1,S:3,F:1,X:0,Y:0,X:20,Y:10,-C\n");

    CPolygonElement pg;
    pg.SetPoints({{0, 0}, {10, 5}});
    EXPECT_EQ(WriteOf(pg), "+PG,W:1,S:0,F:-1,N:2,X:0,Y:0,X:10,Y:5,-PG\n");

    CArcElement arc;
    arc.SetArc({5, 6}, 7, -100, 7000);  // angles are written as stored
    EXPECT_EQ(WriteOf(arc), "+AR,W:1,S:0,X:5,Y:6,R:7,B:-100,E:7000,-AR\n");

    CTextElement text;
    text.SetPosition({10, 20});
    text.SetText("a,b c%");
    EXPECT_EQ(WriteOf(text), "+TX,X:10,Y:20,A:0,D:1,S:a%2Cb%20c%25,FN:,FS:8,FF:,-TX\n");
    text.SetFontStyle(true, true, true, true);
    text.SetFontName("Face");
    text.SetHorizontal(false);
    text.SetAlign(6);
    EXPECT_EQ(WriteOf(text), "+TX,X:10,Y:20,A:6,D:0,S:a%2Cb%20c%25,FN:Face,FS:8,FF:BIUS,-TX\n");
}

TEST(ElementWriteTest, OriginIsSubtractedFromEveryCoordinate) {
    const Point origin{10, 20};
    CLineElement line;
    line.SetPoints({15, 25}, {10, 20});
    EXPECT_EQ(WriteOf(line, &origin), "+L,W:1,S:0,X:5,Y:5,X:0,Y:0,-L\n");
    EXPECT_EQ(line.P1(), Point::Make(15, 25));  // the element itself is unchanged
    CCircleElement circle;
    circle.SetCorners({15, 25}, {0, 0});
    EXPECT_EQ(WriteOf(circle, &origin), "+C,W:1,S:0,F:-1,X:5,Y:5,X:-10,Y:-20,-C\n");
    CPolygonElement pg;
    pg.SetPoints({{15, 25}, {10, 21}});
    EXPECT_EQ(WriteOf(pg, &origin), "+PG,W:1,S:0,F:-1,N:2,X:5,Y:5,X:0,Y:1,-PG\n");
    CArcElement arc;
    arc.SetArc({15, 25}, 1, 2, 3);
    EXPECT_EQ(WriteOf(arc, &origin), "+AR,W:1,S:0,X:5,Y:5,R:1,B:2,E:3,-AR\n");
    CTextElement text;
    text.SetPosition({15, 25});
    text.SetText("T");
    EXPECT_EQ(WriteOf(text, &origin), "+TX,X:5,Y:5,A:0,D:1,S:T,FN:,FS:8,FF:,-TX\n");
}

TEST(ElementWriteTest, PolygonWritesOnlyStorableCounts) {
    CPolygonElement pg;
    std::string out;
    CRecordWriter w(&out);
    EXPECT_FALSE(pg.Write(w));
    pg.SetPoints({{1, 1}});
    EXPECT_FALSE(pg.Write(w));
    pg.SetPoints(std::vector<Point>(33, Point{1, 2}));
    EXPECT_FALSE(pg.Write(w));
    EXPECT_EQ(out, "");
    pg.SetPoints(std::vector<Point>(32, Point{1, 2}));
    EXPECT_TRUE(pg.Write(w));
    CRecordWriter broken;  // no target: every write fails
    EXPECT_FALSE(pg.Write(broken));
    CLineElement line;
    EXPECT_FALSE(line.Write(broken));
}

// Writing then reading back gives the same element: the second writing equals the first,
// which covers every stored field; the arc's derived rays are compared as well.
TEST(ElementWriteTest, RoundTrips) {
    std::vector<std::unique_ptr<CPatternElement>> elements;
    auto line = std::make_unique<CLineElement>();
    line->SetPoints({INT32_MIN, 7}, {INT32_MAX, -7});
    line->SetWidth(-3);
    line->SetStyle(2);
    elements.push_back(std::move(line));
    auto circle = std::make_unique<CCircleElement>();
    circle->SetCorners({9, 8}, {-1, -2});
    circle->SetFill(0);
    elements.push_back(std::move(circle));
    auto pg = std::make_unique<CPolygonElement>();
    std::vector<Point> pts;
    for (int i = 0; i < 32; ++i) pts.push_back({i * 3, -i});
    pg->SetPoints(pts);
    pg->SetFill(2);
    elements.push_back(std::move(pg));
    auto arc = std::make_unique<CArcElement>();
    arc->SetArc({-4, 4}, 33, 5000, 12000);
    arc->SetWidth(5);
    elements.push_back(std::move(arc));
    auto text = std::make_unique<CTextElement>();
    text->SetPosition({3, -3});
    text->SetText("x:\x82\xa0,%\t\x7f\xff y");
    text->SetFontName("MS Gothic");
    text->SetFontSize(80);
    text->SetAlign(9);
    text->SetHorizontal(false);
    text->SetFontStyle(false, true, false, true);
    elements.push_back(std::move(text));

    for (const auto& original : elements) {
        const std::string written = WriteOf(*original);
        TextReader m(written);
        std::string tag;
        ASSERT_NE(m.reader.ReadToken(tag), -1);
        auto e = CreateElementByTag(tag);
        ASSERT_NE(e, nullptr) << tag;
        ASSERT_TRUE(e->Read(m.reader)) << written;
        EXPECT_EQ(m.Next(), "<end>");
        EXPECT_EQ(e->Kind(), original->Kind());
        EXPECT_EQ(WriteOf(*e), written);
        if (e->Kind() == ElementKind::Arc) {
            const auto& a = static_cast<const CArcElement&>(*original);
            const auto& b = static_cast<const CArcElement&>(*e);
            EXPECT_EQ(a.BeginRay(), b.BeginRay());
            EXPECT_EQ(a.EndRay(), b.EndRay());
        }
    }
    const auto& t = static_cast<const CTextElement&>(*elements.back());
    EXPECT_EQ(t.Text(), "x:\x82\xa0,%\t\x7f\xff y");
}

TEST(ElementCloneTest, ClonesAreDeepAndKeepTheMeasuredSize) {
    CTextElement text;
    text.SetText("T");
    text.SetDrawnSize(30, 9);
    auto copy = text.Clone();
    const auto& t = static_cast<const CTextElement&>(*copy);
    EXPECT_TRUE(t.IsSizeKnown());
    EXPECT_EQ(t.DrawnSize(), Point::Make(30, 9));
    CPolygonElement pg;
    pg.SetPoints({{1, 1}, {2, 2}});
    auto pc = pg.Clone();
    pg.Move(5, 5);
    EXPECT_EQ(static_cast<const CPolygonElement&>(*pc).Handle(0), Point::Make(1, 1));
}

}  // namespace
}  // namespace qurix
