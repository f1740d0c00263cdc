#include "ui/win32/WinApi.h"

#include <algorithm>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/LibraryList.h"
#include "palette/PartSummary.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Panes.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {

CLibraryPane::CLibraryPane(CQurixDoc& doc, HWND parent) : CQurixView(doc) {
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                            0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_LIBRARY_LIST)),
                            GetModuleHandleW(nullptr), nullptr);
    ListView_SetExtendedListViewStyle(list_,
                                      LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    std::wstring header = Widen(texts::LIBRARY_HEADER);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 150;
    column.pszText = header.data();
    ListView_InsertColumn(list_, 0, &column);
    tips_ = std::make_unique<CItemTips>(list_, [this](int row) { return TipText(row); });
    OnDpiChanged();
}

CLibraryPane::~CLibraryPane() {
    if (icons_ != nullptr) ImageList_Destroy(icons_);
}

void CLibraryPane::OnDpiChanged() {
    const UINT dpi = WindowDpi(list_);
    const int side = ScaleToDpi(16, dpi);
    HIMAGELIST icons = ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 1, 0);
    // A shared system icon: the image list takes a copy at its size.
    ImageList_AddIcon(icons, LoadIconW(nullptr, IDI_WARNING));
    ListView_SetImageList(list_, icons, LVSIL_SMALL);
    if (icons_ != nullptr) ImageList_Destroy(icons_);
    icons_ = icons;
}

void CLibraryPane::OnInitialUpdate() {
    lastIndex_ = ReadLastLibrary(GetDocument().Profile());
    CQurixView::OnInitialUpdate();
}

void CLibraryPane::SaveSettings() {
    WriteLastLibrary(GetDocument().Profile(), lastIndex_);
}

LibraryRow CLibraryPane::Row(int row) const {
    return LibraryRowAt(row, static_cast<int32_t>(rows_.size()),
                        static_cast<int32_t>(problems_.size()));
}

const LoadProblem* CLibraryPane::Problem(int row) const {
    const LibraryRow r = Row(row);
    return r.kind == LibraryRowKind::Problem ? &problems_[static_cast<size_t>(r.index)] : nullptr;
}

const CPartLibrary* CLibraryPane::Library(int row) const {
    const LibraryRow r = Row(row);
    return r.kind == LibraryRowKind::Library ? rows_[static_cast<size_t>(r.index)] : nullptr;
}

LibraryRowKind CLibraryPane::SelectedPartList() const {
    const LibraryRowKind kind = Row(ListView_GetNextItem(list_, -1, LVNI_SELECTED)).kind;
    return kind == LibraryRowKind::RecentParts || kind == LibraryRowKind::Favourites
               ? kind
               : LibraryRowKind::None;
}

void CLibraryPane::OnUpdate(CQurixView* /*sender*/) {
    CQurixDoc& doc = GetDocument();
    if (!doc.TakePending(this)) {
        // Follows a part picked among the search results; a part list chosen stays
        // chosen while its parts are picked.
        const auto it = std::find(rows_.begin(), rows_.end(), doc.CurrentLibrary());
        if (doc.CurrentLibrary() != nullptr && it != rows_.end() &&
            SelectedPartList() == LibraryRowKind::None) {
            const int index = static_cast<int>(it - rows_.begin());
            if (ListView_GetNextItem(list_, -1, LVNI_SELECTED) != LibraryListRow(index)) {
                quiet_ = true;
                SelectRow(LibraryListRow(index));
                quiet_ = false;
                lastIndex_ = index;
            }
        }
        return;
    }
    std::vector<std::string> paths;
    for (int i = 0; i < CLibrarySet::MAX_LIBRARIES; ++i) {
        const CPartLibrary* lib = doc.Libraries().GetLibrary(i);
        if (lib == nullptr) break;
        rows_.push_back(lib);
        paths.push_back(lib->Path());
    }
    problems_ = doc.Problems();
    quiet_ = true;
    for (int row = 0; row < RowCount(); ++row) {
        const LoadProblem* problem = Problem(row);
        const LibraryRowKind kind = Row(row).kind;
        std::wstring text = kind == LibraryRowKind::RecentParts ? Widen(texts::RECENT_PARTS)
                            : kind == LibraryRowKind::Favourites
                                ? Widen(texts::FAVOURITE_PARTS)
                                : DisplayText(LibraryDisplayName(
                                      problem != nullptr ? problem->path : Library(row)->Path()));
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row;
        // The warning mark too on a library that loaded less than its file holds.
        const CPartLibrary* library = Library(row);
        const bool marked =
            problem != nullptr || (library != nullptr && !doc.WarningFor(library).empty());
        item.iImage = marked ? 0 : I_IMAGENONE;
        item.pszText = text.data();
        ListView_InsertItem(list_, &item);
    }
    quiet_ = false;
    // A reload that kept the place has made its library, or its problem, current already.
    if (const std::string current = doc.CurrentPath(); !current.empty()) {
        for (int row = PART_LIST_ROWS; row < RowCount(); ++row) {
            const LoadProblem* problem = Problem(row);
            const CPartLibrary* library = Library(row);
            const std::string path = problem != nullptr   ? problem->path
                                     : library != nullptr ? library->Path()
                                                          : "";
            if (path != current) continue;
            quiet_ = true;
            SelectRow(row);
            quiet_ = false;
            // Libraries and then problems are numbered as "plib_last" counts them.
            lastIndex_ = row - PART_LIST_ROWS;
            leftIndex_ = lastIndex_;
            return;
        }
    }
    lastIndex_ = RestoredLibraryRow(paths, lastIndex_, doc.place.libraryPath);
    if (!paths.empty()) SelectRow(LibraryListRow(lastIndex_));
}

std::wstring CLibraryPane::TipText(int row) const {
    if (const LoadProblem* p = Problem(row)) return EditText(ProblemText(*p));
    const CPartLibrary* library = Library(row);
    if (library == nullptr) return {};
    // A library that loaded less than its file holds says so under its path.
    const std::string warning = GetDocument().WarningFor(library);
    return DisplayText(library->Path()) + (warning.empty() ? L"" : L"\r\n" + EditText(warning));
}

void CLibraryPane::SelectRow(int row) {
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, row, FALSE);
}

void CLibraryPane::DeleteAllItems() {
    quiet_ = true;
    ListView_DeleteAllItems(list_);
    rows_.clear();
    problems_.clear();
    quiet_ = false;
}

LRESULT CLibraryPane::OnNotify(NMHDR* header, bool& handled) {
    handled = true;
    switch (header->code) {
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            if (quiet_ || (change->uChanged & LVIF_STATE) == 0) return 0;
            const bool was = (change->uOldState & LVIS_SELECTED) != 0;
            const bool is = (change->uNewState & LVIS_SELECTED) != 0;
            CQurixDoc& doc = GetDocument();
            const LibraryRowKind kind = Row(change->iItem).kind;
            if (was && !is) {
                doc.SetCurrentLibrary(nullptr);
                if (kind == LibraryRowKind::Library) leftIndex_ = lastIndex_;
                lastIndex_ = 0;
            } else if (is && !was &&
                       (kind == LibraryRowKind::RecentParts ||
                        kind == LibraryRowKind::Favourites)) {
                // No library number: "plib_last" keeps the library chosen before.
                lastIndex_ = leftIndex_;
                if (rowChosen) rowChosen(kind);
            } else if (is && !was && kind == LibraryRowKind::Library) {
                if (rowChosen) rowChosen(kind);
                doc.SetCurrentLibrary(Library(change->iItem));
                lastIndex_ = Row(change->iItem).index;
                leftIndex_ = lastIndex_;
                doc.UpdateAllViews(this);
            } else if (is && !was && Problem(change->iItem) != nullptr) {
                // The document's own copy: the list's outlives a reload, the document's not.
                const auto i = static_cast<size_t>(Row(change->iItem).index);
                if (i < doc.Problems().size()) doc.SetCurrentProblem(&doc.Problems()[i]);
                lastIndex_ = change->iItem - PART_LIST_ROWS;
                leftIndex_ = lastIndex_;
                doc.UpdateAllViews(this);
            }
            return 0;
        }
        case NM_CUSTOMDRAW: {
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
            if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
            if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
                Problem(static_cast<int>(draw->nmcd.dwItemSpec)) != nullptr) {
                draw->clrText = GetSysColor(COLOR_GRAYTEXT);
            }
            return CDRF_DODEFAULT;
        }
        default:
            handled = false;
            return 0;
    }
}

CNotePane::CNotePane(CQurixDoc& doc, HWND parent) : CQurixView(doc) {
    edit_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                            ES_READONLY | ES_AUTOVSCROLL,
                        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_NOTE)),
                        GetModuleHandleW(nullptr), nullptr);
}

void CNotePane::OnUpdate(CQurixView* /*sender*/) {
    CQurixDoc& doc = GetDocument();
    doc.TakePending(this);
    if (const LoadProblem* problem = doc.CurrentProblem()) {
        ShowProblem(*problem);
        return;
    }
    // Said before the note, or alone, while the library is current.
    const std::string warning = doc.WarningFor(doc.CurrentLibrary());
    const CLibEntry* entry = doc.CurrentEntry();
    if (entry == nullptr) {
        // A note left from the last part would describe another one.
        SetWindowTextW(edit_, EditText(warning).c_str());
        return;
    }
    std::string text = warning.empty() ? std::string() : warning + "\n\n";
    text += ReadableText(entry->Note());
    if (entry->BlockCount() > 1) text += (text.empty() ? "" : "\n") + BlocksAndPinsText(*entry);
    SetWindowTextW(edit_, EditText(text).c_str());
}

void CNotePane::ShowProblem(const LoadProblem& problem) {
    SetWindowTextW(edit_, EditText(std::string(texts::LIBRARY_NOT_LOADED) + "\n" +
                                   ReadableText(ProblemText(problem)))
                              .c_str());
}

}  // namespace qurix::win32
