// The palette's placing features in the native window, on a copy of the samples: the two
// part lists above the libraries, the part commands in the パーツ menu, and the note pane's
// pin page. Needs a display (Xvfb); skipped without one.
#include "ui/win32/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/CommandIds.h"
#include "palette/KeptParts.h"
#include "palette/PinTable.h"
#include "tests/ui_win32/SampleWindow.h"
#include "ui/win32/Commands.h"
#include "ui/win32/DragSource.h"
#include "ui/win32/PartCommands.h"
#include "ui/win32/PinPage.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {
namespace {

using test::Select;
using PlaceFeaturesTest = test::SampleWindow;

std::wstring ItemText(HWND list, int row, int column = 0) {
    wchar_t text[256] = {};
    ListView_GetItemText(list, row, column, text, 256);
    return text;
}

// Each item's id and whether it is enabled.
using MenuItems = std::vector<std::pair<int, bool>>;

// The パーツ menu as it opens.
MenuItems PartMenu(HWND frame) {
    HMENU bar = GetMenu(frame);
    HMENU part = nullptr;
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(bar, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        if (std::wstring(text) == Widen("パーツ(&P)")) part = GetSubMenu(bar, i);
    }
    MenuItems items;
    if (part == nullptr) return items;
    SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(part), 0);
    for (int i = 0; i < GetMenuItemCount(part); ++i) {
        const UINT state = GetMenuState(part, static_cast<UINT>(i), MF_BYPOSITION);
        items.emplace_back(static_cast<int>(GetMenuItemID(part, i)), (state & MF_GRAYED) == 0);
    }
    return items;
}

TEST(PartCommandsTest, MenuItemsAreTheLinuxPalettesWithTheirKeys) {
    const std::vector<int> ids{
        ID_PART_PLACE,   ID_PART_FAVOURITE, ID_PART_COPY,         ID_PART_SHOW_LIBRARY, 0,
        ID_PART_MOVE_UP, ID_PART_MOVE_DOWN, ID_PART_REMOVE_RECENT};
    std::vector<int> got;
    for (const PartMenuItem& item : PartMenuItems()) got.push_back(item.id);
    EXPECT_EQ(got, ids);
    // The window's own commands keep clear of the part commands' numbers.
    for (const int own : {ID_VIEW_FIT, ID_EDIT_FIND, ID_NEXT_PANE, ID_PREV_PANE}) {
        EXPECT_TRUE(own < ID_PART_PLACE || own > ID_PART_REMOVE_RECENT) << own;
    }
}

TEST(PartCommandsTest, OnlyAcceptedDropsCount) {
    const struct {
        HRESULT result;
        DWORD effect;
        bool taken;
    } cases[] = {
        {DRAGDROP_S_DROP, DROPEFFECT_COPY, true},  {DRAGDROP_S_DROP, DROPEFFECT_MOVE, true},
        {DRAGDROP_S_DROP, DROPEFFECT_NONE, false}, {DRAGDROP_S_CANCEL, DROPEFFECT_COPY, false},
        {E_UNEXPECTED, DROPEFFECT_COPY, false},
    };
    for (const auto& c : cases) EXPECT_EQ(DropAccepted(c.result, c.effect), c.taken) << c.result;
}

TEST_F(PlaceFeaturesTest, KeptRowsPartCommandsAndPinPage) {
    if (!Open("user/parts-history.txt")) GTEST_SKIP() << "no display for a top-level window";
    CMainWindow& frame = *this->frame;
    CQurixDoc& doc = *this->doc;
    HWND libraries = GetDlgItem(frame.Hwnd(), ID_LIBRARY_LIST);
    HWND parts = GetDlgItem(frame.Hwnd(), ID_PARTS_LIST);
    HWND pins = GetDlgItem(frame.Hwnd(), ID_PINS);

    const CPartLibrary* passive = doc.Libraries().GetLibrary(0);
    const CPartLibrary* logic = doc.Libraries().GetLibrary(2);
    ASSERT_TRUE(passive != nullptr && logic != nullptr);
    const PartKey gate = KeyOfPart(logic, logic->Entry(0));
    const PartKey first = KeyOfPart(passive, passive->Entry(0));
    RecordDroppedPart(doc, gate);
    RecordDroppedPart(doc, first);
    RecordDroppedPart(doc, first);
    RecordDroppedPart(doc, {scratch.File("gone.lib"), "R9"});

    // The two lists above the libraries; the recent parts newest first, with their counts
    // and libraries, the vanished one listed without a part.
    EXPECT_EQ(ItemText(libraries, 0), Widen("最近使ったパーツ"));
    EXPECT_EQ(ItemText(libraries, 1), Widen("お気に入り"));
    Select(libraries, 0);
    ASSERT_EQ(ListView_GetItemCount(parts), 3);
    const struct {
        std::string name;
        std::wstring counted;
    } recent[] = {{"R9", L"\u00D71\u00A0gone"},
                  {first.partName, L"\u00D72\u00A0passive"},
                  {gate.partName, L"\u00D71\u00A0logic"}};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(ItemText(parts, row), Widen(recent[row].name) + L"\n" + recent[row].counted)
            << row;
    }

    // The part commands on the recent list, then on the favourites, as the menu offers them.
    Select(parts, 2);
    SendMessageW(frame.Hwnd(), WM_COMMAND, ID_PART_FAVOURITE, 0);
    Select(parts, 1);
    SendMessageW(frame.Hwnd(), WM_COMMAND, ID_PART_FAVOURITE, 0);
    EXPECT_EQ(doc.history.Favourites(), (std::vector<PartKey>{gate, first}));
    Select(parts, 0);
    EXPECT_EQ(PartMenu(frame.Hwnd()), (MenuItems{{ID_PART_PLACE, false},
                                                 {ID_PART_FAVOURITE, true},
                                                 {ID_PART_COPY, false},
                                                 {ID_PART_SHOW_LIBRARY, false},
                                                 {0, false},
                                                 {ID_PART_REMOVE_RECENT, true}}));
    SendMessageW(frame.Hwnd(), WM_COMMAND, ID_PART_REMOVE_RECENT, 0);
    EXPECT_EQ(ListView_GetItemCount(parts), 2);

    Select(libraries, 1);
    ASSERT_EQ(ListView_GetItemCount(parts), 2);
    Select(parts, 1);
    EXPECT_EQ(PartMenu(frame.Hwnd()), (MenuItems{{ID_PART_PLACE, true},
                                                 {ID_PART_FAVOURITE, true},
                                                 {ID_PART_COPY, true},
                                                 {ID_PART_SHOW_LIBRARY, true},
                                                 {0, false},
                                                 {ID_PART_MOVE_UP, true},
                                                 {ID_PART_MOVE_DOWN, false}}));
    SendMessageW(frame.Hwnd(), WM_COMMAND, ID_PART_MOVE_UP, 0);
    EXPECT_EQ(doc.history.Favourites(), (std::vector<PartKey>{first, gate}));
    EXPECT_EQ(ItemText(parts, 0), Widen(first.partName) + L"\npassive");
    // Kept across runs in the palette's own file.
    CPartHistory again;
    ASSERT_EQ(again.Load(doc.historyPath), CPartHistory::LoadResult::Loaded);
    EXPECT_EQ(again.Favourites(), doc.history.Favourites());
    EXPECT_EQ(again.Recent().size(), 2u);

    // Copy: the drop's block and the name as text.
    Select(parts, 1);
    SendMessageW(frame.Hwnd(), WM_COMMAND, ID_PART_COPY, 0);
    ASSERT_TRUE(OpenClipboard(frame.Hwnd()));
    HANDLE block = GetClipboardData(PartsInfoFormat());
    HANDLE name = GetClipboardData(CF_UNICODETEXT);
    EXPECT_EQ(block != nullptr ? GlobalSize(block) : 0u, 520u);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(name))), Widen(gate.partName));
    GlobalUnlock(name);
    CloseClipboard();

    // The pin page: the selected part's pins, sortable; a row marks its pin in the preview.
    const CLibEntry* entry = doc.CurrentEntry();
    ASSERT_NE(entry, nullptr);
    std::vector<PinRow> rows = PinRows(*entry, 0);
    ASSERT_EQ(ListView_GetItemCount(pins), static_cast<int>(rows.size()));
    SortPinRows(rows, PinColumn::Name, true);
    NMLISTVIEW click{};
    click.hdr.hwndFrom = pins;
    click.hdr.idFrom = ID_PINS;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 1;
    SendMessageW(frame.Hwnd(), WM_NOTIFY, ID_PINS, reinterpret_cast<LPARAM>(&click));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        EXPECT_EQ(ItemText(pins, row, 0), DisplayText(rows[static_cast<size_t>(row)].number));
        EXPECT_EQ(ItemText(pins, row, 1), DisplayText(rows[static_cast<size_t>(row)].name));
    }
    Select(pins, 2);
    EXPECT_EQ(frame.Preview().MarkedPin(), rows[2].pin);
    // Another part starts with no pin marked.
    Select(libraries, LibraryListRow(3));
    Select(parts, 0);
    EXPECT_EQ(frame.Preview().MarkedPin(), -1);
    // A part list chosen last leaves the library chosen before it as the one to restore.
    Select(libraries, 1);

    Close();
    // The part lists take no library number.
    EXPECT_NE(scratch.Read("KIVOX.INI").find("plib_last=3"), std::string::npos);
}

}  // namespace
}  // namespace qurix::win32
