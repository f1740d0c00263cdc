#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/platform/FileIo.h"

namespace qurix {

std::FILE* OpenFile(const std::string& path, const char* mode) {
    if (path.find('\0') != std::string::npos) {
        errno = EINVAL;
        return nullptr;
    }
    return std::fopen(path.c_str(), mode);
}

bool IsMissingFile(const std::string& path) {
    struct stat st;
    if (path.find('\0') != std::string::npos || ::stat(path.c_str(), &st) == 0) return false;
    return errno == ENOENT || errno == ENOTDIR;
}

bool OpenFileSize(std::FILE* f, uintmax_t& size) {
    struct stat st;
    if (f == nullptr || ::fstat(fileno(f), &st) != 0 || st.st_size < 0) return false;
    size = static_cast<uintmax_t>(st.st_size);
    return true;
}

bool RegularFileInfo(const std::string& path, int64_t& size, int64_t& time) {
    struct stat st;
    if (path.find('\0') != std::string::npos || ::stat(path.c_str(), &st) != 0 ||
        !S_ISREG(st.st_mode)) {
        return false;
    }
    size = static_cast<int64_t>(st.st_size);
    time = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return path.find('\0') == std::string::npos && ::stat(path.c_str(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

bool MakeFolder(const std::string& path) {
    if (path.find('\0') != std::string::npos) return false;
    return ::mkdir(path.c_str(), 0777) == 0 || IsFolder(path);
}

bool RemoveFile(const std::string& path) {
    return path.find('\0') == std::string::npos && ::unlink(path.c_str()) == 0;
}

bool RenameOver(const std::string& from, const std::string& to) {
    return from.find('\0') == std::string::npos && to.find('\0') == std::string::npos &&
           std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace qurix
#endif
