#include "ui/qt/PartsView.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/CacheLocation.h"
#include "palette/ConfigLocation.h"
#include "palette/ImageCache.h"
#include "palette/QurixDoc.h"
#include "render/qt/QtBridge.h"
#include "tests/ui_qt/PaletteTestBase.h"
#include "tests/ui_qt/TestApp.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartView.h"
#include "ui/qt/PlibView.h"
#include "ui/qt/ProgressDlg.h"
#include "ui/qt/QurixApp.h"

namespace qurix {
namespace {

namespace fs = std::filesystem;

// A library of count parts named <prefix>0, <prefix>1, ... with bodies of a few sizes.
std::string Library(const std::string& prefix, int count) {
    std::string s = "+KIVOX_LIB_V.1.0\n";
    for (int i = 0; i < count; ++i) {
        s += "+COMP,N:" + prefix + std::to_string(i) + "\nX:" + std::to_string(2 + i % 3) +
             ",Y:" + std::to_string(1 + i % 2) + ",B:1\nR:U\n-COMP\n";
    }
    return s + "-KIVOX_LIB_V.1.0\n";
}

class PartsViewTest : public PaletteTestBase {
protected:
    // Libraries a.lib, b.lib, ... with the given part counts, and the INI naming them.
    void WriteLibraries(const std::vector<int>& counts, const std::string& qurix = "") {
        std::string ini = "[Library]\n";
        for (size_t i = 0; i < counts.size(); ++i) {
            const std::string name(1, static_cast<char>('a' + i));
            Write("work/" + name + ".lib", Library(name == "a" ? "A" : name, counts[i]));
            ini += "LIB" + std::to_string(i) + "=" + name + ".lib\n";
        }
        Write("work/KIVOX.INI", ini + qurix);
    }
    // A library file saved again by the editor: a newer modification time.
    void Touch(const fs::path& rel) {
        const fs::path p = root_ / rel;
        fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(10));
    }

    void Start(int width = 600, int height = 500) {
        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
        Frame().resize(width, height);
        QApplication::processEvents();
    }
    CPartsView& Parts() const { return *Frame().PartsList(); }
    const CPartLibrary* Lib(int i) const { return Doc().Libraries().GetLibrary(i); }

    // As a click on a library row.
    void SelectLibrary(int row) {
        CPlibView& plib = *Frame().LibraryList();
        plib.selectionModel()->setCurrentIndex(
            plib.LibraryIndex(row),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QApplication::processEvents();
    }
    // Scrolls the parts list to the given item as the user would with the scroll bars.
    void ScrollTo(int row) {
        Parts().ScrollItemToTopLeft(row);
        QApplication::processEvents();
    }
    // Presses on the item and moves the pointer far enough to start a drag.
    void DragItem(int row) {
        QWidget* viewport = Parts().viewport();
        const QPoint press = Parts().ItemRect(row).center();
        QMouseEvent down(QEvent::MouseButtonPress, press, viewport->mapToGlobal(press),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &down);
        for (int step = 1; step <= 2; ++step) {
            const QPoint at = press + QPoint(step * (QApplication::startDragDistance() + 2), 0);
            QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &move);
        }
        QMouseEvent up(QEvent::MouseButtonRelease, press, viewport->mapToGlobal(press),
                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &up);
    }
    // The row of an item's top edge (icon modes) or the column of its left edge (list).
    bool SameLine(int a, int b) const {
        const QRect ra = Parts().ItemRect(a);
        const QRect rb = Parts().ItemRect(b);
        return Parts().DisplayMode() == CPartsView::MODE_LIST ? ra.left() == rb.left()
                                                              : ra.top() == rb.top();
    }
    // The first item of the line (row or column) that holds item k.
    int LineStart(int k) const {
        int first = k;
        while (first > 0 && SameLine(first - 1, k)) --first;
        return first;
    }
};

TEST_F(PartsViewTest, ListsTheCurrentLibraryWithItsImages) {
    WriteLibraries({3, 0, 4}, "[DefaultColor]\nBG=12648384\nComponentName=8388736\n");
    Start();
    // Every part of every library has both images, in order.
    EXPECT_EQ(Parts().Images().Count(), 7u);
    EXPECT_EQ(Parts().Images().entries, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Parts().LastBuild().total, 7);
    EXPECT_EQ(Parts().LastBuild().rendered, 7);
    EXPECT_FALSE(Parts().LastBuild().stopped);
    ASSERT_EQ(Parts().ItemCount(), 3);
    EXPECT_EQ(Parts().ItemText(0), QStringLiteral("A0"));
    EXPECT_EQ(Parts().ItemText(2), QStringLiteral("A2"));
    EXPECT_EQ(Parts().ItemEntry(1), Lib(0)->Entry(1));
    EXPECT_EQ(Parts().ItemImage(2), 2);

    // Images are keyed on the background: its pixels are transparent.
    const QImage large = ToQImage(Parts().Images().large.Image(0));
    EXPECT_EQ(large.size(), QSize(64, 64));
    EXPECT_EQ(ToQImage(Parts().Images().smallImage.Image(0)).size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(large.pixel(0, 0)), 0);
    // The list's colours are "BG" and "ComponentName".
    EXPECT_EQ(Parts().palette().color(QPalette::Base), QColor(192, 255, 192));
    EXPECT_EQ(Parts().palette().color(QPalette::Text), QColor(128, 0, 128));

    // An empty library lists nothing; the third takes images 3 to 6.
    SelectLibrary(1);
    EXPECT_EQ(Parts().ItemCount(), 0);
    EXPECT_EQ(Parts().ShownLibrary(), Lib(1));
    SelectLibrary(2);
    ASSERT_EQ(Parts().ItemCount(), 4);
    EXPECT_EQ(Parts().ItemText(0), QStringLiteral("c0"));
    EXPECT_EQ(Parts().ItemImage(0), 3);
    EXPECT_EQ(Parts().ItemImage(3), 6);
}

// Icons are decoded from the packed thumbnails for the items asked for and only the
// latest few are kept: each item must still show its own image, however often the list
// goes down and back up.
TEST_F(PartsViewTest, MoreItemsThanKeptIconsEachShowTheirOwnImage) {
    constexpr int PARTS = 40;
    std::string lib = "+KIVOX_LIB_V.1.0\n";
    for (int i = 0; i < PARTS; ++i) {
        // Frames of different widths, so that no two images are alike.
        lib += "+COMP,N:W" + std::to_string(i) + "\nX:" + std::to_string(2 + i) +
               ",Y:1,B:1\nR:U\n-COMP\n";
    }
    Write("work/a.lib", lib + "-KIVOX_LIB_V.1.0\n");
    Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\n");
    Start();
    ASSERT_EQ(Parts().ItemCount(), PARTS);
    const auto premultiplied = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    std::vector<QImage> own;
    for (int row = 0; row < PARTS; ++row) {
        own.push_back(
            premultiplied(ToQImage(Parts().Images().large.Image(Parts().ItemImage(row)))));
    }
    for (int row = 1; row < PARTS; ++row) ASSERT_NE(own[row], own[row - 1]) << row;

    Parts().SetIconCapacity(5);
    const QAbstractItemModel& model = *Parts().model();
    std::vector<int> asked;
    for (int row = 0; row < PARTS; ++row) asked.push_back(row);
    for (int row = PARTS - 1; row >= 0; --row) asked.push_back(row);
    for (int row : {3, 3, 30, 4, 3}) asked.push_back(row);
    for (const int row : asked) {
        const QIcon icon =
            qvariant_cast<QIcon>(model.data(model.index(row, 0), Qt::DecorationRole));
        EXPECT_EQ(premultiplied(icon.pixmap(64, 64).toImage()), own[row]) << row;
        EXPECT_LE(Parts().KeptIcons(), 5u);
    }
    // Painted while scrolling: still no more than so many kept.
    for (const int row : {PARTS - 1, 0, PARTS / 2}) {
        ScrollTo(row);
        Parts().viewport()->repaint();
        EXPECT_LE(Parts().KeptIcons(), 5u);
    }
}

TEST_F(PartsViewTest, ItemsAreArrangedAgainWhenTheListIsResized) {
    WriteLibraries({12});
    Start(1000, 400);
    ASSERT_EQ(Parts().ItemRect(5).top(), Parts().ItemRect(0).top());
    Frame().resize(420, 400);
    // The list lays itself out again a moment after the resize.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Parts().ItemRect(5).top() == Parts().ItemRect(0).top() &&
           std::chrono::steady_clock::now() < deadline) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_GT(Parts().ItemRect(5).top(), Parts().ItemRect(0).top());
    EXPECT_LE(Parts().ItemRect(1).right(), Parts().viewport()->width());
}

TEST_F(PartsViewTest, NoLibraryBuildsNothing) {
    Write("work/KIVOX.INI", "[Library]\nLIB0=missing.lib\n");
    Start();
    EXPECT_EQ(Parts().LastBuild().total, 0);
    EXPECT_EQ(Parts().Images().Count(), 0u);
    EXPECT_EQ(Parts().ItemCount(), 0);
    EXPECT_EQ(Parts().ShownLibrary(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(qobject_cast<CProgressDlg*>(w) && w->isVisible());
    }
}

TEST_F(PartsViewTest, SelectingAnItemMakesItsEntryCurrent) {
    WriteLibraries({3, 2});
    Start();
    Parts().SelectItem(1);
    ASSERT_EQ(Doc().CurrentEntry(), Lib(0)->Entry(1));
    // The preview took the part in.
    EXPECT_NE(Frame().Preview()->Extent(),
              QSize(CPartView::INITIAL_EXTENT, CPartView::INITIAL_EXTENT));
    Parts().SelectItem(2);
    EXPECT_EQ(Doc().CurrentEntry(), Lib(0)->Entry(2));

    // Letting go of the selection keeps the part current.
    Parts().selectionModel()->clearSelection();
    EXPECT_EQ(Doc().CurrentEntry(), Lib(0)->Entry(2));
    // Another library: no part is current until an item of it is chosen.
    SelectLibrary(1);
    EXPECT_EQ(Doc().CurrentEntry(), nullptr);
    Parts().SelectItem(0);
    EXPECT_EQ(Doc().CurrentEntry(), Lib(1)->Entry(0));
}

TEST_F(PartsViewTest, EachLibraryIsShownWhereItWasLeft) {
    for (const int mode : {ID_VIEW_LARGEICON, ID_VIEW_LIST}) {
        WriteLibraries({200, 150});
        Start(500, 400);
        Parts().SetViewStyle(mode);
        const int a = LineStart(60);
        ASSERT_GT(a, 0);
        ScrollTo(a);
        ASSERT_EQ(Parts().TopItem(), a) << mode;

        SelectLibrary(1);
        EXPECT_EQ(Parts().TopItem(), 0) << mode;
        const int b = LineStart(30);
        ScrollTo(b);
        ASSERT_EQ(Parts().TopItem(), b) << mode;

        SelectLibrary(0);
        EXPECT_EQ(Parts().TopItem(), a) << mode;
        SelectLibrary(1);
        EXPECT_EQ(Parts().TopItem(), b) << mode;
        Close();
    }
}

TEST_F(PartsViewTest, ViewStylesKeepTheTopItem) {
    WriteLibraries({300});
    Start(520, 420);
    const int first = LineStart(100);
    ScrollTo(first);
    ASSERT_EQ(Parts().TopItem(), first);

    // Each switch brings the line holding the old top item to the top (left in list mode).
    int top = first;
    for (const int command :
         {ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_LARGEICON, ID_VIEW_SMALLICON}) {
        Parts().SetViewStyle(command);
        QApplication::processEvents();
        const int now = Parts().TopItem();
        EXPECT_TRUE(SameLine(now, top)) << command << ": " << now << " vs " << top;
        if (Parts().DisplayMode() == CPartsView::MODE_LIST) {
            EXPECT_EQ(Parts().ItemRect(top).left(), 0) << command;
        } else {
            EXPECT_EQ(Parts().ItemRect(top).top(), 0) << command;
        }
        top = now;
    }
    // Back and forth from a line start lands on the same item.
    Parts().SetViewStyle(ID_VIEW_LARGEICON);
    ScrollTo(first);
    Parts().SetViewStyle(ID_VIEW_SMALLICON);
    Parts().SetViewStyle(ID_VIEW_LARGEICON);
    EXPECT_TRUE(SameLine(Parts().TopItem(), first));
    // Other commands change nothing.
    Parts().SetViewStyle(0xE813);
    EXPECT_EQ(Parts().DisplayMode(), CPartsView::MODE_LARGE);
}

TEST_F(PartsViewTest, ModesAndTheirPersistence) {
    WriteLibraries({5}, "[qurix]\nparts_style=1\n");
    Start();
    // Details mode: the items exist but none is shown, and no mode is marked.
    EXPECT_EQ(Parts().DisplayMode(), CPartsView::MODE_DETAILS);
    EXPECT_EQ(Parts().ItemCount(), 5);
    EXPECT_TRUE(Parts().ItemRect(0).isEmpty());
    for (const int id : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST}) {
        EXPECT_FALSE(Frame().Action(id)->isChecked()) << id;
    }
    Frame().Action(ID_VIEW_LIST)->trigger();
    EXPECT_EQ(Parts().DisplayMode(), CPartsView::MODE_LIST);
    EXPECT_FALSE(Parts().ItemRect(0).isEmpty());
    EXPECT_EQ(Parts().iconSize(), QSize(32, 32));
    Close();
    EXPECT_NE(Read("work/KIVOX.INI").find("parts_style=3\n"), std::string::npos);

    Start();
    EXPECT_EQ(Parts().DisplayMode(), CPartsView::MODE_LIST);
    Parts().SetViewStyle(ID_VIEW_LARGEICON);
    EXPECT_EQ(Parts().iconSize(), QSize(64, 64));
    Close();
    EXPECT_NE(Read("work/KIVOX.INI").find("parts_style=0\n"), std::string::npos);

    // Values the list does not know read as large icons.
    WriteLibraries({5}, "[qurix]\nparts_style=7\n");
    Start();
    EXPECT_EQ(Parts().DisplayMode(), CPartsView::MODE_LARGE);
}

TEST_F(PartsViewTest, CancelStopsAtOnceAndListsOnlyWhatHasImages) {
    WriteLibraries({3, 4, 2});
    app_ = std::make_unique<CQurixApp>();
    const ConfigLocationInputs in = Where();
    // The first start renders everything; Reload builds again with a cancel after 5
    // (every library saved again, so nothing is kept from the first build).
    ASSERT_TRUE(app_->InitInstance(in));
    for (const char* f : {"work/a.lib", "work/b.lib", "work/c.lib"}) Touch(f);
    QString countText;
    QWidget* dialogParent = nullptr;
    int steps = 0;
    Parts().onBuildStep = [&](CProgressDlg& dialog, int32_t done) {
        ++steps;
        dialogParent = dialog.parentWidget();
        countText = dialog.CountText();
        if (done == 5) dialog.CancelButton()->click();
    };
    ASSERT_TRUE(Doc().Reload());
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(countText, QStringLiteral("5 / 9"));
    EXPECT_EQ(dialogParent, &Frame());
    EXPECT_TRUE(Parts().LastBuild().stopped);
    EXPECT_EQ(Parts().LastBuild().done, 5);
    EXPECT_EQ(Parts().Images().Count(), 5u);
    EXPECT_FALSE(Doc().IsBusy());

    // The library list selected the first library again: all of it has images.
    EXPECT_EQ(Parts().ItemCount(), 3);
    SelectLibrary(1);
    ASSERT_EQ(Parts().ItemCount(), 2);
    EXPECT_EQ(Parts().ItemText(1), QStringLiteral("b1"));
    SelectLibrary(2);
    EXPECT_EQ(Parts().ItemCount(), 0);
    // Later notifications do not start the build again.
    Parts().onBuildStep = [&](CProgressDlg&, int32_t) { ++steps; };
    SelectLibrary(0);
    EXPECT_EQ(steps, 5);
    Close();

    // What was built is saved; the next start reuses it and renders the rest.
    Start();
    EXPECT_EQ(Parts().LastBuild().reused, 5);
    EXPECT_EQ(Parts().LastBuild().rendered, 4);
    EXPECT_TRUE(Parts().CacheDirty());
    Close();
    Start();
    EXPECT_EQ(Parts().LastBuild().reused, 9);
    EXPECT_EQ(Parts().LastBuild().rendered, 0);
    EXPECT_FALSE(Parts().CacheDirty());
}

TEST_F(PartsViewTest, CacheIsReusedOnlyWhileTheLibrariesAreUnchanged) {
    WriteLibraries({4, 3});
    // First start: no cache folder.
    Start();
    EXPECT_FALSE(fs::exists(root_ / "work" / "cache"));
    EXPECT_EQ(Parts().CacheFolder(), (root_ / "work" / "cache").string());
    EXPECT_EQ(Parts().LastBuild().rendered, 7);
    EXPECT_EQ(Parts().LastBuild().reused, 0);
    EXPECT_TRUE(Parts().CacheDirty());
    Close();
    for (const char* file : {LARGE_CACHE_FILE, SMALL_CACHE_FILE, LIBDATA_CACHE_FILE}) {
        EXPECT_TRUE(fs::exists(root_ / "work" / "cache" / file)) << file;
    }
    const std::string large = Read("work/cache/largeimage.cache");

    // Unchanged: nothing is drawn and nothing is written.
    Start();
    EXPECT_EQ(Parts().LastBuild().rendered, 0);
    EXPECT_EQ(Parts().LastBuild().reused, 7);
    EXPECT_FALSE(Parts().CacheDirty());
    EXPECT_FALSE(Parts().CacheValid());  // taken by the build
    EXPECT_EQ(Parts().ItemCount(), 4);
    Close();
    EXPECT_EQ(Read("work/cache/largeimage.cache"), large);

    // One library saved again: everything is drawn and written anew.
    Touch("work/b.lib");
    Start();
    EXPECT_EQ(Parts().LastBuild().rendered, 7);
    EXPECT_EQ(Parts().LastBuild().reused, 0);
    EXPECT_TRUE(Parts().CacheDirty());
    Close();
    EXPECT_NE(Read("work/cache/largeimage.cache"), large);
    Start();
    EXPECT_EQ(Parts().LastBuild().reused, 7);
    Close();

    // Started elsewhere (from the desktop menu, say): the user's cache folder of this INI,
    // made only at the save; ./cache there is left alone.
    fs::create_directories(root_ / "other");
    fs::current_path(root_ / "other");
    Start();
    const fs::path own = root_ / "user-cache" / "qurix" / ConfigPathDigest(app_->ProfilePath());
    EXPECT_EQ(Parts().CacheFolder(), own.string());
    EXPECT_EQ(Parts().LastBuild().rendered, 7);
    EXPECT_FALSE(fs::exists(own));
    Close();
    EXPECT_TRUE(fs::exists(own / LARGE_CACHE_FILE));
    EXPECT_FALSE(fs::exists(root_ / "other" / "cache"));
    // An existing ./cache is used wherever the palette starts.
    fs::create_directories(root_ / "other" / "cache");
    Start();
    EXPECT_EQ(Parts().CacheFolder(), (root_ / "other" / "cache").string());
    Close();
}

// A start shows the list of the last close before it loads anything, then the loaded
// list: the same names in the same order with the same images.
TEST_F(PartsViewTest, AStartShowsTheLastListBeforeItLoads) {
    WriteLibraries({4, 3}, "[qurix]\nplib_last=1\n");
    const auto shown = [this] {
        std::vector<std::pair<QString, QImage>> items;
        for (int row = 0; row < Parts().ItemCount(); ++row) {
            const QModelIndex index = Parts().model()->index(row, 0);
            const auto icon = Parts().model()->data(index, Qt::DecorationRole).value<QIcon>();
            items.emplace_back(Parts().ItemText(row), icon.pixmap(LARGE_THUMB_SIZE).toImage());
        }
        return items;
    };
    const auto startEarly = [this] {
        app_ = std::make_unique<CQurixApp>();
        app_->AllowEarlyList();
        return app_->InitInstance(Where());
    };
    Start();
    const auto loaded = shown();
    ASSERT_EQ(loaded.size(), 3u);
    Close();

    ASSERT_TRUE(startEarly());
    EXPECT_FALSE(Doc().IsLoaded());
    EXPECT_TRUE(Parts().ShowingEarlyList());
    EXPECT_EQ(shown(), loaded);
    // Nothing to choose or drag before the load.
    EXPECT_EQ(Parts().model()->flags(Parts().model()->index(0, 0)), Qt::ItemIsEnabled);
    for (int i = 0; i < 500 && !Frame().StartFinished(); ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_TRUE(Frame().StartFinished());
    EXPECT_FALSE(Parts().ShowingEarlyList());
    EXPECT_EQ(Parts().ShownLibrary(), Lib(1));
    EXPECT_EQ(shown(), loaded);
    Close();

    // A library saved since: nothing is shown before the load, which happens at once.
    Touch("work/a.lib");
    ASSERT_TRUE(startEarly());
    EXPECT_TRUE(Doc().IsLoaded());
    EXPECT_FALSE(Parts().ShowingEarlyList());
    EXPECT_EQ(shown(), loaded);
    Close();
}

TEST_F(PartsViewTest, ReloadDrawsOnlyTheLibrariesThatChanged) {
    WriteLibraries({3, 2});
    Start();
    Close();
    Start();
    ASSERT_EQ(Parts().LastBuild().reused, 5);
    ASSERT_FALSE(Parts().CacheDirty());
    const std::string large = Read("work/cache/largeimage.cache");
    // Where the packed images are: a kept image shares its bytes, a drawn one has new ones.
    const auto keys = [&] {
        std::vector<const void*> k;
        const CPackedImages& large = Parts().Images().large;
        for (size_t i = 0; i < large.Count(); ++i) k.push_back(large.Where(i));
        return k;
    };
    const std::vector<const void*> before = keys();

    // Nothing changed: every image kept.
    Frame().Action(ID_FILE_RELOAD)->trigger();
    EXPECT_EQ(Parts().LastBuild().rendered, 0);
    EXPECT_EQ(keys(), before);
    // b.lib saved again: only its two parts drawn; a.lib's images are the same objects.
    Touch("work/b.lib");
    Frame().Action(ID_FILE_RELOAD)->trigger();
    EXPECT_EQ(Parts().LastBuild().rendered, 2);
    EXPECT_EQ(Parts().LastBuild().reused, 3);
    const std::vector<const void*> after = keys();
    ASSERT_EQ(after.size(), 5u);
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(after[i] == before[i], i < 3) << i;
    // Another colour in the INI: everything drawn.
    Write("work/KIVOX.INI", Read("work/KIVOX.INI") + "[DefaultColor]\nBG=0\n");
    Frame().Action(ID_FILE_RELOAD)->trigger();
    EXPECT_EQ(Parts().LastBuild().rendered, 5);
    EXPECT_EQ(Parts().LastBuild().reused, 0);
    EXPECT_TRUE(Parts().CacheDirty());
    EXPECT_EQ(Parts().ItemCount(), 3);
    EXPECT_EQ(Parts().ItemEntry(0), Lib(0)->Entry(0));
    Close();
    // Written again (a new save, so new bytes), and valid.
    EXPECT_NE(Read("work/cache/largeimage.cache"), large);
    Start();
    EXPECT_EQ(Parts().LastBuild().reused, 5);
}

TEST_F(PartsViewTest, CachedImagesGoToTheirOwnEntries) {
    WriteLibraries({4});
    Start();
    std::vector<uint64_t> identities;
    for (int32_t e = 0; e < 4; ++e) {
        identities.push_back(ImageIdentity(Lib(0)->Path(), *Lib(0)->Entry(e)));
    }
    const uint64_t drawing = DrawingDigest(Doc().Settings(), QtCanvasMaker);
    Close();
    // A cache holding images for entries 0 and 2 only, each a plain colour.
    ThumbnailSet set;
    for (const int32_t entry : {0, 2}) {
        QImage large(64, 64, QImage::Format_ARGB32);
        QImage smallImage(32, 32, QImage::Format_ARGB32);
        large.fill(qRgb(entry * 50, 10, 20));
        smallImage.fill(qRgb(entry * 50, 10, 20));
        set.large.Append(ToArgbImage(large));
        set.smallImage.Append(ToArgbImage(smallImage));
        set.entries.push_back(entry);
        set.identities.push_back(identities[static_cast<size_t>(entry)]);
    }
    const CProfile profile((root_ / "work" / "KIVOX.INI").string());
    ASSERT_TRUE(SaveImageCache((root_ / "work" / "cache").string(),
                               MakeLibraryLines(profile, (root_ / "work").string() + "/"), drawing,
                               set));
    Start();
    EXPECT_EQ(Parts().LastBuild().reused, 2);
    EXPECT_EQ(Parts().LastBuild().rendered, 2);
    ASSERT_EQ(Parts().ItemCount(), 4);
    const auto colourOf = [&](int row) {
        return ToQImage(Parts().Images().large.Image(Parts().ItemImage(row))).pixel(5, 5);
    };
    EXPECT_EQ(colourOf(0), qRgb(0, 10, 20));
    EXPECT_EQ(colourOf(2), qRgb(100, 10, 20));
    EXPECT_NE(colourOf(1), qRgb(100, 10, 20));
    // Drawing the missing ones completes the cache at exit.
    EXPECT_TRUE(Parts().CacheDirty());
    Close();
    Start();
    EXPECT_EQ(Parts().LastBuild().reused, 4);
    EXPECT_EQ(Parts().Images().entries, (std::vector<int32_t>{0, 1, 2, 3}));
}

// A library that stops loading while its file time stays the same: the cache's lines
// still match, but the later library's parts move onto the failed one's positions.
TEST_F(PartsViewTest, ALibraryThatNoLongerLoadsLendsNoImages) {
    WriteLibraries({0, 4});
    std::string big = "+KIVOX_LIB_V.1.0\n";
    for (int i = 0; i < 4; ++i)
        big += "+COMP,N:P" + std::to_string(i) + "\nX:6,Y:5,B:1\nR:R\n-COMP\n";
    big += "-KIVOX_LIB_V.1.0\n";
    Write("work/a.lib", big);
    const fs::path a = root_ / "work" / "a.lib";
    const auto time = fs::last_write_time(a);
    const auto images = [&] {
        std::vector<QImage> out;
        for (int32_t e = 0; e < Lib(1)->EntryCount(); ++e) {
            out.push_back(
                ToQImage(Parts().Images().large.Image(Parts().ImageIndex(Lib(1)->Entry(e)))));
        }
        return out;
    };
    Start();
    const std::vector<QImage> own = images();
    Close();

    Write("work/a.lib", "damaged");
    fs::last_write_time(a, time);
    Start();
    ASSERT_EQ(Lib(1), nullptr);
    for (int32_t e = 0; e < 4; ++e) {
        const QImage shown =
            ToQImage(Parts().Images().large.Image(Parts().ImageIndex(Lib(0)->Entry(e))));
        EXPECT_EQ(shown, own[static_cast<size_t>(e)]) << e;
    }
    Close();

    // Readable again: the images saved meanwhile belong to b.lib's parts only.
    Write("work/a.lib", big);
    fs::last_write_time(a, time);
    Start();
    EXPECT_EQ(images(), own);
}

TEST_F(PartsViewTest, OtherColoursOrFontsDrawEveryImageAgain) {
    const struct {
        const char* what;
        const char* ini;
    } cases[] = {
        {"background and component colours", "[DefaultColor]\nBG=0\nComponent=65280\n"},
        {"label font", "[LabelFont]\nHeight=14\n"},
        {"component name font", "[CompNameFont]\nFaceName=Other\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root_ / "work" / "cache");
        WriteLibraries({3});
        Start();
        Close();
        Start();
        ASSERT_EQ(Parts().LastBuild().reused, 3);
        Close();
        Write("work/KIVOX.INI", Read("work/KIVOX.INI") + c.ini);
        Start();
        EXPECT_EQ(Parts().LastBuild().reused, 0);
        EXPECT_EQ(Parts().LastBuild().rendered, 3);
        Close();
    }
}

TEST_F(PartsViewTest, ClosingTheWindowDuringABuildEndsIt) {
    WriteLibraries({6});
    Start();
    Touch("work/a.lib");  // so that the reload draws again
    Parts().onBuildStep = [&](CProgressDlg&, int32_t done) {
        if (done == 2) Frame().close();
    };
    ASSERT_TRUE(Doc().Reload());
    EXPECT_TRUE(Parts().LastBuild().stopped);
    EXPECT_EQ(Parts().LastBuild().done, 2);
    QApplication::processEvents();
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_FALSE(Doc().IsLoaded());
}

TEST_F(PartsViewTest, AReloadDuringABuildIsRefused) {
    WriteLibraries({4});
    Start();
    Touch("work/a.lib");  // so that the reload draws again
    bool refused = false;
    bool enabled = true;
    Parts().onBuildStep = [&](CProgressDlg&, int32_t done) {
        if (done != 2) return;
        refused = !Doc().Reload();
        Frame().UpdateCommandStates();
        enabled = Frame().Action(ID_FILE_RELOAD)->isEnabled();
    };
    ASSERT_TRUE(Doc().Reload());
    EXPECT_TRUE(refused);
    EXPECT_FALSE(enabled);
    // The build walked the libraries to the end, and they are still loaded.
    EXPECT_FALSE(Parts().LastBuild().stopped);
    EXPECT_EQ(Parts().Images().Count(), 4u);
    ASSERT_NE(Lib(0), nullptr);
    EXPECT_EQ(Parts().ItemCount(), 4);
    EXPECT_EQ(Parts().ItemEntry(3), Lib(0)->Entry(3));
}

TEST_F(PartsViewTest, DragCarriesTheLibraryAndThePartWithTheItemImage) {
    WriteLibraries({3});
    Start();
    const QRect item = Parts().ItemRect(1);
    ASSERT_FALSE(item.isEmpty());
    const QPoint press = item.topLeft() + QPoint(20, 12);
    CPartsView::DragRequest request;
    ASSERT_TRUE(Parts().PrepareDrag(press, request));
    EXPECT_EQ(request.libraryPath, EditorPath(root_ / "work" / "a.lib"));
    EXPECT_EQ(request.partName, "A1");
    EXPECT_EQ(request.hotSpot, QPoint(20, 12));
    EXPECT_EQ(request.pixmap.deviceIndependentSize().toSize(), item.size());
    // The item's image is drawn: some pixels are opaque, the ground is not.
    const QImage image = request.pixmap.toImage();
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) == 255;
    }
    EXPECT_GT(opaque, 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);

    // Nothing under the pointer, or no current library: no drag.
    EXPECT_FALSE(Parts().PrepareDrag(QPoint(-5, -5), request));
    Doc().SetCurrentLibrary(nullptr);
    EXPECT_FALSE(Parts().PrepareDrag(press, request));
}

TEST_F(PartsViewTest, ALibraryPathTooLongForTheBlockRefusesTheDrag) {
    const std::string folder = "work/" + std::string(250, 'd');
    fs::create_directories(root_ / folder);
    Write(folder + "/x.lib", Library("X", 1));
    Write("work/KIVOX.INI", "[Library]\nLIB0=" + (root_ / folder / "x.lib").string() + "\n");
    Start();
    ASSERT_EQ(Parts().ItemCount(), 1);
    CPartsView::DragRequest request;
    EXPECT_FALSE(Parts().PrepareDrag(Parts().ItemRect(0).center(), request));
    EXPECT_TRUE(request.libraryPath.empty());
    DragItem(0);
    EXPECT_EQ(Frame().statusBar()->currentMessage(),
              QStringLiteral("ライブラリのパスが 260 バイト以上あるため、ドラッグできません"));
}

TEST_F(PartsViewTest, ARefusedDragSaysWhyInTheStatusBar) {
    const struct {
        const char* what;
        std::string name;
        bool noLibrary;
        QString says;
    } cases[] = {
        {"no current library", "R", true,
         QStringLiteral("ライブラリが選択されていないため、ドラッグできません")},
        {"name of 260 bytes", std::string(260, 'N'), false,
         QStringLiteral("部品名が 260 バイト以上あるため、ドラッグできません")},
        {"name of 259 bytes: dragged", std::string(259, 'N'), false, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write("work/a.lib", "+KIVOX_LIB_V.1.0\n+COMP,N:" + c.name + "\nX:2,Y:1,B:1\nR:R\n-COMP\n" +
                                "-KIVOX_LIB_V.1.0\n");
        Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\n");
        Start();
        ASSERT_EQ(Parts().ItemCount(), 1);
        if (c.noLibrary) Doc().SetCurrentLibrary(nullptr);
        CPartsView::DragRequest request;
        const bool allowed = Parts().PrepareDrag(Parts().ItemRect(0).center(), request);
        EXPECT_EQ(allowed, c.says.isEmpty());
        EXPECT_EQ(request.refusal, c.says);
        if (!allowed) {
            DragItem(0);
            EXPECT_EQ(Frame().statusBar()->currentMessage(), c.says);
        }
        Close();
    }
}

// Small icons: two long names that differ only at the end must not be cut alike, and
// the tool tip holds the whole name.
TEST_F(PartsViewTest, SmallIconCellsHoldTheLongestName) {
    const std::string a = "C_POL_IE_0001_RADIAL_A";
    const std::string b = "C_POL_IE_0001_RADIAL_B";
    Write("work/a.lib", "+KIVOX_LIB_V.1.0\n+COMP,N:" + a + "\nX:2,Y:1,B:1\nR:C\n-COMP\n+COMP,N:" +
                            b + "\nX:2,Y:1,B:1\nR:C\n-COMP\n-KIVOX_LIB_V.1.0\n");
    Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\n[qurix]\nparts_style=2\n");
    Start();
    ASSERT_EQ(Parts().DisplayMode(), CPartsView::MODE_SMALL);
    ASSERT_EQ(Parts().ItemCount(), 2);
    const int textWidth = Parts().fontMetrics().horizontalAdvance(QString::fromStdString(a));
    EXPECT_GE(Parts().ItemRect(0).width(), SMALL_THUMB_SIZE + textWidth);
    const QModelIndex second = Parts().model()->index(1, 0);
    EXPECT_EQ(Parts().model()->data(second, Qt::ToolTipRole).toString().section('\n', 0, 0),
              QString::fromStdString(b));
}

}  // namespace
}  // namespace qurix
