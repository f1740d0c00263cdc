#pragma once
#include "ui/win32/WinApi.h"

#include <commctrl.h>

#include <cstdint>

#include "render/ArgbImage.h"

namespace qurix::win32 {

// A 32-bit top-down DIB of the image for image lists, drag images and icons: premultiplied,
// which for the palette's images (opaque, or clear where the key colour was; icons decoded
// premultiplied) only means clear pixels become 0. Null when it cannot be made.
HBITMAP ArgbBitmap(const ArgbImage& image);

// Appends image to a 32-bit image list of width x height images; an image of another size
// (or none) goes in as a clear one, so that image indices stay those of their items.
void AddToImageList(HIMAGELIST list, const ArgbImage& image, int32_t width, int32_t height);

}  // namespace qurix::win32
