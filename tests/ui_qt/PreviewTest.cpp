#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTabBar>
#include <QWheelEvent>
#include <string>

#include "palette/QurixDoc.h"
#include "render/qt/QtBridge.h"
#include "render/qt/QtCanvas.h"
#include "tests/ui_qt/PaletteTestBase.h"
#include "ui/qt/InfoView.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartView.h"
#include "ui/qt/PartsView.h"

namespace qurix {
namespace {

// A four-gate part (pins 1..14, 7 and 14 in no gate's pins) and a plain one.
const std::string GATES_LIB =
    "+KIVOX_LIB_V.1.0\n"
    "+COMP,N:QUAD\nX:4,Y:4,B:4\nR:U\n"
    "+PIN,N:,L:L1,T:,M:1,M:4,M:9,M:12,-PIN\n"
    "+PIN,N:,L:L3,T:,M:2,M:5,M:10,M:13,-PIN\n"
    "+PIN,N:,L:R2,T:,M:3,M:6,M:8,M:11,-PIN\n"
    "+PIN,N:,L:B2,T:,M:7,M:7,M:7,M:7,-PIN\n"
    "+PIN,N:,L:T2,T:,M:14,M:14,M:14,M:14,-PIN\n"
    "-COMP\n"
    "+COMP,N:R\nX:4,Y:2,B:1\nR:U\n+PIN,N:,L:L1,T:,M:1,-PIN\n+PIN,N:,L:R1,T:,M:2,-PIN\n"
    "NOTE:  first line  %0D%0Asecond line,-COMP\n"
    "+ALIAS,N:QUAD,A:QUAD2,-ALIAS\n"
    "+COMP,N:A_NAME_FAR_LONGER_THAN_ITS_TINY_BODY_IS_WIDE\nX:1,Y:1,B:1\nR:U\n-COMP\n"
    "-KIVOX_LIB_V.1.0\n";

class PreviewTest : public PaletteTestBase {
protected:
    void Start(const std::string& qurix = "") {
        Write("work/gates.lib", GATES_LIB);
        Write("work/KIVOX.INI", "[Library]\nLIB0=gates.lib\n" + qurix);
        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
        QApplication::processEvents();
    }
    CPartView& Preview() const { return *Frame().Preview(); }
    void Select(int row) { Frame().PartsList()->SelectItem(row); }
    void Key(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(&Preview(), &press);
    }
    void Wheel(int delta) {
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Preview().viewport(), &wheel);
    }
    QImage Grab() const { return Preview().viewport()->grab().toImage(); }
    // The part drawn directly at 1:1 with block's numbers, as large as the preview's grab.
    QImage Direct(int block) const {
        const QImage shown = Grab();
        CQtCanvas canvas(shown.width(), shown.height(),
                         Doc().Settings().colours.Get(ColourKey::BG));
        DrawPartPreview(canvas, Doc().Settings(), Doc().CurrentEntry(), {Scale{}, block});
        return canvas.TakeImage();
    }
};

TEST_F(PreviewTest, ZoomStepsByKeysAndWheel) {
    Start();
    Select(1);  // R: a 40 x 20 body
    EXPECT_EQ(Preview().Extent(), QSize(120, 100));
    const struct {
        const char* what;
        int key;    // 0: the wheel
        int wheel;  // angle delta
        Scale zoom;
        QSize extent;
    } steps[] = {
        {"Ctrl + plus", Qt::Key_Plus, 0, {3, 2}, {180, 150}},
        {"Ctrl + equals (plus unshifted)", Qt::Key_Equal, 0, {2, 1}, {240, 200}},
        {"Ctrl + minus", Qt::Key_Minus, 0, {3, 2}, {180, 150}},
        {"two wheel notches up", 0, 240, {3, 1}, {360, 300}},
        {"half a notch (a fine wheel)", 0, 60, {3, 1}, {360, 300}},
        {"the other half", 0, 60, {4, 1}, {480, 400}},
        {"Ctrl + 0", Qt::Key_0, 0, {1, 1}, {120, 100}},  // from 4:1
        {"down to the smallest", 0, -120 * 5, {1, 2}, {60, 50}},
        {"the smallest stays", Qt::Key_Minus, 0, {1, 2}, {60, 50}},
        {"up past the largest", 0, 120 * 12, {8, 1}, {960, 800}},
    };
    for (const auto& s : steps) {
        if (s.key != 0) {
            Key(s.key);
        } else {
            Wheel(s.wheel);
        }
        EXPECT_EQ(Preview().Zoom(), s.zoom) << s.what;
        EXPECT_EQ(Preview().Extent(), s.extent) << s.what;
    }
}

TEST_F(PreviewTest, DefaultPreviewIsTheDirectRenderAtOneToOne) {
    Start();
    Select(0);
    EXPECT_EQ(Preview().Zoom(), Scale{});
    EXPECT_EQ(Preview().Block(), 0);
    EXPECT_EQ(Grab().convertToFormat(QImage::Format_RGB32),
              Direct(0).convertToFormat(QImage::Format_RGB32));
}

TEST_F(PreviewTest, BlockSelectorDrawsTheChosenBlocksNumbers) {
    Start();
    Select(0);
    QTabBar* tabs = Preview().BlockSelector();
    ASSERT_TRUE(tabs->isVisibleTo(&Preview()));
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(3), QStringLiteral("D"));
    const QImage first = Grab().convertToFormat(QImage::Format_RGB32);
    for (int block : {1, 2, 3, 0}) {
        tabs->setCurrentIndex(block);
        EXPECT_EQ(Preview().Block(), block);
        const QImage shown = Grab().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, Direct(block).convertToFormat(QImage::Format_RGB32)) << block;
        EXPECT_EQ(shown == first, block == 0) << block;
    }
    EXPECT_EQ(Frame().Info()->toPlainText(), QStringLiteral("ブロック数 4 / ピン数 14"));
    // An update of the views that keeps the part keeps its block.
    tabs->setCurrentIndex(2);
    Doc().UpdateAllViews(nullptr);
    EXPECT_EQ(Preview().Block(), 2);
    EXPECT_EQ(tabs->currentIndex(), 2);

    // A part of one block hides the selector and the line; the next part starts at A.
    Select(1);
    EXPECT_FALSE(tabs->isVisibleTo(&Preview()));
    EXPECT_EQ(Preview().Block(), 0);
    EXPECT_EQ(Frame().Info()->toPlainText(), QStringLiteral("  first line  \nsecond line"));
}

TEST_F(PreviewTest, FitIsKeptInTheIniAndEndsWithAZoomStep) {
    Start();
    Select(1);
    Preview().FitAction()->trigger();
    ASSERT_TRUE(Preview().Fitted());
    const QSize room = Preview().maximumViewportSize();
    EXPECT_EQ(Preview().Zoom(), FitPreviewZoom({120, 100}, {room.width(), room.height()}));
    EXPECT_LE(Preview().Extent().width(), room.width());
    EXPECT_LE(Preview().Extent().height(), room.height());
    Close();
    const std::string ini = Read("work/KIVOX.INI");
    EXPECT_NE(ini.find("preview_fit=1\n"), std::string::npos) << ini;
    // A zoom never changed is not written.
    EXPECT_EQ(ini.find("preview_zoom"), std::string::npos) << ini;

    Start("[qurix]\npreview_fit=1\n");
    Select(1);
    EXPECT_TRUE(Preview().Fitted());
    EXPECT_TRUE(Preview().FitAction()->isChecked());
    // A step from the fitted zoom ends fitting on the next larger step.
    const Scale next = StepPreviewZoom(Preview().Zoom(), 1);
    Key(Qt::Key_Plus);
    EXPECT_FALSE(Preview().Fitted());
    EXPECT_EQ(Preview().Zoom(), next);
    Close();
    const std::string after = Read("work/KIVOX.INI");
    EXPECT_NE(after.find("preview_fit=0\n"), std::string::npos) << after;
    EXPECT_NE(after.find("preview_zoom=" + FormatPreviewZoom(next) + "\n"), std::string::npos)
        << after;

    Start("[qurix]\npreview_fit=1\npreview_zoom=3:2\n");
    Select(1);
    EXPECT_EQ(Preview().Zoom(), FitPreviewZoom({120, 100}, {room.width(), room.height()}));
    Key(Qt::Key_0);
    EXPECT_FALSE(Preview().Fitted());
    EXPECT_FALSE(Preview().FitAction()->isChecked());
    EXPECT_EQ(Preview().Extent(), QSize(120, 100));
}

// On a screen of ratio 2 (or 1.5) the part is drawn from its vectors at twice (or 1.5 times)
// the zoom, not enlarged.
TEST_F(PreviewTest, DrawnAtTheDeviceResolution) {
    Start();
    Select(0);
    const struct {
        int key;  // 0: as it is
        Scale ratio;
        Scale drawn;  // the zoom the vectors are drawn at
    } rows[] = {
        {0, {1, 1}, {1, 1}},
        {0, {2, 1}, {2, 1}},
        {0, {3, 1}, {3, 1}},
        {0, {3, 2}, {3, 2}},  // a screen at 150 %
        {0, {5, 4}, {5, 4}},
        {Qt::Key_Plus, {2, 1}, {3, 1}},  // 3:2 at ratio 2
        {Qt::Key_Minus, {2, 1}, {2, 1}},
        {Qt::Key_Minus, {2, 1}, {4, 3}},  // 2:3 at ratio 2
        {Qt::Key_Minus, {2, 1}, {1, 1}},  // 1:2 at ratio 2
        {0, {16, 1}, {8, 1}},             // the largest zoom reached exactly
    };
    for (const auto& r : rows) {
        if (r.key != 0) Key(r.key);
        const QImage shown = Preview().RenderVisible(r.ratio);
        const qreal dpr = qreal(r.ratio.num) / r.ratio.den;
        ASSERT_EQ(shown.size(), (QSizeF(Preview().viewport()->size()) * dpr).toSize());
        CQtCanvas canvas(shown.width(), shown.height(),
                         Doc().Settings().colours.Get(ColourKey::BG));
        DrawPartPreview(canvas, Doc().Settings(), Doc().CurrentEntry(), {r.drawn, 0});
        QImage direct = canvas.TakeImage();
        direct.setDevicePixelRatio(dpr);
        EXPECT_EQ(shown, direct) << r.ratio.num << "/" << r.ratio.den << " " << r.drawn.num << ":"
                                 << r.drawn.den;
    }
}

TEST_F(PreviewTest, AnItemsToolTipIsThePalettes) {
    // What a tool tip says is tested on the palette layer; here that the list shows it.
    Start();
    const std::string lib = (root_ / "work" / "gates.lib").string();
    CPartsView& parts = *Frame().PartsList();
    ASSERT_EQ(parts.ItemCount(), 4);
    EXPECT_EQ(parts.model()->index(2, 0).data(Qt::ToolTipRole).toString().toStdString(),
              "QUAD2\nライブラリ: " + lib + "\nブロック数 4 / ピン数 14\n別名の元: QUAD");
}

TEST_F(PreviewTest, TheExtentGrowsToHoldALongName) {
    Start();
    Select(3);
    // A 10 x 10 body: 90 x 90 without the name.
    EXPECT_GT(Preview().Extent().width(), 90 + 100);
    const int wide = Preview().Extent().width();
    Key(Qt::Key_Plus);
    // Text sizes follow the font's steps, not the zoom exactly.
    EXPECT_GT(Preview().Extent().width(), wide * 4 / 3);
}

}  // namespace
}  // namespace qurix
