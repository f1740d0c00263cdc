#include "ui/win32/WinApi.h"

#include "ui/win32/Window.h"

namespace qurix::win32 {

CWindow::~CWindow() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool CWindow::Create(const wchar_t* className, DWORD exStyle, const wchar_t* title, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HBRUSH background, HCURSOR cursor) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWindow::Proc;
        wc.hInstance = instance;
        wc.hCursor = cursor != nullptr ? cursor : LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = background;
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        wc.lpszClassName = className;
        if (RegisterClassExW(&wc) == 0) return false;
    }
    hwnd_ = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu,
                            instance, this);
    return hwnd_ != nullptr;
}

LRESULT CWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        const LRESULT result = self->Handle(message, wParam, lParam);
        self->hwnd_ = nullptr;
        return result;
    }
    return self->Handle(message, wParam, lParam);
}

UINT WindowDpi(HWND hwnd) {
    const UINT dpi = hwnd != nullptr ? GetDpiForWindow(hwnd) : 0;
    return dpi != 0 ? dpi : 96;
}

}  // namespace qurix::win32
