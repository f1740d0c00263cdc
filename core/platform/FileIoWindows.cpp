#ifdef _WIN32
#include <cerrno>

#include "core/platform/FileIo.h"

#include "core/platform/WindowsText.h"

namespace qurix {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    std::wstring widePath;
    std::wstring wideMode;
    if (!AnsiToWide(path, widePath) || !AnsiToWide(mode, wideMode)) {
        errno = EINVAL;
        return nullptr;
    }
    return _wfopen(widePath.c_str(), wideMode.c_str());
}

bool IsMissingFile(const std::string& path) {
    std::wstring wide;
    if (!AnsiToWide(path, wide) || GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace qurix
#endif
