#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qurix {

class CLibEntry;

// One row of the pin table: a pin of the selected part, for the block the preview shows.
struct PinRow {
    int32_t pin = 0;     // the pin's index in its part, to mark it in the preview
    std::string number;  // the pin's number in the block, bytes ("" when it has none)
    std::string name;    // the letters, ASCII ("" when it has none)
    // One byte per letter of name: '-' for a letter drawn overlined, ' ' for one that is
    // not (fonts rarely draw a combining overline, so the front end draws it).
    std::string overline;
    int32_t side = 0;  // CPinDef::SIDE_*
};

enum class PinColumn { Number, Name, Side };

// The part's pins in their order, numbered for block (0-based).
std::vector<PinRow> PinRows(const CLibEntry& entry, int32_t block);
// Sorted by a column, ties in pin order; numbers and names compare their digit runs as
// numbers ("2" before "10", "A9" before "A10").
void SortPinRows(std::vector<PinRow>& rows, PinColumn column, bool ascending);
// "左", "上", "右", "下" (UTF-8).
const char* PinSideText(int32_t side);

}  // namespace qurix
