#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/library/PartLibrary.h"
#include "core/platform/WinePaths.h"
#include "core/profile/Profile.h"

namespace qurix {

// How the configured paths of one INI are read (CWinePaths): in the editor's code page
// ("editor_codepage" of section qurix, 932 unless set), through the Wine prefix the INI lies
// in, else $WINEPREFIX or ~/.wine.
CWinePaths ConfiguredPaths(const CProfile& profile, const std::string& configFolder);

// The libraries named by "LIB0".."LIB15" of section "Library", in key order without
// gaps. One object, owned by the application and passed by reference.
class CLibrarySet {
public:
    static constexpr int32_t MAX_LIBRARIES = 16;

    // Reads the keys through profile, resolving relative paths against configFolder,
    // and loads every file; a file that fails is dropped, and so is one that would take the
    // set past its memory limit. Always true.
    bool LoadLibrarySet(const CProfile& profile, const std::string& configFolder);
    // The same, telling listener about every library that failed to load: its key
    // ("LIB3"), the path as opened, the line and the reason (line 0 when the file
    // could not be opened).
    using LoadListener = std::function<void(const std::string& key, const std::string& path,
                                            int32_t line, const std::string& reason)>;
    bool LoadLibrarySet(const CProfile& profile, const std::string& configFolder,
                        const LoadListener* listener);
    void FreeLibrarySet();
    // What the palette may keep for the whole set (CMemoryBudget::SET_LIMIT unless set);
    // applies from the next load.
    void SetMemoryLimit(int64_t bytes) { memoryLimit_ = bytes; }

    int32_t Count() const { return count_; }
    // Null when i < 0 or i >= Count().
    const CPartLibrary* GetLibrary(int32_t i) const;
    // ASCII case-insensitive; the first slot, then the first entry, wins. Null when none.
    const CLibEntry* FindPartByName(const std::string& name) const;

private:
    std::array<std::unique_ptr<CPartLibrary>, MAX_LIBRARIES> slots_;
    int32_t count_ = 0;
    int64_t memoryLimit_ = CMemoryBudget::SET_LIMIT;
};

}  // namespace qurix
