// Libraries that failed to load, shown in the window; the files watched and reloaded.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QStatusBar>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "palette/CommandIds.h"
#include "palette/QurixDoc.h"
#include "tests/LibraryText.h"
#include "tests/ui_qt/PaletteTestBase.h"
#include "ui/qt/InfoView.h"
#include "ui/qt/LibraryWatcher.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/PartsView.h"
#include "ui/qt/PlibView.h"
#include "ui/qt/QurixApp.h"

namespace qurix {
namespace {

using test::LibraryText;
const std::string& BROKEN = test::BROKEN_LIBRARY;

class LibraryWatchTest : public PaletteTestBase {
protected:
    void Start() {
        app_ = std::make_unique<CQurixApp>();
        ASSERT_TRUE(app_->InitInstance(Where()));
        QApplication::processEvents();
    }
    CPlibView& Plib() const { return *Frame().LibraryList(); }
    QString RowText(int row, int role = Qt::DisplayRole) const {
        return Plib().LibraryIndex(row).data(role).toString();
    }
    QString Status() const { return Frame().statusBar()->currentMessage(); }
    int PartsOf(int library) const {
        const CPartLibrary* lib = Doc().Libraries().GetLibrary(library);
        return lib ? lib->EntryCount() : -1;
    }
    // Runs events until done says so; false after a generous bound (no timing is checked,
    // the bound only ends a test that would otherwise hang).
    static bool RunUntil(const std::function<bool()>& done, int boundMs = 10000) {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > boundMs) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
    static std::vector<std::string> ManyNames() {
        std::vector<std::string> many;
        for (int k = 0; k < 60; ++k) many.push_back(std::string("M") + std::to_string(k));
        return many;
    }
    // many.lib (60 parts) and logic.lib (2) under ini; the shown library scrolled to item
    // 30 in a small window, with item selected (-1: none). Returns the top item.
    int StartScrolled(const std::string& ini, int item = -1) {
        Write("work/many.lib", LibraryText(ManyNames()));
        Write("work/logic.lib", LibraryText({"L1", "L2"}));
        Write("work/KIVOX.INI", ini);
        Start();
        Frame().resize(300, 300);
        CPartsView& parts = *Frame().PartsList();
        parts.ScrollItemToTopLeft(30);
        if (item >= 0) parts.SelectItem(item);
        QApplication::processEvents();
        return parts.TopItem();
    }
    // As editors save: a new file beside the old, renamed over it.
    void SaveByRename(const std::string& rel, const std::string& bytes) {
        Write(rel + ".tmp", bytes);
        std::filesystem::rename(root_ / (rel + ".tmp"), root_ / rel);
    }
};

TEST_F(LibraryWatchTest, FailedLibrariesFollowTheLoadedOnesGreyedAndSelectable) {
    Write("work/a.lib", LibraryText({"A1"}));
    Write("work/bad.lib", BROKEN);
    Write("work/c.lib", LibraryText({"C1"}));
    Write("work/KIVOX.INI",
          "[Library]\nLIB0=a.lib\nLIB1=gone.lib\nLIB2=bad.lib\nLIB3=c.lib\n"
          "[qurix]\nplib_last=1\n");
    Start();
    // The loaded ones keep their indices: "plib_last" 1 is still c.lib.
    ASSERT_EQ(Plib().RowCount(), 4);
    EXPECT_EQ(Doc().CurrentLibrary(), Plib().RowLibrary(1));
    EXPECT_EQ(RowText(1), "c");
    struct Row {
        int row;
        const char* key;
        const char* file;
        const char* reason;  // the start of the tool tip's last line
    };
    const Row rows[] = {
        {2, "LIB1", "gone.lib", "ファイルがありません"},                    // missing
        {3, "LIB2", "bad.lib", "3 行目: 部品 X: 予期しない終了タグ -PIN"},  // broken, with its line
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.key);
        const QModelIndex index = Plib().LibraryIndex(r.row);
        EXPECT_EQ(Plib().RowLibrary(r.row), nullptr);
        ASSERT_NE(Plib().RowProblem(r.row), nullptr);
        EXPECT_EQ(index.flags() & (Qt::ItemIsEnabled | Qt::ItemIsSelectable),
                  Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        EXPECT_FALSE(index.data(Qt::DecorationRole).isNull());
        const QStringList tip = RowText(r.row, Qt::ToolTipRole).split('\n');
        ASSERT_EQ(tip.size(), 3);
        EXPECT_EQ(tip[0], r.key);
        EXPECT_EQ(tip[1].toStdString(), (root_ / "work" / r.file).string());
        EXPECT_TRUE(tip[2].startsWith(QString::fromUtf8(r.reason))) << tip[2].toStdString();
        // A click makes it current: no library, no parts, its reason in the note pane.
        const QPointF at = Plib().visualRect(index).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, Plib().viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Plib().viewport(), &press);
        EXPECT_EQ(Doc().CurrentLibrary(), nullptr);
        ASSERT_NE(Doc().CurrentProblem(), nullptr);
        EXPECT_EQ(Doc().CurrentProblem()->key, r.key);
        EXPECT_EQ(Plib().SelectedRow(), r.row);
        EXPECT_EQ(Frame().PartsList()->ItemCount(), 0);
        EXPECT_TRUE(Frame().Info()->toPlainText().endsWith(RowText(r.row, Qt::ToolTipRole)));
    }
    EXPECT_EQ(Status(), "2 個のライブラリを読み込めませんでした");
    Close();
    EXPECT_NE(Read("work/KIVOX.INI").find("plib_last=3"), std::string::npos);
}

TEST_F(LibraryWatchTest, ALibraryBrokenSinceTheLastLoadBecomesAProblemRowOnReload) {
    Write("work/a.lib", LibraryText({"A1"}));
    Write("work/b.lib", LibraryText({"B1"}));
    Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=b.lib\n");
    Start();
    ASSERT_EQ(Plib().RowCount(), 2);
    EXPECT_TRUE(Doc().Problems().empty());
    Write("work/a.lib", BROKEN);
    Frame().Action(ID_FILE_RELOAD)->trigger();
    ASSERT_EQ(Plib().RowCount(), 2);
    EXPECT_EQ(RowText(0), "b");
    // The current library stays selected as its problem row, not b.lib that moved up.
    EXPECT_EQ(Plib().SelectedRow(), 1);
    EXPECT_EQ(Doc().CurrentLibrary(), nullptr);
    ASSERT_NE(Plib().RowProblem(1), nullptr);
    EXPECT_EQ(Plib().RowProblem(1)->key, "LIB0");
    EXPECT_EQ(Plib().RowProblem(1)->line, 3);
    EXPECT_EQ(Status(), "1 個のライブラリを読み込めませんでした");
    // Fixed again: the problem row goes.
    Write("work/a.lib", LibraryText({"A1"}));
    Frame().Action(ID_FILE_RELOAD)->trigger();
    EXPECT_EQ(Plib().RowCount(), 2);
    EXPECT_EQ(Plib().RowProblem(1), nullptr);
    EXPECT_TRUE(Doc().Problems().empty());
    EXPECT_EQ(Plib().SelectedRow(), 0);
    EXPECT_EQ(Doc().CurrentLibrary(), Plib().RowLibrary(0));
}

TEST_F(LibraryWatchTest, ASaveByRenameReloadsAndKeepsTheLibraryAndPart) {
    Write("work/a.lib", LibraryText({"A1"}));
    Write("work/logic.lib", LibraryText({"L1", "L2", "L3"}));
    Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=logic.lib\n[qurix]\nplib_last=1\n");
    Start();
    CPartsView& parts = *Frame().PartsList();
    parts.SelectItem(1);
    ASSERT_EQ(Doc().CurrentEntry()->Name(), "L2");
    // Twice: the second save needs the watch armed again after the first rename.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::string> names{"L0", "L1", "L2", "L3"};
        for (int k = 1; k < round; ++k) names.push_back(std::string("X") + std::to_string(k));
        SaveByRename("work/logic.lib", LibraryText(names));
        ASSERT_TRUE(RunUntil([&] { return PartsOf(1) == static_cast<int>(names.size()); }));
        EXPECT_EQ(Status(), "logic.lib を再読み込みしました");
        EXPECT_EQ(Plib().SelectedRow(), 1);
        ASSERT_NE(Doc().CurrentEntry(), nullptr);
        EXPECT_EQ(Doc().CurrentEntry()->Name(), "L2");
    }
}

#ifndef _WIN32
// A library the editor under Wine names by a drive of its prefix is watched where the
// drive leads, and reloads when saved there.
TEST_F(LibraryWatchTest, ALibraryNamedByAWineDriveReloads) {
    std::filesystem::create_directories(root_ / "libs");
    Write("libs/logic.lib", LibraryText({"L1"}));
    std::filesystem::create_directories(root_ / "work/drive_c");
    std::filesystem::create_directories(root_ / "work/dosdevices");
    std::filesystem::create_directory_symlink(root_ / "libs", root_ / "work/dosdevices/d:");
    Write("work/KIVOX.INI", "[Library]\r\nLIB0=D:\\LOGIC.LIB\r\n");
    Start();
    ASSERT_EQ(PartsOf(0), 1);
    SaveByRename("libs/logic.lib", LibraryText({"L1", "L2"}));
    ASSERT_TRUE(RunUntil([&] { return PartsOf(0) == 2; }));
}
#endif

// A library folder deleted and made again is watched again: a save there reloads (the
// folder lies away from the INI's, so only the watch from above sees it come back).
TEST_F(LibraryWatchTest, AFolderDeletedAndMadeAgainIsWatchedAgain) {
    const std::filesystem::path parts = root_ / "shared" / "parts";
    std::filesystem::create_directories(parts);
    Write("shared/parts/a.lib", LibraryText({"A1"}));
    Write("work/KIVOX.INI", "[Library]\nLIB0=" + (parts / "a.lib").string() + "\n");
    Start();
    ASSERT_EQ(PartsOf(0), 1);
    std::filesystem::remove_all(parts);
    ASSERT_TRUE(RunUntil([&] { return Doc().Libraries().Count() == 0; }));
    std::filesystem::create_directories(parts);
    // The folder's return is seen and armed before the file comes.
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 1500) QApplication::processEvents(QEventLoop::AllEvents, 20);
    SaveByRename("shared/parts/a.lib", LibraryText({"A1", "A2"}));
    ASSERT_TRUE(RunUntil([&] { return PartsOf(0) == 2; }));
}

TEST_F(LibraryWatchTest, BrokenAndFixedInTheEditorRedrawsOnlyThatLibrary) {
    const int top = StartScrolled("[Library]\nLIB0=many.lib\nLIB1=logic.lib\n");
    ASSERT_GT(top, 0);
    CPartsView& parts = *Frame().PartsList();

    SaveByRename("work/logic.lib", BROKEN);
    ASSERT_TRUE(RunUntil([&] { return Doc().Problems().size() == 1u; }));
    EXPECT_EQ(Plib().RowProblem(1)->key, "LIB1");
    EXPECT_EQ(Plib().RowProblem(1)->line, 3);
    EXPECT_EQ(Status(), "logic.lib を再読み込みしました（1 個のライブラリを読み込めませんでした）");
    EXPECT_EQ(parts.LastBuild().rendered, 0);
    EXPECT_EQ(parts.TopItem(), top);  // the library shown stays where it was scrolled

    SaveByRename("work/logic.lib", LibraryText({"L1", "L2", "L3"}));
    ASSERT_TRUE(RunUntil([&] { return Doc().Problems().empty(); }));
    EXPECT_EQ(parts.LastBuild().rendered, 3);
    EXPECT_EQ(parts.LastBuild().reused, 60);
    EXPECT_EQ(parts.TopItem(), top);
}

TEST_F(LibraryWatchTest, TheLibraryOnScreenBrokenThenFixedComesBackWithItsPartAndScroll) {
    const int top =
        StartScrolled("[Library]\nLIB0=logic.lib\nLIB1=many.lib\n[qurix]\nplib_last=1\n", 40);
    ASSERT_GT(top, 0);
    CPartsView& parts = *Frame().PartsList();

    SaveByRename("work/many.lib", BROKEN);
    ASSERT_TRUE(RunUntil([&] { return Doc().Problems().size() == 1u; }));
    EXPECT_EQ(Plib().SelectedRow(), 1);  // its problem row, not logic.lib
    EXPECT_EQ(Doc().CurrentEntry(), nullptr);
    EXPECT_EQ(parts.ItemCount(), 0);
    EXPECT_TRUE(Frame().Info()->toPlainText().contains(QStringLiteral("3 行目")));

    SaveByRename("work/many.lib", LibraryText(ManyNames()));
    ASSERT_TRUE(RunUntil([&] { return Doc().Problems().empty(); }));
    EXPECT_EQ(Doc().CurrentLibrary(), Doc().Libraries().GetLibrary(1));
    ASSERT_NE(Doc().CurrentEntry(), nullptr);
    EXPECT_EQ(Doc().CurrentEntry()->Name(), std::string("M40"));
    EXPECT_EQ(parts.TopItem(), top);
}

TEST_F(LibraryWatchTest, AChangeDuringABuildWaitsForItsEnd) {
    Write("work/a.lib", LibraryText({"A1"}));
    Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\n");
    Start();
    Doc().BeginBusy();  // as a thumbnail build does
    Write("work/a.lib", LibraryText({"A1", "A2"}));
    // Held: still settling, the old library still loaded.
    ASSERT_TRUE(RunUntil([&] { return Frame().Watcher()->Settling(); }));
    RunUntil([] { return false; }, 3 * CLibraryWatcher::SETTLE_MS);
    EXPECT_TRUE(Frame().Watcher()->Settling());
    EXPECT_EQ(PartsOf(0), 1);
    Doc().EndBusy();
    EXPECT_TRUE(RunUntil([&] { return PartsOf(0) == 2; }));
}

TEST_F(LibraryWatchTest, AFileThatComesBackIsLoadedAgain) {
    Write("work/a.lib", LibraryText({"A1"}));
    Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\nLIB1=b.lib\n");
    Start();
    ASSERT_EQ(Doc().Problems().size(), 1u);
    Write("work/b.lib", LibraryText({"B1"}));
    ASSERT_TRUE(RunUntil([&] { return PartsOf(1) == 1; }));
    EXPECT_TRUE(Doc().Problems().empty());
    std::filesystem::remove(root_ / "work/a.lib");
    ASSERT_TRUE(RunUntil([&] { return Doc().Problems().size() == 1u; }));
    EXPECT_EQ(Doc().Problems()[0].key, "LIB0");
}

TEST_F(LibraryWatchTest, NothingLoadsAgainAfterTheWindowClosed) {
    Write("work/a.lib", LibraryText({"A1"}));
    Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\n");
    Start();
    Frame().close();  // writes KIVOX.INI: a change of its own
    Write("work/a.lib", LibraryText({"A1", "A2"}));
    ASSERT_TRUE(RunUntil([&] { return Frame().Watcher()->Settling(); }));
    ASSERT_TRUE(RunUntil([&] { return !Frame().Watcher()->Settling(); }));
    EXPECT_FALSE(Doc().IsLoaded());
}

TEST_F(LibraryWatchTest, TheSwitchPersistsAndStopsTheReloads) {
    Write("work/a.lib", LibraryText({"A1"}));
    Write("work/KIVOX.INI", "[Library]\nLIB0=a.lib\n");
    Start();
    QAction* autoReload = Frame().Action(ID_VIEW_AUTO_RELOAD);
    ASSERT_NE(autoReload, nullptr);
    EXPECT_TRUE(autoReload->isCheckable());
    EXPECT_TRUE(autoReload->isChecked());  // the default
    autoReload->trigger();
    EXPECT_NE(Read("work/KIVOX.INI").find("auto_reload=0"), std::string::npos);
    Write("work/a.lib", LibraryText({"A1", "A2"}));
    ASSERT_TRUE(RunUntil([&] { return Frame().Watcher()->Settling(); }));
    ASSERT_TRUE(RunUntil([&] { return !Frame().Watcher()->Settling(); }));
    EXPECT_EQ(PartsOf(0), 1);
    Close();
    Start();
    EXPECT_FALSE(Frame().Action(ID_VIEW_AUTO_RELOAD)->isChecked());
    Frame().Action(ID_VIEW_AUTO_RELOAD)->trigger();
    EXPECT_NE(Read("work/KIVOX.INI").find("auto_reload=1"), std::string::npos);
}

}  // namespace
}  // namespace qurix
