#include "core/library/Pattern.h"

#include <algorithm>

#include "core/elements/ElementRecords.h"
#include "core/elements/PolygonElement.h"

namespace qurix {

namespace {

int64_t StrideOf(int64_t width) {
    return ((width + 15) / 16) * 2;
}

// One decoded row character: "@" .. "O" stand for 0 .. 15; anything else is out of range.
int NibbleOf(char c) {
    const int v = static_cast<signed char>(c) - 0x40;
    return (v >= 0 && v <= 15) ? v : -1;
}

}  // namespace

CPattern::CPattern(const CPattern& other)
    : hasName_(other.hasName_),
      name_(other.name_),
      width_(other.width_),
      height_(other.height_),
      bitmapByteCount_(other.bitmapByteCount_),
      elements_(other.elements_),
      bitmap_(other.bitmap_) {}

int32_t CPattern::HeldStride(int32_t width) {
    return static_cast<int32_t>(StrideOf(std::min(width, MAX_BITMAP_EXTENT)));
}

int32_t CPattern::BitmapStride() const {
    return HeldStride(width_);
}

const CPatternElement* CPattern::Element(int32_t i) const {
    if (i < 0 || i >= ElementCount()) return nullptr;
    return &elements_.At(i);
}

int64_t CPattern::MemoryBytes() const {
    return static_cast<int64_t>(sizeof(CPattern) + name_.size() + bitmap_.size() +
                                elements_.Bytes());
}

bool CPattern::ReadBitmap(CRecordReader& reader, CArena* arena) {
    const int32_t w = std::min(width_, MAX_BITMAP_EXTENT);
    const int32_t h = std::min(height_, MAX_BITMAP_EXTENT);
    const size_t bytesPerRow = static_cast<size_t>((w + 7) / 8);
    const size_t stride = static_cast<size_t>(HeldStride(width_));
    const int64_t byteCount = int64_t{HeldStride(width_)} * h;
    std::vector<uint8_t> bits(static_cast<size_t>(byteCount), 0);
    int32_t row = 0;
    const auto onRow = [&](std::string_view, std::string_view token) {
        if (row >= h) return true;
        const size_t n = std::min(token.size() / 2, bytesPerRow);
        uint8_t* out = bits.data() + static_cast<size_t>(row) * stride;
        for (size_t i = 0; i < n; ++i) {
            const int hi = NibbleOf(token[2 * i]);
            const int lo = NibbleOf(token[2 * i + 1]);
            out[i] = (hi >= 0 && lo >= 0) ? static_cast<uint8_t>(hi * 16 + lo) : 0;
        }
        ++row;
        return true;
    };
    const auto reason = [](RecordFault fault, const std::string& tag, int32_t) {
        if (fault == RecordFault::NestedNeverEnds) return "record " + tag + " in bitmap never ends";
        return "unexpected " + tag + " in bitmap";
    };
    const RecordSyntax syntax{.endTag = "-BMP",
                              .data = DataForm::Whole,
                              .endOfInputReason = "bitmap block not closed by -BMP"};
    if (ReadRecord(reader, syntax, onRow, SkipAllNested{}, reason) == RecordEnd::Failed) {
        return false;
    }
    bitmap_ = CHeldArray<uint8_t>(bits, arena);
    bitmapByteCount_ = static_cast<int32_t>(byteCount);
    return true;
}

bool CPattern::ReadPattern(CRecordReader& reader, PatternScratch* scratch, CArena* arena) {
    arena_ = arena;
    bitmapByteCount_ = 0;
    bitmap_ = {};
    elements_ = CElementBlock();
    bool namedHere = false;
    bool bitmapFailed = false;
    PatternScratch local;
    std::vector<ElementSlot>& elements = (scratch ? *scratch : local).own;
    std::vector<CPatternElement*>& placed = (scratch ? *scratch : local).placed;
    elements.clear();
    placed.clear();
    const auto onNested = [&](std::string_view tag, int32_t) {
        if (tag == "+BMP" && width_ > 0 && height_ > 0 && namedHere && bitmap_.empty()) {
            if (StrideOf(width_) * height_ <= MAX_BITMAP_BYTES) {
                if (ReadBitmap(reader, arena)) return Nested::Read;
                bitmapFailed = true;
                return Nested::Failed;
            }
            // A declared size this large is skipped like a block that does not qualify.
        }
        CPatternElement* e = nullptr;
        if (arena) {
            // Made where it stays: no copy at the end, nothing to destroy.
            e = MakeElementByTag(*arena, tag);
            if (!e) return Nested::Skip;
        } else {
            if (!EmplaceElementByTag(elements, tag)) return Nested::Skip;
            e = &ElementOf(elements.back());
        }
        if (e->Read(reader, arena)) {
            if (arena) placed.push_back(e);
            return Nested::Read;
        }
        // A broken element must not carry the pattern past its end.
        const bool endsPattern = e->StrayEndTag() == "-PTN";
        if (arena) {
            e->~CPatternElement();  // gives back the stray tag; the bytes stay in the arena
        } else {
            elements.pop_back();
        }
        return endsPattern ? Nested::EndsRecord : Nested::Read;
    };
    const auto onData = [&](std::string_view key, std::string_view value) {
        if (key == "N") {
            name_ = CText::Make(arena, value);
            hasName_ = true;
            namedHere = true;
        } else if ((key == "X" || key == "Y") && bitmap_.empty()) {
            // The size of a bitmap already read stays the size it was decoded with, so that
            // its stride and row count keep matching its bytes.
            (key == "X" ? width_ : height_) = ParseInt(value);
        }
        return true;
    };
    const auto reason = [](RecordFault fault, const std::string& tag, int32_t) {
        if (fault == RecordFault::NestedNeverEnds) return "record " + tag + " never ends";
        return "unexpected " + tag + " in pattern";
    };
    const RecordEnd end = ReadRecord(reader, {"-PTN", DataForm::Element}, onData, onNested, reason);
    if (bitmapFailed) return false;
    elements_ = arena ? CElementBlock(placed, *arena) : CElementBlock(elements, nullptr);
    elements.clear();
    placed.clear();
    return end != RecordEnd::Failed;
}

bool CPattern::WritePattern(CRecordWriter& writer, const char* name) const {
    if (writer.WriteToken("+PTN") < 0) return false;
    if (writer.WriteKeyValue("N", name ? std::string_view(name) : name_.View()) < 0) return false;
    if (writer.WriteKeyInt("X", width_) < 0 || writer.WriteKeyInt("Y", height_) < 0) return false;
    if (writer.EndLine() < 0) return false;
    if (!bitmap_.empty()) {
        if (writer.WriteToken("+BMP") < 0 || writer.EndLine() < 0) return false;
        // Only what can be read back is written: the rows and columns that carry data.
        const int64_t stride = HeldStride(width_);
        const int64_t rowBytes =
            (static_cast<int64_t>(std::min(width_, MAX_BITMAP_EXTENT)) + 7) / 8;
        const int64_t rows = std::min(height_, MAX_BITMAP_EXTENT);
        std::string row;
        for (int64_t r = 0; r < rows; ++r) {
            row.clear();
            for (int64_t j = 0; j < rowBytes; ++j) {
                const int64_t at = r * stride + j;
                if (at >= bitmapByteCount_) break;
                const uint8_t b = bitmap_[static_cast<size_t>(at)];
                row.push_back(static_cast<char>((b >> 4) | 0x40));
                row.push_back(static_cast<char>((b & 0x0F) | 0x40));
            }
            if (writer.WriteToken(row) < 0 || writer.EndLine() < 0) return false;
        }
        if (writer.WriteToken("-BMP") < 0 || writer.EndLine() < 0) return false;
    }
    for (int32_t i = 0; i < elements_.Count(); ++i) {
        const CPatternElement& e = elements_.At(i);
        // A polygon that cannot be stored (fewer than 2 or more than 32 points) is left out
        // without failing the pattern; any other refusal is a write error.
        if (e.Write(writer)) continue;
        if (e.Kind() == ElementKind::Polygon &&
            !static_cast<const CPolygonElement&>(e).IsWritable()) {
            continue;
        }
        return false;
    }
    if (writer.WriteToken("-PTN") < 0 || writer.EndLine() < 0) return false;
    return true;
}

}  // namespace qurix
