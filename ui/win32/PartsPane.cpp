#include "ui/win32/WinApi.h"

#include <windowsx.h>

#include <algorithm>
#include <string_view>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/DragBlock.h"
#include "palette/ImageCache.h"
#include "palette/PartSummary.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "palette/search/PreferredParts.h"
#include "palette/search/ResultLabels.h"
#include "render/DisplaySettings.h"
#include "ui/win32/Bitmaps.h"
#include "ui/win32/Commands.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/DragSource.h"
#include "ui/win32/Panes.h"
#include "ui/win32/ProgressWindow.h"
#include "ui/win32/StartTrace.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {

namespace {

CExtraThumbnails::Kind KindOf(int mode) {
    switch (mode) {
        case MODE_XLARGE:
            return CExtraThumbnails::Kind::ExtraLarge;
        case MODE_LARGE:
            return CExtraThumbnails::Kind::Large;
        default:
            return CExtraThumbnails::Kind::Small;
    }
}

// The kept "parts_style" as this list shows it: the details mode has no columns here
// either, so it is shown as large icons.
int ShownMode(const CProfile& profile) {
    const int mode = ReadPartsStyle(profile);
    return mode == MODE_SMALL || mode == MODE_LIST || mode == MODE_XLARGE ? mode : MODE_LARGE;
}

// Slots the image list may hold before a new list starts it afresh; a library's own list
// and the searches over it stay well below.
constexpr size_t MAX_IMAGE_SLOTS = 4096;
// Keys of images that are not a store image's index.
constexpr int64_t KEY_GONE = -2;
constexpr int64_t KEY_FIRST_EARLY = -3;  // down from here: the early list's images

}  // namespace

CPartsPane::CPartsPane(CQurixDoc& doc, HWND parent, CanvasFactory canvases)
    : CQurixView(doc), parent_(parent), store_(doc, std::move(canvases)) {
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    search_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
        0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_SEARCH_EDIT)), inst, nullptr);
    SendMessageW(search_, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(Widen(texts::SEARCH_PLACEHOLDER).c_str()));
    SetWindowSubclass(search_, &CPartsPane::SearchProc, 1, reinterpret_cast<DWORD_PTR>(this));
    list_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
            LVS_OWNERDATA | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_PARTS_LIST)), inst,
        nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_DOUBLEBUFFER);
    tips_ = std::make_unique<CItemTips>(list_, [this](int row) { return TipText(row); });
}

CPartsPane::~CPartsPane() {
    if (images_ != nullptr) ImageList_Destroy(images_);
}

void CPartsPane::SaveSettings() {
    WritePartsStyle(GetDocument().Profile(), mode_);
    store_.Save();
    // The next start shows the library current now before it parses anything, in a mode
    // that can show it.
    if (EarlyListFits()) store_.SaveCurrentEarlyList(EarlyImagesOfMode(mode_));
}

bool CPartsPane::EarlyListFits() const {
    // The early list keeps large and small images at one device pixel per pixel only.
    return mode_ != MODE_XLARGE && ThumbnailRatio(WindowDpi(list_)) == 1;
}

bool CPartsPane::ShowEarlyList() {
    mode_ = ShownMode(GetDocument().Profile());
    if (!EarlyListFits()) return false;
    auto early = std::make_unique<EarlyList>();
    if (!store_.ReadEarlyList(*early) || !Holds(early->kept, EarlyImagesOfMode(mode_)))
        return false;
    ApplyColours();
    std::vector<Item> items(early->Count());
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].image = static_cast<int32_t>(i);
        items[i].text = DisplayText(early->names[i]);
        items[i].early = true;
    }
    early_ = std::move(early);
    ShowItems(std::move(items), true);
    return true;
}

void CPartsPane::DropEarlyList() {
    if (early_ != nullptr) ShowItems({});
}

void CPartsPane::OnInitialUpdate() {
    mode_ = ShownMode(GetDocument().Profile());
    store_.Open();
    StartTraceMark("image cache read");
    CQurixView::OnInitialUpdate();
}

void CPartsPane::OnUpdate(CQurixView* /*sender*/) {
    CQurixDoc& doc = GetDocument();
    const bool loaded = doc.TakePending(this);
    if (loaded) store_.OnLoad();
    if (!store_.Built()) BuildImages();
    if (kept_ != LibraryRowKind::None) {
        // The kept list stays while its parts are picked; after a reload it is listed anew.
        if (!searching_ && items_.empty() && keptStale) keptStale();
    } else if (doc.CurrentLibrary() != nullptr && !searching_) {
        ShowLibrary(doc.CurrentLibrary());
        if (CQurixDoc::Place wanted; doc.TakePlaceFor(doc.CurrentLibrary(), wanted)) {
            for (int row = 0; row < ItemCount(); ++row) {
                if (items_[row].entry != nullptr &&
                    std::string_view(items_[row].entry->Name()) == wanted.entryName) {
                    SelectRow(row);
                    break;
                }
            }
            ScrollTo(wanted.topItem);
        }
    } else if (doc.CurrentProblem() != nullptr && !searching_ && shown_ != nullptr) {
        // A library that did not load has no parts to show.
        memory_.Remember(shown_, TopItem());
        ShowItems({});
        shown_ = nullptr;
    }
    // A search typed while the libraries loaded runs once they are there; one a reload
    // emptied runs again on the new libraries.
    if ((searching_ && preparing_) || (loaded && GetWindowTextLengthW(search_) > 0))
        OnSearchChanged();
}

void CPartsPane::ApplyColours() {
    const CColourTable& colours = GetDocument().Settings().colours;
    ListView_SetBkColor(list_, colours.Get(ColourKey::BG) & COLOUR_RGB_MASK);
    ListView_SetTextBkColor(list_, colours.Get(ColourKey::BG) & COLOUR_RGB_MASK);
    ListView_SetTextColor(list_, colours.Get(ColourKey::ComponentName) & COLOUR_RGB_MASK);
}

void CPartsPane::BuildImages() {
    ApplyColours();
    // The items refer to images by index; none may outlive the old images. Early items
    // show their own images and stay on screen until the library replaces them.
    if (early_ == nullptr) {
        ShowItems({});
        ResetImages();
    }
    CProgressWindow progress(GetAncestor(parent_, GA_ROOT));
    store_.Build(progress);
    StartTraceMark("images built");
}

void CPartsPane::DeleteAllItems() {
    CQurixDoc& doc = GetDocument();
    if (!doc.place.libraryPath.empty() && shown_ != nullptr) doc.place.topItem = TopItem();
    ShowItems({});
    shown_ = nullptr;
    searching_ = false;
    search_index_.Release();
    memory_.Forget();
    store_.Release();
    ResetImages();
}

void CPartsPane::ShowLibrary(const CPartLibrary* library) {
    if (shown_ != nullptr) memory_.Remember(shown_, TopItem());
    std::vector<Item> items;
    for (const PartsListItem& item : CPartsList::LibraryItems(library, store_)) {
        items.push_back({item, DisplayText(item.entry->Name()), {}});
    }
    ShowItems(std::move(items));
    shown_ = library;
    ScrollTo(memory_.Recall(library));
    StartTraceMark("library listed");
}

void CPartsPane::ShowKept(LibraryRowKind kind, const std::vector<KeptItem>& items) {
    if (kept_ == LibraryRowKind::None && shown_ != nullptr) memory_.Remember(shown_, TopItem());
    kept_ = kind;
    shown_ = nullptr;
    if (searching_) return;
    std::vector<Item> listed;
    listed.reserve(items.size());
    for (const KeptItem& k : items) {
        Item item;
        item.entry = k.entry;
        item.library = k.library;
        item.image = k.entry != nullptr ? store_.ImageIndex(k.entry) : -1;
        item.text = k.text;
        item.gone = k.gone;
        listed.push_back(std::move(item));
    }
    ShowItems(std::move(listed));
}

void CPartsPane::LeaveKept() {
    if (kept_ == LibraryRowKind::None) return;
    kept_ = LibraryRowKind::None;
    if (!searching_) ShowItems({});
}

const CLibEntry* CPartsPane::ItemEntry(int row) const {
    return row >= 0 && row < ItemCount() ? items_[row].entry : nullptr;
}

const CPartLibrary* CPartsPane::ItemLibrary(int row) const {
    if (row < 0 || row >= ItemCount() || items_[row].entry == nullptr) return nullptr;
    return items_[row].library != nullptr ? items_[row].library : shown_;
}

int CPartsPane::SelectedRow() const {
    return ListView_GetNextItem(list_, -1, LVNI_SELECTED);
}

void CPartsPane::ShowItems(std::vector<Item> items, bool keepEarly) {
    filling_ = true;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    items_ = std::move(items);
    ListView_SetItemCountEx(list_, 0, 0);
    if (!keepEarly && early_ != nullptr) {
        early_.reset();
        ResetImages();
    }
    // The slots of parts shown before stay for the next search; a list of new images
    // starts afresh.
    if (images_ == nullptr || slots_.size() > MAX_IMAGE_SLOTS) ResetImages();
    ApplyView();
    ListView_SetItemCountEx(list_, static_cast<int>(items_.size()), 0);
    // Laid out again once the list has taken in the new count: the scroll bar it may now
    // need narrows the room (Wine's list lays the icons out for the width before).
    PostMessageW(list_, LVM_ARRANGE, LVA_DEFAULT, 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    filling_ = false;
    if (countChanged) countChanged();
}

ArgbImage CPartsPane::ItemImage(const Item& item) {
    const CExtraThumbnails::Kind kind = KindOf(mode_);
    if (item.early) {
        if (early_ == nullptr || item.image < 0) return {};
        const auto index = static_cast<size_t>(item.image);
        switch (kind) {
            case CExtraThumbnails::Kind::Large:
                return early_->LargeImage(index);
            case CExtraThumbnails::Kind::Small:
                return early_->SmallImage(index);
            default:
                return {};
        }
    }
    if (item.entry == nullptr) {
        // A gone part has no drawing: the list's background, opaque (a clear image shows
        // black in an image list without a mask).
        const int32_t side = CExtraThumbnails::LogicalSide(kind) * ThumbnailRatio(WindowDpi(list_));
        const uint32_t bg = GetDocument().Settings().colours.Get(ColourKey::BG) & COLOUR_RGB_MASK;
        ArgbImage blank;
        blank.width = side;
        blank.height = side;
        blank.pixels.assign(
            static_cast<size_t>(side) * static_cast<size_t>(side),
            0xFF000000u | ((bg & 0xFFu) << 16) | (bg & 0xFF00u) | ((bg >> 16) & 0xFFu));
        return blank;
    }
    const int32_t ratio = ThumbnailRatio(WindowDpi(list_));
    ArgbImage image = store_.ExtraImage(kind, ratio, item.image, item.entry);
    if (!image.IsNull() || kind == CExtraThumbnails::Kind::ExtraLarge) return image;
    const CPackedImages& list =
        kind == CExtraThumbnails::Kind::Large ? store_.Images().large : store_.Images().smallImage;
    if (item.image < 0 || static_cast<size_t>(item.image) >= list.Count()) return {};
    return list.Image(static_cast<size_t>(item.image));
}

void CPartsPane::ResetImages() {
    const int32_t ratio = ThumbnailRatio(WindowDpi(list_));
    imageSide_ = CExtraThumbnails::LogicalSide(KindOf(mode_)) * ratio;
    HIMAGELIST images = ImageList_Create(imageSide_, imageSide_, ILC_COLOR32, 64, 64);
    const bool icons = mode_ == MODE_LARGE || mode_ == MODE_XLARGE;
    ListView_SetImageList(list_, icons ? images : nullptr, LVSIL_NORMAL);
    ListView_SetImageList(list_, icons ? nullptr : images, LVSIL_SMALL);
    if (images_ != nullptr) ImageList_Destroy(images_);
    images_ = images;
    slots_.clear();
}

void CPartsPane::ApplyView() {
    const UINT dpi = WindowDpi(list_);
    const int side = imageSide_;
    const bool icons = mode_ == MODE_LARGE || mode_ == MODE_XLARGE;
    const int view = mode_ == MODE_LIST ? LV_VIEW_LIST : (icons ? LV_VIEW_ICON : LV_VIEW_SMALLICON);
    SendMessageW(list_, LVM_SETVIEW, view, 0);
    if (icons) {
        // Room for the image and two lines of name.
        const int pad = ScaleToDpi(12, dpi);
        const int width = std::max(side + pad, ScaleToDpi(mode_ == MODE_XLARGE ? 150 : 90, dpi));
        ListView_SetIconSpacing(list_, width, side + pad + ScaleToDpi(30, dpi));
    } else if (mode_ == MODE_LIST) {
        ListView_SetColumnWidth(list_, 0, side + ScaleToDpi(130, dpi));
    }
}

int CPartsPane::ImageSlot(int row) {
    const Item& item = items_[static_cast<size_t>(row)];
    int64_t key = item.image;
    if (item.early) {
        key = KEY_FIRST_EARLY - item.image;
    } else if (item.entry == nullptr) {
        key = KEY_GONE;
    }
    if (const auto found = slots_.find(key); found != slots_.end()) return found->second;
    // Drawn only for the rows the list paints: a library's thousand parts cost only those
    // on screen.
    AddToImageList(images_, ItemImage(item), imageSide_, imageSide_);
    const int slot = ImageList_GetImageCount(images_) - 1;
    slots_.emplace(key, slot);
    return slot;
}

void CPartsPane::SetMode(int mode) {
    if (mode < 0) return;
    const int top = TopItem();
    mode_ = mode;
    filling_ = true;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ResetImages();
    ApplyView();
    ListView_SetItemCountEx(list_, static_cast<int>(items_.size()), LVSICF_NOSCROLL);
    PostMessageW(list_, LVM_ARRANGE, LVA_DEFAULT, 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    filling_ = false;
    ScrollTo(top);
}

void CPartsPane::OnDpiChanged() {
    SetMode(mode_);
}

int CPartsPane::TopItem() const {
    RECT client{};
    GetClientRect(list_, &client);
    for (int row = 0; row < ItemCount(); ++row) {
        RECT r{};
        RECT both{};
        if (ListView_GetItemRect(list_, row, &r, LVIR_BOUNDS) &&
            IntersectRect(&both, &r, &client)) {
            return row;
        }
    }
    return 0;
}

void CPartsPane::ScrollTo(int row) {
    if (row < 0 || row >= ItemCount()) return;
    RECT r{};
    if (!ListView_GetItemRect(list_, row, &r, LVIR_BOUNDS)) return;
    ListView_Scroll(list_, r.left, mode_ == MODE_LIST ? 0 : r.top);
}

void CPartsPane::SelectRow(int row) {
    if (row < 0 || row >= ItemCount()) return;
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, row, FALSE);
}

void CPartsPane::FocusSearch() {
    SetFocus(search_);
    SendMessageW(search_, EM_SETSEL, 0, -1);
}

bool CPartsPane::Drag(int row, POINT at, bool click) {
    if (row < 0 || row >= ItemCount() || items_[row].entry == nullptr) return false;
    CQurixDoc& doc = GetDocument();
    const Item& item = items_[row];
    const CPartLibrary* library = item.library != nullptr ? item.library : doc.CurrentLibrary();
    // Copies: the drag runs messages, and nothing may refer into the libraries then.
    const std::string path = library != nullptr ? library->Path() : "";
    const std::string name(item.entry->Name());
    std::string block;
    const CWinePaths editorPaths = ConfiguredPaths(doc.Profile(), doc.ConfigFolder());
    const DragRefusal refusal = MakePartDragBlock(path, name, block, &editorPaths);
    if (refusal != DragRefusal::None) {
        doc.ShowStatus(DragRefusalText(refusal));
        return false;
    }
    const ArgbImage image = ItemImage(item);
    RECT icon{};
    ListView_GetItemRect(list_, row, &icon, LVIR_ICON);
    if (click) at = POINT{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    // The image sits centred in the icon's rectangle.
    const int left = (icon.left + icon.right - image.width) / 2;
    const int top = (icon.top + icon.bottom - image.height) / 2;
    POINT hot{std::clamp<LONG>(at.x - left, 0, std::max(0, image.width - 1)),
              std::clamp<LONG>(at.y - top, 0, std::max(0, image.height - 1))};
    tips_->Hide();
    if (click) doc.ShowStatus(texts::PLACING);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = RunPartDrag(block, image, hot, click, &effect);
    if (click) doc.ShowStatus("");
    // By the copies: the row may have gone with the messages the drag ran.
    const bool taken = DropAccepted(result, effect);
    if (taken && dropped) dropped(PartKey{path, name});
    return taken;
}

std::wstring CPartsPane::TipText(int row) const {
    if (row < 0 || row >= ItemCount()) return {};
    const Item& item = items_[row];
    if (item.entry == nullptr) return item.gone;
    const CPartLibrary* library = item.library != nullptr ? item.library : item.shown;
    return EditText(PartToolTip(ReadableText(item.entry->Name()), *item.entry, library));
}

void CPartsPane::ClearSearch() {
    if (GetWindowTextLengthW(search_) > 0) SetWindowTextW(search_, L"");
}

void CPartsPane::ShowCount() {
    // The count is a permanent field of the status bar, never its message.
    if (countChanged) countChanged();
}

void CPartsPane::OnSearchChanged() {
    CQurixDoc& doc = GetDocument();
    const int length = GetWindowTextLengthW(search_);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(search_, wide.data(), length + 1);
    wide.resize(static_cast<size_t>(length));
    const std::string query = Narrow(wide);
    if (query.find_first_not_of(" \t\u3000") == std::string::npos ||
        wide.find_first_not_of(L" \t\u3000") == std::wstring::npos) {
        preparing_ = false;
        if (searching_) {
            searching_ = false;
            if (kept_ != LibraryRowKind::None) {
                // A search started from a part list returns to that list.
                ShowItems({});
                if (keptStale) keptStale();
                ShowCount();
                return;
            }
            ShowLibrary(doc.CurrentLibrary());
            // The part picked among the results stays picked in its library.
            for (int row = 0; row < ItemCount(); ++row) {
                if (items_[row].entry == doc.CurrentEntry()) {
                    SelectRow(row);
                    break;
                }
            }
        }
        ShowCount();
        return;
    }
    if (!doc.IsLoaded()) return;
    if (shown_ != nullptr) memory_.Remember(shown_, TopItem());
    shown_ = nullptr;
    searching_ = true;
    std::vector<SearchHit> hits;
    CUiHost* host = doc.Host();
    preparing_ = !search_index_.Find(doc.Libraries(), query, hits, [this, host] {
        // On the worker: searched again on the window's thread with what is typed then.
        if (host != nullptr) host->Post([this] { OnSearchChanged(); });
    });
    // Favourites, then recent parts, first within each rank group.
    PreferKeptParts(hits, doc.history);
    std::vector<ListedPart> listed;
    listed.reserve(hits.size());
    for (const SearchHit& hit : hits) listed.push_back({hit.library, hit.part});
    // The same part in two libraries: each result names its library after its name (an
    // icon's label wraps it under the name).
    const std::vector<PartsListItem> shown = CPartsList::ListedItems(listed, store_);
    std::vector<ListedPart> kept;
    for (const PartsListItem& item : shown) kept.push_back({item.library, item.entry});
    const std::vector<bool> naming = ResultsNamingLibrary(kept);
    std::vector<Item> items;
    for (size_t i = 0; i < shown.size(); ++i) {
        std::wstring text = DisplayText(shown[i].entry->Name());
        if (naming[i]) text += Widen(LibrarySuffix(*shown[i].library, true));
        items.push_back({shown[i], std::move(text), {}});
    }
    ShowItems(std::move(items));
    ShowCount();
}

LRESULT CALLBACK CPartsPane::SearchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR data) {
    auto* self = reinterpret_cast<CPartsPane*>(data);
    // Enter or Down: into the results, at the first one.
    if (message == WM_KEYDOWN && (wParam == VK_DOWN || wParam == VK_RETURN)) {
        if (self->ItemCount() > 0) {
            SetFocus(self->list_);
            if (ListView_GetNextItem(self->list_, -1, LVNI_SELECTED) < 0) self->SelectRow(0);
        }
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        self->ClearSearch();
        return 0;
    }
    // No beep for the keys taken above.
    if (message == WM_CHAR && (wParam == VK_ESCAPE || wParam == VK_RETURN)) return 0;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CPartsPane::OnNotify(NMHDR* header, bool& handled) {
    handled = true;
    switch (header->code) {
        case LVN_GETDISPINFOW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
            const int row = info->item.iItem;
            if (row < 0 || row >= ItemCount()) return 0;
            if ((info->item.mask & LVIF_TEXT) != 0) {
                lstrcpynW(info->item.pszText, items_[row].text.c_str(), info->item.cchTextMax);
            }
            if ((info->item.mask & LVIF_IMAGE) != 0) info->item.iImage = ImageSlot(row);
            return 0;
        }
        case LVN_ITEMCHANGING: {
            // Items listed before the load are only a picture of the list to come.
            const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            const int row = change->iItem;
            const bool early = row >= 0 && row < ItemCount() && items_[row].early;
            return early && (change->uNewState & LVIS_SELECTED) != 0 ? TRUE : FALSE;
        }
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            if (filling_ || (change->uChanged & LVIF_STATE) == 0) return 0;
            if (change->iItem >= 0 && change->iItem < ItemCount() && items_[change->iItem].early) {
                // Wine asks no owner-data list whether a selection may change.
                if ((change->uNewState & LVIS_SELECTED) != 0) {
                    ListView_SetItemState(list_, change->iItem, 0, LVIS_SELECTED);
                }
                return 0;
            }
            if ((change->uNewState & LVIS_SELECTED) == 0 ||
                (change->uOldState & LVIS_SELECTED) != 0) {
                return 0;
            }
            const int row = change->iItem;
            if (row < 0 || row >= ItemCount()) return 0;
            // A gone part is only there to be removed: it says why it is gone.
            if (items_[row].entry == nullptr) {
                GetDocument().ShowStatus(Narrow(items_[row].gone));
                return 0;
            }
            CQurixDoc& doc = GetDocument();
            // No gone part's reason stays for another part.
            if (kept_ != LibraryRowKind::None) doc.ShowStatus("");
            doc.SetCurrentEntry(items_[row].entry);
            // A listed part brings its library with it.
            if (items_[row].library != nullptr) doc.SetCurrentLibrary(items_[row].library);
            doc.UpdateAllViews(this);
            return 0;
        }
        case LVN_BEGINDRAG: {
            const auto* drag = reinterpret_cast<NMLISTVIEW*>(header);
            Drag(drag->iItem, drag->ptAction, false);
            return 0;
        }
        case LVN_KEYDOWN: {
            const auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
            if (key->wVKey == VK_ESCAPE && searching_) ClearSearch();
            if (keyDown) keyDown(key->wVKey);
            return 0;
        }
        case NM_RETURN:
        case NM_DBLCLK: {
            // Placed once the list has finished with the key or the click.
            const int row = SelectedRow();
            CUiHost* host = GetDocument().Host();
            if (row >= 0 && activated && host != nullptr) {
                host->Post([this, row] {
                    if (activated) activated(row);
                });
            }
            return 0;
        }
        case NM_CUSTOMDRAW: {
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
            if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
            const auto row = static_cast<int>(draw->nmcd.dwItemSpec);
            if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && row >= 0 && row < ItemCount() &&
                items_[row].entry == nullptr && !items_[row].early) {
                draw->clrText = GetSysColor(COLOR_GRAYTEXT);
            }
            return CDRF_DODEFAULT;
        }
        case LVN_GETEMPTYMARKUP: {
            if (!searching_) return FALSE;
            auto* markup = reinterpret_cast<NMLVEMPTYMARKUP*>(header);
            markup->dwFlags = EMF_CENTERED;
            lstrcpynW(
                markup->szMarkup,
                Widen(preparing_ ? texts::SEARCH_PREPARING : texts::SEARCH_NOTHING_FOUND).c_str(),
                L_MAX_URL_LENGTH);
            return TRUE;
        }
        default:
            handled = false;
            return 0;
    }
}

}  // namespace qurix::win32
