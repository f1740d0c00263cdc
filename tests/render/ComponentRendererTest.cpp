#include "render/ComponentRenderer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "render/PatternDraw.h"
#include "tests/render/DrawingTestUtil.h"
#include "tests/render/RecordingSurface.h"

namespace qurix {
namespace {

using Lines = std::vector<std::string>;

// Fake metrics of the height-9 fonts below: 4 units per byte, cell 11, ascent 9.
LogFont Font9() {
    LogFont f;
    f.height = 9;
    f.weight = 400;
    f.SetFaceName("Tahoma");
    return f;
}

struct Fixture {
    CDisplaySettings settings;
    Fixture() {
        settings.labelFont = Font9();
        settings.compNameFont = Font9();
        settings.labelRenderer = std::make_unique<CTextRenderer>(settings.labelFont);
        settings.compNameRenderer = std::make_unique<CTextRenderer>(settings.compNameFont);
    }
};

// Default colours as printed by the recording surface.
const std::string PIN = "rgb(192,0,0)";        // "ComponentPin"
const std::string BODY = "rgb(192,0,0)";       // "Component"
const std::string FRAME = "rgb(128,128,255)";  // "ComponentFrame"
const std::string ZERO = "rgb(255,192,192)";   // the zero-length pin marker
const std::string SELECT = "rgb(255,0,0)";
const std::string INACTIVE = "rgb(255,192,192)";
const std::string BLACK = "rgb(0,0,0)";
const std::string FONT = "h=-9 wt=400 'Tahoma'";
const std::string VFONT = "h=-9 wt=400 esc=900 'Tahoma'";

Lines Marks(int32_t side, uint32_t flags, DrawMode mode = DRAW_NORMAL, int32_t num = 1,
            int32_t den = 1) {
    Fixture f;
    CRecordingSurface surface;
    DrawPinMark(surface, f.settings.colours, Point{100, 100}, side, flags, mode, num, den);
    return surface.DrawLog();
}

TEST(ComponentRendererTest, PinMarksOnAllFourSides) {
    const uint32_t N = CPinDef::PIN_NEGATED, C = CPinDef::PIN_CLOCK, Z = CPinDef::PIN_ZERO_LENGTH;
    struct Case {
        int32_t side;
        uint32_t flags;
        Lines expect;
    };
    const std::string pen = " solid/1 " + PIN;
    const std::vector<Case> cases = {
        {0, 0, {"Line (90,100)-(100,100)" + pen}},
        {1, 0, {"Line (100,90)-(100,100)" + pen}},
        {2, 0, {"Line (110,100)-(100,100)" + pen}},
        {3, 0, {"Line (100,110)-(100,100)" + pen}},
        // A 4-unit stub and a bubble 7 pixels across between it and the body.
        {0, N, {"Line (90,100)-(94,100)" + pen, "Ellipse (94,97)-(101,104)" + pen + " null"}},
        {1, N, {"Line (100,90)-(100,94)" + pen, "Ellipse (97,94)-(104,101)" + pen + " null"}},
        {2, N, {"Line (110,100)-(106,100)" + pen, "Ellipse (100,97)-(107,104)" + pen + " null"}},
        {3, N, {"Line (100,110)-(100,106)" + pen, "Ellipse (97,100)-(104,107)" + pen + " null"}},
        // The clock wedge points into the body.
        {0, C, {"Line (90,100)-(100,100)" + pen, "Polyline (100,104)-(104,100)-(100,96)" + pen}},
        {1, C, {"Line (100,90)-(100,100)" + pen, "Polyline (96,100)-(100,104)-(104,100)" + pen}},
        {2, C, {"Line (110,100)-(100,100)" + pen, "Polyline (100,104)-(96,100)-(100,96)" + pen}},
        {3, C, {"Line (100,110)-(100,100)" + pen, "Polyline (96,100)-(100,96)-(104,100)" + pen}},
        // Zero length: a small square instead of a line, and "Z" wins over "N".
        {2, Z | N, {"Rectangle (98,98)-(103,103) solid/0 " + ZERO + " null"}},
        {3,
         Z | C,
         {"Rectangle (98,98)-(103,103) solid/0 " + ZERO + " null",
          "Polyline (96,100)-(100,96)-(104,100) solid/0 " + ZERO}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Marks(c.side, c.flags), c.expect) << "side " << c.side << " flags " << c.flags;
    }
}

TEST(ComponentRendererTest, PinMarkModesAndScales) {
    const uint32_t Z = CPinDef::PIN_ZERO_LENGTH, C = CPinDef::PIN_CLOCK;
    // The marker of a zero-length pin can be left out; its clock mark stays.
    EXPECT_EQ(Marks(3, Z | C, DRAW_NORMAL | DRAW_NO_ZERO_PIN_MARK),
              (Lines{"Polyline (96,100)-(100,96)-(104,100) solid/0 " + ZERO}));
    // Below scale 1 a zero-length pin draws nothing; the others keep their marks.
    EXPECT_TRUE(Marks(0, Z | C, DRAW_NORMAL, 1, 2).empty());
    EXPECT_EQ(Marks(0, CPinDef::PIN_NEGATED, DRAW_NORMAL, 1, 2),
              (Lines{"Line (45,50)-(47,50) solid/0 " + PIN,
                     "Ellipse (47,48)-(51,52) solid/0 " + PIN + " null"}));
    EXPECT_EQ(Marks(0, 0, DRAW_NORMAL, 2, 1), (Lines{"Line (180,200)-(200,200) solid/2 " + PIN}));
    // Colours by the line order; without a colour bit nothing is drawn.
    EXPECT_EQ(Marks(0, 0, DRAW_BLACK), (Lines{"Line (90,100)-(100,100) solid/1 " + BLACK}));
    EXPECT_EQ(Marks(0, 0, DRAW_SELECTED), (Lines{"Line (90,100)-(100,100) solid/1 " + SELECT}));
    EXPECT_EQ(Marks(0, 0, DRAW_NORMAL | DRAW_SELECTED),
              (Lines{"Line (90,100)-(100,100) solid/1 " + PIN}));
    EXPECT_EQ(Marks(0, 0, DRAW_NORMAL | DRAW_INACTIVE),
              (Lines{"Line (90,100)-(100,100) solid/1 " + INACTIVE}));
    EXPECT_TRUE(Marks(0, 0, DRAW_NO_TEXTS).empty());
}

Lines PinTexts(int32_t side, uint32_t flags, const char* name, const char* number,
               DrawMode mode = DRAW_NORMAL, const Rect* clip = nullptr) {
    Fixture f;
    CRecordingSurface surface;
    DrawPin(surface, f.settings, Point{100, 100}, side, flags, name, number, mode, 1, 1, clip);
    Lines out;
    for (const DrawCall& c : surface.calls) {
        if (c.kind == DrawCall::Kind::DrawString) out.push_back(c.ToString());
    }
    return out;
}

TEST(ComponentRendererTest, PinTextsArePlacedByTheTable) {
    // Name inside the body 5 units from the outline, number outside above or left of the
    // pin line, 9 units out.
    struct Case {
        int32_t side;
        Lines expect;
    };
    const std::vector<Case> cases = {
        {0,
         {"DrawString (105,94) 'AB' rgb(0,0,0) " + FONT,
          "DrawString (83,89) '12' rgb(0,0,0) " + FONT}},
        {1,
         {"DrawString (94,113) 'AB' rgb(0,0,0) " + VFONT,
          "DrawString (89,91) '12' rgb(0,0,0) " + VFONT}},
        {2,
         {"DrawString (87,94) 'AB' rgb(0,0,0) " + FONT,
          "DrawString (109,89) '12' rgb(0,0,0) " + FONT}},
        {3,
         {"DrawString (94,95) 'AB' rgb(0,0,0) " + VFONT,
          "DrawString (89,117) '12' rgb(0,0,0) " + VFONT}},
    };
    for (const Case& c : cases) EXPECT_EQ(PinTexts(c.side, 0, "AB", "12"), c.expect) << c.side;

    // "S" and "Z" bring the number to 2 units from the outline.
    for (uint32_t near : {CPinDef::PIN_SHORT_NUMBER, CPinDef::PIN_ZERO_LENGTH}) {
        EXPECT_EQ(PinTexts(0, near, nullptr, "12"),
                  (Lines{"DrawString (90,89) '12' rgb(0,0,0) " + FONT}));
    }
    // "m" hides the number, never the name.
    EXPECT_EQ(PinTexts(0, CPinDef::PIN_HIDE_NUMBER, "AB", "12").size(), 1u);
    EXPECT_TRUE(PinTexts(0, 0, "", "").empty());
    // Texts are drawn without any colour bit; "Select" wins over the normal colour.
    EXPECT_EQ(PinTexts(0, 0, "AB", nullptr, 0),
              (Lines{"DrawString (105,94) 'AB' rgb(0,0,0) " + FONT}));
    EXPECT_EQ(PinTexts(0, 0, "AB", nullptr, DRAW_NORMAL | DRAW_SELECTED),
              (Lines{"DrawString (105,94) 'AB' " + SELECT + " " + FONT}));
    EXPECT_TRUE(PinTexts(0, 0, "AB", "12", DRAW_NORMAL | DRAW_NO_TEXTS).empty());
}

TEST(ComponentRendererTest, PinNamesCarryTheirBars) {
    Fixture f;
    CRecordingSurface surface;
    const char name[] = {static_cast<char>('A' | 0x80), 'B', 0};
    DrawPin(surface, f.settings, Point{100, 100}, 0, 0, name, nullptr, DRAW_NORMAL, 1, 1, nullptr);
    EXPECT_EQ(surface.DrawLog(), (Lines{"Line (90,100)-(100,100) solid/1 " + PIN,
                                        "DrawString (105,94) 'AB' rgb(0,0,0) " + FONT,
                                        "Line (105,94)-(109,94) solid/1 rgb(0,0,0)"}));
    // No texts at scales below 1; the mark stays.
    surface.Clear();
    DrawPin(surface, f.settings, Point{100, 100}, 0, 0, name, "1", DRAW_NORMAL, 1, 2, nullptr);
    EXPECT_EQ(surface.DrawLog(), (Lines{"Line (45,50)-(50,50) solid/0 " + PIN}));
}

TEST(ComponentRendererTest, ClipSkipsPiecesWhoseBoxesMissIt) {
    // Boxes of a left pin at (100, 100): mark (90,96)-(106,105), name "AB" (105,93)-(121,103),
    // number "12" (75,90)-(91,98).
    EXPECT_EQ(PinMarkBox(Point{100, 100}, 0), (Rect{90, 96, 106, 105}));
    EXPECT_EQ(PinNameBox(Point{100, 100}, 0, 2), (Rect{105, 93, 121, 103}));
    EXPECT_EQ(PinNumberBox(Point{100, 100}, 0, 2, 0), (Rect{75, 90, 91, 98}));
    struct Case {
        Rect clip;
        size_t marks, texts;
    };
    const Case cases[] = {
        {{0, 0, 1000, 1000}, 1, 2},
        {{106, 0, 200, 200}, 0, 1},  // right of the mark (exclusive edge): the name only
        {{0, 0, 75, 90}, 0, 0},      // ends where the number's box begins
        {{0, 0, 91, 97}, 1, 1},      // the mark's and the number's corner pixels
        {{120, 102, 121, 103}, 0, 1},
    };
    for (const Case& c : cases) {
        Fixture f;
        CRecordingSurface surface;
        DrawPin(surface, f.settings, Point{100, 100}, 0, 0, "AB", "12", DRAW_NORMAL, 1, 1, &c.clip);
        EXPECT_EQ(static_cast<size_t>(surface.CountOf(DrawCall::Kind::Polyline)), c.marks)
            << DrawCall::RectText(c.clip);
        EXPECT_EQ(static_cast<size_t>(surface.CountOf(DrawCall::Kind::DrawString)), c.texts)
            << DrawCall::RectText(c.clip);
    }
}

// A 4 x 2 part with a left pin at offset 1 ("AB", number 12) and, optionally, a pattern.
std::unique_ptr<drawtest::OwnedEntry> Part(const std::string& pattern = "",
                                           const std::string& pinType = "") {
    return drawtest::EntryFrom(
        "P", "N:P,X:4,Y:2,B:1,R:U\n+PIN,N:AB,L:L1,T:" + pinType + ",M:12,-PIN\n-COMP\n", pattern);
}
const std::string LINE_PATTERN = "N:P,X:40,Y:20\n+L,X:0,Y:10,X:40,Y:10,-L\n-PTN\n";

Lines DrawPlaced(const CLibEntry* entry, DrawMode mode, int32_t direction = 0,
                 const Rect* clip = nullptr, CPlacedComponent* out = nullptr) {
    Fixture f;
    CPlacedComponent c;
    if (entry) c.SetPart(entry);
    c.SetPosition(Point{100, 100});
    c.SetDirection(direction);
    c.SetReference("U");
    c.SetName("N1");
    CRecordingSurface surface;
    DrawComponent(surface, f.settings, c, mode, 1, 1, clip);
    if (out) *out = c;
    return surface.DrawLog();
}

TEST(ComponentRendererTest, PinsThenFrameThenNameAndReference) {
    auto part = Part();
    ASSERT_TRUE(part);
    EXPECT_EQ(DrawPlaced(&part->entry, DRAW_NORMAL),
              (Lines{
                  "Line (50,90)-(60,90) solid/1 " + PIN,
                  "DrawString (65,84) 'AB' rgb(0,0,0) " + FONT,
                  "DrawString (43,79) '12' rgb(0,0,0) " + FONT,
                  "Polyline (60,80)-(100,80)-(100,100)-(60,100)-(60,80) solid/1 " + BODY,
                  // Name box (102,110)-(118,120): drawn from (102, 119) on its baseline.
                  "DrawString (102,110) 'N1' rgb(0,0,0) " + FONT,
                  "DrawString (102,100) 'U' rgb(0,0,0) " + FONT,
              }));
}

TEST(ComponentRendererTest, FrameRules) {
    // Without a definition: a 20 x 20 frame in "Component" and no pins.
    EXPECT_EQ(DrawPlaced(nullptr, DRAW_NORMAL | DRAW_NO_TEXTS),
              (Lines{"Polyline (80,80)-(100,80)-(100,100)-(80,100)-(80,80) solid/1 " + BODY}));
    auto part = Part(LINE_PATTERN);
    ASSERT_TRUE(part);
    // A pattern replaces the frame...
    EXPECT_EQ(
        DrawPlaced(&part->entry, DRAW_NORMAL | DRAW_NO_TEXTS),
        (Lines{"Line (50,90)-(60,90) solid/1 " + PIN, "Line (60,90)-(100,90) solid/1 " + BODY}));
    // ...unless the frame is asked for: one pixel wide in "ComponentFrame", under the pattern.
    EXPECT_EQ(DrawPlaced(&part->entry, DRAW_NORMAL | DRAW_FRAME | DRAW_NO_TEXTS),
              (Lines{"Line (50,90)-(60,90) solid/1 " + PIN,
                     "Polyline (60,80)-(100,80)-(100,100)-(60,100)-(60,80) solid/0 " + FRAME,
                     "Line (60,90)-(100,90) solid/1 " + BODY}));
    // Turned a quarter: the body is 20 wide and 40 high, the pattern turns with it and the
    // left pin leaves from the top.
    EXPECT_EQ(
        DrawPlaced(&part->entry, DRAW_NORMAL | DRAW_NO_TEXTS, 1),
        (Lines{"Line (90,50)-(90,60) solid/1 " + PIN, "Line (90,60)-(90,100) solid/1 " + BODY}));
}

TEST(ComponentRendererTest, ModeBits) {
    auto part = Part(LINE_PATTERN);
    ASSERT_TRUE(part);
    struct Case {
        DrawMode mode;
        Lines expect;
    };
    const std::string n1 = "DrawString (102,110) 'N1' ", u = "DrawString (102,100) 'U' ";
    const std::string ab = "DrawString (65,84) 'AB' ", num = "DrawString (43,79) '12' ";
    const std::vector<Case> cases = {
        {DRAW_BLACK,
         {"Line (50,90)-(60,90) solid/1 " + BLACK, ab + BLACK + " " + FONT,
          num + BLACK + " " + FONT, "Line (60,90)-(100,90) solid/1 " + BLACK,
          n1 + BLACK + " " + FONT, u + BLACK + " " + FONT}},
        // Lines in their own colours, texts in "Select".
        {DRAW_NORMAL | DRAW_SELECTED,
         {"Line (50,90)-(60,90) solid/1 " + PIN, ab + SELECT + " " + FONT,
          num + SELECT + " " + FONT, "Line (60,90)-(100,90) solid/1 " + BODY,
          n1 + SELECT + " " + FONT, u + SELECT + " " + FONT}},
        {DRAW_SELECTED | DRAW_INACTIVE,
         {"Line (50,90)-(60,90) solid/1 " + INACTIVE, ab + INACTIVE + " " + FONT,
          num + INACTIVE + " " + FONT, "Line (60,90)-(100,90) solid/1 " + INACTIVE,
          n1 + INACTIVE + " " + FONT, u + INACTIVE + " " + FONT}},
        // No colour bit: no lines, but the texts in their normal colours.
        {0,
         {ab + BLACK + " " + FONT, num + BLACK + " " + FONT, n1 + BLACK + " " + FONT,
          u + BLACK + " " + FONT}},
        {DRAW_NO_TEXTS, {}},
        {DRAW_NORMAL | DRAW_NO_BODY, {n1 + BLACK + " " + FONT, u + BLACK + " " + FONT}},
        {DRAW_NO_BODY | DRAW_NO_NAME, {u + BLACK + " " + FONT}},
        {DRAW_NO_BODY | DRAW_NO_REFERENCE, {n1 + BLACK + " " + FONT}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawPlaced(&part->entry, c.mode), c.expect) << "mode " << c.mode;
    }
    // Zero-length pin: its marker can be left out by mode.
    auto zero = Part(LINE_PATTERN, "Z");
    ASSERT_TRUE(zero);
    EXPECT_EQ(DrawPlaced(&zero->entry, DRAW_NORMAL | DRAW_NO_TEXTS),
              (Lines{"Rectangle (58,88)-(63,93) solid/0 " + ZERO + " null",
                     "Line (60,90)-(100,90) solid/1 " + BODY}));
    EXPECT_EQ(DrawPlaced(&zero->entry, DRAW_NORMAL | DRAW_NO_TEXTS | DRAW_NO_ZERO_PIN_MARK),
              (Lines{"Line (60,90)-(100,90) solid/1 " + BODY}));
}

TEST(ComponentRendererTest, ClipNeverCutsTheBody) {
    auto part = Part(LINE_PATTERN);
    ASSERT_TRUE(part);
    // Meets the body only, far from the pin and the labels.
    const Rect clip{85, 82, 95, 88};
    EXPECT_EQ(DrawPlaced(&part->entry, DRAW_NORMAL | DRAW_FRAME, 0, &clip),
              (Lines{"Polyline (60,80)-(100,80)-(100,100)-(60,100)-(60,80) solid/0 " + FRAME,
                     "Line (60,90)-(100,90) solid/1 " + BODY}));
    // Meets only the reference's box.
    const Rect labels{103, 101, 104, 102};
    EXPECT_EQ(DrawPlaced(&part->entry, DRAW_NORMAL, 0, &labels).back(),
              "DrawString (102,100) 'U' rgb(0,0,0) " + FONT);
}

TEST(ComponentRendererTest, LabelSizesAreReportedInDrawingUnits) {
    CPlacedComponent c;
    auto part = Part();
    ASSERT_TRUE(part);
    DrawPlaced(&part->entry, DRAW_NORMAL, 0, nullptr, &c);
    ASSERT_TRUE(c.NameSizeKnown());
    ASSERT_TRUE(c.ReferenceSizeKnown());
    EXPECT_EQ(c.NameDrawnSize(), (Point{8, 11}));
    EXPECT_EQ(c.ReferenceDrawnSize(), (Point{4, 11}));

    // At 2/1 the surface extent is twice the drawing-unit size.
    Fixture f;
    CRecordingSurface surface;
    c.SetName("ABC");
    DrawComponent(surface, f.settings, c, DRAW_NORMAL, 2, 1, nullptr);
    EXPECT_EQ(c.NameDrawnSize(), (Point{13, 11}));  // 3 * 9 = 27 wide, 22 high at em 18

    // A vertical reference is drawn upward from its box's lower right corner.
    CPlacedComponent v;
    v.SetPart(&part->entry);
    v.SetPosition(Point{100, 100});
    v.SetReference("U");
    v.SetReferenceHorizontal(false);
    surface.Clear();
    DrawComponent(surface, f.settings, v, DRAW_NORMAL | DRAW_NO_BODY | DRAW_NO_NAME, 1, 1, nullptr);
    EXPECT_EQ(surface.DrawLog(), (Lines{"DrawString (93,109) 'U' rgb(0,0,0) " + VFONT}));
}

TEST(ComponentRendererTest, PatternTopLeftIsWhereThePlacedComponentPutsIt) {
    // The pattern drawing and the placed component must agree on where a point of the
    // unturned drawing goes, in every direction.
    auto part = Part(LINE_PATTERN);
    ASSERT_TRUE(part);
    for (int32_t d = 0; d < 8; ++d) {
        CPlacedComponent c;
        c.SetPart(&part->entry);
        c.SetPosition(Point{100, 100});
        c.SetDirection(d);
        const Rect body = c.Bounds();
        for (Point p : {Point{0, 0}, Point{10, 5}, Point{40, 20}, Point{33, 2}}) {
            const Point t = TransformPatternPoint(p, d, 40, 20);
            EXPECT_EQ(c.PlacePoint(p), (Point{body.left + t.x, body.top + t.y})) << d;
        }
    }
}

TEST(ComponentRendererTest, OtherObjectsDrawNothing) {
    struct Other : CSchematicObject {
        ObjectKind Kind() const override { return ObjectKind::None; }
    } other;
    Fixture f;
    CRecordingSurface surface;
    DrawComponent(surface, f.settings, other, DRAW_NORMAL, 1, 1, nullptr);
    EXPECT_TRUE(surface.calls.empty());
}

}  // namespace
}  // namespace qurix
