#include "ui/win32/ItemTips.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "ui/win32/Dpi.h"

namespace qurix::win32 {

namespace {

constexpr UINT_PTR SUBCLASS_ID = 2;

TTTOOLINFOW ToolInfo(HWND list) {
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = list;
    ti.uId = 1;
    ti.rect = RECT{0, 0, 32767, 32767};
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    return ti;
}

}  // namespace

CItemTips::CItemTips(HWND list, std::function<std::wstring(int item)> text)
    : list_(list), text_(std::move(text)) {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, list, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
    if (tip_ == nullptr) return;
    TTTOOLINFOW ti = ToolInfo(list);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    // Several lines (a problem's key, path and reason).
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(480, GetDpiForWindow(list)));
    SetWindowSubclass(list, &CItemTips::ListProc, SUBCLASS_ID, reinterpret_cast<DWORD_PTR>(this));
}

CItemTips::~CItemTips() {
    RemoveWindowSubclass(list_, &CItemTips::ListProc, SUBCLASS_ID);
    if (tip_ != nullptr) DestroyWindow(tip_);
}

LRESULT CALLBACK CItemTips::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR /*id*/, DWORD_PTR data) {
    auto* self = reinterpret_cast<CItemTips*>(data);
    if (message == WM_MOUSEMOVE) {
        LVHITTESTINFO hit{};
        hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int item = ListView_HitTest(hwnd, &hit);
        if (item != self->item_) {
            // Another item: the tip goes and asks for its text again.
            self->item_ = item;
            SendMessageW(self->tip_, TTM_POP, 0, 0);
            TTTOOLINFOW ti = ToolInfo(hwnd);
            SendMessageW(self->tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
        }
    } else if (message == WM_MOUSELEAVE) {
        self->item_ = -1;
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == self->tip_ && header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            self->shown_ = self->item_ >= 0 ? self->text_(self->item_) : std::wstring();
            info->lpszText = self->shown_.data();
            return 0;
        }
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace qurix::win32
