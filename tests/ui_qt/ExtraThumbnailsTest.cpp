#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <filesystem>
#include <string>

#include "palette/ExtraThumbnails.h"
#include "palette/QurixDoc.h"
#include "render/qt/QtBridge.h"
#include "tests/ui_qt/PaletteTestBase.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartsView.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

const std::string PARTS_LIB =
    "+KIVOX_LIB_V.1.0\n"
    "+COMP,N:WIDE\nX:6,Y:2,B:1\nR:U\n+PIN,N:,L:L1,T:,M:1,-PIN\n-COMP\n"
    "+COMP,N:TALL\nX:2,Y:5,B:1\nR:U\n-COMP\n"
    "+COMP,N:SQUARE\nX:3,Y:3,B:2\nR:U\n-COMP\n"
    "-KIVOX_LIB_V.1.0\n";

class ExtraThumbnailsTest : public PaletteTestBase {
protected:
    void Start(const std::string& qurix, int ratio) {
        // Written once: a newer library time would invalidate the cache.
        if (!fs::exists(root_ / "work" / "parts.lib")) Write("work/parts.lib", PARTS_LIB);
        Write("work/KIVOX.INI", "[Library]\nLIB0=parts.lib\n" + qurix);
        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
        Parts().SetDeviceRatio(ratio);
        QApplication::processEvents();
    }
    CPartsView& Parts() const { return *Frame().PartsList(); }
    // The item's icon as the list would take it at ratio, in device pixels.
    QPixmap Icon(int row, int logical, int ratio) const {
        const QIcon icon = Parts().model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
        return icon.pixmap(QSize(logical, logical), ratio);
    }
    static QImage Argb(const ArgbImage& image) {
        // Premultiplied: a transparent pixel keeps no colour on screen.
        return ToQImage(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    CanvasMaker Maker() const { return QtCanvasMaker(Doc().Settings().colours.Get(ColourKey::BG)); }
    bool Cached(const char* name) const { return fs::exists(root_ / "work" / "cache" / name); }
};

// Each row: a mode and a ratio, what the icons must equal, and the file they are kept in.
struct Case {
    const char* what;
    int style;  // parts_style
    int ratio;
    int logical;       // icon side in logical pixels
    const char* file;  // extra cache file, or null for none
};

class ExtraThumbnailCases : public ExtraThumbnailsTest,
                            public ::testing::WithParamInterface<Case> {};

TEST_P(ExtraThumbnailCases, DrawnFromVectorsKeptInTheirOwnFileAndReusedUnchanged) {
    const Case c = GetParam();
    const std::string qurix = "[qurix]\nparts_style=" + std::to_string(c.style) + "\n";
    Start(qurix, c.ratio);
    ASSERT_EQ(Parts().DisplayMode(), c.style);
    ASSERT_EQ(Parts().ItemCount(), 3);
    EXPECT_EQ(Parts().iconSize(), QSize(c.logical, c.logical));
    for (int row = 0; row < 3; ++row) {
        const CLibEntry& entry = *Parts().ItemEntry(row);
        const Scale ratio{c.ratio, 1};
        QImage expected;
        if (c.style == CPartsView::MODE_XLARGE) {
            expected = Argb(MakeExtraLargeThumbnail(Maker(), Doc().Settings(), entry, ratio));
        } else {
            const PartThumbnails t = MakePartThumbnails(Maker(), Doc().Settings(), entry, ratio);
            expected = Argb(c.logical == LARGE_THUMB_SIZE ? t.large : t.smallImage);
        }
        ASSERT_EQ(expected.width(), c.logical * c.ratio) << c.what;
        const QPixmap shown = Icon(row, c.logical, c.ratio);
        EXPECT_EQ(shown.devicePixelRatio(), c.ratio) << c.what;
        EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), expected)
            << c.what << " row " << row;
    }
    const int drawn = Parts().Extras().Drawn();
    EXPECT_EQ(drawn, c.file != nullptr ? 3 : 0) << c.what;
    Close();
    EXPECT_TRUE(c.file == nullptr || Cached(c.file)) << c.what;
    const std::string large = Read("work/cache/largeimage.cache");
    const std::string smallImage = Read("work/cache/smallimage.cache");
    ASSERT_FALSE(large.empty());

    // A second start with the cache draws nothing and leaves the specified files alone.
    Start(qurix, c.ratio);
    for (int row = 0; row < 3; ++row) EXPECT_FALSE(Icon(row, c.logical, c.ratio).isNull());
    EXPECT_EQ(Parts().LastBuild().rendered, 0) << c.what;
    EXPECT_EQ(Parts().Extras().Drawn(), 0) << c.what;
    Close();
    EXPECT_EQ(Read("work/cache/largeimage.cache"), large) << c.what;
    EXPECT_EQ(Read("work/cache/smallimage.cache"), smallImage) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ExtraThumbnailCases,
    ::testing::Values(
        // The specified images at ratio 1: no file of their own.
        Case{"large at 1", CPartsView::MODE_LARGE, 1, 64, nullptr},
        Case{"extra-large at 1", CPartsView::MODE_XLARGE, 1, 128, "xlargeimage.cache"},
        Case{"large at 2", CPartsView::MODE_LARGE, 2, 64, "largeimage@2.cache"},
        Case{"small at 2", CPartsView::MODE_SMALL, 2, 32, "smallimage@2.cache"},
        Case{"list at 3", CPartsView::MODE_LIST, 3, 32, "smallimage@3.cache"},
        Case{"extra-large at 2", CPartsView::MODE_XLARGE, 2, 128, "xlargeimage@2.cache"}));

TEST_F(ExtraThumbnailsTest, ADamagedOrForeignFileIsDrawnAgain) {
    Start("[qurix]\nparts_style=4\n", 1);
    for (int row = 0; row < 3; ++row) Icon(row, 128, 1);
    Close();
    const std::string good = Read("work/cache/xlargeimage.cache");
    ASSERT_FALSE(good.empty());
    const struct {
        const char* what;
        std::string bytes;
    } rows[] = {
        {"cut short", good.substr(0, good.size() / 2)},
        {"a byte changed", good.substr(0, 60) + char(good[60] ^ 1) + good.substr(61)},
        {"empty", ""},
        {"the large file's bytes (another side)", Read("work/cache/largeimage.cache")},
    };
    for (const auto& r : rows) {
        Write("work/cache/xlargeimage.cache", r.bytes);
        Start("[qurix]\nparts_style=4\n", 1);
        for (int row = 0; row < 3; ++row) EXPECT_FALSE(Icon(row, 128, 1).isNull()) << r.what;
        EXPECT_EQ(Parts().Extras().Drawn(), 3) << r.what;
        Close();
        EXPECT_EQ(Read("work/cache/xlargeimage.cache").size(), good.size()) << r.what;
    }
}

// Every toolbar icon has a twice-size image ("@2x", which Qt takes on a screen of ratio 2)
// whose pixels are the small one's, doubled.
TEST(ToolbarIcons, TwiceTheSizeForRatioTwo) {
    for (const char* name : {"view_large", "view_small", "view_list", "view_xlarge", "about"}) {
        const QString base = QStringLiteral(QURIX_SOURCE_DIR "/resources/") + QLatin1String(name);
        const QImage one = QImage(base + ".png").convertToFormat(QImage::Format_ARGB32);
        const QImage two = QImage(base + "@2x.png").convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(one.size(), QSize(16, 15)) << name;
        ASSERT_EQ(two.size(), QSize(32, 30)) << name;
        int wrong = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 32; ++x) wrong += two.pixel(x, y) != one.pixel(x / 2, y / 2);
        }
        EXPECT_EQ(wrong, 0) << name;
    }
}

}  // namespace
}  // namespace qurix
