#pragma once
#include <string>

#include "palette/DragBlock.h"
#include "palette/LibraryList.h"
#include "palette/PartHistory.h"

namespace qurix {

class CLibEntry;
class CPartLibrary;
class CQurixDoc;

// What the part commands do, whatever front end calls them: the recent parts and
// favourites kept in the document's history file, and what "copy" hands over.

// The key a listed part is kept by; empty when either is null.
PartKey KeyOfPart(const CPartLibrary* library, const CLibEntry* entry);

// Keeps doc.history in path from now on and reads it from there; a damaged file is
// ignored, and said so in the status bar (it is replaced at the next change).
void LoadKeptParts(CQurixDoc& doc, std::string path);
// Writes it; a failure is said in the status bar (false).
bool SaveKeptParts(CQurixDoc& doc);
// A drop the target accepted: counted among the recent parts and saved.
void RecordDroppedPart(CQurixDoc& doc, const PartKey& key);
// Adds the part to the favourites or removes it; true when it is one afterwards.
bool ToggleFavourite(CQurixDoc& doc, const PartKey& key);

// Moves a favourite by delta places and saves; false when it is none or cannot move.
bool MoveFavouriteBy(CQurixDoc& doc, const PartKey& key, int32_t delta);
// Takes a part off the recent list and saves; false when it was not on it.
bool RemoveRecentPart(CQurixDoc& doc, const PartKey& key);

// Which part commands apply to the selected item, whatever front end shows them. there:
// the item is a loaded part; key: the item's kept key (also of a gone part); shown: the
// kept list the parts list shows, or None.
struct PartCommandStates {
    bool place = false;        // also copy and the library's folder
    bool favourite = false;    // add or remove
    bool isFavourite = false;  // the command's text says remove
    bool moveUp = false;
    bool moveDown = false;
    bool removeRecent = false;
    bool showMoves = false;   // 上へ/下へ are shown only with the favourites
    bool showRemove = false;  // 一覧から削除 only with the recent parts
};
PartCommandStates PartCommandsFor(const CPartHistory& history, const PartKey& key, bool there,
                                  LibraryRowKind shown);

// What "copy" puts on the clipboard: the drag block (as the editor would receive it in a
// drop) and the part's name as text (bytes). refusal says why there is no block.
struct CopiedPart {
    std::string block;
    std::string name;
    DragRefusal refusal = DragRefusal::None;
};
CopiedPart CopyPart(const CQurixDoc& doc, const CPartLibrary* library, const CLibEntry* entry);

}  // namespace qurix
