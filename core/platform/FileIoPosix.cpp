#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/platform/FileIo.h"

namespace qurix {

std::FILE* OpenFile(const std::string& path, const char* mode, bool* notRegular) {
    if (notRegular) *notRegular = false;
    if (path.find('\0') != std::string::npos) {
        errno = EINVAL;
        return nullptr;
    }
    if (mode[0] != 'r' || std::strchr(mode, '+')) return std::fopen(path.c_str(), mode);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd < 0) {
        // A socket does not open at all.
        const int error = errno;
        if (notRegular) *notRegular = ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
        errno = error;
        return nullptr;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (notRegular) *notRegular = true;
        errno = EINVAL;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, mode);
    if (!f) ::close(fd);
    return f;
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
