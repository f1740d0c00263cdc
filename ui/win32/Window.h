#pragma once
#include "ui/win32/WinApi.h"

namespace qurix::win32 {

// A window of a class of our own whose messages go to a C++ object: the object lives
// longer than its window (it destroys the window in its destructor at the latest).
class CWindow {
public:
    CWindow() = default;
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    HWND Hwnd() const { return hwnd_; }

protected:
    // Registers className once per process, then creates the window.
    bool Create(const wchar_t* className, DWORD exStyle, const wchar_t* title, DWORD style, int x,
                int y, int width, int height, HWND parent, HMENU menu, HBRUSH background = nullptr,
                HCURSOR cursor = nullptr);
    virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// The window's DPI (96 before it has one).
UINT WindowDpi(HWND hwnd);

}  // namespace qurix::win32
