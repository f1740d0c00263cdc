#include <gtest/gtest.h>

#include "render/DrawMode.h"
#include "render/PatternPens.h"
#include "render/Scale.h"
#include "tests/render/RecordingSurface.h"

namespace qurix {
namespace {

constexpr Colour NORMAL = MakeColour(10, 20, 30);
constexpr Colour SELECT = MakeColour(255, 0, 0);
constexpr Colour INACTIVE = MakeColour(1, 2, 3);

CColourTable Colours() {
    CColourTable t;
    t.Set(ColourKey::Select, SELECT);
    t.Set(ColourKey::InactiveLayer, INACTIVE);
    return t;
}

// 'N' normal, 'B' black, 'S' select, 'I' inactive, '-' not drawn.
char Name(std::optional<Colour> c) {
    if (!c) return '-';
    if (*c == NORMAL) return 'N';
    if (*c == COLOUR_BLACK) return 'B';
    if (*c == SELECT) return 'S';
    if (*c == INACTIVE) return 'I';
    return '?';
}

TEST(DrawModeTest, ColourOrdersForEveryColourBitCombination) {
    struct Case {
        DrawMode mode;
        char line;
        char text;
    };
    const Case cases[] = {
        {0x000, '-', 'N'},
        {0x001, 'N', 'N'},
        {0x002, 'B', 'B'},
        {0x003, 'N', 'B'},
        {0x004, 'S', 'S'},
        {0x005, 'N', 'S'},
        {0x006, 'B', 'S'},
        {0x007, 'N', 'S'},
        {0x040, 'I', 'I'},
        {0x041, 'I', 'I'},
        {0x042, 'I', 'I'},
        {0x044, 'I', 'I'},
        {0x047, 'I', 'I'},
        // Bits that leave things out do not choose colours.
        {0x008, '-', 'N'},
        {0x009, 'N', 'N'},
        {0x020, '-', 'N'},
        {0x322, 'B', 'B'},
        {0xB80, '-', 'N'},
        {0xFBF, 'N', 'S'},
        {0xFFF, 'I', 'I'},
    };
    const CColourTable colours = Colours();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode 0x" << std::hex << c.mode);
        EXPECT_EQ(Name(ChooseLineColour(c.mode, NORMAL, colours)), c.line);
        EXPECT_EQ(Name(ChooseTextColour(c.mode, NORMAL, colours)), c.text);
    }
}

TEST(DrawModeTest, ScaleTruncatesTowardZeroAfterTheOffset) {
    struct Case {
        int32_t v, num, den, expected;
    };
    const Case cases[] = {
        {-15, 1, 2, -7},
        {15, 1, 2, 7},
        {-1, 1, 2, 0},
        {7, 3, 2, 10},
        {-7, 3, 2, -10},
        {-9, 2, 1, -18},
        {123, 1, 1, 123},
        {5, 0, 1, 0},
        // Overflow wraps in 32 bits instead of being undefined.
        {INT32_MAX, 2, 1, -2},
        {INT32_MIN, 1, -1, INT32_MIN},
        {1 << 30, 4, 4, 0},
        // A zero denominator gives 0 rather than a crash.
        {10, 1, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleValue(c.v, c.num, c.den), c.expected)
            << c.v << " * " << c.num << " / " << c.den;
    }
    // (1 + 1) * 1 / 2 is 1, where scaling each term would give 0.
    EXPECT_EQ(ScaleValue(1, 1, 1, 2), 1);
    EXPECT_EQ(ScalePoint(Point{-15, 15}, Point{0, 1}, 1, 2), (Point{-7, 8}));
    EXPECT_EQ(ScaleValue(INT32_MAX, 1, 1, 1), INT32_MIN);
}

TEST(DrawModeTest, PatternPenRecipe) {
    const Colour c = MakeColour(192, 0, 0);
    struct Case {
        int32_t style, width, num, den;
        const char* expected;
    };
    const Case cases[] = {
        {0, 1, 1, 1, "solid/1 rgb(192,0,0)"},      {0, 3, 1, 1, "solid/3 rgb(192,0,0)"},
        {0, 1, 1, 2, "solid/0 rgb(192,0,0)"},      {1, 1, 1, 1, "dotted/1 rgb(192,0,0)"},
        {1, 0, 1, 1, "dotted/0 rgb(192,0,0)"},     {1, 1, 3, 1, "dashed/3/6:6 rgb(192,0,0)"},
        {2, 2, 1, 1, "dashed/2/4:4 rgb(192,0,0)"}, {-1, 3, 1, 2, "dotted/1 rgb(192,0,0)"},
        {7, 5, 2, 5, "dashed/2/4:4 rgb(192,0,0)"}, {1, -4, 1, 1, "dotted/-4 rgb(192,0,0)"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(DrawCall::PenText(PatternPen(k.style, k.width, c, k.num, k.den)), k.expected)
            << "style " << k.style << " width " << k.width << " at " << k.num << "/" << k.den;
    }
    // The dash length wraps rather than overflowing.
    EXPECT_EQ(PatternPen(1, INT32_MAX, c, 1, 1).dash, -2);
}

TEST(DrawModeTest, PatternBrushRecipe) {
    const Colour red = MakeColour(192, 0, 0);
    EXPECT_EQ(PatternBrush(-1, red), Brush::Null());
    EXPECT_EQ(PatternBrush(1, red), Brush::Solid(red));
    EXPECT_EQ(PatternBrush(1, COLOUR_BLACK), Brush::Solid(COLOUR_BLACK));
    EXPECT_EQ(PatternBrush(0, red), Brush::StockBlack());
    EXPECT_EQ(PatternBrush(0, COLOUR_BLACK), Brush::StockWhite());
    EXPECT_EQ(PatternBrush(2, COLOUR_BLACK), Brush::StockWhite());
    EXPECT_EQ(PatternBrush(-2, red), Brush::StockBlack());
    EXPECT_EQ(PatternBrush(INT32_MIN, COLOUR_WHITE), Brush::StockBlack());
    EXPECT_EQ(Brush::StockWhite().FillColour(), COLOUR_WHITE);
    EXPECT_EQ(Brush::StockBlack().FillColour(), COLOUR_BLACK);
}

}  // namespace
}  // namespace qurix
