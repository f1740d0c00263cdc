#ifndef _WIN32
#include <sys/stat.h>

#include "core/platform/FileTime.h"

namespace qurix {

bool LastWriteSeconds(const std::string& path, int64_t& seconds) {
    struct stat st;
    if (path.find('\0') != std::string::npos || ::stat(path.c_str(), &st) != 0) return false;
    seconds = static_cast<int64_t>(st.st_mtime);
    return true;
}

}  // namespace qurix
#endif
