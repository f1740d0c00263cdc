#ifndef _WIN32
#include <stdlib.h>

#include <filesystem>

#include "core/platform/TempFiles.h"

namespace qurix {

std::string MakeTemporaryFolder(const std::string& prefix) {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) return std::string();
    std::string pattern = (base / (prefix + "XXXXXX")).string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

std::FILE* OpenBytesAsFile(const std::string& bytes) {
    std::FILE* f = std::tmpfile();
    if (!f) return nullptr;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0) {
        std::fclose(f);
        return nullptr;
    }
    std::rewind(f);
    return f;
}

}  // namespace qurix
#endif
