#pragma once
#include <cstdint>
#include <string>

#include "render/SurfaceFont.h"

// GDI's handle types, without windows.h (whose macros clash with our names).
struct HFONT__;

namespace qurix {

// A logical-font description made into a GDI font, with its metrics measured once.
class CGdiFont : public CSurfaceFont {
public:
    // Raised whenever a change here draws a text with other pixels.
    static constexpr int32_t TEXT_BACKEND_VERSION = 1;

    explicit CGdiFont(const LogFont& description);
    ~CGdiFont() override;
    CGdiFont(const CGdiFont&) = delete;
    CGdiFont& operator=(const CGdiFont&) = delete;

    // The faces GDI resolved (the font's and its fallback's), the cell height, and the
    // backend's version.
    std::string DrawnWith() const override;

    HFONT__* Handle() const { return font_; }
    // The same size and style in a Japanese face, for the characters the face lacks
    // (where the system links no font to it, as Wine outside a Japanese locale).
    HFONT__* Fallback() const { return fallback_; }
    int32_t Ascent() const { return ascent_; }
    int32_t CellHeight() const { return cellHeight_; }
    // The face as GDI resolved it, in UTF-8.
    const std::string& ResolvedFace() const { return resolvedFace_; }

private:
    HFONT__* font_ = nullptr;
    HFONT__* fallback_ = nullptr;
    int32_t ascent_ = 0;
    int32_t cellHeight_ = 0;
    std::string resolvedFace_;
    std::string fallbackFace_;
};

}  // namespace qurix
