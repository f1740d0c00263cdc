#pragma once
#include "ui/win32/WinApi.h"

#include <string>

#include "render/ArgbImage.h"

namespace qurix::win32 {

// Runs an OLE drag of one part: the data object offers the registered format
// "KivoxPartsInfo" as an HGLOBAL of block (the 520 bytes), with image (premultiplied
// into a drag bitmap; none when null) held at hotSpot under the pointer. Returns the
// DoDragDrop result (DRAGDROP_S_DROP, DRAGDROP_S_CANCEL or an error).
HRESULT RunPartDrag(const std::string& block, const ArgbImage& image, POINT hotSpot);

// The registered clipboard format of the block.
CLIPFORMAT PartsInfoFormat();

}  // namespace qurix::win32
