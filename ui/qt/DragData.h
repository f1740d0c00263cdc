#pragma once
#include <memory>
#include <string>

#include "palette/DragBlock.h"

class QMimeData;
class QPixmap;
class QPoint;
class QWidget;

namespace qurix {

// A private X11 target with an empty payload that completes the X11 offer to three
// targets (see MakeDragMimeData); it names the palette as the drag's source.
inline constexpr const char* X11_SOURCE_TARGET = "application/x-qurix-drag-source";

// The windowing system a drag runs on: X11 needs an offer of its own.
enum class DragPlatform { X11, Other };

// The platform of the running Qt application (X11 for Qt's "xcb").
DragPlatform CurrentDragPlatform();

// The block offered under both format names, on X11 with X11_SOURCE_TARGET as a third
// target. Null when the block cannot be made.
std::unique_ptr<QMimeData> MakeDragMimeData(const std::string& libraryPath,
                                            const std::string& partName, DragPlatform platform);

// The block found in received data under either name (the bare name first); false
// when neither is there.
bool TakeDragBlock(const QMimeData& data, std::string& block, std::string* formatUsed = nullptr);

// Runs a copy-only drag of the part from source and returns when it ends (dropped or
// cancelled). pixmap is the item's image; hotSpot the pointer's offset inside it. dropped
// (optional) tells whether the target accepted the drop. False, and no drag, when the
// block cannot be made (no library, empty or oversized texts) or source is null. Started
// with no mouse button held, the image follows the pointer and a click drops it.
bool StartPartDrag(QWidget* source, const std::string& libraryPath, const std::string& partName,
                   const QPixmap& pixmap, const QPoint& hotSpot, bool* dropped = nullptr);

}  // namespace qurix
