#include "palette/KeptParts.h"

#include <algorithm>
#include <utility>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/QurixDoc.h"
#include "palette/Texts.h"

namespace qurix {

PartKey KeyOfPart(const CPartLibrary* library, const CLibEntry* entry) {
    if (library == nullptr || entry == nullptr) return {};
    return {library->Path(), std::string(entry->Name().View())};
}

void LoadKeptParts(CQurixDoc& doc, std::string path) {
    doc.historyPath = std::move(path);
    if (doc.history.Load(doc.historyPath) == CPartHistory::LoadResult::Damaged) {
        doc.ShowStatus(FormatText(texts::HISTORY_DAMAGED, doc.historyPath));
    }
}

bool SaveKeptParts(CQurixDoc& doc) {
    if (doc.historyPath.empty()) return true;
    if (doc.history.Save(doc.historyPath)) return true;
    doc.ShowStatus(FormatText(texts::HISTORY_NOT_SAVED, doc.historyPath));
    return false;
}

void RecordDroppedPart(CQurixDoc& doc, const PartKey& key) {
    if (key.libraryPath.empty()) return;
    doc.history.RecordDrop(key);
    SaveKeptParts(doc);
}

bool ToggleFavourite(CQurixDoc& doc, const PartKey& key) {
    if (key.libraryPath.empty()) return false;
    // A full list takes no more: nothing changes then.
    const bool was = doc.history.IsFavourite(key);
    if (was ? doc.history.RemoveFavourite(key) : doc.history.AddFavourite(key)) {
        SaveKeptParts(doc);
    }
    return doc.history.IsFavourite(key);
}

bool MoveFavouriteBy(CQurixDoc& doc, const PartKey& key, int32_t delta) {
    const auto& favourites = doc.history.Favourites();
    const auto at = std::find(favourites.begin(), favourites.end(), key);
    if (at == favourites.end()) return false;
    const auto from = static_cast<int32_t>(at - favourites.begin());
    if (!doc.history.MoveFavourite(from, from + delta)) return false;
    SaveKeptParts(doc);
    return true;
}

bool RemoveRecentPart(CQurixDoc& doc, const PartKey& key) {
    if (!doc.history.RemoveRecent(key)) return false;
    SaveKeptParts(doc);
    return true;
}

PartCommandStates PartCommandsFor(const CPartHistory& history, const PartKey& key, bool there,
                                  LibraryRowKind shown) {
    PartCommandStates s;
    const bool kept = !key.libraryPath.empty();
    s.place = there;
    s.favourite = kept;
    s.isFavourite = kept && history.IsFavourite(key);
    s.showMoves = shown == LibraryRowKind::Favourites;
    s.showRemove = shown == LibraryRowKind::RecentParts;
    const auto& favourites = history.Favourites();
    const auto at = std::find(favourites.begin(), favourites.end(), key);
    s.moveUp = s.showMoves && at != favourites.end() && at != favourites.begin();
    s.moveDown = s.showMoves && at != favourites.end() && at + 1 != favourites.end();
    s.removeRecent = s.showRemove && kept;
    return s;
}

CopiedPart CopyPart(const CQurixDoc& doc, const CPartLibrary* library, const CLibEntry* entry) {
    CopiedPart copied;
    if (entry != nullptr) copied.name = std::string(entry->Name().View());
    // The block names the library as the editor opens it, as a drop does.
    const CWinePaths editorPaths = ConfiguredPaths(doc.Profile(), doc.ConfigFolder());
    copied.refusal = MakePartDragBlock(library != nullptr ? library->Path() : std::string(),
                                       copied.name, copied.block, &editorPaths);
    return copied;
}

}  // namespace qurix
