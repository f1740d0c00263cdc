#include "ui/win32/WinApi.h"

#include "ui/win32/Bitmaps.h"

namespace qurix::win32 {

HBITMAP ArgbBitmap(const ArgbImage& image) {
    if (image.IsNull()) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        out[i] = (image.pixels[i] >> 24) == 0 ? 0 : image.pixels[i];
    }
    return bitmap;
}

void AddToImageList(HIMAGELIST list, const ArgbImage& image, int32_t width, int32_t height) {
    ArgbImage clear;
    const ArgbImage* added = &image;
    if (image.width != width || image.height != height || image.IsNull()) {
        clear.width = width;
        clear.height = height;
        clear.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        added = &clear;
    }
    HBITMAP bitmap = ArgbBitmap(*added);
    ImageList_Add(list, bitmap, nullptr);
    if (bitmap != nullptr) DeleteObject(bitmap);
}

}  // namespace qurix::win32
