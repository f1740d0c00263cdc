#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "render/DrawMode.h"
#include "render/DrawSurface.h"
#include "render/LogFont.h"

namespace qurix {

// Text alignment, 4 bits. Bits 0-1, along the text: the reference point at the start (0 and
// 3), the end (1) or the middle (2). Bits 2-3, across: on the baseline (0; the cell's
// bottom for DrawTextWithFont), the cell's top (1) or half the ascent below it (2, 3; half
// the cell height for DrawTextWithFont).
inline constexpr int32_t ALIGN_ALONG_MASK = 0x3;
inline constexpr int32_t ALIGN_END = 0x1;
inline constexpr int32_t ALIGN_MIDDLE = 0x2;
inline constexpr int32_t ALIGN_ACROSS_MASK = 0xC;
inline constexpr int32_t ALIGN_TOP = 0x4;
inline constexpr int32_t ALIGN_CENTRE = 0x8;

// Draws texts in one font description (the label font or the component-name font). It
// makes its horizontal and vertical fonts at the first call and again only when a call
// comes with another scale, and can draw bars over marked characters.
class CTextRenderer {
public:
    static constexpr int32_t MAX_TEXT = 1024;

    explicit CTextRenderer(const LogFont& font) : font_(font) {}
    CTextRenderer(const CTextRenderer&) = delete;
    CTextRenderer& operator=(const CTextRenderer&) = delete;

    // Draws text (length < 0: up to its NUL; at most 1024 bytes) with its reference point
    // at (x, y) in drawing units, and returns the drawn extent in surface units. With
    // overbars, a byte with bit 7 set is drawn without it, under a bar (a control
    // character, or 0x7F, as a space). Vertical text runs upward.
    Extent DrawText(CDrawSurface& surface, int32_t x, int32_t y, const char* text, int32_t length,
                    Colour colour, bool vertical, int32_t alignment, int32_t num, int32_t den,
                    bool overbars);

    const LogFont& Font() const { return font_; }
    // Characters prepared by the last call.
    int32_t Count() const { return count_; }
    bool HasFonts() const { return horizontal_ && vertical_; }
    int32_t CachedNum() const { return cachedNum_; }
    int32_t CachedDen() const { return cachedDen_; }
    // Ascent of the fonts in surface units, measured when they were made.
    int32_t Ascent() const { return ascent_; }

private:
    void MakeFonts(CDrawSurface& surface, int32_t num, int32_t den, bool vertical);

    int32_t count_ = 0;
    LogFont font_;
    std::unique_ptr<CSurfaceFont> horizontal_;
    std::unique_ptr<CSurfaceFont> vertical_;
    int32_t cachedNum_ = -1;
    int32_t cachedDen_ = -1;
    int32_t ascent_ = 0;
};

// Draws a text in its own font (a text element that names one): at most 255 bytes, the
// font made and dropped within the call. Drawn in colour when mode has DRAW_NORMAL or
// DRAW_SELECTED, else in black when it has DRAW_BLACK, else not at all; the extent is
// returned either way. Both routines stop at a NUL within length. font holds a negative (character)
// height in drawing units.
Extent DrawTextWithFont(CDrawSurface& surface, int32_t x, int32_t y, const char* text,
                        int32_t length, const LogFont& font, Colour colour, DrawMode mode,
                        bool vertical, int32_t alignment, int32_t num, int32_t den);

}  // namespace qurix
