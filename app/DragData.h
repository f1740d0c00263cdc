#pragma once
#include <cstddef>
#include <memory>
#include <string>

class QMimeData;
class QPixmap;
class QPoint;
class QWidget;

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

// A private X11 target with an empty payload that completes the X11 offer to three
// targets (see MakeDragMimeData); it names the palette as the drag's source.
inline constexpr const char* X11_SOURCE_TARGET = "application/x-qurix-drag-source";

// The windowing system a drag runs on: X11 needs an offer of its own.
enum class DragPlatform { X11, Other };

// The platform of the running Qt application (X11 for Qt's "xcb").
DragPlatform CurrentDragPlatform();

// Fills block with the 520 bytes. False, with block emptied, when a text does not fit
// its field (260 bytes or more), is empty, or holds a NUL byte: the editor would read
// a different path or part than the one dragged, so such a drag is refused, not cut.
bool MakeDragBlock(const std::string& libraryPath, const std::string& partName, std::string& block);

// Reads a received block. A block may be longer than 520 bytes (platforms round
// allocations up); the extra bytes are ignored. False when it is shorter or a field
// has no NUL. zeroPadded (optional) tells whether every byte after each NUL is zero.
bool DecodeDragBlock(const std::string& block, std::string& libraryPath, std::string& partName,
                     bool* zeroPadded = nullptr);

// The block offered under both format names, on X11 with X11_SOURCE_TARGET as a third
// target. Null when the block cannot be made.
std::unique_ptr<QMimeData> MakeDragMimeData(const std::string& libraryPath,
                                            const std::string& partName, DragPlatform platform);

// The block found in received data under either name (the bare name first); false
// when neither is there.
bool TakeDragBlock(const QMimeData& data, std::string& block, std::string* formatUsed = nullptr);

// Runs a copy-only drag of the part from source and returns when it ends (dropped or
// cancelled; the outcome is not reported). pixmap is the item's image; hotSpot the
// pointer's offset inside it. False, and no drag, when the block cannot be made
// (no library, empty or oversized texts) or source is null.
bool StartPartDrag(QWidget* source, const std::string& libraryPath, const std::string& partName,
                   const QPixmap& pixmap, const QPoint& hotSpot);

}  // namespace qurix
