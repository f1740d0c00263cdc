#pragma once
#include "ui/win32/WinApi.h"

#include <commctrl.h>

#include <functional>
#include <string>

namespace qurix::win32 {

// Tool tips for the items of a list view from a tooltip control of its own, told the
// item under the pointer as it moves: the same on Windows and under Wine, whose list
// views give no info tips.
class CItemTips {
public:
    // text gives an item's tip (empty: none).
    CItemTips(HWND list, std::function<std::wstring(int item)> text);
    ~CItemTips();
    CItemTips(const CItemTips&) = delete;
    CItemTips& operator=(const CItemTips&) = delete;
    // Takes a shown tip away (a drag is starting).
    void Hide() const { SendMessageW(tip_, TTM_POP, 0, 0); }

private:
    static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    HWND list_;
    HWND tip_ = nullptr;
    std::function<std::wstring(int)> text_;
    std::wstring shown_;
    int item_ = -1;
};

}  // namespace qurix::win32
