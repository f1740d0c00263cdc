// The drag's data object, the pane layout, the host's posted tasks and the folder watch of
// the Win32 front end. Runs under Wine; windows are message-only, so no display is needed.
#include "ui/win32/WinApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "palette/DragBlock.h"
#include "ui/win32/DragSource.h"
#include "ui/win32/PaneLayout.h"
#include "ui/win32/ProgressWindow.h"
#include "ui/win32/UiHost.h"
#include "ui/win32/Watcher.h"

namespace qurix::win32 {
namespace {

FORMATETC Format(CLIPFORMAT format, DWORD tymed = TYMED_HGLOBAL) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed};
}

TEST(PartsDataObjectTest, OffersTheBlockAsGlobalMemoryOnly) {
    std::string block;
    ASSERT_TRUE(MakeDragBlock("Z:\\lib\\passive.lib", "R", block));
    CPartsDataObject data(block);
    FORMATETC ours = Format(PartsInfoFormat());
    FORMATETC text = Format(CF_TEXT);
    FORMATETC stream = Format(PartsInfoFormat(), TYMED_ISTREAM);
    EXPECT_EQ(data.QueryGetData(&ours), S_OK);
    EXPECT_EQ(data.QueryGetData(&text), DV_E_FORMATETC);
    EXPECT_EQ(data.QueryGetData(&stream), DV_E_FORMATETC);

    STGMEDIUM medium{};
    ASSERT_EQ(data.GetData(&ours, &medium), S_OK);
    ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    ASSERT_GE(GlobalSize(medium.hGlobal), DRAG_BLOCK_SIZE);
    const std::string got(static_cast<const char*>(GlobalLock(medium.hGlobal)), DRAG_BLOCK_SIZE);
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    EXPECT_EQ(got, block);

    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(data.EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC seen[4];
    ULONG count = 0;
    formats->Next(4, seen, &count);
    formats->Release();
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(seen[0].cfFormat, PartsInfoFormat());
    EXPECT_EQ(seen[0].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
}

TEST(PartsDataObjectTest, KeepsWhatTheDragImageHelperStores) {
    const std::string block(DRAG_BLOCK_SIZE, 'x');
    CPartsDataObject data(block);
    const CLIPFORMAT helper = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"QurixTestImage"));
    FORMATETC f = Format(helper);
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(medium.hGlobal), "abc", 3);
    GlobalUnlock(medium.hGlobal);
    ASSERT_EQ(data.SetData(&f, &medium, TRUE), S_OK);
    STGMEDIUM back{};
    ASSERT_EQ(data.GetData(&f, &back), S_OK);
    EXPECT_EQ(std::memcmp(GlobalLock(back.hGlobal), "abc", 3), 0);
    GlobalUnlock(back.hGlobal);
    ReleaseStgMedium(&back);
}

TEST(PaneLayoutTest, PanesFollowTheKeptSizesWithinTheWindow) {
    WindowLayout defaults;
    WindowLayout wide;
    wide.plvWidth = 5000;
    // At 96 DPI; at 192 every size doubles.
    const struct {
        int32_t width, top, bottom;
        WindowLayout layout;
        Rect library, preview, note, search, parts;
    } cases[] = {
        // 160 / 200 / 200: the preview gives way to the note's least height.
        {600, 40, 440, defaults, Rect::Make(0, 40, 160, 240), Rect::Make(0, 244, 160, 412),
         Rect::Make(0, 416, 160, 440), Rect::Make(164, 40, 600, 64), Rect::Make(164, 66, 600, 440)},
        // A column wider than the window leaves the parts list its least width.
        {600, 0, 1000, wide, Rect::Make(0, 0, 572, 200), Rect::Make(0, 204, 572, 404),
         Rect::Make(0, 408, 572, 1000), Rect::Make(576, 0, 600, 24),
         Rect::Make(576, 26, 600, 1000)},
        // No room: every pane keeps its least size, none is turned inside out.
        {40, 0, 30, defaults, Rect::Make(0, 0, 24, 24), Rect::Make(0, 28, 24, 52),
         Rect::Make(0, 56, 24, 56), Rect::Make(28, 0, 40, 24), Rect::Make(28, 26, 40, 30)},
    };
    for (const auto& c : cases) {
        for (const int32_t k : {1, 2}) {
            const uint32_t dpi = 96 * static_cast<uint32_t>(k);
            const PaneRects r = ComputePanes(c.width * k, c.top * k, c.bottom * k, c.layout, dpi);
            const Rect got[] = {r.library, r.preview, r.note, r.search, r.parts};
            const Rect want[] = {c.library, c.preview, c.note, c.search, c.parts};
            for (size_t i = 0; i < std::size(got); ++i) {
                const Rect& w = want[i];
                EXPECT_EQ(got[i], Rect::Make(w.left * k, w.top * k, w.right * k, w.bottom * k))
                    << "pane " << i << " of " << c.width << "x" << c.bottom << " at " << dpi;
            }
        }
    }
}

TEST(PaneLayoutTest, SplitterBarsLieBetweenThePanes) {
    const PaneRects r = ComputePanes(600, 40, 440, WindowLayout{}, 96);
    const struct {
        Point p;
        int bar;
    } cases[] = {{{160, 100}, 0}, {{163, 430}, 0}, {{164, 100}, -1}, {{159, 100}, -1},
                 {{80, 240}, 1},  {{80, 243}, 1},  {{80, 244}, -1},  {{80, 412}, 2},
                 {{80, 415}, 2},  {{80, 416}, -1}, {{160, 30}, -1},  {{-1, 240}, -1}};
    for (const auto& c : cases) EXPECT_EQ(SplitterAt(r, c.p), c.bar) << c.p.x << "," << c.p.y;
}

// A message-only window that receives what the host and the watch post.
class CMessageWindow {
public:
    CMessageWindow() {
        hwnd_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~CMessageWindow() { DestroyWindow(hwnd_); }
    HWND Hwnd() const { return hwnd_; }
    // Waits up to ms for message to arrive for the window; true when it did.
    bool Wait(UINT message, DWORD ms) const {
        const DWORD end = GetTickCount() + ms;
        MSG msg;
        for (;;) {
            if (PeekMessageW(&msg, hwnd_, message, message, PM_REMOVE)) return true;
            const DWORD now = GetTickCount();
            if (static_cast<int32_t>(end - now) <= 0) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_POSTMESSAGE);
        }
    }

private:
    HWND hwnd_;
};

TEST(UiHostTest, TasksFromAnyThreadRunInOrderOnOneMessage) {
    CMessageWindow window;
    ASSERT_NE(window.Hwnd(), nullptr);
    CWin32UiHost host(window.Hwnd(), {});
    std::vector<int> ran;
    host.Post([&] { ran.push_back(1); });
    std::thread worker([&] { host.Post([&] { ran.push_back(2); }); });
    worker.join();
    host.Post([&] { ran.push_back(3); });
    ASSERT_TRUE(window.Wait(WM_APP_TASKS, 1000));
    // One announcement for the whole queue.
    EXPECT_FALSE(window.Wait(WM_APP_TASKS, 50));
    host.RunTasks();
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    host.RunTasks();
    EXPECT_EQ(ran.size(), 3u);
}

TEST(FolderWatchTest, AWriteInAWatchedFolderIsPosted) {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring folder =
        std::wstring(temp) + L"qurix-watch-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    CMessageWindow window;
    {
        CFolderWatch watch;
        watch.SetWindow(window.Hwnd());
        char narrow[MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
        watch.Watch({narrow});
        EXPECT_FALSE(window.Wait(WM_APP_FOLDER_EVENT, 100));
        const std::wstring file = folder + L"\\KIVOX.INI";
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, "[qurix]\r\n", 9, &written, nullptr);
        CloseHandle(h);
        EXPECT_TRUE(window.Wait(WM_APP_FOLDER_EVENT, 3000));
        DeleteFileW(file.c_str());
        // Stopped with the watch: the thread ends and lets go of the folder.
    }
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

// The count line of the progress window (its second static control).
std::wstring CountText(HWND progress) {
    HWND message = FindWindowExW(progress, nullptr, L"STATIC", nullptr);
    HWND count = FindWindowExW(progress, message, L"STATIC", nullptr);
    wchar_t text[64] = {};
    GetWindowTextW(count, text, 64);
    return text;
}

TEST(ProgressWindowTest, CountsCancelsAndGivesTheOwnerBack) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    // Wine makes top-level windows only with a display.
    if (owner == nullptr) GTEST_SKIP() << "no display for a top-level window";
    {
        CProgressWindow progress(owner);
        progress.Begin(40);
        ASSERT_NE(progress.Hwnd(), nullptr);
        // Modal: the owner takes no input meanwhile.
        EXPECT_FALSE(IsWindowEnabled(owner));
        progress.SetPos(7);
        EXPECT_EQ(CountText(progress.Hwnd()), L"7 / 40");
        EXPECT_TRUE(progress.Pump());
        EXPECT_FALSE(progress.CancelRequested());
        // キャンセル, as a click on it sends it.
        PostMessageW(progress.Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_FALSE(progress.Pump());
        EXPECT_TRUE(progress.CancelRequested());
        progress.End(true);
        EXPECT_EQ(progress.Hwnd(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    DestroyWindow(owner);
}

}  // namespace
}  // namespace qurix::win32
