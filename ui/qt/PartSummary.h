#pragma once
#include <QString>

namespace qurix {

class CLibEntry;
class CPartLibrary;

// "ブロック数 4 / ピン数 14": the part's blocks and its distinct pin numbers over all blocks.
QString BlocksAndPinsText(const CLibEntry& entry);

// The entry an alias was made from: the library's first entry with the same definition;
// null when entry is that entry itself or has no definition.
const CLibEntry* AliasTarget(const CPartLibrary& library, const CLibEntry& entry);

// A parts-list item's tool tip: the shown text, "ライブラリ: <path>", the blocks and
// pins, for an alias "別名の元: <part>", and the note's first line when there is one.
QString PartToolTip(const QString& text, const CLibEntry& entry, const CPartLibrary* library);

}  // namespace qurix
