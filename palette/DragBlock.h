#pragma once
#include <cstddef>
#include <string>

#include "core/platform/WinePaths.h"

namespace qurix {

// A dragged part travels to the editor as one 520-byte block: the library's path in
// the first 260 bytes and the part's name in the next 260, each NUL-terminated and
// zero-filled behind the NUL. No length, version or checksum: the editor reads it as is.
inline constexpr std::size_t DRAG_FIELD_SIZE = 260;
inline constexpr std::size_t DRAG_BLOCK_SIZE = 2 * DRAG_FIELD_SIZE;

// The registered format name, and the same name as Qt spells a Windows clipboard format
// (on X11 each is a drag target; on Windows the bare name is the native format).
inline constexpr const char* PARTS_INFO_FORMAT = "KivoxPartsInfo";
inline constexpr const char* PARTS_INFO_WINDOWS_FORMAT =
    "application/x-qt-windows-mime;value=\"KivoxPartsInfo\"";

// Fills block with the 520 bytes. False, with block emptied, when a text does not fit
// its field (260 bytes or more), is empty, or holds a NUL byte: the editor would read
// a different path or part than the one dragged, so such a drag is refused, not cut.
bool MakeDragBlock(const std::string& libraryPath, const std::string& partName, std::string& block);

// Reads a received block. A block may be longer than 520 bytes (platforms round
// allocations up); the extra bytes are ignored. False when it is shorter or a field
// has no NUL. zeroPadded (optional) tells whether every byte after each NUL is zero.
bool DecodeDragBlock(const std::string& block, std::string& libraryPath, std::string& partName,
                     bool* zeroPadded = nullptr);

// Why a part cannot be dragged: the editor would read another path or part than the
// one dragged, so such a drag is refused, not cut.
enum class DragRefusal { None, NoLibrary, LongPath, LongName, NotInCodePage, Other };

// The block for dragging partName of the library at libraryPath (empty when there is
// none), or why there is none. With editorPaths, the block names the library the way the
// editor opens it: on Linux, where the editor runs under Wine, its Windows form in the
// editor's code page (CWinePaths::ToWindows); elsewhere the path as it is.
DragRefusal MakePartDragBlock(const std::string& libraryPath, const std::string& partName,
                              std::string& block, const CWinePaths* editorPaths = nullptr);

}  // namespace qurix
