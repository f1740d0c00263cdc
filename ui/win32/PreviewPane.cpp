#include "ui/win32/WinApi.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>

#include "core/library/LibEntry.h"
#include "palette/PreviewState.h"
#include "palette/QurixDoc.h"
#include "render/DisplaySettings.h"
#include "render/ShiftedSurface.h"
#include "render/gdi/GdiCanvas.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Panes.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {

namespace {

constexpr int WHEEL_NOTCH = 120;
// Line steps as a scroll view takes them by default: a tenth of the page.
constexpr int LINE_DIVISOR = 10;

// The keys that scroll the drawing, with the bar and the request of each.
struct ScrollKey {
    WPARAM key;
    int bar;
    int request;
};
constexpr ScrollKey SCROLL_KEYS[] = {
    {VK_LEFT, SB_HORZ, SB_LINEUP},  {VK_RIGHT, SB_HORZ, SB_LINEDOWN},
    {VK_UP, SB_VERT, SB_LINEUP},    {VK_DOWN, SB_VERT, SB_LINEDOWN},
    {VK_PRIOR, SB_VERT, SB_PAGEUP}, {VK_NEXT, SB_VERT, SB_PAGEDOWN},
};

}  // namespace

CPreviewPane::CPreviewPane(CQurixDoc& doc, HWND parent) : CQurixView(doc) {
    Create(L"QurixPreview", WS_EX_CLIENTEDGE, L"",
           WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN, 0, 0, 0,
           0, parent, nullptr);
    blocks_ = CreateWindowExW(0, WC_COMBOBOXW, L"",
                              WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 0, 0, 0,
                              Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_BLOCKS)),
                              GetModuleHandleW(nullptr), nullptr);
}

void CPreviewPane::OnInitialUpdate() {
    CQurixView::OnInitialUpdate();
    state_.Read(GetDocument().Profile());
    Relayout();
}

void CPreviewPane::SaveSettings() const {
    state_.Save(GetDocument().Profile());
}

void CPreviewPane::OnUpdate(CQurixView* /*sender*/) {
    GetDocument().TakePending(this);
    UpdateBlocks();
    Relayout();
}

int CPreviewPane::Ratio() const {
    return ThumbnailRatio(WindowDpi(Hwnd()));
}

Scale CPreviewPane::DrawZoom() const {
    const Scale zoom = state_.fit ? fitZoom_ : state_.view.zoom;
    return DevicePreviewZoom(zoom, Ratio());
}

int CPreviewPane::BlocksHeight() const {
    if (blockCount_ <= 1) return 0;
    RECT r{};
    GetWindowRect(blocks_, &r);
    return r.bottom - r.top + ScaleToDpi(2, WindowDpi(Hwnd()));
}

void CPreviewPane::UpdateBlocks() {
    const CLibEntry* entry = GetDocument().CurrentEntry();
    blockCount_ = state_.TakeEntry(entry);
    SendMessageW(blocks_, CB_RESETCONTENT, 0, 0);
    if (blockCount_ > 1) {
        for (int i = 0; i < blockCount_; ++i) {
            SendMessageW(blocks_, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Widen(CPreviewState::BlockLabel(i)).c_str()));
        }
        SendMessageW(blocks_, CB_SETCURSEL, state_.view.block, 0);
    }
    const UINT dpi = WindowDpi(Hwnd());
    MoveWindow(blocks_, 0, 0, ScaleToDpi(80, dpi), ScaleToDpi(200, dpi), TRUE);
    ShowWindow(blocks_, blockCount_ > 1 ? SW_SHOWNA : SW_HIDE);
}

void CPreviewPane::Relayout() {
    const CQurixDoc& doc = GetDocument();
    if (doc.CurrentEntry() == nullptr || !doc.IsLoaded()) {
        // Nothing to scroll: no bars left from the part before.
        extent_ = POINT{0, 0};
        UpdateScrollBars();
        InvalidateRect(Hwnd(), nullptr, FALSE);
        if (zoomChanged) zoomChanged();
        return;
    }
    CGdiCanvas measure(1, 1, Colour{});
    RECT client{};
    GetClientRect(Hwnd(), &client);
    if (state_.fit) {
        const Point plain = PreviewExtent(doc.Settings(), doc.CurrentEntry(),
                                          {Scale{}, state_.view.block}, &measure);
        // The room in logical pixels.
        const int r = Ratio();
        fitZoom_ =
            FitPreviewZoom(plain, Point{client.right / r, (client.bottom - BlocksHeight()) / r});
    }
    const Point extent = PreviewExtent(doc.Settings(), doc.CurrentEntry(),
                                       {DrawZoom(), state_.view.block}, &measure);
    extent_ = POINT{std::max(0, extent.x), std::max(0, extent.y)};
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, FALSE);
    if (zoomChanged) zoomChanged();
}

void CPreviewPane::UpdateScrollBars() {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const int pageX = std::max<int>(1, client.right);
    const int pageY = std::max<int>(1, client.bottom - BlocksHeight());
    scroll_.x = std::clamp<LONG>(scroll_.x, 0, std::max<LONG>(0, extent_.x - pageX));
    scroll_.y = std::clamp<LONG>(scroll_.y, 0, std::max<LONG>(0, extent_.y - pageY));
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = std::max<int>(0, extent_.x - 1);
    si.nPage = static_cast<UINT>(pageX);
    si.nPos = scroll_.x;
    SetScrollInfo(Hwnd(), SB_HORZ, &si, TRUE);
    si.nMax = std::max<int>(0, extent_.y - 1);
    si.nPage = static_cast<UINT>(pageY);
    si.nPos = scroll_.y;
    SetScrollInfo(Hwnd(), SB_VERT, &si, TRUE);
}

void CPreviewPane::Scroll(int bar, int request) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(Hwnd(), bar, &si);
    const int line = std::max(1, static_cast<int>(si.nPage) / LINE_DIVISOR);
    int pos = si.nPos;
    switch (request) {
        case SB_LINEUP:
            pos -= line;
            break;
        case SB_LINEDOWN:
            pos += line;
            break;
        case SB_PAGEUP:
            pos -= static_cast<int>(si.nPage);
            break;
        case SB_PAGEDOWN:
            pos += static_cast<int>(si.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = si.nTrackPos;
            break;
        case SB_TOP:
            pos = 0;
            break;
        case SB_BOTTOM:
            pos = si.nMax;
            break;
        default:
            return;
    }
    (bar == SB_HORZ ? scroll_.x : scroll_.y) = pos;
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CPreviewPane::SetFitted(bool fit) {
    if (state_.fit == fit) return;
    state_.fit = fit;
    Relayout();
}

void CPreviewPane::StepZoom(int steps) {
    const Scale from = state_.fit ? fitZoom_ : state_.view.zoom;
    state_.fit = false;
    Scale to = StepPreviewZoom(from, steps);
    // A fitted zoom between two steps lands on a step.
    if (!IsPreviewZoomStep(to)) to = Scale{};
    state_.view.zoom = to;
    Relayout();
}

void CPreviewPane::StepZoomAbout(int steps, POINT pointer) {
    const POINT before = scroll_;
    const Scale from = DrawZoom();
    StepZoom(steps);
    const Point offset = ZoomedScrollOffset(
        Point{before.x, before.y}, Point{pointer.x, pointer.y - BlocksHeight()}, from, DrawZoom());
    scroll_ = POINT{offset.x, offset.y};
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CPreviewPane::ResetZoom() {
    state_.view.zoom = Scale{};
    state_.fit = false;
    Relayout();
}

void CPreviewPane::MarkPin(int pin) {
    markedEntry_ = GetDocument().CurrentEntry();
    markedPin_ = pin;
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

int CPreviewPane::MarkedPin() const {
    return GetDocument().CurrentEntry() == markedEntry_ ? markedPin_ : -1;
}

void CPreviewPane::DrawPinMark(HDC dc) const {
    const CLibEntry* entry = GetDocument().CurrentEntry();
    if (markedPin_ < 0 || entry == nullptr || entry != markedEntry_) return;
    Point from;
    Point to;
    if (!PreviewPinEnds(entry, {DrawZoom(), state_.view.block}, markedPin_, from, to)) return;
    // Over the drawing, never part of it: the pin drawn over and a ring around its outer
    // end, in the selection's colour.
    const int width = ScaleToDpi(2, WindowDpi(Hwnd()));
    const int radius = ScaleToDpi(PIN_MARKER_RADIUS, WindowDpi(Hwnd()));
    HPEN pen = CreatePen(PS_SOLID, width, GetSysColor(COLOR_HIGHLIGHT));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const int x0 = from.x - scroll_.x;
    const int y0 = from.y - scroll_.y;
    const int x1 = to.x - scroll_.x;
    const int y1 = to.y - scroll_.y;
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    Ellipse(dc, x1 - radius, y1 - radius, x1 + radius + 1, y1 + radius + 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void CPreviewPane::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const int top = BlocksHeight();
    const CQurixDoc& doc = GetDocument();
    const Colour bg = doc.IsLoaded() ? doc.Settings().colours.Get(ColourKey::BG) : COLOUR_WHITE;
    const int width = client.right;
    const int height = client.bottom - top;
    if (top > 0) {
        const RECT band{0, 0, client.right, top};
        FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
    }
    if (width > 0 && height > 0) {
        // Drawn off screen at the device's scale from the vectors, then copied.
        // Only the visible part is drawn: the canvas shows the picture from the scroll offset.
        CGdiCanvas canvas(width, height, bg);
        if (canvas.IsValid()) {
            if (doc.IsLoaded() && doc.CurrentEntry() != nullptr) {
                CShiftedSurface visible(canvas, Point{scroll_.x, scroll_.y});
                DrawPartPreview(visible, doc.Settings(), doc.CurrentEntry(),
                                {DrawZoom(), state_.view.block});
                DrawPinMark(canvas.Dc());
            }
            BitBlt(dc, 0, top, width, height, canvas.Dc(), 0, 0, SRCCOPY);
        }
    }
    // The pane with the keyboard shows it, as the lists do.
    if (GetFocus() == Hwnd() && width > 0 && height > 0) {
        const RECT inner{0, top, width, top + height};
        DrawFocusRect(dc, &inner);
    }
    EndPaint(Hwnd(), &ps);
}

LRESULT CPreviewPane::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            if (state_.fit) {
                Relayout();
            } else {
                UpdateScrollBars();
            }
            return 0;
        case WM_HSCROLL:
            Scroll(SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_VSCROLL:
            Scroll(SB_VERT, LOWORD(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(Hwnd());
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(Hwnd(), nullptr, FALSE);
            break;
        case WM_MOUSEWHEEL: {
            const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
            if ((GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) == 0) {
                for (int i = 0; i < std::abs(delta) / WHEEL_NOTCH * 3; ++i) {
                    Scroll(SB_VERT, delta > 0 ? SB_LINEUP : SB_LINEDOWN);
                }
                return 0;
            }
            // Fine-grained wheels send parts of a notch: a step per whole notch.
            wheelRest_ += delta;
            const int steps = wheelRest_ / WHEEL_NOTCH;
            wheelRest_ -= steps * WHEEL_NOTCH;
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(Hwnd(), &at);
            if (steps != 0) StepZoomAbout(steps, at);
            return 0;
        }
        case WM_KEYDOWN:
            // The zoom keys are the window's accelerators: they work from every pane.
            if (wParam == VK_TAB) {
                // Into the block selector of a part with several blocks.
                if (blockCount_ > 1) SetFocus(blocks_);
                return 0;
            }
            for (const ScrollKey& key : SCROLL_KEYS) {
                if (key.key == wParam) {
                    Scroll(key.bar, key.request);
                    return 0;
                }
            }
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_BLOCKS && HIWORD(wParam) == CBN_SELCHANGE) {
                const int block = static_cast<int>(SendMessageW(blocks_, CB_GETCURSEL, 0, 0));
                if (block >= 0 && block < blockCount_) {
                    state_.view.block = block;
                    Relayout();
                    if (blockChanged) blockChanged();
                }
                // The selector keeps the keyboard: the arrows step through the blocks.
                return 0;
            }
            break;
        default:
            break;
    }
    return CWindow::Handle(message, wParam, lParam);
}

}  // namespace qurix::win32
