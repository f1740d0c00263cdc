#include "ui/win32/WinApi.h"

#include "ui/win32/StatusBar.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/Dpi.h"
#include "ui/win32/WinText.h"
#include "ui/win32/Window.h"

namespace qurix::win32 {

namespace {

// Room around a field's text (the part's borders and a gap), at 96 DPI.
constexpr int FIELD_PADDING = 16;

}  // namespace

CStatusBar::CStatusBar(HWND parent)
    : bar_(CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                           WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBARS_TOOLTIPS, 0, 0, 0, 0,
                           parent, nullptr, GetModuleHandleW(nullptr), nullptr)) {
    Relayout();
}

int CStatusBar::TextWidth(const std::wstring& text) const {
    if (text.empty()) return 0;
    HDC dc = GetDC(bar_);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(bar_, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(bar_, dc);
    return extent.cx;
}

void CStatusBar::SetText(Part part, const std::wstring& text) {
    texts_[part] = text;
    SendMessageW(bar_, SB_SETTEXTW, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(texts_[part].c_str()));
}

void CStatusBar::Relayout() {
    RECT client{};
    GetClientRect(bar_, &client);
    const UINT dpi = WindowDpi(bar_);
    const int padding = ScaleToDpi(FIELD_PADDING, dpi);
    // The fields from the right edge (the last one runs under the size grip).
    int rights[PART_COUNT] = {};
    rights[PART_ZOOM] = -1;
    int left = client.right - GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) -
               TextWidth(texts_[PART_ZOOM]) - padding;
    for (int part = PART_PROBLEMS; part >= PART_MESSAGE; --part) {
        rights[part] = std::max(0, left);
        if (part > PART_MESSAGE) {
            const std::wstring& text = texts_[part];
            // A field with nothing to say takes no room.
            left -= text.empty() ? 0 : TextWidth(text) + padding;
        }
    }
    SendMessageW(bar_, SB_SETPARTS, PART_COUNT, reinterpret_cast<LPARAM>(rights));
    for (int part = 0; part < PART_COUNT; ++part) SetText(static_cast<Part>(part), texts_[part]);
    const std::wstring& message = texts_[PART_MESSAGE];
    tip_ = TextWidth(message) + padding > rights[PART_MESSAGE] ? message : std::wstring();
    SendMessageW(bar_, SB_SETTIPTEXTW, PART_MESSAGE, reinterpret_cast<LPARAM>(tip_.c_str()));
}

void CStatusBar::ShowMessage(const std::string& utf8) {
    texts_[PART_MESSAGE] = Widen(utf8);
    Relayout();
}

void CStatusBar::SetFields(const StatusFields& fields) {
    texts_[PART_PARTS] = Widen(fields.parts);
    texts_[PART_PROBLEMS] = Widen(fields.problems);
    texts_[PART_ZOOM] = Widen(fields.zoom);
    Relayout();
}

std::wstring CStatusBar::Text(Part part) const {
    // As the control has it.
    const LRESULT length = SendMessageW(bar_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
    std::wstring text(static_cast<size_t>(LOWORD(length)) + 1, L'\0');
    SendMessageW(bar_, SB_GETTEXTW, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(LOWORD(length)));
    return text;
}

}  // namespace qurix::win32
