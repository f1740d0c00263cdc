// A smoke test of the whole window on a copy of the samples: the panes fill from the
// document, a library and a part chosen in the lists reach the other panes, a view mode
// changes the parts list, and the close writes the settings. Needs a display (Xvfb);
// skipped without one.
#include "ui/win32/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "core/library/LibEntry.h"
#include "palette/CommandIds.h"
#include "tests/ui_win32/SampleWindow.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {
namespace {

using test::Select;
using MainWindowTest = test::SampleWindow;

std::wstring Text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

TEST_F(MainWindowTest, PanesFollowTheListsAndTheCloseKeepsTheSettings) {
    if (!Open()) GTEST_SKIP() << "no display for a top-level window";
    EXPECT_TRUE(settingsWritable);
    CMainWindow& frame = *this->frame;
    CQurixDoc& doc = *this->doc;

    HWND libraries = GetDlgItem(frame.Hwnd(), ID_LIBRARY_LIST);
    HWND parts = GetDlgItem(frame.Hwnd(), ID_PARTS_LIST);
    HWND note = GetDlgItem(frame.Hwnd(), ID_NOTE);
    // The recent parts and favourites, then passive, semiconductor, logic, analog,
    // connector, demo_sheet; the first library is shown.
    ASSERT_EQ(ListView_GetItemCount(libraries), 8);
    EXPECT_EQ(ListView_GetItemCount(parts), 24);

    // logic: 16 parts and their aliases.
    Select(libraries, 4);
    ASSERT_EQ(ListView_GetItemCount(parts), 36);
    Select(parts, 0);
    // 74HC00: four gates, its note and the blocks' count in the note pane.
    ASSERT_NE(doc.CurrentEntry(), nullptr);
    EXPECT_EQ(std::string(doc.CurrentEntry()->Name()), "74HC00");
    EXPECT_NE(Text(note).find(Widen("ブロック数 4")), std::wstring::npos);

    SendMessageW(frame.Hwnd(), WM_COMMAND, ID_VIEW_LIST, 0);
    EXPECT_EQ(SendMessageW(parts, LVM_GETVIEW, 0, 0), LV_VIEW_LIST);
    EXPECT_EQ(ListView_GetItemCount(parts), 36);

    Close();
    EXPECT_EQ(frame.Hwnd(), nullptr);
    const std::string ini = scratch.Read("KIVOX.INI");
    EXPECT_NE(ini.find("[qurix]"), std::string::npos);
    EXPECT_NE(ini.find("parts_style=3"), std::string::npos);
    EXPECT_NE(ini.find("plib_last=2"), std::string::npos);
    EXPECT_NE(ini.find("plv_width=160"), std::string::npos);
}

}  // namespace
}  // namespace qurix::win32
