// The start that shows the last close's parts list before any library is read: its items
// are inert until the load replaces them, and a close before the load writes nothing.
// Needs a display (Xvfb); skipped without one.
#include "ui/win32/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "palette/CacheLocation.h"
#include "palette/EarlyList.h"
#include "palette/QurixDoc.h"
#include "tests/ScratchFolder.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/PaletteApp.h"
#include "ui/win32/Panes.h"

namespace qurix::win32 {
namespace {

// Closes as the user would and drops the quit the window posts.
void Close(CPaletteApp& app) {
    SendMessageW(app.Frame()->Hwnd(), WM_CLOSE, 0, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void PumpUntilLoaded(const CPaletteApp& app) {
    for (int i = 0; i < 500 && !app.Document()->IsLoaded(); ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

std::wstring ItemText(HWND list, int row) {
    wchar_t text[256] = {};
    ListView_GetItemText(list, row, 0, text, 256);
    return text;
}

TEST(EarlyListWindowTest, ShownBeforeTheLoadInertAndReplaced) {
    test::ScratchFolder scratch;
    std::filesystem::copy(std::string(QURIX_SOURCE_DIR) + "/examples", scratch.Path());
    const ConfigLocationInputs where =
        FolderConfigLocationInputs(scratch.Path() + "\\bin\\qurix.exe", scratch.Path());

    std::string cache;
    {
        CPaletteApp first;
        if (!first.InitInstance(where, SW_SHOWNOACTIVATE)) GTEST_SKIP() << "no display";
        // Nothing kept yet: the start loads at once.
        ASSERT_TRUE(first.Document()->IsLoaded());
        cache = ChooseCacheFolder(RealCacheLocationInputs(first.Profile().Path()));
        Close(first);
    }
    const std::string early = cache + "\\" + EARLY_LIST_FILE;
    ASSERT_TRUE(std::filesystem::exists(early));
    const std::string ini = scratch.Read("KIVOX.INI");
    const auto earlyTime = std::filesystem::last_write_time(early);

    {
        CPaletteApp second;
        ASSERT_TRUE(second.InitInstance(where, SW_SHOWNOACTIVATE));
        EXPECT_FALSE(second.Document()->IsLoaded());
        const HWND parts = GetDlgItem(second.Frame()->Hwnd(), ID_PARTS_LIST);
        ASSERT_EQ(ListView_GetItemCount(parts), 24);
        EXPECT_EQ(ItemText(parts, 0), L"R");
        ListView_SetItemState(parts, 0, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(ListView_GetNextItem(parts, -1, LVNI_SELECTED), -1);
        // Closed before its load: neither the settings nor the cache change.
        Close(second);
        EXPECT_EQ(scratch.Read("KIVOX.INI"), ini);
        EXPECT_EQ(std::filesystem::last_write_time(early), earlyTime);
    }

    CPaletteApp third;
    ASSERT_TRUE(third.InitInstance(where, SW_SHOWNOACTIVATE));
    const HWND parts = GetDlgItem(third.Frame()->Hwnd(), ID_PARTS_LIST);
    PumpUntilLoaded(third);
    ASSERT_TRUE(third.Document()->IsLoaded());
    // The library's own items took the early ones' place, and they can be picked.
    ASSERT_EQ(ListView_GetItemCount(parts), 24);
    EXPECT_EQ(ItemText(parts, 0), L"R");
    ListView_SetItemState(parts, 0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(ListView_GetNextItem(parts, -1, LVNI_SELECTED), 0);
    EXPECT_NE(third.Document()->CurrentEntry(), nullptr);
    Close(third);
}

}  // namespace
}  // namespace qurix::win32
