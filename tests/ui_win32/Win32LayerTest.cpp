// What the Win32 front end decides itself: text conversion, DPI scaling, the command
// tables and the GDI canvas's pixels. Runs under Wine.
#include "ui/win32/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>
#include <tuple>

#include "palette/CommandIds.h"
#include "palette/Texts.h"
#include "ui/win32/Bitmaps.h"
#include "ui/win32/Commands.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/PartCommands.h"
#include "ui/win32/WinText.h"

namespace qurix::win32 {
namespace {

TEST(WinTextTest, Utf8RoundTripsThroughUtf16) {
    const struct {
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"", L""},
        {"R_IEC", L"R_IEC"},
        {texts::MENU_FILE, L"ファイル(&F)"},
        {texts::CANCEL, L"キャンセル"},
        // Outside the basic plane: a surrogate pair.
        {"\xF0\x9F\x94\x8C", L"\xD83D\xDD0C"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Widen(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(Narrow(c.wide), c.utf8) << c.utf8;
    }
}

TEST(WinTextTest, ShiftJisAndLineBreaks) {
    // "抵抗" in CP932, as library files hold it.
    EXPECT_EQ(FromCodePage("\x92\xEF\x8D\x52", 932), L"抵抗");
    EXPECT_EQ(EditText("a\nb"), L"a\r\nb");
    EXPECT_EQ(Format(texts::SEARCH_COUNT, "12"), L"12 件");
}

TEST(DpiTest, ScalesSizesAndPicksThumbnailRatios) {
    const struct {
        int32_t pixels;
        uint32_t dpi;
        int32_t scaled;
        int32_t ratio;
    } cases[] = {
        {160, 96, 160, 1}, {160, 120, 200, 1},   {160, 144, 240, 2}, {160, 192, 320, 2},
        {3, 120, 4, 1},    {1, 144, 2, 2},       {-5, 192, -10, 2},  {100, 0, 100, 1},
        {64, 288, 192, 3}, {64, 2000, 1333, 16},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScaleToDpi(c.pixels, c.dpi), c.scaled) << c.pixels << " at " << c.dpi;
        EXPECT_EQ(ThumbnailRatio(c.dpi), c.ratio) << c.dpi;
    }
}

TEST(CommandsTest, MenusHaveTheLinuxPalettesItems) {
    std::vector<std::string> popups;
    std::set<int> ids;
    for (const MenuItem& item : MenuItems()) {
        if (item.popup) popups.push_back(item.text);
        if (item.id != 0) {
            EXPECT_TRUE(ids.insert(item.id).second) << item.id;
        }
        if (item.radio) {
            EXPECT_GE(ModeOfCommand(item.id), 0) << item.id;
        }
    }
    EXPECT_EQ(popups, (std::vector<std::string>{"ファイル(&F)", "表示(&V)", "ヘルプ(&H)"}));
    for (const int id : std::initializer_list<int>{
             ID_FILE_RELOAD, ID_APP_EXIT, ID_VIEW_TOOLBAR, ID_VIEW_LARGEICON, ID_VIEW_SMALLICON,
             ID_VIEW_LIST, ID_VIEW_XLARGEICON, ID_VIEW_AUTO_RELOAD, ID_VIEW_FIT, ID_APP_ABOUT,
             ID_FILE_OPEN_CONFIG, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_RESET}) {
        EXPECT_EQ(ids.count(id), 1u) << id;
    }
    // Every toolbar button is also a menu command.
    for (const ToolButton& b : ToolButtons()) {
        if (b.id != 0) {
            EXPECT_EQ(ids.count(b.id), 1u) << b.id;
        }
    }
}

TEST(CommandsTest, KeysAndModes) {
    // No key does two things, and each reaches a command the window knows.
    std::set<std::tuple<uint16_t, bool, bool, bool>> keys;
    std::set<int> commands{ID_NEXT_PANE, ID_PREV_PANE, ID_EDIT_FIND};
    for (const MenuItem& item : MenuItems()) commands.insert(item.id);
    for (const PartMenuItem& item : PartMenuItems()) commands.insert(item.id);
    for (const Accelerator& a : Accelerators()) {
        EXPECT_TRUE(keys.insert({a.key, a.ctrl, a.shift, a.alt}).second) << a.key;
        EXPECT_EQ(commands.count(a.id), 1u) << a.id;
    }
    // The zoom keys as Japanese keyboards type them: + is Shift with ;, = is Shift with -.
    const auto command = [](uint16_t key, bool shift) {
        for (const Accelerator& a : Accelerators()) {
            if (a.key == key && a.ctrl && a.shift == shift && !a.alt) return a.id;
        }
        return 0;
    };
    EXPECT_EQ(command(VK_OEM_PLUS, true), ID_VIEW_ZOOM_IN);
    EXPECT_EQ(command(VK_OEM_MINUS, true), ID_VIEW_ZOOM_IN);
    EXPECT_EQ(command(VK_OEM_MINUS, false), ID_VIEW_ZOOM_OUT);
    EXPECT_EQ(command('0', false), ID_VIEW_ZOOM_RESET);
    // "parts_style" numbers: 0 large, 2 small, 3 list, 4 extra-large; 1 has no command.
    for (const int mode : {0, 2, 3, 4}) EXPECT_EQ(ModeOfCommand(CommandOfMode(mode)), mode);
    EXPECT_EQ(CommandOfMode(1), 0);
    EXPECT_EQ(ModeOfCommand(ID_APP_ABOUT), -1);
}

TEST(BitmapsTest, ImageListsKeepOneImagePerItem) {
    HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR32, 3, 0);
    ASSERT_NE(list, nullptr);
    ArgbImage fits{4, 4, std::vector<uint32_t>(16, 0xFF102030u)};
    ArgbImage other{2, 2, std::vector<uint32_t>(4, 0xFF102030u)};
    AddToImageList(list, fits, 4, 4);
    AddToImageList(list, other, 4, 4);  // in as a clear image
    AddToImageList(list, ArgbImage{}, 4, 4);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    ImageList_Destroy(list);
}

}  // namespace
}  // namespace qurix::win32
