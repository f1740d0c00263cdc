#pragma once

namespace qurix {

// The window's commands, numbered as the editor's platform numbers them; the main window
// finds its actions by these and the parts list takes the view-mode ones.
inline constexpr int ID_FILE_RELOAD = 0x8003;
// The palette's own: reload by itself when a watched file changes.
inline constexpr int ID_VIEW_AUTO_RELOAD = 0x8010;
inline constexpr int ID_APP_ABOUT = 0xE140;
inline constexpr int ID_APP_EXIT = 0xE141;
inline constexpr int ID_VIEW_TOOLBAR = 0xE800;
inline constexpr int ID_VIEW_SMALLICON = 0xE810;
inline constexpr int ID_VIEW_LARGEICON = 0xE811;
inline constexpr int ID_VIEW_LIST = 0xE812;
// The palette's own: the extra-large thumbnails.
inline constexpr int ID_VIEW_XLARGEICON = 0x8011;
// The palette's own: the part commands of the menu and the parts list's context menu.
inline constexpr int ID_PART_PLACE = 0x8020;
inline constexpr int ID_PART_FAVOURITE = 0x8021;
inline constexpr int ID_PART_COPY = 0x8022;
inline constexpr int ID_PART_SHOW_LIBRARY = 0x8023;
inline constexpr int ID_PART_MOVE_UP = 0x8024;
inline constexpr int ID_PART_MOVE_DOWN = 0x8025;
inline constexpr int ID_PART_REMOVE_RECENT = 0x8026;

}  // namespace qurix
