#pragma once
#include "ui/win32/WinApi.h"

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "palette/EarlyList.h"
#include "palette/LibraryList.h"
#include "palette/LoadProblem.h"
#include "palette/PartHistory.h"
#include "palette/PartsList.h"
#include "palette/PreviewState.h"
#include "palette/QurixView.h"
#include "palette/ThumbnailStore.h"
#include "render/Thumbnails.h"
#include "ui/win32/ItemTips.h"
#include "ui/win32/Window.h"

#include "palette/search/PartSearch.h"

namespace qurix::win32 {

// Child control ids, for WM_NOTIFY and WM_COMMAND.
inline constexpr int ID_LIBRARY_LIST = 100;
inline constexpr int ID_PARTS_LIST = 101;
inline constexpr int ID_SEARCH_EDIT = 102;
inline constexpr int ID_NOTE = 103;
inline constexpr int ID_BLOCKS = 104;

// The library list: a report-mode list view of one column; the recent parts and the
// favourites above the libraries; libraries that did not load are greyed rows with a
// warning icon, their problem in the tool tip and, on a click, in the note.
class CLibraryPane : public CQurixView {
public:
    CLibraryPane(CQurixDoc& doc, HWND parent);
    ~CLibraryPane() override;

    HWND Hwnd() const { return list_; }
    void OnInitialUpdate() override;
    void OnUpdate(CQurixView* sender) override;
    void DeleteAllItems() override;
    void SaveSettings();
    // WM_NOTIFY from the list; handled tells whether the result is the answer.
    LRESULT OnNotify(NMHDR* header, bool& handled);
    void OnDpiChanged();
    // A row was chosen: a library or one of the two part lists.
    std::function<void(LibraryRowKind)> rowChosen;
    // The part list selected, or None.
    LibraryRowKind SelectedPartList() const;

private:
    int RowCount() const {
        return PART_LIST_ROWS + static_cast<int>(rows_.size() + problems_.size());
    }
    LibraryRow Row(int row) const;
    const CPartLibrary* Library(int row) const;
    const LoadProblem* Problem(int row) const;
    void SelectRow(int row);

    // A row's tool tip: the library's path, or what kept it from loading.
    std::wstring TipText(int row) const;

    HWND list_;
    HIMAGELIST icons_ = nullptr;
    std::unique_ptr<CItemTips> tips_;
    std::vector<const CPartLibrary*> rows_;
    std::vector<LoadProblem> problems_;
    int32_t lastIndex_ = 0;
    // The library row left for a part list, which takes no number.
    int32_t leftIndex_ = 0;
    bool quiet_ = false;
};

// The parts list with the search field above it. It owns the thumbnails of every loaded
// part, lists the current library's (or the search's) parts in one of four modes, makes
// the selected part current and starts drags.
class CPartsPane : public CQurixView {
public:
    CPartsPane(CQurixDoc& doc, HWND parent, CanvasFactory canvases);
    ~CPartsPane() override;

    HWND List() const { return list_; }
    HWND Search() const { return search_; }
    void OnInitialUpdate() override;
    void OnUpdate(CQurixView* sender) override;
    void DeleteAllItems() override;
    // Keeps the parts style, the image cache and the early list of the library shown.
    void SaveSettings();
    // Before the first load, with the drawing settings read: lists the early list
    // (palette/EarlyList.h) when there is one this mode can show; false, listing nothing,
    // otherwise. Its items cannot be picked or dragged; the load's list replaces them, or
    // DropEarlyList lets them go when none does.
    bool ShowEarlyList();
    void DropEarlyList();
    bool ShowingEarlyList() const { return early_ != nullptr; }

    // "parts_style": 0 large, 2 small, 3 list, 4 extra-large.
    int Mode() const { return mode_; }
    void SetMode(int mode);
    void OnDpiChanged();
    void FocusSearch();
    LRESULT OnNotify(NMHDR* header, bool& handled);
    // EN_CHANGE of the search field.
    void OnSearchChanged();
    bool Searching() const { return searching_; }
    bool Preparing() const { return preparing_; }
    // The items listed changed (their number, or the search's state).
    std::function<void()> countChanged;
    CThumbnailStore& Store() { return store_; }
    int ItemCount() const { return static_cast<int>(items_.size()); }

    // The recent parts or favourites listed instead of a library: a gone part (entry null)
    // greyed with why in its tool tip.
    struct KeptItem {
        const CPartLibrary* library = nullptr;
        const CLibEntry* entry = nullptr;
        std::wstring text;
        std::wstring gone;
    };
    void ShowKept(LibraryRowKind kind, const std::vector<KeptItem>& items);
    // Back to the current library's parts.
    void LeaveKept();
    LibraryRowKind KeptShown() const { return kept_; }
    const CLibEntry* ItemEntry(int row) const;
    const CPartLibrary* ItemLibrary(int row) const;
    int SelectedRow() const;
    void SelectRow(int row);
    // Drags the item: click, with no button held (click-to-place) from its centre. True
    // when the target took the drop.
    bool Drag(int row, POINT at, bool click);
    // Hooks for the part commands: a drop taken; Enter or a double-click; a key in the
    // list (true: taken); the kept list to list again after a reload or a search.
    std::function<void(const PartKey&)> dropped;
    std::function<void(int row)> activated;
    std::function<bool(UINT key)> keyDown;
    std::function<void()> keptStale;

private:
    struct Item : PartsListItem {
        std::wstring text;
        std::wstring gone;
        // Listed before the load: image is in the early list's images, there is no entry.
        bool early = false;
    };
    void ApplyColours();
    void BuildImages();
    void ShowLibrary(const CPartLibrary* library);
    void ShowItems(std::vector<Item> items, bool keepEarly = false);
    // An empty image list for the mode and the screen; images join it as rows are shown.
    void ResetImages();
    void ApplyView();
    // The image-list slot of a row's image, drawn into the list the first time it is asked for.
    int ImageSlot(int row);
    bool EarlyListFits() const;
    ArgbImage ItemImage(const Item& item);
    int TopItem() const;
    void ScrollTo(int row);
    void ClearSearch();
    void ShowCount();
    static LRESULT CALLBACK SearchProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    // An item's tool tip: its name, library, blocks and pins, note.
    std::wstring TipText(int row) const;

    HWND parent_;
    HWND search_;
    HWND list_;
    HIMAGELIST images_ = nullptr;
    int imageSide_ = 0;
    // Image key (ImageKey in PartsPane.cpp) to its slot in images_: the same part keeps its
    // slot across searches and lists until the mode, the screen or the images change.
    std::unordered_map<int64_t, int> slots_;
    std::unique_ptr<EarlyList> early_;
    std::unique_ptr<CItemTips> tips_;
    CThumbnailStore store_;
    CPartsList memory_;
    std::vector<Item> items_;
    const CPartLibrary* shown_ = nullptr;
    int mode_ = 0;
    bool filling_ = false;
    bool searching_ = false;
    bool preparing_ = false;
    LibraryRowKind kept_ = LibraryRowKind::None;
    CPartSearch search_index_;
};

// The preview: the current part at a zoom (steps, or fitted), scrolling, with a block
// selector (a combo box) above it for a part of several blocks.
class CPreviewPane : public CWindow, public CQurixView {
public:
    CPreviewPane(CQurixDoc& doc, HWND parent);

    void OnInitialUpdate() override;
    void OnUpdate(CQurixView* sender) override;
    void SaveSettings() const;
    bool Fitted() const { return state_.fit; }
    void SetFitted(bool fit);
    void StepZoom(int steps);
    // Ctrl + wheel: the point of the part under pointer (client pixels) stays there.
    void StepZoomAbout(int steps, POINT pointer);
    void ResetZoom();
    int Block() const { return state_.view.block; }
    Scale Zoom() const { return state_.fit ? fitZoom_ : state_.view.zoom; }
    // The zoom, or whether it follows the pane, may have changed.
    std::function<void()> zoomChanged;
    int BlockCount() const { return blockCount_; }
    // Marks a pin of the current part over the drawing (-1: none); the mark goes with the part.
    void MarkPin(int pin);
    int MarkedPin() const;
    // Another block was chosen in the selector.
    std::function<void()> blockChanged;

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Relayout();
    void UpdateBlocks();
    void UpdateScrollBars();
    void Scroll(int bar, int request);
    void Paint();
    int Ratio() const;
    Scale DrawZoom() const;
    void DrawPinMark(HDC dc) const;
    int BlocksHeight() const;

    CPreviewState state_;
    Scale fitZoom_;
    HWND blocks_ = nullptr;
    int blockCount_ = 1;
    POINT extent_{50, 50};  // device pixels
    POINT scroll_{0, 0};
    int wheelRest_ = 0;
    const CLibEntry* markedEntry_ = nullptr;  // compared, never followed
    int markedPin_ = -1;
};

// The note: the part's note and block count in a read-only edit control.
class CNotePane : public CQurixView {
public:
    CNotePane(CQurixDoc& doc, HWND parent);
    HWND Hwnd() const { return edit_; }
    void OnUpdate(CQurixView* sender) override;
    void ShowProblem(const LoadProblem& problem);

private:
    HWND edit_;
};

}  // namespace qurix::win32
