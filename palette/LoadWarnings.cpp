#include "palette/LoadWarnings.h"

#include <algorithm>
#include <cstdio>

#include "core/library/LibEntry.h"
#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "core/platform/FileIo.h"
#include "palette/Texts.h"

namespace qurix {

namespace {

// The end of a file: enough for its closing line and the part being read.
constexpr long TAIL_BYTES = 64 * 1024;

std::string FileTail(const std::string& path) {
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr) return std::string();
    std::string tail;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        const long start = std::max(0L, size - TAIL_BYTES);
        if (size > 0 && std::fseek(f, start, SEEK_SET) == 0) {
            tail.resize(static_cast<size_t>(size - start));
            tail.resize(std::fread(tail.data(), 1, tail.size(), f));
        }
    }
    std::fclose(f);
    return tail;
}

}  // namespace

std::vector<std::string> KeysAfterGap(const CProfile& profile) {
    std::vector<std::string> keys;
    bool gap = false;
    for (int32_t j = 0; j < CLibrarySet::MAX_LIBRARIES; ++j) {
        const std::string key = "LIB" + std::to_string(j);
        const bool empty = profile.GetString("Library", key).empty();
        if (empty) gap = true;
        if (gap && !empty) keys.push_back(key);
    }
    return keys;
}

bool EndsEarly(const CPartLibrary& library, std::string& name) {
    name.clear();
    std::string tail = FileTail(library.Path());
    while (!tail.empty() && (tail.back() == ' ' || (tail.back() >= '\t' && tail.back() <= '\r')))
        tail.pop_back();
    // A whole file ends with the closing line of its library or data block.
    const size_t lastLine = tail.find_last_of("\r\n");
    const std::string last = tail.substr(lastLine == std::string::npos ? 0 : lastLine + 1);
    if (last.empty() || last.starts_with("-KIVOX_")) return false;
    const size_t open = tail.rfind("+COMP");
    const size_t close = tail.rfind("-COMP");
    const bool inPart = open != std::string::npos && (close == std::string::npos || close < open);
    if (inPart && library.EntryCount() > 0) {
        name = std::string(library.Entry(library.EntryCount() - 1)->Name().View());
    }
    return true;
}

std::vector<LoadWarning> CollectLoadWarnings(const CProfile& profile, const CLibrarySet& set) {
    std::vector<LoadWarning> warnings;
    for (int32_t i = 0; i < set.Count(); ++i) {
        const CPartLibrary* library = set.GetLibrary(i);
        std::string part;
        if (!EndsEarly(*library, part)) continue;
        warnings.push_back({library->Path(), part.empty()
                                                 ? std::string(texts::WARN_ENDS_EARLY)
                                                 : FormatText(texts::WARN_ENDS_IN_PART, part)});
    }
    const std::vector<std::string> unread = KeysAfterGap(profile);
    if (!unread.empty() && set.Count() > 0) {
        std::string keys;
        for (const std::string& k : unread) keys += (keys.empty() ? "" : texts::LIST_SEPARATOR) + k;
        warnings.push_back({set.GetLibrary(set.Count() - 1)->Path(),
                            FormatText(texts::WARN_KEYS_AFTER_GAP, keys)});
    }
    return warnings;
}

}  // namespace qurix
