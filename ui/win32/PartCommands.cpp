#include "ui/win32/WinApi.h"

#include "ui/win32/PartCommands.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "core/library/LibEntry.h"
#include "core/library/PartLibrary.h"
#include "palette/CommandIds.h"
#include "palette/KeptParts.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"
#include "ui/win32/Commands.h"
#include "ui/win32/DragSource.h"
#include "ui/win32/Panes.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {

namespace {

// As the Linux palette has them; the keys work in the parts list (Ctrl+D and Alt+Up/Down
// from anywhere, by the window's accelerators).
constexpr PartMenuItem ITEMS[] = {
    {ID_PART_PLACE, texts::CMD_PLACE, L"Enter"},
    {ID_PART_FAVOURITE, texts::CMD_ADD_FAVOURITE, L"Ctrl+D"},
    {ID_PART_COPY, texts::CMD_COPY, L"Ctrl+C"},
    {ID_PART_SHOW_LIBRARY, texts::CMD_SHOW_LIBRARY, L""},
    {0, nullptr, L""},
    {ID_PART_MOVE_UP, texts::CMD_MOVE_UP, L"Alt+Up"},
    {ID_PART_MOVE_DOWN, texts::CMD_MOVE_DOWN, L"Alt+Down"},
    {ID_PART_REMOVE_RECENT, texts::CMD_REMOVE_RECENT, L"Del"},
};

// Puts bytes on the open clipboard in format; false when it could not.
bool PutOnClipboard(UINT format, const void* bytes, size_t size) {
    HGLOBAL memory = CopyToGlobal(bytes, size);
    if (memory == nullptr) return false;
    // The clipboard owns it once it took it.
    if (SetClipboardData(format, memory) != nullptr) return true;
    GlobalFree(memory);
    return false;
}

// Why a kept part is gone, naming its library's path (bytes of the code page).
std::wstring GoneText(const char* reason, const std::string& path) {
    std::wstring text = Widen(reason);
    const size_t at = text.find(L"%1");
    if (at != std::wstring::npos) text.replace(at, 2, DisplayText(path));
    return text;
}

}  // namespace

std::span<const PartMenuItem> PartMenuItems() {
    return ITEMS;
}

CPartCommands::CPartCommands(CQurixDoc& doc, CPartsPane& parts, HWND owner)
    : doc_(doc), parts_(parts), owner_(owner) {
    parts_.dropped = [this](const PartKey& key) {
        RecordDroppedPart(doc_, key);
        if (Listed() == LibraryRowKind::RecentParts) RefreshKept();
    };
    parts_.activated = [this](int row) { Place(row); };
    parts_.keyDown = [this](UINT key) { return OnKey(key); };
    parts_.keptStale = [this] { RefreshKept(); };
}

LibraryRowKind CPartCommands::Listed() const {
    return parts_.Searching() ? LibraryRowKind::None : parts_.KeptShown();
}

PartKey CPartCommands::SelectedKey() const {
    const int row = parts_.SelectedRow();
    if (row < 0) return {};
    if (Listed() != LibraryRowKind::None && row < static_cast<int>(listed_.size())) {
        return listed_[static_cast<size_t>(row)].key;
    }
    return KeyOfPart(parts_.ItemLibrary(row), parts_.ItemEntry(row));
}

void CPartCommands::ShowKeptParts(LibraryRowKind kind) {
    if (kind != LibraryRowKind::RecentParts && kind != LibraryRowKind::Favourites) {
        listed_.clear();
        parts_.LeaveKept();
        return;
    }
    parts_.ShowKept(kind, {});
    RefreshKept();
}

void CPartCommands::RefreshKept() {
    const LibraryRowKind kind = Listed();
    if (kind == LibraryRowKind::None || !doc_.IsLoaded()) return;
    const PartKey selected = SelectedKey();
    const bool recent = kind == LibraryRowKind::RecentParts;
    listed_ = recent ? ResolveRecent(doc_.history, doc_.Libraries())
                     : ResolveFavourites(doc_.history, doc_.Libraries());
    const bool icons = parts_.Mode() == MODE_LARGE || parts_.Mode() == MODE_XLARGE;
    std::vector<CPartsPane::KeptItem> items;
    items.reserve(listed_.size());
    for (const ResolvedPart& part : listed_) {
        // Under a thumbnail the use count and library go on a line of their own, the count
        // first so that a long library name cannot hide it; beside a small one, in a row.
        const std::wstring library = DisplayText(LibraryDisplayName(part.key.libraryPath));
        std::wstring text = DisplayText(part.key.partName) + (icons ? L"\n" : L" ");
        if (recent) text += L"\u00D7" + std::to_wstring(part.uses) + (icons ? L"\u00A0" : L" ");
        text += icons ? library : L"(" + library + L")";
        const char* gone = GoneReasonText(part);
        items.push_back({part.library, part.entry, std::move(text),
                         gone != nullptr ? GoneText(gone, part.key.libraryPath) : std::wstring()});
    }
    parts_.ShowKept(kind, items);
    // The part chosen before stays chosen where it still is.
    for (size_t i = 0; i < listed_.size() && !selected.libraryPath.empty(); ++i) {
        if (listed_[i].key == selected) {
            parts_.SelectRow(static_cast<int>(i));
            break;
        }
    }
}

void CPartCommands::FillMenu(HMENU menu) {
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    const int row = parts_.SelectedRow();
    const PartCommandStates states =
        PartCommandsFor(doc_.history, SelectedKey(), parts_.ItemEntry(row) != nullptr, Listed());
    for (const PartMenuItem& item : PartMenuItems()) {
        bool enabled = states.place;
        const char* text = item.text;
        switch (item.id) {
            case 0:
                if (states.showMoves || states.showRemove)
                    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
                continue;
            case ID_PART_FAVOURITE:
                enabled = states.favourite;
                if (states.isFavourite) text = texts::CMD_REMOVE_FAVOURITE;
                break;
            case ID_PART_MOVE_UP:
            case ID_PART_MOVE_DOWN:
                if (!states.showMoves) continue;
                enabled = item.id == ID_PART_MOVE_UP ? states.moveUp : states.moveDown;
                break;
            case ID_PART_REMOVE_RECENT:
                if (!states.showRemove) continue;
                enabled = states.removeRecent;
                break;
            default:
                break;
        }
        std::wstring label = Widen(text);
        if (*item.key != L'\0') label += std::wstring(L"\t") + item.key;
        AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED),
                    static_cast<UINT_PTR>(item.id), label.c_str());
    }
}

void CPartCommands::ShowContextMenu(POINT screen) {
    const HWND list = parts_.List();
    int row = -1;
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard: at the selected item.
        row = parts_.SelectedRow();
        RECT r{};
        if (row < 0 || !ListView_GetItemRect(list, row, &r, LVIR_ICON)) return;
        screen = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(list, &screen);
    } else {
        LVHITTESTINFO hit{};
        hit.pt = screen;
        ScreenToClient(list, &hit.pt);
        row = ListView_HitTest(list, &hit);
        if (row < 0) return;
        parts_.SelectRow(row);
    }
    HMENU menu = CreatePopupMenu();
    FillMenu(menu);
    const int id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x,
                                  screen.y, 0, owner_, nullptr);
    DestroyMenu(menu);
    if (id != 0) OnCommand(id);
}

bool CPartCommands::OnCommand(int id) {
    const int row = parts_.SelectedRow();
    const LibraryRowKind kind = Listed();
    switch (id) {
        case ID_PART_PLACE:
            Place(row);
            return true;
        case ID_PART_FAVOURITE:
            if (const PartKey key = SelectedKey(); !key.libraryPath.empty()) {
                ToggleFavourite(doc_, key);
                if (kind == LibraryRowKind::Favourites) RefreshKept();
            }
            return true;
        case ID_PART_COPY:
            Copy();
            return true;
        case ID_PART_SHOW_LIBRARY:
            ShowLibraryFolder();
            return true;
        case ID_PART_MOVE_UP:
        case ID_PART_MOVE_DOWN:
            if (kind == LibraryRowKind::Favourites &&
                MoveFavouriteBy(doc_, SelectedKey(), id == ID_PART_MOVE_UP ? -1 : 1)) {
                RefreshKept();
            }
            return true;
        case ID_PART_REMOVE_RECENT:
            if (kind == LibraryRowKind::RecentParts && RemoveRecentPart(doc_, SelectedKey())) {
                RefreshKept();
            }
            return true;
        default:
            return false;
    }
}

bool CPartCommands::OnKey(UINT key) {
    const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (ctrl && key == 'C') return OnCommand(ID_PART_COPY);
    if (!ctrl && key == VK_DELETE) return OnCommand(ID_PART_REMOVE_RECENT);
    return false;
}

bool CPartCommands::Place(int row) {
    if (parts_.ItemEntry(row) == nullptr) return false;
    return parts_.Drag(row, POINT{}, true);
}

void CPartCommands::Copy() {
    const int row = parts_.SelectedRow();
    if (parts_.ItemEntry(row) == nullptr) return;
    const CopiedPart copied = CopyPart(doc_, parts_.ItemLibrary(row), parts_.ItemEntry(row));
    if (copied.refusal != DragRefusal::None) {
        doc_.ShowStatus(DragRefusalText(copied.refusal));
        return;
    }
    if (!OpenClipboard(owner_)) return;
    EmptyClipboard();
    PutOnClipboard(PartsInfoFormat(), copied.block.data(), copied.block.size());
    const std::wstring name = DisplayText(copied.name);
    PutOnClipboard(CF_UNICODETEXT, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    CloseClipboard();
}

void CPartCommands::ShowLibraryFolder() {
    const int row = parts_.SelectedRow();
    const CPartLibrary* library = parts_.ItemLibrary(row);
    if (library == nullptr) return;
    // Explorer opens the library's folder with the file chosen.
    const std::wstring args = L"/select,\"" + FromCodePage(library->Path(), CP_ACP) + L"\"";
    ShellExecuteW(owner_, nullptr, L"explorer.exe", args.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace qurix::win32
