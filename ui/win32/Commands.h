#pragma once
#include "ui/win32/WinApi.h"

#include <cstdint>
#include <span>

#include "palette/CommandIds.h"

namespace qurix::win32 {

// The window's own commands besides those of palette/CommandIds.h (whose part commands
// take 0x8020 …).
inline constexpr int ID_VIEW_FIT = 0x8040;
inline constexpr int ID_EDIT_FIND = 0x8041;
inline constexpr int ID_NEXT_PANE = 0x8045;
inline constexpr int ID_PREV_PANE = 0x8046;

// One item of a menu: a command with its text (palette/Texts.h), a separator (id 0), or
// the start of a top-level menu (popup).
struct MenuItem {
    int id = 0;
    const char* text = nullptr;
    bool popup = false;
    bool radio = false;  // one of the view modes
};

// The menu bar in order: each popup followed by its items.
std::span<const MenuItem> MenuItems();

// The keys: virtual key, with Ctrl and Shift, and the command; alt: with Alt.
struct Accelerator {
    uint16_t key = 0;
    bool ctrl = false;
    bool shift = false;
    int id = 0;
    bool alt = false;
};
std::span<const Accelerator> Accelerators();
// The key a menu item names after a tab; null for none.
const wchar_t* KeyText(int id);

// The toolbar's buttons in order (0: a separator), and the icon of each in resources/.
struct ToolButton {
    int id = 0;
    const char* tip = nullptr;
    int image = -1;  // in the toolbar's strip
};
std::span<const ToolButton> ToolButtons();

}  // namespace qurix::win32
