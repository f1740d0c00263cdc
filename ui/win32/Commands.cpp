#include "ui/win32/WinApi.h"

#include "ui/win32/Commands.h"

#include "palette/CommandIds.h"
#include "palette/Texts.h"

namespace qurix::win32 {

namespace {

// As the Qt window has them; the reload item names its key after a tab. {} is a separator.
constexpr MenuItem MENU[] = {
    {0, texts::MENU_FILE, true},
    {ID_FILE_OPEN_CONFIG, texts::CMD_OPEN_CONFIG_MENU},
    {ID_FILE_RELOAD, texts::CMD_RELOAD},
    {},
    {ID_APP_EXIT, texts::CMD_EXIT},
    {0, texts::MENU_VIEW, true},
    {ID_VIEW_TOOLBAR, texts::CMD_TOOLBAR},
    {},
    {ID_VIEW_LARGEICON, texts::CMD_LARGE, false, true},
    {ID_VIEW_SMALLICON, texts::CMD_SMALL, false, true},
    {ID_VIEW_LIST, texts::CMD_LIST, false, true},
    {ID_VIEW_XLARGEICON, texts::CMD_XLARGE, false, true},
    {},
    {ID_VIEW_AUTO_RELOAD, texts::CMD_AUTO_RELOAD},
    {},
    {ID_VIEW_ZOOM_IN, texts::CMD_ZOOM_IN},
    {ID_VIEW_ZOOM_OUT, texts::CMD_ZOOM_OUT},
    {ID_VIEW_ZOOM_RESET, texts::CMD_ZOOM_RESET},
    {ID_VIEW_FIT, texts::CMD_FIT},
    {0, texts::MENU_HELP, true},
    {ID_APP_ABOUT, texts::CMD_ABOUT},
};

constexpr Accelerator KEYS[] = {
    {'R', true, false, ID_FILE_RELOAD},
    {'F', true, false, ID_EDIT_FIND},
    {VK_F6, false, false, ID_NEXT_PANE},
    {VK_F6, false, true, ID_PREV_PANE},
    // The zoom from any pane. + and = share a key on US keyboards; on Japanese ones + is
    // Shift with the ; key (VK_OEM_PLUS) and = is Shift with -. The keypad's keys too.
    {VK_OEM_PLUS, true, false, ID_VIEW_ZOOM_IN},
    {VK_OEM_PLUS, true, true, ID_VIEW_ZOOM_IN},
    {VK_OEM_MINUS, true, true, ID_VIEW_ZOOM_IN},
    {VK_ADD, true, false, ID_VIEW_ZOOM_IN},
    {VK_OEM_MINUS, true, false, ID_VIEW_ZOOM_OUT},
    {VK_SUBTRACT, true, false, ID_VIEW_ZOOM_OUT},
    {'0', true, false, ID_VIEW_ZOOM_RESET},
    {VK_NUMPAD0, true, false, ID_VIEW_ZOOM_RESET},
    {'D', true, false, ID_PART_FAVOURITE},
    {VK_UP, false, false, ID_PART_MOVE_UP, true},
    {VK_DOWN, false, false, ID_PART_MOVE_DOWN, true},
};

constexpr ToolButton BUTTONS[] = {
    {ID_VIEW_LARGEICON, texts::TIP_LARGE, 0},
    {ID_VIEW_SMALLICON, texts::TIP_SMALL, 1},
    {ID_VIEW_LIST, texts::TIP_LIST, 2},
    {ID_VIEW_XLARGEICON, texts::TIP_XLARGE, 3},
    {0, nullptr, -1},
    {ID_APP_ABOUT, texts::ABOUT_TITLE, 4},
};

}  // namespace

std::span<const MenuItem> MenuItems() {
    return MENU;
}

std::span<const Accelerator> Accelerators() {
    return KEYS;
}

const wchar_t* KeyText(int id) {
    switch (id) {
        case ID_FILE_RELOAD:
            return L"Ctrl+R";
        case ID_VIEW_ZOOM_IN:
            return L"Ctrl++";
        case ID_VIEW_ZOOM_OUT:
            return L"Ctrl+-";
        case ID_VIEW_ZOOM_RESET:
            return L"Ctrl+0";
        default:
            return nullptr;
    }
}

std::span<const ToolButton> ToolButtons() {
    return BUTTONS;
}

}  // namespace qurix::win32
