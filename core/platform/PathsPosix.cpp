#ifndef _WIN32
#include "core/platform/Paths.h"

#include <unistd.h>

#include <cerrno>

#include <vector>

namespace qurix {

PathStyle NativePathStyle() {
    return POSIX_PATHS;
}

std::string CurrentFolder() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (size_t{1} << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

}  // namespace qurix
#endif
