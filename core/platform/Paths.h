#pragma once
#include <string>
#include <string_view>

#include "core/text/ByteText.h"

namespace qurix {

// How one platform spells paths. The rules are pure functions of the path's bytes, so
// either platform's can be checked anywhere; the calls without a style use this
// platform's (NativePathStyle).
struct PathStyle {
    // '\' and '/' separate folders and "C:" names a drive; else only '/' separates.
    bool windows = false;
    // Windows: the first byte of a two-byte character in the paths' code page, whose
    // trail byte may be 0x5C ('\') without being a separator ("表" is 95 5C in CP932).
    bool (*isLeadByte)(unsigned char) = nullptr;
};

inline constexpr PathStyle POSIX_PATHS{false, nullptr};
inline constexpr PathStyle WINDOWS_CP932_PATHS{true, IsCp932LeadByte};

// The process's current folder without a trailing separator; "" when it cannot be had
// (it was removed).
std::string CurrentFolder();

// This platform's style; on Windows with the lead bytes of the ANSI code page.
PathStyle NativePathStyle();

char PathSeparator(const PathStyle& style = NativePathStyle());

// Whether a path is to be taken from a folder, as the editor's PathIsRelativeA decides:
// on Windows a path is absolute when it starts with '\' or has ':' as its second
// character ("C:\a", "C:a", "\\server\a", "\a"); everything else is relative.
bool IsRelativePath(std::string_view path, const PathStyle& style = NativePathStyle());

// folder (ending with a separator or not; empty for none) + relative path.
std::string CombinePath(std::string_view folder, std::string_view relative,
                        const PathStyle& style = NativePathStyle());

// The drive and folder of a path, ending with its separator (or "C:" alone for "C:a");
// "" when it names no folder.
std::string FolderOfPath(std::string_view path, const PathStyle& style = NativePathStyle());

}  // namespace qurix
