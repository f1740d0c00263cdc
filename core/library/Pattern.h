#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/elements/ElementBlock.h"
#include "core/elements/ElementSlot.h"
#include "core/elements/PatternElement.h"
#include "core/memory/Arena.h"
#include "core/memory/HeldArray.h"
#include "core/memory/Text.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix {

// What a caller that reads many patterns lends to the reading of each, so that each
// allocates only what it keeps.
struct PatternScratch {
    std::vector<ElementSlot> own;          // elements read without an arena
    std::vector<CPatternElement*> placed;  // elements read into an arena
};

// The drawing of a component body: vector elements and/or a one-bit bitmap. Immutable once
// read, so that the components naming one pattern can share it. A library's patterns live
// in its arena with all they hold; a copy holds its own.
class CPattern {
public:
    // Only the first 501 rows and columns of a bitmap ever carry data; only those rows
    // are held, the declared size stays the pattern's geometry.
    static constexpr int32_t MAX_BITMAP_EXTENT = 501;
    // A "+BMP" block whose declared size needs more bytes than this is skipped like one
    // that does not qualify.
    static constexpr int64_t MAX_BITMAP_BYTES = 16 * 1024 * 1024;

    CPattern() = default;
    // Deep: name, size, bitmap bytes, elements, all its own.
    CPattern(const CPattern& other);
    CPattern& operator=(const CPattern&) = delete;
    virtual ~CPattern() = default;

    std::unique_ptr<CPattern> Clone() const { return std::make_unique<CPattern>(*this); }

    // Reads a "+PTN" record; the reader stands just after the "+PTN" token. A caller that
    // reads many patterns lends scratch to read the elements into, so that each pattern
    // allocates only its own block of elements. With an arena (which must hold this
    // pattern too), everything the pattern holds is put there.
    bool ReadPattern(CRecordReader& reader, PatternScratch* scratch = nullptr,
                     CArena* arena = nullptr);
    // Writes the record under name, or under the pattern's own name when name is null.
    bool WritePattern(CRecordWriter& writer, const char* name = nullptr) const;

    bool HasName() const { return hasName_; }
    const CText& Name() const { return name_; }  // "" when it has none
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // The bytes held: BitmapStride() times the rows that can carry data (at most 501);
    // the rows after them are clear.
    int32_t BitmapByteCount() const { return bitmapByteCount_; }
    // Null when the pattern holds no bitmap.
    const uint8_t* Bitmap() const { return bitmap_.empty() ? nullptr : bitmap_.data(); }
    // Bytes from one held bitmap row to the next: HeldStride(Width()).
    int32_t BitmapStride() const;
    // The stride of the columns that can carry data, ((min(width, 501) + 15) / 16) * 2, so
    // that a declared width far past them costs nothing.
    static int32_t HeldStride(int32_t width);
    // About how many bytes the pattern takes in memory, apart from the texts of its elements
    // (which cost what the file spent on them).
    int64_t MemoryBytes() const;
    int32_t ElementCount() const { return elements_.Count(); }
    // Null when i is out of range.
    const CPatternElement* Element(int32_t i) const;
    // The arena the pattern lives in; null for one that lives on its own.
    const CArena* Arena() const { return arena_; }

private:
    bool ReadBitmap(CRecordReader& reader, CArena* arena);

    const CArena* arena_ = nullptr;
    bool hasName_ = false;
    CText name_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t bitmapByteCount_ = 0;
    CElementBlock elements_;
    CHeldArray<uint8_t> bitmap_;
};

}  // namespace qurix
