#include "core/platform/Paths.h"

namespace qurix {

namespace {

bool IsSeparator(unsigned char c, const PathStyle& style) {
    return c == '/' || (style.windows && c == '\\');
}

// Whether a byte starts a two-byte character (whose second byte is then no separator).
bool StartsPair(unsigned char c, const PathStyle& style) {
    return style.windows && style.isLeadByte && style.isLeadByte(c);
}

// Position just after the last separator, 0 when there is none; never a trail byte.
size_t AfterLastSeparator(std::string_view path, const PathStyle& style) {
    size_t after = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (StartsPair(c, style)) {
            ++i;
        } else if (IsSeparator(c, style)) {
            after = i + 1;
        }
    }
    return after;
}

bool HasDrive(std::string_view path, const PathStyle& style) {
    return style.windows && path.size() >= 2 && path[1] == ':' &&
           !StartsPair(static_cast<unsigned char>(path[0]), style);
}

}  // namespace

char PathSeparator(const PathStyle& style) {
    return style.windows ? '\\' : '/';
}

bool IsRelativePath(std::string_view path, const PathStyle& style) {
    if (path.empty()) return true;
    if (!style.windows) return path[0] != '/';
    return path[0] != '\\' && !HasDrive(path, style);
}

std::string CombinePath(std::string_view folder, std::string_view relative,
                        const PathStyle& style) {
    std::string out(folder);
    if (out.empty()) return std::string(relative);
    if (AfterLastSeparator(folder, style) != folder.size()) out += PathSeparator(style);
    out += relative;
    return out;
}

std::string FolderOfPath(std::string_view path, const PathStyle& style) {
    const size_t after = AfterLastSeparator(path, style);
    if (after == 0 && HasDrive(path, style)) return std::string(path.substr(0, 2));
    return std::string(path.substr(0, after));
}

}  // namespace qurix
