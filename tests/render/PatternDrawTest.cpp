#include "render/PatternDraw.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/elements/PolygonElement.h"
#include "core/elements/TextElement.h"
#include "tests/render/DrawingTestUtil.h"
#include "tests/render/RecordingSurface.h"

namespace qurix {
namespace {

using drawtest::PatternFrom;

constexpr Colour RED = MakeColour(192, 0, 0);

// A 40 x 20 body (4 x 2 grid units) drawn with its top-left corner at (100, 50).
constexpr int32_t PW = 40, PH = 20, LEFT = 100, TOP = 50;

std::vector<std::string> Draw(const CPattern& pattern, int32_t direction, int32_t num = 1,
                              int32_t den = 1, DrawMode mode = DRAW_NORMAL,
                              CTextRenderer* labels = nullptr) {
    CRecordingSurface surface;
    DrawPattern(surface, pattern, RED, mode,
                PatternPlacement{.direction = direction,
                                 .bodySize = {PW, PH},
                                 .topLeft = {LEFT, TOP},
                                 .scale = {num, den}},
                labels);
    return surface.DrawLog();
}

TEST(PatternDrawTest, TransformsPointsForAllEightDirections) {
    struct Case {
        int32_t direction;
        Point expect;
    };
    // (10, 5) of a 40 x 20 pattern: turned clockwise by quarter turns, then mirrored
    // within the turned width.
    const Case cases[] = {
        {0, {10, 5}}, {1, {15, 10}}, {2, {30, 15}}, {3, {5, 30}},
        {4, {30, 5}}, {5, {5, 10}},  {6, {10, 15}}, {7, {15, 30}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TransformPatternPoint(Point{10, 5}, c.direction, PW, PH), c.expect)
            << "direction " << c.direction;
    }
    // The corners of the pattern land on the corners of the turned body.
    for (int32_t d = 0; d < 8; ++d) {
        const bool odd = (d & 1) != 0;
        const int32_t w = odd ? PH : PW, h = odd ? PW : PH;
        for (Point corner : {Point{0, 0}, Point{PW, 0}, Point{0, PH}, Point{PW, PH}}) {
            const Point t = TransformPatternPoint(corner, d, PW, PH);
            EXPECT_TRUE((t.x == 0 || t.x == w) && (t.y == 0 || t.y == h)) << d;
        }
    }
    // A quarter turn clockwise takes the top-left corner to the top-right one.
    EXPECT_EQ(TransformPatternPoint(Point{0, 0}, 1, PW, PH), (Point{PH, 0}));
}

TEST(PatternDrawTest, TextAlignmentFollowsTheElementsOwnTurnAndMirror) {
    // The drawing must put a text where the element itself would be after the same
    // quarter turns and mirror.
    for (int32_t direction = 0; direction < 8; ++direction) {
        for (bool horizontal : {true, false}) {
            for (int32_t align : {0, 1, 2, 4, 5, 6, 8, 9, 10}) {
                CTextElement e;
                e.SetHorizontal(horizontal);
                e.SetAlign(align);
                for (int32_t r = 0; r < (direction & 3); ++r) e.RotateAbout(Point{0, 0});
                if (direction & 4) e.MirrorAbout(0);
                const TurnedText t = TurnPatternText(horizontal, align, direction);
                EXPECT_EQ(t.vertical, !e.IsHorizontal())
                    << direction << " " << horizontal << " " << align;
                EXPECT_EQ(t.align, e.Align()) << direction << " " << horizontal << " " << align;
            }
        }
    }
    // Anchor at the end on the baseline, turned by 2: drawn from its start, on its top.
    EXPECT_EQ(TurnPatternText(true, 1, 2), (TurnedText{false, 4}));
    EXPECT_EQ(TurnPatternText(true, 0, 1), (TurnedText{true, 5}));
    EXPECT_EQ(TurnPatternText(true, 0, 4), (TurnedText{false, 1}));
    EXPECT_EQ(TurnPatternText(false, 0, 4), (TurnedText{true, 4}));
}

TEST(PatternDrawTest, LinesTurnWithTheBodyAndScale) {
    auto p = PatternFrom("N:P,X:40,Y:20\n+L,X:0,Y:0,X:40,Y:0,-L\n-PTN\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(Draw(*p, 0),
              (std::vector<std::string>{"Line (100,50)-(140,50) solid/1 rgb(192,0,0)"}));
    EXPECT_EQ(Draw(*p, 1),
              (std::vector<std::string>{"Line (120,50)-(120,90) solid/1 rgb(192,0,0)"}));
    EXPECT_EQ(Draw(*p, 6),
              (std::vector<std::string>{"Line (100,70)-(140,70) solid/1 rgb(192,0,0)"}));
    // The offset is added before scaling: (100 + 0) * 2 / 1.
    EXPECT_EQ(Draw(*p, 0, 2, 1),
              (std::vector<std::string>{"Line (200,100)-(280,100) solid/2 rgb(192,0,0)"}));
    // A coordinate of 105 at 1/2 truncates toward zero.
    auto q = PatternFrom("N:P,X:40,Y:20\n+L,W:1,S:1,X:5,Y:1,X:7,Y:1,-L\n-PTN\n");
    ASSERT_TRUE(q);
    EXPECT_EQ(Draw(*q, 0, 1, 2),
              (std::vector<std::string>{"Line (52,25)-(53,25) dotted/0 rgb(192,0,0)"}));
    EXPECT_EQ(Draw(*q, 0, 3, 1),
              (std::vector<std::string>{"Line (315,153)-(321,153) dashed/3/6:6 rgb(192,0,0)"}));
}

TEST(PatternDrawTest, CircleBoxIsOrderedAndGrowsForThinPens) {
    auto swapped = PatternFrom("N:P,X:40,Y:20\n+C,X:20,Y:10,X:0,Y:0,-C\n-PTN\n");
    auto ordered = PatternFrom("N:P,X:40,Y:20\n+C,X:0,Y:0,X:20,Y:10,-C\n-PTN\n");
    auto thick = PatternFrom("N:P,X:40,Y:20\n+C,W:2,F:0,X:0,Y:0,X:20,Y:10,-C\n-PTN\n");
    ASSERT_TRUE(swapped && ordered && thick);
    const std::vector<std::string> expect = {"Ellipse (100,50)-(121,61) solid/1 rgb(192,0,0) null"};
    EXPECT_EQ(Draw(*swapped, 0), expect);
    EXPECT_EQ(Draw(*ordered, 0), expect);
    // Turned by 1 the box is taller than wide; a width-2 pen does not grow it. Fill 0 in a
    // colour that is not black is the stock black brush.
    EXPECT_EQ(Draw(*thick, 1),
              (std::vector<std::string>{"Ellipse (110,50)-(120,70) solid/2 rgb(192,0,0) black"}));
    CRecordingSurface surface;
    DrawPattern(surface, *thick, COLOUR_BLACK, DRAW_BLACK, PatternPlacement{.bodySize = {PW, PH}},
                nullptr);
    EXPECT_EQ(surface.calls.at(0).brush, Brush::StockWhite());
}

TEST(PatternDrawTest, PolygonsOfTwoToThirtyTwoPointsAreDrawn) {
    auto polygon = [](int32_t n) {
        std::string body = "N:P,X:40,Y:20\n+PG,F:1,N:" + std::to_string(n);
        for (int32_t i = 0; i < n; ++i) {
            body += ",X:" + std::to_string(i) + ",Y:" + std::to_string(i % 2 ? 10 : 0);
        }
        return PatternFrom(body + ",-PG\n-PTN\n");
    };
    auto two = polygon(2);
    auto max = polygon(32);
    ASSERT_TRUE(two && max);
    EXPECT_EQ(Draw(*two, 0),
              (std::vector<std::string>{"Polygon (100,50)-(101,60) solid/1 rgb(192,0,0) solid "
                                        "rgb(192,0,0)"}));
    CRecordingSurface surface;
    DrawPattern(surface, *max, RED, DRAW_NORMAL, PatternPlacement{.bodySize = {PW, PH}}, nullptr);
    ASSERT_EQ(surface.CountOf(DrawCall::Kind::Polygon), 1);
    EXPECT_EQ(surface.calls[0].points.size(), 32u);
    // A record cannot declare 33 points, so the polygon that reaches the drawing with that
    // many is made by hand: it draws nothing.
    auto hand = PatternFrom("N:P,X:40,Y:20\n+PG,N:2,X:0,Y:0,X:1,Y:1,-PG\n-PTN\n");
    ASSERT_TRUE(hand);
    auto* element =
        const_cast<CPolygonElement*>(dynamic_cast<const CPolygonElement*>(hand->Element(0)));
    ASSERT_NE(element, nullptr);
    std::vector<Point> pts;
    for (int32_t i = 0; i < 33; ++i) pts.push_back(Point{i, i % 2});
    element->SetPoints(pts);
    EXPECT_TRUE(Draw(*hand, 0).empty());
    pts.pop_back();
    element->SetPoints(pts);
    EXPECT_EQ(Draw(*hand, 0).size(), 1u);
}

TEST(PatternDrawTest, ArcRaysSwapWhenMirrored) {
    // A quarter from the right to the top about (20, 10), radius 10.
    auto p = PatternFrom("N:P,X:40,Y:20\n+AR,X:20,Y:10,R:10,B:0,E:1440,-AR\n-PTN\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(Draw(*p, 0), (std::vector<std::string>{
                               "Arc (110,50)-(131,71) (620,60)>(120,-440) solid/1 rgb(192,0,0)"}));
    // Mirrored: drawn from the top round to the left.
    EXPECT_EQ(Draw(*p, 4), (std::vector<std::string>{
                               "Arc (110,50)-(131,71) (120,-440)>(-380,60) solid/1 rgb(192,0,0)"}));
    // Turned a quarter clockwise: the arc runs from the bottom to the right.
    EXPECT_EQ(Draw(*p, 1), (std::vector<std::string>{
                               "Arc (100,60)-(121,81) (110,570)>(610,70) solid/1 rgb(192,0,0)"}));
}

TEST(PatternDrawTest, TextsGoThroughTheLabelRendererOrTheirOwnFont) {
    LogFont label;
    label.height = 9;  // fake metrics: 4 per byte, cell 11, ascent 9
    label.SetFaceName("Tahoma");
    CTextRenderer labels(label);
    auto p = PatternFrom("N:P,X:40,Y:20\n+TX,X:30,Y:10,A:1,D:1,S:AB,-TX\n-PTN\n");
    ASSERT_TRUE(p);
    // Unturned: ends at (130, 60) on the baseline.
    auto log = Draw(*p, 0, 1, 1, DRAW_NORMAL, &labels);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "DrawString (122,51) 'AB' rgb(192,0,0) h=-9 wt=0 'Tahoma'");
    // Turned by 2 the anchor moves to (110, 60) and the text starts there, on its top.
    log = Draw(*p, 2, 1, 1, DRAW_NORMAL, &labels);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "DrawString (110,60) 'AB' rgb(192,0,0) h=-9 wt=0 'Tahoma'");
    const auto* text = dynamic_cast<const CTextElement*>(p->Element(0));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->IsSizeKnown());
    EXPECT_EQ(text->DrawnSize(), (Point{8, 11}));
    // Reported back in drawing units: at 2/1 the surface extent is halved.
    Draw(*p, 0, 2, 1, DRAW_NORMAL, &labels);
    EXPECT_EQ(text->DrawnSize(), (Point{9, 11}));  // fonts of em 18: 18 x 22

    // Its own font: character height 12, bold, italic, drawn whatever the mode's colour bits.
    auto f =
        PatternFrom("N:P,X:40,Y:20\n+TX,X:0,Y:20,A:0,D:1,S:Q,FN:Courier,FS:12,FF:BI,-TX\n-PTN\n");
    ASSERT_TRUE(f);
    CRecordingSurface surface;
    DrawPattern(surface, *f, RED, DRAW_NORMAL,
                PatternPlacement{.bodySize = {PW, PH}, .topLeft = {LEFT, TOP}}, &labels);
    ASSERT_EQ(surface.CountOf(DrawCall::Kind::MakeFont), 1);
    const LogFont made = surface.CallsOf(DrawCall::Kind::MakeFont)[0].font;
    EXPECT_EQ(made.height, -12);
    EXPECT_EQ(made.weight, 700);
    EXPECT_EQ(made.italic, 1);
    EXPECT_EQ(made.charSet, 1);
    EXPECT_EQ(made.FaceName(), "Courier");
    EXPECT_EQ(surface.LiveFonts(), 0);
    // Without a label renderer a text without a font is left out.
    EXPECT_TRUE(Draw(*p, 0).empty());
}

TEST(PatternDrawTest, ElementsHideTheBitmap) {
    auto p = PatternFrom("N:P,X:3,Y:2\n+BMP\nL@\nH@\n-BMP\n+L,X:0,Y:0,X:1,Y:0,-L\n-PTN\n");
    ASSERT_TRUE(p);
    ASSERT_NE(p->Bitmap(), nullptr);
    const auto log = Draw(*p, 0);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("Line ", 0), 0u);
}

// The 3 x 2 bitmap
//   ##.
//   #..
const char* const SMALL_BITMAP = "N:P,X:3,Y:2\n+BMP\nL@\nH@\n-BMP\n-PTN\n";

TEST(PatternDrawTest, BitmapTurnsAndMirrorsLikeTheElements) {
    auto p = PatternFrom(SMALL_BITMAP);
    ASSERT_TRUE(p);
    // Clockwise quarter turns, then mirrored left to right.
    const std::vector<std::vector<std::string>> expect = {
        {"##.", "#.."}, {"##", ".#", ".."}, {"..#", ".##"}, {"..", "#.", "##"},
        {".##", "..#"}, {"##", "#.", ".."}, {"#..", "##."}, {"..", ".#", "##"},
    };
    for (int32_t d = 0; d < 8; ++d) {
        CRecordingSurface surface;
        DrawPattern(surface, *p, RED, DRAW_NORMAL,
                    PatternPlacement{.direction = d, .bodySize = {30, 20}, .topLeft = {LEFT, TOP}},
                    nullptr);
        ASSERT_EQ(surface.CountOf(DrawCall::Kind::StretchMonoBitmap), 1) << d;
        const DrawCall& call = surface.calls[0];
        EXPECT_EQ(call.rows, expect[d]) << "direction " << d;
        const int32_t w = (d & 1) ? 2 : 3, h = (d & 1) ? 3 : 2;
        EXPECT_EQ(call.rect, (Rect{LEFT, TOP, LEFT + w, TOP + h})) << d;
        EXPECT_EQ(call.colour, RED);
    }
    // Turned by 1 and mirrored is turned by 3 and flipped top to bottom.
    const TurnedBitmap a = TurnPatternBitmap(
        PatternBitmap{p->Bitmap(), p->BitmapByteCount(), p->Width(), p->Height()}, 3, true);
    std::vector<std::string> rows;
    for (int32_t y = 0; y < a.bitmap.height; ++y) {
        std::string row;
        for (int32_t x = 0; x < a.bitmap.width; ++x) row += a.bitmap.Pixel(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    EXPECT_EQ(rows, (std::vector<std::string>{expect[3][2], expect[3][1], expect[3][0]}));
    EXPECT_EQ(rows, expect[5]);
}

TEST(PatternDrawTest, BitmapIsCentredOnItsPointsWhenEnlarged) {
    auto p = PatternFrom(SMALL_BITMAP);
    ASSERT_TRUE(p);
    struct Case {
        int32_t num, den;
        Rect expect;
    };
    const Case cases[] = {
        {4, 1, {398, 198, 410, 206}},  // 2 up and left of (400, 200), 4 x 4 per pixel
        {2, 1, {199, 99, 205, 103}},
        {1, 2, {50, 25, 52, 27}},  // shrunk: 3 / 2 = 1 wide, plus 1
        {1, 1, {100, 50, 103, 52}},
    };
    for (const Case& c : cases) {
        CRecordingSurface surface;
        DrawPattern(
            surface, *p, RED, DRAW_NORMAL,
            PatternPlacement{.bodySize = {30, 20}, .topLeft = {LEFT, TOP}, .scale = {c.num, c.den}},
            nullptr);
        ASSERT_EQ(surface.calls.size(), 1u);
        EXPECT_EQ(surface.calls[0].rect, c.expect) << c.num << "/" << c.den;
    }
}

TEST(PatternDrawTest, BitmapIsBlackWheneverTheModeSaysBlack) {
    auto p = PatternFrom(SMALL_BITMAP);
    ASSERT_TRUE(p);
    CRecordingSurface surface;
    DrawPattern(surface, *p, RED, DRAW_NORMAL | DRAW_BLACK, PatternPlacement{.bodySize = {30, 20}},
                nullptr);
    ASSERT_EQ(surface.calls.size(), 1u);
    EXPECT_EQ(surface.calls[0].colour, COLOUR_BLACK);
}

TEST(PatternDrawTest, WideBitmapTurnsOnlyTheCornerThatHoldsData) {
    // Declared 600 wide: only the first 501 columns can carry data. Its first pixel, set,
    // must still land at the far end when turned half round.
    auto p = PatternFrom("N:P,X:600,Y:2\n+BMP\nH@\n@@\n-BMP\n-PTN\n");
    ASSERT_TRUE(p);
    CRecordingSurface surface;
    DrawPattern(surface, *p, RED, DRAW_NORMAL,
                PatternPlacement{.direction = 2, .bodySize = {600, 20}}, nullptr);
    ASSERT_EQ(surface.calls.size(), 1u);
    const DrawCall& call = surface.calls[0];
    ASSERT_EQ(call.rows.size(), 2u);
    EXPECT_EQ(call.rect.right, 600);
    EXPECT_EQ(call.rect.bottom, 2);
    EXPECT_LE(call.rows[0].size(), static_cast<size_t>(PATTERN_BITMAP_DATA_LIMIT));
    EXPECT_EQ(call.rect.Width(), static_cast<int32_t>(call.rows[0].size()));
    EXPECT_EQ(call.rows[1].back(), '#');
    EXPECT_EQ(call.rows[1].find('#'), call.rows[1].size() - 1);
    EXPECT_EQ(call.rows[0].find('#'), std::string::npos);
    // A bitmap whose rows were never given draws nothing visible but must not fail.
    auto empty = PatternFrom("N:P,X:16,Y:1\n+BMP\n-BMP\n-PTN\n");
    ASSERT_TRUE(empty);
    EXPECT_EQ(Draw(*empty, 3).size(), 1u);
}

}  // namespace
}  // namespace qurix
