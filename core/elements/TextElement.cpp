#include "core/elements/TextElement.h"

#include <algorithm>

#include "core/elements/ElementRecords.h"

namespace qurix {

std::unique_ptr<CPatternElement> CTextElement::Clone() const {
    return std::make_unique<CTextElement>(*this);
}

void CTextElement::SetFontSize(int32_t size) {
    fontSize_ = std::clamp(size, MIN_FONT_SIZE, MAX_FONT_SIZE);
    drawnSize_.Forget();
}

Rect CTextElement::TextBox() const {
    int32_t w;
    int32_t h;
    if (drawnSize_.IsKnown()) {
        const Point drawn = drawnSize_.Get();
        w = drawn.x;
        h = drawn.y;
    } else {
        w = WrapMul(ESTIMATED_CELL,
                    static_cast<int32_t>(std::min<size_t>(text_.size(), INT32_MAX)));
        h = ESTIMATED_CELL;
    }
    // Offset across the text from the anchor to the box's lower (or, turned, right) edge.
    int32_t o;
    const bool defaultFont = fontName_.empty();
    switch (align_ & ALIGN_ACROSS_MASK) {
        case ALIGN_ACROSS_BASELINE:
            o = defaultFont ? h / 4 : 0;
            break;
        case ALIGN_ACROSS_TOP:
            o = h;
            break;
        default:
            o = defaultFont ? WrapMul(h, 5) / 8 : h / 2;
            break;
    }
    // Along the text: turned text reads upwards, so its start is the lower end.
    const int32_t along = align_ & ALIGN_ALONG_MASK;
    const int32_t at = horizontal_ ? position_.x : position_.y;
    int32_t lo;
    int32_t hi;
    if (along == ALIGN_ALONG_CENTRE) {
        if (horizontal_) {
            lo = WrapSub(at, w / 2);
            hi = WrapAdd(lo, w);
        } else {
            hi = WrapAdd(at, w / 2);
            lo = WrapSub(hi, w);
        }
    } else if ((along == ALIGN_ALONG_END) == horizontal_) {
        lo = WrapSub(at, w);
        hi = at;
    } else {
        lo = at;
        hi = WrapAdd(at, w);
    }
    const int32_t acrossHi = WrapAdd(horizontal_ ? position_.y : position_.x, o);
    const int32_t acrossLo = WrapSub(acrossHi, h);
    return horizontal_ ? Rect{lo, acrossLo, hi, acrossHi} : Rect{acrossLo, lo, acrossHi, hi};
}

void CTextElement::MirrorAbout(int32_t axisX) {
    position_.x = MirrorX(position_.x, axisX);
    // The anchor stays on the same visible end or side of the text.
    if (horizontal_) {
        if (!(align_ & ALIGN_ALONG_CENTRE)) align_ ^= ALIGN_ALONG_END;
    } else {
        if (!(align_ & ALIGN_ACROSS_MIDDLE)) align_ ^= ALIGN_ACROSS_TOP;
    }
}

void CTextElement::RotateAbout(Point centre) {
    position_ = RotateQuarter(position_, centre);
    if (horizontal_) {
        if (!(align_ & ALIGN_ALONG_CENTRE)) align_ ^= ALIGN_ALONG_END;
        if (!(align_ & ALIGN_ACROSS_MIDDLE)) align_ ^= ALIGN_ACROSS_TOP;
    }
    horizontal_ = !horizontal_;
}

bool CTextElement::IsInside(const Rect& r) {
    const Rect b = TextBox();
    return r.Contains(Point{b.left, b.top}) && r.Contains(Point{b.right, b.bottom});
}

bool CTextElement::Read(CRecordReader& reader, CArena* arena) {
    bool haveX = false;
    bool haveY = false;
    bool haveText = false;
    std::string stray;
    const RecordEnd end = ReadRecord(reader, ElementSyntax("-TX", stray),
                                     [&](std::string_view key, std::string_view value) {
                                         if (key == "X") {
                                             position_.x = ParseInt(value);
                                             haveX = true;
                                         } else if (key == "Y") {
                                             position_.y = ParseInt(value);
                                             haveY = true;
                                         } else if (key == "D") {
                                             horizontal_ = ParseInt(value) != 0;
                                         } else if (key == "A") {
                                             align_ = ParseInt(value);
                                         } else if (key == "S") {
                                             text_ = CText::Make(arena, value);
                                             haveText = true;
                                         } else if (key == "FN") {
                                             fontName_ = CText::Make(arena, value);
                                         } else if (key == "FS") {
                                             SetFontSize(ParseInt(value));
                                         } else if (key == "FF") {
                                             for (char c : value) {
                                                 if (c == 'B') bold_ = true;
                                                 if (c == 'I') italic_ = true;
                                                 if (c == 'U') underline_ = true;
                                                 if (c == 'S') strikeout_ = true;
                                             }
                                         }
                                         return true;
                                     });
    KeepStrayEndTag(std::move(stray));
    return end == RecordEnd::EndTag && haveX && haveY && haveText;
}

bool CTextElement::Write(CRecordWriter& writer, const Point* origin) const {
    const Point p = position_ - (origin ? *origin : Point::Zero());
    std::string flags = "FF:";
    if (bold_) flags += 'B';
    if (italic_) flags += 'I';
    if (underline_) flags += 'U';
    if (strikeout_) flags += 'S';
    return writer.WriteToken("+TX") == 0 && writer.WriteKeyInt("X", p.x) == 0 &&
           writer.WriteKeyInt("Y", p.y) == 0 && writer.WriteKeyInt("A", align_) == 0 &&
           writer.WriteKeyInt("D", horizontal_ ? 1 : 0) == 0 &&
           writer.WriteKeyValue("S", text_) == 0 && writer.WriteKeyValue("FN", fontName_) == 0 &&
           writer.WriteKeyInt("FS", fontSize_) == 0 && writer.WriteToken(flags) == 0 &&
           writer.WriteToken("-TX") == 0 && writer.EndLine() == 0;
}

}  // namespace qurix
