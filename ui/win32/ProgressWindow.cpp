#include "ui/win32/WinApi.h"

#include "ui/win32/ProgressWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "palette/Texts.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {

namespace {

constexpr int ID_CANCEL_BUTTON = IDCANCEL;

}  // namespace

CProgressWindow::~CProgressWindow() {
    End(true);
}

void CProgressWindow::Begin(int32_t total) {
    total_ = std::max(total, 0);
    const UINT dpi = WindowDpi(owner_);
    const int width = ScaleToDpi(400, dpi);
    const int height = ScaleToDpi(150, dpi);
    // Centred on the owner, or on the screen while the owner is not shown yet.
    RECT around{};
    if (owner_ != nullptr && IsWindowVisible(owner_)) {
        GetWindowRect(owner_, &around);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    }
    const int x = (around.left + around.right - width) / 2;
    const int y = (around.top + around.bottom - height) / 2;
    if (!Create(L"QurixProgress", WS_EX_DLGMODALFRAME, Widen(texts::PROGRESS_TITLE).c_str(),
                WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y, width, height,
                owner_ != nullptr && IsWindowVisible(owner_) ? owner_ : nullptr, nullptr,
                GetSysColorBrush(COLOR_BTNFACE))) {
        return;
    }
    font_.reset(MessageFont(dpi));
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    message_ = CreateWindowExW(0, L"STATIC", Widen(texts::PROGRESS_MESSAGE).c_str(),
                               WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, Hwnd(), nullptr, inst, nullptr);
    count_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_RIGHT, 0, 0, 0, 0,
                             Hwnd(), nullptr, inst, nullptr);
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, Hwnd(),
                           nullptr, inst, nullptr);
    cancel_ = CreateWindowExW(
        0, L"BUTTON", Widen(texts::CANCEL).c_str(),
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, Hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_CANCEL_BUTTON)), inst, nullptr);
    for (HWND w : {message_, count_, cancel_})
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    // A 0 … 0 range would look like a busy bar.
    SendMessageW(bar_, PBM_SETRANGE32, 0, std::max(total_, 1));
    Layout();
    SetPos(0);
    if (owner_ != nullptr) ownerWasEnabled_ = !EnableWindow(owner_, FALSE);
    ShowWindow(Hwnd(), SW_SHOW);
    UpdateWindow(Hwnd());
}

void CProgressWindow::Layout() {
    RECT c{};
    GetClientRect(Hwnd(), &c);
    const UINT dpi = WindowDpi(Hwnd());
    const int m = ScaleToDpi(16, dpi);
    const int line = ScaleToDpi(20, dpi);
    const int countWidth = ScaleToDpi(110, dpi);
    const int w = c.right - 2 * m;
    MoveWindow(message_, m, m, w - countWidth, line, FALSE);
    MoveWindow(count_, m + w - countWidth, m, countWidth, line, FALSE);
    MoveWindow(bar_, m, m + line + ScaleToDpi(8, dpi), w, ScaleToDpi(18, dpi), FALSE);
    const int bw = ScaleToDpi(96, dpi);
    const int bh = ScaleToDpi(26, dpi);
    MoveWindow(cancel_, (c.right - bw) / 2, c.bottom - bh - ScaleToDpi(12, dpi), bw, bh, FALSE);
}

void CProgressWindow::SetPos(int32_t done) {
    if (Hwnd() == nullptr) return;
    SendMessageW(bar_, PBM_SETPOS, std::clamp(done, 0, std::max(total_, 1)), 0);
    const std::wstring text = std::to_wstring(done) + L" / " + std::to_wstring(total_);
    SetWindowTextW(count_, text.c_str());
}

bool CProgressWindow::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Handed on to the main loop once the build has ended.
            quit_ = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (Hwnd() != nullptr && IsDialogMessageW(Hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return !CancelRequested();
}

void CProgressWindow::End(bool /*stopped*/) {
    if (owner_ != nullptr && ownerWasEnabled_) {
        EnableWindow(owner_, TRUE);
        ownerWasEnabled_ = false;
    }
    if (Hwnd() != nullptr) DestroyWindow(Hwnd());
    font_.reset();
}

LRESULT CProgressWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_CANCEL_BUTTON) cancelled_ = true;
            return 0;
        case WM_CLOSE:
            cancelled_ = true;
            return 0;
        default:
            return CWindow::Handle(message, wParam, lParam);
    }
}

}  // namespace qurix::win32
