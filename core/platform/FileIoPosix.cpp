#ifndef _WIN32
#include <sys/stat.h>

#include <cerrno>

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

}  // namespace qurix
#endif
