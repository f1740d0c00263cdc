#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include "render/TextRenderer.h"
#include "render/qt/QtCanvas.h"
#include "render/qt/QtFont.h"
#include "render/qt/TextDecode.h"
#include "tests/render_qt/PixelArt.h"

namespace qurix {
namespace {

constexpr Colour WHITE = COLOUR_WHITE;
constexpr Colour INK = MakeColour(0, 0, 160);

LogFont Font(int32_t height, const char* face = "Tahoma") {
    LogFont f;
    f.height = height;
    f.weight = 400;
    f.SetFaceName(face);
    return f;
}

TEST(QtTextTest, LogicalFontMapping) {
    EXPECT_EQ(CQtFont(Font(-20)).Font().pixelSize(), 20);
    EXPECT_EQ(CQtFont(Font(0)).Font().pixelSize(), CQtFont::DEFAULT_PIXEL_SIZE);
    EXPECT_EQ(CQtFont(Font(INT32_MIN)).Font().pixelSize(), CQtFont::MAX_PIXEL_SIZE);
    EXPECT_EQ(CQtFont(Font(INT32_MAX)).Font().pixelSize(),
              CQtFont(Font(CQtFont::MAX_PIXEL_SIZE)).Font().pixelSize());

    // A positive height is the cell: the character is smaller than with the negative one.
    for (int32_t h : {9, 13, 20, 40}) {
        const CQtFont cell(Font(h));
        EXPECT_LE(cell.Metrics().height(), h) << h;
        EXPECT_GE(cell.Metrics().height(), h - 2) << h;
        EXPECT_LT(cell.Font().pixelSize(), CQtFont(Font(-h)).Font().pixelSize()) << h;
    }

    struct WeightCase {
        int32_t weight;
        int expected;
    };
    for (const WeightCase& c :
         {WeightCase{1, 1}, WeightCase{400, 400}, WeightCase{700, 700}, WeightCase{1000, 1000},
          WeightCase{0, 400}, WeightCase{-5, 400}, WeightCase{5000, 1000}}) {
        LogFont f = Font(-10);
        f.weight = c.weight;
        EXPECT_EQ(static_cast<int>(CQtFont(f).Font().weight()), c.expected) << c.weight;
    }
    LogFont italic = Font(-10);
    italic.italic = 1;
    EXPECT_TRUE(CQtFont(italic).Font().italic());
    EXPECT_FALSE(CQtFont(Font(-10)).Font().italic());

    LogFont vertical = Font(-10);
    vertical.escapement = 900;
    EXPECT_EQ(CQtFont(vertical).Rotation(), -90.0);
}

TEST(QtTextTest, MissingFaceFallsBackToAnInstalledFont) {
    for (const char* face : {"Tahoma", "No Such Face At All", ""}) {
        const QFontInfo info(CQtFont(Font(-12, face)).Font());
        EXPECT_FALSE(info.family().isEmpty()) << face;
        EXPECT_TRUE(QFontDatabase::families().contains(info.family())) << face;
    }
}

TEST(QtTextTest, WhatTextIsDrawnWithNamesTheResolvedFamily) {
    // Two faces that are not installed resolve alike and draw alike: one answer, naming
    // the family drawn with and not the face asked for.
    const std::string a = CQtFont(Font(-12, "No Such Face At All")).DrawnWith();
    EXPECT_EQ(CQtFont(Font(-12, "Nor This One")).DrawnWith(), a);
    EXPECT_EQ(a.find("No Such Face"), std::string::npos) << a;
    const QFontInfo info(CQtFont(Font(-12, "No Such Face At All")).Font());
    EXPECT_EQ(a.rfind(info.family().toStdString(), 0), 0u) << a;
    EXPECT_NE(CQtFont(Font(-13, "No Such Face At All")).DrawnWith(), a);  // another size
}

TEST(QtTextTest, ExtentAndAscentFromTheFontsMetrics) {
    CQtCanvas canvas(10, 10, WHITE);
    const auto font = canvas.MakeFont(Font(-16));
    const QFontMetrics metrics(CQtFont::MakeQFont(Font(-16)));
    const Extent e = canvas.TextExtent(*font, "HHHH");
    EXPECT_EQ(e.cx, metrics.horizontalAdvance("HHHH"));
    EXPECT_EQ(e.cy, metrics.height());
    EXPECT_EQ(canvas.FontAscent(*font), metrics.ascent());
    EXPECT_GT(e.cx, 0);
    EXPECT_GT(canvas.FontAscent(*font), 8);
    // Prefix extents add up (no kerning between characters).
    EXPECT_EQ(canvas.TextExtent(*font, "AV").cx,
              canvas.TextExtent(*font, "A").cx + canvas.TextExtent(*font, "V").cx);
    EXPECT_EQ(canvas.TextExtent(*font, "").cx, 0);
    // Rotation does not change the extent.
    LogFont v = Font(-16);
    v.escapement = 900;
    EXPECT_EQ(canvas.TextExtent(*canvas.MakeFont(v), "HHHH"), e);
}

TEST(QtTextTest, TextCellTopLeftAtThePointAndRotatedCounterClockwise) {
    CQtCanvas flat(120, 120, WHITE);
    const auto font = flat.MakeFont(Font(-16));
    const Extent e = flat.TextExtent(*font, "HHHH");
    const int32_t ascent = flat.FontAscent(*font);
    flat.DrawString(*font, Point{10, 10}, "HHHH", INK);
    const QRect ink = InkBounds(flat.Image(), WHITE);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.left(), 10);
    EXPECT_LT(ink.right(), 10 + e.cx);
    EXPECT_GE(ink.top(), 10);
    EXPECT_EQ(ink.bottom(), 10 + ascent - 1);  // H sits on the baseline
    EXPECT_GT(ink.height(), 8);

    // Escapement 900: the text runs upward from the point, the glyph tops toward smaller x.
    LogFont up = Font(-16);
    up.escapement = 900;
    up.orientation = 900;
    CQtCanvas rotated(120, 120, WHITE);
    rotated.DrawString(*rotated.MakeFont(up), Point{30, 100}, "HHHH", INK);
    const QRect turned = InkBounds(rotated.Image(), WHITE);
    ASSERT_FALSE(turned.isNull());
    const int u0 = ink.left() - 10, u1 = ink.right() - 10;
    const int v0 = ink.top() - 10, v1 = ink.bottom() - 10;
    EXPECT_NEAR(turned.left(), 30 + v0, 1);
    EXPECT_NEAR(turned.right(), 30 + v1, 1);
    EXPECT_NEAR(turned.top(), 100 - u1 - 1, 1);
    EXPECT_NEAR(turned.bottom(), 100 - u0 - 1, 1);
}

TEST(QtTextTest, JapaneseTextUsesTheJapaneseFont) {
    const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本
    const std::string sjis = "\x93\xFA\x96\x7B";

    QTextLayout layout(DecodeText(sjis), CQtFont::MakeQFont(Font(-16)));
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    ASSERT_FALSE(runs.isEmpty());
    for (const QGlyphRun& run : runs) {
        EXPECT_TRUE(run.rawFont().familyName().contains("IPA"))
            << run.rawFont().familyName().toStdString();
    }

    CQtCanvas a(80, 40, WHITE);
    CQtCanvas b(80, 40, WHITE);
    const auto fa = a.MakeFont(Font(-16));
    a.DrawString(*fa, Point{4, 4}, utf8, INK);
    b.DrawString(*b.MakeFont(Font(-16)), Point{4, 4}, sjis, INK);
    EXPECT_EQ(a.Image(), b.Image());
    EXPECT_FALSE(InkBounds(a.Image(), WHITE).isNull());
    EXPECT_EQ(a.TextExtent(*fa, utf8), a.TextExtent(*fa, sjis));
    EXPECT_GE(a.TextExtent(*fa, sjis).cx, 28);  // two full-width characters
}

// The family each glyph of text is drawn in.
QStringList GlyphFamilies(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    for (const QGlyphRun& run : layout.glyphRuns()) families << run.rawFont().familyName();
    return families;
}

TEST(QtTextTest, SmallJapaneseFallsBackToTheFaceMadeForSmallSizes) {
    if (!QFontDatabase::hasFamily(CQtFont::SMALL_JAPANESE_FACE)) {
        GTEST_SKIP() << CQtFont::SMALL_JAPANESE_FACE << " is not installed (fonts-vlgothic)";
    }
    struct Case {
        int32_t height;
        const char* face;
        const char* japanese;  // the family kanji are drawn in
    };
    const Case cases[] = {
        {-8, "Tahoma", CQtFont::SMALL_JAPANESE_FACE},
        {-9, "Tahoma", CQtFont::SMALL_JAPANESE_FACE},  // the label font
        {-10, "", CQtFont::SMALL_JAPANESE_FACE},       // the default face
        {-11, "Tahoma", CQtFont::JAPANESE_FACE},       // just past the small sizes
        {-16, "Tahoma", CQtFont::JAPANESE_FACE},
        {-9, CQtFont::JAPANESE_FACE, CQtFont::JAPANESE_FACE},  // a face that has kanji keeps them
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.height << " " << c.face);
        const QStringList families = GlyphFamilies(DecodeText(std::string("\x93\xFA\x96\x7B")),
                                                   CQtFont::MakeQFont(Font(c.height, c.face)));
        ASSERT_FALSE(families.isEmpty());
        for (const QString& family : families) EXPECT_EQ(family.toStdString(), c.japanese);
    }
}

TEST(QtTextTest, LatinTextKeepsThePixelsOfItsOwnFace) {
    // The font as made before any Japanese fallback was named.
    auto plain = [](int32_t height, int weight) {
        QFont font;
        font.setFamilies(QStringList{"Tahoma"});
        font.setStyleStrategy(QFont::NoAntialias);
        font.setKerning(false);
        font.setWeight(static_cast<QFont::Weight>(weight));
        font.setPixelSize(height);
        return font;
    };
    for (const auto& [height, weight] :
         {std::pair{9, 400}, std::pair{10, 700}, std::pair{14, 400}}) {
        SCOPED_TRACE(testing::Message() << height << " " << weight);
        LogFont description = Font(-height);
        description.weight = weight;
        QImage made(160, 24, QImage::Format_RGB32);
        QImage expected(160, 24, QImage::Format_RGB32);
        for (auto [image, font] : {std::pair{&made, CQtFont::MakeQFont(description)},
                                   std::pair{&expected, plain(height, weight)}}) {
            image->fill(Qt::white);
            QPainter painter(image);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(QPoint(2, 18), "Vout 1.25V adj GND");
        }
        EXPECT_EQ(made, expected);
        EXPECT_EQ(QFontMetrics(CQtFont::MakeQFont(description)).height(),
                  QFontMetrics(plain(height, weight)).height());
    }
}

TEST(QtTextTest, FontFromAnotherSurfaceIsRebuilt) {
    const CSurfaceFont foreign(Font(-14));
    CQtCanvas a(60, 30, WHITE);
    CQtCanvas b(60, 30, WHITE);
    a.DrawString(foreign, Point{2, 2}, "Qx", INK);
    b.DrawString(*b.MakeFont(Font(-14)), Point{2, 2}, "Qx", INK);
    EXPECT_EQ(a.Image(), b.Image());
    EXPECT_EQ(a.TextExtent(foreign, "Qx"), b.TextExtent(*b.MakeFont(Font(-14)), "Qx"));
}

TEST(QtTextTest, RendererOverbarLiesOnTheCellTop) {
    CQtCanvas canvas(100, 40, WHITE);
    CTextRenderer renderer(Font(12));
    // "A" plain, "BC" marked; top-aligned at (10, 10).
    const Extent e = renderer.DrawLabel(
        canvas, Point{10, 10}, "A\xC2\xC3",
        TextStyle{.colour = INK, .alignment = ALIGN_ACROSS_TOP, .overbars = true});
    LogFont made = renderer.Font();
    made.height = -12;
    const auto same = canvas.MakeFont(made);
    EXPECT_EQ(e, canvas.TextExtent(*same, "ABC"));
    const int32_t a = canvas.TextExtent(*same, "A").cx;
    for (int x = 0; x < 100; ++x) {
        const bool onBar = x >= 10 + a && x < 10 + e.cx;
        EXPECT_EQ(PixelColour(canvas.Image(), x, 10) == INK, onBar) << x;
    }
    EXPECT_EQ(PixelColour(canvas.Image(), 10 + a, 9), WHITE);
}

}  // namespace
}  // namespace qurix
