// The window parts that tell the user where they are: the title, the first-start page and
// the switch to a chosen KIVOX.INI, the status bar's permanent fields through a load, a
// search, the zoom keys and a current library that breaks and comes back. Needs a display
// (Xvfb); skipped without one.
#include "ui/win32/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "core/library/LibEntry.h"
#include "palette/CommandIds.h"
#include "palette/ConfigLocation.h"
#include "palette/LibraryList.h"
#include "palette/QurixDoc.h"
#include "tests/ScratchFolder.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/PaletteApp.h"
#include "ui/win32/Panes.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {
namespace {

std::wstring Text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Runs what is posted (the search index is made on a worker) until done says so.
void PumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

// Shown once its parent is (the window stays hidden in the first test).
bool Shown(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// Closes as the user would; the quit that the window posts would stop the next test's
// thumbnail build, which runs a message loop of its own.
void CloseAndForget(HWND window) {
    SendMessageW(window, WM_CLOSE, 0, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

bool Contains(const std::wstring& text, const char* utf8) {
    return text.find(Widen(utf8)) != std::wstring::npos;
}

TEST(PaletteWindowTest, FirstStartPageThenTheChosenFile) {
    test::ScratchFolder scratch;
    const std::string program = scratch.Path() + "\\program";
    const std::string work = scratch.Path() + "\\work";
    const std::string user = scratch.Path() + "\\user";
    const std::string samples = scratch.Path() + "\\samples";
    for (const std::string& f : {program, work, user}) std::filesystem::create_directory(f);
    std::filesystem::copy(std::string(QURIX_SOURCE_DIR) + "/examples", samples);
    ConfigLocationInputs where = FolderConfigLocationInputs(program + "\\qurix.exe", work);
    where.perUserFolder = user;

    CPaletteApp app;
    if (!app.InitInstance(where, SW_HIDE)) GTEST_SKIP() << "no display for a top-level window";
    ASSERT_TRUE(app.FirstStart());
    EXPECT_EQ(Text(app.Frame()->Hwnd()), L"Qurix");
    const CFirstStartPage* page = app.Frame()->FirstStartPage();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(Shown(page->Hwnd()));
    EXPECT_EQ(Text(page->OpenButton()), Widen("KIVOX.INI を開く…"));
    // Where it looked: the working folder's file first.
    const std::wstring places = Text(GetDlgItem(page->Hwnd(), ID_FIRST_START_PLACES));
    EXPECT_NE(places.find(FromCodePage(work, CP_ACP)), std::wstring::npos) << Narrow(places);
    EXPECT_NE(places.find(L"KIVOX.INI"), std::wstring::npos);
    EXPECT_FALSE(Shown(GetDlgItem(app.Frame()->Hwnd(), ID_PARTS_LIST)));

    // Where the user put the window, the window on the chosen file (which keeps no place
    // of its own) stays.
    SetWindowPos(app.Frame()->Hwnd(), nullptr, 30, 40, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
    const WindowLayout before = app.Frame()->CurrentLayout();
    const std::string chosen = samples + "\\KIVOX.INI";
    app.OpenConfigFile(chosen);
    ASSERT_TRUE(app.SwitchIfAsked());
    EXPECT_FALSE(app.FirstStart());
    EXPECT_EQ(Text(app.Frame()->Hwnd()), L"Qurix - " + FromCodePage(chosen, CP_ACP));
    EXPECT_EQ(app.Frame()->FirstStartPage(), nullptr);
    const WindowLayout after = app.Frame()->CurrentLayout();
    EXPECT_EQ(after.winWidth, before.winWidth);
    EXPECT_EQ(after.winHeight, before.winHeight);
    EXPECT_EQ(after.winX, before.winX);
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(app.Frame()->Hwnd(), ID_LIBRARY_LIST)),
              LibraryListRow(6));
    // Remembered in the palette's own file; nothing written where the rule looked in vain.
    EXPECT_EQ(RememberedConfigFile(PaletteDataFolder(user)), chosen);
    EXPECT_FALSE(std::filesystem::exists(work + "\\KIVOX.INI"));
    EXPECT_FALSE(std::filesystem::exists(program + "\\KIVOX.INI"));
    CloseAndForget(app.Frame()->Hwnd());
}

TEST(PaletteWindowTest, StatusFieldsAndTheBrokenCurrentLibrary) {
    test::ScratchFolder scratch;
    std::filesystem::copy(std::string(QURIX_SOURCE_DIR) + "/examples", scratch.Path());
    const std::string logic = scratch.Read("logic.lib");
    ConfigLocationInputs where =
        FolderConfigLocationInputs(scratch.Path() + "\\bin\\qurix.exe", scratch.Path());
    CPaletteApp app;
    if (!app.InitInstance(where, SW_SHOWNOACTIVATE)) GTEST_SKIP() << "no display";
    CMainWindow& frame = *app.Frame();
    CQurixDoc& doc = *app.Document();
    const HWND libraries = GetDlgItem(frame.Hwnd(), ID_LIBRARY_LIST);
    const HWND parts = GetDlgItem(frame.Hwnd(), ID_PARTS_LIST);
    const HWND note = GetDlgItem(frame.Hwnd(), ID_NOTE);
    EXPECT_EQ(Text(frame.Hwnd()), L"Qurix - " + FromCodePage(app.Profile().Path(), CP_ACP));
    EXPECT_EQ(app.Profile().Path().rfind("KIVOX.INI"), app.Profile().Path().size() - 9);

    const struct Step {
        const char* what;
        std::function<void()> act;
        const char* parts;
        const char* problems;
        const char* zoom;
        std::function<void()> check = nullptr;
    } steps[] = {
        {"after the load: the first library's parts", [] {}, "24 個のパーツ", "", "倍率 1:1"},
        {"a library and part chosen",
         [&] {
             ListView_SetItemState(libraries, LibraryListRow(2), LVIS_SELECTED, LVIS_SELECTED);
             ListView_SetItemState(parts, 0, LVIS_SELECTED, LVIS_SELECTED);
         },
         "36 個のパーツ", "", "倍率 1:1"},
        {"Tab from the preview into the block selector, which keeps the keyboard",
         [&] {
             const HWND preview = FindWindowExW(frame.Hwnd(), nullptr, L"QurixPreview", nullptr);
             SetFocus(preview);
             SendMessageW(preview, WM_KEYDOWN, VK_TAB, 0);
             const HWND blocks = GetDlgItem(preview, ID_BLOCKS);
             SendMessageW(blocks, CB_SETCURSEL, 1, 0);
             SendMessageW(preview, WM_COMMAND, MAKEWPARAM(ID_BLOCKS, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(blocks));
             EXPECT_EQ(GetFocus(), blocks);
         },
         "36 個のパーツ", "", "倍率 1:1"},
        // The zoom commands are the window's: they need no focus in the preview.
        {"zoomed in", [&] { SendMessageW(frame.Hwnd(), WM_COMMAND, ID_VIEW_ZOOM_IN, 0); },
         "36 個のパーツ", "", "倍率 3:2"},
        {"zoomed in twice", [&] { SendMessageW(frame.Hwnd(), WM_COMMAND, ID_VIEW_ZOOM_IN, 0); },
         "36 個のパーツ", "", "倍率 2:1"},
        {"back to 1:1", [&] { SendMessageW(frame.Hwnd(), WM_COMMAND, ID_VIEW_ZOOM_RESET, 0); },
         "36 個のパーツ", "", "倍率 1:1"},
        {"a message leaves the fields alone",
         [&] { frame.ShowStatus("logic.lib を再読み込みしました"); }, "36 個のパーツ", "",
         "倍率 1:1"},
        {"a search counts its results",
         [&] {
             SetWindowTextW(GetDlgItem(frame.Hwnd(), ID_SEARCH_EDIT), L"74hc00");
             PumpUntil(
                 [&] { return Contains(frame.StatusBar().Text(CStatusBar::PART_PARTS), "件"); });
         },
         "6 件", "", "倍率 1:1"},
        {"a reload lists the query's results again",
         [&] {
             doc.Reload(true);
             PumpUntil(
                 [&] { return Contains(frame.StatusBar().Text(CStatusBar::PART_PARTS), "件"); });
         },
         "6 件", "", "倍率 1:1"},
        {"Enter in the field takes the first result",
         [&] { SendMessageW(GetDlgItem(frame.Hwnd(), ID_SEARCH_EDIT), WM_KEYDOWN, VK_RETURN, 0); },
         "6 件", "", "倍率 1:1",
         [&] {
             EXPECT_EQ(ListView_GetNextItem(parts, -1, LVNI_SELECTED), 0);
             EXPECT_EQ(GetFocus(), parts);
         }},
        {"the search emptied",
         [&] { SetWindowTextW(GetDlgItem(frame.Hwnd(), ID_SEARCH_EDIT), L""); }, "36 個のパーツ",
         "", "倍率 1:1"},
        // A stray end tag saved over the library on screen: it stays current as its
        // problem row, with nothing listed.
        {"the current library broken",
         [&] {
             scratch.Write("logic.lib", "+KIVOX_LIB_V.1.0\r\n-PIN\r\n");
             doc.Reload(true);
         },
         "0 個のパーツ", "読み込めないライブラリ: 1", "倍率 1:1",
         [&] {
             // The problem row (after the five that loaded) is selected; the note says why.
             EXPECT_EQ(ListView_GetNextItem(libraries, -1, LVNI_SELECTED), LibraryListRow(5));
             EXPECT_EQ(doc.CurrentEntry(), nullptr);
             EXPECT_TRUE(Contains(Text(note), "2 行目")) << Narrow(Text(note));
         }},
        {"fixed again",
         [&] {
             scratch.Write("logic.lib", logic);
             doc.Reload(true);
         },
         "36 個のパーツ", "", "倍率 1:1"},
    };
    for (const Step& step : steps) {
        step.act();
        CStatusBar& bar = frame.StatusBar();
        EXPECT_EQ(bar.Text(CStatusBar::PART_PARTS), Widen(step.parts)) << step.what;
        EXPECT_EQ(bar.Text(CStatusBar::PART_PROBLEMS), Widen(step.problems)) << step.what;
        EXPECT_EQ(bar.Text(CStatusBar::PART_ZOOM), Widen(step.zoom)) << step.what;
        if (step.check) step.check();
    }
    // Back with the part it had.
    EXPECT_EQ(ListView_GetNextItem(libraries, -1, LVNI_SELECTED), LibraryListRow(2));
    ASSERT_NE(doc.CurrentEntry(), nullptr);
    EXPECT_EQ(std::string(doc.CurrentEntry()->Name()), "74HC00");

    // A message too long for its part is whole in the tool tip; a short one needs none.
    frame.ShowStatus(std::string(300, 'x'));
    EXPECT_EQ(frame.StatusBar().MessageTip(), std::wstring(300, L'x'));
    frame.ShowStatus("ok");
    EXPECT_TRUE(frame.StatusBar().MessageTip().empty());
    CloseAndForget(frame.Hwnd());
}

}  // namespace
}  // namespace qurix::win32
