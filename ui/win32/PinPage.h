#pragma once
#include "ui/win32/WinApi.h"

#include <commctrl.h>

#include <vector>

#include "palette/PinTable.h"
#include "palette/QurixView.h"

namespace qurix::win32 {

class CPreviewPane;

inline constexpr int ID_NOTE_TABS = 105;
inline constexpr int ID_PINS = 106;

// The note pane's two pages in a tab control: the note (the note pane's edit control) and
// ピン, the current part's pins for the block the preview shows, sortable by a column's
// header; choosing a row marks that pin in the preview.
class CPinPage : public CQurixView {
public:
    CPinPage(CQurixDoc& doc, HWND parent, HWND note, CPreviewPane& preview);

    // The tab control, placed where the note pane goes; Layout puts the pages in it.
    HWND Hwnd() const { return tabs_; }
    HWND List() const { return list_; }
    void Layout();
    // 0: the note, 1: the pins.
    void ShowPage(int page);
    void ShowNote() { ShowPage(0); }
    int Page() const;
    void OnUpdate(CQurixView* sender) override;
    void DeleteAllItems() override;
    LRESULT OnNotify(NMHDR* header, bool& handled);
    // The rows as listed.
    const std::vector<PinRow>& Rows() const { return rows_; }
    void SortBy(PinColumn column, bool ascending);

private:
    void Fill();
    int RowPin(int row) const;
    void SelectPin(int pin);
    void DrawOverline(NMLVCUSTOMDRAW& draw) const;

    CPreviewPane& preview_;
    HWND note_;
    HWND tabs_;
    HWND list_;
    std::vector<PinRow> rows_;
    const CLibEntry* entry_ = nullptr;  // compared, never followed
    PinColumn column_ = PinColumn::Number;
    bool ascending_ = true;
    bool sorted_ = false;
    bool filling_ = false;
};

}  // namespace qurix::win32
