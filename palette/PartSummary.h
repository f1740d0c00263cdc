#pragma once
#include <string>
#include <string_view>

namespace qurix {

class CLibEntry;
class CPartLibrary;

// Library or INI bytes as a person reads them, in UTF-8: decoded, and with the editor's
// CR LF (or a lone CR) line breaks made plain line breaks.
std::string ReadableText(std::string_view bytes);

// "ブロック数 4 / ピン数 14": the part's blocks and its distinct pin numbers over all blocks.
std::string BlocksAndPinsText(const CLibEntry& entry);

// The entry an alias was made from: the library's first entry with the same definition;
// null when entry is that entry itself or has no definition.
const CLibEntry* AliasTarget(const CPartLibrary& library, const CLibEntry& entry);

// A parts-list item's tool tip (UTF-8): the shown text, "ライブラリ: <path>", the blocks
// and pins, for an alias "別名の元: <part>", and the note's first line when there is one,
// without the blanks at its ends.
std::string PartToolTip(std::string_view text, const CLibEntry& entry, const CPartLibrary* library);

}  // namespace qurix
