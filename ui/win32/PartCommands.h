#pragma once
#include "ui/win32/WinApi.h"

#include <span>
#include <vector>

#include "palette/LibraryList.h"
#include "palette/PartHistory.h"

namespace qurix {
class CQurixDoc;
}

namespace qurix::win32 {

class CPartsPane;

// One item of the part commands' menus: the command, its text (palette/Texts.h) and the
// key it names after a tab (empty: none).
struct PartMenuItem {
    int id = 0;  // 0: a separator
    const char* text = nullptr;
    const wchar_t* key = L"";
};
// The パーツ menu and the parts list's context menu, in order.
std::span<const PartMenuItem> PartMenuItems();

// The part commands of the parts list, its context menu and the menu bar's パーツ menu:
// place (click-to-place: Enter or a double-click), favourites, copy, the library's folder,
// and the recent parts and favourites listed instead of a library. What they do is decided
// in palette/KeptParts; this shows it.
class CPartCommands {
public:
    CPartCommands(CQurixDoc& doc, CPartsPane& parts, HWND owner);

    // Lists the recent parts or the favourites, or (None) leaves them for the library.
    void ShowKeptParts(LibraryRowKind kind);
    // Lists the kept parts again (after a change, or of the view mode) while they are listed.
    void RefreshKept();
    // Fills menu with the commands as they are for the selected item.
    void FillMenu(HMENU menu);
    // The context menu at a point on the screen (-1, -1: at the selected item).
    void ShowContextMenu(POINT screen);
    // Runs a command; false for one not of these.
    bool OnCommand(int id);
    // Starts a drag with no button held of the item: its image follows the pointer, a
    // click drops it, Esc cancels. True when it was dropped.
    bool Place(int row);
    // The selected item's key (also for a kept part no longer there); empty for none.
    PartKey SelectedKey() const;

private:
    // The kept list the parts pane shows; None while it shows search results instead.
    LibraryRowKind Listed() const;
    void Copy();
    void ShowLibraryFolder();
    bool OnKey(UINT key);

    CQurixDoc& doc_;
    CPartsPane& parts_;
    HWND owner_;
    // The parts listed while a kept list is shown, row by row.
    std::vector<ResolvedPart> listed_;
};

}  // namespace qurix::win32
