#include "ui/win32/WinApi.h"

#include "ui/win32/FirstStartPage.h"

#include <algorithm>

#include "palette/CommandIds.h"
#include "palette/Texts.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {

namespace {

// At 96 DPI.
constexpr int MARGIN = 16;
constexpr int GAP = 10;
constexpr int BUTTON_HEIGHT = 28;
constexpr int BUTTON_PADDING = 24;

}  // namespace

CFirstStartPage::CFirstStartPage(HWND parent, const std::vector<std::string>& looked)
    : title_(Widen(texts::FIRST_START_TITLE)) {
    Create(L"QurixFirstStart", 0, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, nullptr,
           GetSysColorBrush(COLOR_WINDOW));
    std::wstring body = Widen(texts::FIRST_START_LOOKED);
    for (const std::string& path : looked) body += L"\r\n    " + FromCodePage(path, CP_ACP);
    body += L"\r\n\r\n" + Widen(texts::FIRST_START_HINT);
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    places_ = CreateWindowExW(
        0, L"STATIC", body.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, Hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_FIRST_START_PLACES)), inst, nullptr);
    open_ = CreateWindowExW(0, L"BUTTON", Widen(texts::CMD_OPEN_CONFIG).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, Hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_FIRST_START_OPEN)),
                            inst, nullptr);
}

int CFirstStartPage::TitleHeight(HDC dc, int width) const {
    RECT r{0, 0, std::max(1, width), 0};
    const HGDIOBJ old =
        SelectObject(dc, bold_ != nullptr ? bold_.get() : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc, title_.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    return r.bottom;
}

void CFirstStartPage::Relayout() {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const UINT dpi = WindowDpi(Hwnd());
    const int margin = ScaleToDpi(MARGIN, dpi);
    const int gap = ScaleToDpi(GAP, dpi);
    const int width = std::max(1, static_cast<int>(client.right) - 2 * margin);
    HDC dc = GetDC(Hwnd());
    int y = margin + TitleHeight(dc, width) + gap;
    // The body's height as the static control will wrap it.
    const int length = GetWindowTextLengthW(places_);
    std::wstring body(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(places_, body.data(), length + 1);
    const HGDIOBJ old =
        SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    RECT text{0, 0, width, 0};
    DrawTextW(dc, body.c_str(), length, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    const std::wstring label = Widen(texts::CMD_OPEN_CONFIG);
    SIZE extent{};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(Hwnd(), dc);
    MoveWindow(places_, margin, y, width, text.bottom, TRUE);
    y += text.bottom + gap;
    MoveWindow(open_, margin, y, extent.cx + ScaleToDpi(BUTTON_PADDING, dpi),
               ScaleToDpi(BUTTON_HEIGHT, dpi), TRUE);
    // The static paints only what it gained: the old wrapping would stay.
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CFirstStartPage::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const int margin = ScaleToDpi(MARGIN, WindowDpi(Hwnd()));
    RECT r{margin, margin, client.right - margin, client.bottom};
    const HGDIOBJ old =
        SelectObject(dc, bold_ != nullptr ? bold_.get() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc, title_.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(Hwnd(), &ps);
}

LRESULT CFirstStartPage::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFONT: {
            // The window's message font, and the title a fifth larger in bold.
            font_ = reinterpret_cast<HFONT>(wParam);
            LOGFONTW lf{};
            if (font_ != nullptr && GetObjectW(font_, sizeof lf, &lf) == sizeof lf) {
                lf.lfWeight = FW_BOLD;
                lf.lfHeight = lf.lfHeight * 6 / 5;
                bold_.reset(CreateFontIndirectW(&lf));
            }
            SendMessageW(places_, WM_SETFONT, wParam, FALSE);
            SendMessageW(open_, WM_SETFONT, wParam, FALSE);
            Relayout();
            return 0;
        }
        case WM_SIZE:
            Relayout();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC:
            // The statics on the page's own background.
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        case WM_SETFOCUS:
            SetFocus(open_);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_FIRST_START_OPEN && HIWORD(wParam) == BN_CLICKED) {
                PostMessageW(GetParent(Hwnd()), WM_COMMAND, ID_FILE_OPEN_CONFIG, 0);
                return 0;
            }
            break;
        default:
            break;
    }
    return CWindow::Handle(message, wParam, lParam);
}

}  // namespace qurix::win32
