#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>

#include "core/platform/FileIo.h"

#include "core/platform/WindowsText.h"

namespace qurix {

std::FILE* OpenFile(const std::string& path, const char* mode, bool* notRegular) {
    if (notRegular) *notRegular = false;
    std::wstring widePath;
    std::wstring wideMode;
    if (!AnsiToWide(path, widePath) || !AnsiToWide(mode, wideMode)) {
        errno = EINVAL;
        return nullptr;
    }
    std::FILE* f = _wfopen(widePath.c_str(), wideMode.c_str());
    // CON, NUL, COM1 and pipes open as files but are none: reading CON waits for a person.
    if (f && mode[0] == 'r' &&
        GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)))) != FILE_TYPE_DISK) {
        std::fclose(f);
        if (notRegular) *notRegular = true;
        errno = EINVAL;
        return nullptr;
    }
    return f;
}

bool IsMissingFile(const std::string& path) {
    std::wstring wide;
    if (!AnsiToWide(path, wide) || GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool OpenFileSize(std::FILE* f, uintmax_t& size) {
    struct _stat64 st;
    if (f == nullptr || _fstat64(_fileno(f), &st) != 0 || st.st_size < 0) return false;
    size = static_cast<uintmax_t>(st.st_size);
    return true;
}

bool RegularFileInfo(const std::string& path, int64_t& size, int64_t& time) {
    std::wstring wide;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!AnsiToWide(path, wide) ||
        !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    size = static_cast<int64_t>((uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
    time = static_cast<int64_t>((uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                data.ftLastWriteTime.dwLowDateTime);
    return true;
}

bool IsFolder(const std::string& path) {
    std::wstring wide;
    if (!AnsiToWide(path, wide)) return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolder(const std::string& path) {
    std::wstring wide;
    if (!AnsiToWide(path, wide)) return false;
    return CreateDirectoryW(wide.c_str(), nullptr) != 0 || IsFolder(path);
}

bool RemoveFile(const std::string& path) {
    std::wstring wide;
    return AnsiToWide(path, wide) && DeleteFileW(wide.c_str()) != 0;
}

bool RenameOver(const std::string& from, const std::string& to) {
    std::wstring wideFrom;
    std::wstring wideTo;
    return AnsiToWide(from, wideFrom) && AnsiToWide(to, wideTo) &&
           MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace qurix
#endif
