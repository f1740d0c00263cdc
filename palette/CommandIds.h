#pragma once

namespace qurix {

// The window's commands, numbered as the editor's platform numbers them; the main window
// finds its actions by these and the parts list takes the view-mode ones.
enum CommandId : int {
    ID_FILE_RELOAD = 0x8003,
    // The palette's own: reload by itself when a watched file changes.
    ID_VIEW_AUTO_RELOAD = 0x8010,
    // The palette's own: choose the KIVOX.INI to use.
    ID_FILE_OPEN_CONFIG = 0x8012,
    // The palette's own: the preview's zoom, from any pane.
    ID_VIEW_ZOOM_IN = 0x8013,
    ID_VIEW_ZOOM_OUT = 0x8014,
    ID_VIEW_ZOOM_RESET = 0x8015,
    ID_APP_ABOUT = 0xE140,
    ID_APP_EXIT = 0xE141,
    ID_VIEW_TOOLBAR = 0xE800,
    ID_VIEW_SMALLICON = 0xE810,
    ID_VIEW_LARGEICON = 0xE811,
    ID_VIEW_LIST = 0xE812,
    // The palette's own: the extra-large thumbnails.
    ID_VIEW_XLARGEICON = 0x8011,
    // The palette's own: the part commands of the menu and the parts list's context menu.
    ID_PART_PLACE = 0x8020,
    ID_PART_FAVOURITE = 0x8021,
    ID_PART_COPY = 0x8022,
    ID_PART_SHOW_LIBRARY = 0x8023,
    ID_PART_MOVE_UP = 0x8024,
    ID_PART_MOVE_DOWN = 0x8025,
    ID_PART_REMOVE_RECENT = 0x8026,
};

// The parts list's display modes, as "parts_style" numbers them. 1, details without
// columns, has no command: the Qt list shows nothing in it, the Windows list large icons.
inline constexpr int MODE_LARGE = 0;
inline constexpr int MODE_DETAILS = 1;
inline constexpr int MODE_SMALL = 2;
inline constexpr int MODE_LIST = 3;
inline constexpr int MODE_XLARGE = 4;

struct ModeCommand {
    int mode;
    int command;
};
inline constexpr ModeCommand MODE_COMMANDS[] = {
    {MODE_LARGE, ID_VIEW_LARGEICON},
    {MODE_SMALL, ID_VIEW_SMALLICON},
    {MODE_LIST, ID_VIEW_LIST},
    {MODE_XLARGE, ID_VIEW_XLARGEICON},
};

// The "parts_style" number a view-mode command chooses; -1 for another command.
constexpr int ModeOfCommand(int id) {
    for (const ModeCommand& m : MODE_COMMANDS) {
        if (m.command == id) return m.mode;
    }
    return -1;
}

// The view-mode command of a "parts_style" number; 0 for none.
constexpr int CommandOfMode(int mode) {
    for (const ModeCommand& m : MODE_COMMANDS) {
        if (m.mode == mode) return m.command;
    }
    return 0;
}

}  // namespace qurix
