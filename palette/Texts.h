#pragma once
#include <cstdint>
#include <string>

#include "palette/DragBlock.h"

namespace qurix {

// Every text the palette shows a person, in UTF-8, for both front ends: one place, so
// that the same thing has the same words everywhere.
namespace texts {

inline constexpr const char* DRAG_NO_LIBRARY =
    "ライブラリが選択されていないため、ドラッグできません";
inline constexpr const char* DRAG_LONG_PATH =
    "ライブラリのパスが %1 バイト以上あるため、ドラッグできません";
inline constexpr const char* DRAG_LONG_NAME = "部品名が %1 バイト以上あるため、ドラッグできません";
inline constexpr const char* DRAG_NOT_IN_CODE_PAGE =
    "ライブラリのパスにエディタのコードページで書けない文字があるため、ドラッグできません";
inline constexpr const char* DRAG_REFUSED = "この部品はドラッグできません";
// A library path that names a FIFO, socket, device or folder.
inline constexpr const char* NOT_REGULAR_FILE = "通常のファイルではありません";

}  // namespace texts

// Puts arg where text says "%1".
std::string FormatText(const char* text, const std::string& arg);

// What the status bar says when a drag is refused; empty for DragRefusal::None.
std::string DragRefusalText(DragRefusal refusal);

}  // namespace qurix
