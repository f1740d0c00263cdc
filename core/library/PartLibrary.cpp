#include "core/library/PartLibrary.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/platform/FileIo.h"
#include "core/records/RecordLoop.h"

namespace qurix {

namespace {

// The size of what remains to be read, or -1 when the stream cannot tell (a pipe).
int64_t RemainingBytes(FILE* file) {
    const long at = std::ftell(file);
    if (at < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, at, SEEK_SET) != 0) return -1;
    return end < at ? -1 : end - at;
}

// Splits "base(n)" into base and n; any other name is its own base with n = 0.
void SplitNumberSuffix(const std::string& name, std::string& base, int32_t& n) {
    base = name;
    n = 0;
    if (name.size() < 2 || name.back() != ')') return;
    size_t i = name.size() - 1;  // the ')'
    while (i > 0 && name[i - 1] >= '0' && name[i - 1] <= '9') --i;
    if (i == 0 || name[i - 1] != '(') return;
    n = ParseInt(name.substr(i, name.size() - 1 - i));
    base = name.substr(0, i - 1);
}

// Splits a name written the way MakeUniqueName writes its candidates, "base(n)" with n in
// its shortest decimal form, into base and n; false for any other name.
bool SplitCandidate(std::string_view name, std::string& base, int32_t& n) {
    if (name.size() < 3 || name.back() != ')') return false;
    const size_t open = name.rfind('(');
    if (open == std::string_view::npos || name.size() - open > 13) return false;
    const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    n = ParseInt(digits);
    if (std::to_string(n) != digits) return false;
    base = name.substr(0, open);
    return true;
}

}  // namespace

CPartLibrary::CPartLibrary() = default;
CPartLibrary::~CPartLibrary() = default;

const CLibEntry* CPartLibrary::Entry(int32_t i) const {
    if (i < 0 || i >= EntryCount()) return nullptr;
    return entries_[static_cast<size_t>(i)];
}

int64_t CPartLibrary::MemoryBytes() const {
    const int64_t arena = arena_ ? arena_->Bytes() : 0;
    return arena + static_cast<int64_t>(entries_.capacity() * sizeof(const CLibEntry*)) +
           byName_.Bytes();
}

std::string CPartLibrary::MakeUniqueName(const std::string& name) const {
    if (!byName_.Find(name)) return name;
    std::string base;
    int32_t n = 0;
    SplitNumberSuffix(name, base, n);
    // The first free number after n. The editor gives up after 4096 tries and reuses the
    // last; counting goes on instead, since every name must identify one part.
    int32_t free = WrapAdd(n, 1);
    const auto numbers = numbered_.find(base);
    if (numbers != numbered_.end()) free = NextFree(numbers->second, free);
    return base + "(" + std::to_string(free) + ")";
}

int32_t CPartLibrary::NextFree(std::unordered_map<int32_t, int32_t>& taken, int32_t n) {
    int32_t free = n;
    for (auto it = taken.find(free); it != taken.end(); it = taken.find(free)) free = it->second;
    // Every number passed on the way now leads straight to the free one.
    for (auto it = taken.find(n); it != taken.end() && n != free; it = taken.find(n)) {
        n = it->second;
        it->second = free;
    }
    return free;
}

void CPartLibrary::AddEntry(std::string_view name, size_t hash, const CComponentDef* def) {
    // Names are mostly new: one look-up adds them.
    const CLibEntry* entry = arena_->Make<CLibEntry>(CText::In(*arena_, name), def);
    if (byName_.AddOrFind(entry, hash)) {
        const std::string unique = MakeUniqueName(std::string(name));
        entry = arena_->Make<CLibEntry>(CText::In(*arena_, unique), def);
        byName_.Add(entry);
    }
    entries_.push_back(entry);
    std::string base;
    int32_t n = 0;
    if (SplitCandidate(entry->Name(), base, n)) numbered_[base].emplace(n, WrapAdd(n, 1));
}

const CPattern* CPartLibrary::FindPattern(std::string_view name) {
    if (patterns_.empty()) return nullptr;
    if (patterns_.back()->Name() == name) return patterns_.back();
    for (; patternsIndexed_ < patterns_.size(); ++patternsIndexed_) {
        patternIndex_[patterns_[patternsIndexed_]->Name()] = patternsIndexed_;
    }
    const auto found = patternIndex_.find(name);
    return found == patternIndex_.end() ? nullptr : patterns_[found->second];
}

void CPartLibrary::Clear() {
    property_.clear();
    entries_.clear();
    entries_.shrink_to_fit();
    EndSection();
    arena_.reset();
    byName_.Clear();
    numbered_.clear();
}

int64_t CPartLibrary::KeptBytes() const {
    return MemoryBytes() + int64_t{EntryCount()} * CMemoryBudget::UPKEEP_PER_PART;
}

bool CPartLibrary::LoadFile(const std::string& path, const Listener* listener,
                            CMemoryBudget* setBudget) {
    if (loaded_) {
        if (listener) (*listener)(0, "library already loaded");
        return false;
    }
    // A path is a NUL-terminated text; one with a NUL inside would open another file.
    bool notRegular = false;
    FILE* file = OpenFile(path, "r", &notRegular);
    if (!file) {
        if (listener) {
            (*listener)(0, notRegular ? NOT_REGULAR_FILE
                                      : std::string("cannot open: ") + std::strerror(errno));
        }
        return false;
    }
    const bool ok = LoadStream(file, path, listener, setBudget);
    std::fclose(file);
    return ok;
}

bool CPartLibrary::LoadStream(FILE* file, const std::string& path, const Listener* listener,
                              CMemoryBudget* setBudget) {
    if (loaded_) {
        if (listener) (*listener)(0, "library already loaded");
        return false;
    }
    if (!file) {
        if (listener) (*listener)(0, "no file");
        return false;
    }
    CRecordReader reader(file);
    reader.SetListener(listener);
    // A folder, for one, can claim a size near the largest number.
    const int64_t size = std::clamp<int64_t>(RemainingBytes(file), 0, INT64_MAX / 128);
    memoryBudget_ = MEMORY_BUDGET_BASE + size * MEMORY_BUDGET_PER_BYTE;
    setBudget_ = setBudget;
    arena_ = std::make_shared<CArena>();

    std::string token;
    bool ok;
    if (reader.ReadToken(token) == -1) {
        ok = reader.Fail(std::ferror(file) ? "cannot read the file" : "empty file");
    } else if (token == DATA_HEADER) {
        // Whether or not a section follows: without one the body is empty.
        reader.SkipToToken(LIB_HEADER);
        ok = ReadBody(reader);
    } else if (token == LIB_HEADER) {
        ok = ReadBody(reader);
    } else {
        ok = reader.Fail("not a library file");
    }
    EndSection();
    // A read error looks like the end of input to the reader; it is not a short file.
    if (ok && std::ferror(file)) ok = reader.Fail("read error");
    setBudget_ = nullptr;
    if (!ok) {
        Clear();
        return false;
    }
    if (setBudget) setBudget->Charge(KeptBytes());
    path_ = path;
    loaded_ = true;
    return true;
}

bool CPartLibrary::ReadBody(CRecordReader& reader) {
    const auto onNested = [&](std::string_view tag, int32_t) {
        if (tag == "+PTN") {
            CPattern* pattern = arena_->Make<CPattern>();
            if (!pattern->ReadPattern(reader, &elementScratch_, arena_.get())) {
                reader.Fail("pattern record fails");
                return Nested::Failed;
            }
            if (!Spend(reader)) return Nested::Failed;
            // Only a named pattern can be found; the newest of a name hides the older.
            if (pattern->HasName()) patterns_.push_back(pattern);
            return Nested::Read;
        }
        bool ok = true;
        if (tag == "+COMP") {
            ok = ReadComponentRecord(reader);
        } else if (tag == "+ALIAS") {
            ok = ReadAliasRecord(reader);
        } else {
            return Nested::Skip;
        }
        return ok ? Nested::Read : Nested::Failed;
    };
    const auto onData = [&](std::string_view key, std::string_view value) {
        if (key == "PROP") property_ = value;
        return true;
    };
    const auto reason = [](RecordFault fault, const std::string& tag, int32_t line) {
        if (fault == RecordFault::NestedNeverEnds) return NestedNeverEndsReason(tag, line);
        return "unexpected end tag " + tag;
    };
    for (;;) {
        const RecordEnd end = ReadRecord(reader, {LIB_TRAILER}, onData, onNested, reason);
        if (end != RecordEnd::EndTag) return end == RecordEnd::EndOfInput;
        // Patterns belong to their section; another section may follow.
        EndSection();
        if (!reader.SkipToToken(LIB_HEADER)) return true;
    }
}

bool CPartLibrary::ReadComponentRecord(CRecordReader& reader) {
    // A definition that fails stays in the arena unused until the load fails as a whole.
    CComponentDef* def = arena_->Make<CComponentDef>();
    std::string name, patternName;
    // The part is filed under its name once read whole: by then the index's slot for it
    // has come into the cache. The name's hash is kept for the filing (a cut record may
    // end before any name).
    struct {
        size_t hash = 0;
        bool known = false;
    } heard;
    const std::function<void(std::string_view)> onName = [this, &heard](std::string_view n) {
        heard = {CNameIndex::HashOf(n), true};
        byName_.Prefetch(heard.hash);
    };
    if (!def->ReadComponent(reader, name, patternName, &pinScratch_, arena_.get(), &onName)) {
        return reader.Fail("component record fails");
    }
    if (!patternName.empty()) {
        // The newest pattern of that name in this section, shared; none is not an error.
        if (const CPattern* found = FindPattern(patternName)) def->SetPatternInArena(found);
    }
    AddEntry(name, heard.known ? heard.hash : CNameIndex::HashOf(name), def);
    return Spend(reader);
}

bool CPartLibrary::ReadAliasRecord(CRecordReader& reader) {
    std::string target, alias;
    const auto onData = [&](std::string_view key, std::string_view value) {
        if (value.empty()) return true;
        if (key == "N") {
            target = value;
        } else if (key == "A") {
            alias = value;
        }
        return true;
    };
    const auto reason = [](RecordFault fault, const std::string& tag, int32_t line) {
        if (fault == RecordFault::NestedNeverEnds) return NestedNeverEndsReason(tag, line);
        return "alias: unexpected end tag " + tag;
    };
    switch (ReadRecord(reader, {"-ALIAS"}, onData, SkipAllNested{}, reason)) {
        case RecordEnd::Failed:
            return false;
        case RecordEnd::EndOfInput:
            break;
        case RecordEnd::EndTag:
            if (target.empty()) return reader.Fail("alias without the name of its part");
            if (alias.empty()) {
                return reader.Fail(
                    [&] { return "alias of " + ReasonToken(target) + " without a name"; });
            }
            break;
    }
    // An alias of a part the library lacks adds nothing.
    if (const CLibEntry* found = byName_.Find(target))
        AddEntry(alias, CNameIndex::HashOf(alias), found->ComponentDef());
    return Spend(reader);
}

void CPartLibrary::EndSection() {
    patternIndex_.clear();
    patternsIndexed_ = 0;
    patterns_.clear();
    elementScratch_ = {};
    pinScratch_ = {};
}

bool CPartLibrary::Spend(CRecordReader& reader) {
    if (MemoryBytes() > memoryBudget_) {
        return reader.Fail([&] {
            return "the parts need more than " + std::to_string(memoryBudget_) +
                   " bytes of memory, more than the file's size allows";
        });
    }
    if (setBudget_ == nullptr || setBudget_->Fits(KeptBytes())) return true;
    return reader.Fail([&] {
        return SET_BUDGET_EXCEEDED + std::to_string(setBudget_->Limit()) +
               " bytes of memory with this library";
    });
}

bool CPartLibrary::WriteLibrary(CRecordWriter& writer) const {
    if (writer.WriteToken(LIB_HEADER) != 0 || writer.EndLine() != 0) return false;
    if (writer.WriteKeyValue("PROP", property_) != 0 || writer.EndLine() != 0) return false;
    bool ok = true;
    for (const CLibEntry* entry : entries_) {
        const CComponentDef* def = entry->ComponentDef();
        // A part cut off before its name or size would not read back; skip it, say so.
        if (!def || entry->Name().c_str()[0] == '\0' || !def->ReadsBack()) {
            ok = false;
            continue;
        }
        if (!def->WriteComponent(writer, entry->Name())) return false;
    }
    return writer.WriteToken(LIB_TRAILER) == 0 && writer.EndLine() == 0 && ok;
}

}  // namespace qurix
