#pragma once
#include <string>

#include "core/elements/MeasuredSize.h"
#include "core/elements/PatternElement.h"
#include "core/elements/TextAlign.h"
#include "core/memory/Text.h"

namespace qurix {

// A text placed in a pattern ("+TX" record): an anchor, the text bytes, its direction,
// its alignment about the anchor (TextAlign.h) and an optional font. Style, width and fill of the
// base are unused. Its box is estimated from the text length until the renderer reports the size it
// measured.
class CTextElement : public CPatternElement {
public:
    static constexpr int32_t MIN_FONT_SIZE = 4;
    static constexpr int32_t MAX_FONT_SIZE = 80;
    static constexpr int32_t DEFAULT_FONT_SIZE = 8;
    // Estimated extent per byte of text, and estimated height, while no size is known.
    static constexpr int32_t ESTIMATED_CELL = 8;

    CTextElement() = default;

    ElementKind Kind() const override { return ElementKind::Text; }
    std::unique_ptr<CPatternElement> Clone() const override;
    bool IsValid() override { return !text_.empty(); }
    void Move(int32_t dx, int32_t dy) override { position_ += Point{dx, dy}; }
    int32_t HandleCount() const override { return 1; }
    Point Handle(int32_t /*index*/) const override { return position_; }
    void SetHandle(int32_t /*index*/, int32_t x, int32_t y) override { position_ = Point{x, y}; }
    void MirrorAbout(int32_t axisX) override;
    void RotateAbout(Point centre) override;
    bool HitTest(Point p) override { return TextBox().Contains(p); }
    bool IsInside(const Rect& r) override;
    Rect Bounds() override { return TextBox(); }
    // Needs "X", "Y", a non-empty "S" and the closing "-TX".
    bool Read(CRecordReader& reader, CArena* arena = nullptr) override;
    bool Write(CRecordWriter& writer, const Point* origin = nullptr) const override;

    const Point& Position() const { return position_; }
    // True: left to right; false: turned a quarter turn, running upward.
    bool IsHorizontal() const { return horizontal_; }
    int32_t Align() const { return align_; }
    // The text bytes (NUL-terminated through c_str()).
    const CText& Text() const { return text_; }
    // Empty for the default label font.
    const CText& FontName() const { return fontName_; }
    int32_t FontSize() const { return fontSize_; }
    bool IsBold() const { return bold_; }
    bool IsItalic() const { return italic_; }
    bool IsUnderline() const { return underline_; }
    bool IsStrikeout() const { return strikeout_; }
    bool IsSizeKnown() const { return drawnSize_.IsKnown(); }
    // Width along and height across the text as last measured; (0, 0) before that.
    Point DrawnSize() const { return drawnSize_.Get(); }

    // The box about the anchor: the measured size when known, else the estimate.
    Rect TextBox() const;

    // Called by the renderer after drawing. The measured size is a cache of what the text
    // looks like, not part of its content, so a renderer holding the pattern read-only may
    // report it too.
    void SetDrawnSize(int32_t width, int32_t height) const { drawnSize_.Set(Point{width, height}); }
    // Clamped to 4 .. 80; forgets the measured size.
    void SetFontSize(int32_t size);

    void SetPosition(Point p) { position_ = p; }
    void SetHorizontal(bool horizontal) { horizontal_ = horizontal; }
    void SetAlign(int32_t align) { align_ = align; }
    void SetText(std::string_view text) { text_ = CText(text); }
    void SetFontName(std::string_view name) { fontName_ = CText(name); }
    void SetFontStyle(bool bold, bool italic, bool underline, bool strikeout) {
        bold_ = bold;
        italic_ = italic;
        underline_ = underline;
        strikeout_ = strikeout;
    }

private:
    Point position_;
    bool horizontal_ = true;
    CText text_;
    int32_t align_ = 0;
    mutable CMeasuredSize drawnSize_;
    CText fontName_;
    int32_t fontSize_ = DEFAULT_FONT_SIZE;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    bool strikeout_ = false;
};

}  // namespace qurix
