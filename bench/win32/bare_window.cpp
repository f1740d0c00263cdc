// The floor "qurix.exe --exit-when-shown" is measured against under Wine: a bare Win32
// program that shows one main window with an empty list view (with the palette's manifest:
// common controls 6, per-monitor DPI awareness), prints the same line at the list's first
// paint and closes.
#include "ui/win32/WinApi.h"

#include <commctrl.h>

#include <chrono>

#include "ui/win32/ShownProbe.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            MoveWindow(GetWindow(window, GW_CHILD), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command*/, int show) {
    const auto started = std::chrono::steady_clock::now();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"QurixBareWindow";
    if (RegisterClassExW(&wc) == 0) return 1;
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    HWND list =
        CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0,
                        0, 0, window, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG msg;
    bool reported = false;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (!reported && qurix::win32::IsPaintedOnScreen(list)) {
            reported = true;
            qurix::win32::PrintShownLine(stdout, started);
            DestroyWindow(window);
        }
    }
    return 0;
}
