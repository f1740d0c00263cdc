#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/library/PartLibrary.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/Profile.h"
#include "render/DisplaySettings.h"
#include "render/gdi/GdiCanvas.h"
#include "render/gdi/GdiFont.h"
#include "tests/render/ExactShapes.h"
#include "tests/render/TestRaster.h"

namespace qurix {
namespace {

constexpr Colour WHITE = 0xFFFFFF;
constexpr Colour INK = 0x102030;

// The GDI canvas sets the raster canvas's pixels (and so the Linux build's) exactly.
TEST(GdiCanvas, ExactShapesMatchTheRaster) {
    for (const test::ExactShape& shape : test::ExactShapes()) {
        CGdiCanvas gdi(test::SHAPE_CANVAS_WIDTH, test::SHAPE_CANVAS_HEIGHT, test::SHAPE_BACKGROUND);
        test::CTestRaster raster(test::SHAPE_CANVAS_WIDTH, test::SHAPE_CANVAS_HEIGHT,
                                 test::SHAPE_BACKGROUND);
        ASSERT_TRUE(gdi.IsValid());
        shape.draw(gdi);
        shape.draw(raster);
        CanvasPixels want;
        CanvasPixels got;
        ASSERT_TRUE(raster.ReadPixels(want));
        ASSERT_TRUE(gdi.ReadPixels(got));
        EXPECT_TRUE(got.bgrx == want.bgrx) << shape.name;
    }
}

// GDI's own figures (wide pens, polygon insides) land where the figure is, after pixels
// were set directly, and those pixels survive.
TEST(GdiCanvas, PaintedFiguresMixWithExactPixels) {
    CGdiCanvas canvas(40, 40, WHITE);
    canvas.FillRect({0, 0, 2, 2}, INK);
    const Point triangle[] = {{10, 10}, {30, 10}, {20, 30}};
    canvas.Polygon(triangle, Pen::Solid(3, INK), Brush::Solid(0x00FF00));
    CanvasPixels px;
    ASSERT_TRUE(canvas.ReadPixels(px));
    auto at = [&px](int x, int y) {
        const uint8_t* p = &px.bgrx[(static_cast<size_t>(y) * 40 + x) * 4];
        return static_cast<Colour>(p[2] | (p[1] << 8) | (p[0] << 16));
    };
    EXPECT_EQ(at(1, 1), INK);
    EXPECT_EQ(at(20, 16), 0x00FF00u);  // inside
    EXPECT_EQ(at(20, 10), INK);        // on the wide outline
    EXPECT_EQ(at(35, 35), WHITE);
}

struct InkBox {
    int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
};

InkBox FindInk(const CanvasPixels& px) {
    InkBox box;
    for (int32_t y = 0; y < px.height; ++y) {
        for (int32_t x = 0; x < px.width; ++x) {
            const uint8_t* p = &px.bgrx[(static_cast<size_t>(y) * px.width + x) * 4];
            if (p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

struct TextCase {
    const char* face;  // INI bytes (CP932 for a Japanese face)
    int32_t height;
    const char* text;          // library bytes
    const char* baselineText;  // glyphs standing on the baseline, none below
};

// Texts land inside their extent, standing on the baseline at the ascent.
const TextCase TEXT_CASES[] = {
    {"Tahoma", -12, "Hxg", "Hx"},                               // the INI's default face
    {"Tahoma", 16, "R12", "R12"},                               // a cell height
    {"Arial", -20, "ABgy", "AB"},                               // another Windows face
    {"\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E", -16,  // ＭＳ ゴシック
     "\x92\xEF\x8D\x52R1", "R1"},              // 抵抗R1 in CP932: kanji reach below the baseline
    {"Tahoma", -16, "\x92\xEF\x8D\x52", "R"},  // 抵抗 alone: its own face or a fallback
};

TEST(GdiCanvas, TextStandsOnTheBaselineInsideItsExtent) {
    for (const TextCase& c : TEXT_CASES) {
        LogFont description;
        description.height = c.height;
        description.SetFaceName(c.face);
        CGdiCanvas canvas(200, 80, WHITE);
        const auto font = canvas.MakeFont(description);
        const Point at{20, 15};
        const Extent extent = canvas.TextExtent(*font, c.text);
        const int32_t ascent = canvas.FontAscent(*font);
        canvas.DrawString(*font, at, c.text, INK);
        CanvasPixels px;
        ASSERT_TRUE(canvas.ReadPixels(px));
        const InkBox ink = FindInk(px);
        const std::string drawnWith = font->DrawnWith();
        std::printf("  drawn with %s, extent %d x %d, ascent %d\n", drawnWith.c_str(), extent.cx,
                    extent.cy, ascent);
        ASSERT_GE(ink.right, 0) << drawnWith;
        EXPECT_GE(ink.left, at.x) << drawnWith;
        EXPECT_LT(ink.right, at.x + extent.cx) << drawnWith;
        EXPECT_GE(ink.top, at.y) << drawnWith;
        EXPECT_LT(ink.bottom, at.y + extent.cy) << drawnWith;
        EXPECT_GT(ascent, 0);
        EXPECT_LT(ascent, extent.cy);

        CGdiCanvas baseline(200, 80, WHITE);
        baseline.DrawString(*font, at, c.baselineText, INK);
        ASSERT_TRUE(baseline.ReadPixels(px));
        EXPECT_EQ(FindInk(px).bottom, at.y + ascent - 1) << drawnWith;
    }
}

// Kanji a face lacks come from a Japanese face: two kanji draw two pictures, where a
// face without them would draw the same empty box twice.
TEST(GdiCanvas, KanjiTheFaceLacksAreDrawn) {
    LogFont description;
    description.height = -16;
    description.SetFaceName("Tahoma");
    CanvasPixels drawn[2];
    const char* kanji[2] = {"\x92\xEF", "\x8D\x52"};  // 抵, 抗 in CP932
    for (int i = 0; i < 2; ++i) {
        CGdiCanvas canvas(24, 24, WHITE);
        const auto font = canvas.MakeFont(description);
        canvas.DrawString(*font, {2, 2}, kanji[i], INK);
        ASSERT_TRUE(canvas.ReadPixels(drawn[i]));
    }
    EXPECT_FALSE(drawn[0].bgrx == drawn[1].bgrx);
}

// Escapement 900 turns the text a quarter counter-clockwise about the cell's corner: it
// runs upward from there, its cell to the right of the corner.
TEST(GdiCanvas, VerticalTextRunsUpward) {
    LogFont description;
    description.height = -14;
    description.escapement = description.orientation = LogFont::VERTICAL_ESCAPEMENT;
    description.SetFaceName("Tahoma");
    CGdiCanvas canvas(60, 120, WHITE);
    const auto font = canvas.MakeFont(description);
    const Extent extent = canvas.TextExtent(*font, "R123");
    canvas.DrawString(*font, {10, 100}, "R123", INK);
    CanvasPixels px;
    ASSERT_TRUE(canvas.ReadPixels(px));
    const InkBox ink = FindInk(px);
    EXPECT_GE(ink.left, 10);
    EXPECT_LT(ink.right, 10 + extent.cy);
    EXPECT_LE(ink.bottom, 100);
    EXPECT_GT(ink.top, 100 - extent.cx - 1);
}

// The factory the Windows window takes draws every sample part's thumbnails.
TEST(GdiCanvas, FactoryDrawsTheSampleThumbnails) {
    const std::string ini = QURIX_SOURCE_DIR "/examples/KIVOX.INI";
    CDisplaySettings settings;
    LoadDisplaySettings(settings, CProfile(ini), ConfigFolder(ini));
    const CanvasMaker maker = MakeGdiCanvasFactory()(settings.colours.Get(ColourKey::BG));
    int drawn = 0;
    for (int32_t slot = 0; slot < CLibrarySet::MAX_LIBRARIES; ++slot) {
        const CPartLibrary* library = settings.libraries.GetLibrary(slot);
        for (int32_t e = 0; library != nullptr && e < library->EntryCount(); ++e) {
            const PartThumbnails images = MakePartThumbnails(maker, settings, *library->Entry(e));
            EXPECT_TRUE(images.IsValid()) << library->Entry(e)->Name().c_str();
            ++drawn;
        }
    }
    EXPECT_GT(drawn, 80);
    EXPECT_EQ(maker(0, 10), nullptr);
}

// With QURIX_SHOTS_DIR set: previews of parts with texts as PPM files, to be set beside
// the Linux build's (qurix-thumbs preview of the same parts).
TEST(GdiCanvas, PreviewShots) {
    const char* dir = std::getenv("QURIX_SHOTS_DIR");
    if (dir == nullptr) GTEST_SKIP() << "QURIX_SHOTS_DIR not set";
    const std::string ini = QURIX_SOURCE_DIR "/tests/render_gdi/data/KIVOX.INI";
    CDisplaySettings settings;
    LoadDisplaySettings(settings, CProfile(ini), ConfigFolder(ini));
    const struct {
        int32_t slot;
        const char* part;
        const char* file;
    } shots[] = {{0, "74HC00", "74HC00"}, {1, "\x92\xEF\x8D\x52\x8A\xED", "japanese"}};
    for (const auto& shot : shots) {
        const CPartLibrary* library = settings.libraries.GetLibrary(shot.slot);
        ASSERT_NE(library, nullptr) << shot.file;
        const CLibEntry* entry = nullptr;
        for (int32_t e = 0; e < library->EntryCount() && entry == nullptr; ++e) {
            if (library->Entry(e)->Name() == shot.part) entry = library->Entry(e);
        }
        ASSERT_NE(entry, nullptr) << shot.file;
        const Colour background = settings.colours.Get(ColourKey::BG);
        CGdiCanvas measure(1, 1, background);
        const Point extent = PreviewExtent(settings, entry, PreviewView{}, &measure);
        CGdiCanvas canvas(extent.x, extent.y, background);
        DrawPartPreview(canvas, settings, entry);
        CanvasPixels px;
        ASSERT_TRUE(canvas.ReadPixels(px));
        const std::string path = std::string(dir) + "/" + shot.file + ".ppm";
        FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr) << path;
        std::fprintf(out, "P6\n%d %d\n255\n", px.width, px.height);
        for (size_t i = 0; i < px.bgrx.size(); i += 4) {
            const uint8_t rgb[3] = {px.bgrx[i + 2], px.bgrx[i + 1], px.bgrx[i]};
            std::fwrite(rgb, 1, 3, out);
        }
        std::fclose(out);
    }
}

}  // namespace
}  // namespace qurix
