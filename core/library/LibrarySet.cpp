#include "core/library/LibrarySet.h"

#include <cstdlib>

#include "core/profile/ConfigFile.h"

namespace qurix {

CWinePaths ConfiguredPaths(const CProfile& profile, const std::string& configFolder) {
    const char* prefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    return CWinePaths(configFolder, profile.GetInt("qurix", "editor_codepage", 932),
                      prefix ? prefix : "", home ? home : "");
}

namespace {

unsigned char AsciiUpper(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Byte for byte, with ASCII letters matched regardless of case; other bytes (those of
// multi-byte characters too) must be equal.
bool SameNameIgnoringAsciiCase(const char* a, const char* b) {
    // Names are NUL-terminated texts.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (; *p != '\0' && *q != '\0'; ++p, ++q) {
        if (AsciiUpper(*p) != AsciiUpper(*q)) return false;
    }
    return *p == *q;
}

}  // namespace

bool CLibrarySet::LoadLibrarySet(const CProfile& profile, const std::string& configFolder) {
    return LoadLibrarySet(profile, configFolder, nullptr);
}

bool CLibrarySet::LoadLibrarySet(const CProfile& profile, const std::string& configFolder,
                                 const LoadListener* listener) {
    FreeLibrarySet();
    CWinePaths paths = ConfiguredPaths(profile, configFolder);
    // One budget for the whole set: the library that would pass it is left out with a reason.
    CMemoryBudget budget(memoryLimit_);
    int32_t n = 0;
    for (int32_t j = 0; j < MAX_LIBRARIES; ++j) {
        const std::string key = "LIB" + std::to_string(j);
        std::string path = profile.GetString("Library", key);
        // The list ends at the first empty key, even when later keys are set.
        if (path.empty()) break;
        path = paths.Resolve(path);

        auto library = std::make_unique<CPartLibrary>();
        bool loaded;
        if (listener) {
            const CPartLibrary::Listener onFailure = [&](int32_t line, const std::string& why) {
                (*listener)(key, path, line, why);
            };
            loaded = library->LoadFile(path, &onFailure, &budget);
        } else {
            loaded = library->LoadFile(path, nullptr, &budget);
        }
        // A library that fails leaves no gap: the next one takes its slot.
        if (loaded) slots_[static_cast<size_t>(n++)] = std::move(library);
    }
    count_ = n;
    return true;
}

void CLibrarySet::FreeLibrarySet() {
    for (auto& slot : slots_) slot.reset();
    count_ = 0;
}

const CPartLibrary* CLibrarySet::GetLibrary(int32_t i) const {
    if (i < 0 || i >= count_) return nullptr;
    return slots_[static_cast<size_t>(i)].get();
}

const CLibEntry* CLibrarySet::FindPartByName(const std::string& name) const {
    for (int32_t i = 0; i < count_; ++i) {
        const CPartLibrary& library = *slots_[static_cast<size_t>(i)];
        for (int32_t e = 0; e < library.EntryCount(); ++e) {
            const CLibEntry* entry = library.Entry(e);
            if (SameNameIgnoringAsciiCase(entry->Name().c_str(), name.c_str())) return entry;
        }
    }
    return nullptr;
}

}  // namespace qurix
