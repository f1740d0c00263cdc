#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "core/elements/TextAlign.h"
#include "render/DrawMode.h"
#include "render/DrawSurface.h"
#include "render/LogFont.h"
#include "render/Scale.h"

namespace qurix {

// How a text is drawn: colour, direction, where its reference point lies (the ALIGN_* bits
// of core/elements/TextAlign.h; across at the baseline means the cell's bottom for
// DrawTextWithFont, the middle half the ascent below the top, or half the cell height for
// DrawTextWithFont) and the scale. overbars is for CTextRenderer only.
struct TextStyle {
    Colour colour = COLOUR_BLACK;
    bool vertical = false;  // turned a quarter turn, running upward
    int32_t alignment = ALIGN_ALONG_START | ALIGN_ACROSS_BASELINE;
    Scale scale = {};  // = {}: designated initializers may leave it out
    bool overbars = false;
};

// A text length meaning "up to the terminating NUL".
inline constexpr int32_t TEXT_TO_NUL = -1;

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
    // at `at` in drawing units, and returns the drawn extent in surface units. With
    // style.overbars, a byte with bit 7 set is drawn without it, under a bar (a control
    // character, or 0x7F, as a space).
    Extent DrawLabel(CDrawSurface& surface, Point at, const char* text, const TextStyle& style,
                     int32_t length = TEXT_TO_NUL);

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
// font made and dropped within the call. Drawn in style.colour when mode has DRAW_NORMAL
// or DRAW_SELECTED, else in black when it has DRAW_BLACK, else not at all; the extent is
// returned either way. Both routines stop at a NUL within length. font holds a negative
// (character) height in drawing units.
Extent DrawTextWithFont(CDrawSurface& surface, Point at, const char* text, const LogFont& font,
                        DrawMode mode, const TextStyle& style, int32_t length = TEXT_TO_NUL);

}  // namespace qurix
