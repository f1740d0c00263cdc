#include "ui/win32/WinApi.h"

#include "ui/win32/PinPage.h"

#include <string>

#include "core/library/LibEntry.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "ui/win32/Panes.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {

CPinPage::CPinPage(CQurixDoc& doc, HWND parent, HWND note, CPreviewPane& preview)
    : CQurixView(doc), preview_(preview), note_(note) {
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    // Below the pages, which it must not paint over.
    tabs_ = CreateWindowExW(
        0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 0, 0,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_NOTE_TABS)), inst, nullptr);
    for (const char* text : {texts::NOTE_TAB, texts::PINS_TAB}) {
        std::wstring label = Widen(text);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = label.data();
        TabCtrl_InsertItem(tabs_, TabCtrl_GetItemCount(tabs_), &item);
    }
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_PINS)), inst, nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    int i = 0;
    for (const char* text : {texts::PIN_NUMBER, texts::PIN_NAME, texts::PIN_SIDE}) {
        std::wstring label = Widen(text);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        // Room for the side and the header's sort arrow.
        column.cx = i == 1 ? 70 : 58;
        column.pszText = label.data();
        ListView_InsertColumn(list_, i++, &column);
    }
    preview_.blockChanged = [this] { OnUpdate(nullptr); };
}

void CPinPage::Layout() {
    RECT r{};
    GetWindowRect(tabs_, &r);
    MapWindowPoints(nullptr, GetParent(tabs_), reinterpret_cast<POINT*>(&r), 2);
    TabCtrl_AdjustRect(tabs_, FALSE, &r);
    for (HWND page : {note_, list_}) {
        SetWindowPos(page, HWND_TOP, r.left, r.top, std::max(0L, r.right - r.left),
                     std::max(0L, r.bottom - r.top), SWP_NOACTIVATE);
    }
    // The name takes what the number and side leave, beside room for a scroll bar.
    const LONG room = r.right - r.left - 2 * GetSystemMetrics(SM_CXEDGE) -
                      GetSystemMetrics(SM_CXVSCROLL) - 2 * 58;
    ListView_SetColumnWidth(list_, 1, std::max(40L, room));
}

int CPinPage::Page() const {
    return TabCtrl_GetCurSel(tabs_);
}

void CPinPage::ShowPage(int page) {
    if (page != Page()) TabCtrl_SetCurSel(tabs_, page);
    ShowWindow(note_, page == 0 ? SW_SHOW : SW_HIDE);
    ShowWindow(list_, page == 1 ? SW_SHOW : SW_HIDE);
}

void CPinPage::DeleteAllItems() {
    filling_ = true;
    ListView_DeleteAllItems(list_);
    filling_ = false;
    rows_.clear();
    entry_ = nullptr;
}

void CPinPage::OnUpdate(CQurixView* /*sender*/) {
    CQurixDoc& doc = GetDocument();
    doc.TakePending(this);
    const CLibEntry* entry = doc.CurrentEntry();
    const int chosen = RowPin(ListView_GetNextItem(list_, -1, LVNI_SELECTED));
    const bool samePart = entry != nullptr && entry == entry_;
    entry_ = entry;
    rows_ = entry != nullptr ? PinRows(*entry, preview_.Block()) : std::vector<PinRow>();
    if (sorted_) SortPinRows(rows_, column_, ascending_);
    Fill();
    // Another block of the same part keeps the pin chosen; another part starts with none.
    if (samePart) {
        SelectPin(chosen);
    } else {
        preview_.MarkPin(-1);
    }
}

int CPinPage::RowPin(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)].pin
                                                            : -1;
}

void CPinPage::SelectPin(int pin) {
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        if (rows_[static_cast<size_t>(row)].pin != pin) continue;
        filling_ = true;
        ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list_, row, FALSE);
        filling_ = false;
    }
}

void CPinPage::Fill() {
    filling_ = true;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list_);
    int row = 0;
    for (const PinRow& pin : rows_) {
        std::wstring cells[] = {DisplayText(pin.number), DisplayText(pin.name),
                                Widen(PinSideText(pin.side))};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = cells[0].data();
        ListView_InsertItem(list_, &item);
        ListView_SetItemText(list_, row, 1, cells[1].data());
        ListView_SetItemText(list_, row, 2, cells[2].data());
        ++row;
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
    filling_ = false;
}

void CPinPage::SortBy(PinColumn column, bool ascending) {
    const int chosen = RowPin(ListView_GetNextItem(list_, -1, LVNI_SELECTED));
    column_ = column;
    ascending_ = ascending;
    sorted_ = true;
    SortPinRows(rows_, column_, ascending_);
    Fill();
    // The arrow on the sorted column's header only.
    HWND header = ListView_GetHeader(list_);
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == static_cast<int>(column)) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, i, &item);
    }
    SelectPin(chosen);
}

void CPinPage::DrawOverline(NMLVCUSTOMDRAW& draw) const {
    const auto row = static_cast<size_t>(draw.nmcd.dwItemSpec);
    if (row >= rows_.size() || rows_[row].overline.find('-') == std::string::npos) return;
    const PinRow& pin = rows_[row];
    RECT cell{};
    if (!ListView_GetSubItemRect(list_, static_cast<int>(row), 1, LVIR_LABEL, &cell)) return;
    const HDC dc = draw.nmcd.hdc;
    const std::wstring name = DisplayText(pin.name);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // The list's own margin before a cell's text, at the pane's scale.
    const int margin = GetSystemMetrics(SM_CXEDGE) * 3;
    const int y =
        std::max<int>(cell.top + 1, cell.top + (cell.bottom - cell.top - metrics.tmHeight) / 2 +
                                        metrics.tmInternalLeading);
    const bool selected = ListView_GetItemState(list_, static_cast<int>(row), LVIS_SELECTED) != 0;
    HPEN pen = CreatePen(
        PS_SOLID, 1,
        GetSysColor(selected && GetFocus() == list_ ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    for (size_t i = 0; i < pin.overline.size() && i < name.size(); ++i) {
        if (pin.overline[i] != '-') continue;
        SIZE before{};
        SIZE through{};
        GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(i), &before);
        GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(i + 1), &through);
        MoveToEx(dc, cell.left + margin + before.cx, y, nullptr);
        LineTo(dc, cell.left + margin + through.cx, y);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

LRESULT CPinPage::OnNotify(NMHDR* header, bool& handled) {
    handled = false;
    if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
        handled = true;
        ShowPage(Page());
        return 0;
    }
    if (header->hwndFrom != list_) return 0;
    handled = true;
    switch (header->code) {
        case LVN_COLUMNCLICK: {
            const auto* click = reinterpret_cast<NMLISTVIEW*>(header);
            const auto column = static_cast<PinColumn>(click->iSubItem);
            SortBy(column, sorted_ && column == column_ ? !ascending_ : true);
            return 0;
        }
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            if (filling_ || (change->uChanged & LVIF_STATE) == 0) return 0;
            if ((change->uNewState & LVIS_SELECTED) != 0 &&
                (change->uOldState & LVIS_SELECTED) == 0) {
                preview_.MarkPin(RowPin(change->iItem));
            } else if ((change->uNewState & LVIS_SELECTED) == 0 &&
                       ListView_GetNextItem(list_, -1, LVNI_SELECTED) < 0) {
                preview_.MarkPin(-1);
            }
            return 0;
        }
        case NM_CUSTOMDRAW: {
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
            switch (draw->nmcd.dwDrawStage) {
                case CDDS_PREPAINT:
                    return CDRF_NOTIFYITEMDRAW;
                case CDDS_ITEMPREPAINT:
                    return CDRF_NOTIFYSUBITEMDRAW;
                case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
                    return draw->iSubItem == 1 ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
                case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM:
                    DrawOverline(*draw);
                    return CDRF_DODEFAULT;
                default:
                    return CDRF_DODEFAULT;
            }
        }
        default:
            handled = false;
            return 0;
    }
}

}  // namespace qurix::win32
