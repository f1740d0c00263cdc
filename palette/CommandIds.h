#pragma once

namespace qurix {

// The window's commands, numbered as the editor's platform numbers them; the main window
// finds its actions by these and the parts list takes the view-mode ones.
inline constexpr int ID_FILE_RELOAD = 0x8003;
// The palette's own: reload by itself when a watched file changes.
inline constexpr int ID_VIEW_AUTO_RELOAD = 0x8010;
// The palette's own: choose the KIVOX.INI to use.
inline constexpr int ID_FILE_OPEN_CONFIG = 0x8012;
// The palette's own: the preview's zoom, from any pane.
inline constexpr int ID_VIEW_ZOOM_IN = 0x8013;
inline constexpr int ID_VIEW_ZOOM_OUT = 0x8014;
inline constexpr int ID_VIEW_ZOOM_RESET = 0x8015;
inline constexpr int ID_APP_ABOUT = 0xE140;
inline constexpr int ID_APP_EXIT = 0xE141;
inline constexpr int ID_VIEW_TOOLBAR = 0xE800;
inline constexpr int ID_VIEW_SMALLICON = 0xE810;
inline constexpr int ID_VIEW_LARGEICON = 0xE811;
inline constexpr int ID_VIEW_LIST = 0xE812;
// The palette's own: the extra-large thumbnails.
inline constexpr int ID_VIEW_XLARGEICON = 0x8011;

}  // namespace qurix
