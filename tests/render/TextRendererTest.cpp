#include "render/TextRenderer.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/render/RecordingSurface.h"

namespace qurix {
namespace {

constexpr Colour INK = MakeColour(0, 0, 128);

LogFont Font(int32_t height) {
    LogFont f;
    f.height = height;
    f.weight = 400;
    f.SetFaceName("Tahoma");
    return f;
}

// The recording surface's metrics at height -9: advance 4, cell 11, ascent 9.
TEST(TextRendererTest, PlacesTheCellByAlignment) {
    struct Case {
        bool vertical;
        int32_t alignment;
        Point cell;
    };
    // "ABCD" is 16 wide, 11 high, ascent 9, reference point (100, 50).
    const Case cases[] = {
        {false, 0x0, {100, 41}}, {false, 0x1, {84, 41}},  {false, 0x2, {92, 41}},
        {false, 0x3, {100, 41}}, {false, 0x4, {100, 50}}, {false, 0x5, {84, 50}},
        {false, 0x8, {100, 46}}, {false, 0xC, {100, 46}}, {false, 0xE, {92, 46}},
        {true, 0x0, {91, 50}},   {true, 0x1, {91, 66}},   {true, 0x2, {91, 58}},
        {true, 0x3, {91, 50}},   {true, 0x4, {100, 50}},  {true, 0x5, {100, 66}},
        {true, 0x8, {96, 50}},   {true, 0xD, {96, 66}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "vertical " << c.vertical << " alignment " << c.alignment);
        CTextRenderer renderer(Font(9));
        CRecordingSurface surface;
        const Extent e = renderer.DrawLabel(
            surface, Point{100, 50}, "ABCD",
            TextStyle{.colour = INK, .vertical = c.vertical, .alignment = c.alignment});
        EXPECT_EQ(e, (Extent{16, 11}));
        const auto drawn = surface.CallsOf(DrawCall::Kind::DrawString);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].points[0], c.cell);
        EXPECT_EQ(drawn[0].text, "ABCD");
        EXPECT_EQ(drawn[0].colour, INK);
        EXPECT_EQ(drawn[0].font.escapement, c.vertical ? 900 : 0);
    }
}

TEST(TextRendererTest, ScalesTheReferencePointAndTheFont) {
    CTextRenderer renderer(Font(9));
    CRecordingSurface surface;
    // At 1/2: height -4 (em 4: advance 2, cell 5, ascent 4); (-15, 9) becomes (-7, 4).
    const Extent e = renderer.DrawLabel(surface, Point{-15, 9}, "AB",
                                        TextStyle{.colour = INK, .scale = {1, 2}}, 2);
    EXPECT_EQ(e, (Extent{4, 5}));
    EXPECT_EQ(
        surface.DrawLog(),
        (std::vector<std::string>{"DrawString (-7,0) 'AB' rgb(0,0,128) h=-4 wt=400 'Tahoma'"}));
    EXPECT_EQ(renderer.Ascent(), 4);
}

TEST(TextRendererTest, MakesFontsOncePerScale) {
    CTextRenderer renderer(Font(12));
    CRecordingSurface surface;
    EXPECT_FALSE(renderer.HasFonts());
    EXPECT_EQ(renderer.CachedNum(), -1);
    EXPECT_EQ(renderer.CachedDen(), -1);

    renderer.DrawLabel(surface, Point{0, 0}, "R1", TextStyle{.colour = INK});
    const auto made = surface.CallsOf(DrawCall::Kind::MakeFont);
    ASSERT_EQ(made.size(), 2u);
    // A positive height is taken as a character height.
    EXPECT_EQ(made[0].font.height, -12);
    EXPECT_EQ(made[0].font.escapement, 0);
    EXPECT_EQ(made[0].font.outPrecision, 7);
    EXPECT_EQ(made[0].font.charSet, 1);
    EXPECT_EQ(made[1].font.height, -12);
    EXPECT_EQ(made[1].font.escapement, 900);
    EXPECT_EQ(made[1].font.orientation, 900);
    EXPECT_EQ(surface.LiveFonts(), 2);

    renderer.DrawLabel(surface, Point{0, 0}, "R2", TextStyle{.colour = INK, .vertical = true});
    EXPECT_EQ(surface.CountOf(DrawCall::Kind::MakeFont), 2);
    EXPECT_EQ(surface.CountOf(DrawCall::Kind::FontAscent), 1);

    renderer.DrawLabel(surface, Point{0, 0}, "R3", TextStyle{.colour = INK, .scale = {2, 1}});
    EXPECT_EQ(surface.CountOf(DrawCall::Kind::MakeFont), 4);
    EXPECT_EQ(surface.calls.back().font.height, -24);
    EXPECT_EQ(surface.LiveFonts(), 2);  // the old pair is gone
    renderer.DrawLabel(surface, Point{0, 0}, "R4", TextStyle{.colour = INK, .scale = {2, 1}});
    EXPECT_EQ(surface.CountOf(DrawCall::Kind::MakeFont), 4);
    EXPECT_EQ(renderer.CachedNum(), 2);
    EXPECT_EQ(renderer.CachedDen(), 1);
    // 4/2 is another scale even though it is the same ratio.
    renderer.DrawLabel(surface, Point{0, 0}, "R5", TextStyle{.colour = INK, .scale = {4, 2}});
    EXPECT_EQ(surface.CountOf(DrawCall::Kind::MakeFont), 6);
}

TEST(TextRendererTest, HeightsOfTwelveAndMinusTwelveMakeTheSameFont) {
    for (int32_t h : {12, -12}) {
        CTextRenderer renderer(Font(h));
        CRecordingSurface surface;
        renderer.DrawLabel(surface, Point{0, 0}, "X", TextStyle{.colour = INK});
        EXPECT_EQ(surface.CallsOf(DrawCall::Kind::MakeFont)[0].font.height, -12);
    }
    CTextRenderer renderer(Font(0));
    CRecordingSurface surface;
    renderer.DrawLabel(surface, Point{0, 0}, "X", TextStyle{.colour = INK, .scale = {3, 1}});
    EXPECT_EQ(surface.CallsOf(DrawCall::Kind::MakeFont)[0].font.height, 0);
}

TEST(TextRendererTest, EmptyTextDrawsNothingAndMakesNoFont) {
    CTextRenderer renderer(Font(9));
    CRecordingSurface surface;
    EXPECT_EQ(
        renderer.DrawLabel(surface, Point{5, 5}, "", TextStyle{.colour = INK, .overbars = true}),
        Extent{});
    EXPECT_EQ(renderer.DrawLabel(surface, Point{5, 5}, "ABC",
                                 TextStyle{.colour = INK, .overbars = true}, 0),
              Extent{});
    EXPECT_EQ(renderer.DrawLabel(surface, Point{5, 5}, nullptr,
                                 TextStyle{.colour = INK, .overbars = true}, 4),
              Extent{});
    EXPECT_EQ(renderer.DrawLabel(surface, Point{5, 5}, "\0AB",
                                 TextStyle{.colour = INK, .overbars = true}, 3),
              Extent{});
    EXPECT_TRUE(surface.calls.empty());
    EXPECT_FALSE(renderer.HasFonts());
    EXPECT_EQ(renderer.Count(), 0);

    EXPECT_EQ(
        DrawTextWithFont(surface, Point{0, 0}, "", Font(-9), DRAW_NORMAL, TextStyle{.colour = INK}),
        Extent{});
    EXPECT_EQ(DrawTextWithFont(surface, Point{0, 0}, nullptr, Font(-9), DRAW_NORMAL,
                               TextStyle{.colour = INK}, 3),
              Extent{});
    EXPECT_TRUE(surface.calls.empty());
}

TEST(TextRendererTest, LengthStopsAtTheGivenCountOrTheNul) {
    CTextRenderer renderer(Font(9));
    CRecordingSurface surface;
    renderer.DrawLabel(surface, Point{0, 0}, "ABCDEF", TextStyle{.colour = INK}, 3);
    EXPECT_EQ(renderer.Count(), 3);
    renderer.DrawLabel(surface, Point{0, 0}, "AB\0CD", TextStyle{.colour = INK}, 5);
    EXPECT_EQ(renderer.Count(), 2);
    const auto drawn = surface.CallsOf(DrawCall::Kind::DrawString);
    EXPECT_EQ(drawn[0].text, "ABC");
    EXPECT_EQ(drawn[1].text, "AB");
}

TEST(TextRendererTest, LongTextsAreCut) {
    const std::string longText(2000, 'W');
    CTextRenderer renderer(Font(9));
    CRecordingSurface surface;
    const Extent e =
        renderer.DrawLabel(surface, Point{0, 0}, longText.c_str(), TextStyle{.colour = INK});
    EXPECT_EQ(renderer.Count(), 1024);
    EXPECT_EQ(e.cx, 1024 * 4);
    EXPECT_EQ(surface.CallsOf(DrawCall::Kind::DrawString)[0].text.size(), 1024u);
    renderer.DrawLabel(surface, Point{0, 0}, longText.c_str(), TextStyle{.colour = INK}, 2000);
    EXPECT_EQ(renderer.Count(), 1024);

    surface.Clear();
    DrawTextWithFont(surface, Point{0, 0}, longText.c_str(), Font(-9), DRAW_NORMAL,
                     TextStyle{.colour = INK});
    EXPECT_EQ(surface.CallsOf(DrawCall::Kind::DrawString)[0].text.size(), 255u);
    surface.Clear();
    DrawTextWithFont(surface, Point{0, 0}, longText.c_str(), Font(-9), DRAW_NORMAL,
                     TextStyle{.colour = INK}, 300);
    EXPECT_EQ(surface.CallsOf(DrawCall::Kind::DrawString)[0].text.size(), 255u);
}

TEST(TextRendererTest, OverbarsOverMarkedRuns) {
    CTextRenderer renderer(Font(9));
    CRecordingSurface surface;
    // Second and third bytes marked: one bar from the extent of "A" to that of "ABC".
    renderer.DrawLabel(surface, Point{100, 50},
                       "A\xC2\xC3"
                       "D",
                       TextStyle{.colour = INK, .overbars = true});
    EXPECT_EQ(surface.DrawLog(), (std::vector<std::string>{
                                     "DrawString (100,41) 'ABCD' rgb(0,0,128) h=-9 wt=400 'Tahoma'",
                                     "Line (104,41)-(112,41) solid/1 rgb(0,0,128)",
                                 }));
    EXPECT_EQ(renderer.Count(), 4);

    // Two runs, one at each end; a marked control character and a marked 0x7F draw as spaces.
    surface.Clear();
    renderer.DrawLabel(surface, Point{0, 20}, "\x81X\xFF\xC1",
                       TextStyle{.colour = INK, .alignment = 0x4, .overbars = true});
    EXPECT_EQ(surface.DrawLog(), (std::vector<std::string>{
                                     "DrawString (0,20) ' X A' rgb(0,0,128) h=-9 wt=400 'Tahoma'",
                                     "Line (0,20)-(4,20) solid/1 rgb(0,0,128)",
                                     "Line (8,20)-(16,20) solid/1 rgb(0,0,128)",
                                 }));

    // Vertical text: the bar runs up the cell's top edge (smaller x).
    surface.Clear();
    renderer.DrawLabel(surface, Point{100, 50},
                       "A\xC2\xC3"
                       "D",
                       TextStyle{.colour = INK, .vertical = true, .overbars = true});
    EXPECT_EQ(surface.DrawLog(),
              (std::vector<std::string>{
                  "DrawString (91,50) 'ABCD' rgb(0,0,128) h=-9 wt=400 esc=900 'Tahoma'",
                  "Line (91,46)-(91,38) solid/1 rgb(0,0,128)",
              }));
}

TEST(TextRendererTest, OverbarPenWidthFollowsTheScale) {
    struct Case {
        int32_t num, den, width;
    };
    for (const Case& c : {Case{3, 1, 3}, Case{1, 2, 0}, Case{5, 2, 2}}) {
        CTextRenderer renderer(Font(9));
        CRecordingSurface surface;
        renderer.DrawLabel(surface, Point{0, 0}, "\xC1",
                           TextStyle{.colour = INK, .scale = {c.num, c.den}, .overbars = true});
        const auto lines = surface.CallsOf(DrawCall::Kind::Polyline);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].pen, Pen::Solid(c.width, INK));
    }
}

TEST(TextRendererTest, WithoutOverbarsHighBytesPassThrough) {
    CTextRenderer renderer(Font(9));
    CRecordingSurface surface;
    const char* name = "\x93\xfa\x96\x7b";  // a two-character Shift-JIS name
    renderer.DrawLabel(surface, Point{0, 0}, name, TextStyle{.colour = INK});
    EXPECT_EQ(surface.CallsOf(DrawCall::Kind::DrawString)[0].text, name);
    EXPECT_EQ(surface.CountOf(DrawCall::Kind::Polyline), 0);
}

TEST(TextRendererTest, TextWithFontAlignsOnTheCellAndDropsItsFont) {
    struct Case {
        bool vertical;
        int32_t alignment;
        Point cell;
    };
    // Height -10 at 2/1: em 20, advance 10, cell 25. "ABC" is 30 x 25. Reference (20, 40).
    const Case cases[] = {
        {false, 0x0, {20, 15}}, {false, 0x1, {-10, 15}}, {false, 0x2, {5, 15}},
        {false, 0x4, {20, 40}}, {false, 0x8, {20, 28}},  {true, 0x0, {-5, 40}},
        {true, 0x1, {-5, 70}},  {true, 0x6, {20, 55}},   {true, 0xC, {8, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "vertical " << c.vertical << " alignment " << c.alignment);
        CRecordingSurface surface;
        LogFont font = Font(-10);
        font.weight = 700;
        const Extent e = DrawTextWithFont(
            surface, Point{10, 20}, "ABC", font, DRAW_NORMAL,
            TextStyle{
                .colour = INK, .vertical = c.vertical, .alignment = c.alignment, .scale = {2, 1}});
        EXPECT_EQ(e, (Extent{30, 25}));
        const auto made = surface.CallsOf(DrawCall::Kind::MakeFont);
        ASSERT_EQ(made.size(), 1u);
        EXPECT_EQ(made[0].font.height, -20);
        EXPECT_EQ(made[0].font.weight, 700);
        EXPECT_EQ(made[0].font.outPrecision, 7);
        EXPECT_EQ(made[0].font.escapement, c.vertical ? 900 : 0);
        EXPECT_EQ(made[0].font.orientation, c.vertical ? 900 : 0);
        const auto drawn = surface.CallsOf(DrawCall::Kind::DrawString);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].points[0], c.cell);
        EXPECT_EQ(surface.LiveFonts(), 0);
    }
}

TEST(TextRendererTest, TextWithFontDrawsOnlyInItsModes) {
    struct Case {
        DrawMode mode;
        bool drawn;
        Colour colour;
    };
    const Case cases[] = {
        {DRAW_NORMAL, true, INK},
        {DRAW_SELECTED, true, INK},
        {DRAW_BLACK | DRAW_NORMAL, true, INK},
        {DRAW_BLACK, true, COLOUR_BLACK},
        {DRAW_BLACK | DRAW_INACTIVE, true, COLOUR_BLACK},
        {0, false, 0},
        {DRAW_INACTIVE, false, 0},
        {DRAW_NO_TEXTS | DRAW_FRAME, false, 0},
    };
    for (const Case& c : cases) {
        CRecordingSurface surface;
        const Extent e = DrawTextWithFont(surface, Point{0, 0}, "AB", Font(-8), c.mode,
                                          TextStyle{.colour = INK});
        EXPECT_EQ(e, (Extent{8, 10})) << c.mode;
        const auto drawn = surface.CallsOf(DrawCall::Kind::DrawString);
        ASSERT_EQ(drawn.size(), c.drawn ? 1u : 0u) << c.mode;
        if (c.drawn) {
            EXPECT_EQ(drawn[0].colour, c.colour) << c.mode;
        }
        EXPECT_EQ(surface.LiveFonts(), 0);
    }
}

}  // namespace
}  // namespace qurix
