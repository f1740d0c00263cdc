#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/library/ComponentDef.h"
#include "core/library/LibEntry.h"
#include "core/library/NameIndex.h"
#include "core/library/Pattern.h"
#include "core/memory/Arena.h"
#include "core/memory/MemoryBudget.h"
#include "core/records/RecordReader.h"
#include "core/records/RecordWriter.h"

namespace qurix {

// Why a library path that names a FIFO, socket, device or folder is not read.
inline constexpr const char* NOT_REGULAR_FILE = "not a regular file";
// How the reason begins when a library would take its set past the set's memory budget.
inline constexpr const char* SET_BUDGET_EXCEEDED = "the library set would need more than ";

// One library file loaded: its parts in file order, each a name bound to a component
// definition, and the file's property text. Read-only once loaded.
//
// Definitions, entries, patterns with their elements, pins and texts all live in one arena
// of the library: a few large blocks, returned whole when the library ends. A definition
// copied out of it (as a placed component does) shares the pattern and so keeps the arena,
// but nothing else of the library, alive.
class CPartLibrary {
public:
    static constexpr const char* LIB_HEADER = "+KIVOX_LIB_V.1.0";
    static constexpr const char* LIB_TRAILER = "-KIVOX_LIB_V.1.0";
    static constexpr const char* DATA_HEADER = "+KIVOX_DATA_V.1.0";
    // A load fails once its parts would take more memory than this many bytes per byte of
    // the file, plus the base (all a stream of unknown size gets), so that a small hostile
    // file cannot exhaust memory.
    static constexpr int64_t MEMORY_BUDGET_PER_BYTE = 64;
    static constexpr int64_t MEMORY_BUDGET_BASE = 8 * 1024 * 1024;

    // Called once, with the line and the reason, when a load fails.
    using Listener = CRecordReader::Listener;

    CPartLibrary();
    ~CPartLibrary();
    CPartLibrary(const CPartLibrary&) = delete;
    CPartLibrary& operator=(const CPartLibrary&) = delete;

    // Loads a library file or an exchange file that embeds library sections. False
    // when the file cannot be read, is not a library, or a record in it fails; the
    // library is then left empty. A loaded library cannot be loaded again (false).
    // The optional listener hears why a load failed; without one nothing is built.
    // With a set budget the load also fails once KeptBytes() would not fit what is left of
    // it, and a load that succeeds charges it KeptBytes().
    bool LoadFile(const std::string& path, const Listener* listener = nullptr,
                  CMemoryBudget* setBudget = nullptr);
    // The same from an open stream (not closed here); path is what Path() will say.
    bool LoadStream(FILE* file, const std::string& path, const Listener* listener = nullptr,
                    CMemoryBudget* setBudget = nullptr);

    bool IsLoaded() const { return loaded_; }
    // The path as it was opened, byte for byte; empty until a load succeeds.
    const std::string& Path() const { return path_; }
    // The value of the file's last "PROP" token.
    const std::string& PropertyText() const { return property_; }

    // 0 until a load succeeds.
    int32_t EntryCount() const { return static_cast<int32_t>(entries_.size()); }
    // What the parts take in memory, in bytes: the arena's blocks and the indexes.
    int64_t MemoryBytes() const;
    // What the palette keeps for this library: MemoryBytes() and, per entry, the estimate
    // of its thumbnails, identity and search index entry.
    int64_t KeptBytes() const;
    // Entries in file order (aliases where their record stood); null when out of range.
    const CLibEntry* Entry(int32_t i) const;
    // The entry of that name (names are unique in a library); null when there is none.
    const CLibEntry* FindEntry(std::string_view name) const { return byName_.Find(name); }

    // Writes the library in the library format, starting at a line start: the header,
    // "PROP:" with the property text, each entry's definition under the entry's own name
    // in entry order (an alias becomes a full copy), the trailer. For a library whose
    // records all ended properly the output loads again and writes the same bytes.
    // False when a write fails or an entry cannot be written (it has no name, no
    // definition, or one that would not read back; the other entries are still written).
    bool WriteLibrary(CRecordWriter& writer) const;

    // name when no entry has it, else name with a "(n)" suffix that none has, counting
    // up from its own number: "R1" gives "R1(1)", "R1(1)" gives "R1(2)", "A(b)" gives
    // "A(b)(1)".
    std::string MakeUniqueName(const std::string& name) const;

private:
    bool ReadBody(CRecordReader& reader);
    bool ReadComponentRecord(CRecordReader& reader);
    bool ReadAliasRecord(CRecordReader& reader);
    // Adds an entry of def under name, or under MakeUniqueName's when name is taken;
    // hash is the name's (CNameIndex::HashOf).
    void AddEntry(std::string_view name, size_t hash, const CComponentDef* def);
    // The newest pattern of the name in the current section; null when there is none.
    const CPattern* FindPattern(std::string_view name);
    // The first number from n on that is not taken, shortening the paths it followed.
    static int32_t NextFree(std::unordered_map<int32_t, int32_t>& taken, int32_t n);
    // Checks what the parts take so far against the load's memory budget; false, with the
    // reason reported, once it is exceeded.
    bool Spend(CRecordReader& reader);
    void Clear();
    // Forgets the section's patterns and gives back what was lent to the readers.
    void EndSection();

    bool loaded_ = false;
    std::string path_;
    std::string property_;
    // Holds everything the entries point at; shared with the definitions copied out of it.
    std::shared_ptr<CArena> arena_;
    std::vector<const CLibEntry*> entries_;  // in the arena

    // Only while loading: the current section's named patterns in file order, shared by
    // the definitions that name them, and an index of the newest of each name over the
    // first patternsIndexed_ of them. Parts mostly name the pattern just read, so the
    // index is brought up to date only when one names another.
    std::vector<const CPattern*> patterns_;
    std::unordered_map<std::string_view, size_t> patternIndex_;
    size_t patternsIndexed_ = 0;
    // Lent to the readers of patterns and parts, so that each allocates only its own.
    PatternScratch elementScratch_;
    std::vector<CPinDef> pinScratch_;
    int64_t memoryBudget_ = 0;
    CMemoryBudget* setBudget_ = nullptr;  // the caller's, only while loading
    // The first entry of each name, viewing the entries' own names (which never change).
    CNameIndex byName_;
    // The names of the form "base(n)" by base: for each n taken, a number after it from
    // which to look on for a free one. Names are only ever added, so the hints stay true
    // and each MakeUniqueName costs about one look-up however many names are taken.
    mutable std::unordered_map<std::string, std::unordered_map<int32_t, int32_t>> numbered_;
};

}  // namespace qurix
