#pragma once
#include <string>

#include "palette/DragBlock.h"
#include "palette/PartHistory.h"

namespace qurix {

class CLibEntry;
class CPartLibrary;
class CQurixDoc;

// What the part commands do, whatever front end calls them: the recent parts and
// favourites kept in the document's history file, and what "copy" hands over.

// The key a listed part is kept by; empty when either is null.
PartKey KeyOfPart(const CPartLibrary* library, const CLibEntry* entry);

// Reads doc.history from doc.historyPath; a damaged file is ignored, and said so in the
// status bar (it is replaced at the next change).
void LoadKeptParts(CQurixDoc& doc);
// Writes it; a failure is said in the status bar (false).
bool SaveKeptParts(CQurixDoc& doc);
// A drop the target accepted: counted among the recent parts and saved.
void RecordDroppedPart(CQurixDoc& doc, const PartKey& key);
// Adds the part to the favourites or removes it; true when it is one afterwards.
bool ToggleFavourite(CQurixDoc& doc, const PartKey& key);

// What "copy" puts on the clipboard: the drag block (as the editor would receive it in a
// drop) and the part's name as text (bytes). refusal says why there is no block.
struct CopiedPart {
    std::string block;
    std::string name;
    DragRefusal refusal = DragRefusal::None;
};
CopiedPart CopyPart(const CQurixDoc& doc, const CPartLibrary* library, const CLibEntry* entry);

}  // namespace qurix
