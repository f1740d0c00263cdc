#pragma once
#include "ui/win32/WinApi.h"

#include <cstdint>

namespace qurix::win32 {

inline constexpr uint32_t BASE_DPI = 96;

// A size in pixels at 96 DPI as the monitor's DPI has it, rounded to the nearest pixel.
inline int32_t ScaleToDpi(int32_t pixels, uint32_t dpi) {
    if (dpi == 0) dpi = BASE_DPI;
    const int64_t scaled = int64_t{pixels} * dpi;
    const int64_t half = scaled >= 0 ? BASE_DPI / 2 : -int64_t{BASE_DPI / 2};
    return static_cast<int32_t>((scaled + half) / BASE_DPI);
}

// The whole device pixel ratio thumbnails are drawn for: 1 up to 1.5, then the nearest
// whole number (at most 16, as the drawing code allows).
inline int32_t ThumbnailRatio(uint32_t dpi) {
    if (dpi <= BASE_DPI) return 1;
    const int32_t ratio = static_cast<int32_t>((dpi + BASE_DPI / 2) / BASE_DPI);
    return ratio < 1 ? 1 : (ratio > 16 ? 16 : ratio);
}

// The system's message font for a monitor of dpi; the caller deletes it.
inline HFONT MessageFont(UINT dpi) {
    NONCLIENTMETRICSW m{};
    m.cbSize = sizeof m;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0, dpi)) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    }
    return CreateFontIndirectW(&m.lfMessageFont);
}

}  // namespace qurix::win32
