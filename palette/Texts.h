#pragma once
#include <cstdint>
#include <string>

#include "core/profile/Profile.h"
#include "palette/DragBlock.h"

namespace qurix {

// Every text the palette shows a person, in UTF-8, for both front ends: one place, so
// that the same thing has the same words everywhere.
namespace texts {

// One line per text, so the table reads as a table.
// clang-format off
inline constexpr const char* MENU_FILE = "ファイル(&F)";
inline constexpr const char* MENU_VIEW = "表示(&V)";
inline constexpr const char* MENU_HELP = "ヘルプ(&H)";
inline constexpr const char* CMD_RELOAD = "再読み込み(&R)";
inline constexpr const char* CMD_AUTO_RELOAD = "ライブラリの変更を自動で読み込む(&A)";
inline constexpr const char* CMD_EXIT = "アプリケーションの終了(&X)";
inline constexpr const char* CMD_LARGE = "大きいイメージ(&N)";
inline constexpr const char* TIP_LARGE = "大きいイメージ";
inline constexpr const char* CMD_SMALL = "小さいイメージ(&S)";
inline constexpr const char* TIP_SMALL = "小さいイメージ";
inline constexpr const char* CMD_LIST = "一覧(&L)";
inline constexpr const char* TIP_LIST = "一覧";
inline constexpr const char* CMD_XLARGE = "特大イメージ(&X)";
inline constexpr const char* TIP_XLARGE = "特大イメージ";
inline constexpr const char* CMD_ABOUT = "バージョン情報 (&A)...";
inline constexpr const char* ABOUT_TITLE = "バージョン情報";
inline constexpr const char* TOOLBAR = "ツール バー";
inline constexpr const char* CMD_TOOLBAR = "ツール バー(&T)";
inline constexpr const char* CMD_FIT = "ウィンドウに合わせる(&W)";
inline constexpr const char* SETTINGS_NOT_WRITABLE = "設定を保存できません: %1";
inline constexpr const char* SETTINGS_BUSY = "他のプログラムが保存中のため、設定を保存しませんでした: %1";
inline constexpr const char* SETTINGS_ENCODING = "文字コードを保てないため、設定を保存しませんでした: %1";
inline constexpr const char* SETTINGS_RESTORED = "前回中断された設定の書き込みを元に戻しました: %1";
inline constexpr const char* RELOADED = "%1 を再読み込みしました";
inline constexpr const char* LIST_SEPARATOR = "、";
inline constexpr const char* RELOADED_WITH_FAILURES = "（%1 個のライブラリを読み込めませんでした）";
inline constexpr const char* LIBRARIES_FAILED = "%1 個のライブラリを読み込めませんでした";
inline constexpr const char* LIBRARY_NOT_LOADED = "ライブラリを読み込めません";
inline constexpr const char* BLOCKS_AND_PINS = "ブロック数 %1 / ピン数 %2";
inline constexpr const char* TIP_LIBRARY = "ライブラリ: ";
inline constexpr const char* TIP_ALIAS_OF = "別名の元: ";
inline constexpr const char* SEARCH_COUNT = "%1 件";
inline constexpr const char* SEARCH_NOTHING_FOUND = "見つかりません";
inline constexpr const char* SEARCH_PREPARING = "検索の準備中…";
inline constexpr const char* SEARCH_PLACEHOLDER = "パーツを検索 (Ctrl+F)";
inline constexpr const char* LIBRARY_HEADER = "ライブラリ";
inline constexpr const char* PROGRESS_TITLE = "パーツ・ライブラリの読み込み";
inline constexpr const char* PROGRESS_MESSAGE = "パーツ・ライブラリを読み込み中です・・・";
inline constexpr const char* CANCEL = "キャンセル";
inline constexpr const char* ABOUT_VERSION = "%1 バージョン %2";
inline constexpr const char* CMD_ZOOM_IN = "拡大(&I)";
inline constexpr const char* CMD_ZOOM_OUT = "縮小(&O)";
inline constexpr const char* CMD_ZOOM_RESET = "等倍(&Z)";
inline constexpr const char* WARN_ENDS_IN_PART = "このライブラリは部品 %1 の途中で終わっています。読めたところまでを表示しています";
inline constexpr const char* WARN_ENDS_EARLY = "このライブラリは終わりの行の前で終わっています。読めたところまでを表示しています";
inline constexpr const char* WARN_KEYS_AFTER_GAP = "[Library] の途中に空のキーがあるため、%1 は読み込まれません";
inline constexpr const char* STATUS_PARTS = "%1 個のパーツ";
inline constexpr const char* STATUS_PROBLEMS = "読み込めないライブラリ: %1";
inline constexpr const char* STATUS_ZOOM = "倍率 %1";
inline constexpr const char* STATUS_ZOOM_FITTED = "倍率 %1 (合わせる)";
inline constexpr const char* ABOUT_CONFIG = "設定ファイル: %1";
inline constexpr const char* ABOUT_CACHE = "キャッシュ: %1";
inline constexpr const char* CACHE_NOT_WRITABLE = "キャッシュを保存できません。次回の起動も時間がかかります: %1";
inline constexpr const char* FIRST_START_TITLE = "KIVOX.INI が見つかりません";
inline constexpr const char* FIRST_START_LOOKED = "次の場所を探しました:";
inline constexpr const char* FIRST_START_HINT = "エディタの KIVOX.INI を選ぶと、次回からもそのファイルを使います。";
inline constexpr const char* CMD_OPEN_CONFIG = "KIVOX.INI を開く…";
inline constexpr const char* CMD_OPEN_CONFIG_MENU = "KIVOX.INI を開く(&O)…";
inline constexpr const char* OPEN_CONFIG_FILTER = "設定ファイル (*.INI *.ini);;すべてのファイル (*)";
inline constexpr const char* CONFIG_NOT_READABLE = "設定ファイルを読めません: %1";
inline constexpr const char* ABOUT_PRODUCT = "Kivox 回路図エディタのためのパーツ・パレット";

inline constexpr const char* DRAG_NO_LIBRARY = "ライブラリが選択されていないため、ドラッグできません";
inline constexpr const char* DRAG_LONG_PATH = "ライブラリのパスが %1 バイト以上あるため、ドラッグできません";
inline constexpr const char* DRAG_LONG_NAME = "部品名が %1 バイト以上あるため、ドラッグできません";
inline constexpr const char* DRAG_NOT_IN_CODE_PAGE = "ライブラリのパスにエディタのコードページで書けない文字があるため、ドラッグできません";
inline constexpr const char* DRAG_REFUSED = "この部品はドラッグできません";
// A library path that names a FIFO, socket, device or folder.
inline constexpr const char* NOT_REGULAR_FILE = "通常のファイルではありません";
// A library left out because the whole set would pass its memory budget with it.
inline constexpr const char* SET_BUDGET_EXCEEDED = "ライブラリ全体のメモリの上限を超えるため、このライブラリは読み込みません";

// The part lists above the libraries, their commands and the pin table.
inline constexpr const char* RECENT_PARTS = "最近使ったパーツ";
inline constexpr const char* FAVOURITE_PARTS = "お気に入り";
inline constexpr const char* NO_RECENT_PARTS = "まだ配置したパーツはありません";
inline constexpr const char* NO_FAVOURITE_PARTS = "お気に入りはありません (Ctrl+D で追加)";
inline constexpr const char* LIBRARY_GONE = "ライブラリが見つかりません: %1";
inline constexpr const char* PART_GONE = "ライブラリにこのパーツがありません: %1";
inline constexpr const char* MENU_PART = "パーツ(&P)";
inline constexpr const char* CMD_PLACE = "配置(&P)";
inline constexpr const char* CMD_ADD_FAVOURITE = "お気に入りに追加(&F)";
inline constexpr const char* CMD_REMOVE_FAVOURITE = "お気に入りから削除(&F)";
inline constexpr const char* CMD_MOVE_UP = "上へ(&U)";
inline constexpr const char* CMD_MOVE_DOWN = "下へ(&W)";
inline constexpr const char* CMD_REMOVE_RECENT = "一覧から削除(&R)";
inline constexpr const char* CMD_COPY = "コピー(&C)";
inline constexpr const char* CMD_SHOW_LIBRARY = "ライブラリのフォルダを開く(&L)";
inline constexpr const char* PLACING = "クリックした場所に配置します (Esc で取り消し)";
inline constexpr const char* HISTORY_DAMAGED = "最近使ったパーツとお気に入りのファイルが壊れているため、読み込みませんでした: %1";
inline constexpr const char* HISTORY_NOT_SAVED = "最近使ったパーツとお気に入りを保存できません: %1";
inline constexpr const char* NOTE_TAB = "ノート";
inline constexpr const char* PINS_TAB = "ピン";
inline constexpr const char* PIN_NUMBER = "番号";
inline constexpr const char* PIN_NAME = "名前";
inline constexpr const char* PIN_SIDE = "位置";
inline constexpr const char* PIN_SIDE_LEFT = "左";
inline constexpr const char* PIN_SIDE_TOP = "上";
inline constexpr const char* PIN_SIDE_RIGHT = "右";
inline constexpr const char* PIN_SIDE_BOTTOM = "下";
// clang-format on

}  // namespace texts

// Puts arg where text says "%1" (and arg2 where it says "%2").
std::string FormatText(const char* text, const std::string& arg);
std::string FormatText(const char* text, const std::string& arg1, const std::string& arg2);

// What the status bar says when a drag is refused; empty for DragRefusal::None.
std::string DragRefusalText(DragRefusal refusal);

// Why the palette's settings were not written to the profile's file (its last write).
std::string SettingsProblemText(const CProfile& profile);
// The same naming the file as shownPath (UTF-8, as the window shows paths).
std::string SettingsProblemText(const CProfile& profile, const std::string& shownPath);

}  // namespace qurix
